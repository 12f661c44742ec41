// Where a record of a source ends, and leaving a record out of a source.
//
// A record is its keyword field and the value fields the readers take for
// that keyword, wherever the line ends fall. The extent is found by reading
// the fields again with the readers' own field reader, a field per value
// the keyword asks for: a keyword that passes several tests takes the values
// of each, in the readers' order.
#ifndef SCENARIO_TOOLS_CHECK_RECORD_EXTENT_H_
#define SCENARIO_TOOLS_CHECK_RECORD_EXTENT_H_

#include <cstddef>
#include <string>
#include <string_view>

#include "model/track_model.h"

namespace scenario {

// The kinds of value field a record keyword takes, in reading order: 'n' a
// number (it ends at a blank too), 't' a text. A line source keyword that
// passes a test of the record section is read by that section's tests;
// otherwise by those of the [generale] section. "curva" takes its values
// only when `crea_linea` is not 0. Empty for a keyword that is no record.
std::string RecordFields(std::string_view keyword, SourceLocation::File file, bool crea_linea);

// True when the field at `offset` of `bytes` is the keyword field of a
// record: a keyword that takes value fields.
bool StartsRecord(std::string_view bytes, size_t offset, SourceLocation::File file,
                  bool crea_linea);

// The offset just past the record whose keyword field starts at `offset`
// in `bytes`: past the delimiter of its last value field, or the end of
// the bytes for a record cut short by the end of the file. A keyword that
// is no record ends with its own field.
size_t RecordEnd(std::string_view bytes, size_t offset, SourceLocation::File file, bool crea_linea);

// Overwrites the bytes [from, to) of `bytes` with blanks, keeping every CR
// and LF, so that the fields there read as empty fields and every other
// byte keeps its line and column.
void BlankOut(std::string* bytes, size_t from, size_t to);

}  // namespace scenario

#endif  // SCENARIO_TOOLS_CHECK_RECORD_EXTENT_H_
