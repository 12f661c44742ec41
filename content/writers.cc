// The five text writers: each fills its list and hands it to scrivi_righe.
#include "content/builtin.h"
#include "model/track_model.h"

namespace scenario {

std::vector<std::string> WriterList(const std::vector<std::string>& lines) {
  std::vector<std::string> list(1001);
  for (size_t i = 0; i < lines.size() && i < 1000; ++i) list[i] = lines[i];
  list[lines.size() < 1000 ? lines.size() : 1000] = kSentinella;
  return list;
}

void TrackModel::dati_linea() { scrivi_righe(FullName(LineSourceName()), WriterList(LineSourceLines())); }

void TrackModel::dati_treno() {
  scrivi_righe(FullName(TrainSourceName()), WriterList(TrainSourceLines()));
}

void TrackModel::dati_note() { scrivi_righe(FullName(DocumentName("note.txt")), WriterList(NoteLines())); }

void TrackModel::dati_rallentamenti() {
  scrivi_righe(FullName(DocumentName("rallentamenti.txt")), WriterList(RallentamentiLines()));
}

void TrackModel::dati_scheda() {
  scrivi_righe(FullName(DocumentName("scheda_treno.txt")), WriterList(SchedaLines()));
}

}  // namespace scenario
