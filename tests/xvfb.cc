#include "xvfb.h"

#include <errno.h>
#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <sys/prctl.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

#include <algorithm>
#include <sstream>
#include <string>
#include <vector>

namespace scenario {
namespace {

int64_t NowMs() {
  struct timespec ts;
  clock_gettime(CLOCK_MONOTONIC, &ts);
  return static_cast<int64_t>(ts.tv_sec) * 1000 + ts.tv_nsec / 1000000;
}

void SleepMs(int ms) {
  struct timespec ts = {ms / 1000, (ms % 1000) * 1000000L};
  nanosleep(&ts, nullptr);
}

std::string ShellQuote(const std::string& s) {
  std::string out = "'";
  for (char c : s) {
    if (c == '\'')
      out += "'\\''";
    else
      out += c;
  }
  return out + "'";
}

// An extended regular expression matching exactly `s`.
std::string ExactRegex(const std::string& s) {
  std::string out = "^";
  for (char c : s) {
    if (strchr(".[]{}()\\*+?^$|", c) != nullptr) out += '\\';
    out += c;
  }
  return out + "$";
}

// True when a Unix-socket connection to display number `n` succeeds.
bool Accepts(int n) {
  int fd = socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
  if (fd < 0) return false;
  struct sockaddr_un addr = {};
  addr.sun_family = AF_UNIX;
  snprintf(addr.sun_path, sizeof addr.sun_path, "/tmp/.X11-unix/X%d", n);
  bool ok = connect(fd, reinterpret_cast<struct sockaddr*>(&addr), sizeof addr) == 0;
  close(fd);
  return ok;
}

// Reads the next whitespace-separated number of a PPM header.
bool PpmNumber(const std::string& data, size_t* pos, int* value) {
  while (*pos < data.size()) {
    char c = data[*pos];
    if (c == '#') {
      while (*pos < data.size() && data[*pos] != '\n') ++*pos;
    } else if (c == ' ' || c == '\t' || c == '\r' || c == '\n') {
      ++*pos;
    } else {
      break;
    }
  }
  size_t start = *pos;
  long v = 0;
  while (*pos < data.size() && data[*pos] >= '0' && data[*pos] <= '9' && v < 1000000) {
    v = v * 10 + (data[*pos] - '0');
    ++*pos;
  }
  *value = static_cast<int>(v);
  return *pos > start;
}

bool ParsePpm(const std::string& data, XvfbImage* image, std::string* err) {
  size_t pos = 2;
  int width, height, maxval;
  if (data.compare(0, 2, "P6") != 0 || !PpmNumber(data, &pos, &width) ||
      !PpmNumber(data, &pos, &height) || !PpmNumber(data, &pos, &maxval) || maxval != 255 ||
      pos >= data.size()) {
    *err = "screenshot: not an 8-bit PPM image";
    return false;
  }
  ++pos;  // the single blank after maxval
  size_t size = static_cast<size_t>(width) * height * 3;
  if (data.size() - pos < size) {
    *err = "screenshot: PPM image too short";
    return false;
  }
  image->width = width;
  image->height = height;
  image->rgb.assign(data.begin() + pos, data.begin() + pos + size);
  return true;
}

}  // namespace

int XvfbImage::CountDark(int left, int top, int w, int h, int below) const {
  int count = 0;
  for (int y = std::max(top, 0); y < std::min(top + h, height); ++y) {
    for (int x = std::max(left, 0); x < std::min(left + w, width); ++x) {
      const uint8_t* p = At(x, y);
      if (p[0] < below && p[1] < below && p[2] < below) ++count;
    }
  }
  return count;
}

bool Xvfb::Installed() {
  const char* path = getenv("PATH");
  std::stringstream dirs(path != nullptr ? path : "/usr/bin:/bin");
  std::string dir;
  while (std::getline(dirs, dir, ':')) {
    if (dir.empty()) continue;
    if (access((dir + "/Xvfb").c_str(), X_OK) == 0) return true;
  }
  return false;
}

bool Xvfb::Start(std::string* err) {
  Stop();
  int fds[2];
  if (pipe2(fds, O_CLOEXEC) != 0) {
    *err = std::string("pipe: ") + strerror(errno);
    return false;
  }
  // The server picks a free display number itself and writes it to the
  // pipe once it is ready for connections.
  std::string fd_text = std::to_string(fds[1]);
  std::vector<const char*> argv = {"Xvfb",     "-displayfd", fd_text.c_str(), "-screen",
                                   "0",        "800x600x24", "-nolisten",     "tcp",
                                   "-noreset", nullptr};
  pid_t parent = getpid();
  pid_t pid = fork();
  if (pid < 0) {
    *err = std::string("fork: ") + strerror(errno);
    close(fds[0]);
    close(fds[1]);
    return false;
  }
  if (pid == 0) {
    // Only async-signal-safe calls until exec.
    prctl(PR_SET_PDEATHSIG, SIGTERM);
    if (getppid() != parent) _exit(127);
    fcntl(fds[1], F_SETFD, 0);
    int null_fd = open("/dev/null", O_RDWR);
    if (null_fd >= 0) {
      dup2(null_fd, 0);
      dup2(null_fd, 1);
      dup2(null_fd, 2);
    }
    execvp("Xvfb", const_cast<char* const*>(argv.data()));
    _exit(127);
  }
  close(fds[1]);
  pid_ = pid;

  std::string number;
  const int64_t deadline = NowMs() + 10000;
  bool complete = false;
  while (!complete) {
    int64_t left = deadline - NowMs();
    if (left <= 0) break;
    struct pollfd p = {fds[0], POLLIN, 0};
    int r = poll(&p, 1, static_cast<int>(left));
    if (r < 0 && errno == EINTR) continue;
    if (r <= 0) break;
    char buffer[32];
    ssize_t n = read(fds[0], buffer, sizeof buffer);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) break;
    number.append(buffer, static_cast<size_t>(n));
    complete = number.find('\n') != std::string::npos;
  }
  close(fds[0]);
  if (!complete || number.empty() || number[0] < '0' || number[0] > '9') {
    Stop();
    *err = "Xvfb did not start";
    return false;
  }
  int n = atoi(number.c_str());
  while (!Accepts(n)) {
    if (NowMs() > deadline) {
      Stop();
      *err = "Xvfb :" + std::to_string(n) + " does not accept connections";
      return false;
    }
    SleepMs(20);
  }
  display_ = ":" + std::to_string(n);
  return true;
}

