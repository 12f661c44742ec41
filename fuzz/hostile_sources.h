// Hostile scenarios: sources that are valid text but as large as the model
// and the field reader let them be, for measuring the time and memory that
// `scenario compila` needs on them.
//
//   riga_lunga        both sources hold one line of about 1 MB: the line
//                     source gradient records, the train-run source signals
//                     in every cell, comma after comma, so that every signal
//                     overwrites advance codes of the signals before it
//   milione_record    a million gradient records in the line source and a
//                     million speed records in the train-run source, one per
//                     metre of a 1000000 m route
//   curva_ogni_metro  a route of 1000000 m with a curve on every metre
//   montagne_sovrapposte  80 tunnel ranges, each over the whole route, so
//                     that each covers every cell of the one before it again
//
// Every case has the longest route the model takes (1000000 m). The output
// is the same on every run and every platform.
#ifndef SCENARIO_FUZZ_HOSTILE_SOURCES_H_
#define SCENARIO_FUZZ_HOSTILE_SOURCES_H_

#include <string>
#include <vector>

namespace scenario {

// The names the two sources are meant to be read under.
inline constexpr char kHostileLinea[] = "Rupestre";
inline constexpr char kHostileTreno[] = "77";

struct HostileSources {
  std::string line;   // the line source, ASCII with CR LF line ends
  std::string train;  // the train-run source
};

// The names of the cases, in the order above.
std::vector<std::string> HostileCaseNames();

// Fills *out with the sources of case `name`; false for an unknown name.
bool MakeHostileSources(const std::string& name, HostileSources* out);

}  // namespace scenario

#endif  // SCENARIO_FUZZ_HOSTILE_SOURCES_H_
