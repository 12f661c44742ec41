// mostra --formato csv: one table per file with its header row, values that
// agree with the model that wrote the file, quoting where a text needs it;
// and --formato and --tipo side by side on the command line.
#include "tools/show/csv.h"

#include <gtest/gtest.h>

#include <sstream>

#include "model/cells.h"
#include "platform/file_system.h"
#include "tests/tools/tool_test_util.h"
#include "tools/show/show.h"

namespace scenario {
namespace {

using Row = std::vector<std::string>;

// The rows of a CSV text: fields split at commas outside quotes, "" inside
// quotes read as one quote, rows ended by CR LF.
std::vector<Row> ParseCsv(const std::string& text) {
  std::vector<Row> rows;
  Row row;
  std::string field;
  bool quoted = false;
  for (size_t i = 0; i < text.size(); ++i) {
    const char c = text[i];
    if (quoted) {
      if (c == '"' && i + 1 < text.size() && text[i + 1] == '"') {
        field += '"';
        ++i;
      } else if (c == '"') {
        quoted = false;
      } else {
        field += c;
      }
    } else if (c == '"') {
      quoted = true;
    } else if (c == ',') {
      row.push_back(field);
      field.clear();
    } else if (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n') {
      row.push_back(field);
      rows.push_back(row);
      row.clear();
      field.clear();
      ++i;
    } else {
      field += c;
    }
  }
  EXPECT_TRUE(field.empty() && row.empty()) << "a row without CR LF";
  return rows;
}

TEST(CsvField, QuotesOnlyWhatNeedsIt) {
  struct Case {
    const char* in;
    const char* out;
  };
  static const Case kCases[] = {
      {"CORVENA C.LE", "CORVENA C.LE"},
      {"", ""},
      {"(F)( P.L.)(2+200)", "(F)( P.L.)(2+200)"},
      {"A, B", "\"A, B\""},
      {"detto \"il ponte\"", "\"detto \"\"il ponte\"\"\""},
      {"due\r\nrighe", "\"due\r\nrighe\""},
      {"CITTÀ", "CITTÀ"},
  };
  for (const Case& c : kCases) {
    EXPECT_EQ(c.out, CsvField(c.in)) << c.in;
    // Read back, the field is the text again.
    const std::vector<Row> rows = ParseCsv(CsvField(c.in) + ",x\r\n");
    ASSERT_EQ(1u, rows.size());
    EXPECT_EQ(Row({c.in, "x"}), rows[0]);
  }
}

// The fixture compiled by the core, its files in a scratch folder.
class CsvTest : public ::testing::Test {
 protected:
  CsvTest() : model(&fs, kTestFolder) {
    model.linea = kFixtureLinea;
    model.treno = kFixtureTreno;
    fs.files[model.FullName(model.LineSourceName())] = JoinCrLf(FixtureLine());
    fs.files[model.FullName(model.TrainSourceName())] = JoinCrLf(FixtureTrain());
    model.memorizza_percorso(1);
    for (const char* name : {"Prova_7.dat", "Prova_7.sim", "Prova_linea.dat"}) {
      WriteBytes(dir.File(name), fs.files[std::string(kTestFolder) + "/" + name]);
    }
  }
  std::vector<Row> Csv(const std::string& name, ShowOptions options = {}) {
    options.csv = true;
    std::ostringstream out, err;
    EXPECT_EQ(0, RunShow({dir.File(name)}, options, RealFileSystem(), &out, &err)) << err.str();
    return ParseCsv(out.str());
  }

