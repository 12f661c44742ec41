// Runs the Windows build's programs under Wine for the tests: finds Wine,
// prepares one Wine prefix per build folder (made once, reused), and starts
// a Windows program with pipes to its stdin and stdout.
//
//   std::string err;
//   ASSERT_TRUE(WinePrefix::Prepare(&err)) << err;   // fails when Wine is missing
//   WineProcess p;
//   ASSERT_TRUE(p.Start({exe, "arg"}, folder, display, &err)) << err;
//   std::string line;
//   while (p.ReadLine(10000, &line)) ...
//   int status = p.Wait(10000);
//
// Each Windows window is an X window of its own (no frame: the tests' X
// server has no window manager); each test ends the prefix's session with
// WinePrefix::EndSession().
#ifndef SCENARIO_TESTS_WINE_H_
#define SCENARIO_TESTS_WINE_H_

#include <sys/types.h>

#include <string>
#include <vector>

namespace scenario {

class WinePrefix {
 public:
  // The Wine loader: wine64 on PATH, Debian's /usr/lib/wine/wine64, or wine;
  // "" when Wine is not installed.
  static std::string Loader();

  // The prefix folder (inside the build folder).
  static std::string Folder();

  // Makes the prefix (Wine's first start) if it is not made yet. Safe to
  // call from several processes at once. False with *err when Wine is
  // missing or the prefix cannot be made.
  static bool Prepare(std::string* err);

  // Ends every Wine process of the prefix and waits for its server to go.
  static void EndSession();
};

class WineProcess {
 public:
  WineProcess() = default;
  WineProcess(const WineProcess&) = delete;
  WineProcess& operator=(const WineProcess&) = delete;
  // Kills the program if it still runs.
  ~WineProcess();

  // Starts `argv` (argv[0] is the .exe, a Linux path) under Wine, with
  // `folder` as current folder and DISPLAY set to `display` (unset when
  // empty). Its stderr is discarded.
  bool Start(const std::vector<std::string>& argv, const std::string& folder,
             const std::string& display, std::string* err);

  // The next line of the program's stdout (without the line end), waiting
  // at most `timeout_ms`; false on timeout or end of output.
  bool ReadLine(int timeout_ms, std::string* line);

  // Writes `text` to the program's stdin.
  bool Write(const std::string& text);

  // Waits at most `timeout_ms` for the program to end; its exit status, or
  // -1 when it did not end normally in time.
  int Wait(int timeout_ms);

 private:
  pid_t pid_ = -1;
  int stdin_ = -1;
  int stdout_ = -1;
  std::string pending_;
};

}  // namespace scenario

#endif  // SCENARIO_TESTS_WINE_H_
