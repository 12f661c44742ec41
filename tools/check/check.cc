#include "tools/check/check.h"

#include <algorithm>
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
#include "tools/check/explain.h"
#include "tools/check/report.h"
#include "tools/common/compiled_files.h"
#include "tools/common/overlay_file_system.h"
#include "tools/common/scenario_folder.h"

namespace scenario {
namespace {

// The two sources as read from disk, and how the user names them.
struct Sources {
  std::string line_bytes, train_bytes;
  std::string line_name, train_name;  // display paths
};

// What the compile pass told: the silent overwrites in their order, the
// last problem, the stops for it, and the warnings about how the sources
// are written. Everything the report says about places comes from here.
class Collector : public CompileObserver {
 public:
  void OnOverwrite(const OverwriteEvent& event) override { overwrites_.push_back(event); }
  void OnProblem(const ProblemEvent& event) override { problem_ = event; }
  void OnStop(const StopEvent& event) override { stops_.push_back(event); }
  void OnWarning(const WarningEvent& event) override { warnings_.push_back(event); }

  const std::vector<OverwriteEvent>& overwrites() const { return overwrites_; }
  const std::optional<ProblemEvent>& problem() const { return problem_; }
  const std::vector<StopEvent>& stops() const { return stops_; }
  const std::vector<WarningEvent>& warnings() const { return warnings_; }

 private:
  std::vector<OverwriteEvent> overwrites_;
  std::optional<ProblemEvent> problem_;
  std::vector<StopEvent> stops_;
  std::vector<WarningEvent> warnings_;
};

// Turns what the compile pass told into a report.
class ReportBuilder : public SourcePlaces {
 public:
  ReportBuilder(const TrackModel& model, const Collector& collector, const Sources& sources)
      : model_(model), collector_(collector), sources_(sources) {}

  const std::string* Bytes(SourceLocation::File file) const override {
    return Bytes(SourceLocation{file, 0});
  }

  Place PlaceOf(const SourceLocation& where) const override {
    const std::string* bytes = Bytes(where);
    if (bytes == nullptr) return Place{};
    Place place;
    place.file =
        where.file == SourceLocation::File::kLine ? sources_.line_name : sources_.train_name;
    if (!where.whole_file()) LineAndColumn(*bytes, where.offset, &place.line, &place.column);
    return place;
  }

  // The keyword field of the record at `where`, UTF-8, without trailing blanks.
  std::string KeywordAt(const SourceLocation& where) const override {
    const std::string* bytes = Bytes(where);
    if (bytes == nullptr || where.offset >= bytes->size()) return "";
    FieldReader in(bytes->substr(where.offset));
    std::string keyword;
    if (!in.ReadText(&keyword)) return "";
    while (!keyword.empty() && keyword.back() == ' ') keyword.pop_back();
    return ShowText(keyword);
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
    ExplainProblem(*told, collector_.warnings(), collector_.stops(), *this, &p);
    return p;
  }

  // One warning per record and kind of overwrite, and one per thing the
  // readers swallowed; in the order of the sources (the line source first),
  // a file's warnings about the whole file ahead of the others.
  std::vector<WarningReport> Warnings() const {
    std::vector<std::pair<SourceLocation, WarningReport>> found;
    const std::vector<OverwriteEvent>& all = collector_.overwrites();
    for (size_t i = 0; i < all.size();) {
      size_t j = i + 1;
      while (j < all.size() && all[j].kind == all[i].kind && all[j].record == all[i].record) ++j;
      found.emplace_back(all[i].record, Warning(i, j));
      i = j;
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
    std::stable_sort(found.begin(), found.end(), [&](const auto& a, const auto& b) {
      return rank(a.first) < rank(b.first);
    });
    std::vector<WarningReport> out;
    for (auto& [where, w] : found) out.push_back(std::move(w));
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

  // One warning for the overwrites [from, to) of one record.
  WarningReport Warning(size_t from, size_t to) const {
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
};

void Print(const CheckReport& report, bool json, std::ostream* out) {
  *out << (json ? FormatJson(report) : FormatText(report));
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
  if (!disk->ReadFile(line_path, &sources.line_bytes, &err)) return fail(err);
  if (!disk->Exists(train_path)) return fail("file del treno mancante: " + sources.train_name);
  if (!disk->ReadFile(train_path, &sources.train_bytes, &err)) return fail(err);
  overlay.Protect(line_path);
  overlay.Protect(train_path);

  Collector collector;
  model.observer = &collector;
  ReportBuilder builder(model, collector, sources);
  const CompileOutcome outcome = model.memorizza_percorso(options.senza_linea ? 0 : 1);

  report.avvisi = builder.Warnings();
  switch (outcome.kind) {
    case CompileOutcome::Kind::kDone:
    case CompileOutcome::Kind::kProblem:
      break;
    case CompileOutcome::Kind::kStop:
      // A stop writes nothing: the overlay is not committed.
      if (model.cod_errore != 0) report.problema = builder.Problem(model.cod_errore);
      return fail(outcome.message);
    case CompileOutcome::Kind::kBox:
      report.problema = builder.Problem(outcome.code);
      return fail("");
  }
  if (model.cod_errore != 0) report.problema = builder.Problem(model.cod_errore);
  report.esito = model.cod_errore != 0 ? kExitProblem : kExitOk;
  // Warnings change nothing, unless the author asked for them to count.
  report.rigoroso = options.rigoroso && !options.scrivi;
  if (report.rigoroso && !report.avvisi.empty()) report.esito = kExitProblem;
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
