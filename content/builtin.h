// The built-in scenario: the line "Vescolara" and the train run "631", as the
// lines of the two source files and of the three driver documents. Texts are
// UTF-8 here; scrivi_righe turns them into Windows-1252 when it writes them.
#ifndef SCENARIO_CONTENT_BUILTIN_H_
#define SCENARIO_CONTENT_BUILTIN_H_

#include <string>
#include <vector>

namespace scenario {

// The 303 lines of the line source, "[generale]" to "[fine]".
const std::vector<std::string>& LineSourceLines();

// The 88 lines of the train-run source, "[generale]" to "[fine]" and the
// empty line after it.
const std::vector<std::string>& TrainSourceLines();

// The driver documents: notes (12 lines), slow-down order form (46 lines),
// train card (59 lines).
const std::vector<std::string>& NoteLines();
const std::vector<std::string>& RallentamentiLines();
const std::vector<std::string>& SchedaLines();

// A writer's list of 1001 entries: `lines` from index 0, then the sentinel.
std::vector<std::string> WriterList(const std::vector<std::string>& lines);

}  // namespace scenario

#endif  // SCENARIO_CONTENT_BUILTIN_H_
