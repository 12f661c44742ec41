// A FileSystem for the companion tool that never touches the user's files
// while the compile pass runs: reads come from the disk below, removals only
// hide a file in memory, and writes are kept in memory until Commit() puts
// them on disk all together. A run that stops half-way (errore, a fatal file
// failure) therefore leaves the folder exactly as it was.
#ifndef SCENARIO_TOOLS_COMMON_OVERLAY_FILE_SYSTEM_H_
#define SCENARIO_TOOLS_COMMON_OVERLAY_FILE_SYSTEM_H_

#include <map>
#include <set>
#include <string>
#include <string_view>
#include <vector>

#include "platform/file_system.h"

namespace scenario {

class OverlayFileSystem : public FileSystem {
 public:
  // `base` is not owned and must outlive the overlay.
  explicit OverlayFileSystem(FileSystem* base) : base_(base) {}

  // A pending write wins; a hidden file does not exist; else the disk decides.
  bool Exists(const std::string& path) override;
  bool ReadFile(const std::string& path, std::string* bytes, std::string* err) override;
  // Keeps the bytes in memory; the disk is not touched.
  bool WriteFile(const std::string& path, std::string_view bytes, std::string* err) override;
  // Hides the file (or drops a pending write); the disk is not touched.
  // Fails like a real removal when the file does not exist.
  bool RemoveFile(const std::string& path, std::string* err) override;

  // Paths that Commit() must never write (the user's source files).
  void Protect(const std::string& path) { protected_.insert(path); }

  // Writes every pending file to the disk below, in the order they were
  // first written. All or nothing: when one write fails, the files already
  // committed get their earlier content back (or are removed when they did
  // not exist), and false is returned with *err naming the failure.
  // Removals are never committed. On success the pending writes are cleared.
  bool Commit(std::string* err);

  // The paths with a pending write, in the order they were first written.
  std::vector<std::string> PendingPaths() const { return order_; }
  // The pending bytes of `path`, or nullptr.
  const std::string* Pending(const std::string& path) const;

 private:
  FileSystem* base_;
  std::map<std::string, std::string> written_;
  std::vector<std::string> order_;
  std::set<std::string> hidden_;
  std::set<std::string> protected_;
};

}  // namespace scenario

#endif  // SCENARIO_TOOLS_COMMON_OVERLAY_FILE_SYSTEM_H_
