// Rounding, cells and positions, and what the values stored in a cell mean.
// A track cell is 50 m long: cell k covers metres 50k to 50k + 50. Every
// conversion of a real number to a whole number rounds to the nearest whole
// number, halves to the even neighbour (25 m gives cell 0, 75 m cell 2).
//
// The readers place records with these helpers and the companion tool reads
// compiled cells back with them, so each rule is written down once.
#ifndef SCENARIO_MODEL_CELLS_H_
#define SCENARIO_MODEL_CELLS_H_

#include <cstdint>

namespace scenario {

inline constexpr int32_t kCellLength = 50;        // metres of one cell
inline constexpr int32_t kTrackPastRoute = 7000;  // metres of track after the route's end
inline constexpr int32_t kGradientOffset = 100;   // pendenza holds the gradient + 100
inline constexpr int32_t kSpeedUnit = 5;          // velocita holds km/h / 5

// Round half to even, for values known to be in range of int64.
int64_t RoundHalfEven(double v);

// Rounds half to even. Returns false when `v` is not finite or the result
// does not fit [lo, hi].
bool RoundToRange(double v, int64_t lo, int64_t hi, int64_t* out);

// --- cells and positions -----------------------------------------------------

// The cell of a thing placed at position p: signals, restriction cells,
// indicator boards and text boards go to round(p / 50 + 1).
int64_t PlacementCell(double p);

// The cell where a gradient, speed, adhesion, tunnel or abbattimento record
// at position p starts: round(p / 50).
int64_t StartCell(double p);

// Where cell n starts, in metres: n * 50. Also the position a problem of
// the signal-code post-pass reports for cell n.
int64_t CellPosition(int64_t n);

// The position of a record placed in cell n by PlacementCell: (n - 1) * 50,
// exact for positions that are multiples of 50.
int64_t PlacementPosition(int64_t n);

// The last cell a tunnel range ending at `fine` covers: round(fine / 50 - 1).
int64_t LastTunnelCell(double fine);

// The station cell of a station zone ending at `fine`: round(fine / 50) - 1.
int64_t StationCell(int32_t fine);

// The last metre of the plan of a route of `lunghezza` metres (ultimo_metro):
// lunghezza + 7000.
int64_t LastMetre(int64_t lunghezza);

// The last cell of a track whose plan ends at `ultimo_metro` (ultima_cella):
// round(ultimo_metro / 50).
int64_t LastCell(int64_t ultimo_metro);

// The route length of a track whose last cell is `ultima_cella`, the inverse
// of LastCell(LastMetre(...)) for lengths that are multiples of 50.
int64_t RouteLength(int64_t ultima_cella);

// --- what a cell's values mean ---------------------------------------------------

// `pendenza`: the gradient + 100, its lowest 8 bits. 0 in the last three
// cells, where no gradient is written.
uint8_t StoredGradient(int32_t gradient);
int32_t GradientOf(uint8_t pendenza);

// `velocita`: the speed in km/h / 5, rounded. False when that does not fit
// a byte.
bool SpeedFifth(int64_t speed, uint8_t* velocita);
int32_t SpeedOf(uint8_t velocita);

// An indicator board packs one s-side and one d-side speed into each of
// `valore`, `valore2` and `valore3`: round(s * 20 + d / 5) as a signed
// 16-bit value. For speeds that are multiples of 5 below 500 the digits from
// the hundreds up are s / 5 and the last two d / 5 (125 and 125 give 2525).
// False when the sum does not fit 16 bits.
bool PackIndicatorSpeeds(int32_t s_side, int32_t d_side, int16_t* packed);
struct IndicatorSpeeds {
  int32_t s_side = 0;
  int32_t d_side = 0;
};
IndicatorSpeeds UnpackIndicatorSpeeds(int16_t packed);

// A signal's `valore4` is rapp * 10 + sx * 3 + dx; sx is 1 for a distant
// signal, 2 for a main signal.
int32_t SignalSx(int16_t valore4);

// All a signal's values: `valore` s1 * 10 + d1, `valore2` s2 * 10 + d2,
// `valore3` s3 * 10 + d3, `valore4` rapp * 10 + sx * 3 + dx (for d1 to d3
// below 10 and dx below 3, as the sources give them).
struct SignalValues {
  int32_t sx = 0, s1 = 0, s2 = 0, s3 = 0, rapp = 0, dx = 0, d1 = 0, d2 = 0, d3 = 0;
};
SignalValues UnpackSignal(int16_t valore, int16_t valore2, int16_t valore3, int16_t valore4);

// An indicator board's `valore4`: strisces * 10 + strisced.
struct IndicatorStripes {
  int32_t s_side = 0;
  int32_t d_side = 0;
};
IndicatorStripes UnpackIndicatorStripes(int16_t valore4);

// The cell type in words ("segnale", "cella di stazione", ...); "" for a
// number the compile pass never writes.
const char* TipoName(uint8_t tipo);

}  // namespace scenario

#endif  // SCENARIO_MODEL_CELLS_H_
