#include "tools/lib/check.h"

#include <cstdint>
#include <map>
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

// Remembers which record placed each cell and every silent overwrite, in
// the order the compile pass reports them.
class Collector : public CompileObserver {
 public:
  struct Raw {
    Overwrite kind;
    int32_t index;
    cella before;
    SourceLocation where;
    std::optional<SourceLocation> placer;  // who put the overwritten thing there
    int32_t placer_cell = -1;              // the cell of that thing
    int32_t earlier_range = 0;             // tunnels: the range covered before, 1-based
  };

  explicit Collector(const TrackModel* model) : model_(model) {}

  void OnPlaced(int32_t index, const SourceLocation& where) override { placed_[index] = where; }

  void OnOverwrite(Overwrite kind, int32_t index, const cella& before,
                   const SourceLocation& where) override {
    Raw raw{kind, index, before, where, std::nullopt, -1, 0};
    switch (kind) {
      case Overwrite::kStationCell:
        raw.placer = PlacerOf(index);
        raw.placer_cell = index;
        break;
      case Overwrite::kAdvanceCode:
        raw.placer_cell = AdvanceOwner(index, before.preavviso);
        if (raw.placer_cell >= 0) raw.placer = PlacerOf(raw.placer_cell);
        break;
      case Overwrite::kTunnelRange:
        raw.earlier_range = EarlierRange(index);
        break;
    }
    raws_.push_back(raw);
  }

  std::optional<SourceLocation> PlacerOf(int32_t index) const {
    auto it = placed_.find(index);
    if (it == placed_.end()) return std::nullopt;
    return it->second;
  }

  const std::vector<Raw>& raws() const { return raws_; }

 private:
  // The cell of the station or signal whose advance code `value` stands in
  // cell `index`, or -1: stations put 80 + j in the j-th cell before their
  // station cell, signals sx * 30 + dx * 10 + b in the cell 2b before them.
  int32_t AdvanceOwner(int32_t index, uint8_t value) const {
    const int32_t b = value % 10;
    if (b < 1 || b > 4) return -1;
    const auto& celle = model_->celle;
    auto is = [&](int64_t k, uint8_t tipo) { return model_->HasCell(k) && celle[k].tipo == tipo; };
    if (value >= 81 && value <= 84 && is(int64_t{index} + b, kTipoStazione)) return index + b;
    if (is(int64_t{index} + 2 * b, kTipoSegnale)) return index + 2 * b;
    return -1;
  }

  // The latest range read before the current one that covers cell `index`.
  int32_t EarlierRange(int32_t index) const {
    for (int32_t k = model_->n_montagne - 1; k >= 1; --k) {
      const int64_t first = RoundHalfEven(model_->inizi_montagna[k] / 50.0);
      const int64_t last = RoundHalfEven(model_->fini_montagna[k] / 50.0 - 1);
      if (index >= first && index <= last) return k;
    }
    return 0;
  }

  const TrackModel* model_;
  std::map<int32_t, SourceLocation> placed_;
  std::vector<Raw> raws_;
};

// Turns what the compile pass left into a report.
class ReportBuilder {
 public:
  ReportBuilder(const TrackModel& model, const Collector& collector, const Sources& sources)
      : model_(model), collector_(collector), sources_(sources) {}

  Place PlaceOf(const SourceLocation& where) const {
    const std::string* bytes = Bytes(where);
    if (bytes == nullptr) return Place{};
    Place place;
    place.file =
        where.file == SourceLocation::File::kLine ? sources_.line_name : sources_.train_name;
    LineAndColumn(*bytes, where.offset, &place.line, &place.column);
    return place;
  }

  // The keyword field of the record at `where`, UTF-8, without trailing blanks.
  std::string KeywordAt(const SourceLocation& where) const {
    const std::string* bytes = Bytes(where);
    if (bytes == nullptr || where.offset >= bytes->size()) return "";
    FieldReader in(bytes->substr(where.offset));
    std::string keyword;
    if (!in.ReadText(&keyword)) return "";
    while (!keyword.empty() && keyword.back() == ' ') keyword.pop_back();
    return Cp1252ToUtf8(keyword);
  }

