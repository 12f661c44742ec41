#include "tools/check/report_builder.h"

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

Place ReportBuilder::PlaceOf(const SourceLocation& where) const {
  const std::string* bytes = Bytes(where);
  if (bytes == nullptr) return Place{};
  Place place;
  place.file = where.file == SourceLocation::File::kLine ? sources_.line_name : sources_.train_name;
  if (!where.whole_file()) LineAndColumn(*bytes, where.offset, &place.line, &place.column);
  return place;
}

std::string ReportBuilder::KeywordAt(const SourceLocation& where) const {
  const std::string* bytes = Bytes(where);
  if (bytes == nullptr || where.offset >= bytes->size()) return "";
  FieldReader in(bytes->substr(where.offset));
  std::string keyword;
  if (!in.ReadText(&keyword)) return "";
  while (!keyword.empty() && keyword.back() == ' ') keyword.pop_back();
  return Cp1252ToUtf8(keyword);
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
  return p;
}

std::vector<WarningReport> ReportBuilder::Warnings() const {
  std::vector<WarningReport> out;
  const std::vector<OverwriteEvent>& all = collector_.overwrites();
  for (size_t i = 0; i < all.size();) {
    size_t j = i + 1;
    while (j < all.size() && all[j].kind == all[i].kind && all[j].record == all[i].record) ++j;
    out.push_back(Warning(i, j));
    i = j;
  }
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

std::string ReportBuilder::EarlierText(const OverwriteEvent& event) const {
  if (!event.earlier.known()) return "";
  return ", posto dal record \"" + KeywordAt(event.earlier) + "\" in " +
         FormatPlace(PlaceOf(event.earlier));
}

WarningReport ReportBuilder::Warning(size_t from, size_t to) const {
  const std::vector<OverwriteEvent>& all = collector_.overwrites();
  const OverwriteEvent& first = all[from];
  WarningReport w;
  w.place = PlaceOf(first.record);
  w.record = KeywordAt(first.record);
  for (size_t k = from; k < to; ++k) w.celle.push_back(all[k].index);
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
      for (size_t k = from; k < to; ++k) {
        const OverwriteEvent& e = all[k];
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
      std::set<int32_t> earlier;
      for (size_t k = from; k < to; ++k) earlier.insert(all[k].earlier_range);
      std::string ranges;
      for (int32_t r : earlier) {
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
