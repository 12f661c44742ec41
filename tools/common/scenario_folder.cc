#include "tools/common/scenario_folder.h"

#include <algorithm>
#include <filesystem>
#include <set>
#include <system_error>

#include "model/file_names.h"
#include "model/text_encoding.h"
#include "platform/file_system.h"
#include "platform/system_errors.h"

namespace scenario {
namespace {

bool EndsWith(const std::string& s, const std::string& suffix) {
  return s.size() >= suffix.size() &&
         s.compare(s.size() - suffix.size(), suffix.size(), suffix) == 0;
}

// The names of the regular files in `folder` (UTF-8 both ways).
bool ListFiles(const std::string& folder, std::set<std::string>* names, std::string* err) {
  std::filesystem::path path;
  if (!NativePath(folder, &path)) {
    *err = "nome di cartella non valido: " + folder;
    return false;
  }
  std::error_code ec;
  std::filesystem::directory_iterator it(path, ec);
  if (ec) {
    *err = "impossibile leggere la cartella " + folder + ": " + ErrorCodeText(ec);
    return false;
  }
  for (const std::filesystem::directory_iterator end; it != end; it.increment(ec)) {
    if (ec) break;
    std::error_code type_ec;
    if (it->is_regular_file(type_ec)) names->insert(Utf8Path(it->path().filename()));
  }
  if (ec) {
    *err = "impossibile leggere la cartella " + folder + ": " + ErrorCodeText(ec);
    return false;
  }
  return true;
}

}  // namespace

std::string FormatName(const ScenarioName& name) { return name.linea + "/" + name.treno; }

bool ListSourcePairs(const std::string& folder, std::vector<ScenarioName>* pairs,
                     std::string* err) {
  std::set<std::string> names;
  if (!ListFiles(folder, &names, err)) return false;
  pairs->clear();
  const std::string line_suffix = kLineSourceSuffix, train_suffix = kTrainSourceSuffix;
  for (const std::string& n : names) {
    if (!EndsWith(n, line_suffix) || n.size() == line_suffix.size()) continue;
    const std::string linea = n.substr(0, n.size() - line_suffix.size());
    const std::string prefix = linea + "_";
    for (const std::string& t : names) {
      if (t.size() <= prefix.size() + train_suffix.size() ||
          t.compare(0, prefix.size(), prefix) != 0 || !EndsWith(t, train_suffix)) {
        continue;
      }
      const std::string treno =
          t.substr(prefix.size(), t.size() - prefix.size() - train_suffix.size());
      if (TrainSourceName(linea, treno) == t) pairs->push_back({linea, treno});
    }
  }
  return true;
}

bool ListCompiledSets(const std::string& folder, std::vector<ScenarioName>* sets,
                      std::string* err) {
  std::set<std::string> names;
  if (!ListFiles(folder, &names, err)) return false;
  sets->clear();
  for (const std::string& n : names) {
    const std::string run_suffix = kRunFileSuffix;
    if (!EndsWith(n, run_suffix)) continue;
    const std::string stem = n.substr(0, n.size() - run_suffix.size());
    if (names.count(stem + kTrackFileSuffix) == 0) continue;
    size_t split = std::string::npos;
    for (size_t i = stem.find('_'); i != std::string::npos; i = stem.find('_', i + 1)) {
      if (i > 0 && i + 1 < stem.size() && names.count(LineFileName(stem.substr(0, i))) != 0) {
        split = i;
      }
    }
    if (split == std::string::npos) split = stem.rfind('_');
    if (split == std::string::npos || split == 0 || split + 1 >= stem.size()) continue;
    sets->push_back({stem.substr(0, split), stem.substr(split + 1)});
  }
  return true;
}

bool ChooseScenario(const std::vector<ScenarioName>& found, const std::string& linea,
                    const std::string& treno, const std::string& folder, const char* none,
                    const char* several, ScenarioName* chosen, std::string* err) {
  std::vector<ScenarioName> matching;
  for (const ScenarioName& s : found) {
    if ((linea.empty() || s.linea == linea) && (treno.empty() || s.treno == treno)) {
      matching.push_back(s);
    }
  }
  if (matching.size() == 1) {
    *chosen = matching[0];
    return true;
  }
  std::string list;
  for (const ScenarioName& s : (matching.empty() ? found : matching)) {
    list += (list.empty() ? "" : ", ") + FormatName(s);
  }
  if (matching.empty()) {
    *err = std::string(none) + " in " + folder;
    if (!linea.empty() || !treno.empty()) {
      *err += " per" + (linea.empty() ? "" : " la linea " + linea) +
              (treno.empty() ? "" : " il treno " + treno);
    }
    if (!list.empty()) *err += " (presenti: " + list + ")";
  } else {
    *err =
        std::string(several) + " in " + folder + ": " + list + "; scegliere con --linea e --treno";
  }
  return false;
}

bool CheckScenarioName(const std::string& linea, const std::string& treno, std::string* err) {
  const struct {
    const char* what;
    const std::string& name;
  } kNames[] = {{"il nome della linea", linea}, {"il numero del treno", treno}};
  for (const auto& n : kNames) {
    std::string cp1252;
    if (n.name.empty()) {
      *err = std::string(n.what) + " è vuoto";
    } else if (n.name == "." || n.name == "..") {
      *err = std::string(n.what) + " non può essere \"" + n.name + "\"";
    } else if (n.name.find_first_of("/\\:*?\"<>|") != std::string::npos ||
               std::any_of(n.name.begin(), n.name.end(),
                           [](char c) { return static_cast<unsigned char>(c) < 0x20; })) {
      *err = std::string(n.what) + " \"" + n.name +
             "\" contiene un carattere che un nome di file non può avere (/ \\ : * ? \" < > |)";
    } else if (!Utf8ToCp1252(n.name, &cp1252)) {
      *err = std::string(n.what) + " \"" + n.name + "\" contiene caratteri che Windows-1252 non ha";
    } else {
      continue;
    }
    return false;
  }
  if (Cp1252ToLower(treno) == "linea") {
    *err =
        "il numero del treno non può essere \"linea\": il file del binario sarebbe il file "
        "della linea";
    return false;
  }
  return true;
}

std::string DisplayPath(const std::string& folder, const std::string& name) {
  if (folder.empty() || folder == ".") return name;
  if (folder.back() == PathSeparator()) return folder + name;
  return folder + PathSeparator() + name;
}

std::string CleanFolder(std::string folder) {
  while (folder.size() > 1 && (folder.back() == '/' || folder.back() == PathSeparator())) {
    folder.pop_back();
  }
  return folder.empty() ? "." : folder;
}

bool ChooseCompiledScenario(const std::string& folder, const std::string& linea,
                            const std::string& treno, ScenarioName* chosen, std::string* err) {
  *chosen = ScenarioName{linea, treno};
  if (!linea.empty() && !treno.empty()) return true;
  std::vector<ScenarioName> sets;
  return ListCompiledSets(folder, &sets, err) &&
         ChooseScenario(sets, linea, treno, folder, "nessuno scenario compilato",
                        "più di uno scenario compilato", chosen, err);
}

}  // namespace scenario
