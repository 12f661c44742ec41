// The builder's job from start to end: name the scenario, show the window,
// write the sources and the documents, compile.
#ifndef SCENARIO_DRIVER_RUN_DRIVER_H_
#define SCENARIO_DRIVER_RUN_DRIVER_H_

#include <string>

namespace scenario {

class FileSystem;
class TrackModel;
class Ui;

// Exit statuses of the builder.
inline constexpr int kExitOk = 0;
inline constexpr int kExitProblem = 1;  // a problem was recorded; files written all the same
inline constexpr int kExitFatal = 2;    // the run stopped; later files not written

// Runs the whole job with every file in `folder`. Returns the exit status;
// fatal failures end the process through ui->Quit instead.
int RunBuilder(FileSystem* fs, Ui* ui, const std::string& folder);

// After a compile pass: 0 when nothing was recorded; otherwise the problem
// is reported through `ui` and the status is kExitProblem.
int ExitStatusOf(const TrackModel& model, Ui* ui);

// One line naming a recorded problem: number, meaning and position.
std::string DescribeProblem(int32_t cod_errore, int32_t pos_errore);

}  // namespace scenario

#endif  // SCENARIO_DRIVER_RUN_DRIVER_H_
