#include "driver/run_driver.h"

#include "model/problems.h"
#include "model/track_model.h"
#include "platform/file_system.h"
#include "platform/ui.h"

namespace scenario {

std::string DescribeProblem(int32_t cod_errore, int32_t pos_errore) {
  std::string text = "problema n. " + std::to_string(cod_errore);
  const std::string meaning = ProblemText(cod_errore);
  if (!meaning.empty()) text += ": " + meaning;
  if (ProblemHasPosition(cod_errore)) text += " (posizione " + std::to_string(pos_errore) + " m)";
  return text;
}

int RunBuilder(FileSystem* fs, Ui* ui, const std::string& folder) {
  TrackModel model(fs, folder);
  model.linea = "Vescolara";
  model.treno = "631";
  ui->ShowWaitWindow();
  // The writers in their order; a writer that stops the run is the last.
  using Writer = void (TrackModel::*)();
  for (Writer writer : {&TrackModel::dati_linea, &TrackModel::dati_treno, &TrackModel::dati_note,
                        &TrackModel::dati_rallentamenti, &TrackModel::dati_scheda}) {
    (model.*writer)();
    if (model.halted()) return ExitStatusOf(model.halt(), ui);
  }
  return ExitStatusOf(model.memorizza_percorso(1), ui);
}

int ExitStatusOf(const CompileOutcome& outcome, Ui* ui) {
  switch (outcome.kind) {
    case CompileOutcome::Kind::kDone:
      return kExitOk;
    case CompileOutcome::Kind::kProblem:
      // The compile pass writes its files whatever it recorded; a recorded
      // problem must still not pass for success.
      ui->Report("crea_scenario: " + DescribeProblem(outcome.code, outcome.position));
      return kExitProblem;
    case CompileOutcome::Kind::kStop:
      ui->Report(outcome.message);
      return kExitFatal;
    case CompileOutcome::Kind::kBox:
      ui->ShowMessage(outcome.message);
      return kExitFatal;
  }
  return kExitFatal;
}

}  // namespace scenario
