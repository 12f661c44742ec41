// Sources from tests/reader/fixtures, read from a real folder: linea_*.txt
// are line sources (read with an empty train run), treno_*.txt train runs
// (read after a small line). The first line of each fixture, ignored by the
// readers because it stands before "[generale]", says what must happen:
//   atteso, <cod_errore>, <pos_errore or ->, <fermo | completo | trappola>
// fermo: the reader stops (a line stop leaves the train run unread; a train
// stop skips the end processing); completo: both sources are read to the
// end; trappola: the error trap. Every source that was opened is deleted.
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

// The line under every train-run fixture: 3000 m (cells 0 to 200), a
// tunnel over cells 20 to 29 with markers in 23 and 27, an indicator board
// in cell 28 and a text board in cell 18.
const char kSmallLine[] =
    "[generale]\r\nlunghezza percorso,    3000\r\n"
    "progressiva chilometrica uno,    0,    2900,    1\r\n"
    "[montagne]\r\nmontagna,   1000,  1500,  12\r\n"
    "[cartelli]\r\nindicatori_vmax,  1350,  125,  135,  145,  0,  ,  ,  ,  0\r\n"
    "[indicazioni]\r\ncartello_indicatore,  850,   (COD)\r\n[fine]\r\n";

void RunFixtures(const char* prefix) {
  const fs::path dir = fs::path(SCENARIO_TEST_DATA) / "reader" / "fixtures";
  const bool train = std::string(prefix) == "treno_";
  int seen = 0;
  for (const auto& entry : fs::directory_iterator(dir)) {
    const std::string name = entry.path().filename().string();
    if (name.rfind(prefix, 0) != 0) continue;
    SCOPED_TRACE(name);
    ++seen;
    const std::string bytes = ReadBytes(entry.path().string());
    Expectation want;
    ASSERT_TRUE(ParseExpectation(bytes, &want));

    TempDir folder;
    TrackModel m(RealFileSystem(), folder.path());
    m.linea = "Vescolara";
    m.treno = "631";
    m.crea_linea = 1;
    const std::string line = folder.File("Vescolara_linea.txt");
    const std::string train_path = folder.File("Vescolara_631-.txt");
    WriteBytes(line, train ? kSmallLine : bytes);
    WriteBytes(train_path, train ? bytes : "[generale]\r\n[fine]\r\n\r\n");
    m.pos_errore = -1;
    m.memorizza_dati();

    EXPECT_EQ(want.code, m.cod_errore);
    EXPECT_EQ(want.pos == "-" ? -1 : std::stoi(want.pos), m.pos_errore);
    EXPECT_FALSE(fs::exists(line));
    ASSERT_TRUE(want.outcome == "fermo" || want.outcome == "completo" ||
                want.outcome == "trappola")
        << want.outcome;
    if (!train) {
      EXPECT_EQ(want.outcome == "fermo", fs::exists(train_path));
      continue;
    }
    EXPECT_FALSE(fs::exists(train_path));
    // Every train fixture starts with adhesion 100 at 0 m: the end
    // processing carries it to cell ultima_cella - 3, a stop does not.
    if (want.outcome != "trappola") {
      ASSERT_EQ(201u, m.celle.size());
      EXPECT_EQ(want.outcome == "completo" ? 100 : 0, m.celle[197].aderenza);
      EXPECT_EQ(0, m.celle[198].aderenza);
    }
  }
  EXPECT_GT(seen, 0);
}

TEST(SourceFixtures, LineSources) { RunFixtures("linea_"); }

TEST(SourceFixtures, TrainRuns) { RunFixtures("treno_"); }

}  // namespace
}  // namespace scenario