  // The first `count` values of the record at `where`.
  bool ValuesAt(const SourceLocation& where, int count, std::vector<int32_t>* values) const {
    const std::string* bytes = Bytes(where);
    if (bytes == nullptr || where.offset >= bytes->size()) return false;
    FieldReader in(bytes->substr(where.offset));
    std::string keyword;
    if (!in.ReadText(&keyword)) return false;
    values->assign(count, 0);
    for (int32_t& v : *values) {
      if (!in.ReadInt32(&v)) return false;
    }
    return true;
  }

  // Adds cell `k` to the occupants when it exists and is not free.
  void AddOccupant(int64_t k, ProblemReport* p) const {
    if (!model_.HasCell(k) || TrackModel::IsFree(model_.celle[k])) return;
    Occupant o;
    o.cella = static_cast<int32_t>(k);
    o.tipo = model_.celle[k].tipo;
    if (auto placer = collector_.PlacerOf(o.cella)) {
      o.posto_da = PlaceOf(*placer);
      o.record = KeywordAt(*placer);
    }
    p->occupata.push_back(std::move(o));
  }

  ProblemReport Problem(int32_t code) const {
    ProblemReport p;
    p.codice = code;
    p.significato = ProblemText(code);
    const int32_t pos = model_.pos_errore;
    if (ProblemHasPosition(code)) p.pos_errore = pos;
    SourceLocation where = model_.problem_location;
    auto cell = [](double v) { return RoundHalfEven(v); };
    auto placer = [&](int64_t k) {
      if (k < 0 || k > INT32_MAX) return;
      if (auto found = collector_.PlacerOf(static_cast<int32_t>(k))) where = *found;
    };
    switch (code) {
      case kErrProgressiva:
        where = BadProgressive();
        break;
      case kErrCartello:
      case kErrSegnale:
      case kErrIndicatore:
      case kErrInizioRall:
        AddOccupant(cell(pos / 50.0 + 1), &p);
        break;
      case kErrAbbattimento:
        AddOccupant(cell(pos / 50.0), &p);
        break;
      case kErrAvvisoRall:
        AddOccupant(cell((pos - 1200.0) / 50.0 + 1), &p);
        break;
      case kErrFineRall: {
        std::vector<int32_t> v;  // x, v, l
        if (ValuesAt(where, 3, &v)) {
          AddOccupant(cell((static_cast<double>(v[0]) + v[2]) / 50.0 + 1), &p);
        }
        break;
      }
      case kErrZonaRall: {
        const int64_t indice = cell((pos - 1200.0) / 50.0);
        for (int i = 0; i <= 3; ++i) AddOccupant(indice - i, &p);
        break;
      }
      case kErrCodiceSegnale: {
        const int64_t s = pos / 50;
        placer(s);
        AddOccupant(s - 1, &p);
        AddOccupant(s - 2, &p);
        break;
      }
      case kErrCodiceGuardia: {
        const int64_t c = pos / 50;
        placer(c);
        static const struct { int32_t above, first; } kGroups[] = {{7, 5}, {13, 11}, {20, 18}};
        for (const auto& g : kGroups) {
          if (c <= g.above) continue;
          bool all_taken = true;
          for (int64_t k = c - g.first; k >= c - g.first - 2; --k) {
            if (!model_.HasCell(k) || TrackModel::IsFree(model_.celle[k])) all_taken = false;
          }
          if (all_taken) {
            for (int64_t k = c - g.first; k >= c - g.first - 2; --k) AddOccupant(k, &p);
          }
        }
        break;
      }
      case kErrCodiceInterno: {
        const int64_t k = pos / 50;
        // The restriction it belongs to: the nearest start at or before it.
        for (int64_t j = k; j >= 0; --j) {
          if (model_.HasCell(j) && model_.celle[j].tipo == kTipoInizioRall) {
            placer(j);
            break;
          }
        }
        // At the end cell the failure may be the code in front of the next
        // signal; otherwise it is an inner code.
        int64_t signal = -1;
        if (model_.HasCell(k) && model_.celle[k].tipo == kTipoFineRall) {
          for (int64_t j = k; j <= k + 12 && model_.HasCell(j); ++j) {
            if (model_.celle[j].tipo == kTipoSegnale) {
              signal = j;
              break;
            }
          }
        }
        if (signal > 0 && !TrackModel::IsFree(model_.celle[signal - 1]) &&
            model_.HasCell(signal - 2) && !TrackModel::IsFree(model_.celle[signal - 2])) {
          AddOccupant(signal - 1, &p);
          AddOccupant(signal - 2, &p);
        } else {
          for (int64_t j = k - 1; j <= k + 1; ++j) AddOccupant(j, &p);
        }
        break;
      }
      case kErrMarche:
      case kErrCodici:
        placer(1);
        AddOccupant(1, &p);
        break;
      default:
        break;
    }
    p.place = PlaceOf(where);
    if (!where.known() && code == kErrManca) p.place.file = sources_.line_name;
    p.record = where.known() ? KeywordAt(where) : "";
    return p;
  }

