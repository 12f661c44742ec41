// What an author sees: the built-in sources written by `scenario sorgenti t`,
// edited the way an author edits them, then `scenario verifica t`. Each edit
// is a mistake that once went through in silence or was blamed on the wrong
// record; the exact report is held here. `compila` on the same sources
// writes the builder's bytes and exits as the builder's outcome says,
// whatever the warnings.
#include <gtest/gtest.h>

#include <filesystem>
#include <map>
#include <nlohmann/json.hpp>
#include <string>
#include <vector>

#include "model/track_model.h"
#include "tests/tools/tool_test_util.h"

namespace scenario {
namespace {

using nlohmann::json;

const char kLine[] = "Vescolara_linea.txt";
const char kTrain[] = "Vescolara_631-.txt";

// Replaces the first `from` in the file `name` of `folder`.
void Edit(const std::string& folder, const std::string& name, const std::string& from,
          const std::string& to) {
  const std::string path = folder + "/" + name;
  std::string bytes = ReadBytes(path);
  const size_t at = bytes.find(from);
  ASSERT_NE(std::string::npos, at) << "no " << from << " in " << name;
  bytes.replace(at, from.size(), to);
  WriteBytes(path, bytes);
}

// The compiled files the builder's compile pass makes of the sources of
// `folder`, and how it ends; run on the core, with no observer.
struct CoreRun {
  std::map<std::string, std::string> files;
  CompileOutcome outcome;
};

CoreRun CompileWithCore(const std::string& folder) {
  FakeFileSystem fs;
  TrackModel model(&fs, kTestFolder);
  model.linea = "Vescolara";
  model.treno = "631";
  fs.files[model.FullName(kLine)] = ReadBytes(folder + "/" + kLine);
  fs.files[model.FullName(kTrain)] = ReadBytes(folder + "/" + kTrain);
  CoreRun run;
  run.outcome = model.memorizza_percorso(1);
  for (const auto& [path, bytes] : fs.files) {
    if (path.size() > 4 && path.compare(path.size() - 4, 4, ".txt") != 0) {
      run.files[path.substr(std::string(kTestFolder).size() + 1)] = bytes;
    }
  }
  return run;
}

// `text` `times` times over.
std::string Repeat(const std::string& text, int times) {
  std::string out;
  for (int k = 0; k < times; ++k) out += text;
  return out;
}

struct Reproduction {
  const char* name;
  const char* file;  // kLine or kTrain
  const char* from;  // nullptr: the whole file becomes `to`
  std::string to;
  int status;
  std::vector<std::string> report;  // verifica's lines, without the summary
};

const std::vector<Reproduction>& Reproductions() {
  static const std::vector<Reproduction> kAll = {
      {"a curve past the end is blamed on the curve",
       kLine,
       "curvad4,  1100,  250",
       "curvad4,  106000,  250",
       1,
       {"t/Vescolara_linea.txt:11:1: errore: problema n. 15: posizione oltre la fine del percorso; "
        "pos_errore 106000 m; oltre l'ultima posizione ammessa per questo record, 105900 m, con "
        "la lunghezza del percorso di 99000 m",
        "t/Vescolara_linea.txt:2:1: nota: qui la lunghezza del percorso, 99000 m: il binario "
        "arriva a 106000 m",
        "t/Vescolara_631-.txt:43:1: nota: la lettura della corsa si ferma a questo record "
        "\"segnale\" per il problema già registrato: pos_errore diventa 1750 m"}},
      {"a gradient past the end is blamed on the gradient",
       kLine,
       "pendenza,  1550,   1",
       "pendenza,  106000,   1",
       1,
       {"t/Vescolara_linea.txt:74:1: errore: problema n. 15: posizione oltre la fine del "
        "percorso; pos_errore 106000 m; oltre l'ultima posizione ammessa per questo record, "
        "105900 m, con la lunghezza del percorso di 99000 m",
        "t/Vescolara_linea.txt:2:1: nota: qui la lunghezza del percorso, 99000 m: il binario "
        "arriva a 106000 m",
        "t/Vescolara_631-.txt:43:1: nota: la lettura della corsa si ferma a questo record "
        "\"segnale\" per il problema già registrato: pos_errore diventa 1750 m"}},
      {"a tunnel past the end is blamed on the tunnel",
       kLine,
       "montagna,   10250,  10400,  12",
       "montagna,   106000,  106400,  12",
       1,
       {"t/Vescolara_linea.txt:241:1: errore: problema n. 15: posizione oltre la fine del "
        "percorso; pos_errore 106000 m; oltre l'ultima posizione ammessa per questo record, "
        "105900 m, con la lunghezza del percorso di 99000 m",
        "t/Vescolara_linea.txt:2:1: nota: qui la lunghezza del percorso, 99000 m: il binario "
        "arriva a 106000 m",
        "t/Vescolara_631-.txt:43:1: nota: la lettura della corsa si ferma a questo record "
        "\"segnale\" per il problema già registrato: pos_errore diventa 1750 m"}},
      {"a comment line that names a keyword",
       kTrain,
       "[segnali]\r\n",
       "[segnali]\r\n; qui metto il nuovo segnale di protezione\r\n",
       2,
       {"t/Vescolara_631-.txt:43:1: errore: problema n. 1250: posti riservati dei contrassegni "
        "gia' usati; la cella 1 (metri 50-100) è occupata da segnale (tipo 1)",
        "t/Vescolara_631-.txt:43:1: nota: qui il record \"; qui metto il nuovo segnale di "
        "protezione\" ha posto segnale (tipo 1) nella cella 1",
        "t/Vescolara_631-.txt:43:1: avviso: il campo \"; qui metto il nuovo segnale di "
        "protezione\" non è la parola chiave \"segnale\" ma la contiene: è letto come record "
        "\"segnale\", con tutti i suoi 11 campi presi dalle righe seguenti"}},
      {"a record separated by tabs",
       kTrain,
       "[segnali]\r\n",
       "[segnali]\r\nsegnale\t1900\t1\t4\t0\t0\t0\t0\t0\t0\t0\t0\r\n",
       2,
       {"t/Vescolara_631-.txt:43:1: errore: problema n. 1250: posti riservati dei contrassegni "
        "gia' usati; la cella 1 (metri 50-100) è occupata da segnale (tipo 1)",
        "t/Vescolara_631-.txt:43:1: nota: qui il record "
        "\"segnale\\t1900\\t1\\t4\\t0\\t0\\t0\\t0\\t0\\t0\\t0\\t0\" ha posto segnale (tipo 1) "
        "nella cella 1",
        "t/Vescolara_631-.txt:43:1: avviso: il campo "
        "\"segnale\\t1900\\t1\\t4\\t0\\t0\\t0\\t0\\t0\\t0\\t0\\t0\" non è la parola chiave "
        "\"segnale\" ma la contiene: è letto come record \"segnale\", con tutti i suoi 11 campi "
        "presi dalle righe seguenti"}},
      {"a record of tabs only",
       kTrain,
       "[segnali]\r\n",
       "[segnali]\r\n\t\t\t\r\n",
       0,
       {"t/Vescolara_631-.txt:43:1: avviso: tabulazione: non separa i campi e non è saltata come "
        "uno spazio (un numero che la contiene è letto come 0); separare i campi con virgole e "
        "spazi"}},
      {"an empty train-run source",
       kTrain,
       nullptr,
       "",
       0,
       {"t/Vescolara_631-.txt: avviso: il file della corsa è vuoto: la corsa non ha alcun "
        "dato"}},
      {"[generali] for [generale]",
       kTrain,
       "[generale]",
       "[generali]",
       0,
       {"t/Vescolara_631-.txt:1:1: avviso: il file della corsa non ha \"[generale]\": nessun suo "
        "record viene letto (qui c'è \"[generali]\")"}},
      {"stazone",
       kTrain,
       "stazione,    3400",
       "stazone,    3400",
       0,
       {"t/Vescolara_631-.txt:25:1: avviso: \"stazone\" non è una parola chiave: la riga è "
        "ignorata (forse \"stazione\"?)"}},
      {"segnlae",
       kTrain,
       "segnale,    3100",
       "segnlae,    3100",
       0,
       {"t/Vescolara_631-.txt:44:1: avviso: \"segnlae\" non è una parola chiave: la riga è "
        "ignorata (forse \"segnale\"?)"}},
      {"curvda4",
       kLine,
       "curvad4,  10300",
       "curvda4,  10300",
       0,
       {"t/Vescolara_linea.txt:16:1: avviso: \"curvda4\" non è una parola chiave: la riga è "
        "ignorata (forse \"curvad4\"?)"}},
      {"[segnalli]",
       kTrain,
       "[segnali]",
       "[segnalli]",
       0,
       {"t/Vescolara_631-.txt:42:1: avviso: sezione sconosciuta \"[segnalli]\" (forse "
        "\"[segnali]\"?)"}},
      {"a decimal comma",
       kTrain,
       "velocita,    1350,   135",
       "velocita,    1350,   125,5",
       0,
       {"t/Vescolara_631-.txt:11:26: avviso: campi in più dopo l'ultimo del record \"velocita\" "
        "(2 campi): \"5\" è letto come parola chiave e ignorato (una virgola decimale? \"125,5\" "
        "va scritto 125.5)"}},
      {"a missing field",
       kTrain,
       "segnale,    3100,   2, 4, 0,  0, 0,    0,  0,0,0, 0",
       "segnale,    3100,   2, 4, 0,  0, 0,    0,  0,0, 0",
       0,
       {"t/Vescolara_631-.txt:44:50: avviso: il record \"segnale\" ha 10 campi sulla sua riga "
        "invece di 11: quello mancante è preso dalla riga seguente, il cui record va perso"}},
      {"an empty field",
       kTrain,
       "segnale,    3100,   2, 4, 0,",
       "segnale,    3100,   2, , 0,",
       0,
       {"t/Vescolara_631-.txt:44:24: avviso: il campo \"s1\" del record \"segnale\" è vuoto: "
        "letto come 0"}},
      {"a tab after a comma",
       kTrain,
       "segnale,    3100,",
       "segnale,\t3100,",
       2,
       {"t/Vescolara_631-.txt:44:1: errore: problema n. 1250: posti riservati dei contrassegni "
        "gia' usati; la cella 1 (metri 50-100) è occupata da segnale (tipo 1)",
        "t/Vescolara_631-.txt:44:1: nota: qui il record \"segnale\" ha posto segnale (tipo 1) "
        "nella cella 1",
        "t/Vescolara_631-.txt:44:9: avviso: il campo \"posizione\" del record \"segnale\", "
        "\"\\t3100\", non è un numero: letto come 0 (contiene una tabulazione, che non è uno "
        "spazio)"}},
      {"a name saved as UTF-8",
       kTrain,
       "CORVENA C.LE",
       "CITT\xc3\x80",
       0,
       {"t/Vescolara_631-.txt:24:77: avviso: \"CITTÀ\" è scritto in UTF-8: nei file compilati "
        "diventa \"CITTÃ€\"; salvare il file in Windows-1252"}},
      {"a route length without value",
       kLine,
       "lunghezza percorso,    99000",
       "lunghezza percorso,",
       1,
       {"t/Vescolara_631-.txt:12:1: errore: problema n. 15: posizione oltre la fine del "
        "percorso; pos_errore 17900 m; oltre l'ultima posizione ammessa per questo record, "
        "6900 m, con la lunghezza del percorso di 0 m",
        "t/Vescolara_linea.txt:2:1: nota: qui la lunghezza del percorso, 0 m: il binario arriva "
        "a 7000 m",
        "t/Vescolara_linea.txt:2:20: avviso: il campo \"lunghezza\" del record \"lunghezza "
        "percorso\" è vuoto: letto come 0"}},
      {"lungheza percorso",
       kLine,
       "lunghezza percorso",
       "lungheza percorso",
       2,
       {"t/Vescolara_linea.txt:2:1: errore: problema n. 25: errore di lettura delle sorgenti; la "
        "sezione [generale] non ha \"lunghezza percorso\": \"lungheza percorso\" non è "
        "riconosciuto",
        "t/Vescolara_linea.txt:2:1: avviso: \"lungheza percorso\" non è una parola chiave della "
        "sezione [generale]: la riga è ignorata (forse \"lunghezza percorso\"?)",
        "scenario: errore: la linea non ha una lunghezza del percorso valida (\"lunghezza "
        "percorso\"): nessun file compilato scritto"}},
      {"a station type of 300",
       kTrain,
       "stazione,    6400, 12,",
       "stazione,    6400, 300,",
       1,
       {"t/Vescolara_631-.txt:26:1: errore: problema n. 25: errore di lettura delle sorgenti; il "
        "campo \"tipo\" del record \"stazione\" vale 300, fuori dall'intervallo da 0 a 255 "
        "(colonna 20)"}},
      // More gradient rows than cells: each row fills at least one cell, so
      // the 2122nd row (line 2194) finds no cell left after cells 0 to 2120.
      {"thousands of gradient rows",
       kLine,
       "[pendenze]\r\n",
       "[pendenze]\r\n" + Repeat("pendenza,  50,  1\r\n", 5000),
       1,
       {"t/Vescolara_linea.txt:2194:1: errore: problema n. 25: errore di lettura delle sorgenti; "
        "il riempimento delle pendenze ha superato l'ultima cella (2120): ogni record "
        "\"pendenza\" scrive almeno una cella, anche fuori ordine"}},
      {"a station too close to the one before",
       kTrain,
       "stazione,    6400, 12,  400",
       "stazione,    3700, 12,  400",
       1,
       {"t/Vescolara_631-.txt:26:1: errore: problema n. 22: zona della stazione a meno di 350 m "
        "dalla precedente; pos_errore 3700 m; la zona inizia a 3500 m, 0 m dopo la fine della "
        "zona della stazione precedente n. 2 \"BIVIO TALMERI\" (3500 m)",
        "t/Vescolara_631-.txt:25:1: nota: qui la stazione precedente \"BIVIO TALMERI\", con la "
        "zona fino a 3500 m"}},
  };
  return kAll;
}

std::vector<std::string> Lines(const std::string& text) {
  std::vector<std::string> out;
  size_t start = 0;
  while (start < text.size()) {
    const size_t end = text.find('\n', start);
    out.push_back(text.substr(start, end - start));
    if (end == std::string::npos) break;
    start = end + 1;
  }
  return out;
}

TEST(Reproductions, VerificaNamesTheCauseAndCompilaKeepsTheBuildersBytes) {
  for (const Reproduction& r : Reproductions()) {
    SCOPED_TRACE(r.name);
    TempDir dir;
    ASSERT_EQ(0, RunScenario(dir.path(), "sorgenti t").status);
    const std::string t = dir.File("t");
    if (r.from == nullptr) {
      WriteBytes(t + "/" + r.file, r.to);
    } else {
      Edit(t, r.file, r.from, r.to);
    }

    const ToolRun verifica = RunScenario(dir.path(), "verifica t");
    EXPECT_EQ(r.status, verifica.status) << verifica.out;
    std::vector<std::string> lines = Lines(verifica.out);
    ASSERT_FALSE(lines.empty());
    const std::string summary = lines.back();
    lines.pop_back();
    EXPECT_EQ(r.report, lines);
    EXPECT_EQ(0u, summary.find("scenario: ")) << summary;

    // Warnings change neither the files nor the exit status of compila.
    const CoreRun core = CompileWithCore(t);
    const ToolRun compila = RunScenario(dir.path(), "compila t");
    const int expected_status = core.outcome.kind == CompileOutcome::Kind::kDone      ? 0
                                : core.outcome.kind == CompileOutcome::Kind::kProblem ? 1
                                                                                      : 2;
    EXPECT_EQ(expected_status, compila.status) << compila.out;
    std::map<std::string, std::string> written = FolderFiles(t);
    written.erase(kLine);
    written.erase(kTrain);
    if (expected_status == 2) {
      EXPECT_TRUE(written.empty());
    } else {
      EXPECT_EQ(core.files.size(), written.size());
      for (const auto& [name, bytes] : core.files) {
        EXPECT_TRUE(written.count(name) != 0 && written[name] == bytes) << name;
      }
    }
  }
}

TEST(Reproductions, TheBuiltInSourcesGiveNoWarning) {
  TempDir dir;
  ASSERT_EQ(0, RunScenario(dir.path(), "sorgenti t").status);
  for (const char* args : {"verifica t --rigoroso", "verifica t --senza-linea --rigoroso"}) {
    const ToolRun run = RunScenario(dir.path(), args);
    EXPECT_EQ(0, run.status) << args;
    EXPECT_EQ("scenario: verifica senza problemi, nessun file scritto\n", run.out) << args;
  }
}

// --rigoroso turns warnings into exit 1, and only for verifica; the JSON
// entries say the same as the text, at the same place.
TEST(Reproductions, RigorosoAndJson) {
  TempDir dir;
  ASSERT_EQ(0, RunScenario(dir.path(), "sorgenti t").status);
  Edit(dir.File("t"), kTrain, "stazione,    3400", "stazone,    3400");
  EXPECT_EQ(0, RunScenario(dir.path(), "verifica t").status);
  const ToolRun strict = RunScenario(dir.path(), "verifica t --rigoroso");
  EXPECT_EQ(1, strict.status);
  EXPECT_NE(std::string::npos,
            strict.out.find("scenario: verifica senza problemi ma con avvisi (--rigoroso), "
                            "nessun file scritto (1 avviso)"))
      << strict.out;
  EXPECT_EQ(2, RunScenario(dir.path(), "compila t --rigoroso").status);  // no such option

  const ToolRun run = RunScenario(dir.path(), "verifica t --json --rigoroso");
  EXPECT_EQ(1, run.status);
  const json report = json::parse(run.out, nullptr, false);
  ASSERT_FALSE(report.is_discarded()) << run.out;
  EXPECT_EQ(1, report["esito"]);
  ASSERT_EQ(1u, report["avvisi"].size());
  const json& w = report["avvisi"][0];
  EXPECT_EQ("parola_sconosciuta", w["genere"]);
  EXPECT_EQ("t/Vescolara_631-.txt", w["file"]);
  EXPECT_EQ(25, w["riga"]);
  EXPECT_EQ(1, w["colonna"]);
  EXPECT_TRUE(w["record"].is_null());
  EXPECT_EQ(json::array(), w["celle"]);
  EXPECT_EQ("\"stazone\" non è una parola chiave: la riga è ignorata (forse \"stazione\"?)",
            w["testo"]);
}

// The cause of a problem in the JSON report: its words, the field's place,
// and the notes.
TEST(Reproductions, JsonCauseAndNotes) {
  TempDir dir;
  ASSERT_EQ(0, RunScenario(dir.path(), "sorgenti t").status);
  Edit(dir.File("t"), kTrain, "stazione,    6400, 12,", "stazione,    6400, 300,");
  json report = json::parse(RunScenario(dir.path(), "verifica t --json").out, nullptr, false);
  ASSERT_FALSE(report.is_discarded());
  const json& cause = report["problema"]["causa"];
  EXPECT_EQ("il campo \"tipo\" del record \"stazione\" vale 300, fuori dall'intervallo da 0 a 255",
            cause["testo"]);
  EXPECT_EQ(26, cause["riga"]);
  EXPECT_EQ(20, cause["colonna"]);
  EXPECT_EQ(json::array(), report["problema"]["note"]);

  Edit(dir.File("t"), kTrain, "stazione,    6400, 300,", "stazione,    6400, 12,");
  Edit(dir.File("t"), kLine, "curvad4,  1100,  250", "curvad4,  106000,  250");
  report = json::parse(RunScenario(dir.path(), "verifica t --json").out, nullptr, false);
  ASSERT_FALSE(report.is_discarded());
  const json& p = report["problema"];
  EXPECT_EQ(15, p["codice"]);
  EXPECT_EQ(106000, p["pos_errore"]);
  EXPECT_EQ("t/Vescolara_linea.txt", p["file"]);
  EXPECT_EQ(11, p["riga"]);
  EXPECT_TRUE(p["causa"]["riga"].is_null());
  ASSERT_EQ(2u, p["note"].size());
  EXPECT_EQ(2, p["note"][0]["riga"]);
  EXPECT_EQ("t/Vescolara_631-.txt", p["note"][1]["file"]);
  EXPECT_EQ(43, p["note"][1]["riga"]);
}

}  // namespace
}  // namespace scenario
