// The model's own plumbing: file names in its folder, the problem record,
// the stops of the run, and who put what into each cell for the observer.
#include "model/track_model.h"

#include <cassert>
#include <utility>

#include "model/cells.h"
#include "model/slots.h"
#include "platform/file_system.h"

namespace scenario {

TrackModel::TrackModel(FileSystem* fs, std::string folder) : fs_(fs), folder_(std::move(folder)) {}

std::string TrackModel::FullName(const std::string& own_name) const {
  return folder_ + PathSeparator() + own_name;
}

void TrackModel::RecordProblem(int32_t code, const SourceLocation& where,
                               std::vector<int64_t> cells) {
  // Cells given here take the place of those a conflict found.
  if (!cells.empty()) {
    conflict_code_ = code;
    conflict_cells_ = std::move(cells);
  }
  RecordProblemWith(code, where, ProblemEvent{});
}

void TrackModel::RecordProblem(int32_t code, int32_t position, const SourceLocation& where,
                               std::vector<int64_t> cells) {
  pos_errore = position;
  RecordProblem(code, where, std::move(cells));
}

void TrackModel::RecordProblemWith(int32_t code, const SourceLocation& where, ProblemEvent detail) {
  cod_errore = code;
  problem_location = where;
  std::vector<int64_t> cells;
  if (conflict_code_ == code) cells = std::move(conflict_cells_);
  conflict_code_ = 0;
  conflict_cells_.clear();
  detail.code = code;
  detail.position = pos_errore;
  detail.record = where;
  NotifyProblem(std::move(detail), cells);
}

void TrackModel::RecordProblemWith(int32_t code, int32_t position, const SourceLocation& where,
                                   ProblemEvent detail) {
  pos_errore = position;
  RecordProblemWith(code, where, std::move(detail));
}

void TrackModel::Conflict(int32_t code, std::vector<int64_t> cells) {
  cod_errore = code;
  conflict_code_ = code;
  conflict_cells_ = std::move(cells);
}

void TrackModel::NotifyProblem(ProblemEvent event, const std::vector<int64_t>& cells) {
  if (observer == nullptr) return;
  event.cells.clear();
  for (int64_t k : cells) {
    if (!HasCell(k) || IsFree(celle[k])) continue;
    const CellOrigin& origin = OriginOf(k);
    event.cells.push_back(
        CellInTheWay{static_cast<int32_t>(k), celle[k].tipo, origin.tipo, origin.by_post_pass});
  }
  observer->OnProblem(event);
}

ProblemEvent TrackModel::TrackDetail(int32_t margin) const {
  ProblemEvent detail;
  detail.lunghezza = tabella[kVoceTreno].fine;
  detail.length_record = length_record_;
  detail.last_position = static_cast<double>(kCellLength) * ultima_cella - margin;
  return detail;
}

bool TrackModel::Fault(FaultCause cause) {
  if (fault_.kind == FaultCause::Kind::kUnknown) fault_ = std::move(cause);
  return false;
}

TrackModel::ReadOutcome TrackModel::StopForEarlierProblem(int32_t position) {
  pos_errore = position;
  if (observer != nullptr) observer->OnStop(StopEvent{cod_errore, position, record_});
  return ReadOutcome::kStop;
}

void TrackModel::Halt(const std::string& message) {
  if (halted()) return;
  halt_ = CompileOutcome{CompileOutcome::Kind::kStop, 0, 0, message};
}

void TrackModel::HaltOnFile(const std::string& path, const std::string& err) {
  // The file system's messages name the file already.
  Halt(err.empty() ? "impossibile scrivere il file " + path : err);
}

TrackModel::CellOrigin& TrackModel::OriginOf(int64_t index) {
  assert(HasCell(index));
  // Cells made anew, or made by hand, start without origins.
  if (origins_.size() != celle.size()) ResetOrigins();
  return origins_[static_cast<size_t>(index)];
}

void TrackModel::ResetOrigins() { origins_.assign(celle.size(), CellOrigin{}); }

void TrackModel::Placed(int64_t index, const SourceLocation& record, bool by_post_pass) {
  CellOrigin& origin = OriginOf(index);
  origin.tipo = record;
  origin.by_post_pass = by_post_pass;
  if (observer != nullptr) {
    observer->OnPlaced(
        PlacementEvent{static_cast<int32_t>(index), celle[index].tipo, record, by_post_pass});
  }
}

void TrackModel::AdvanceCodePlaced(int64_t index, int64_t owner, uint8_t owner_tipo) {
  CellOrigin& origin = OriginOf(index);
  origin.preavviso = record_;
  origin.preavviso_cell = static_cast<int32_t>(owner);
  origin.preavviso_tipo = owner_tipo;
}

void TrackModel::Notify(Overwrite kind, int64_t index) {
  if (observer == nullptr) return;
  const CellOrigin& origin = OriginOf(index);
  OverwriteEvent event;
  event.kind = kind;
  event.index = static_cast<int32_t>(index);
  event.before = celle[index];
  event.record = record_;
  switch (kind) {
    case Overwrite::kStationCell:
      event.earlier = origin.tipo;
      break;
    case Overwrite::kAdvanceCode:
      event.earlier = origin.preavviso;
      event.earlier_cell = origin.preavviso_cell;
      event.earlier_tipo = origin.preavviso_tipo;
      break;
    case Overwrite::kTunnelRange:
      event.earlier = origin.tunnel;
      event.earlier_range = origin.tunnel_range;
      break;
  }
  observer->OnOverwrite(event);
}

}  // namespace scenario
