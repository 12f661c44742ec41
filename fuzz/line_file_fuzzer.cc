// Fuzz target: `mostra` on a line file (_linea.dat), as arbitrary bytes.
#include <cstddef>
#include <cstdint>

#include "fuzz/decoder_fuzz.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  scenario::FuzzDecoder(scenario::CompiledFormat::kLine, data, size);
  return 0;
}
