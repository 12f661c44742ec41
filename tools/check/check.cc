#include "tools/check/check.h"

#include <algorithm>
#include <cstdint>
#include <optional>
#include <set>
#include <utility>
#include <vector>

#include "driver/run_driver.h"
#include "model/problems.h"
#include "model/text_encoding.h"
#include "model/track_model.h"
#include "platform/file_system.h"
#include "reader/field_reader.h"
#include "tools/check/all_problems.h"
#include "tools/check/report.h"
#include "tools/check/report_builder.h"
#include "tools/common/compiled_files.h"
#include "tools/common/overlay_file_system.h"
#include "tools/common/scenario_folder.h"

namespace scenario {
namespace {

void Print(const CheckReport& report, bool json, std::ostream* out) {
  *out << (json ? FormatJson(report) : FormatText(report));
  out->flush();
}

}  // namespace

int RunCheck(const CheckOptions& options, FileSystem* disk, std::ostream* out) {
  const std::string folder = CleanFolder(options.folder);
  CheckReport report;
  report.comando = options.scrivi ? "compila" : "verifica";
  report.tutti = options.tutti && !options.scrivi;
  report.cartella = folder;
  auto fail = [&](const std::string& message) {
    if (!message.empty()) report.errori.push_back(message);
    report.esito = kExitFatal;
    Print(report, options.json, out);
    return kExitFatal;
  };

  ScenarioName name{options.linea, options.treno};
  if (name.linea.empty() || name.treno.empty()) {
    std::vector<ScenarioName> pairs;
    std::string err;
    if (!ListSourcePairs(folder, &pairs, &err) ||
        !ChooseScenario(pairs, options.linea, options.treno, folder, "nessuna coppia di sorgenti",
                        "più di una coppia di sorgenti", &name, &err)) {
      return fail(err);
    }
  }
  report.linea = name.linea;
  report.treno = name.treno;

  OverlayFileSystem overlay(disk);
  TrackModel model(&overlay, folder);
  model.linea = name.linea;
  model.treno = name.treno;
  Sources sources;
  sources.line_name = DisplayPath(folder, model.LineSourceName());
  sources.train_name = DisplayPath(folder, model.TrainSourceName());
  report.sorgente_linea = sources.line_name;
  report.sorgente_treno = sources.train_name;

  const std::string line_path = model.FullName(model.LineSourceName());
  const std::string train_path = model.FullName(model.TrainSourceName());
  std::string err;
  if (!disk->Exists(line_path)) {
    ProblemReport p;
    p.codice = kErrManca;
    p.significato = ProblemText(kErrManca);
    p.place.file = sources.line_name;
    if (report.tutti) {
      report.problemi.push_back(p);
    } else {
      report.problema = p;
    }
    return fail("");
  }
  if (!disk->ReadFile(line_path, &sources.line_bytes, &err)) return fail(err);
  if (!disk->Exists(train_path)) return fail("file del treno mancante: " + sources.train_name);
  if (!disk->ReadFile(train_path, &sources.train_bytes, &err)) return fail(err);
  overlay.Protect(line_path);
  overlay.Protect(train_path);

  if (report.tutti) {
    CheckAll(sources, folder, name, options.senza_linea ? 0 : 1, std::max(options.limite, 1), disk,
             &report, nullptr);
    Print(report, options.json, out);
    return report.esito;
  }

  Collector collector;
  model.observer = &collector;
  ReportBuilder builder(model, collector, sources);
  const CompileOutcome outcome = model.memorizza_percorso(options.senza_linea ? 0 : 1);

  report.avvisi = builder.Warnings();
  switch (outcome.kind) {
    case CompileOutcome::Kind::kDone:
    case CompileOutcome::Kind::kProblem:
      break;
    case CompileOutcome::Kind::kStop:
      // A stop writes nothing: the overlay is not committed.
      if (model.cod_errore != 0) report.problema = builder.Problem(model.cod_errore);
      return fail(outcome.message);
    case CompileOutcome::Kind::kBox:
      report.problema = builder.Problem(outcome.code);
      return fail("");
  }
  if (model.cod_errore != 0) report.problema = builder.Problem(model.cod_errore);
  report.esito = model.cod_errore != 0 ? kExitProblem : kExitOk;
  if (options.scrivi) {
    const std::vector<std::string> written = overlay.PendingPaths();
    if (!overlay.Commit(&err)) return fail(err);
    for (const std::string& path : written) {
      report.scritti.push_back(DisplayPath(folder, path.substr(folder.size() + 1)));
    }
  }
  Print(report, options.json, out);
  return report.esito;
}

}  // namespace scenario
