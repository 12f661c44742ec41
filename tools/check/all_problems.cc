#include "tools/check/all_problems.h"

#include <optional>
#include <set>
#include <tuple>
#include <utility>

#include "model/problems.h"
#include "platform/file_system.h"
#include "tools/check/record_extent.h"
#include "tools/common/overlay_file_system.h"

namespace scenario {
namespace {

// Problems found after the reading, whose record may stand anywhere: the
// progressive ranges checked at the end, the codes of the post-pass.
bool FoundAfterReading(int32_t code) {
  return code == kErrProgressiva || code == kErrCodiceSegnale || code == kErrCodiceGuardia ||
         code == kErrCodiceInterno;
}

// Problems of the files' structure or of the reserved places: no one
// record is to blame.
bool Unpinnable(int32_t code) {
  return code == kErrManca || code == kErrGenerale || code == kErrMarche || code == kErrCodici;
}

// A record of the sources, in reading order: the line source first.
using RecordKey = std::pair<int, size_t>;
RecordKey KeyOf(const SourceLocation& where) {
  return {where.file == SourceLocation::File::kLine ? 0 : 1, where.offset};
}

bool SameWarning(const WarningReport& a, const WarningReport& b) {
  return std::tie(a.genere, a.place.file, a.place.line, a.place.column, a.celle, a.testo) ==
         std::tie(b.genere, b.place.file, b.place.line, b.place.column, b.celle, b.testo);
}

// One compile pass on the sources in memory. Nothing reaches the disk: the
// sources are served from memory, and the compiled files stay pending in
// memory (never staged beside the user's files, however large).
struct Round {
  Round(FileSystem* disk, const std::string& folder, const ScenarioName& name, const Sources& s)
      : overlay(disk, OverlayFileSystem::kNeverStage), model(&overlay, folder), sources(s) {
    model.linea = name.linea;
    model.treno = name.treno;
    std::string err;
    overlay.WriteFile(model.FullName(model.LineSourceName()), sources.line_bytes, &err);
    overlay.WriteFile(model.FullName(model.TrainSourceName()), sources.train_bytes, &err);
    model.observer = &collector;
  }

  OverlayFileSystem overlay;
  TrackModel model;
  Collector collector;
  const Sources& sources;
};

}  // namespace

void CheckAll(const Sources& original, const std::string& folder, const ScenarioName& name,
              int32_t j, int limite, FileSystem* disk, CheckReport* report, FirstRound* first) {
  report->tutti = true;
  Sources sources = original;  // the records left out become blanks here
  std::set<RecordKey> left_out;
  std::optional<ProblemEvent> previous;
  for (int round = 0;; ++round) {
    Round r(disk, folder, name, sources);
    const CompileOutcome outcome = r.model.memorizza_percorso(j);
    ReportBuilder builder(r.model, r.collector, sources);
    for (WarningReport& w : builder.Warnings()) {
      bool seen = false;
      for (const WarningReport& known : report->avvisi) seen = seen || SameWarning(known, w);
      if (!seen) report->avvisi.push_back(std::move(w));
    }
    if (round == 0 && first != nullptr) {
      first->placements = r.collector.placements();
      first->slots = r.collector.slots();
      if (const std::string* b = r.overlay.Pending(r.model.FullName(r.model.TrackFileName()))) {
        first->track_bytes = *b;
      }
      if (const std::string* b = r.overlay.Pending(r.model.FullName(r.model.RunFileName()))) {
        first->run_bytes = *b;
      }
    }

    const std::vector<ProblemEvent>& told = r.collector.problems();
    if (told.empty()) {
      // A stop without a problem: a file that cannot be written.
      if (outcome.kind == CompileOutcome::Kind::kStop) report->errori.push_back(outcome.message);
      break;
    }
    // The first problem of the pass is where it began to go wrong; a later
    // one may only repeat it (a reader that stops because the code is set).
    const ProblemEvent& event = told.front();
    const SourceLocation& where = event.record;
    std::string* bytes =
        where.file == SourceLocation::File::kLine ? &sources.line_bytes : &sources.train_bytes;
    const bool at_record = where.known() && !where.whole_file() && where.offset != 0 &&
                           StartsRecord(*bytes, where.offset, where.file, j != 0);
    // A problem that stays when its record is left out does not belong to
    // that record: it comes back at the same place, or (found while
    // reading) at an earlier record, which the previous round read alike,
    // or at a field that is no record.
    const bool repeated =
        left_out.count(KeyOf(where)) != 0 ||
        (previous && previous->code == event.code && !FoundAfterReading(event.code) &&
         (KeyOf(where) < KeyOf(previous->record) || !at_record));
    if (repeated) {
      report->note.push_back("il problema n. " + std::to_string(event.code) +
                             " resta anche senza il suo record: non appartiene a un solo "
                             "record, la verifica si ferma qui");
      break;
    }
    if (static_cast<int>(report->problemi.size()) >= limite) {
      report->note.push_back("raggiunto il limite di " + std::to_string(limite) +
                             " problemi (--limite): la verifica si ferma qui");
      break;
    }
    report->problemi.push_back(builder.Problem(event));

    if (outcome.kind == CompileOutcome::Kind::kStop) {
      report->errori.push_back(outcome.message);
      break;
    }
    // The box of the reserved places comes last; a problem before it goes on.
    if (outcome.kind == CompileOutcome::Kind::kBox && told.size() == 1) break;
    if (Unpinnable(event.code)) break;
    if (!at_record) {
      report->note.push_back("il problema n. " + std::to_string(event.code) +
                             " non appartiene a un solo record: la verifica si ferma qui");
      break;
    }
    BlankOut(bytes, where.offset, RecordEnd(*bytes, where.offset, where.file, j != 0));
    left_out.insert(KeyOf(where));
    previous = event;
  }

  const bool fatal = !report->errori.empty() ||
                     (!report->problemi.empty() && (report->problemi.back().codice == kErrMarche ||
                                                    report->problemi.back().codice == kErrCodici));
  report->esito = fatal ? 2 : report->problemi.empty() ? 0 : 1;
}

}  // namespace scenario
