// The builder's job from start to end: name the scenario, show the window,
// write the sources and the documents, compile, and say how it went.
#ifndef SCENARIO_DRIVER_RUN_DRIVER_H_
#define SCENARIO_DRIVER_RUN_DRIVER_H_

#include <string>

#include "model/track_model.h"

namespace scenario {

class FileSystem;
class Ui;

// Exit statuses of the builder.
inline constexpr int kExitOk = 0;
inline constexpr int kExitProblem = 1;  // a problem was recorded; files written all the same
inline constexpr int kExitFatal = 2;    // the run stopped; later files not written

// Runs the whole job with every file in `folder` and returns the exit status
// for main, which ends the program. A step that stops the run (a file that
// cannot be written, the box of errore) is the last one: what it has to say
// is shown through `ui` before returning, and no later step runs.
int RunBuilder(FileSystem* fs, Ui* ui, const std::string& folder);

// Shows what `outcome` has to show and returns its exit status: nothing and
// 0 when done; the recorded problem as a report line and 1; the stop's
// message as a report line and 2; the box of errore in a message box and 2.
int ExitStatusOf(const CompileOutcome& outcome, Ui* ui);

// One line naming a recorded problem: number, meaning and position.
std::string DescribeProblem(int32_t cod_errore, int32_t pos_errore);

}  // namespace scenario

#endif  // SCENARIO_DRIVER_RUN_DRIVER_H_
