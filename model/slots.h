// What the slots of `tabella` hold, and what a station's type makes the
// train-run reader place. The run file is the 87 slots in order and the
// simulator finds each value by its slot and member, and the track file
// carries the station cells and advance codes: every number here is written
// to disk and never changes.
#ifndef SCENARIO_MODEL_SLOTS_H_
#define SCENARIO_MODEL_SLOTS_H_

#include <cstdint>

namespace scenario {

// --- the slots of `tabella` ------------------------------------------------------
// Slot 0 is cleared and never used.
inline constexpr int32_t kVoci = 87;  // slots 0 to 86

// Stations, in source order, from slot 1 up; the slot is also the station's
// number (the `valore` of its station cell).
inline constexpr int32_t kVocePrimaStazione = 1;

// Board texts (`nome` only), in source order, from slot 80 down. Stations
// and boards must not meet: with b boards the 79th - b station is refused
// (problem 10), so together they are at most 78.
inline constexpr int32_t kVoceCartelli = 80;

// The three kilometre-progressive ranges, slots 81, 82 and 83: `inizio`,
// `fine` (metres, multiples of 50) and `posizione` (the flag 0 or 1). Read
// from the records "tre", "due" and "uno" in that order, then ordered by
// descending start.
inline constexpr int32_t kVoceProgressive = 81;
inline constexpr int32_t kProgressive = 3;

// The train and the route: `inizio` the braked-mass percentage, `fine` the
// route length in metres, `posizione` the number of cars.
inline constexpr int32_t kVoceTreno = 84;

// The line: `inizio`, `posizione` and `fine` the scenery settings "sfondo
// uno", "due" and "tre" (in that order of members); `nome` the line name;
// `dato2` the reserved mark 610 and `orario` the weighted check code.
inline constexpr int32_t kVoceLinea = 85;

// The train run: `inizio` and `fine` the stretch with cab-signal repetition
// (metres), `posizione` its number of codes (4, 9, or 0 without a
// stretch); `nome` the train number; `dato2` the sand; `dato4`, `dato5`,
// `dato6` the three clock values.
inline constexpr int32_t kVoceCorsa = 86;

// --- station types -----------------------------------------------------------------
// A station of a type below 25 is a halt: the last cell of its zone becomes
// its station cell (tipo 10, `valore` its slot), and the four cells before
// it get the advance codes 81, 82, 83 and 84 (nearest first), except for
// types 5 and 6. A type of 25 and above is a place the train passes without
// stopping (a junction): it takes a slot and a zone, and is spacing-tested,
// but places no cell.
inline constexpr uint8_t kPrimoTipoTransito = 25;

inline constexpr bool IsHalt(uint8_t tipo) { return tipo < kPrimoTipoTransito; }

inline constexpr bool HasStationMarkers(uint8_t tipo) {
  return IsHalt(tipo) && tipo != 5 && tipo != 6;
}

// The advance code of the k-th cell before a station cell is 80 + k.
inline constexpr uint8_t kPreavvisoStazione = 80;

}  // namespace scenario

#endif  // SCENARIO_MODEL_SLOTS_H_
