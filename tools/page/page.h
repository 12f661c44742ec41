// `rapporto`: one self-contained HTML page of a compiled scenario, to open
// from disk in any current browser and to print on A4 landscape. It holds
// the drawing of `disegna` with zoom and pan, the details of every station,
// signal, restriction and board (with the source line that placed it), the
// timetable of the train run, tables of signals, restrictions, boards and
// tunnels, and the problems and warnings of `verifica --tutti` when the
// sources are in the folder. No network and no other file: inline SVG, CSS
// and a little JavaScript of our own.
#ifndef SCENARIO_TOOLS_PAGE_PAGE_H_
#define SCENARIO_TOOLS_PAGE_PAGE_H_

#include <ostream>
#include <string>

#include "tools/check/all_problems.h"
#include "tools/check/report.h"
#include "tools/check/report_builder.h"
#include "tools/common/compiled_files.h"
#include "tools/common/scenario_folder.h"

namespace scenario {

class FileSystem;

// What the page is made of.
struct PageInput {
  std::string cartella;  // as the user names it
  CompiledScenario scenario;
  std::string track_name, run_name, line_name;  // the compiled files, as the user names them
  // The sources of the scenario, when both are in the folder, and their
  // check: every problem (verifica --tutti) and the first compile pass.
  bool sources_present = false;
  Sources sources;
  CheckReport check;
  FirstRound first;
  // True when the sources compile to the very files shown: only then does
  // the page name the source line of each thing.
  bool sources_match = false;
};

// Reads the compiled files of `name` in `folder` and, when both sources
// are there too, checks them as verifica --tutti does (with j = 1 when the
// line file exists, else 0). Writes nothing. False with *err when the
// compiled files cannot be read.
bool GatherPage(FileSystem* disk, const std::string& folder, const ScenarioName& name,
                PageInput* input, std::string* err);

// The whole page, UTF-8.
std::string ReportPage(const PageInput& input);

// The command: the page of the compiled scenario of `folder` (the one set
// there, or the one `linea` and `treno` name) into `output` (empty:
// <linea>_<treno>.html in the folder). Returns 0, or 2 with a message on
// *err; the page is written whole or not at all.
int RunRapporto(const std::string& folder, const std::string& output, const std::string& linea,
                const std::string& treno, FileSystem* disk, std::ostream* out, std::ostream* err);

}  // namespace scenario

#endif  // SCENARIO_TOOLS_PAGE_PAGE_H_
