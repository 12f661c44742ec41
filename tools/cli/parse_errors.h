// CLI11 tells what is wrong with a command line in English; the tool speaks
// Italian. These turn its parse errors into the tool's words, and print them
// as text or, when the command line asked for --json, as JSON.
#ifndef SCENARIO_TOOLS_CLI_PARSE_ERRORS_H_
#define SCENARIO_TOOLS_CLI_PARSE_ERRORS_H_

#include <CLI/CLI.hpp>
#include <ostream>
#include <string>
#include <vector>

namespace scenario {

// The command named on the command line (`args` without the program name):
// the first argument that is one of `commands`; "" when there is none.
std::string CommandOf(const std::vector<std::string>& args,
                      const std::vector<std::string>& commands);

// What is wrong, in Italian: "comando sconosciuto: foo", "argomento
// inatteso: b", "opzione sconosciuta: --x", "manca il valore di --linea"...
std::string ParseErrorText(const CLI::ParseError& error, const std::vector<std::string>& args,
                           const std::vector<std::string>& commands);

// Prints `message` as the tool prints a failure, pointing to the help of
// `command` (may be ""): one line on *err, or with `json` one object on
// *out ({"comando", "esito": 2, "errori"}).
void PrintUsageError(const std::string& message, const std::string& command, bool json,
                     std::ostream* out, std::ostream* err);

}  // namespace scenario

#endif  // SCENARIO_TOOLS_CLI_PARSE_ERRORS_H_
