// Reads a source file as a stream of fields, never line by line.
//
// A field ends at the next comma or at the end of its line; the comma or the
// CR LF that ends it is consumed with it. Blanks in front of a field are
// skipped. A field starting with a double quote runs to the next double quote
// and may hold commas. A field read as a number also ends at a blank, so
// numbers separated by blanks alone are separate fields. An empty line is one
// empty field. Asking for a field when no character is left is a fault.
//
// Besides the values, the reader says where each field stood and how it
// read (a number that was none, a value that did not fit), so that the
// checks of the companion tool can tell an author what the reading
// swallowed. Keeping the fields of a record costs nothing unless asked for.
#ifndef SCENARIO_READER_FIELD_READER_H_
#define SCENARIO_READER_FIELD_READER_H_

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace scenario {

class FieldReader {
 public:
  // How a field read as a number turned out.
  enum class Number {
    kText,        // read as text
    kOk,          // a decimal number that fits its target
    kEmpty,       // empty (or blanks only): 0
    kNotANumber,  // not a decimal number: 0
    kOutOfRange,  // a number that does not fit its target: a fault
  };

  // One field as it was read.
  struct Field {
    size_t offset = 0;       // its first byte (after the blanks; a quote for a quoted field)
    size_t end = 0;          // one past its last byte, before blanks and delimiter
    int64_t line = 0;        // 0-based line it starts on
    bool ends_line = false;  // the line end (or the end of the file) came with it
    Number number = Number::kText;
    int64_t lo = 0, hi = 0;     // kOutOfRange: the range of the target
    bool nothing_left = false;  // the read found no character left (a fault)
  };

  explicit FieldReader(std::string bytes) : bytes_(std::move(bytes)) {}

  // No character is left after the field just read.
  bool AtEnd() const { return pos_ >= bytes_.size(); }

  // Reads a field as text, unchanged. False (a fault) when nothing is left.
  bool ReadText(std::string* out);

  // Read a field as a number: a decimal text, rounded half to even into the
  // target. An empty field or one that is not a number gives 0. False (a
  // fault) when nothing is left or the value does not fit the target.
  bool ReadInt32(int32_t* out);
  bool ReadInt16(int16_t* out);
  bool ReadUint8(uint8_t* out);

  // Byte offset where the last field read starts (after its blanks).
  size_t field_offset() const { return last_.offset; }

  // The last field read.
  const Field& last_field() const { return last_; }

  // When on, every field read from now on is kept in fields(), until
  // ClearFields().
  void set_keep_fields(bool keep) { keep_ = keep; }
  const std::vector<Field>& fields() const { return kept_; }
  void ClearFields() { kept_.clear(); }

  // The whole text being read.
  std::string_view bytes() const { return bytes_; }
  // Byte offset of the next character to read: past the last field read
  // and its delimiter.
  size_t position() const { return pos_; }

 private:
  bool ReadNumber(double* out);
  bool ReadIntegral(int64_t lo, int64_t hi, int64_t* out);
  void SkipBlanks();
  // Consumes the comma or line end at the position; true when the field
  // ended its line (a line end, or nothing left).
  bool ConsumeDelimiter();
  std::string ReadQuoted();
  void Begin();
  void Keep();

  std::string bytes_;
  size_t pos_ = 0;
  int64_t line_ = 0;  // line ends consumed so far
  Field last_;
  bool keep_ = false;
  std::vector<Field> kept_;
};

// The decimal value of `text` (optional sign, digits, optional fraction and
// exponent, nothing else), independent of the locale; 0 when it is not such
// a number.
double ParseDecimal(std::string_view text);

// The same, false (and *value 0) when `text` is not such a number.
bool ParseDecimal(std::string_view text, double* value);

// 1-based line and column of a byte offset in a text of CR LF lines.
void LineAndColumn(std::string_view text, size_t offset, int* line, int* column);

// The same for many offsets of one text: the line starts are found once, and
// each offset costs a binary search instead of a count from the start.
class LineIndex {
 public:
  explicit LineIndex(std::string_view text);
  // As LineAndColumn(text, offset, line, column) on the text indexed.
  void LineAndColumn(size_t offset, int* line, int* column) const;

 private:
  size_t size_;
  std::vector<size_t> starts_;  // where each line after the first starts
};

}  // namespace scenario

#endif  // SCENARIO_READER_FIELD_READER_H_
