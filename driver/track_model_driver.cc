// The model's plumbing that belongs to the run driver: file names, the text
// writing sequence, errore and the fatal ends of the run.
#include <cstdlib>

#include "driver/run_driver.h"
#include "model/text_encoding.h"
#include "model/track_model.h"
#include "platform/file_system.h"
#include "platform/ui.h"

namespace scenario {

TrackModel::TrackModel(FileSystem* fs, Ui* ui, std::string folder)
    : fs_(fs), ui_(ui), folder_(std::move(folder)) {}

std::string TrackModel::FullName(const std::string& own_name) const {
  return folder_ + PathSeparator() + own_name;
}

void TrackModel::scrivi_righe(const std::string& nome_file, const std::vector<std::string>& righe) {
  // The whole file is built first and replaces the old one in one step, so
  // nothing of an older, longer file survives and a failed write leaves the
  // old file as it was.
  std::string bytes;
  for (corrente = 0; corrente < static_cast<int32_t>(righe.size()); ++corrente) {
    const std::string& riga = righe[corrente];
    if (riga == kSentinella) break;
    std::string encoded;
    Utf8ToCp1252(riga, &encoded);
    bytes += encoded;
    bytes += "\r\n";
  }
  std::string err;
  if (!fs_->WriteFile(nome_file, bytes, &err)) FatalFile(nome_file, err);
}

void TrackModel::errore(const std::string& a) {
  ui_->ShowMessage(" Errore n. " + a);
  ui_->Quit(kExitFatal);
  std::exit(kExitFatal);  // Quit does not return; this keeps the promise checkable
}

void TrackModel::FatalFile(const std::string& path, const std::string& err) {
  // The file system's messages name the file already.
  Fatal(err.empty() ? "impossibile scrivere il file " + path : err);
}

void TrackModel::Fatal(const std::string& message) {
  ui_->Report(message);
  ui_->Quit(kExitFatal);
  std::exit(kExitFatal);  // Quit does not return
}

void TrackModel::RecordProblem(int32_t code, const SourceLocation& where) {
  cod_errore = code;
  problem_location = where;
}

void TrackModel::RecordProblem(int32_t code, int32_t position, const SourceLocation& where) {
  RecordProblem(code, where);
  pos_errore = position;
}

void TrackModel::Notify(Overwrite kind, int32_t index, const SourceLocation& where) {
  if (observer != nullptr) observer->OnOverwrite(kind, index, celle[index], where);
}

void TrackModel::NotifyPlaced(int64_t index) {
  if (observer != nullptr) observer->OnPlaced(static_cast<int32_t>(index), record_);
}

}  // namespace scenario
