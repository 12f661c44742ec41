#include "wine.h"

#include <errno.h>
#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <stdlib.h>
#include <string.h>
#include <sys/file.h>
#include <sys/prctl.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

#include <filesystem>
#include <sstream>
#include <string>
#include <vector>

extern char** environ;

namespace scenario {
namespace {

int64_t NowMs() {
  struct timespec ts;
  clock_gettime(CLOCK_MONOTONIC, &ts);
  return static_cast<int64_t>(ts.tv_sec) * 1000 + ts.tv_nsec / 1000000;
}

bool Executable(const std::string& path) { return access(path.c_str(), X_OK) == 0; }

// The first of `names` found on PATH, else the first existing one of
// `fallbacks`; "" when none.
std::string FindProgram(const std::vector<std::string>& names,
                        const std::vector<std::string>& fallbacks) {
  const char* path = getenv("PATH");
  for (const std::string& name : names) {
    std::stringstream dirs(path != nullptr ? path : "/usr/bin:/bin");
    std::string dir;
    while (std::getline(dirs, dir, ':')) {
      if (!dir.empty() && Executable(dir + "/" + name)) return dir + "/" + name;
    }
  }
  for (const std::string& candidate : fallbacks) {
    if (Executable(candidate)) return candidate;
  }
  return "";
}

std::string WineServer() {
  return FindProgram({"wineserver"}, {"/usr/lib/wine/wineserver64", "/usr/lib/wine/wineserver"});
}

// This process's environment with the Wine settings of the tests: the
// prefix, no debug output, no offer to install Mono or Gecko, UTF-8 for Linux
// file names, and DISPLAY as given.
std::vector<std::string> WineEnvironment(const std::string& display) {
  static const char* const kReplaced[] = {
      "WINEPREFIX=", "WINEDEBUG=", "WINEDLLOVERRIDES=", "LC_ALL=", "DISPLAY="};
  std::vector<std::string> env;
  for (char** e = environ; *e != nullptr; ++e) {
    bool replaced = false;
    for (const char* prefix : kReplaced) replaced |= strncmp(*e, prefix, strlen(prefix)) == 0;
    if (!replaced) env.push_back(*e);
  }
  env.push_back("WINEPREFIX=" + WinePrefix::Folder());
  env.push_back("WINEDEBUG=-all");
  env.push_back("WINEDLLOVERRIDES=mscoree,mshtml=");
  env.push_back("LC_ALL=C.UTF-8");
  if (!display.empty()) env.push_back("DISPLAY=" + display);
  return env;
}

std::vector<char*> Pointers(std::vector<std::string>& texts) {
  std::vector<char*> pointers;
  for (std::string& t : texts) pointers.push_back(t.data());
  pointers.push_back(nullptr);
  return pointers;
}

// Runs `argv` (argv[0] an absolute path) with the Wine environment and no
// display, and waits at most `timeout_ms`. False with *err unless it exits 0.
bool RunQuietly(std::vector<std::string> argv, int timeout_ms, std::string* err) {
  std::vector<std::string> env = WineEnvironment("");
  std::vector<char*> args = Pointers(argv);
  std::vector<char*> envp = Pointers(env);
  pid_t pid = fork();
  if (pid < 0) {
    *err = std::string("fork: ") + strerror(errno);
    return false;
  }
  if (pid == 0) {
    int null_fd = open("/dev/null", O_RDWR);
    if (null_fd >= 0) {
      dup2(null_fd, 0);
      dup2(null_fd, 1);
      dup2(null_fd, 2);
    }
    execve(args[0], args.data(), envp.data());
    _exit(127);
  }
  const int64_t deadline = NowMs() + timeout_ms;
  int status = 0;
  while (waitpid(pid, &status, WNOHANG) == 0) {
    if (NowMs() > deadline) {
      kill(pid, SIGKILL);
      waitpid(pid, &status, 0);
      *err = "timed out: " + argv[0] + " " + (argv.size() > 1 ? argv[1] : "");
      return false;
    }
    usleep(20 * 1000);
  }
  if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) {
    *err = "failed (status " + std::to_string(status) + "): " + argv[0] + " " +
           (argv.size() > 1 ? argv[1] : "");
    return false;
  }
  return true;
}

}  // namespace

std::string WinePrefix::Loader() {
  return FindProgram({"wine64"}, {"/usr/lib/wine/wine64", "/usr/bin/wine"});
}

std::string WinePrefix::Folder() { return SCENARIO_WINE_PREFIX; }

