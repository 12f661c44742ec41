// Fuzz target: `mostra` on a run file (.sim), as arbitrary bytes.
#include <cstddef>
#include <cstdint>

#include "fuzz/decoder_fuzz.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  scenario::FuzzDecoder(scenario::CompiledFormat::kRun, data, size);
  return 0;
}
