// A FileSystem for the companion tool that never touches the user's files
// while the compile pass runs: reads come from the disk below, removals only
// hide a file in memory, and writes wait until Commit() puts them on disk all
// together. A run that stops half-way (errore, a fatal file failure)
// therefore leaves the folder exactly as it was.
//
// Small files wait in memory. A file that grows to kStageSize bytes (the
// line file of a long route) is staged instead: it goes, as it is written,
// into a temporary file beside its target on the disk below, which Commit()
// renames into place, and which is removed when the write is dropped.
#ifndef SCENARIO_TOOLS_COMMON_OVERLAY_FILE_SYSTEM_H_
#define SCENARIO_TOOLS_COMMON_OVERLAY_FILE_SYSTEM_H_

#include <cstddef>
#include <cstdint>
#include <map>
#include <memory>
#include <set>
#include <string>
#include <string_view>
#include <vector>

#include "platform/file_system.h"

namespace scenario {

class OverlayFileSystem : public FileSystem {
 public:
  static constexpr size_t kStageSize = 1 << 20;
  // A stage size no file reaches: every pending file stays in memory and the
  // disk below is never written before the commit.
  static constexpr size_t kNeverStage = SIZE_MAX;

  // `base` is not owned and must outlive the overlay. Files of `stage_size`
  // bytes or more are staged on `base`.
  explicit OverlayFileSystem(FileSystem* base, size_t stage_size = kStageSize)
      : base_(base), stage_size_(stage_size) {}
  // Pending writes that were never committed leave nothing behind.
  ~OverlayFileSystem() override = default;

  // A pending write wins; a hidden file does not exist; else the disk decides.
  bool Exists(const std::string& path) override;
  // A file staged on the disk below cannot be read back before the commit
  // (the compile pass never reads what it writes): that read fails.
  bool ReadFile(const std::string& path, std::string* bytes, std::string* err) override;
  // Keeps the bytes pending (in memory, or staged when large). Fails only
  // when a large file cannot be staged: its target may not be written.
  bool WriteFile(const std::string& path, std::string_view bytes, std::string* err) override;
  // The same in pieces: the file becomes pending at the writer's Commit.
  std::unique_ptr<FileWriter> StartFile(const std::string& path, std::string* err) override;
  // Hides the file (or drops a pending write); the disk is not touched.
  // Fails like a real removal when the file does not exist.
  bool RemoveFile(const std::string& path, std::string* err) override;

  // Makes the folders on the disk below at once: a folder holds nothing to
  // take back.
  bool CreateFolders(const std::string& path, std::string* err) override {
    return base_->CreateFolders(path, err);
  }

  // The time of the file on the disk below (a pending write has none yet).
  bool ModifiedTime(const std::string& path, int64_t* time) override {
    return written_.count(path) == 0 && hidden_.count(path) == 0 && base_->ModifiedTime(path, time);
  }

  // Paths that Commit() must never write (the user's source files).
  void Protect(const std::string& path) { protected_.insert(path); }

  // Puts every pending file on the disk below. All or nothing: first every
  // file is written beside its target (nothing is touched when one cannot
  // be); then each earlier file is moved aside and the new one renamed into
  // its place, and when one of these steps fails the earlier files are moved
  // back and false is returned with *err naming the failure. Removals are
  // never committed. Afterwards, whatever the result, nothing is pending.
  bool Commit(std::string* err);

  // The paths with a pending write, in the order they were first written.
  std::vector<std::string> PendingPaths() const { return order_; }
  // The pending bytes of `path`, or nullptr when it has no pending write or
  // its file is staged on the disk below.
  const std::string* Pending(const std::string& path) const;

 private:
  class Writer;
  // A pending file: its bytes, or the writer of the file staged for it.
  struct PendingFile {
    std::string bytes;
    std::unique_ptr<FileWriter> staged;
  };

  // A writer of this overlay finished `path`.
  void Settle(const std::string& path, PendingFile file);
  // A free name for moving the file at `path` aside, in its folder.
  std::string BackupName(const std::string& path);
  void DropPending();

  FileSystem* base_;
  size_t stage_size_;
  std::map<std::string, PendingFile> written_;
  std::vector<std::string> order_;
  std::set<std::string> hidden_;
  std::set<std::string> protected_;
  unsigned backups_ = 0;
};

}  // namespace scenario

#endif  // SCENARIO_TOOLS_COMMON_OVERLAY_FILE_SYSTEM_H_
