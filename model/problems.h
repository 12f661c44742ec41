// The numbers of every problem the system knows, with their meaning in words.
// Recorded problems go into cod_errore / pos_errore; 1250 and 1251 are shown
// through errore and end the run.
#ifndef SCENARIO_MODEL_PROBLEMS_H_
#define SCENARIO_MODEL_PROBLEMS_H_

#include <cstdint>

namespace scenario {

enum : int32_t {
  kErrLunghezza = 1,            // route length above 1000000
  kErrProgressiva = 2,          // progressive range not on a multiple of 50
  kErrRipetizioneInizio = 3,    // repetition start not a multiple of 50
  kErrRipetizioneFine = 4,      // repetition end not a multiple of 50
  kErrRipetizioneCodici = 5,    // repetition keyword with neither "4" nor "9"
  kErrCartello = 6,             // text board cell occupied
  kErrAbbattimento = 7,         // abbattimento cell occupied
  kErrStazionePosizione = 8,    // station position not a multiple of 50
  kErrStazioneLunghezza = 9,    // station length not a multiple of 100
  kErrStazioniTroppe = 10,      // station slots reach the board slots
  kErrCodiceSegnale = 11,       // no place for a code in front of a signal
  kErrCodiceGuardia = 12,       // no free cell in a guard group
  kErrCodiceInterno = 13,       // no free cell for an inner or look-ahead code
  kErrOltrePercorso = 15,       // position beyond the cell table
  kErrSegnale = 16,             // signal cell occupied
  kErrAvvisoRall = 17,          // restriction warning-board cell occupied
  kErrInizioRall = 18,          // restriction start cell occupied
  kErrFineRall = 19,            // restriction end cell occupied
  kErrZonaRall = 20,            // warning-zone cell occupied
  kErrIndicatore = 21,          // indicator board cell occupied
  kErrStazioniVicine = 22,      // station zone too close to the previous one
  kErrStazioneInizio = 24,      // station cell would be cell 1 or lower
  kErrLettura = 25,             // a fault while reading (error trap)
  kErrManca = 101,              // line source missing
  kErrGenerale = 102,           // no "[generale]" before the end of the line source
  kErrCurva = 103,              // bad curvature digit or plan past metre 1000000
  kErrMarche = 1250,            // reserved mark places already used
  kErrCodici = 1251,            // check code places already used
};

// The meaning of a problem number in Italian, or "" for an unknown number.
const char* ProblemText(int32_t code);

// True when the problem carries a position in pos_errore.
bool ProblemHasPosition(int32_t code);

}  // namespace scenario

#endif  // SCENARIO_MODEL_PROBLEMS_H_
