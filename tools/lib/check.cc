#include "tools/lib/check.h"

#include <array>
#include <cstdint>
#include <optional>
#include <set>
#include <utility>
#include <vector>

#include "driver/run_driver.h"
#include "model/problems.h"
#include "model/text_encoding.h"
#include "model/track_model.h"
#include "platform/file_system.h"
#include "reader/field_reader.h"
#include "tools/lib/compiled_files.h"
#include "tools/lib/overlay_file_system.h"
#include "tools/lib/report.h"
#include "tools/lib/scenario_folder.h"

namespace scenario {
namespace {

// The two sources as read from disk, and how the user names them.
struct Sources {
  std::string line_bytes, train_bytes;
  std::string line_name, train_name;  // display paths
};

// The overwrites of one warning: those of one kind by one record, one after
// the other.
struct OverwriteGroup {
  OverwriteEvent first;
  std::vector<int32_t> cells;         // every cell overwritten, in order
  std::vector<OverwriteEvent> codes;  // kAdvanceCode: each overwrite, for its text
  std::set<int32_t> earlier_ranges;   // kTunnelRange: the ranges covered again
};

// What the compile pass told: the silent overwrites in their order, folded
// into one group per warning as they come, and the last problem. Everything
// the report says about places comes from here. A tunnel range tells one
// overwrite per cell it covers again, and 80 ranges over a long route tell
// more than a million; a group keeps only what its warning says, a cell
// number for each.
class Collector : public CompileObserver {
 public:
  void OnOverwrite(const OverwriteEvent& event) override {
    if (groups_.empty() || groups_.back().first.kind != event.kind ||
        !(groups_.back().first.record == event.record)) {
      groups_.emplace_back();
      groups_.back().first = event;
    }
    OverwriteGroup& group = groups_.back();
    group.cells.push_back(event.index);
    if (event.kind == Overwrite::kAdvanceCode) group.codes.push_back(event);
    if (event.kind == Overwrite::kTunnelRange) group.earlier_ranges.insert(event.earlier_range);
  }
  void OnProblem(const ProblemEvent& event) override { problem_ = event; }

  std::vector<OverwriteGroup> TakeGroups() { return std::move(groups_); }
  const std::optional<ProblemEvent>& problem() const { return problem_; }

 private:
  std::vector<OverwriteGroup> groups_;
  std::optional<ProblemEvent> problem_;
};

// Turns what the compile pass told into a report.
class ReportBuilder {
 public:
  ReportBuilder(const TrackModel& model, const Collector& collector, const Sources& sources)
      : model_(model),
        collector_(collector),
        sources_(sources),
        line_lines_(sources.line_bytes),
        train_lines_(sources.train_bytes) {}

  Place PlaceOf(const SourceLocation& where) const {
    const LineIndex* lines = Lines(where);
    if (lines == nullptr) return Place{};
    Place place;
    place.file =
        where.file == SourceLocation::File::kLine ? sources_.line_name : sources_.train_name;
    if (!where.whole_file()) lines->LineAndColumn(where.offset, &place.line, &place.column);
    return place;
  }

  // The keyword field of the record at `where`, UTF-8, without trailing blanks.
  std::string KeywordAt(const SourceLocation& where) const {
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
    return Cp1252ToUtf8(keyword);
  }

