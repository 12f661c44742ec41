// The `scenario` executable as a user runs it: sorgenti and compila give the
// builder's files, every command has --help, usage errors fail cleanly.
#include "tools/cli/cli.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "model/track_model.h"
#include "tests/tools/tool_test_util.h"
#include "tools/drawing/canvas.h"

namespace scenario {
namespace {

TEST(Cli, SorgentiThenCompilaGiveTheBuildersFiles) {
  TempDir builder;
  std::filesystem::copy_file(SCENARIO_BUILDER, builder.File("crea_scenario"));
  const ToolRun built = RunIn(builder.path(), "env -u DISPLAY ./crea_scenario");
  ASSERT_EQ(0, built.status) << built.err;

  TempDir dir;
  ToolRun run = RunScenario(dir.path(), "sorgenti");
  ASSERT_EQ(0, run.status) << run.err;
  EXPECT_EQ("scenario: scritti Vescolara_linea.txt, Vescolara_631-.txt\n", run.out);
  // The sources are the bytes the builder's writers produce.
  FakeFileSystem fs;
  TrackModel model(&fs, kTestFolder);
  model.linea = kLineaPredefinita;
  model.treno = kTrenoPredefinito;
  model.dati_linea();
  model.dati_treno();
  EXPECT_EQ(fs.files[model.FullName("Vescolara_linea.txt")],
            ReadBytes(dir.File("Vescolara_linea.txt")));
  EXPECT_EQ(fs.files[model.FullName("Vescolara_631-.txt")],
            ReadBytes(dir.File("Vescolara_631-.txt")));

  run = RunScenario(dir.path(), "compila");
  ASSERT_EQ(0, run.status) << run.out;
  EXPECT_EQ("scenario: scritti Vescolara_linea.dat, Vescolara_631.sim, Vescolara_631.dat\n",
            run.out);
  for (const char* name : {"Vescolara_linea.dat", "Vescolara_631.sim", "Vescolara_631.dat"}) {
    const std::string mine = ReadBytes(dir.File(name));
    EXPECT_FALSE(mine.empty()) << name;
    EXPECT_TRUE(mine == ReadBytes(builder.File(name))) << name << " differs from the builder's";
  }
  // The sources are still there, unchanged.
  EXPECT_EQ(fs.files[model.FullName("Vescolara_linea.txt")],
            ReadBytes(dir.File("Vescolara_linea.txt")));
  EXPECT_EQ(5u, FolderFiles(dir.path()).size());
}

TEST(Cli, SorgentiKeepsTheUsersEdits) {
  TempDir dir;
  WriteBytes(dir.File("Vescolara_631-.txt"), "mie modifiche\r\n");
  ToolRun run = RunScenario(dir.path(), "sorgenti");
  EXPECT_EQ(2, run.status);
  EXPECT_NE(std::string::npos, run.err.find("Vescolara_631-.txt esiste già")) << run.err;
  EXPECT_EQ(1u, FolderFiles(dir.path()).size());  // neither file written
  EXPECT_EQ("mie modifiche\r\n", ReadBytes(dir.File("Vescolara_631-.txt")));

  run = RunScenario(dir.path(), "sorgenti --sovrascrivi .");
  EXPECT_EQ(0, run.status) << run.err;
  EXPECT_EQ(0u, ReadBytes(dir.File("Vescolara_631-.txt")).rfind("[generale]\r\n", 0));

  run = RunScenario(dir.path(), "sorgenti manca");
  EXPECT_EQ(2, run.status);
  EXPECT_NE(std::string::npos, run.err.find("manca/Vescolara_linea.txt")) << run.err;
}

TEST(Cli, EveryCommandHasHelp) {
  TempDir dir;
  for (const char* command :
       {"", "sorgenti ", "compila ", "verifica ", "mostra ", "disegna ", "rapporto "}) {
    const ToolRun run = RunScenario(dir.path(), std::string(command) + "--help");
    EXPECT_EQ(0, run.status) << command;
    EXPECT_NE(std::string::npos, run.out.find("Uso: scenario " + std::string(command)))
        << command << run.out;
  }
  const ToolRun run = RunScenario(dir.path(), "--version");
  EXPECT_EQ(0, run.status);
  EXPECT_EQ(std::string(kToolVersion) + "\n", run.out);
  EXPECT_TRUE(FolderFiles(dir.path()).empty());
}

TEST(Cli, DisegnaHelpSaysWhetherPngCanBeWritten) {
  TempDir dir;
  const ToolRun run = RunScenario(dir.path(), "disegna --help");
  EXPECT_EQ(0, run.status);
  if (PngAvailable()) {
    EXPECT_NE(std::string::npos, run.out.find(".svg o .png")) << run.out;
  } else {
    EXPECT_NE(std::string::npos, run.out.find("PNG non disponibile")) << run.out;
    EXPECT_EQ(std::string::npos, run.out.find(".png")) << run.out;
  }
}

TEST(Cli, UsageErrorsFailWithoutWriting) {
  TempDir dir;
  for (const char* args : {"", "rompi", "compila --nessuna", "mostra", "mostra --da x f.dat",
                           "mostra --formato altro f.dat", "compila a b"}) {
    const ToolRun run = RunScenario(dir.path(), args);
    EXPECT_EQ(2, run.status) << args;
    EXPECT_FALSE(run.err.empty()) << args;
  }
  EXPECT_TRUE(FolderFiles(dir.path()).empty());
}

TEST(Cli, MostraReadsWhatCompilaWrote) {
  TempDir dir;
  WriteBytes(dir.File("Prova_linea.txt"), JoinCrLf(FixtureLine()));
  WriteBytes(dir.File("Prova_7-.txt"), JoinCrLf(FixtureTrain()));
  ASSERT_EQ(0, RunScenario(dir.path(), "compila").status);
  const ToolRun run = RunScenario(dir.path(), "mostra Prova_7.sim Prova_linea.dat --da 1 --a 1");
  EXPECT_EQ(0, run.status) << run.err;
  EXPECT_EQ(
      "# Prova_7.sim (formato corsa)\n"
      "voce 1: tipo 2, inizio -100, fine 500, posizione 200, dato1 0, nome \"PRIMA\", dato2 1, "
      "dato3 1, dato4 2, dato5 4, dato6 1, dato7 0, dato8 1, dato9 0, dato10 0, orario 6900\n"
      "# Prova_linea.dat (formato linea)\n"
      "metro 1: x 0, y 1\n",
      run.out);
}

}  // namespace
}  // namespace scenario
