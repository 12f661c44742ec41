// Reading the three compiled files of a scenario back into model records,
// for `mostra` and `disegna`, and naming cell types in words. The decoders
// themselves live beside the encoders (model/coding.h).
#ifndef SCENARIO_TOOLS_COMMON_COMPILED_FILES_H_
#define SCENARIO_TOOLS_COMMON_COMPILED_FILES_H_

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "model/cells.h"
#include "model/coding.h"
#include "model/track_model.h"

namespace scenario {

class FileSystem;

// "segnale (tipo 1)", or "tipo 7 (sconosciuto)".
std::string DescribeTipo(uint8_t tipo);

// The three kinds of compiled file.
enum class CompiledFormat {
  kTrack,  // <linea>_<treno>.dat: the 15-byte cells
  kRun,    // <linea>_<treno>.sim: the 87 slots
  kLine,   // <linea>_linea.dat: the plan, x values then y values
};
// "binario", "corsa", "linea".
const char* FormatName(CompiledFormat format);
// From a word as FormatName gives it; false for anything else.
bool FormatFromWord(std::string_view word, CompiledFormat* format);
// From the file name: "_linea.dat" is a line file, ".sim" a run file, any
// other ".dat" a track file. False when the name fits none.
bool FormatFromName(const std::string& path, CompiledFormat* format);

// One compiled scenario as read from its files.
struct CompiledScenario {
  std::string linea, treno;
  std::vector<cella> celle;
  std::array<voce, 87> tabella;
  LinePlan planimetria;  // empty without a line file
};

// Reads `<linea>_<treno>.dat`, `<linea>_<treno>.sim` and, when it exists,
// `<linea>_linea.dat` from `folder`. Messages start with the file name.
bool LoadCompiled(FileSystem* fs, const std::string& folder, const std::string& linea,
                  const std::string& treno, CompiledScenario* out, std::string* err);

}  // namespace scenario

#endif  // SCENARIO_TOOLS_COMMON_COMPILED_FILES_H_