  // The problem numbered `code`, as the compile pass told it.
  ProblemReport Problem(int32_t code) const {
    ProblemReport p;
    p.codice = code;
    p.significato = ProblemText(code);
    const std::optional<ProblemEvent>& told = collector_.problem();
    // The last problem told is the one the pass ended with.
    if (!told || told->code != code) {
      if (ProblemHasPosition(code)) p.pos_errore = model_.pos_errore;
      return p;
    }
    if (ProblemHasPosition(code)) p.pos_errore = told->position;
    p.place = PlaceOf(told->record);
    p.record = KeywordAt(told->record);
    for (const CellInTheWay& cell : told->cells) {
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

  // One warning per record and kind, in the order of the overwrites.
  std::vector<WarningReport> Warnings(std::vector<OverwriteGroup> groups) const {
    std::vector<WarningReport> out;
    for (OverwriteGroup& group : groups) out.push_back(Warning(&group));
    return out;
  }

 private:
  const std::string* Bytes(const SourceLocation& where) const {
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

  // Lines and columns of many places, each found without counting the lines
  // before it again.
  const LineIndex* Lines(const SourceLocation& where) const {
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

  std::string Cells(const std::vector<int32_t>& cells) const {
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

  std::string EarlierText(const OverwriteEvent& event) const {
    if (!event.earlier.known()) return "";
    return ", posto dal record \"" + KeywordAt(event.earlier) + "\" in " +
           FormatPlace(PlaceOf(event.earlier));
  }

  // The warning of one group of overwrites; takes its cells.
  WarningReport Warning(OverwriteGroup* group) const {
    const OverwriteEvent& first = group->first;
    WarningReport w;
    w.place = PlaceOf(first.record);
    w.record = KeywordAt(first.record);
    w.celle = std::move(group->cells);
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
        for (const OverwriteEvent& e : group->codes) {
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
        for (int32_t r : group->earlier_ranges) {
          if (r <= 0 || r >= static_cast<int32_t>(model_.inizi_montagna.size())) continue;
          ranges += (ranges.empty() ? "" : ", ") + std::to_string(model_.inizi_montagna[r]) + "-" +
                    std::to_string(model_.fini_montagna[r]) + " m";
        }
        w.testo = "la galleria ricopre le celle " + Cells(w.celle) +
                  ", già coperte da un'altra galleria" +
                  (ranges.empty() ? "" : " (" + ranges + ")") + " (montagna " +
                  std::to_string(first.before.montagna) + " sostituita)";
        break;
      }
    }
    return w;
  }

  const TrackModel& model_;
  const Collector& collector_;
  const Sources& sources_;
  const LineIndex line_lines_;
  const LineIndex train_lines_;
};

void Print(const CheckReport& report, bool json, std::ostream* out) {
  if (json) {
    WriteJson(report, out);
  } else {
    *out << FormatText(report);
  }
  out->flush();
}

}  // namespace

int RunCheck(const CheckOptions& options, FileSystem* disk, std::ostream* out) {
  const std::string folder = CleanFolder(options.folder);
  CheckReport report;
  report.comando = options.scrivi ? "compila" : "verifica";
  report.cartella = folder;
  auto fail = [&](const std::string& message) {
    if (!message.empty()) report.errori.push_back(message);
    report.esito = kExitFatal;
    Print(report, options.json, out);
    return kExitFatal;
  };

  ScenarioName name{options.linea, options.treno};
  if (name.linea.empty() || name.treno.empty()) {
    std::vector<ScenarioName> pairs;
    std::string err;
    if (!ListSourcePairs(folder, &pairs, &err) ||
        !ChooseScenario(pairs, options.linea, options.treno, folder, "nessuna coppia di sorgenti",
                        "più di una coppia di sorgenti", &name, &err)) {
      return fail(err);
    }
  }
  report.linea = name.linea;
  report.treno = name.treno;

  OverlayFileSystem overlay(disk);
  TrackModel model(&overlay, folder);
  model.linea = name.linea;
  model.treno = name.treno;
  Sources sources;
  sources.line_name = DisplayPath(folder, model.LineSourceName());
  sources.train_name = DisplayPath(folder, model.TrainSourceName());
  report.sorgente_linea = sources.line_name;
  report.sorgente_treno = sources.train_name;

  const std::string line_path = model.FullName(model.LineSourceName());
  const std::string train_path = model.FullName(model.TrainSourceName());
  std::string err;
  if (!disk->Exists(line_path)) {
    ProblemReport p;
    p.codice = kErrManca;
    p.significato = ProblemText(kErrManca);
    p.place.file = sources.line_name;
    report.problema = p;
    return fail("");
  }
  // Both sources must be readable. The pass reads them itself and the report
  // reads them again when it is over, so that no second copy of a large
  // source is held while the pass runs.
  {
    std::string bytes;
    if (!disk->ReadFile(line_path, &bytes, &err)) return fail(err);
    if (!disk->Exists(train_path)) return fail("file del treno mancante: " + sources.train_name);
    if (!disk->ReadFile(train_path, &bytes, &err)) return fail(err);
  }
  overlay.Protect(line_path);
  overlay.Protect(train_path);

  Collector collector;
  model.observer = &collector;
  const CompileOutcome outcome = model.memorizza_percorso(options.senza_linea ? 0 : 1);
  // The plan is in the line file now; the report needs the cells and slots.
  std::vector<std::array<PlanNumber, 2>>().swap(model.planimetria);
  // The sources, read again, and their line indexes are let go before the
  // files are written: writing may hold the files it replaces.
  {
    if (!disk->ReadFile(line_path, &sources.line_bytes, &err) ||
        !disk->ReadFile(train_path, &sources.train_bytes, &err)) {
      return fail(err);
    }
    const ReportBuilder builder(model, collector, sources);
    report.avvisi = builder.Warnings(collector.TakeGroups());
    // A box ends the pass with its own code; otherwise the last problem
    // recorded, if any, is the one reported.
    const int32_t code =
        outcome.kind == CompileOutcome::Kind::kBox ? outcome.code : model.cod_errore;
    if (code != 0) report.problema = builder.Problem(code);
  }
  std::string().swap(sources.line_bytes);
  std::string().swap(sources.train_bytes);
  switch (outcome.kind) {
    case CompileOutcome::Kind::kDone:
    case CompileOutcome::Kind::kProblem:
      break;
    case CompileOutcome::Kind::kStop:
      // A stop writes nothing: the overlay is not committed.
      return fail(outcome.message);
    case CompileOutcome::Kind::kBox:
      return fail("");
  }
  report.esito = model.cod_errore != 0 ? kExitProblem : kExitOk;
  if (options.scrivi) {
    const std::vector<std::string> written = overlay.PendingPaths();
    if (!overlay.Commit(&err)) return fail(err);
    for (const std::string& path : written) {
      report.scritti.push_back(DisplayPath(folder, path.substr(folder.size() + 1)));
    }
  }
  Print(report, options.json, out);
  return report.esito;
}

}  // namespace scenario
