// compila and verifica: the report of every problem a source can cause, the
// warnings about silent overwrites, the exit statuses, and that the user's
// sources stay as they were and the compiled files are the builder's.
#include "tools/check/check.h"

#include <gtest/gtest.h>

#include <functional>
#include <nlohmann/json.hpp>
#include <optional>
#include <sstream>

#include "model/file_names.h"
#include "model/problems.h"
#include "model/track_model.h"
#include "tests/tools/check/check_fixtures.h"
#include "tests/tools/tool_test_util.h"

namespace scenario {
namespace {

using nlohmann::json;

TEST(CompilaReport, NamesEveryProblemWithItsRecord) {
  for (const Case& c : Cases()) {
    SCOPED_TRACE("problema " + std::to_string(c.code));
    Lines line = FixtureLine(), train = FixtureTrain();
    c.edit(&line, &train);
    Scratch scratch(line, train);
    const std::map<std::string, std::string> before = FolderFiles(scratch.dir.path());

    const ToolRun run = RunScenario(scratch.dir.path(), "compila --json");
    EXPECT_EQ(c.esito, run.status) << run.out << run.err;
    const json report = json::parse(run.out, nullptr, false);
    ASSERT_FALSE(report.is_discarded()) << run.out;
    EXPECT_EQ(c.esito, report["esito"]);
    const json& p = report["problema"];
    ASSERT_TRUE(p.is_object()) << run.out;
    EXPECT_EQ(c.code, p["codice"]);
    EXPECT_EQ(ProblemText(c.code), p["significato"].get<std::string>());
    if (c.pos) {
      EXPECT_EQ(*c.pos, p["pos_errore"]);
    } else {
      EXPECT_TRUE(p["pos_errore"].is_null());
    }
    const Lines& source = c.file == 'L' ? line : train;
    EXPECT_EQ(c.file == 'L' ? LineSource() : TrainSource(), p["file"]);
    EXPECT_EQ(LineOf(source, c.marker), p["riga"]) << run.out;
    EXPECT_EQ(1, p["colonna"]);
    std::vector<std::pair<int32_t, int>> occupata;
    for (const json& o : p["occupata"]) occupata.emplace_back(o["cella"], o["tipo"]);
    EXPECT_EQ(c.occupata, occupata) << p.dump();

    // The sources are untouched; the compiled files are the builder's, or
    // there are none.
    std::map<std::string, std::string> after = FolderFiles(scratch.dir.path());
    EXPECT_EQ(before.at(LineSource()), after[LineSource()]);
    EXPECT_EQ(before.at(TrainSource()), after[TrainSource()]);
    if (c.esito == 2) {
      EXPECT_EQ(2u, after.size()) << "files written after a stop";
      EXPECT_TRUE(report["scritti"].empty());
    } else {
      const std::map<std::string, std::string> expected = CompileWithCore(line, train, 1);
      ASSERT_EQ(3u, expected.size());
      for (const auto& [name, bytes] : expected) {
        EXPECT_TRUE(after.count(name) != 0 && after[name] == bytes) << name;
      }
      EXPECT_EQ(3u, report["scritti"].size());
    }
  }
}

TEST(CompilaReport, OccupantNamesTheRecordThatPlacedIt) {
  Lines line = FixtureLine(), train = FixtureTrain();
  Add(&train, {Signal(400)});
  Scratch scratch(line, train);
  const ToolRun run = RunScenario(scratch.dir.path(), "compila --json");
  const json report = json::parse(run.out, nullptr, false);
  ASSERT_FALSE(report.is_discarded()) << run.out;
  const json& o = report["problema"]["occupata"][0];
  EXPECT_EQ("cella di stazione", o["tipo_nome"]);
  EXPECT_EQ(TrainSource(), o["file"]);
  EXPECT_EQ(LineOf(train, "stazione"), o["riga"]);
  EXPECT_EQ("stazione", o["record"]);
  EXPECT_EQ("segnale", report["problema"]["record"]);
}

// A code the compile pass itself put in the way is traced to the record it
// was put there for: here the guard code of a restriction starting in cell
// 8, pushed into cell 1 by the abbattimenti in cells 3 and 2.
TEST(CompilaReport, ACodeOfTheCompilePassNamesItsRecord) {
  Lines line = FixtureLine(), train = FixtureTrain();
  Add(&train, {"abbattimento,  150,  0", "abbattimento,  100,  0",
               "rallentamento,  350,  120,  200,  0,  0,  0"});
  Scratch scratch(line, train);
  const ToolRun run = RunScenario(scratch.dir.path(), "verifica --json");
  EXPECT_EQ(2, run.status);
  const json report = json::parse(run.out, nullptr, false);
  ASSERT_FALSE(report.is_discarded()) << run.out;
  const json& p = report["problema"];
  EXPECT_EQ(1250, p["codice"]);
  EXPECT_EQ(LineOf(train, "rallentamento"), p["riga"]);
  ASSERT_EQ(1u, p["occupata"].size());
  const json& o = p["occupata"][0];
  EXPECT_EQ(1, o["cella"]);
  EXPECT_EQ(kTipoCodice, o["tipo"]);
  EXPECT_EQ(true, o["dalla_compilazione"]);
  EXPECT_EQ(LineOf(train, "rallentamento"), o["riga"]);
  EXPECT_EQ("rallentamento", o["record"]);

  const ToolRun text = RunScenario(scratch.dir.path(), "verifica");
  const std::string nota = TrainSource() + ":" + std::to_string(LineOf(train, "rallentamento")) +
                           ":1: nota: per il record \"rallentamento\" la compilazione ha posto "
                           "cella di codice (tipo 12) nella cella 1\n";
  EXPECT_NE(std::string::npos, text.out.find(nota)) << text.out;
}

TEST(CompilaReport, TextFormIsFileLineColumn) {
  Lines line = FixtureLine(), train = FixtureTrain();
  Add(&train, {Signal(400)});
  Scratch scratch(line, train);
  // Run from the parent folder, so the names carry the folder.
  const std::filesystem::path dir(scratch.dir.path());
  const std::string sub = dir.filename().string();
  const ToolRun run = RunScenario(dir.parent_path().string(), "compila " + ShellQuote(sub));
  EXPECT_EQ(1, run.status);
  const Lines expected = {
      sub +
          "/Prova_7-.txt:9:1: errore: problema n. 16: cella del segnale gia' occupata; "
          "pos_errore 400 m; la cella 9 (metri 450-500) è occupata da cella di stazione (tipo 10)",
      sub +
          "/Prova_7-.txt:6:1: nota: qui il record \"stazione\" ha posto cella di stazione "
          "(tipo 10) nella cella 9",
      "scenario: scritti comunque, come dal costruttore: " + sub + "/Prova_linea.dat, " + sub +
          "/Prova_7.sim, " + sub + "/Prova_7.dat",
  };
  std::istringstream in(run.out);
  Lines got;
  for (std::string l; std::getline(in, l);) got.push_back(l);
  EXPECT_EQ(expected, got);
}

TEST(CompilaReport, MissingLineSourceIsProblem101AndWritesNothing) {
  TempDir dir;
  WriteBytes(dir.File(TrainSource()), JoinCrLf(FixtureTrain()));
  const ToolRun run = RunScenario(dir.path(), "compila --json --linea Prova --treno 7");
  EXPECT_EQ(2, run.status);
  const json report = json::parse(run.out, nullptr, false);
  ASSERT_FALSE(report.is_discarded()) << run.out;
  EXPECT_EQ(101, report["problema"]["codice"]);
  EXPECT_EQ(LineSource(), report["problema"]["file"]);
  EXPECT_TRUE(report["problema"]["riga"].is_null());
  EXPECT_EQ(1u, FolderFiles(dir.path()).size());
}

TEST(CompilaReport, MissingTrainSourceWritesNothing) {
  TempDir dir;
  WriteBytes(dir.File(LineSource()), JoinCrLf(FixtureLine()));
  ToolRun run = RunScenario(dir.path(), "compila --json --linea Prova --treno 7");
  EXPECT_EQ(2, run.status);
  const json report = json::parse(run.out, nullptr, false);
  ASSERT_FALSE(report.is_discarded()) << run.out;
  EXPECT_TRUE(report["problema"].is_null());
  EXPECT_EQ(json::array({"file del treno mancante: " + TrainSource()}), report["errori"]);
  // Without names, a line source alone is no pair.
  run = RunScenario(dir.path(), "compila");
  EXPECT_EQ(2, run.status);
  EXPECT_NE(std::string::npos, run.out.find("nessuna coppia di sorgenti")) << run.out;
  EXPECT_EQ(1u, FolderFiles(dir.path()).size());
}

TEST(CompilaReport, WarnsAboutSilentOverwritesAndChangesNothing) {
  Lines line = FixtureLine(), train = FixtureTrain();
  Add(&line, {"montagna,  2700,  3000,  2"});  // over cells 54, 55 of 2500-2800
  Before(&train, "stazione", {Signal(400)});   // the station cell 9 replaces it
  Add(&train, {Signal(1650)});                 // advance codes over those of 1750
  Scratch scratch(line, train);
  const ToolRun run = RunScenario(scratch.dir.path(), "compila --json");
  EXPECT_EQ(0, run.status) << run.out;
  const json report = json::parse(run.out, nullptr, false);
  ASSERT_FALSE(report.is_discarded()) << run.out;
  EXPECT_TRUE(report["problema"].is_null());

  struct Expected {
    const char* genere;
    const Lines* source;
    const char* marker;
    std::vector<int32_t> celle;
  };
  const Expected expected[] = {
      {"galleria", &line, "montagna,  2700", {54, 55}},
      {"preavviso", &train, "stazione", {7, 5}},  // the signal's codes in 7 and 5
      {"cella_di_stazione", &train, "stazione", {9}},
      {"preavviso", &train, "segnale,    1650", {32, 30, 28}},
  };
  const json& avvisi = report["avvisi"];
  ASSERT_EQ(std::size(expected), avvisi.size()) << avvisi.dump(2);
  for (size_t i = 0; i < std::size(expected); ++i) {
    SCOPED_TRACE(i);
    EXPECT_EQ(expected[i].genere, avvisi[i]["genere"]);
    EXPECT_EQ(LineOf(*expected[i].source, expected[i].marker), avvisi[i]["riga"]);
    EXPECT_EQ(expected[i].celle, avvisi[i]["celle"].get<std::vector<int32_t>>());
  }
  EXPECT_NE(std::string::npos, avvisi[0]["testo"].get<std::string>().find("2500-2800 m"));
  EXPECT_NE(std::string::npos, avvisi[2]["testo"].get<std::string>().find("segnale (tipo 1)"));
  EXPECT_NE(std::string::npos, avvisi[3]["testo"].get<std::string>().find(
                                   "cella 32 (32 del segnale in Prova_7-.txt:" +
                                   std::to_string(LineOf(train, "segnale,    1750")) + ":1)"));

  // Warnings change no output.
  std::map<std::string, std::string> after = FolderFiles(scratch.dir.path());
  for (const auto& [name, bytes] : CompileWithCore(line, train, 1)) {
    EXPECT_TRUE(after[name] == bytes) << name;
  }
  // The text form says "avviso:" at the record.
  const ToolRun text = RunScenario(scratch.dir.path(), "verifica");
  EXPECT_NE(std::string::npos,
            text.out.find("Prova_linea.txt:" + std::to_string(LineOf(line, "montagna,  2700")) +
                          ":1: avviso: la galleria ricopre le celle 54-55"))
      << text.out;
}

TEST(Verifica, WritesNothing) {
  Lines line = FixtureLine(), train = FixtureTrain();
  Scratch scratch(line, train);
  const auto before = FolderFiles(scratch.dir.path());
  ToolRun run = RunScenario(scratch.dir.path(), "verifica");
  EXPECT_EQ(0, run.status);
  EXPECT_EQ("scenario: verifica senza problemi, nessun file scritto\n", run.out);
  EXPECT_EQ(before, FolderFiles(scratch.dir.path()));

  Add(&train, {Signal(400)});
  WriteBytes(scratch.dir.File(TrainSource()), JoinCrLf(train));
  const auto faulty = FolderFiles(scratch.dir.path());
  run = RunScenario(scratch.dir.path(), "verifica --json");
  EXPECT_EQ(1, run.status);
  EXPECT_EQ(faulty, FolderFiles(scratch.dir.path()));
}

TEST(Compila, SenzaLineaWritesNoLineFile) {
  const Lines line = FixtureLine(), train = FixtureTrain();
  Scratch scratch(line, train);
  const ToolRun run = RunScenario(scratch.dir.path(), "compila --senza-linea");
  EXPECT_EQ(0, run.status) << run.out;
  auto after = FolderFiles(scratch.dir.path());
  EXPECT_EQ(0u, after.count("Prova_linea.dat"));
  const auto expected = CompileWithCore(line, train, 0);
  EXPECT_EQ(0u, expected.count("Prova_linea.dat"));
  for (const auto& [name, bytes] : expected) EXPECT_TRUE(after[name] == bytes) << name;
}

TEST(Compila, AnOutputThatCannotBeWrittenLeavesNothingWritten) {
  Scratch scratch(FixtureLine(), FixtureTrain());
  WriteBytes(scratch.dir.File("Prova_linea.dat"), "vecchio");
  std::filesystem::create_directory(scratch.dir.File("Prova_7.sim"));  // in the way
  const auto before = FolderFiles(scratch.dir.path());
  const ToolRun run = RunScenario(scratch.dir.path(), "compila --json");
  EXPECT_EQ(2, run.status);
  const json report = json::parse(run.out, nullptr, false);
  ASSERT_FALSE(report.is_discarded()) << run.out;
  ASSERT_EQ(1u, report["errori"].size());
  EXPECT_NE(std::string::npos, report["errori"][0].get<std::string>().find("Prova_7.sim"));
  EXPECT_TRUE(report["scritti"].empty());
  // The line file written before the failure has its old content back.
  EXPECT_EQ(before, FolderFiles(scratch.dir.path()));
}

TEST(Compila, ReplacesOlderCompiledFiles) {
  Scratch scratch(FixtureLine(), FixtureTrain());
  WriteBytes(scratch.dir.File("Prova_7.dat"), std::string(100000, 'x'));
  EXPECT_EQ(0, RunScenario(scratch.dir.path(), "compila").status);
  EXPECT_EQ(CompileWithCore(FixtureLine(), FixtureTrain(), 1)["Prova_7.dat"],
            ReadBytes(scratch.dir.File("Prova_7.dat")));
}

TEST(Compila, FindsTheOnePairOrSaysWhichItFound) {
  Scratch scratch(FixtureLine(), FixtureTrain());
  WriteBytes(scratch.dir.File("Prova_8-.txt"), JoinCrLf(FixtureTrain()));
  WriteBytes(scratch.dir.File("Altra_linea.txt"), JoinCrLf(FixtureLine()));  // no train run
  ToolRun run = RunScenario(scratch.dir.path(), "compila");
  EXPECT_EQ(2, run.status);
  EXPECT_NE(std::string::npos, run.out.find("più di una coppia di sorgenti")) << run.out;
  EXPECT_NE(std::string::npos, run.out.find("Prova/7, Prova/8")) << run.out;
  EXPECT_EQ(4u, FolderFiles(scratch.dir.path()).size());

  run = RunScenario(scratch.dir.path(), "compila --treno 8");
  EXPECT_EQ(0, run.status) << run.out;
  EXPECT_EQ(1u, FolderFiles(scratch.dir.path()).count("Prova_8.sim"));
  EXPECT_EQ(0u, FolderFiles(scratch.dir.path()).count("Prova_7.sim"));

  run = RunScenario(scratch.dir.path(), "compila --linea Nessuna");
  EXPECT_EQ(2, run.status);
  EXPECT_NE(std::string::npos, run.out.find("nessuna coppia di sorgenti")) << run.out;

  TempDir empty;
  run = RunScenario(empty.path(), "compila");
  EXPECT_EQ(2, run.status);
  EXPECT_TRUE(FolderFiles(empty.path()).empty());
}

// The library on an in-memory disk, without the executable.
TEST(RunCheck, WorksOnAnyFileSystem) {
  FakeFileSystem disk;
  Lines train = FixtureTrain();
  Add(&train, {Signal(400)});
  disk.files["/cartella/Prova_linea.txt"] = JoinCrLf(FixtureLine());
  disk.files["/cartella/Prova_7-.txt"] = JoinCrLf(train);
  CheckOptions options;
  options.folder = "/cartella/";
  options.linea = "Prova";
  options.treno = "7";
  options.json = true;
  std::ostringstream out;
  EXPECT_EQ(1, RunCheck(options, &disk, &out));
  const json report = json::parse(out.str(), nullptr, false);
  ASSERT_FALSE(report.is_discarded()) << out.str();
  EXPECT_EQ("/cartella/Prova_7-.txt", report["problema"]["file"]);
  EXPECT_EQ(JoinCrLf(FixtureLine()), disk.files["/cartella/Prova_linea.txt"]);
  EXPECT_EQ(JoinCrLf(train), disk.files["/cartella/Prova_7-.txt"]);
  EXPECT_EQ(5u, disk.files.size());
  for (const std::string& op : disk.log) EXPECT_EQ(std::string::npos, op.find("remove")) << op;
}

}  // namespace
}  // namespace scenario
