// The own names of a scenario's files, formed from the line name and the
// train number; the full name of a file is its folder, the separator and its
// own name. For the line "Vescolara" and the train "631": Vescolara_linea.txt,
// Vescolara_631-.txt, Vescolara_631_note.txt, Vescolara_linea.dat,
// Vescolara_631.sim and Vescolara_631.dat.
#ifndef SCENARIO_MODEL_FILE_NAMES_H_
#define SCENARIO_MODEL_FILE_NAMES_H_

#include <string>
#include <string_view>

namespace scenario {

// What follows the line name (and, for the others, "_" and the train
// number) in each name. Read by the simulator and by people; never change.
inline constexpr char kLineSourceSuffix[] = "_linea.txt";  // line source
inline constexpr char kTrainSourceSuffix[] = "-.txt";      // train-run source
inline constexpr char kLineFileSuffix[] = "_linea.dat";    // compiled line file
inline constexpr char kRunFileSuffix[] = ".sim";           // compiled run file
inline constexpr char kTrackFileSuffix[] = ".dat";         // compiled track file

std::string LineSourceName(std::string_view linea);
std::string TrainSourceName(std::string_view linea, std::string_view treno);
std::string LineFileName(std::string_view linea);
std::string RunFileName(std::string_view linea, std::string_view treno);
std::string TrackFileName(std::string_view linea, std::string_view treno);
// A driver document: linea, "_", treno, "_" and `suffix` ("note.txt").
std::string DocumentName(std::string_view linea, std::string_view treno, std::string_view suffix);

}  // namespace scenario

#endif  // SCENARIO_MODEL_FILE_NAMES_H_
