// The command line on POSIX systems: arguments are bytes, normally UTF-8,
// and the terminal shows UTF-8 already.
#include "platform/command_line.h"

#include <string>
#include <vector>

namespace scenario {

std::vector<std::string> Utf8Arguments(int argc, char** argv) {
  return std::vector<std::string>(argv, argv + argc);
}

void UseUtf8Console() {}

}  // namespace scenario