  std::vector<WarningReport> Warnings() const {
    std::vector<WarningReport> out;
    const auto& raws = collector_.raws();
    for (size_t i = 0; i < raws.size();) {
      size_t j = i + 1;
      while (j < raws.size() && raws[j].kind == raws[i].kind &&
             raws[j].where.file == raws[i].where.file &&
             raws[j].where.offset == raws[i].where.offset) {
        ++j;
      }
      out.push_back(Warning(i, j));
      i = j;
    }
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

  // The "progressiva" record of the line source whose start or end is not a
  // multiple of 50 (the +100 of a flagged range keeps the remainder).
  SourceLocation BadProgressive() const {
    const std::string& bytes = sources_.line_bytes;
    for (size_t start = 0; start < bytes.size();) {
      size_t end = bytes.find('\n', start);
      if (end == std::string::npos) end = bytes.size();
      size_t first = bytes.find_first_not_of(' ', start);
      if (first < end) {
        SourceLocation at{SourceLocation::File::kLine, first};
        std::vector<int32_t> v;
        if (KeywordAt(at).find("progressiva") != std::string::npos && ValuesAt(at, 2, &v) &&
            (v[0] % 50 != 0 || v[1] % 50 != 0)) {
          return at;
        }
      }
      start = end + 1;
    }
    return SourceLocation{};
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

  std::string PlacerText(const Collector::Raw& raw) const {
    if (!raw.placer) return "";
    return ", posto dal record \"" + KeywordAt(*raw.placer) + "\" in " +
           FormatPlace(PlaceOf(*raw.placer));
  }

  // One warning for the raw overwrites [from, to) of one record.
  WarningReport Warning(size_t from, size_t to) const {
    const auto& raws = collector_.raws();
    const Collector::Raw& first = raws[from];
    WarningReport w;
    w.place = PlaceOf(first.where);
    w.record = KeywordAt(first.where);
    for (size_t k = from; k < to; ++k) w.celle.push_back(raws[k].index);
    switch (first.kind) {
      case Overwrite::kStationCell:
        w.genere = kAvvisoStazione;
        w.testo = "la cella di stazione " + std::to_string(first.index) + " (" +
                  CellMetres(first.index) + ") prende il posto di " +
                  DescribeTipo(first.before.tipo) + PlacerText(first);
        break;
      case Overwrite::kAdvanceCode: {
        w.genere = kAvvisoPreavviso;
        std::string what;
        for (size_t k = from; k < to; ++k) {
          const Collector::Raw& r = raws[k];
          std::string owner;
          if (r.placer_cell >= 0) {
            owner = model_.celle[r.placer_cell].tipo == kTipoStazione ? " della stazione"
                                                                      : " del segnale";
          }
          what += (what.empty() ? "" : ", ") + std::string("cella ") + std::to_string(r.index) +
                  " (" + std::to_string(r.before.preavviso) + owner +
                  (r.placer ? " in " + FormatPlace(PlaceOf(*r.placer)) : std::string()) + ")";
        }
        w.testo = "il preavviso prende il posto di quello già presente in " + what;
        break;
      }
      case Overwrite::kTunnelRange: {
        w.genere = kAvvisoGalleria;
        std::set<int32_t> earlier;
        for (size_t k = from; k < to; ++k) earlier.insert(raws[k].earlier_range);
        std::string ranges;
        for (int32_t r : earlier) {
          if (r <= 0) continue;
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

  Collector collector(&model);
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