  FakeFileSystem fs;
  TrackModel model;
  TempDir dir;
};

TEST_F(CsvTest, CellsAgreeWithTheModel) {
  const std::vector<Row> rows = Csv("Prova_7.dat");
  ASSERT_EQ(model.celle.size() + 1, rows.size());
  EXPECT_EQ(Row({"cella", "metro", "tipo", "tipo_nome", "valore", "valore2", "valore3", "valore4",
                 "tempo", "preavviso", "montagna", "velocita", "pendenza", "aderenza"}),
            rows[0]);
  for (size_t k = 0; k < model.celle.size(); ++k) {
    const cella& c = model.celle[k];
    const Row& r = rows[k + 1];
    ASSERT_EQ(14u, r.size()) << k;
    const Row expected = {
        std::to_string(k),          std::to_string(CellPosition(static_cast<int64_t>(k))),
        std::to_string(c.tipo),     TipoName(c.tipo),
        std::to_string(c.valore),   std::to_string(c.valore2),
        std::to_string(c.valore3),  std::to_string(c.valore4),
        std::to_string(c.tempo),    std::to_string(c.preavviso),
        std::to_string(c.montagna), std::to_string(c.velocita),
        std::to_string(c.pendenza), std::to_string(c.aderenza)};
    EXPECT_EQ(expected, r) << k;
  }
}

TEST_F(CsvTest, SlotsAgreeWithTheModel) {
  model.tabella[1].nome = "PRIMA, \"NORD\"";  // a name that must be quoted
  std::array<voce, 87> tabella = model.tabella;
  WriteBytes(dir.File("Prova_7.sim"), EncodeRunFile(tabella));
  const std::vector<Row> rows = Csv("Prova_7.sim");
  ASSERT_EQ(88u, rows.size());
  EXPECT_EQ(17u, rows[0].size());
  EXPECT_EQ("nome", rows[0][6]);
  for (size_t k = 0; k < 87; ++k) {
    const voce& v = tabella[k];
    const Row& r = rows[k + 1];
    ASSERT_EQ(17u, r.size()) << k;
    EXPECT_EQ(std::to_string(k), r[0]);
    EXPECT_EQ(std::to_string(v.inizio), r[2]);
    EXPECT_EQ(std::to_string(v.posizione), r[4]);
    EXPECT_EQ(v.nome, r[6]) << k;
    EXPECT_EQ(std::to_string(v.orario), r[16]);
  }
}

TEST_F(CsvTest, PlanHasMetreXAndY) {
  ShowOptions range;
  range.da = 0;
  range.a = 3;
  EXPECT_EQ(std::vector<Row>({{"metro", "x", "y"},
                              {"0", "0", "0"},
                              {"1", "0", "1"},
                              {"2", "0.0", "2.0"},
                              {"3", "0.0", "3.0"}}),
            Csv("Prova_linea.dat", range));
  // The last two metres are empty.
  const std::vector<Row> all = Csv("Prova_linea.dat");
  ASSERT_EQ(model.planimetria.size() + 1, all.size());
  EXPECT_EQ(Row({std::to_string(model.ultimo_metro), "", ""}), all.back());
  // A curved metre reads back as the double the model holds.
  const size_t m = 1200;
  EXPECT_EQ(model.planimetria.x(m).value, std::stod(all[m + 1][1]));
  EXPECT_EQ(model.planimetria.y(m).value, std::stod(all[m + 1][2]));
}

TEST(MostraCsv, CommandLine) {
  TempDir dir;
  ASSERT_EQ(0, RunScenario(dir.path(), "sorgenti").status);
  ASSERT_EQ(0, RunScenario(dir.path(), "compila").status);
  WriteBytes(dir.File("celle.bin"), ReadBytes(dir.File("Vescolara_631.dat")));
  struct Case {
    const char* args;
    int status;
    const char* starts;  // the start of the standard output or error
  };
  static const Case kCases[] = {
      {"mostra Vescolara_631.sim --formato csv --da 1 --a 1", 0,
       "voce,tipo,inizio,fine,posizione,dato1,nome,"},
      {"mostra Vescolara_631.dat --formato testo --da 36 --a 36", 0, "cella 36 metro 1800:"},
      {"mostra Vescolara_631.dat --formato json --da 36 --a 36", 0, "{"},
      // The kind of file: --tipo, or --formato as before.
      {"mostra Vescolara_631.sim --formato corsa --da 1 --a 1", 0, "voce 1: tipo 2,"},
      {"mostra celle.bin --tipo binario --formato csv --da 0 --a 0", 0, "cella,metro,"},
      {"mostra Vescolara_631.dat Vescolara_631.sim --formato csv", 2,
       "scenario: errore: con --formato csv si mostra un file alla volta"},
      {"mostra Vescolara_631.sim --json --formato csv", 2,
       "scenario: errore: --json e --formato csv si escludono"},
      {"mostra Vescolara_631.sim --formato linea --tipo corsa", 2,
       "scenario: errore: --formato linea e --tipo corsa non concordano"},
      {"mostra Vescolara_631.sim --formato xml", 2, ""},
  };
  for (const Case& c : kCases) {
    const ToolRun run = RunScenario(dir.path(), c.args);
    EXPECT_EQ(c.status, run.status) << c.args << "\n" << run.err;
    const std::string& shown = c.status == 0 ? run.out : run.err;
    EXPECT_EQ(0u, shown.rfind(c.starts, 0)) << c.args << "\n" << shown;
    if (c.status != 0) {
      EXPECT_EQ("", run.out) << c.args;
    }
  }
}

}  // namespace
}  // namespace scenario
