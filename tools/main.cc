// scenario: the companion tool of the builder. Writes the built-in sources,
// compiles and checks a pair of sources with the builder's own compile pass,
// decodes compiled files and draws a compiled scenario.
#include <iostream>
#include <string>
#include <vector>

#include "platform/command_line.h"
#include "platform/file_system.h"
#include "tools/cli/cli.h"

int main(int argc, char** argv) {
  scenario::UseUtf8Console();
  const std::vector<std::string> arguments = scenario::Utf8Arguments(argc, argv);
  std::vector<const char*> utf8_argv;
  for (const std::string& a : arguments) utf8_argv.push_back(a.c_str());
  utf8_argv.push_back(nullptr);
  return scenario::RunTool(static_cast<int>(arguments.size()), utf8_argv.data(),
                           scenario::RealFileSystem(), &std::cout, &std::cerr);
}