bool WinePrefix::Prepare(std::string* err) {
  const std::string wine = Loader();
  if (wine.empty()) {
    *err = "Wine is not installed (Debian: apt-get install wine64 wine)";
    return false;
  }
  const std::string folder = Folder();
  std::error_code ec;
  std::filesystem::create_directories(std::filesystem::path(folder).parent_path(), ec);
  const std::string lock_path = folder + ".lock";
  int lock = open(lock_path.c_str(), O_CREAT | O_RDWR | O_CLOEXEC, 0644);
  if (lock < 0 || flock(lock, LOCK_EX) != 0) {
    *err = "cannot lock " + lock_path + ": " + strerror(errno);
    if (lock >= 0) close(lock);
    return false;
  }
  const std::string ready = folder + "/.scenario_ready";
  bool ok = access(ready.c_str(), F_OK) == 0;
  if (!ok) {
    ok = RunQuietly({wine, "wineboot", "--init"}, 300000, err);
    EndSession();  // the prefix is complete once its server has ended
    if (ok) {
      int fd = open(ready.c_str(), O_CREAT | O_WRONLY | O_CLOEXEC, 0644);
      if (fd >= 0) close(fd);
    }
  }
  flock(lock, LOCK_UN);
  close(lock);
  return ok;
}

void WinePrefix::EndSession() {
  const std::string server = WineServer();
  if (server.empty()) return;
  std::string ignored;
  RunQuietly({server, "-k"}, 30000, &ignored);
  RunQuietly({server, "-w"}, 30000, &ignored);
}

WineProcess::~WineProcess() {
  if (pid_ > 0) {
    kill(pid_, SIGKILL);
    waitpid(pid_, nullptr, 0);
  }
  if (stdin_ >= 0) close(stdin_);
  if (stdout_ >= 0) close(stdout_);
}

bool WineProcess::Start(const std::vector<std::string>& argv, const std::string& folder,
                        const std::string& display, std::string* err) {
  const std::string wine = WinePrefix::Loader();
  if (wine.empty()) {
    *err = "Wine is not installed";
    return false;
  }
  // A program that ends early must not end the test with SIGPIPE.
  signal(SIGPIPE, SIG_IGN);
  std::vector<std::string> args = {wine};
  args.insert(args.end(), argv.begin(), argv.end());
  std::vector<std::string> env = WineEnvironment(display);
  std::vector<char*> arg_pointers = Pointers(args);
  std::vector<char*> env_pointers = Pointers(env);
  int in[2], out[2];
  if (pipe2(in, O_CLOEXEC) != 0) {
    *err = std::string("pipe: ") + strerror(errno);
    return false;
  }
  if (pipe2(out, O_CLOEXEC) != 0) {
    *err = std::string("pipe: ") + strerror(errno);
    close(in[0]);
    close(in[1]);
    return false;
  }
  const pid_t parent = getpid();
  pid_ = fork();
  if (pid_ < 0) {
    *err = std::string("fork: ") + strerror(errno);
    for (int fd : {in[0], in[1], out[0], out[1]}) close(fd);
    return false;
  }
  if (pid_ == 0) {
    // Only async-signal-safe calls until exec.
    prctl(PR_SET_PDEATHSIG, SIGKILL);
    if (getppid() != parent) _exit(127);
    dup2(in[0], 0);
    dup2(out[1], 1);
    int null_fd = open("/dev/null", O_WRONLY);
    if (null_fd >= 0) dup2(null_fd, 2);
    if (chdir(folder.c_str()) != 0) _exit(126);
    execve(arg_pointers[0], arg_pointers.data(), env_pointers.data());
    _exit(127);
  }
  close(in[0]);
  close(out[1]);
  stdin_ = in[1];
  stdout_ = out[0];
  return true;
}

bool WineProcess::ReadLine(int timeout_ms, std::string* line) {
  const int64_t deadline = NowMs() + timeout_ms;
  for (;;) {
    const size_t end = pending_.find('\n');
    if (end != std::string::npos) {
      *line = pending_.substr(0, end);
      if (!line->empty() && line->back() == '\r') line->pop_back();
      pending_.erase(0, end + 1);
      return true;
    }
    const int64_t left = deadline - NowMs();
    if (left <= 0 || stdout_ < 0) return false;
    struct pollfd p = {stdout_, POLLIN, 0};
    const int r = poll(&p, 1, static_cast<int>(left));
    if (r < 0 && errno == EINTR) continue;
    if (r <= 0) return false;
    char buffer[4096];
    const ssize_t n = read(stdout_, buffer, sizeof buffer);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return false;
    pending_.append(buffer, static_cast<size_t>(n));
  }
}

bool WineProcess::Write(const std::string& text) {
  return stdin_ >= 0 &&
         write(stdin_, text.data(), text.size()) == static_cast<ssize_t>(text.size());
}

int WineProcess::Wait(int timeout_ms) {
  const int64_t deadline = NowMs() + timeout_ms;
  while (pid_ > 0) {
    int status = 0;
    const pid_t r = waitpid(pid_, &status, WNOHANG);
    if (r == pid_) {
      pid_ = -1;
      return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    }
    if (NowMs() > deadline) return -1;
    usleep(20 * 1000);
  }
  return -1;
}

}  // namespace scenario
