// The `scenario` executable as a user runs it: sorgenti and compila give the
// builder's files, every command has --help, usage errors fail cleanly.
#include "tools/cli/cli.h"

#include <gtest/gtest.h>

#include <cctype>
#include <filesystem>
#include <map>
#include <nlohmann/json.hpp>
#include <set>

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

  // A folder that cannot be made (a file stands in its way) writes nothing
  // and says why.
  WriteBytes(dir.File("manca"), "un file");
  run = RunScenario(dir.path(), "sorgenti manca/sotto");
  EXPECT_EQ(2, run.status);
  EXPECT_NE(std::string::npos, run.err.find("impossibile creare la cartella manca/sotto"))
      << run.err;
  EXPECT_FALSE(std::filesystem::exists(dir.File("manca/sotto")));
}

// The folder is made when it is missing; --linea and --treno name the pair.
TEST(Cli, SorgentiUnderNewNamesMakesTheFolder) {
  TempDir dir;
  ToolRun run = RunScenario(dir.path(), "sorgenti nuova/linea --linea Prova --treno 7");
  ASSERT_EQ(0, run.status) << run.err;
  EXPECT_EQ("scenario: scritti nuova/linea/Prova_linea.txt, nuova/linea/Prova_7-.txt\n", run.out);
  const std::map<std::string, std::string> files = FolderFiles(dir.File("nuova/linea"));
  ASSERT_EQ(2u, files.size());
  // The content is the built-in one, under the new names.
  FakeFileSystem fs;
  TrackModel model(&fs, kTestFolder);
  model.linea = kLineaPredefinita;
  model.treno = kTrenoPredefinito;
  model.dati_linea();
  model.dati_treno();
  EXPECT_EQ(fs.files[model.FullName("Vescolara_linea.txt")], files.at("Prova_linea.txt"));
  EXPECT_EQ(fs.files[model.FullName("Vescolara_631-.txt")], files.at("Prova_7-.txt"));
  // ... and they compile as the pair Prova/7.
  run = RunScenario(dir.path(), "verifica nuova/linea");
  EXPECT_EQ(0, run.status) << run.out;

  struct Bad {
    const char* args;
    const char* message;
  };
  const Bad kBad[] = {
      {"--linea a/b", "il nome della linea \"a/b\" contiene un carattere"},
      {"--treno '7?'", "il numero del treno \"7?\" contiene un carattere"},
      {"--linea ''", "il nome della linea è vuoto"},
      {"--treno LINEA", "il numero del treno non può essere \"linea\""},
      {"--linea \u0141odz", "contiene caratteri che Windows-1252 non ha"},
  };
  for (const Bad& b : kBad) {
    run = RunScenario(dir.path(), std::string("sorgenti altra ") + b.args);
    EXPECT_EQ(2, run.status) << b.args;
    EXPECT_NE(std::string::npos, run.err.find(b.message)) << b.args << ": " << run.err;
    EXPECT_FALSE(std::filesystem::exists(dir.File("altra"))) << b.args;
  }
}

