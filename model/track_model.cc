// The model's own plumbing: file names in its folder, the problem record,
// the stops of the run and the observer's events.
#include "model/track_model.h"

#include <utility>

#include "platform/file_system.h"

namespace scenario {

TrackModel::TrackModel(FileSystem* fs, std::string folder)
    : fs_(fs), folder_(std::move(folder)) {}

std::string TrackModel::FullName(const std::string& own_name) const {
  return folder_ + PathSeparator() + own_name;
}

void TrackModel::RecordProblem(int32_t code, const SourceLocation& where) {
  cod_errore = code;
  problem_location = where;
}

void TrackModel::RecordProblem(int32_t code, int32_t position, const SourceLocation& where) {
  RecordProblem(code, where);
  pos_errore = position;
}

void TrackModel::Halt(const std::string& message) {
  if (halted()) return;
  halt_ = CompileOutcome{CompileOutcome::Kind::kStop, 0, 0, message};
}

void TrackModel::HaltOnFile(const std::string& path, const std::string& err) {
  // The file system's messages name the file already.
  Halt(err.empty() ? "impossibile scrivere il file " + path : err);
}

void TrackModel::Notify(Overwrite kind, int32_t index, const SourceLocation& where) {
  if (observer != nullptr) observer->OnOverwrite(kind, index, celle[index], where);
}

void TrackModel::NotifyPlaced(int64_t index) {
  if (observer != nullptr) observer->OnPlaced(static_cast<int32_t>(index), record_);
}

}  // namespace scenario
