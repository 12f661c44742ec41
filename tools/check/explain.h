// Words for what the readers tell about a source: the warnings about how it
// is written, the cause of a problem 15, 22 or 25 with the places that go
// with it, and the usual keyword a misspelled field was probably meant to be.
#ifndef SCENARIO_TOOLS_CHECK_EXPLAIN_H_
#define SCENARIO_TOOLS_CHECK_EXPLAIN_H_

#include <string>
#include <string_view>
#include <vector>

#include "model/track_model.h"
#include "tools/check/report.h"

namespace scenario {

// How a report names places in the two sources.
class SourcePlaces {
 public:
  virtual ~SourcePlaces() = default;
  virtual Place PlaceOf(const SourceLocation& where) const = 0;
  // The keyword field of the record at `where`, UTF-8, without trailing
  // blanks; "" when there is none.
  virtual std::string KeywordAt(const SourceLocation& where) const = 0;
  // The bytes of a source; null when there are none.
  virtual const std::string* Bytes(SourceLocation::File file) const = 0;
};

// A warning about how a source is written.
WarningReport ExplainWarning(const WarningEvent& event, const SourcePlaces& places);

// Adds to *p the cause of a problem 15, 22 or 25 and the notes that go with
// it; `warnings` are the run's warnings (a misspelled route length explains
// a missing one); `stops` the stops of the reading at a signal or
// restriction for the problem.
void ExplainProblem(const ProblemEvent& event, const std::vector<WarningEvent>& warnings,
                    const std::vector<StopEvent>& stops, const SourcePlaces& places,
                    ProblemReport* p);

// The usual keyword field of `file` closest to `field` (letters without
// case): a section header when `field` is bracketed, a record of the
// [generale] section of the line source when `generale`. "" when none is
// within two edits.
std::string NearestKeyword(std::string_view field, SourceLocation::File file, bool generale);

// A source text (Windows-1252) as a report shows it: UTF-8, tabs as "\t",
// at most 60 characters.
std::string ShowText(std::string_view cp1252);

}  // namespace scenario

#endif  // SCENARIO_TOOLS_CHECK_EXPLAIN_H_