TEST(Cli, EveryCommandHasHelp) {
  TempDir dir;
  for (const char* command :
       {"", "sorgenti ", "compila ", "verifica ", "mostra ", "disegna ", "rapporto "}) {
    const ToolRun run = RunScenario(dir.path(), std::string(command) + "--help");
    EXPECT_EQ(0, run.status) << command;
    EXPECT_NE(std::string::npos, run.out.find("Uso: scenario " + std::string(command)))
        << command << run.out;
    // No English word of the command-line library is left in the help.
    const std::set<std::string> english = {"TEXT",     "INT",     "POSITIVE",
                                           "Usage",    "Options", "Positionals",
                                           "REQUIRED", "Needs",   "Excludes"};
    std::string word;
    for (const char c : run.out + " ") {
      if (std::isalnum(static_cast<unsigned char>(c))) {
        word += c;
        continue;
      }
      EXPECT_EQ(0u, english.count(word)) << word << " in the help of " << command;
      word.clear();
    }
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

// What is wrong with a command line, in the tool's words: one line on the
// standard error, or with --json one JSON object on the standard output.
TEST(Cli, UsageErrorsAreItalian) {
  struct Case {
    const char* args;
    const char* error;  // the whole line on the standard error
  };
  const Case kCases[] = {
      {"",
       "manca il comando (sorgenti, compila, verifica, mostra, disegna, rapporto) (vedere "
       "\"scenario --help\")"},
      {"rompi",
       "comando sconosciuto: rompi (comandi: sorgenti, compila, verifica, mostra, "
       "disegna, rapporto) (vedere \"scenario --help\")"},
      {"--rompi",
       "opzione sconosciuta: --rompi (comandi: sorgenti, compila, verifica, mostra, "
       "disegna, rapporto) (vedere \"scenario --help\")"},
      {"compila --nessuna", "opzione sconosciuta: --nessuna (vedere \"scenario compila --help\")"},
      {"compila a b c", "argomenti inattesi: b c (vedere \"scenario compila --help\")"},
      {"verifica --tutti --limite 0",
       "valore non valido per --limite: 0 (fuori dall'intervallo ammesso) (vedere \"scenario "
       "verifica --help\")"},
      {"rapporto --nessuna",
       "opzione sconosciuta: --nessuna (vedere \"scenario rapporto --help\")"},
      {"sorgenti a b --x",
       "opzione sconosciuta: --x; argomento inatteso: b (vedere \"scenario sorgenti --help\")"},
      {"mostra", "manca l'argomento file (vedere \"scenario mostra --help\")"},
      {"mostra --da x f.dat",
       "valore non valido per --da: x (serve un numero intero) (vedere \"scenario mostra "
       "--help\")"},
      {"mostra --formato altro f.dat",
       "valore non ammesso per --formato: altro (ammessi: testo, json, csv, binario, corsa, "
       "linea) (vedere \"scenario mostra --help\")"},
      {"verifica --linea", "manca il valore di --linea (vedere \"scenario verifica --help\")"},
  };
  TempDir dir;
  for (const Case& c : kCases) {
    const ToolRun run = RunScenario(dir.path(), c.args);
    EXPECT_EQ(2, run.status) << c.args;
    EXPECT_EQ("", run.out) << c.args;
    EXPECT_EQ("scenario: errore: " + std::string(c.error) + "\n", run.err) << c.args;
  }
  struct JsonCase {
    const char* args;
    const char* comando;  // nullptr: none
    const char* error;
  };
  const JsonCase kJson[] = {
      {"--json", nullptr,
       "manca il comando (sorgenti, compila, verifica, mostra, disegna, rapporto)"},
      {"verifica --json --nessuna", "verifica", "opzione sconosciuta: --nessuna"},
      {"compila --json a b", "compila", "argomento inatteso: b"},
      {"disegna --json", "disegna", "opzione sconosciuta: --json"},
      {"mostra --json --da x f.dat", "mostra",
       "valore non valido per --da: x (serve un numero "
       "intero)"},
  };
  for (const JsonCase& c : kJson) {
    const ToolRun run = RunScenario(dir.path(), c.args);
    EXPECT_EQ(2, run.status) << c.args;
    EXPECT_EQ("", run.err) << c.args;
    const nlohmann::json j = nlohmann::json::parse(run.out, nullptr, false);
    ASSERT_FALSE(j.is_discarded()) << c.args << ": " << run.out;
    if (c.comando == nullptr) {
      EXPECT_TRUE(j["comando"].is_null()) << c.args;
    } else {
      EXPECT_EQ(c.comando, j["comando"]) << c.args;
    }
    EXPECT_EQ(2, j["esito"]) << c.args;
    EXPECT_EQ(nlohmann::json::array({c.error}), j["errori"]) << c.args;
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
