// Where a record ends, read again with the readers' field reader, and a
// record left out as blanks.
#include "tools/check/record_extent.h"

#include <gtest/gtest.h>

#include <sstream>

#include "driver/run_driver.h"
#include "platform/file_system.h"
#include "tests/tools/tool_test_util.h"
#include "tools/cli/cli.h"

namespace scenario {
namespace {

using File = SourceLocation::File;

TEST(RecordFields, AsTheReadersTakeThem) {
  struct Case {
    const char* keyword;
    File file;
    bool crea_linea;
    const char* fields;
  };
  static const Case kCases[] = {
      {"lunghezza percorso", File::kLine, true, "n"},
      {"LUNGHEZZA PERCORSO", File::kLine, true, "n"},
      {"progressiva chilometrica uno", File::kLine, true, "nnn"},
      {"Progressiva chilometrica uno", File::kLine, true, ""},  // exact test
      {"progressiva uno due", File::kLine, true, "nnnnnn"},     // two tests, two records
      {"sfondo due", File::kLine, true, "n"},
      {"ripetizione segnali 4 codici", File::kLine, true, "nn"},
      {"pendenza", File::kLine, true, "nn"},
      {"curvad4", File::kLine, true, "nn"},
      {"curvad4", File::kLine, false, ""},  // no plan: a curve is no record
      {"montagna", File::kLine, true, "nnn"},
      {"indicatori_vmax", File::kLine, true, "nnnnnnnnn"},
      {"cartello_indicatore", File::kLine, true, "nt"},
      {"[curve]", File::kLine, true, ""},
      {"percentuale massa frenata", File::kTrain, true, "n"},
      {"numero vetture", File::kTrain, true, "n"},
      {"velocità", File::kTrain, true, "nn"},
      {"aderenza", File::kTrain, true, "nn"},
      {"orologio", File::kTrain, true, "nnn"},
      {"sabbia", File::kTrain, true, "n"},
      {"segnale", File::kTrain, true, "nnnnnnnnnnn"},
      {"rallentamento", File::kTrain, true, "nnnnnn"},
      {"abbattimento", File::kTrain, true, "nn"},
      {"stazione", File::kTrain, true, "nnnnnnnnnnnnnnnnt"},
      {"velocita aderenza", File::kTrain, true, "nnnn"},
      {"[segnali]", File::kTrain, true, ""},
      {"segnale", File::kNone, true, ""},
  };
  for (const Case& c : kCases) {
    EXPECT_EQ(c.fields, RecordFields(c.keyword, c.file, c.crea_linea)) << c.keyword;
  }
}

TEST(RecordEnd, RunsOverLineEndsAndStopsAtTheLastValue) {
  struct Case {
    const char* text;  // the record starts at offset 0
    File file;
    const char* rest;  // what follows the record
  };
  static const Case kCases[] = {
      {"segnale,    1750,   1, 4, 0,  0, 0,    0,  0,0,0, 0\r\nsegnale, 1", File::kTrain,
       "segnale, 1"},
      {"segnale, 1750\r\n 1, 4, 0\r\n 0, 0, 0, 0,0,0, 0\r\n[fine]\r\n", File::kTrain,
       "[fine]\r\n"},
      // A comma at the end of a line ends a field; the line end one more.
      {"segnale, 1750,\r\n 1, 4, 0, 0, 0, 0, 0,0,0, 0\r\n", File::kTrain, " 0\r\n"},
      {"orologio,  1 53 0\r\n[stazioni]", File::kTrain, "[stazioni]"},
      {"orologio,  1 53 0 7\r\n", File::kTrain, "7\r\n"},  // a fourth number is no part of it
      {"stazione, 200, 2, 600, 0,0,0, 1,1,0, 2,4,1, 1, 1,55,0, A, B\r\n", File::kTrain, " B\r\n"},
      {"cartello_indicatore,  850,   (F), (COD)\r\n", File::kLine, " (COD)\r\n"},
      {"sabbia, 99999\r\nvetture, 1", File::kTrain, "vetture, 1"},  // no fit: still one field
      {"segnale, 1750, 1", File::kTrain, ""},                       // cut short
      {"[segnali]\r\nsegnale", File::kTrain, "segnale"},
  };
  for (const Case& c : kCases) {
    const std::string text = c.text;
    const size_t end = RecordEnd(text, 0, c.file, true);
    EXPECT_EQ(c.rest, text.substr(end)) << c.text;
  }
  // From a record in the middle of the bytes.
  const std::string two = "pendenza, 0, 0\r\npendenza, 1500, 5\r\n[fine]\r\n";
  EXPECT_EQ("[fine]\r\n",
            two.substr(RecordEnd(two, two.find("pendenza, 1500"), File::kLine, true)));
  EXPECT_EQ(two.size(), RecordEnd(two, two.size() + 5, File::kLine, true));
}

// Every record the builder writes is one line: its end is the start of the
// next line.
TEST(RecordEnd, EveryRecordOfTheBuiltInSourcesIsItsLine) {
  TempDir dir;
  std::ostringstream out, err;
  ASSERT_EQ(kExitOk, RunSorgenti(dir.path(), false, RealFileSystem(), &out, &err)) << err.str();
  for (const auto& [name, file] : {std::pair{std::string("Vescolara_linea.txt"), File::kLine},
                                   std::pair{std::string("Vescolara_631-.txt"), File::kTrain}}) {
    const std::string bytes = ReadBytes(dir.File(name));
    int records = 0;
    for (size_t start = 0; start < bytes.size();) {
      const size_t next = bytes.find("\r\n", start) + 2;
      if (StartsRecord(bytes, start, file, true)) {
        ++records;
        EXPECT_EQ(next, RecordEnd(bytes, start, file, true))
            << name << ": " << bytes.substr(start, next - start);
      }
      start = next;
    }
    EXPECT_GT(records, 60) << name;
  }
}

TEST(BlankOut, KeepsLineEnds) {
  std::string text = "a, segnale, 1,\r\n 2\r\nb\n";
  BlankOut(&text, 3, 19);
  EXPECT_EQ("a," + std::string(12, ' ') + "\r\n  \r\nb\n", text);
  BlankOut(&text, 20, 99);  // clipped to the end
  EXPECT_EQ("a," + std::string(12, ' ') + "\r\n  \r\n \n", text);
}

}  // namespace
}  // namespace scenario
