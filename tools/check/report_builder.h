// From what the compile pass tells its observer to the report of `compila`
// and `verifica`: the Collector listens to one compile pass, the
// ReportBuilder turns what it heard into problems and warnings with their
// places in the sources as the user names them.
#ifndef SCENARIO_TOOLS_CHECK_REPORT_BUILDER_H_
#define SCENARIO_TOOLS_CHECK_REPORT_BUILDER_H_

#include <cstdint>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "model/track_model.h"
#include "reader/field_reader.h"
#include "tools/check/explain.h"
#include "tools/check/report.h"

namespace scenario {

// The two sources of a check, as read from disk, and how the user names
// them.
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

// What one compile pass told: the placements, the slots filled, the silent
// overwrites (folded into one group per warning as they come: 80 tunnel
// ranges over a long route tell more than a million, and a group keeps a
// cell number for each), the problems, the stops of the reading for a problem told
// before, and the warnings about how the sources are written, each in its
// order.
class Collector : public CompileObserver {
 public:
  void OnPlaced(const PlacementEvent& event) override { placements_.push_back(event); }
  void OnSlot(const SlotEvent& event) override { slots_.push_back(event); }
  void OnOverwrite(const OverwriteEvent& event) override;
  void OnProblem(const ProblemEvent& event) override { problems_.push_back(event); }
  void OnStop(const StopEvent& event) override { stops_.push_back(event); }
  void OnWarning(const WarningEvent& event) override { warnings_.push_back(event); }

  const std::vector<PlacementEvent>& placements() const { return placements_; }
  const std::vector<SlotEvent>& slots() const { return slots_; }
  const std::vector<OverwriteGroup>& overwrites() const { return overwrites_; }
  const std::vector<StopEvent>& stops() const { return stops_; }
  const std::vector<WarningEvent>& warnings() const { return warnings_; }
  // Every problem told, the first first. The last is the one the pass
  // ended with; the first is where it began to go wrong.
  const std::vector<ProblemEvent>& problems() const { return problems_; }

 private:
  std::vector<PlacementEvent> placements_;
  std::vector<SlotEvent> slots_;
  std::vector<OverwriteGroup> overwrites_;
  std::vector<ProblemEvent> problems_;
  std::vector<StopEvent> stops_;
  std::vector<WarningEvent> warnings_;
};

// Turns what the compile pass told into a report. `model`, `collector` and
// `sources` are not owned and must outlive the builder.
class ReportBuilder : public SourcePlaces {
 public:
  ReportBuilder(const TrackModel& model, const Collector& collector, const Sources& sources)
      : model_(model),
        collector_(collector),
        sources_(sources),
        line_lines_(sources.line_bytes),
        train_lines_(sources.train_bytes) {}

  // The place of a record as the user names it.
  Place PlaceOf(const SourceLocation& where) const override;
  // The keyword field of the record at `where`, UTF-8, without trailing
  // blanks, tabs shown as "\t"; "" when there is none.
  std::string KeywordAt(const SourceLocation& where) const override;
  const std::string* Bytes(SourceLocation::File file) const override {
    return Bytes(SourceLocation{file, 0});
  }

  // The problem numbered `code` the pass ended with, as the last event told
  // it; without a matching event only its number, meaning and pos_errore.
  ProblemReport Problem(int32_t code) const;
  // The problem one event told, with its cause and notes.
  ProblemReport Problem(const ProblemEvent& event) const;

  // One warning per record and kind of overwrite, and one per thing the
  // readers swallowed; in the order of the sources (the line source
  // first), a file's warnings about the whole file ahead of the others.
  std::vector<WarningReport> Warnings() const;

 private:
  const std::string* Bytes(const SourceLocation& where) const;
  // Lines and columns of many places, each found without counting the
  // lines before it again.
  const LineIndex* Lines(const SourceLocation& where) const;
  std::string EarlierText(const OverwriteEvent& event) const;
  // The warning of one group of overwrites.
  WarningReport Warning(const OverwriteGroup& group) const;

  const TrackModel& model_;
  const Collector& collector_;
  const Sources& sources_;
  const LineIndex line_lines_;
  const LineIndex train_lines_;
};

}  // namespace scenario

#endif  // SCENARIO_TOOLS_CHECK_REPORT_BUILDER_H_
