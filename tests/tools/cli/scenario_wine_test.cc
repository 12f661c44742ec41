// The Windows scenario.exe, run under Wine, in a folder whose name has
// accented letters: the arguments and the messages are UTF-8 end to end, and
// it compiles the very bytes of the Linux tool.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "tests/tools/tool_test_util.h"
#include "wine.h"

namespace scenario {
namespace {

namespace fs = std::filesystem;

struct WindowsRun {
  int status = -1;
  std::string out;
};

WindowsRun RunWindowsTool(const std::vector<std::string>& args, const std::string& cwd) {
  WindowsRun run;
  std::vector<std::string> argv = {SCENARIO_WINDOWS_TOOL};
  argv.insert(argv.end(), args.begin(), args.end());
  WineProcess p;
  std::string err;
  EXPECT_TRUE(p.Start(argv, cwd, "", &err)) << err;
  std::string line;
  while (p.ReadLine(120000, &line)) run.out += line + "\n";
  run.status = p.Wait(60000);
  return run;
}

class WindowsToolTest : public testing::Test {
 protected:
  void SetUp() override {
    std::string err;
    ASSERT_TRUE(WinePrefix::Prepare(&err)) << err;
  }
  void TearDown() override { WinePrefix::EndSession(); }
};

TEST_F(WindowsToolTest, FolderWithAccentedLetters) {
  const std::string folder = "Città è";
  TempDir windows, linux;
  fs::create_directory(windows.File(folder));
  fs::create_directory(linux.File(folder));

  WindowsRun run = RunWindowsTool({"sorgenti", folder}, windows.path());
  EXPECT_EQ(0, run.status);
  EXPECT_EQ("scenario: scritti Città è\\Vescolara_linea.txt, Città è\\Vescolara_631-.txt\n",
            run.out);
  run = RunWindowsTool({"compila", folder}, windows.path());
  EXPECT_EQ(0, run.status) << run.out;
  run = RunWindowsTool({"mostra", folder + "\\Vescolara_631.dat", "--da", "36", "--a", "36"},
                       windows.path());
  EXPECT_EQ(0, run.status);
  const std::string shown = run.out;
  run = RunWindowsTool({"disegna", folder}, windows.path());
  EXPECT_EQ(0, run.status) << run.out;
  EXPECT_TRUE(fs::exists(windows.File(folder + "/Vescolara_631.svg")));
  run = RunWindowsTool({"verifica", folder, "--tutti"}, windows.path());
  EXPECT_EQ(0, run.status) << run.out;
  EXPECT_EQ("scenario: 0 problemi, 0 avvisi\n", run.out);
  run = RunWindowsTool({"rapporto", folder}, windows.path());
  EXPECT_EQ(0, run.status) << run.out;
  const std::string page = ReadBytes(windows.File(folder + "/Vescolara_631.html"));
  EXPECT_NE(std::string::npos, page.find("0 problemi, 0 avvisi"));
  // The station's source line, named by its folder with the accented letters.
  EXPECT_NE(std::string::npos, page.find("\"luogo\":\"Città è\\\\Vescolara_631-.txt:24\""))
      << page.substr(0, 2000);

  // The same steps with the Linux tool.
  ASSERT_EQ(0, RunScenario(linux.path(), "sorgenti " + ShellQuote(folder)).status);
  ASSERT_EQ(0, RunScenario(linux.path(), "compila " + ShellQuote(folder)).status);
  const ToolRun linux_shown = RunScenario(
      linux.path(), "mostra " + ShellQuote(folder + "/Vescolara_631.dat") + " --da 36 --a 36");
  EXPECT_EQ(linux_shown.out, shown);
  for (const char* name : {"Vescolara_linea.txt", "Vescolara_631-.txt", "Vescolara_linea.dat",
                           "Vescolara_631.sim", "Vescolara_631.dat"}) {
    EXPECT_TRUE(ReadBytes(linux.File(folder + "/" + name)) ==
                ReadBytes(windows.File(folder + "/" + name)))
        << name << " differs";
  }
}

TEST_F(WindowsToolTest, DisegnaSaysThatPngIsNotAvailable) {
  TempDir dir;
  const WindowsRun help = RunWindowsTool({"disegna", "--help"}, dir.path());
  EXPECT_EQ(0, help.status);
  EXPECT_NE(std::string::npos, help.out.find("PNG non disponibile")) << help.out;
}

}  // namespace
}  // namespace scenario
