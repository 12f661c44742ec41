// From what the compile pass tells its observer to the report of `compila`
// and `verifica`: the Collector listens to one compile pass, the
// ReportBuilder turns what it heard into problems and warnings with their
// places in the sources as the user names them.
#ifndef SCENARIO_TOOLS_CHECK_REPORT_BUILDER_H_
#define SCENARIO_TOOLS_CHECK_REPORT_BUILDER_H_

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "model/track_model.h"
#include "tools/check/report.h"

namespace scenario {

// The two sources of a check, as read from disk, and how the user names
// them.
struct Sources {
  std::string line_bytes, train_bytes;
  std::string line_name, train_name;  // display paths
};

// What one compile pass told: the placements, the slots filled, the silent
// overwrites and the problems, each in its order.
class Collector : public CompileObserver {
 public:
  void OnPlaced(const PlacementEvent& event) override { placements_.push_back(event); }
  void OnSlot(const SlotEvent& event) override { slots_.push_back(event); }
  void OnOverwrite(const OverwriteEvent& event) override { overwrites_.push_back(event); }
  void OnProblem(const ProblemEvent& event) override { problems_.push_back(event); }

  const std::vector<PlacementEvent>& placements() const { return placements_; }
  const std::vector<SlotEvent>& slots() const { return slots_; }
  const std::vector<OverwriteEvent>& overwrites() const { return overwrites_; }
  // Every problem told, the first first. The last is the one the pass
  // ended with; the first is where it began to go wrong.
  const std::vector<ProblemEvent>& problems() const { return problems_; }

 private:
  std::vector<PlacementEvent> placements_;
  std::vector<SlotEvent> slots_;
  std::vector<OverwriteEvent> overwrites_;
  std::vector<ProblemEvent> problems_;
};

// Turns what the compile pass told into a report. `model`, `collector` and
// `sources` are not owned and must outlive the builder.
class ReportBuilder {
 public:
  ReportBuilder(const TrackModel& model, const Collector& collector, const Sources& sources)
      : model_(model), collector_(collector), sources_(sources) {}

  // The place of a record as the user names it.
  Place PlaceOf(const SourceLocation& where) const;
  // The keyword field of the record at `where`, UTF-8, without trailing
  // blanks; "" when there is none.
  std::string KeywordAt(const SourceLocation& where) const;

  // The problem numbered `code` the pass ended with, as the last event told
  // it; without a matching event only its number, meaning and pos_errore.
  ProblemReport Problem(int32_t code) const;
  // The problem one event told.
  ProblemReport Problem(const ProblemEvent& event) const;

  // One warning per record and kind, in the order of the overwrites.
  std::vector<WarningReport> Warnings() const;

 private:
  const std::string* Bytes(const SourceLocation& where) const;
  std::string EarlierText(const OverwriteEvent& event) const;
  // One warning for the overwrites [from, to) of one record.
  WarningReport Warning(size_t from, size_t to) const;

  const TrackModel& model_;
  const Collector& collector_;
  const Sources& sources_;
};

}  // namespace scenario

#endif  // SCENARIO_TOOLS_CHECK_REPORT_BUILDER_H_
