// Watches a source being read and tells the model's observer what the
// reading swallows: unknown keywords and sections, fields that are no
// number, records that are short of fields or have too many, text that
// merely contains a keyword, tabs, UTF-8 bytes, an empty source. It only
// looks: the reading goes on exactly as without it. Without an observer it
// does nothing at all.
//
// The reader tells it when a keyword field is taken and which record tests
// it passed; the field reader keeps the fields of the record meanwhile, and
// the checker looks at them when the next record starts or the reading ends.
#ifndef SCENARIO_READER_SOURCE_CHECKER_H_
#define SCENARIO_READER_SOURCE_CHECKER_H_

#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "model/track_model.h"
#include "reader/field_reader.h"
#include "reader/source_format.h"

namespace scenario {

class SourceChecker {
 public:
  // Looks at the whole text of `in` at once (tabs, UTF-8, nothing in it).
  // Not owned; both must outlive the checker. `observer` may be null.
  SourceChecker(CompileObserver* observer, SourceLocation::File file, FieldReader* in);

  bool active() const { return observer_ != nullptr; }

  // The field just read holds "[generale]": what was read before it is
  // ignored.
  void FoundGenerale();
  // The field just read is taken as a keyword field, at `record`. Checks the
  // record before it.
  void Keyword(const std::string& campo, const SourceLocation& record);
  // Starts the [generale] section's records (`true`) or the rest of the file.
  void InGenerale(bool generale) { in_generale_ = generale; }
  // The keyword field passed the test of `format`; its value fields follow.
  void Matched(const RecordFormat& format);
  // The keyword field passed a test whose record is not read (a curve when
  // no plan is made): it is no unknown keyword, and what follows is not
  // its fields.
  void Known() { known_ = true; }
  // The reading ended; `read_to_end`: it went through the whole file.
  void Finish(bool read_to_end);

  // Why the last read failed, for the error trap: cut short by the end of
  // the file, or a value that does not fit its field; kUnknown otherwise.
  FaultCause ReadFault() const;
  // Where the value field `name` of the record being read stands; unknown
  // when it was not read.
  SourceLocation FieldNamed(const std::string& name) const;

 private:
  // The longest rest of a line a warning about extra fields quotes.
  static constexpr size_t kQuotedRest = 60;

  void Scan();
  // Checks the record being read; `fields` are the fields read after its
  // keyword field (when the next keyword field contained "-", the last ones
  // are fields passed over in front of it).
  void CheckRecord(std::span<const FieldReader::Field> fields);
  void Emit(WarningEvent event);
  // A warning about the whole file.
  void EmitWhole(SourceWarning kind);
  SourceLocation At(size_t offset) const { return SourceLocation{file_, offset}; }
  bool AtLineStart(size_t offset) const;
  size_t LineEnd(size_t offset) const;
  std::string Text(const FieldReader::Field& f) const;
  // The name of value field i of the record, "" past its fields.
  const FieldFormat* FieldAt(size_t i) const;
  size_t Expected() const;

  CompileObserver* observer_;
  SourceLocation::File file_;
  FieldReader* in_;
  bool generale_found_ = false;
  bool in_generale_ = false;
  bool empty_ = false;
  // The record being read: its keyword field is fields()[0].
  bool has_record_ = false;
  FieldReader::Field keyword_field_;
  std::string keyword_;
  SourceLocation record_;
  std::vector<const RecordFormat*> matched_;
  bool known_ = false;
  int stations_ = 0;
  int signals_ = 0;
  std::vector<size_t> tabs_;  // the first tab of each line that has one
  // The last line end found, and the offset its search began at.
  mutable size_t line_end_from_ = 1, line_end_ = 0;
  // The end of the last line whose extra fields were told.
  size_t extra_told_at_ = SIZE_MAX;
};

}  // namespace scenario

#endif  // SCENARIO_READER_SOURCE_CHECKER_H_
