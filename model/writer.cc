// Writes the line file, the run file and the track file, in that order.
#include "model/coding.h"
#include "model/track_model.h"
#include "platform/file_system.h"

namespace scenario {

void TrackModel::WriteCompiledFiles() {
  auto write = [&](const std::string& own_name, const std::string& bytes) {
    const std::string path = FullName(own_name);
    std::string err;
    if (!fs_->WriteFile(path, bytes, &err)) FatalFile(path, err);
  };
  if (crea_linea != 0) write(LineFileName(), EncodeLineFile(planimetria));
  write(RunFileName(), EncodeRunFile(tabella));
  write(TrackFileName(), EncodeTrackFile(celle));
}

}  // namespace scenario
