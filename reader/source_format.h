// The records of the two sources as authors write them: for each kind of
// record its name, the keyword fields it is usually written with, and its
// value fields in order. The readers recognise a record by a word its
// keyword field contains (see the readers); these tables serve the checks
// that tell an author what the reading made of a field, and the companion
// tool's suggestions for a misspelled keyword. docs/formato.md describes the
// same records in words.
#ifndef SCENARIO_READER_SOURCE_FORMAT_H_
#define SCENARIO_READER_SOURCE_FORMAT_H_

#include <span>

namespace scenario {

// The target a value field is read into.
enum class FieldType { kInt32, kInt16, kUint8, kText };

struct FieldFormat {
  const char* name;  // as the model names the value ("posizione", "vas")
  FieldType type;
  bool empty_ok = false;  // an empty field is a usual way to write 0 here
};

struct RecordFormat {
  const char* name;                     // how a report names the record
  std::span<const char* const> forms;   // usual keyword fields, lower case, Windows-1252
  std::span<const FieldFormat> fields;  // the value fields after the keyword
};

namespace formats {
// Line source, [generale] section.
extern const RecordFormat kLunghezza, kProgressiva, kSfondo, kRipetizione;
// Line source, the rest of the file.
extern const RecordFormat kPendenza, kCurva, kMontagna, kIndicatori, kCartello;
// Train-run source.
extern const RecordFormat kFrenata, kVetture, kVelocita, kAderenza, kOrologio, kSabbia, kSegnale,
    kRallentamento, kAbbattimento, kStazione;
}  // namespace formats

// The records of each part of the sources, in the order the readers test them.
std::span<const RecordFormat* const> LineGeneraleRecords();
std::span<const RecordFormat* const> LineRecords();
std::span<const RecordFormat* const> TrainRecords();

// The section headers each source is written with, lower case.
std::span<const char* const> LineSections();
std::span<const char* const> TrainSections();

}  // namespace scenario

#endif  // SCENARIO_READER_SOURCE_FORMAT_H_
