// Placement of train records that take several cells: signals and speed
// restrictions.
#include <cstdint>
#include <limits>
#include <utility>
#include <vector>

#include "model/cells.h"
#include "model/problems.h"
#include "model/track_model.h"
#include "reader/reader_internal.h"

namespace scenario {
namespace {

// 16-bit members keep the lowest 16 bits, 8-bit members the lowest 8.
int16_t Low16(int64_t v) { return static_cast<int16_t>(static_cast<uint16_t>(v & 0xffff)); }
uint8_t Low8(int64_t v) { return static_cast<uint8_t>(v & 0xff); }

// Arithmetic on the record's values is 32-bit; a result outside that range
// is a fault.
bool Fits32(int64_t v) {
  return v >= std::numeric_limits<int32_t>::min() && v <= std::numeric_limits<int32_t>::max();
}

}  // namespace

bool TrackModel::memo_segnale(int32_t posizione, int32_t& sx, int32_t& s1, int32_t& s2,
                              int32_t& s3, int32_t& rapp, int32_t& dx, int32_t& d1, int32_t& d2,
                              int32_t& d3, int32_t& tempo) {
  const int64_t n = PlacementCell(posizione);
  if (!HasCell(n)) return Fault(CellFault("posizione", n, ultima_cella));
  cella& cell = celle[n];
  if (!IsFree(cell)) {
    Conflict(kErrSegnale, {n});
    return true;
  }
  cell.tipo = kTipoSegnale;
  Placed(n, record_);
  const int64_t v4 = int64_t{rapp} * 10 + int64_t{sx} * 3 + dx;
  const int64_t v1 = int64_t{s1} * 10 + d1;
  const int64_t v2 = int64_t{s2} * 10 + d2;
  const int64_t v3 = int64_t{s3} * 10 + d3;
  const int64_t base = int64_t{sx} * 30 + int64_t{dx} * 10;
  const struct {
    int64_t value;
    const char* names;
  } kPacked[] = {{v4, "rapp, sx e dx"},
                 {v1, "s1 e d1"},
                 {v2, "s2 e d2"},
                 {v3, "s3 e d3"},
                 {base + 4, "sx e dx"}};
  for (const auto& p : kPacked) {
    if (!Fits32(p.value)) {
      return Fault(ValueFault(p.names, p.value, std::numeric_limits<int32_t>::min(),
                              std::numeric_limits<int32_t>::max()));
    }
  }
  cell.valore4 = Low16(v4);
  cell.valore = Low16(v1);
  cell.valore2 = Low16(v2);
  cell.valore3 = Low16(v3);
  if (tempo >= 1 && tempo <= 100) tempo = 101;
  cell.tempo = sx == 2 ? Low8(tempo) : 0;
  // Advance codes every second cell in front of the signal; cells before
  // the start of the track are skipped.
  for (ripeti = 1; ripeti <= 4; ++ripeti) {
    const int64_t k = n - 2 * ripeti;
    if (!HasCell(k)) continue;
    if (celle[k].preavviso != 0) Notify(Overwrite::kAdvanceCode, k);
    celle[k].preavviso = Low8(base + ripeti);
    AdvanceCodePlaced(k, n, kTipoSegnale);
  }
  return true;
}

bool TrackModel::memo_rallentamento(int32_t x, int32_t& v, int32_t& l, int32_t& f_tt,
                                    int32_t f_ta, int32_t& d_v) {
  int64_t w = 0;
  if (x > 1500) {
    w = PlacementCell(static_cast<double>(x) - 1200);
    if (!HasCell(w)) return Fault(CellFault("x", w, ultima_cella));
    if (!IsFree(celle[w])) {
      Conflict(kErrAvvisoRall, {w});
      return true;
    }
  } else {
    f_ta = 0;  // no warning zone for restrictions near the start
  }
  const int64_t a = PlacementCell(x);
  if (!HasCell(a)) return Fault(CellFault("x", a, ultima_cella));
  if (!IsFree(celle[a])) {
    Conflict(kErrInizioRall, {a});
    return true;
  }
  const int64_t b = PlacementCell(static_cast<double>(x) + l);
  if (!HasCell(b)) return Fault(CellFault("l", b, ultima_cella));
  if (!IsFree(celle[b])) {
    Conflict(kErrFineRall, {b});
    return true;
  }
  // End before start: when both fall in one cell, the start wins.
  celle[b].tipo = kTipoFineRall;
  if (d_v != 0) celle[b].valore2 = Low16(d_v);
  celle[a].tipo = kTipoInizioRall;
  if (d_v != 0) celle[a].valore2 = Low16(d_v);
  if (x > 1500) {
    celle[w].tipo = kTipoAvvisoRall;
    if (d_v != 0) celle[w].valore2 = Low16(d_v);
    celle[w].valore = Low16(v);
  }
  Placed(b, record_);
  Placed(a, record_);
  if (x > 1500) Placed(w, record_);
  celle[a].valore = celle[b].valore = Low16(v);
  celle[a].valore3 = celle[b].valore3 = Low16(f_tt);
  indice = static_cast<int32_t>(StartCell(static_cast<double>(x) - 1200));
  if (f_ta != 0) {
    occupato = 0;
    std::vector<int64_t> taken;
    for (int i = 0; i <= 3; ++i) {
      if (!HasCell(int64_t{indice} - i)) {
        return Fault(CellFault("x", int64_t{indice} - i, ultima_cella));
      }
      if (!IsFree(celle[indice - i])) {
        occupato = 1;
        taken.push_back(int64_t{indice} - i);
      }
    }
    if (occupato == 0) {
      for (int i = 0; i <= 3; ++i) {
        cella& cell = celle[indice - i];
        cell.tipo = kTipoZonaRall;
        cell.valore = static_cast<int16_t>(i + 1);
        if (d_v != 0) cell.valore2 = static_cast<int16_t>(i + 1);
        Placed(indice - i, record_);
      }
    } else {
      Conflict(kErrZonaRall, std::move(taken));
    }
  }
  return true;
}

}  // namespace scenario
