// The program folder on Linux, from the /proc/self/exe link.
#include <unistd.h>

#include <string>

#include "platform/file_system.h"

namespace scenario {

std::string ProgramFolder() {
  std::string target(256, '\0');
  for (;;) {
    ssize_t n = readlink("/proc/self/exe", target.data(), target.size());
    // Without /proc there is nothing better than the current folder.
    if (n < 0) return ".";
    if (static_cast<size_t>(n) < target.size()) {
      target.resize(static_cast<size_t>(n));
      break;
    }
    target.resize(target.size() * 2);
  }
  size_t slash = target.rfind('/');
  if (slash == std::string::npos) return ".";
  // An executable in "/" gives "", so that folder + "/" + name stays right.
  return target.substr(0, slash);
}

char PathSeparator() { return '/'; }

}  // namespace scenario
