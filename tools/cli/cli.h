// The command line of `scenario`: sorgenti, compila, verifica, mostra,
// disegna and rapporto, with --help on every command and --version.
#ifndef SCENARIO_TOOLS_CLI_CLI_H_
#define SCENARIO_TOOLS_CLI_CLI_H_

#include <ostream>
#include <string>

namespace scenario {

class FileSystem;

// The tool's version as --version prints it; the number comes from the
// project's version in CMakeLists.txt.
inline constexpr char kToolVersion[] = "scenario " SCENARIO_VERSION;

// The built-in scenario's names, the same the builder uses for its files.
inline constexpr char kLineaPredefinita[] = "Vescolara";
inline constexpr char kTrenoPredefinito[] = "631";

// Runs one command line. Reports go to *out, usage errors and failures to
// *err. Returns the exit status: 0 success, 1 a problem was recorded,
// 2 failure (nothing written). Errors 1250/1251 and fatal stops inside the
// compile pass end the process with status 2 after printing the report.
int RunTool(int argc, const char* const* argv, FileSystem* disk, std::ostream* out,
            std::ostream* err);

// `sorgenti`: writes the built-in line and train-run sources into `folder`
// with the builder's own writers. Refuses to replace existing sources unless
// `sovrascrivi`. Both files or neither.
int RunSorgenti(const std::string& folder, bool sovrascrivi, FileSystem* disk, std::ostream* out,
                std::ostream* err);

// `disegna`: draws the compiled scenario of `folder` into `output` (SVG or
// PNG by its extension; empty: <linea>_<treno>.svg in the folder). PNG fails
// with a message, before anything is read, in builds without cairo.
int RunDisegna(const std::string& folder, const std::string& output, const std::string& linea,
               const std::string& treno, FileSystem* disk, std::ostream* out, std::ostream* err);

}  // namespace scenario

#endif  // SCENARIO_TOOLS_CLI_CLI_H_
