// make_hostile_sources: writes the sources of one hostile scenario (see
// hostile_sources.h) into a folder, for `scenario compila` to read.
#include <cstdio>
#include <cstring>
#include <string>

#include "fuzz/hostile_sources.h"
#include "platform/file_system.h"

namespace {

void Usage(FILE* to) {
  std::string cases;
  for (const std::string& name : scenario::HostileCaseNames()) cases += " " + name;
  std::fprintf(to,
               "Usage: make_hostile_sources CASE FOLDER\n"
               "Writes %s_linea.txt and %s_%s-.txt of a hostile scenario into FOLDER,\n"
               "replacing files of those names. CASE is one of:%s\n",
               scenario::kHostileLinea, scenario::kHostileLinea, scenario::kHostileTreno,
               cases.c_str());
}

}  // namespace

int main(int argc, char** argv) {
  if (argc == 2 && (std::strcmp(argv[1], "--help") == 0 || std::strcmp(argv[1], "-h") == 0)) {
    Usage(stdout);
    return 0;
  }
  if (argc != 3) {
    Usage(stderr);
    return 2;
  }
  scenario::HostileSources sources;
  if (!scenario::MakeHostileSources(argv[1], &sources)) {
    std::fprintf(stderr, "make_hostile_sources: unknown case '%s'\n", argv[1]);
    Usage(stderr);
    return 2;
  }
  const std::string stem = std::string(argv[2]) + scenario::PathSeparator() + scenario::kHostileLinea;
  const std::string line_path = stem + "_linea.txt";
  const std::string train_path = stem + "_" + scenario::kHostileTreno + "-.txt";
  scenario::FileSystem* fs = scenario::RealFileSystem();
  std::string err;
  if (!fs->WriteFile(line_path, sources.line, &err) ||
      !fs->WriteFile(train_path, sources.train, &err)) {
    std::fprintf(stderr, "make_hostile_sources: %s\n", err.c_str());
    return 2;
  }
  std::printf("make_hostile_sources: wrote %s (%zu bytes) and %s (%zu bytes)\n", line_path.c_str(),
              sources.line.size(), train_path.c_str(), sources.train.size());
  return 0;
}
