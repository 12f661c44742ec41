#include "tools/check/report_builder.h"

#include <algorithm>
#include <set>
#include <utility>

#include "model/problems.h"
#include "model/text_encoding.h"
#include "reader/field_reader.h"
#include "tools/common/compiled_files.h"

namespace scenario {
namespace {

// "54-55, 60": runs of cell numbers.
std::string Cells(const std::vector<int32_t>& cells) {
  std::string out;
  for (size_t i = 0; i < cells.size();) {
    size_t j = i;
    while (j + 1 < cells.size() && cells[j + 1] == cells[j] + 1) ++j;
    if (!out.empty()) out += ", ";
    out += std::to_string(cells[i]);
    if (j > i) out += "-" + std::to_string(cells[j]);
    i = j + 1;
  }
  return out;
}

}  // namespace

void Collector::OnOverwrite(const OverwriteEvent& event) {
  if (overwrites_.empty() || overwrites_.back().first.kind != event.kind ||
      !(overwrites_.back().first.record == event.record)) {
    overwrites_.emplace_back();
    overwrites_.back().first = event;
  }
  OverwriteGroup& group = overwrites_.back();
  group.cells.push_back(event.index);
  if (event.kind == Overwrite::kAdvanceCode) group.codes.push_back(event);
  if (event.kind == Overwrite::kTunnelRange) group.earlier_ranges.insert(event.earlier_range);
}

Place ReportBuilder::PlaceOf(const SourceLocation& where) const {
  const LineIndex* lines = Lines(where);
  if (lines == nullptr) return Place{};
  Place place;
  place.file = where.file == SourceLocation::File::kLine ? sources_.line_name : sources_.train_name;
  if (!where.whole_file()) lines->LineAndColumn(where.offset, &place.line, &place.column);
  return place;
}

std::string ReportBuilder::KeywordAt(const SourceLocation& where) const {
  const std::string* bytes = Bytes(where);
  if (bytes == nullptr || where.offset >= bytes->size()) return "";
  // Only the field itself is handed to the reader: up to its delimiter,
  // after the closing quote of a quoted field.
  size_t end = where.offset;
  if ((*bytes)[end] == '"') {
    end = bytes->find('"', end + 1);
    if (end != std::string::npos) ++end;
  }
  if (end != std::string::npos) end = bytes->find_first_of(",\r\n", end);
  FieldReader in(bytes->substr(where.offset, end == std::string::npos ? end : end - where.offset));
  std::string keyword;
  if (!in.ReadText(&keyword)) return "";
  while (!keyword.empty() && keyword.back() == ' ') keyword.pop_back();
  return ShowText(keyword);
}

ProblemReport ReportBuilder::Problem(int32_t code) const {
  const std::vector<ProblemEvent>& told = collector_.problems();
  // The last problem told is the one the pass ended with.
  if (!told.empty() && told.back().code == code) return Problem(told.back());
  ProblemReport p;
  p.codice = code;
  p.significato = ProblemText(code);
  if (ProblemHasPosition(code)) p.pos_errore = model_.pos_errore;
  return p;
}

ProblemReport ReportBuilder::Problem(const ProblemEvent& told) const {
  ProblemReport p;
  p.codice = told.code;
  p.significato = ProblemText(told.code);
  if (ProblemHasPosition(told.code)) p.pos_errore = told.position;
  p.place = PlaceOf(told.record);
  p.record = KeywordAt(told.record);
  for (const CellInTheWay& cell : told.cells) {
    Occupant o;
    o.cella = cell.index;
    o.tipo = cell.tipo;
    o.posto_da = PlaceOf(cell.placed_by);
    o.record = KeywordAt(cell.placed_by);
    o.dalla_compilazione = cell.by_post_pass;
    p.occupata.push_back(std::move(o));
  }
  ExplainProblem(told, collector_.warnings(), collector_.stops(), *this, &p);
  return p;
}

std::vector<WarningReport> ReportBuilder::Warnings() const {
  std::vector<std::pair<SourceLocation, WarningReport>> found;
  for (const OverwriteGroup& group : collector_.overwrites()) {
    found.emplace_back(group.first.record, Warning(group));
  }
  for (const WarningEvent& e : collector_.warnings()) {
    // A train run without [generale] is told at the header that was
    // probably meant, when there is one.
    const SourceLocation at =
        e.kind == SourceWarning::kNoGenerale && e.record.known() ? e.record : e.where;
    found.emplace_back(at, ExplainWarning(e, *this));
  }
  auto rank = [](const SourceLocation& l) {
    const int file = l.file == SourceLocation::File::kLine    ? 0
                     : l.file == SourceLocation::File::kTrain ? 1
                                                              : 2;
    return std::pair<int, size_t>(file, l.whole_file() ? 0 : l.offset + 1);
  };
  std::stable_sort(found.begin(), found.end(),
                   [&](const auto& a, const auto& b) { return rank(a.first) < rank(b.first); });
  std::vector<WarningReport> out;
  for (auto& [where, w] : found) out.push_back(std::move(w));
  return out;
}

const std::string* ReportBuilder::Bytes(const SourceLocation& where) const {
  switch (where.file) {
    case SourceLocation::File::kLine:
      return &sources_.line_bytes;
    case SourceLocation::File::kTrain:
      return &sources_.train_bytes;
    case SourceLocation::File::kNone:
      return nullptr;
  }
  return nullptr;
}

const LineIndex* ReportBuilder::Lines(const SourceLocation& where) const {
  switch (where.file) {
    case SourceLocation::File::kLine:
      return &line_lines_;
    case SourceLocation::File::kTrain:
      return &train_lines_;
    case SourceLocation::File::kNone:
      return nullptr;
  }
  return nullptr;
}

std::string ReportBuilder::EarlierText(const OverwriteEvent& event) const {
  if (!event.earlier.known()) return "";
  return ", posto dal record \"" + KeywordAt(event.earlier) + "\" in " +
         FormatPlace(PlaceOf(event.earlier));
}

WarningReport ReportBuilder::Warning(const OverwriteGroup& group) const {
  const OverwriteEvent& first = group.first;
  WarningReport w;
  w.place = PlaceOf(first.record);
  w.record = KeywordAt(first.record);
  w.celle = group.cells;
  switch (first.kind) {
    case Overwrite::kStationCell:
      w.genere = kAvvisoStazione;
      w.testo = "la cella di stazione " + std::to_string(first.index) + " (" +
                CellMetres(first.index) + ") prende il posto di " +
                DescribeTipo(first.before.tipo) + EarlierText(first);
      break;
    case Overwrite::kAdvanceCode: {
      w.genere = kAvvisoPreavviso;
      std::string what;
      for (const OverwriteEvent& e : group.codes) {
        std::string owner;
        if (e.earlier_tipo == kTipoStazione) owner = " della stazione";
        if (e.earlier_tipo == kTipoSegnale) owner = " del segnale";
        what += (what.empty() ? "" : ", ") + std::string("cella ") + std::to_string(e.index) +
                " (" + std::to_string(e.before.preavviso) + owner +
                (e.earlier.known() ? " in " + FormatPlace(PlaceOf(e.earlier)) : std::string()) +
                ")";
      }
      w.testo = "il preavviso prende il posto di quello già presente in " + what;
      break;
    }
    case Overwrite::kTunnelRange: {
      w.genere = kAvvisoGalleria;
      std::string ranges;
      for (int32_t r : group.earlier_ranges) {
        if (r <= 0 || r >= static_cast<int32_t>(model_.inizi_montagna.size())) continue;
        ranges += (ranges.empty() ? "" : ", ") + std::to_string(model_.inizi_montagna[r]) + "-" +
                  std::to_string(model_.fini_montagna[r]) + " m";
      }
      w.testo = "la galleria ricopre le celle " + Cells(w.celle) +
                ", già coperte da un'altra galleria" + (ranges.empty() ? "" : " (" + ranges + ")") +
                " (montagna " + std::to_string(first.before.montagna) + " sostituita)";
      break;
    }
  }
  return w;
}

}  // namespace scenario
