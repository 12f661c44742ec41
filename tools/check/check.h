// `compila` and `verifica`: runs the builder's own compile pass on a pair of
// sources in a folder, on an overlay that keeps the sources untouched and
// holds the compiled files back until the end, and reports what the pass
// recorded and what it overwrote without a word.
#ifndef SCENARIO_TOOLS_CHECK_CHECK_H_
#define SCENARIO_TOOLS_CHECK_CHECK_H_

#include <ostream>
#include <string>

namespace scenario {

class FileSystem;

struct CheckOptions {
  std::string folder = ".";  // as the user gave it
  std::string linea;         // empty: take the one pair of sources in the folder
  std::string treno;
  bool senza_linea = false;  // compile pass with j = 0: no plan, no line file
  bool scrivi = true;        // compila; false for verifica, which writes nothing
  bool json = false;
  bool tutti = false;  // verifica --tutti: every problem, round after round
  int limite = 100;    // --tutti: at most this many problems (at least 1)
};

// Runs the check, prints the report to *out and returns the exit status:
// 0 clean, 1 a problem was recorded (the files are written as the builder
// would write them), 2 nothing written (no sources, unreadable sources, no
// route length, an output that cannot be written, errors 1250 and 1251).
// Lists the folder only when a name is missing; every file access goes
// through `disk`. Never ends the process. With `tutti` (verifica only) it
// reports every problem, as CheckAll says, and ends with the counts.
int RunCheck(const CheckOptions& options, FileSystem* disk, std::ostream* out);

}  // namespace scenario

#endif  // SCENARIO_TOOLS_CHECK_CHECK_H_
