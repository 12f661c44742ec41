// Reading the three compiled files back into model records, for `mostra`
// and `disegna`, and naming cell types in words.
#ifndef SCENARIO_TOOLS_LIB_COMPILED_FILES_H_
#define SCENARIO_TOOLS_LIB_COMPILED_FILES_H_

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "model/track_model.h"

namespace scenario {

class FileSystem;

// The cell type in words ("segnale", "cella di stazione", ...); "" for a
// number the builder never writes.
const char* TipoName(uint8_t tipo);
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

// Whole-file decoders. Each fails with a message naming the record and byte
// offset where the bytes stop making sense: a truncated record, an unknown
// plan tag, a wrong number of records, bytes left over.
bool DecodeTrackFile(std::string_view bytes, std::vector<cella>* celle, std::string* err);
bool DecodeRunFile(std::string_view bytes, std::array<voce, 87>* tabella, std::string* err);
bool DecodeLineFile(std::string_view bytes, std::vector<std::array<PlanNumber, 2>>* planimetria,
                    std::string* err);

// One compiled scenario as read from its files.
struct CompiledScenario {
  std::string linea, treno;
  std::vector<cella> celle;
  std::array<voce, 87> tabella;
  std::vector<std::array<PlanNumber, 2>> planimetria;  // empty without a line file
};

// Reads `<linea>_<treno>.dat`, `<linea>_<treno>.sim` and, when it exists,
// `<linea>_linea.dat` from `folder`. Messages start with the file name.
bool LoadCompiled(FileSystem* fs, const std::string& folder, const std::string& linea,
                  const std::string& treno, CompiledScenario* out, std::string* err);

}  // namespace scenario

#endif  // SCENARIO_TOOLS_LIB_COMPILED_FILES_H_
