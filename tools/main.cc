// scenario: the companion tool of the builder. Writes the built-in sources,
// compiles and checks a pair of sources with the builder's own compile pass,
// decodes compiled files and draws a compiled scenario.
#include <iostream>

#include "platform/file_system.h"
#include "tools/lib/cli.h"

int main(int argc, char** argv) {
  return scenario::RunTool(argc, argv, scenario::RealFileSystem(), &std::cout, &std::cerr);
}
