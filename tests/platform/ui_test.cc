// The console backend, the choice of backend, and on a private X server the
// real Form1 window and the message box, from the window module that the
// build put next to crea_scenario.
#include <errno.h>
#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <stdlib.h>
#include <string.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

#include <algorithm>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "platform/ui.h"
#include "platform/ui_internal.h"
#include "xvfb.h"

namespace scenario {
namespace {

constexpr char kTitle[] = "crea_scenario";

// NewUi() as the builder calls it: the window module is looked for next to
// the builder, not next to this test program.
std::unique_ptr<Ui> NewBuilderUi() { return NewUiWithModuleIn(SCENARIO_BUILDER_FOLDER); }

TEST(ConsoleUiDeathTest, WritesToStderrAndQuits) {
  EXPECT_EXIT(
      {
        std::unique_ptr<Ui> ui = NewConsoleUi();
        ui->ShowWaitWindow();
        ui->ShowMessage(" Errore n. 1250");
        ui->Report("nota per chi ha avviato il programma");
        ui->Quit(3);
      },
      testing::ExitedWithCode(3),
      "^Attendere\n Errore n. 1250\nnota per chi ha avviato il programma\n$");
}

// The label keeps 24 pt wherever the word fits; a wider stand-in face is
// made smaller until it fits, but never below the smallest size.
TEST(FitLabelFont, KeepsTheNominalSizeOrShrinksUntilTheWordFits) {
  struct Case {
    const char* what;
    double per_pixel;  // text width per pixel of font size
    int expected;
  };
  const Case kCases[] = {
      {"narrow face", 4.0, 32},
      {"exactly as wide as the label", 177.0 / 32, 32},
      {"a little wider", 183.0 / 32, 30},  // 30 * 5.72 = 171.6; 31 * 5.72 = 177.3
      {"far too wide", 100.0, 8},
  };
  for (const Case& c : kCases) {
    std::vector<int> asked;
    const int size = FitLabelFont(32, 8, 177, [&](int pixels) {
      asked.push_back(pixels);
      return c.per_pixel * pixels;
    });
    EXPECT_EQ(c.expected, size) << c.what;
    ASSERT_FALSE(asked.empty()) << c.what;
    EXPECT_EQ(32, asked.front()) << c.what;  // the nominal size is tried first
  }
}

// Without a usable display NewUi() must not end the process (FLTK would)
// but fall back to the console.
TEST(NewUiDeathTest, ConsoleWithoutDisplay) {
  for (const char* display : {"", ":987"}) {
    SCOPED_TRACE(display);
    EXPECT_EXIT(
        {
          if (*display == '\0')
            unsetenv("DISPLAY");
          else
            setenv("DISPLAY", display, 1);
          std::unique_ptr<Ui> ui = NewBuilderUi();
          ui->ShowWaitWindow();
          ui->Quit(0);
        },
        testing::ExitedWithCode(0), "^Attendere\n$");
  }
}

int64_t NowMs() {
  struct timespec ts;
  clock_gettime(CLOCK_MONOTONIC, &ts);
  return static_cast<int64_t>(ts.tv_sec) * 1000 + ts.tv_nsec / 1000000;
}

// A forked child that runs a piece of Ui code on the test's X server. It
// talks through two pipes: `to_parent` for what it reports, `from_parent`
// for the parent's go-ahead.
class Child {
 public:
  using Body = std::function<void(int to_parent, int from_parent)>;

  ~Child() {
    if (pid_ > 0) {
      kill(pid_, SIGKILL);
      waitpid(pid_, nullptr, 0);
    }
    if (to_child_ >= 0) close(to_child_);
    if (from_child_ >= 0) close(from_child_);
  }

  bool Start(const std::string& display, const Body& body) {
    int up[2], down[2];
    if (pipe2(up, O_CLOEXEC) != 0 || pipe2(down, O_CLOEXEC) != 0) return false;
    pid_ = fork();
    if (pid_ < 0) return false;
    if (pid_ == 0) {
      close(up[0]);
      close(down[1]);
      setenv("DISPLAY", display.c_str(), 1);
      body(up[1], down[0]);
      _exit(99);  // the body is expected to end through Ui::Quit
    }
    close(up[1]);
    close(down[0]);
    from_child_ = up[0];
    to_child_ = down[1];
    return true;
  }

  // What the child wrote within `timeout_ms` ("" when nothing).
  std::string Read(int timeout_ms) {
    std::string got;
    const int64_t deadline = NowMs() + timeout_ms;
    for (;;) {
      int left = static_cast<int>(deadline - NowMs());
      if (left <= 0) return got;
      struct pollfd p = {from_child_, POLLIN, 0};
      int r = poll(&p, 1, left);
      if (r < 0 && errno == EINTR) continue;
      if (r <= 0) return got;
      char buffer[64];
      ssize_t n = read(from_child_, buffer, sizeof buffer);
      if (n <= 0) return got;
      got.append(buffer, static_cast<size_t>(n));
      return got;
    }
  }

  void Tell(char c) { ASSERT_EQ(1, write(to_child_, &c, 1)); }

  // True when the child is still running.
  bool Running() { return pid_ > 0 && waitpid(pid_, &status_, WNOHANG) == 0; }

  // Waits up to `timeout_ms` for the child to end; its exit code, or -1
  // when it did not end normally in time.
  int Wait(int timeout_ms) {
    const int64_t deadline = NowMs() + timeout_ms;
    while (pid_ > 0) {
      pid_t r = waitpid(pid_, &status_, WNOHANG);
      if (r == pid_) {
        pid_ = -1;
        return WIFEXITED(status_) ? WEXITSTATUS(status_) : -1;
      }
      if (NowMs() > deadline) return -1;
      struct timespec ts = {0, 20 * 1000000L};
      nanosleep(&ts, nullptr);
    }
    return -1;
  }

