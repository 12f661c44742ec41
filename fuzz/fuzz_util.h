// Helpers shared by the fuzz targets: an in-memory file system and a check
// that makes a broken invariant a crash, which libFuzzer and the corpus
// replay both report with the input that caused it.
#ifndef SCENARIO_FUZZ_FUZZ_UTIL_H_
#define SCENARIO_FUZZ_FUZZ_UTIL_H_

#include <map>
#include <string>
#include <string_view>

#include "platform/file_system.h"

namespace scenario {

// Files in a std::map keyed by full path; nothing touches the disk.
class MemoryFileSystem : public FileSystem {
 public:
  bool Exists(const std::string& path) override { return files.count(path) != 0; }
  bool ReadFile(const std::string& path, std::string* bytes, std::string* err) override;
  bool WriteFile(const std::string& path, std::string_view bytes, std::string* err) override;
  bool RemoveFile(const std::string& path, std::string* err) override;

  std::map<std::string, std::string> files;
};

// Prints `what` and aborts when `ok` is false.
void FuzzCheck(bool ok, const char* what);

}  // namespace scenario

#endif  // SCENARIO_FUZZ_FUZZ_UTIL_H_
