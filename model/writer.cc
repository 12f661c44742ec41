// Writes the line file, the run file and the track file, in that order.
#include "model/coding.h"
#include "model/track_model.h"
#include "platform/file_system.h"

namespace scenario {

void TrackModel::WriteCompiledFiles() {
  // The first file that cannot be written stops the run: the files before
  // it stay written, the later ones are not written.
  auto write = [&](const std::string& own_name, const std::string& bytes) {
    if (halted()) return;
    const std::string path = FullName(own_name);
    std::string err;
    if (!fs_->WriteFile(path, bytes, &err)) HaltOnFile(path, err);
  };
  if (crea_linea != 0) write(LineFileName(), EncodeLineFile(planimetria));
  write(RunFileName(), EncodeRunFile(tabella));
  write(TrackFileName(), EncodeTrackFile(celle));
}

}  // namespace scenario
