// A private virtual X server for tests that open windows, with helpers to
// find windows (xdotool), send keys and take screenshots (xwd + convert).
//
//   Xvfb x;
//   if (!Xvfb::Installed()) GTEST_SKIP() << "Xvfb not installed";
//   std::string err;
//   ASSERT_TRUE(x.Start(&err)) << err;
//   ... run the program with DISPLAY=x.display() ...
//   XvfbImage shot;
//   ASSERT_TRUE(x.Screenshot(&shot, "", &err)) << err;
//
// The server is stopped by Stop() or the destructor.
#ifndef SCENARIO_TESTS_XVFB_H_
#define SCENARIO_TESTS_XVFB_H_

#include <stdint.h>
#include <sys/types.h>

#include <string>
#include <vector>

namespace scenario {

// A screenshot: 8-bit RGB, row by row from the top left.
struct XvfbImage {
  int width = 0;
  int height = 0;
  std::vector<uint8_t> rgb;  // width * height * 3 bytes

  // REQUIRES: 0 <= x < width, 0 <= y < height.
  const uint8_t* At(int x, int y) const { return &rgb[(static_cast<size_t>(y) * width + x) * 3]; }
  // Number of pixels in the rectangle (clipped to the image) whose three
  // channels are all below `below`.
  int CountDark(int left, int top, int w, int h, int below = 96) const;
};

// A window's place on the screen and its client size.
struct XvfbWindowGeometry {
  int x = 0;
  int y = 0;
  int width = 0;
  int height = 0;
};

class Xvfb {
 public:
  Xvfb() = default;
  Xvfb(const Xvfb&) = delete;
  Xvfb& operator=(const Xvfb&) = delete;
  ~Xvfb() { Stop(); }

  // True when the Xvfb program is on PATH.
  static bool Installed();

  // Starts a server with one 800x600x24 screen on a free display number and
  // waits until it accepts connections (at most 10 s).
  bool Start(std::string* err);

  // Ends the server, if running, and waits for it.
  void Stop();

  // ":N" once started.
  const std::string& display() const { return display_; }

  // Runs a shell command with DISPLAY set to this server; *out gets its
  // stdout. False (with *err) when it cannot run or exits non-zero.
  bool Run(const std::string& command, std::string* out, std::string* err) const;

  // Waits up to `timeout_ms` until exactly `count` visible windows have
  // the title `title` (0: until none is left); *ids gets their ids.
  bool WaitForWindows(const std::string& title, size_t count, int timeout_ms,
                      std::vector<std::string>* ids, std::string* err) const;

  // Position and size of a window (xdotool getwindowgeometry).
  bool Geometry(const std::string& id, XvfbWindowGeometry* geometry, std::string* err) const;

  // Sends one key (xdotool name, e.g. "Return") to the window; a window that
  // closes on the press counts as having received it.
  bool SendKey(const std::string& id, const std::string& key, std::string* err) const;

  // Takes a screenshot of the whole screen; when png_path is not empty it is
  // also saved there as PNG.
  bool Screenshot(XvfbImage* image, const std::string& png_path, std::string* err) const;

 private:
  pid_t pid_ = -1;
  std::string display_;
};

}  // namespace scenario

#endif  // SCENARIO_TESTS_XVFB_H_
