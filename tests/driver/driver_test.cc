// The run driver in memory: order of the steps, the text writing sequence,
// errore and minimo.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "driver/run_driver.h"
#include "model/track_model.h"
#include "platform/file_system.h"
#include "test_util.h"

namespace scenario {
namespace {

std::string Path(const char* own) { return std::string(kTestFolder) + "/" + own; }

TEST(RunBuilder, StepsInTheirOrder) {
  FakeFileSystem fs;
  RecordingUi ui;
  EXPECT_EQ(kExitOk, RunBuilder(&fs, &ui, kTestFolder));
  EXPECT_EQ(1, ui.windows_shown);
  EXPECT_TRUE(ui.reports.empty());
  const std::vector<std::string> expected = {
      "write " + Path("Vescolara_linea.txt"),
      "write " + Path("Vescolara_631-.txt"),
      "write " + Path("Vescolara_631_note.txt"),
      "write " + Path("Vescolara_631_rallentamenti.txt"),
      "write " + Path("Vescolara_631_scheda_treno.txt"),
      "read " + Path("Vescolara_linea.txt"),
      "remove " + Path("Vescolara_linea.txt"),
      "read " + Path("Vescolara_631-.txt"),
      "remove " + Path("Vescolara_631-.txt"),
      "write " + Path("Vescolara_linea.dat"),
      "write " + Path("Vescolara_631.sim"),
      "write " + Path("Vescolara_631.dat"),
  };
  EXPECT_EQ(expected, fs.log);
  std::vector<std::string> left;
  for (const auto& [name, bytes] : fs.files) left.push_back(name);
  EXPECT_EQ((std::vector<std::string>{Path("Vescolara_631.dat"), Path("Vescolara_631.sim"),
                                      Path("Vescolara_631_note.txt"),
                                      Path("Vescolara_631_rallentamenti.txt"),
                                      Path("Vescolara_631_scheda_treno.txt"),
                                      Path("Vescolara_linea.dat")}),
            left);
  EXPECT_EQ(2119964u, fs.files[Path("Vescolara_linea.dat")].size());
  EXPECT_EQ(31815u, fs.files[Path("Vescolara_631.dat")].size());
}

TEST(RunBuilder, TwoRunsGiveTheSameBytes) {
  FakeFileSystem a, b;
  RecordingUi ui;
  // Leftovers of an earlier, longer run do not survive.
  b.files[Path("Vescolara_631_note.txt")] = std::string(100000, 'x');
  b.files[Path("Vescolara_631.dat")] = std::string(100000, 'x');
  ASSERT_EQ(kExitOk, RunBuilder(&a, &ui, kTestFolder));
  ASSERT_EQ(kExitOk, RunBuilder(&b, &ui, kTestFolder));
  EXPECT_TRUE(a.files == b.files);
}

// The run ends at the writer whose file cannot be written: its message is
// reported, no later step runs, and RunBuilder returns to main.
TEST(RunBuilder, FileThatCannotBeWrittenStopsTheRun) {
  FakeFileSystem fs;
  fs.fail_write_on = Path("Vescolara_631_note.txt");
  RecordingUi ui;
  EXPECT_EQ(kExitFatal, RunBuilder(&fs, &ui, kTestFolder));
  EXPECT_EQ(std::vector<std::string>{Path("Vescolara_631_note.txt") + ": scrittura non riuscita"},
            ui.reports);
  EXPECT_TRUE(ui.messages.empty());
  EXPECT_EQ((std::vector<std::string>{"write " + Path("Vescolara_linea.txt"),
                                      "write " + Path("Vescolara_631-.txt"),
                                      "write " + Path("Vescolara_631_note.txt")}),
            fs.log);
}

class ScriviRigheTest : public ::testing::Test {
 protected:
  std::string Write(const std::vector<std::string>& righe) {
    m.scrivi_righe(Path("f.txt"), righe);
    return fs.files[Path("f.txt")];
  }
  FakeFileSystem fs;
  TrackModel m{&fs, kTestFolder};
};

TEST_F(ScriviRigheTest, WritesUpToTheSentinel) {
  struct Case {
    std::vector<std::string> righe;
    std::string bytes;
    int32_t corrente;
  };
  const Case kCases[] = {
      {{"a", "", "b", kSentinella, "c"}, "a\r\n\r\nb\r\n", 3},
      {{kSentinella}, "", 0},
      {{"", kSentinella}, "\r\n", 1},
      // The comparison is exact: other spellings are ordinary lines.
      {{"Riferimento fine del file", "riferimento fine del file ", kSentinella},
       "Riferimento fine del file\r\nriferimento fine del file \r\n", 2},
      // A list without sentinel is written to its end.
      {{"x", "y"}, "x\r\ny\r\n", 2},
  };
  for (const Case& c : kCases) {
    EXPECT_EQ(c.bytes, Write(c.righe));
    EXPECT_EQ(c.corrente, m.corrente);
  }
}

TEST_F(ScriviRigheTest, WritesWindows1252) {
  EXPECT_EQ("velocit\xE0 \xE8 \xF2\r\n", Write({"velocità è ò", kSentinella}));
}

TEST_F(ScriviRigheTest, ReplacesALongerFile) {
  fs.files[Path("f.txt")] = std::string(5000, 'z');
  EXPECT_EQ("a\r\n", Write({"a", kSentinella}));
}

// errore stops the run with its box; the caller shows the box and ends the
// program with status 2. The first stop of a run is the one that counts.
TEST(Errore, StopsTheRunWithItsBox) {
  FakeFileSystem fs;
  TrackModel m(&fs, kTestFolder);
  EXPECT_FALSE(m.halted());
  m.errore("1251");
  ASSERT_TRUE(m.halted());
  EXPECT_EQ(CompileOutcome::Kind::kBox, m.halt().kind);
  EXPECT_EQ(1251, m.halt().code);
  EXPECT_EQ(" Errore n. 1251", m.halt().message);
  m.errore("1250");
  m.Halt("later");
  EXPECT_EQ(" Errore n. 1251", m.halt().message);

  RecordingUi ui;
  EXPECT_EQ(kExitFatal, ExitStatusOf(m.halt(), &ui));
  EXPECT_EQ(std::vector<std::string>{" Errore n. 1251"}, ui.messages);
  EXPECT_TRUE(ui.reports.empty());
}

TEST(Minimo, SmallerOfTwoFirstOnTies) {
  struct Case {
    int32_t x, y, out;
  };
  const Case kCases[] = {{180, 120, 120}, {180, 200, 180}, {180, 180, 180}, {-5, 3, -5}};
  for (const Case& c : kCases) EXPECT_EQ(c.out, TrackModel::minimo(c.x, c.y)) << c.x << "," << c.y;
}

TEST(ExitStatusOf, ARecordedProblemIsNotSuccess) {
  RecordingUi ui;
  EXPECT_EQ(kExitOk, ExitStatusOf(CompileOutcome{}, &ui));
  EXPECT_TRUE(ui.reports.empty());
  const CompileOutcome problem{CompileOutcome::Kind::kProblem, 15, 105901, ""};
  EXPECT_EQ(kExitProblem, ExitStatusOf(problem, &ui));
  EXPECT_EQ(std::vector<std::string>{"crea_scenario: problema n. 15: posizione oltre la fine del "
                                     "percorso (posizione 105901 m)"},
            ui.reports);
  EXPECT_TRUE(ui.messages.empty());
}

TEST(ExitStatusOf, AStopIsReported) {
  RecordingUi ui;
  const CompileOutcome stop{CompileOutcome::Kind::kStop, 0, 0, "impossibile scrivere"};
  EXPECT_EQ(kExitFatal, ExitStatusOf(stop, &ui));
  EXPECT_EQ(std::vector<std::string>{"impossibile scrivere"}, ui.reports);
  EXPECT_TRUE(ui.messages.empty());
}

TEST(CompilePass, NoRouteLengthWritesNoCompiledFile) {
  TempDir dir;
  WriteBytes(dir.File("Vescolara_linea.txt"), "[generale]\r\nsfondo uno,    1\r\n[fine]\r\n");
  WriteBytes(dir.File("Vescolara_631-.txt"), "[generale]\r\n[fine]\r\n\r\n");
  TrackModel m(RealFileSystem(), dir.path());
  m.linea = "Vescolara";
  m.treno = "631";
  const CompileOutcome outcome = m.memorizza_percorso(1);
  EXPECT_EQ(CompileOutcome::Kind::kStop, outcome.kind);
  EXPECT_NE(std::string::npos, outcome.message.find("lunghezza del percorso")) << outcome.message;
  for (const char* own : {"Vescolara_linea.dat", "Vescolara_631.sim", "Vescolara_631.dat"}) {
    EXPECT_FALSE(std::filesystem::exists(dir.File(own))) << own;
  }
}

TEST(DescribeProblem, NumberMeaningAndPosition) {
  EXPECT_EQ("problema n. 16: cella del segnale gia' occupata (posizione 1750 m)",
            DescribeProblem(16, 1750));
  EXPECT_EQ("problema n. 101: file della linea mancante", DescribeProblem(101, 0));
}

}  // namespace
}  // namespace scenario
