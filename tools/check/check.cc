#include "tools/check/check.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <optional>
#include <set>
#include <string>
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
  if (json) {
    WriteJson(report, out);
  } else {
    *out << FormatText(report);
  }
  out->flush();
}

}  // namespace

int RunCheck(const CheckOptions& options, FileSystem* disk, std::ostream* out) {
  const CheckReport report = Check(options, disk);
  Print(report, options.json, out);
  return report.esito;
}

CheckReport Check(const CheckOptions& options, FileSystem* disk,
                  std::map<std::string, std::string>* compiled) {
  const std::string folder = CleanFolder(options.folder);
  CheckReport report;
  report.comando = options.scrivi ? "compila" : "verifica";
  report.tutti = options.tutti && !options.scrivi;
  report.cartella = folder;
  auto fail = [&](const std::string& message) {
    if (!message.empty()) report.errori.push_back(message);
    report.esito = kExitFatal;
    return report;
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

  // Whoever asks for the compiled files gets their bytes: then no file is
  // staged on the disk, however large.
  OverlayFileSystem overlay(
      disk, compiled != nullptr ? OverlayFileSystem::kNeverStage : OverlayFileSystem::kStageSize);
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
  // Both sources must be readable. A single pass reads them itself and the
  // report reads them again when it is over, so that no second copy of a
  // large source is held while the pass runs; --tutti edits them in memory.
  {
    std::string line_bytes, train_bytes;
    if (!disk->ReadFile(line_path, &line_bytes, &err)) return fail(err);
    if (!disk->Exists(train_path)) return fail("file del treno mancante: " + sources.train_name);
    if (!disk->ReadFile(train_path, &train_bytes, &err)) return fail(err);
    if (options.tutti) {
      sources.line_bytes = std::move(line_bytes);
      sources.train_bytes = std::move(train_bytes);
    }
  }
  overlay.Protect(line_path);
  overlay.Protect(train_path);

  // Warnings change nothing, unless the author asked for them to count.
  report.rigoroso = options.rigoroso && !options.scrivi;
  auto strict = [&] {
    if (report.rigoroso && report.esito == kExitOk && !report.avvisi.empty()) {
      report.esito = kExitProblem;
    }
  };
  if (report.tutti) {
    CheckAll(sources, folder, name, options.senza_linea ? 0 : 1, std::max(options.limite, 1), disk,
             &report, nullptr);
    strict();
    return report;
  }

  Collector collector;
  model.observer = &collector;
  const CompileOutcome outcome = model.memorizza_percorso(options.senza_linea ? 0 : 1);
  // The plan is in the line file now; the report needs the cells and slots.
  model.planimetria.clear();
  // The sources, read again, and their line indexes are let go before the
  // files are written: writing may hold the files it replaces.
  {
    if (!disk->ReadFile(line_path, &sources.line_bytes, &err) ||
        !disk->ReadFile(train_path, &sources.train_bytes, &err)) {
      return fail(err);
    }
    const ReportBuilder builder(model, collector, sources);
    report.avvisi = builder.Warnings();
    // A box ends the pass with its own code; otherwise the last problem
    // recorded, if any, is the one reported.
    const int32_t code =
        outcome.kind == CompileOutcome::Kind::kBox ? outcome.code : model.cod_errore;
    if (code != 0) report.problema = builder.Problem(code);
  }
  std::string().swap(sources.line_bytes);
  std::string().swap(sources.train_bytes);
  switch (outcome.kind) {
    case CompileOutcome::Kind::kDone:
    case CompileOutcome::Kind::kProblem:
      break;
    case CompileOutcome::Kind::kStop:
      // A stop writes nothing: the overlay is not committed.
      return fail(outcome.message);
    case CompileOutcome::Kind::kBox:
      return fail("");
  }
  report.esito = model.cod_errore != 0 ? kExitProblem : kExitOk;
  strict();
  if (compiled != nullptr) {
    for (const std::string& path : overlay.PendingPaths()) {
      const std::string* bytes = overlay.Pending(path);
      if (bytes != nullptr) (*compiled)[path.substr(folder.size() + 1)] = *bytes;
    }
  }
  if (options.scrivi) {
    const std::vector<std::string> written = overlay.PendingPaths();
    if (!overlay.Commit(&err)) return fail(err);
    for (const std::string& path : written) {
      report.scritti.push_back(DisplayPath(folder, path.substr(folder.size() + 1)));
    }
  }
  return report;
}

}  // namespace scenario
