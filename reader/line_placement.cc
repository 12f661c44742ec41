// Placement of line records: the kilometre-progressive ranges, the tunnel
// ranges and the maximum-speed indicator boards.
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <limits>

#include "model/cells.h"
#include "model/problems.h"
#include "model/slots.h"
#include "model/track_model.h"
#include "reader/reader_internal.h"

namespace scenario {

void TrackModel::progressive_ordina() {
  // T, D and U: the ranges read under "tre", "due" and "uno", as indices of
  // the slots 81, 82 and 83 they were read into.
  constexpr int kT = 0, kD = 1, kU = 2;
  const voce read[kProgressive] = {tabella[kVoceProgressive], tabella[kVoceProgressive + 1],
                                   tabella[kVoceProgressive + 2]};
  const SourceLocation records[kProgressive] = {progressive_records_[0], progressive_records_[1],
                                                progressive_records_[2]};
  const voce &t = read[kT], &d = read[kD], &u = read[kU];
  int order[kProgressive];
  bool found = true;
  if (static_cast<int64_t>(t.inizio) + d.inizio + u.inizio != 0) {
    // Descending start; of two equal lower starts, the smaller number word
    // (uno before due before tre) comes first.
    if (t.inizio > d.inizio && t.inizio > u.inizio) {
      order[0] = kT;
      order[1] = d.inizio > u.inizio ? kD : kU;
      order[2] = d.inizio > u.inizio ? kU : kD;
    } else if (d.inizio > t.inizio && d.inizio > u.inizio) {
      order[0] = kD;
      order[1] = t.inizio > u.inizio ? kT : kU;
      order[2] = t.inizio > u.inizio ? kU : kT;
    } else if (u.inizio > t.inizio && u.inizio > d.inizio) {
      order[0] = kU;
      order[1] = t.inizio > d.inizio ? kT : kD;
      order[2] = t.inizio > d.inizio ? kD : kT;
    } else {
      found = false;
    }
  } else if (u.fine > 0) {
    order[0] = kU, order[1] = kD, order[2] = kT;
  } else if (d.fine > 0) {
    order[0] = kD, order[1] = kT, order[2] = kU;
  } else if (t.fine > 0) {
    order[0] = kT, order[1] = kD, order[2] = kU;
  } else {
    found = false;
  }
  for (int k = 0; k < kProgressive; ++k) {
    voce& slot = tabella[kVoceProgressive + k];
    if (found) {
      const voce& from = read[order[k]];
      slot.inizio = from.inizio;
      slot.fine = from.fine;
      slot.posizione = from.posizione;
      // The record moves with its range, for the report of a bad range.
      progressive_records_[k] = records[order[k]];
    } else {
      progressive_records_[k] = SourceLocation{};
      slot.inizio = slot.fine = slot.posizione = 0;
    }
    // A flagged range ends 100 m further on; an end that would overflow is
    // left as it is.
    if (slot.posizione == 1 && slot.fine <= std::numeric_limits<int32_t>::max() - 100) {
      slot.fine += 100;
    }
  }
}

bool TrackModel::memo_montagna(int32_t inizio, int32_t fine, int32_t& tipo) {
  passo = 0;  // marker flag
  if (tipo > 10) {
    tipo -= 10;
    passo = 1;
  }
  // The lists hold ranges 1 to 80.
  if (n_montagne >= static_cast<int32_t>(inizi_montagna.size()) - 1) {
    return Fault(MakeFault(FaultCause::Kind::kTable, "gallerie",
                           static_cast<int64_t>(inizi_montagna.size()) - 1,
                           int64_t{n_montagne} + 1));
  }
  ++n_montagne;
  inizi_montagna[n_montagne] = inizio;
  fini_montagna[n_montagne] = fine;
  if (n_montagne > 1 && static_cast<int64_t>(inizio) - fini_montagna[n_montagne - 1] <= 150) {
    tipo = 3;
  }
  const int64_t last = LastTunnelCell(fine);
  corrente = static_cast<int32_t>(StartCell(inizio));
  if (corrente <= last) {
    // Cells outside the track are not written, and not walked either: a
    // range may reach millions of cells past either end. The count still
    // runs from the range's first cell so the markers keep their places.
    const int64_t first = std::max<int64_t>(corrente, 0);
    const int64_t stop = std::min<int64_t>(last, static_cast<int64_t>(celle.size()) - 1);
    for (int64_t c = first; c <= stop; ++c) {
      const int64_t count = c - corrente + 1;
      cella& cell = celle[c];
      if (cell.montagna != 0) Notify(Overwrite::kTunnelRange, c);
      cell.montagna = static_cast<uint8_t>(tipo & 0xff);
      CellOrigin& origin = OriginOf(c);
      origin.tunnel = record_;
      origin.tunnel_range = n_montagne;
      if (passo == 1 && count % 4 == 0 && cell.tipo == kTipoLibero) {
        cell.tipo = kTipoMarcaGalleria;
        Placed(c, record_);
      }
    }
    corrente = static_cast<int32_t>(std::min<int64_t>(last + 1, std::numeric_limits<int32_t>::max()));
  }
  return true;
}

bool TrackModel::memo_indicatori_v_max(int32_t posizione, int32_t vas, int32_t vbs, int32_t vcs,
                                       int32_t strisces, int32_t vad, int32_t vbd, int32_t vcd,
                                       int32_t strisced) {
  const int64_t n = PlacementCell(posizione);
  if (!HasCell(n)) return Fault(CellFault("posizione", n, ultima_cella));
  cella& cell = celle[n];
  if (!IsFree(cell)) {
    Conflict(kErrIndicatore, {n});
    return true;
  }
  cell.tipo = kTipoIndicatore;
  Placed(n, record_);
  // Each speed pair is stored as soon as it is packed. A pair that does not
  // fit 16 bits is a fault that ends the reading; the pairs before it stay
  // in the cell, and so they reach the track file.
  struct Pair {
    int32_t s, d;
    int16_t* packed;
    const char* names;
  };
  const Pair pairs[] = {{vas, vad, &cell.valore, "vas e vad"},
                        {vbs, vbd, &cell.valore2, "vbs e vbd"},
                        {vcs, vcd, &cell.valore3, "vcs e vcd"}};
  for (const Pair& p : pairs) {
    if (PackIndicatorSpeeds(p.s, p.d, p.packed)) continue;
    // What the pair packs to: s * 20 + d / 5.
    const double packed = static_cast<double>(p.s) * 20 + static_cast<double>(p.d) / 5;
    FaultCause cause = ValueFault(p.names, 0, -32768, 32767);
    cause.value = FormatNumber(packed);
    return Fault(std::move(cause));
  }
  cell.valore4 = static_cast<int16_t>(static_cast<uint16_t>(
      static_cast<uint32_t>(strisces) * 10u + static_cast<uint32_t>(strisced)));
  return true;
}

}  // namespace scenario
