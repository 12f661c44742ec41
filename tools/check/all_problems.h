// `verifica --tutti`: every problem of a pair of sources in one pass.
//
// The compile pass stops reading at the first problem it records. After a
// problem that belongs to one record, that record is left out (its bytes
// become blanks, line ends kept, so every other record keeps its line and
// column) and the pass runs again from the start, on the sources in
// memory. The check stops when no problem is left, when a problem cannot
// be pinned to one record (the file's structure: 101, 102; no route
// length; the reserved places, 1250 and 1251; a problem that stays when
// its record is left out), or when `limite` problems are reported.
#ifndef SCENARIO_TOOLS_CHECK_ALL_PROBLEMS_H_
#define SCENARIO_TOOLS_CHECK_ALL_PROBLEMS_H_

#include <string>
#include <vector>

#include "model/track_model.h"
#include "tools/check/report.h"
#include "tools/check/report_builder.h"
#include "tools/common/scenario_folder.h"

namespace scenario {

class FileSystem;

inline constexpr int kLimiteProblemi = 100;  // default of --limite

// What the sources as they are made the compile pass do: the first round.
struct FirstRound {
  std::vector<PlacementEvent> placements;  // in the order they were made
  std::vector<SlotEvent> slots;
  std::string track_bytes, run_bytes;      // the track and run files it would write; empty
                                           // when it stopped before writing
};

// Runs the rounds on `sources`, the two sources of scenario `name` in
// `folder`, with the compile pass's j = `j`. Adds to *report every problem in the order found
// (problemi), the warnings of every round without repeats (avvisi), what
// stopped a round for good (errori: no route length, a file that cannot be
// written) and why the check stopped early (note); sets esito: 0 no
// problem, 1 problems, 2 a stop or a box. Writes nothing: `disk` is only
// read. `first`, if not null, receives the first round.
// REQUIRES: limite >= 1.
void CheckAll(const Sources& sources, const std::string& folder, const ScenarioName& name,
              int32_t j, int limite, FileSystem* disk, CheckReport* report, FirstRound* first);

}  // namespace scenario

#endif  // SCENARIO_TOOLS_CHECK_ALL_PROBLEMS_H_
