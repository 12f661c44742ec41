// Shared test helpers: an in-memory file system and a Ui that records what it
// was asked to show.
#ifndef SCENARIO_TESTS_TEST_UTIL_H_
#define SCENARIO_TESTS_TEST_UTIL_H_

#include <cstdint>
#include <map>
#include <string>
#include <string_view>
#include <vector>

#include "platform/file_system.h"
#include "platform/ui.h"

namespace scenario {

// Files live in a std::map keyed by full path; every operation is logged as
// "read PATH", "write PATH", "remove PATH".
class FakeFileSystem : public FileSystem {
 public:
  bool Exists(const std::string& path) override;
  bool ReadFile(const std::string& path, std::string* bytes, std::string* err) override;
  bool WriteFile(const std::string& path, std::string_view bytes, std::string* err) override;
  bool RemoveFile(const std::string& path, std::string* err) override;
  // Folders are implicit in the paths: logged as "mkdir PATH" and made.
  bool CreateFolders(const std::string& path, std::string* err) override;
  // From `times`; a file without a time there has none.
  bool ModifiedTime(const std::string& path, int64_t* time) override;

  std::map<std::string, std::string> files;
  std::vector<std::string> log;
  std::string fail_write_on;  // a write to this path fails
  std::map<std::string, int64_t> times;
};

// Records what it is asked to show. Only main calls Quit, so no test does.
class RecordingUi : public Ui {
 public:
  void ShowWaitWindow() override { ++windows_shown; }
  void ShowMessage(const std::string& text) override { messages.push_back(text); }
  void Report(const std::string& text) override { reports.push_back(text); }

  int windows_shown = 0;
  std::vector<std::string> messages;
  std::vector<std::string> reports;
};

// The folder the tests' models use.
inline constexpr char kTestFolder[] = "/cartella";

// Bytes as upper-case hex pairs separated by blanks ("02 00 1F").
std::string Hex(std::string_view bytes);

// Text helpers: CR LF joined lines (each line ended by CR LF).
std::string JoinCrLf(const std::vector<std::string>& lines);
// Splits bytes on CR LF; fails the current test when a line ends otherwise.
std::vector<std::string> SplitCrLf(const std::string& bytes);

// A fresh scratch directory under the system temp folder, removed by the
// destructor.
class TempDir {
 public:
  TempDir();
  ~TempDir();
  const std::string& path() const { return path_; }
  std::string File(const std::string& name) const { return path_ + "/" + name; }

 private:
  std::string path_;
};

std::string ReadBytes(const std::string& path);
void WriteBytes(const std::string& path, const std::string& bytes);

}  // namespace scenario

#endif  // SCENARIO_TESTS_TEST_UTIL_H_