 private:
  pid_t pid_ = -1;
  int status_ = 0;
  int from_child_ = -1;
  int to_child_ = -1;
};

void Send(int fd, char c) {
  if (write(fd, &c, 1) != 1) _exit(98);
}

void Await(int fd) {
  char c;
  if (read(fd, &c, 1) != 1) _exit(97);
}

// Where screenshots go to be looked at; none are kept when it is not set.
std::string ScreenshotPath(const char* name) {
  const char* dir = getenv("SCENARIO_SCREENSHOT_DIR");
  return dir != nullptr ? std::string(dir) + "/" + name : std::string();
}

class UiWindowTest : public testing::Test {
 protected:
  void SetUp() override {
#if defined(SCENARIO_CONSOLE_ONLY)
    GTEST_SKIP() << "built without a window (SCENARIO_CONSOLE_ONLY)";
#endif
    if (!Xvfb::Installed()) GTEST_SKIP() << "Xvfb is not installed";
    std::string err;
    ASSERT_TRUE(xvfb_.Start(&err)) << err;
  }

  Xvfb xvfb_;
};

TEST_F(UiWindowTest, Form1IsShownAndPaintedOnce) {
  Child child;
  ASSERT_TRUE(child.Start(xvfb_.display(), [](int to_parent, int from_parent) {
    std::unique_ptr<Ui> ui = NewBuilderUi();
    ui->ShowWaitWindow();
    Send(to_parent, 'S');
    Await(from_parent);  // no event processing while the parent looks
    ui->Quit(5);
  }));
  ASSERT_EQ("S", child.Read(10000));

  std::string err;
  std::vector<std::string> ids;
  ASSERT_TRUE(xvfb_.WaitForWindows(kTitle, 1, 5000, &ids, &err)) << err;
  XvfbWindowGeometry form;
  ASSERT_TRUE(xvfb_.Geometry(ids[0], &form, &err)) << err;
  EXPECT_EQ(280, form.width);
  EXPECT_EQ(179, form.height);

  XvfbImage shot;
  ASSERT_TRUE(xvfb_.Screenshot(&shot, ScreenshotPath("form1.png"), &err)) << err;
  // The label, left 64, top 64, 177 x 53, holds the dark text; nothing
  // else in the window is dark.
  const int left = form.x + 64;
  const int top = form.y + 64;
  const int in_label = shot.CountDark(left, top, 177, 53);
  EXPECT_GT(in_label, 300);
  EXPECT_EQ(in_label, shot.CountDark(form.x, form.y, 280, 179));
  // Left-aligned: the text starts at the label's left edge.
  EXPECT_GT(shot.CountDark(left, top, 8, 53), 0);
  EXPECT_EQ(0, shot.CountDark(left - 8, top, 8, 53));

  child.Tell('Q');
  EXPECT_EQ(5, child.Wait(10000));
  EXPECT_TRUE(xvfb_.WaitForWindows(kTitle, 0, 5000, &ids, &err)) << err;
}

// A display is there, but the window module is not where it is looked for
// (a builder copied without it): the console, not a failure.
TEST_F(UiWindowTest, WithoutTheModuleTheConsoleServes) {
  const std::string display = xvfb_.display();
  EXPECT_EXIT(
      {
        setenv("DISPLAY", display.c_str(), 1);
        std::unique_ptr<Ui> ui = NewUiWithModuleIn("/cartella/che/non/esiste");
        ui->ShowWaitWindow();
        ui->Quit(0);
      },
      testing::ExitedWithCode(0), "^Attendere\n$");
}

// As errore does it: the box comes up over Form1, blocks until the user
// presses Return on "OK", and the program then ends.
TEST_F(UiWindowTest, MessageBoxWaitsForOk) {
  Child child;
  ASSERT_TRUE(child.Start(xvfb_.display(), [](int to_parent, int) {
    std::unique_ptr<Ui> ui = NewBuilderUi();
    ui->ShowWaitWindow();
    ui->ShowMessage(" Errore n. 1250");
    Send(to_parent, 'R');
    ui->Quit(7);
  }));

  std::string err;
  std::vector<std::string> ids;
  ASSERT_TRUE(xvfb_.WaitForWindows(kTitle, 2, 10000, &ids, &err)) << err;
  // Form1 is the 280 x 179 one; the other is the box.
  std::string box_id;
  XvfbWindowGeometry box;
  for (const std::string& id : ids) {
    XvfbWindowGeometry g;
    ASSERT_TRUE(xvfb_.Geometry(id, &g, &err)) << err;
    if (g.width != 280 || g.height != 179) {
      box_id = id;
      box = g;
    }
  }
  ASSERT_FALSE(box_id.empty()) << "no message box among the windows";

  // Modal: nothing has returned while the box is up.
  EXPECT_EQ("", child.Read(300));
  EXPECT_TRUE(child.Running());

  XvfbImage shot;
  ASSERT_TRUE(xvfb_.Screenshot(&shot, ScreenshotPath("messaggio.png"), &err)) << err;
  EXPECT_GT(shot.CountDark(box.x, box.y, box.width, box.height), 100);

  ASSERT_TRUE(xvfb_.SendKey(box_id, "Return", &err)) << err;
  EXPECT_EQ("R", child.Read(10000));
  EXPECT_EQ(7, child.Wait(10000));
  EXPECT_TRUE(xvfb_.WaitForWindows(kTitle, 0, 5000, &ids, &err)) << err;
}

}  // namespace
}  // namespace scenario
