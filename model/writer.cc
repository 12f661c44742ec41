// Writes the line file, the run file and the track file, in that order.
#include <memory>
#include <string>
#include <string_view>

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
  if (crea_linea != 0) WriteLineFile();
  write(RunFileName(), EncodeRunFile(tabella));
  write(TrackFileName(), EncodeTrackFile(celle));
}

void TrackModel::WriteLineFile() {
  // The plan is encoded piece by piece into one reused buffer and each piece
  // goes straight to the file: the line file never exists whole in memory.
  const std::string path = FullName(LineFileName());
  std::string err;
  std::unique_ptr<FileWriter> file = fs_->StartFile(path, &err);
  if (file == nullptr) return HaltOnFile(path, err);
  LineFileEncoder encoder(planimetria);
  for (std::string_view piece; encoder.Next(&piece);) {
    if (!file->Append(piece, &err)) {
      file->Abort();
      return HaltOnFile(path, err);
    }
  }
  if (!file->Commit(&err)) HaltOnFile(path, err);
}

}  // namespace scenario
