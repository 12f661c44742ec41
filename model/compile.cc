// The compile pass: sources in, three compiled files out.
#include "model/track_model.h"

namespace scenario {

CompileOutcome TrackModel::memorizza_percorso(int32_t j) {
  crea_linea = j;
  for (voce& slot : tabella) slot = voce{};
  cod_errore = 0;
  problem_location = SourceLocation{};
  halt_ = CompileOutcome{};
  conflict_code_ = 0;
  conflict_cells_.clear();
  fault_ = FaultCause{};
  length_record_ = SourceLocation{};
  celle.clear();
  origins_.clear();
  planimetria.clear();
  memorizza_dati();
  // Without a route length there are no cells to code, mark or store.
  if (celle.size() < 2) {
    Halt(
        "la linea non ha una lunghezza del percorso valida (\"lunghezza percorso\"): "
        "nessun file compilato scritto");
    return halt_;
  }
  PostPass();
  StampChecks();
  if (halted()) return halt_;  // errore: no compiled file
  WriteCompiledFiles();
  if (halted()) return halt_;
  if (cod_errore != 0) {
    return CompileOutcome{CompileOutcome::Kind::kProblem, cod_errore, pos_errore, ""};
  }
  return CompileOutcome{};
}

}  // namespace scenario
