// make_limit_scenario: writes the sources of the limit scenario (see
// limit_scenario.h) into a folder, for `scenario verifica` and `scenario
// compila` to read.
#include <cstdio>
#include <cstring>
#include <string>

#include "bench/limit_scenario.h"
#include "platform/file_system.h"

int main(int argc, char** argv) {
  if (argc != 2 || std::strcmp(argv[1], "--help") == 0 || std::strcmp(argv[1], "-h") == 0) {
    std::fprintf(argc == 2 ? stdout : stderr,
                 "Usage: make_limit_scenario FOLDER\n"
                 "Writes %s_linea.txt and %s_%s-.txt, a scenario at the limits of the track\n"
                 "model (route length 1000000 m), into FOLDER, replacing files of those names.\n",
                 scenario::kLimitLinea, scenario::kLimitLinea, scenario::kLimitTreno);
    return argc == 2 ? 0 : 2;
  }
  const std::string folder = argv[1];
  const std::string stem = folder + scenario::PathSeparator() + scenario::kLimitLinea;
  const std::string line_path = stem + "_linea.txt";
  const std::string train_path = stem + "_" + scenario::kLimitTreno + "-.txt";
  scenario::FileSystem* fs = scenario::RealFileSystem();
  std::string err;
  if (!fs->WriteFile(line_path, scenario::LimitLineSource(), &err) ||
      !fs->WriteFile(train_path, scenario::LimitTrainSource(), &err)) {
    std::fprintf(stderr, "make_limit_scenario: %s\n", err.c_str());
    return 2;
  }
  const scenario::LimitCounts n = scenario::LimitScenarioCounts();
  std::printf(
      "make_limit_scenario: wrote %s and %s\n"
      "  route %d m; %d curves, %d gradients, %d tunnels, %d indicator boards, %d text boards;\n"
      "  %d speed and %d adhesion changes, %d stations, %d restrictions, %d signals, "
      "%d code cells\n",
      line_path.c_str(), train_path.c_str(), n.route_length, n.curves, n.gradients, n.tunnels,
      n.indicator_boards, n.text_boards, n.speed_changes, n.adhesion_changes, n.stations,
      n.restrictions, n.signals, n.code_cells);
  return 0;
}
