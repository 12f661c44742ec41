// The Windows builder, run under Wine: it writes the very bytes of the Linux
// builder, and it writes them next to itself whatever the current folder and
// whatever letters the program folder's path holds.
#include <stdlib.h>
#include <sys/wait.h>
#include <time.h>

#include <cstdlib>
#include <filesystem>
#include <map>
#include <set>
#include <string>

#include <gtest/gtest.h>

#include "test_util.h"
#include "wine.h"
#include "xvfb.h"

namespace scenario {
namespace {

namespace fs = std::filesystem;

const std::set<std::string> kOutputs = {"Vescolara_631.dat",
                                        "Vescolara_631.sim",
                                        "Vescolara_631_note.txt",
                                        "Vescolara_631_rallentamenti.txt",
                                        "Vescolara_631_scheda_treno.txt",
                                        "Vescolara_linea.dat"};

std::set<std::string> FilesIn(const fs::path& dir) {
  std::set<std::string> names;
  for (const auto& e : fs::directory_iterator(dir)) names.insert(e.path().filename().string());
  return names;
}

// The six files of a run of the Linux builder, by name.
const std::map<std::string, std::string>& LinuxFiles() {
  static const std::map<std::string, std::string>* files = [] {
    auto* result = new std::map<std::string, std::string>;
    TempDir dir;
    const std::string exe = dir.File("crea_scenario");
    fs::copy_file(SCENARIO_BUILDER, exe);
    const std::string command =
        "cd '" + dir.path() + "' && env -u DISPLAY ./crea_scenario 2>/dev/null";
    const int status = std::system(command.c_str());
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << status;
    for (const std::string& name : kOutputs) (*result)[name] = ReadBytes(dir.File(name));
    return result;
  }();
  return *files;
}

class WindowsBuilderTest : public testing::Test {
 protected:
  void SetUp() override {
    std::string err;
    ASSERT_TRUE(WinePrefix::Prepare(&err)) << err;
  }
  void TearDown() override { WinePrefix::EndSession(); }
};

TEST_F(WindowsBuilderTest, WritesTheLinuxBytesNextToItself) {
  struct Case {
    const char* what;
    const char* program_folder;  // relative to a scratch folder
    const char* current_folder;  // the same, or another one
  };
  const Case kCases[] = {
      {"a fresh folder, started there", "programma", "programma"},
      {"started from another folder", "programma", "altrove"},
      {"a path with blanks and accented letters", "Scenari di prova/Città sul lago è ü", "altrove"},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.what);
    TempDir scratch;
    const fs::path program = fs::path(scratch.path()) / c.program_folder;
    const fs::path current = fs::path(scratch.path()) / c.current_folder;
    fs::create_directories(program);
    fs::create_directories(current);
    const fs::path exe = program / "crea_scenario.exe";
    fs::copy_file(SCENARIO_WINDOWS_BUILDER, exe);

    WineProcess run;
    std::string err;
    ASSERT_TRUE(run.Start({exe.string()}, current.string(), "", &err)) << err;
    ASSERT_EQ(0, run.Wait(300000));

    std::set<std::string> expected = kOutputs;
    expected.insert("crea_scenario.exe");
    EXPECT_EQ(expected, FilesIn(program));
    if (current != program) {
      EXPECT_TRUE(FilesIn(current).empty());
    }
    for (const auto& [name, bytes] : LinuxFiles()) {
      EXPECT_TRUE(bytes == ReadBytes((program / name).string())) << name << " differs";
    }
  }
}

int64_t NowMs() {
  struct timespec ts;
  clock_gettime(CLOCK_MONOTONIC, &ts);
  return static_cast<int64_t>(ts.tv_sec) * 1000 + ts.tv_nsec / 1000000;
}

// The real run with a display: while the builder works, Form1 shows the
// whole word in its label. Screenshots are taken until the run ends; the
// best one is kept when SCENARIO_SCREENSHOT_DIR is set.
TEST_F(WindowsBuilderTest, Form1ShowsTheWholeWordWhileItWorks) {
  ASSERT_TRUE(Xvfb::Installed()) << "Xvfb is not installed";
  Xvfb x;
  std::string err;
  ASSERT_TRUE(x.Start(&err)) << err;
  TempDir program;
  const std::string exe = program.File("crea_scenario.exe");
  fs::copy_file(SCENARIO_WINDOWS_BUILDER, exe);
  WineProcess run;
  ASSERT_TRUE(run.Start({exe}, program.path(), x.display(), &err)) << err;

  const char* dir = getenv("SCENARIO_SCREENSHOT_DIR");
  const std::string keep = dir != nullptr ? std::string(dir) + "/windows_crea_scenario.png" : "";
  int best = 0;         // dark pixels in the label, the most seen
  int best_right = -1;  // in that shot, dark pixels in the label's last column
  int status = -1;
  const int64_t deadline = NowMs() + 300000;
  while ((status = run.Wait(0)) == -1 && NowMs() < deadline) {
    std::vector<std::string> ids;
    XvfbWindowGeometry form;
    XvfbImage shot;
    if (!x.WaitForWindows("crea_scenario", 1, 0, &ids, &err) || !x.Geometry(ids[0], &form, &err) ||
        !x.Screenshot(&shot, "", &err)) {
      continue;
    }
    const int in_label = shot.CountDark(form.x + 64, form.y + 64, 177, 53);
    // A window not painted yet is black all over: only a grey form whose
    // dark pixels all lie in the label counts.
    if (in_label > 177 * 53 / 4 || shot.CountDark(form.x, form.y, 280, 179) != in_label) continue;
    if (in_label > best) {
      best = in_label;
      best_right = shot.CountDark(form.x + 64 + 176, form.y + 64, 1, 53);
      if (!keep.empty()) x.Screenshot(&shot, keep, &err);
    }
  }
  EXPECT_EQ(0, status);
  EXPECT_GT(best, 300) << "Form1 was never seen with its word";
  EXPECT_EQ(0, best_right) << "the word is cut at the label's right edge";
}

}  // namespace
}  // namespace scenario
