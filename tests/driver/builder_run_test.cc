// Whole runs of the real crea_scenario executable, copied into scratch
// folders: it must write next to itself, whatever the current folder.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <signal.h>
#include <unistd.h>

#include <cstdio>
#include <map>

#include <filesystem>
#include <set>
#include <string>

#include "test_util.h"
#include "xvfb.h"

namespace scenario {
namespace {

namespace fs = std::filesystem;

const std::set<std::string> kOutputs = {
    "Vescolara_631.dat",           "Vescolara_631.sim",
    "Vescolara_631_note.txt",      "Vescolara_631_rallentamenti.txt",
    "Vescolara_631_scheda_treno.txt", "Vescolara_linea.dat"};

std::set<std::string> FilesIn(const std::string& dir) {
  std::set<std::string> names;
  for (const auto& e : fs::directory_iterator(dir)) names.insert(e.path().filename().string());
  return names;
}

// The builder's window module, built next to it (none in a console-only
// build).
const fs::path kModule = fs::path(SCENARIO_BUILDER_FOLDER) / "crea_scenario_fltk.so";

// Copies the builder (with its window module, unless `with_module` is false)
// into `dir` and runs it from `cwd` with `env` prepended; returns the exit
// status (-1 when it did not exit normally).
int RunBuilderIn(const std::string& dir, const std::string& cwd, const std::string& env,
                 std::string* stderr_text, bool with_module = true) {
  const std::string exe = dir + "/crea_scenario";
  fs::copy_file(SCENARIO_BUILDER, exe, fs::copy_options::overwrite_existing);
  const fs::path module = fs::path(dir) / kModule.filename();
  if (with_module && fs::exists(kModule)) {
    fs::copy_file(kModule, module, fs::copy_options::overwrite_existing);
  }
  const std::string err_file = cwd + "/.stderr";
  const std::string cmd = "cd '" + cwd + "' && " + env + " '" + exe + "' 2>'" + err_file + "'";
  const int status = std::system(cmd.c_str());
  *stderr_text = ReadBytes(err_file);
  fs::remove(err_file);
  fs::remove(exe);
  fs::remove(module);
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

TEST(BuilderRun, WritesItsSixFilesNextToItself) {
  TempDir a, b, elsewhere;
  std::string err;
  ASSERT_EQ(0, RunBuilderIn(a.path(), elsewhere.path(), "env -u DISPLAY", &err)) << err;
  EXPECT_EQ("Attendere\n", err);
  EXPECT_EQ(kOutputs, FilesIn(a.path()));
  EXPECT_TRUE(FilesIn(elsewhere.path()).empty());
  EXPECT_EQ(2119964u, fs::file_size(a.File("Vescolara_linea.dat")));
  EXPECT_EQ(31815u, fs::file_size(a.File("Vescolara_631.dat")));
  const std::string line = ReadBytes(a.File("Vescolara_linea.dat"));
  EXPECT_EQ(std::string("\x02\x00\x00\x00", 4), line.substr(0, 4));
  EXPECT_EQ(std::string("\x02\x00\x00\x00\x02\x00\x01\x00", 8), line.substr(line.size() / 2, 8));

  // A second run in another folder gives the same bytes.
  ASSERT_EQ(0, RunBuilderIn(b.path(), b.path(), "env -u DISPLAY", &err)) << err;
  for (const std::string& name : kOutputs) {
    EXPECT_TRUE(ReadBytes(a.File(name)) == ReadBytes(b.File(name))) << name;
  }
}

TEST(BuilderRun, ReplacesOlderLongerFiles) {
  TempDir dir;
  std::string err;
  ASSERT_EQ(0, RunBuilderIn(dir.path(), dir.path(), "env -u DISPLAY", &err)) << err;
  std::map<std::string, std::string> first;
  for (const std::string& name : kOutputs) {
    first[name] = ReadBytes(dir.File(name));
    WriteBytes(dir.File(name), first[name] + std::string(70000, 'x'));
  }
  // Hand-edited sources of an earlier run do not reach the compiled files.
  WriteBytes(dir.File("Vescolara_linea.txt"), "[generale]\r\nlunghezza percorso,  5000\r\n");
  ASSERT_EQ(0, RunBuilderIn(dir.path(), dir.path(), "env -u DISPLAY", &err)) << err;
  for (const std::string& name : kOutputs) {
    EXPECT_TRUE(first[name] == ReadBytes(dir.File(name))) << name;
  }
  EXPECT_EQ(kOutputs, FilesIn(dir.path()));
}

TEST(BuilderRun, AFileThatCannotBeWrittenStopsAtThatStep) {
  TempDir dir;
  // A folder with the name of the notes stops the run at the notes.
  fs::create_directory(dir.File("Vescolara_631_note.txt"));
  std::string err;
  EXPECT_EQ(2, RunBuilderIn(dir.path(), dir.path(), "env -u DISPLAY", &err));
  EXPECT_NE(std::string::npos, err.find("Vescolara_631_note.txt")) << err;
  EXPECT_EQ((std::set<std::string>{"Vescolara_linea.txt", "Vescolara_631-.txt",
                                   "Vescolara_631_note.txt"}),
            FilesIn(dir.path()));
  EXPECT_TRUE(fs::is_directory(dir.File("Vescolara_631_note.txt")));
}

TEST(BuilderRun, ACompiledFileThatCannotBeWritten) {
  TempDir dir;
  fs::create_directory(dir.File("Vescolara_631.sim"));
  std::string err;
  EXPECT_EQ(2, RunBuilderIn(dir.path(), dir.path(), "env -u DISPLAY", &err));
  EXPECT_NE(std::string::npos, err.find("Vescolara_631.sim")) << err;
  // The line file was written before; the track file is not.
  EXPECT_TRUE(fs::exists(dir.File("Vescolara_linea.dat")));
  EXPECT_FALSE(fs::exists(dir.File("Vescolara_631.dat")));
}

TEST(BuilderRun, WithADisplayShowsTheWindowAndEndsByItself) {
#if defined(SCENARIO_CONSOLE_ONLY)
  GTEST_SKIP() << "built without a window (SCENARIO_CONSOLE_ONLY)";
#endif
  if (!Xvfb::Installed()) GTEST_SKIP() << "Xvfb is not installed";
  Xvfb x;
  std::string err;
  ASSERT_TRUE(x.Start(&err)) << err;
  TempDir with_window, without, events;
  // xev watches the root window, so the short-lived window is seen mapped
  // however fast the run is.
  const std::string log = events.File("xev.txt");
  FILE* watcher = popen(("DISPLAY=" + x.display() + " xev -root -event substructure >'" + log +
                         "' 2>/dev/null & echo $!")
                            .c_str(),
                        "r");
  ASSERT_NE(nullptr, watcher);
  int xev_pid = 0;
  ASSERT_EQ(1, fscanf(watcher, "%d", &xev_pid));
  pclose(watcher);
  usleep(700 * 1000);
  ASSERT_EQ(0, RunBuilderIn(with_window.path(), with_window.path(), "DISPLAY=" + x.display(), &err))
      << err;
  usleep(300 * 1000);
  kill(xev_pid, SIGTERM);
  EXPECT_EQ("", err);  // the window replaces the console text
  const std::string seen = ReadBytes(log);
  EXPECT_NE(std::string::npos, seen.find("MapNotify")) << seen;
  EXPECT_NE(std::string::npos, seen.find("width 280, height 179")) << seen;
  ASSERT_EQ(0, RunBuilderIn(without.path(), without.path(), "env -u DISPLAY", &err)) << err;
  EXPECT_EQ(kOutputs, FilesIn(with_window.path()));
  for (const std::string& name : kOutputs) {
    EXPECT_TRUE(ReadBytes(with_window.File(name)) == ReadBytes(without.File(name))) << name;
  }
  // Copied without its window module, the builder shows the console text
  // even with a display, and writes the same files.
  TempDir alone;
  ASSERT_EQ(0, RunBuilderIn(alone.path(), alone.path(), "DISPLAY=" + x.display(), &err,
                            /*with_module=*/false));
  EXPECT_EQ("Attendere\n", err);
  for (const std::string& name : kOutputs) {
    EXPECT_TRUE(ReadBytes(alone.File(name)) == ReadBytes(without.File(name))) << name;
  }
}

// Without a display the window module is never even looked at: a broken
// one next to the builder changes nothing.
TEST(BuilderRun, WithoutADisplayTheModuleIsNotLoaded) {
  TempDir dir;
  WriteBytes(dir.File("crea_scenario_fltk.so"), "not a shared object");
  std::string err;
  ASSERT_EQ(0, RunBuilderIn(dir.path(), dir.path(), "env -u DISPLAY", &err,
                            /*with_module=*/false))
      << err;
  EXPECT_EQ("Attendere\n", err);
}

}  // namespace
}  // namespace scenario