void Xvfb::Stop() {
  if (pid_ > 0) {
    kill(pid_, SIGTERM);
    const int64_t deadline = NowMs() + 5000;
    int status;
    while (waitpid(pid_, &status, WNOHANG) == 0) {
      if (NowMs() > deadline) {
        kill(pid_, SIGKILL);
        waitpid(pid_, &status, 0);
        break;
      }
      SleepMs(10);
    }
  }
  pid_ = -1;
  display_.clear();
}

bool Xvfb::Run(const std::string& command, std::string* out, std::string* err) const {
  if (display_.empty()) {
    *err = "Xvfb not started";
    return false;
  }
  std::string line = "export DISPLAY=" + display_ + "; " + command;
  FILE* pipe = popen(line.c_str(), "r");
  if (pipe == nullptr) {
    *err = "cannot run: " + command;
    return false;
  }
  out->clear();
  char buffer[65536];
  size_t n;
  while ((n = fread(buffer, 1, sizeof buffer, pipe)) > 0) out->append(buffer, n);
  int status = pclose(pipe);
  if (status == -1 || !WIFEXITED(status) || WEXITSTATUS(status) != 0) {
    *err = "command failed (status " + std::to_string(status) + "): " + command;
    return false;
  }
  return true;
}

bool Xvfb::WaitForWindows(const std::string& title, size_t count, int timeout_ms,
                          std::vector<std::string>* ids, std::string* err) const {
  const std::string command =
      "xdotool search --onlyvisible --name " + ShellQuote(ExactRegex(title)) + " || true";
  const int64_t deadline = NowMs() + timeout_ms;
  for (;;) {
    std::string out;
    if (!Run(command, &out, err)) return false;
    ids->clear();
    std::istringstream lines(out);
    std::string id;
    while (lines >> id) ids->push_back(id);
    if (ids->size() == count) return true;
    if (NowMs() > deadline) {
      *err = "found " + std::to_string(ids->size()) + " visible window(s) named \"" + title +
             "\", expected " + std::to_string(count);
      return false;
    }
    SleepMs(50);
  }
}

bool Xvfb::Geometry(const std::string& id, XvfbWindowGeometry* geometry,
                    std::string* err) const {
  std::string out;
  if (!Run("xdotool getwindowgeometry --shell " + ShellQuote(id), &out, err)) return false;
  int found = 0;
  std::istringstream lines(out);
  std::string line;
  while (std::getline(lines, line)) {
    size_t eq = line.find('=');
    if (eq == std::string::npos) continue;
    const std::string key = line.substr(0, eq);
    int* field = key == "X"        ? &geometry->x
                 : key == "Y"      ? &geometry->y
                 : key == "WIDTH"  ? &geometry->width
                 : key == "HEIGHT" ? &geometry->height
                                   : nullptr;
    if (field == nullptr) continue;
    *field = atoi(line.c_str() + eq + 1);
    ++found;
  }
  if (found != 4) {
    *err = "no geometry for window " + id + ": " + out;
    return false;
  }
  return true;
}

bool Xvfb::SendKey(const std::string& id, const std::string& key, std::string* err) const {
  std::string out;
  if (Run("xdotool key --window " + ShellQuote(id) + " " + ShellQuote(key) + " 2>&1", &out, err))
    return true;
  // A window that closes on the key press is gone when xdotool sends the
  // release, which it reports as an error: the key did arrive.
  std::string name;
  std::string ignored;
  if (!Run("xdotool getwindowname " + ShellQuote(id) + " >/dev/null 2>&1", &name, &ignored))
    return true;
  *err += "\n" + out;
  return false;
}

bool Xvfb::Screenshot(XvfbImage* image, const std::string& png_path, std::string* err) const {
  std::string ppm;
  if (!Run("xwd -root -silent | convert xwd:- -depth 8 ppm:-", &ppm, err)) return false;
  if (!ParsePpm(ppm, image, err)) return false;
  if (!png_path.empty()) {
    FILE* pipe = popen(("convert ppm:- png:" + ShellQuote(png_path)).c_str(), "w");
    if (pipe == nullptr) {
      *err = "cannot run convert";
      return false;
    }
    bool written = fwrite(ppm.data(), 1, ppm.size(), pipe) == ppm.size();
    int status = pclose(pipe);
    if (!written || status == -1 || !WIFEXITED(status) || WEXITSTATUS(status) != 0) {
      *err = "cannot save " + png_path;
      return false;
    }
  }
  return true;
}

}  // namespace scenario
