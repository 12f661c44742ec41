// Finding the scenarios in a folder by their file names: pairs of sources
// (<linea>_linea.txt with <linea>_<treno>-.txt) and compiled sets
// (<linea>_<treno>.sim with <linea>_<treno>.dat).
#ifndef SCENARIO_TOOLS_COMMON_SCENARIO_FOLDER_H_
#define SCENARIO_TOOLS_COMMON_SCENARIO_FOLDER_H_

#include <string>
#include <vector>

namespace scenario {

struct ScenarioName {
  std::string linea;
  std::string treno;
  bool operator==(const ScenarioName&) const = default;
};

// "Vescolara/631".
std::string FormatName(const ScenarioName& name);

// Every pair of sources in `folder`, sorted. False with *err when the folder
// cannot be listed.
bool ListSourcePairs(const std::string& folder, std::vector<ScenarioName>* pairs, std::string* err);

// Every compiled set in `folder`, sorted. The split of "<linea>_<treno>" is
// taken where a line file "<linea>_linea.dat" exists, else at the last "_".
bool ListCompiledSets(const std::string& folder, std::vector<ScenarioName>* sets, std::string* err);

// Picks the one scenario among `found` that matches the names given (an empty
// name matches any). False with a message listing what was found when there
// is none or more than one; `none` and `several` start those messages
// ("nessuna coppia di sorgenti", "più di una coppia di sorgenti").
bool ChooseScenario(const std::vector<ScenarioName>& found, const std::string& linea,
                    const std::string& treno, const std::string& folder, const char* none,
                    const char* several, ScenarioName* chosen, std::string* err);

// The compiled scenario of `folder` that the names given point at: both
// names given are taken as they are; otherwise the one compiled set that
// matches is chosen, as ChooseScenario does.
bool ChooseCompiledScenario(const std::string& folder, const std::string& linea,
                            const std::string& treno, ScenarioName* chosen, std::string* err);

// True when `linea` and `treno` can name the files of a scenario: not
// empty, no folder separator or character a file name may not hold, text
// the compiled files can store (Windows-1252), and no train "linea", whose
// track file would be the line file. False with the reason in *err.
bool CheckScenarioName(const std::string& linea, const std::string& treno, std::string* err);

// `folder` + separator + `name`, or `name` alone when folder is "" or ".".
std::string DisplayPath(const std::string& folder, const std::string& name);

// `folder` without trailing separators ("/" stays "/"); "" becomes ".".
std::string CleanFolder(std::string folder);

}  // namespace scenario

#endif  // SCENARIO_TOOLS_COMMON_SCENARIO_FOLDER_H_
