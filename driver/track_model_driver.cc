// The procedures of the model that belong to the run driver: the text
// writing sequence and errore.
#include <charconv>

#include "model/text_encoding.h"
#include "model/track_model.h"
#include "platform/file_system.h"

namespace scenario {

void TrackModel::scrivi_righe(const std::string& nome_file, const std::vector<std::string>& righe) {
  // The whole file is built first and replaces the old one in one step, so
  // nothing of an older, longer file survives and a failed write leaves the
  // old file as it was.
  size_t size = 0;
  for (const std::string& riga : righe) size += riga.size() + 2;
  std::string bytes;
  bytes.reserve(size);
  std::string encoded;
  for (corrente = 0; corrente < static_cast<int32_t>(righe.size()); ++corrente) {
    const std::string& riga = righe[corrente];
    if (riga == kSentinella) break;
    Utf8ToCp1252(riga, &encoded);
    bytes += encoded;
    bytes += "\r\n";
  }
  std::string err;
  if (!fs_->WriteFile(nome_file, bytes, &err)) HaltOnFile(nome_file, err);
}

void TrackModel::errore(const std::string& a) {
  if (halted()) return;
  int32_t number = 0;
  const auto [end, ec] = std::from_chars(a.data(), a.data() + a.size(), number);
  if (ec != std::errc() || end != a.data() + a.size()) number = 0;
  halt_ = CompileOutcome{CompileOutcome::Kind::kBox, number, 0, " Errore n. " + a};
}

}  // namespace scenario
