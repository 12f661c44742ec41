// Fuzz target: `mostra` on a track file (.dat of the run), as arbitrary bytes.
#include <cstddef>
#include <cstdint>

#include "fuzz/decoder_fuzz.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  scenario::FuzzDecoder(scenario::CompiledFormat::kTrack, data, size);
  return 0;
}
