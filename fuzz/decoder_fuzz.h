// The body shared by the fuzz targets of `mostra`'s decoders: one compiled
// file of a given format, as arbitrary bytes.
#ifndef SCENARIO_FUZZ_DECODER_FUZZ_H_
#define SCENARIO_FUZZ_DECODER_FUZZ_H_

#include <cstddef>
#include <cstdint>

#include "tools/common/compiled_files.h"

namespace scenario {

// Decodes `data` as a whole file of `format`; when it decodes, encodes the
// records again and checks that this gives back the very bytes, and formats
// every record as `mostra` does. Then runs `mostra` itself on the bytes, as
// text and as JSON, and checks its exit status and that its JSON is valid.
void FuzzDecoder(CompiledFormat format, const uint8_t* data, size_t size);

}  // namespace scenario

#endif  // SCENARIO_FUZZ_DECODER_FUZZ_H_
