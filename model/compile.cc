// The compile pass: sources in, three compiled files out.
#include "model/track_model.h"

namespace scenario {

void TrackModel::memorizza_percorso(int32_t j) {
  crea_linea = j;
  for (voce& slot : tabella) slot = voce{};
  cod_errore = 0;
  problem_location = SourceLocation{};
  celle.clear();
  planimetria.clear();
  memorizza_dati();
  // Without a route length there are no cells to code, mark or store.
  if (celle.size() < 2) {
    Fatal("la linea non ha una lunghezza del percorso valida (\"lunghezza percorso\"): "
          "nessun file compilato scritto");
  }
  PostPass();
  StampChecks();
  WriteCompiledFiles();
}

}  // namespace scenario
