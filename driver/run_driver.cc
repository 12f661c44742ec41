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
  TrackModel model(fs, ui, folder);
  model.linea = "Vescolara";
  model.treno = "631";
  ui->ShowWaitWindow();
  model.dati_linea();
  model.dati_treno();
  model.dati_note();
  model.dati_rallentamenti();
  model.dati_scheda();
  model.memorizza_percorso(1);
  return ExitStatusOf(model, ui);
}

int ExitStatusOf(const TrackModel& model, Ui* ui) {
  // The compile pass writes its files whatever it recorded; a recorded
  // problem must still not pass for success.
  if (model.cod_errore == 0) return kExitOk;
  ui->Report("crea_scenario: " + DescribeProblem(model.cod_errore, model.pos_errore));
  return kExitProblem;
}

}  // namespace scenario
