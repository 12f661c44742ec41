#include "tools/cli/cli.h"

#include <CLI/CLI.hpp>
#include <algorithm>
#include <cctype>
#include <map>
#include <optional>
#include <vector>

#include "driver/run_driver.h"
#include "model/file_names.h"
#include "model/track_model.h"
#include "platform/file_system.h"
#include "tools/check/check.h"
#include "tools/check/report.h"
#include "tools/cli/parse_errors.h"
#include "tools/common/compiled_files.h"
#include "tools/common/overlay_file_system.h"
#include "tools/common/scenario_folder.h"
#include "tools/drawing/canvas.h"
#include "tools/drawing/drawing.h"
#include "tools/page/page.h"
#include "tools/show/show.h"

namespace scenario {
namespace {

int Failure(std::ostream* err, const std::string& message) {
  *err << "scenario: errore: " << message << "\n";
  err->flush();
  return kExitFatal;
}

std::string LowerExtension(const std::string& path) {
  const size_t dot = path.rfind('.');
  const size_t slash = path.find_last_of("/\\");
  if (dot == std::string::npos || (slash != std::string::npos && dot < slash)) return "";
  std::string ext = path.substr(dot + 1);
  std::transform(ext.begin(), ext.end(), ext.begin(),
                 [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  return ext;
}

void ItalianLabels(CLI::App* app) {
  auto f = app->get_formatter();
  static const char* const kLabels[][2] = {
      {"Usage", "Uso"},           {"OPTIONS", "OPZIONI"},       {"Positionals", "Argomenti"},
      {"Options", "Opzioni"},     {"Subcommands", "Comandi"},   {"SUBCOMMAND", "COMANDO"},
      {"SUBCOMMANDS", "COMANDI"}, {"REQUIRED", "OBBLIGATORIO"}, {"TEXT", "TESTO"},
      {"INT", "INTERO"},          {"Excludes", "Esclude"},      {"Needs", "Richiede"}};
  for (const auto& l : kLabels) f->label(l[0], l[1]);
}

// What the sources of the folder say about a picture of its compiled files.
// When both sources of the scenario are there, they are compiled in memory
// (nothing is written): compiled files that are not what the sources give
// now are out of date, and a picture of a run that recorded a problem is
// marked. Without the sources nothing can be said, and nothing is.
void CheckAgainstSources(FileSystem* disk, const std::string& folder, const ScenarioName& name,
                         const CompiledScenario& scenario, std::vector<std::string>* marks,
                         std::vector<std::string>* notices) {
  const std::string sources[] = {DisplayPath(folder, LineSourceName(name.linea)),
                                 DisplayPath(folder, TrainSourceName(name.linea, name.treno))};
  for (const std::string& path : sources) {
    if (!disk->Exists(path)) return;
  }
  std::vector<std::string> files = {DisplayPath(folder, TrackFileName(name.linea, name.treno)),
                                    DisplayPath(folder, RunFileName(name.linea, name.treno))};
  const bool with_line = !scenario.planimetria.empty();
  if (with_line) files.push_back(DisplayPath(folder, LineFileName(name.linea)));

  CheckOptions options;
  options.folder = folder;
  options.linea = name.linea;
  options.treno = name.treno;
  options.scrivi = false;
  options.senza_linea = !with_line;
  std::map<std::string, std::string> compiled;
  const CheckReport report = Check(options, disk, &compiled);

  // The files are those of the sources when the pass makes the very same bytes.
  bool same = report.esito != kExitFatal;
  for (const std::string& path : files) {
    const size_t slash = path.find_last_of("/\\");
    const std::string own = slash == std::string::npos ? path : path.substr(slash + 1);
    std::string bytes, why;
    same = same && compiled.count(own) != 0 && disk->ReadFile(path, &bytes, &why) &&
           bytes == compiled[own];
  }
  std::string problem;
  if (report.problema) {
    const ProblemReport& p = *report.problema;
    problem = "il problema n. " + std::to_string(p.codice) +
              (p.significato.empty() ? "" : " (" + p.significato + ")");
    if (!p.place.file.empty()) problem += " in " + FormatPlace(p.place);
  }
  if (!same) {
    int64_t newest_source = 0, oldest_file = 0, t = 0;
    bool known = true;
    for (const std::string& path : sources) {
      known = known && disk->ModifiedTime(path, &t);
      newest_source = std::max(newest_source, t);
    }
    for (size_t i = 0; i < files.size(); ++i) {
      known = known && disk->ModifiedTime(files[i], &t);
      oldest_file = i == 0 ? t : std::min(oldest_file, t);
    }
    const bool older = known && oldest_file < newest_source;
    marks->push_back(older ? "file compilati più vecchi delle sorgenti: il disegno non le mostra"
                           : "file compilati diversi da quelli delle sorgenti della cartella");
    notices->push_back(
        std::string(older ? "i file compilati sono più vecchi delle sorgenti"
                          : "i file compilati non sono quelli che le sorgenti della cartella "
                            "danno ora") +
        ": il disegno mostra la compilazione precedente" +
        (problem.empty() ? "" : "; le sorgenti ora registrano " + problem) +
        " (eseguire \"scenario compila\")");
  } else if (!problem.empty()) {
    marks->push_back("compilazione con " + problem);
    notices->push_back("il disegno viene da una compilazione che ha registrato " + problem);
  }
}

}  // namespace

int RunSorgenti(const std::string& folder_arg, bool sovrascrivi, const std::string& linea,
                const std::string& treno, FileSystem* disk, std::ostream* out, std::ostream* err) {
  const std::string folder = CleanFolder(folder_arg);
  OverlayFileSystem overlay(disk);
  TrackModel model(&overlay, folder);
  model.linea = linea;
  model.treno = treno;
  std::string why;
  if (!CheckScenarioName(model.linea, model.treno, &why)) return Failure(err, why);
  const std::string names[] = {model.LineSourceName(), model.TrainSourceName()};
  if (!sovrascrivi) {
    for (const std::string& name : names) {
      if (disk->Exists(model.FullName(name))) {
        return Failure(err, DisplayPath(folder, name) +
                                " esiste già: non viene sovrascritto (usare --sovrascrivi)");
      }
    }
  }
  model.dati_linea();
  if (!model.halted()) model.dati_treno();
  if (model.halted()) return Failure(err, model.halt().message + "; nessun file scritto");
  if (!disk->CreateFolders(folder, &why)) return Failure(err, why + "; nessun file scritto");
  if (!overlay.Commit(&why)) return Failure(err, why + "; nessun file scritto");
  *out << "scenario: scritti " << DisplayPath(folder, names[0]) << ", "
       << DisplayPath(folder, names[1]) << "\n";
  out->flush();
  return kExitOk;
}

int RunDisegna(const std::string& folder_arg, const std::string& output, const std::string& linea,
               const std::string& treno, FileSystem* disk, std::ostream* out, std::ostream* err) {
  const std::string folder = CleanFolder(folder_arg);
  ScenarioName name;
  std::string why;
  if (!ChooseCompiledScenario(folder, linea, treno, &name, &why)) return Failure(err, why);
  const std::string target =
      output.empty() ? DisplayPath(folder, name.linea + "_" + name.treno + ".svg") : output;
  const std::string ext = LowerExtension(target);
  if (ext != "svg" && ext != "png") {
    return Failure(err, target + ": estensione non riconosciuta (usare .svg o .png)");
  }
  if (ext == "png" && !PngAvailable()) return Failure(err, target + ": " + kNoPngMessage);
  CompiledScenario scenario;
  if (!LoadCompiled(disk, folder, name.linea, name.treno, &scenario, &why)) {
    return Failure(err, why);
  }
  std::vector<std::string> marks, notices;
  CheckAgainstSources(disk, folder, name, scenario, &marks, &notices);
  std::string bytes;
  if (ext == "svg") {
    bytes = ScenarioSvg(scenario, marks);
  } else if (!ScenarioPng(scenario, &bytes, &why, marks)) {
    return Failure(err, why);
  }
  if (!disk->WriteFile(target, bytes, &why)) return Failure(err, why);
  for (const std::string& n : notices) *out << "scenario: avviso: " << n << "\n";
  *out << "scenario: disegnato " << target << "\n";
  out->flush();
  return kExitOk;
}

int RunTool(int argc, const char* const* argv, FileSystem* disk, std::ostream* out,
            std::ostream* err) {
  CLI::App app(
      "Sorgenti, compilazione, verifica, lettura, disegno e rapporto degli scenari del "
      "costruttore.",
      "scenario");
  ItalianLabels(&app);
  app.option_defaults()->group("Opzioni");
  app.set_help_flag("-h,--help", "mostra questo aiuto ed esce");
  app.set_version_flag("--version", kToolVersion, "mostra la versione ed esce");
  app.require_subcommand(1);

  // sorgenti
  std::string sorgenti_folder = ".";
  bool sovrascrivi = false;
  CLI::App* sorgenti = app.add_subcommand(
      "sorgenti", "scrive le sorgenti della linea e della corsa predefinite nella cartella");
  sorgenti->add_option("cartella", sorgenti_folder,
                       "cartella di destinazione (predefinita: quella corrente)");
  sorgenti->add_flag("--sovrascrivi", sovrascrivi, "sostituisce sorgenti già presenti");
  std::string sorgenti_linea = kLineaPredefinita, sorgenti_treno = kTrenoPredefinito;
  sorgenti->add_option("--linea", sorgenti_linea,
                       "nome della linea dei file scritti (predefinito: Vescolara)");
  sorgenti->add_option("--treno", sorgenti_treno,
                       "numero del treno dei file scritti (predefinito: 631)");
  sorgenti->footer("La cartella viene creata se manca. Il contenuto è sempre quello predefinito.");

  // compila and verifica share their options.
  CheckOptions compila_options, verifica_options;
  verifica_options.scrivi = false;
  auto check_options = [](CLI::App* cmd, CheckOptions* o) {
    cmd->add_option("cartella", o->folder,
                    "cartella delle sorgenti (predefinita: quella corrente)");
    cmd->add_option("--linea", o->linea, "nome della linea (<linea>_linea.txt)");
    cmd->add_option("--treno", o->treno, "numero del treno (<linea>_<treno>-.txt)");
    cmd->add_flag("--senza-linea", o->senza_linea,
                  "compila senza planimetria (j = 0): nessun file della linea");
    cmd->add_flag("--json", o->json, "stampa il resoconto come un oggetto JSON");
  };
  CLI::App* compila = app.add_subcommand(
      "compila", "compila le sorgenti della cartella con la compilazione del costruttore");
  compila->footer(
      "Esito: 0 senza problemi; 1 problema registrato (file scritti come dal costruttore);\n"
      "2 nessun file scritto.");
  check_options(compila, &compila_options);
  CLI::App* verifica = app.add_subcommand(
      "verifica", "controlla le sorgenti come compila, senza scrivere alcun file");
  check_options(verifica, &verifica_options);
  verifica->add_flag("--rigoroso", verifica_options.rigoroso,
                     "esce con 1 anche quando ci sono solo avvisi");
  CLI::Option* tutti = verifica->add_flag(
      "--tutti", verifica_options.tutti,
      "elenca tutti i problemi, non solo il primo: toglie il record di ogni problema e "
      "ricomincia");
  verifica
      ->add_option("--limite", verifica_options.limite,
                   "con --tutti, al massimo questi problemi (predefinito: 100)")
      ->check(CLI::PositiveNumber.description(""))
      ->type_name("INTERO>0")
      ->needs(tutti);
  verifica->footer(
      "Esito: 0 senza problemi; 1 problemi registrati (o avvisi, con --rigoroso); 2 verifica\n"
      "interrotta (sorgenti mancanti o illeggibili, nessuna lunghezza del percorso, errori\n"
      "1250 e 1251).\n"
      "Con --tutti l'ultima riga conta i problemi e gli avvisi: \"3 problemi, 1 avviso\".");

  // mostra: --formato says how to print; the kind of file, which --formato
  // used to say, is now --tipo (the old words are still taken).
  std::vector<std::string> mostra_files;
  ShowOptions mostra_options;
  int64_t da = 0, a = 0;
  std::string formato, tipo;
  CLI::App* mostra = app.add_subcommand(
      "mostra", "decodifica un file compilato (binario .dat, corsa .sim, linea _linea.dat)");
  mostra->add_option("file", mostra_files, "file compilati")->required();
  CLI::Option* da_option =
      mostra->add_option("--da", da, "primo record mostrato (cella, voce o metro)");
  CLI::Option* a_option = mostra->add_option("--a", a, "ultimo record mostrato (compreso)");
  mostra
      ->add_option("--formato", formato,
                   "testo (predefinito), json o csv (un file alla volta, con l'intestazione); "
                   "binario, corsa o linea come --tipo, per compatibilità")
      ->check(CLI::IsMember({"testo", "json", "csv", "binario", "corsa", "linea"}).description(""))
      ->type_name("PAROLA");
  mostra
      ->add_option("--tipo", tipo,
                   "binario (.dat), corsa (.sim) o linea (_linea.dat), se il nome del file non "
                   "lo dice")
      ->check(CLI::IsMember({"binario", "corsa", "linea"}).description(""))
      ->type_name("PAROLA");
  mostra->add_flag("--json", mostra_options.json, "come --formato json");
  mostra->add_flag("--unita", mostra_options.unita,
                   "valori anche nelle loro unità: km, km/h, \u2030 (per mille), hh:mm:ss");

  // disegna
  std::string disegna_folder = ".", disegna_output, disegna_linea, disegna_treno;
  CLI::App* disegna = app.add_subcommand(
      "disegna", PngAvailable()
                     ? "disegna lo scenario compilato della cartella in un file SVG o PNG"
                     : "disegna lo scenario compilato della cartella in un file SVG "
                       "(PNG non disponibile: questa versione è costruita senza cairo)");
  disegna->add_option("cartella", disegna_folder,
                      "cartella dei file compilati (predefinita: quella corrente)");
  disegna->add_option("-o,--output", disegna_output,
                      PngAvailable()
                          ? "file del disegno, .svg o .png (predefinito: <linea>_<treno>.svg)"
                          : "file del disegno, .svg (predefinito: <linea>_<treno>.svg)");
  disegna->add_option("--linea", disegna_linea, "nome della linea");
  disegna->add_option("--treno", disegna_treno, "numero del treno");

  // rapporto
  std::string rapporto_folder = ".", rapporto_output, rapporto_linea, rapporto_treno;
  CLI::App* rapporto = app.add_subcommand(
      "rapporto",
      "scrive una pagina HTML dello scenario compilato: disegno con zoom e dettagli, orario, "
      "tabelle, problemi e avvisi delle sorgenti");
  rapporto->add_option(
      "cartella", rapporto_folder,
      "cartella dei file compilati e delle sorgenti (predefinita: quella corrente)");
  rapporto->add_option("-o,--output", rapporto_output,
                       "file della pagina, .html (predefinito: <linea>_<treno>.html)");
  rapporto->add_option("--linea", rapporto_linea, "nome della linea");
  rapporto->add_option("--treno", rapporto_treno, "numero del treno");
  rapporto->footer(
      "Una sola pagina, senza rete e senza altri file: si apre dal disco in un browser e si\n"
      "stampa su A4 orizzontale. Con le sorgenti nella cartella riporta tutti i problemi\n"
      "(come verifica --tutti) e la riga che ha posto ogni cosa.");

  for (CLI::App* cmd : {sorgenti, compila, verifica, mostra, disegna, rapporto}) {
    cmd->group("Comandi");
    // A subcommand's own help flag is made before the group default applies.
    if (CLI::Option* help = cmd->get_help_ptr()) help->group("Opzioni");
  }

  // CLI11 reports parse errors, --help and --version by exceptions of its
  // own; they end here. Its English words are replaced by ours.
  try {
    app.parse(argc, argv);
  } catch (const CLI::Success& e) {
    app.exit(e, *out, *err);
    out->flush();
    return kExitOk;
  } catch (const CLI::ParseError& e) {
    const std::vector<std::string> args(argv + std::min(argc, 1), argv + argc);
    const std::vector<std::string> commands = {"sorgenti", "compila", "verifica",
                                               "mostra",   "disegna", "rapporto"};
    const bool json = std::find(args.begin(), args.end(), "--json") != args.end();
    PrintUsageError(ParseErrorText(e, args, commands), CommandOf(args, commands), json, out, err);
    return kExitFatal;
  }

  if (sorgenti->parsed()) {
    return RunSorgenti(sorgenti_folder, sovrascrivi, sorgenti_linea, sorgenti_treno, disk, out,
                       err);
  }
  if (compila->parsed()) return RunCheck(compila_options, disk, out);
  if (verifica->parsed()) return RunCheck(verifica_options, disk, out);
  if (mostra->parsed()) {
    if (da_option->count() > 0) mostra_options.da = da;
    if (a_option->count() > 0) mostra_options.a = a;
    CompiledFormat f;
    if (FormatFromWord(formato, &f)) {  // the old use of --formato
      if (!tipo.empty() && tipo != formato) {
        return Failure(err, "--formato " + formato + " e --tipo " + tipo + " non concordano");
      }
      tipo = formato;
      formato.clear();
    }
    if (!tipo.empty() && FormatFromWord(tipo, &f)) mostra_options.formato = f;
    if (mostra_options.json && !formato.empty() && formato != "json") {
      return Failure(err, "--json e --formato " + formato + " si escludono");
    }
    mostra_options.json = mostra_options.json || formato == "json";
    mostra_options.csv = formato == "csv";
    return RunShow(mostra_files, mostra_options, disk, out, err);
  }
  if (disegna->parsed()) {
    return RunDisegna(disegna_folder, disegna_output, disegna_linea, disegna_treno, disk, out, err);
  }
  if (rapporto->parsed()) {
    return RunRapporto(rapporto_folder, rapporto_output, rapporto_linea, rapporto_treno, disk, out,
                       err);
  }
  return Failure(err, "nessun comando");
}

}  // namespace scenario
