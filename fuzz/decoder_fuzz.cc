#include "fuzz/decoder_fuzz.h"

#include <array>
#include <sstream>
#include <string>
#include <string_view>
#include <vector>

#include <nlohmann/json.hpp>

#include "fuzz/fuzz_util.h"
#include "model/coding.h"
#include "tools/show/show.h"

namespace scenario {
namespace {

// Decodes, encodes again and formats each record; true when it decoded.
bool RoundTrip(CompiledFormat format, std::string_view bytes) {
  std::string err;
  switch (format) {
    case CompiledFormat::kTrack: {
      std::vector<cella> celle;
      if (!DecodeTrackFile(bytes, &celle, &err)) break;
      FuzzCheck(EncodeTrackFile(celle) == bytes, "a track file encodes back to its bytes");
      for (size_t k = 0; k < celle.size(); ++k) FormatCella(static_cast<int64_t>(k), celle[k]);
      return true;
    }
    case CompiledFormat::kRun: {
      std::array<voce, 87> tabella;
      if (!DecodeRunFile(bytes, &tabella, &err)) break;
      FuzzCheck(EncodeRunFile(tabella) == bytes, "a run file encodes back to its bytes");
      for (size_t k = 0; k < tabella.size(); ++k) FormatVoce(static_cast<int64_t>(k), tabella[k]);
      return true;
    }
    case CompiledFormat::kLine: {
      LinePlan plan;
      if (!DecodeLineFile(bytes, &plan, &err)) break;
      FuzzCheck(EncodeLineFile(plan) == bytes, "a line file encodes back to its bytes");
      for (size_t m = 0; m < plan.size(); ++m) {
        FormatPlanPoint(static_cast<int64_t>(m), plan.x(m), plan.y(m));
      }
      return true;
    }
  }
  FuzzCheck(!err.empty(), "a file that does not decode says why");
  return false;
}

}  // namespace

void FuzzDecoder(CompiledFormat format, const uint8_t* data, size_t size) {
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  const bool decodes = RoundTrip(format, bytes);

  MemoryFileSystem fs;
  const std::string path = "/fuzz/file";
  fs.files[path] = std::string(bytes);
  for (bool json : {false, true}) {
    ShowOptions options;
    options.formato = format;
    options.json = json;
    if (json) {  // a range that may reach past either end
      options.da = static_cast<int64_t>(size % 5) - 2;
      options.a = static_cast<int64_t>(size % 101);
    }
    std::ostringstream out, err;
    const int status = RunShow({path}, options, &fs, &out, &err);
    FuzzCheck(status == (decodes ? 0 : 2), "mostra exits 0 exactly when the file decodes");
    FuzzCheck(decodes == err.str().empty(), "mostra says why exactly when it fails");
    if (json) {
      FuzzCheck(!nlohmann::json::parse(out.str(), nullptr, false).is_discarded(),
                "the JSON of mostra is valid JSON");
    }
  }
}

}  // namespace scenario
