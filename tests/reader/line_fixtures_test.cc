// Line sources from tests/reader/fixtures, read from a real folder. The first
// line of each fixture, ignored by the reader because it stands before
// "[generale]", says what must happen:
//   atteso, <cod_errore>, <pos_errore or ->, <fermo | completo | trappola>
// fermo: the reader stops, the train run stays unread; completo: both sources
// are read and deleted; trappola: the error trap deletes both.
#include <gtest/gtest.h>

#include <filesystem>
#include <sstream>
#include <string>

#include "model/track_model.h"
#include "platform/file_system.h"
#include "test_util.h"

namespace scenario {
namespace {

namespace fs = std::filesystem;

struct Expectation {
  int32_t code = 0;
  std::string pos;  // "-": unchanged
  std::string outcome;
};

bool ParseExpectation(const std::string& bytes, Expectation* e) {
  const std::string first = bytes.substr(0, bytes.find("\r\n"));
  std::stringstream ss(first);
  std::string word, code;
  if (!std::getline(ss, word, ',') || word != "atteso") return false;
  if (!std::getline(ss, code, ',') || !std::getline(ss, e->pos, ',') ||
      !std::getline(ss, e->outcome)) {
    return false;
  }
  e->code = std::stoi(code);
  auto trim = [](std::string s) { return s.substr(s.find_first_not_of(' ')); };
  e->pos = trim(e->pos);
  e->outcome = trim(e->outcome);
  return true;
}

TEST(LineFixtures, EachFixtureBehavesAsItSays) {
  const fs::path dir = fs::path(SCENARIO_TEST_DATA) / "reader" / "fixtures";
  int seen = 0;
  for (const auto& entry : fs::directory_iterator(dir)) {
    const std::string name = entry.path().filename().string();
    if (name.rfind("linea_", 0) != 0) continue;
    SCOPED_TRACE(name);
    ++seen;
    const std::string bytes = ReadBytes(entry.path().string());
    Expectation want;
    ASSERT_TRUE(ParseExpectation(bytes, &want));

    TempDir folder;
    RecordingUi ui;
    TrackModel m(RealFileSystem(), &ui, folder.path());
    m.linea = "Vescolara";
    m.treno = "631";
    m.crea_linea = 1;
    const std::string line = folder.File("Vescolara_linea.txt");
    const std::string train = folder.File("Vescolara_631-.txt");
    WriteBytes(line, bytes);
    WriteBytes(train, "[generale]\r\n[fine]\r\n\r\n");
    m.pos_errore = -1;
    m.memorizza_dati();

    EXPECT_EQ(want.code, m.cod_errore);
    EXPECT_EQ(want.pos == "-" ? -1 : std::stoi(want.pos), m.pos_errore);
    EXPECT_FALSE(fs::exists(line));
    if (want.outcome == "fermo") {
      EXPECT_TRUE(fs::exists(train));
    } else {
      ASSERT_TRUE(want.outcome == "completo" || want.outcome == "trappola") << want.outcome;
      EXPECT_FALSE(fs::exists(train));
    }
  }
  EXPECT_GT(seen, 0);
}

}  // namespace
}  // namespace scenario
