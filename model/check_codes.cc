// The reserved marks and the two check codes computed from the train number
// and the line name.
#include <string>
#include <utility>

#include "model/problems.h"
#include "model/slots.h"
#include "model/text_encoding.h"
#include "model/track_model.h"

namespace scenario {
namespace {

// Written to disk; never change.
constexpr int16_t kMarcaCorsa = 610;     // slot 85 dato2
constexpr int16_t kMarcaBinario = 5121;  // cell 1 valore
constexpr char kRiempitivo[] = "aabbccddeeffgghhiillmmnnoo";
constexpr int kCaratteri = 25;  // characters summed

}  // namespace

int32_t TrackModel::codice_gara_og() {
  campo = Cp1252ToLower(tabella[kVoceCorsa].nome + tabella[kVoceLinea].nome) + kRiempitivo;
  int32_t sum = 0;
  for (int i = 1; i <= kCaratteri; ++i) sum += static_cast<unsigned char>(campo[i - 1]);
  return sum;
}

int32_t TrackModel::codice_gara_st() {
  campo = Cp1252ToLower(tabella[kVoceCorsa].nome + tabella[kVoceLinea].nome) + kRiempitivo;
  int32_t sum = 0;
  for (int i = 1; i <= kCaratteri; ++i) sum += i * static_cast<unsigned char>(campo[i - 1]);
  return sum;
}

void TrackModel::StampChecks() {
  voce& slot = tabella[kVoceLinea];
  cella& cell = celle[1];
  // errore ends the compile pass: nothing after it runs. The box belongs to
  // whatever record took cell 1.
  auto box = [&](int32_t code) {
    ProblemEvent event;
    event.code = code;
    event.record = OriginOf(1).tipo;
    NotifyProblem(std::move(event), {1});
    errore(std::to_string(code));
  };
  if (slot.dato2 != 0 || cell.valore != 0) {
    box(kErrMarche);
    return;
  }
  slot.dato2 = kMarcaCorsa;
  cell.valore = kMarcaBinario;
  if (slot.orario != 0 || cell.valore2 != 0) {
    box(kErrCodici);
    return;
  }
  slot.orario = codice_gara_st();
  cell.valore2 = static_cast<int16_t>(codice_gara_og());
}

}  // namespace scenario
