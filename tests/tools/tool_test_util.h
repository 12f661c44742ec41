// Helpers of the tool tests: small source fixtures, running the real
// `scenario` and `crea_scenario` executables in scratch folders, and reading
// a folder back.
#ifndef SCENARIO_TESTS_TOOLS_TOOL_TEST_UTIL_H_
#define SCENARIO_TESTS_TOOLS_TOOL_TEST_UTIL_H_

#include <stdio.h>
#include <sys/wait.h>

#include <filesystem>
#include <map>
#include <string>
#include <vector>

#include "test_util.h"

namespace scenario {

// A clean pair of sources on a 5 km line: one station at 200 m (station
// cell 9, markers in cells 5 to 8), a signal at 1750 m (cell 36), a text
// board at 850 m (cell 18), a right-hand curve and two gradients.
inline std::vector<std::string> FixtureLine() {
  return {
      "[generale]",
      "lunghezza percorso,    5000",
      "progressiva chilometrica uno,    0,    4900,    1",
      "ripetizione segnali 4 codici,    0,    0",
      "[curve]",
      "curvad4,  1100,  250",
      "[pendenze]",
      "pendenza,  0,  0",
      "pendenza,  1500,  5",
      "[montagne]",
      "montagna,  2500,  2800,  12",
      "[cartelli]",
      "cartello_indicatore,  850,   (COD)",
      "[fine]",
  };
}

inline std::vector<std::string> FixtureTrain() {
  return {
      "[generale]",
      "numero vetture,    5",
      "aderenza,   0,    100",
      "velocita,   0,    100",
      "[stazioni]",
      "stazione,     200,  2,  600,  0, 0, 0,  1,1,0,  2,4,1,    1,   1,55, 0, PRIMA",
      "[segnali]",
      "segnale,    1750,   1, 4, 0,  0, 0,    0,  0,0,0, 0",
      "[fine]",
  };
}

// The names of the fixture scenario.
inline constexpr char kFixtureLinea[] = "Prova";
inline constexpr char kFixtureTreno[] = "7";

inline std::string ShellQuote(const std::string& s) {
  std::string out = "'";
  for (char c : s) {
    if (c == '\'') {
      out += "'\\''";
    } else {
      out += c;
    }
  }
  return out + "'";
}

struct ToolRun {
  int status = -1;
  std::string out;  // standard output
  std::string err;  // standard error
};

// Runs `command` (a shell command line) in `folder`.
inline ToolRun RunIn(const std::string& folder, const std::string& command) {
  TempDir scratch;  // stderr goes here, so that `folder` only holds what the command writes
  const std::string err_file = scratch.File("stderr");
  const std::string full =
      "cd " + ShellQuote(folder) + " && " + command + " 2>" + ShellQuote(err_file);
  ToolRun run;
  FILE* pipe = popen(full.c_str(), "r");
  if (pipe == nullptr) return run;
  char buffer[4096];
  size_t n;
  while ((n = fread(buffer, 1, sizeof buffer, pipe)) > 0) run.out.append(buffer, n);
  const int status = pclose(pipe);
  run.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  run.err = ReadBytes(err_file);
  return run;
}

// Runs the `scenario` executable with `args` in `folder`.
inline ToolRun RunScenario(const std::string& folder, const std::string& args) {
  return RunIn(folder, ShellQuote(SCENARIO_TOOL_EXE) + " " + args);
}

// Every regular file of `folder` with its bytes.
inline std::map<std::string, std::string> FolderFiles(const std::string& folder) {
  std::map<std::string, std::string> files;
  std::error_code ec;
  for (const auto& entry : std::filesystem::directory_iterator(folder, ec)) {
    if (entry.is_regular_file())
      files[entry.path().filename().string()] = ReadBytes(entry.path().string());
  }
  return files;
}

}  // namespace scenario

#endif  // SCENARIO_TESTS_TOOLS_TOOL_TEST_UTIL_H_
