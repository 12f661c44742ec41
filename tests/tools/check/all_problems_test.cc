// verifica --tutti: every problem of a pair of sources in one run, each at
// its own record, the warnings of every round once, the counts at the end,
// and nothing written.
#include "tools/check/all_problems.h"

#include <gtest/gtest.h>

#include <nlohmann/json.hpp>
#include <sstream>

#include "model/problems.h"
#include "tests/tools/check/check_fixtures.h"
#include "tests/tools/tool_test_util.h"
#include "tools/check/check.h"

namespace scenario {
namespace {

using nlohmann::json;

// The lines of a text.
Lines SplitLines(const std::string& text) {
  std::istringstream in(text);
  Lines out;
  for (std::string l; std::getline(in, l);) out.push_back(l);
  return out;
}

// Three faults in different records of both sources: a second text board
// in the cell of the first (6), a station off the 50-metre grid (8) and a
// signal in the station's cell (16).
void PlantThreeFaults(Lines* line, Lines* train) {
  Add(line, {"cartello_indicatore,  850,   (F)"});
  Set(train, "stazione", "stazione,  225,  2,  600,  0, 0, 0,  1,1,0,  2,4,1,  1,  1,55, 0, PRIMA");
  Add(train,
      {"stazione,  2400,  2,  600,  0, 0, 0,  1,1,0,  2,4,1,  1,  1,55, 0, SECONDA", Signal(2600)});
}

TEST(VerificaTutti, ListsEveryProblemAtItsRecord) {
  Lines line = FixtureLine(), train = FixtureTrain();
  PlantThreeFaults(&line, &train);
  Scratch scratch(line, train);
  const auto before = FolderFiles(scratch.dir.path());

  const ToolRun run = RunScenario(scratch.dir.path(), "verifica --tutti");
  EXPECT_EQ(1, run.status) << run.out;
  const Lines expected = {
      "Prova_linea.txt:" + std::to_string(LineOf(line, "(F)")) +
          ":1: errore: problema n. 6: cella del cartello gia' occupata; pos_errore 850 m; la "
          "cella 18 (metri 900-950) è occupata da cartello (tipo 14)",
      "Prova_linea.txt:" + std::to_string(LineOf(line, "(COD)")) +
          ":1: nota: qui il record \"cartello_indicatore\" ha posto cartello (tipo 14) nella "
          "cella 18",
      "Prova_7-.txt:" + std::to_string(LineOf(train, "PRIMA")) +
          ":1: errore: problema n. 8: posizione della stazione non multipla di 50; pos_errore "
          "225 m",
      "Prova_7-.txt:" + std::to_string(LineOf(train, "segnale,    2600")) +
          ":1: errore: problema n. 16: cella del segnale gia' occupata; pos_errore 2600 m; la "
          "cella 53 (metri 2650-2700) è occupata da cella di stazione (tipo 10)",
      "Prova_7-.txt:" + std::to_string(LineOf(train, "SECONDA")) +
          ":1: nota: qui il record \"stazione\" ha posto cella di stazione (tipo 10) nella "
          "cella 53",
      "scenario: 3 problemi, 0 avvisi",
  };
  EXPECT_EQ(expected, SplitLines(run.out));
  EXPECT_EQ("", run.err);
  EXPECT_EQ(before, FolderFiles(scratch.dir.path()));

  // Plain verifica still stops at the first.
  const ToolRun plain = RunScenario(scratch.dir.path(), "verifica");
  EXPECT_EQ(1, plain.status);
  EXPECT_EQ(Lines({expected[0], expected[1],
                   "scenario: verifica con un problema registrato, nessun file scritto"}),
            SplitLines(plain.out));
}

TEST(VerificaTutti, JsonListsTheSameProblems) {
  Lines line = FixtureLine(), train = FixtureTrain();
  PlantThreeFaults(&line, &train);
  Scratch scratch(line, train);
  const ToolRun run = RunScenario(scratch.dir.path(), "verifica --tutti --json");
  EXPECT_EQ(1, run.status);
  const json report = json::parse(run.out, nullptr, false);
  ASSERT_FALSE(report.is_discarded()) << run.out;
  EXPECT_EQ(true, report["tutti"]);
  EXPECT_EQ(1, report["esito"]);
  EXPECT_FALSE(report.contains("problema"));
  const json& problemi = report["problemi"];
  ASSERT_EQ(3u, problemi.size()) << run.out;
  const struct {
    int codice;
    std::string file;
    int riga;
    int pos_errore;
  } expected[] = {
      {6, LineSource(), LineOf(line, "(F)"), 850},
      {8, TrainSource(), LineOf(train, "PRIMA"), 225},
      {16, TrainSource(), LineOf(train, "segnale,    2600"), 2600},
  };
  for (size_t i = 0; i < std::size(expected); ++i) {
    SCOPED_TRACE(i);
    EXPECT_EQ(expected[i].codice, problemi[i]["codice"]);
    EXPECT_EQ(expected[i].file, problemi[i]["file"]);
    EXPECT_EQ(expected[i].riga, problemi[i]["riga"]);
    EXPECT_EQ(expected[i].pos_errore, problemi[i]["pos_errore"]);
  }
  EXPECT_EQ(json({{"problemi", 3}, {"avvisi", 0}}), report["riepilogo"]);
  EXPECT_TRUE(report["note"].empty());
  EXPECT_TRUE(report["scritti"].empty());
}

// Each single fault of the problem table: --tutti begins with the very
// problem plain verifica reports, and ends with the counts.
TEST(VerificaTutti, BeginsWithTheProblemVerificaReports) {
  for (const Case& c : Cases()) {
    SCOPED_TRACE("problema " + std::to_string(c.code));
    Lines line = FixtureLine(), train = FixtureTrain();
    c.edit(&line, &train);
    Scratch scratch(line, train);
    const ToolRun plain = RunScenario(scratch.dir.path(), "verifica --json");
    const ToolRun all = RunScenario(scratch.dir.path(), "verifica --tutti --json");
    const json p = json::parse(plain.out, nullptr, false);
    const json a = json::parse(all.out, nullptr, false);
    ASSERT_FALSE(p.is_discarded() || a.is_discarded()) << plain.out << all.out;
    EXPECT_EQ(plain.status, all.status) << all.out;
    ASSERT_FALSE(a["problemi"].empty()) << all.out;
    EXPECT_EQ(p["problema"], a["problemi"][0]);
    EXPECT_EQ(a["problemi"].size(), a["riepilogo"]["problemi"]);
    const ToolRun text = RunScenario(scratch.dir.path(), "verifica --tutti");
    const Lines lines = SplitLines(text.out);
    ASSERT_FALSE(lines.empty());
    EXPECT_EQ("scenario: " + CountsText(a["problemi"].size(), a["avvisi"].size()), lines.back());
  }
}

// Five signals in taken cells: --limite stops the list, and says so.
TEST(VerificaTutti, StopsAtTheLimit) {
  Lines line = FixtureLine(), train = FixtureTrain();
  Add(&train, {Signal(1750), Signal(1750), Signal(1750), Signal(400), Signal(850)});
  Scratch scratch(line, train);
  ToolRun run = RunScenario(scratch.dir.path(), "verifica --tutti");
  EXPECT_EQ(1, run.status);
  Lines lines = SplitLines(run.out);
  ASSERT_FALSE(lines.empty());
  EXPECT_EQ("scenario: 5 problemi, 0 avvisi", lines.back()) << run.out;

  run = RunScenario(scratch.dir.path(), "verifica --tutti --limite 2");
  EXPECT_EQ(1, run.status);
  lines = SplitLines(run.out);
  ASSERT_GE(lines.size(), 2u);
  EXPECT_EQ(
      "scenario: nota: raggiunto il limite di 2 problemi (--limite): la verifica si ferma qui",
      lines[lines.size() - 2]);
  EXPECT_EQ("scenario: 2 problemi, 0 avvisi", lines.back());

  // Exactly as many problems as the limit: nothing is cut.
  run = RunScenario(scratch.dir.path(), "verifica --tutti --limite 5");
  EXPECT_EQ(std::string::npos, run.out.find("limite")) << run.out;

  for (const char* bad : {"--limite 0", "--limite -3", "--limite tre"}) {
    run = RunScenario(scratch.dir.path(), std::string("verifica --tutti ") + bad);
    EXPECT_EQ(2, run.status) << bad;
  }
  run = RunScenario(scratch.dir.path(), "verifica --limite 2");
  EXPECT_EQ(2, run.status) << "--limite without --tutti";
}

// A problem of the files' structure or of the reserved places belongs to
// no one record: the list ends with it, and the run ends as verifica's.
TEST(VerificaTutti, EndsAtAProblemOfNoOneRecord) {
  struct Stop {
    const char* what;
    std::function<void(Lines*, Lines*)> edit;
    int last_code;
    int esito;
  };
  const Stop stops[] = {
      {"102 after a fault",
       [](Lines* l, Lines*) {
         *l = {"lunghezza percorso,    5000", "[fine]"};
       },
       kErrGenerale, 2},
      {"1250 after a signal fault",
       [](Lines*, Lines* t) {
         Add(t, {Signal(400), Signal(0)});
       },
       kErrMarche, 2},
  };
  for (const Stop& s : stops) {
    SCOPED_TRACE(s.what);
    Lines line = FixtureLine(), train = FixtureTrain();
    s.edit(&line, &train);
    Scratch scratch(line, train);
    const ToolRun run = RunScenario(scratch.dir.path(), "verifica --tutti --json");
    EXPECT_EQ(s.esito, run.status) << run.out;
    const json report = json::parse(run.out, nullptr, false);
    ASSERT_FALSE(report.is_discarded()) << run.out;
    ASSERT_FALSE(report["problemi"].empty());
    EXPECT_EQ(s.last_code, report["problemi"].back()["codice"]) << run.out;
  }
}

// A fault the compile pass finds after the last record (a speed that does
// not fit its cell byte, spread to the end of the track) is put on the
// record read last, here a signal. Without it the fault stays, now at the
// speed record before it: the list ends instead of blaming one record
// after the other.
TEST(VerificaTutti, AProblemThatStaysIsReportedOnce) {
  Lines line = FixtureLine(), train = FixtureTrain();
  Add(&train, {"velocita,   3000,  2000", Signal(4000)});
  Scratch scratch(line, train);
  const ToolRun run = RunScenario(scratch.dir.path(), "verifica --tutti --json");
  const json report = json::parse(run.out, nullptr, false);
  ASSERT_FALSE(report.is_discarded()) << run.out;
  ASSERT_EQ(1u, report["problemi"].size()) << run.out;
  EXPECT_EQ(kErrLettura, report["problemi"][0]["codice"]);
  ASSERT_EQ(1u, report["note"].size());
  EXPECT_EQ(
      "il problema n. 25 resta anche senza il suo record: non appartiene a un solo record, la "
      "verifica si ferma qui",
      report["note"][0]);
}

// Warnings of every round, each once: the station cell over the signal is
// heard in both rounds before and after the fault.
TEST(VerificaTutti, MergesTheWarningsOfEveryRound) {
  Lines line = FixtureLine(), train = FixtureTrain();
  Before(&train, "stazione", {Signal(400)});  // the station cell replaces it
  Add(&train, {Signal(1750), Signal(850)});   // two faults
  Scratch scratch(line, train);
  const ToolRun plain = RunScenario(scratch.dir.path(), "verifica --json");
  const ToolRun all = RunScenario(scratch.dir.path(), "verifica --tutti --json");
  const json p = json::parse(plain.out, nullptr, false);
  const json a = json::parse(all.out, nullptr, false);
  ASSERT_FALSE(p.is_discarded() || a.is_discarded());
  EXPECT_EQ(2u, a["problemi"].size()) << all.out;
  EXPECT_EQ(p["avvisi"], a["avvisi"]);
  EXPECT_FALSE(a["avvisi"].empty());
}

// Leaving a record out keeps every later record on its line: a station
// whose fields run over three lines is left out whole, and the fault after
// it is reported at its own line.
TEST(VerificaTutti, ARecordOverSeveralLinesIsLeftOutWhole) {
  Lines line = FixtureLine(), train = FixtureTrain();
  Add(&train, {"stazione,  2425,  2,  600,  0, 0, 0", "  1,1,0,  2,4,1,  1",
               "  1,55, 0, SEGNALE SUD", Signal(400)});
  Scratch scratch(line, train);
  const ToolRun run = RunScenario(scratch.dir.path(), "verifica --tutti --json");
  const json report = json::parse(run.out, nullptr, false);
  ASSERT_FALSE(report.is_discarded()) << run.out;
  const json& problemi = report["problemi"];
  ASSERT_EQ(2u, problemi.size()) << run.out;
  EXPECT_EQ(kErrStazionePosizione, problemi[0]["codice"]);
  EXPECT_EQ(LineOf(train, "2425"), problemi[0]["riga"]);
  // The station's name holds a keyword: read as a record, it would place a
  // signal of its own.
  EXPECT_EQ(kErrSegnale, problemi[1]["codice"]);
  EXPECT_EQ(LineOf(train, "segnale,    400"), problemi[1]["riga"]);
  EXPECT_EQ(400, problemi[1]["pos_errore"]);
}

// Compila has no --tutti; a clean pair gives the counts only.
TEST(VerificaTutti, CleanSourcesAndCompila) {
  Scratch scratch(FixtureLine(), FixtureTrain());
  ToolRun run = RunScenario(scratch.dir.path(), "verifica --tutti");
  EXPECT_EQ(0, run.status);
  EXPECT_EQ("scenario: 0 problemi, 0 avvisi\n", run.out);
  run = RunScenario(scratch.dir.path(), "compila --tutti");
  EXPECT_EQ(2, run.status);
  EXPECT_EQ(2u, FolderFiles(scratch.dir.path()).size());
}

// The library on an in-memory disk: the first round's placements and the
// compiled bytes it would write, and no write at all.
TEST(CheckAll, TellsTheFirstRoundAndWritesNothing) {
  FakeFileSystem disk;
  Lines line = FixtureLine(), train = FixtureTrain();
  Add(&train, {Signal(400)});
  Sources sources;
  sources.line_bytes = JoinCrLf(line);
  sources.train_bytes = JoinCrLf(train);
  sources.line_name = "Prova_linea.txt";
  sources.train_name = "Prova_7-.txt";
  CheckReport report;
  FirstRound first;
  CheckAll(sources, "/c", ScenarioName{"Prova", "7"}, 1, 100, &disk, &report, &first);
  EXPECT_EQ(1, report.esito);
  ASSERT_EQ(1u, report.problemi.size());
  EXPECT_EQ(kErrSegnale, report.problemi[0].codice);
  EXPECT_TRUE(disk.files.empty());
  for (const std::string& op : disk.log) EXPECT_EQ(std::string::npos, op.find("write")) << op;
  // The first round is the sources as they are: the station and the
  // board, as the core compiles them.
  bool station = false, board = false;
  for (const PlacementEvent& e : first.placements) {
    station = station || (e.index == 9 && e.tipo == kTipoStazione);
    board = board || (e.index == 18 && e.tipo == kTipoCartello);
  }
  EXPECT_TRUE(station && board);
  const auto core = CompileWithCore(line, train, 1);
  EXPECT_EQ(core.at("Prova_7.dat"), first.track_bytes);
  EXPECT_EQ(core.at("Prova_7.sim"), first.run_bytes);
}

}  // namespace
}  // namespace scenario
