// The command line and the console of a command-line program, in UTF-8 on
// every platform (our texts are UTF-8).
#ifndef SCENARIO_PLATFORM_COMMAND_LINE_H_
#define SCENARIO_PLATFORM_COMMAND_LINE_H_

#include <string>
#include <vector>

namespace scenario {

// The program's arguments, argv[0] first, as UTF-8. On Windows they are
// taken from the wide command line, so that names outside the ANSI code page
// (a folder "Città" on a Greek system, say) arrive whole; elsewhere argv is
// returned as it is.
std::vector<std::string> Utf8Arguments(int argc, char** argv);

// Makes a console that the program writes to show UTF-8 text (Windows: the
// console output code page, given back at exit). Nothing elsewhere.
void UseUtf8Console();

}  // namespace scenario

#endif  // SCENARIO_PLATFORM_COMMAND_LINE_H_
