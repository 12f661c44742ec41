// Reads a source file as a stream of fields, never line by line.
//
// A field ends at the next comma or at the end of its line; the comma or the
// CR LF that ends it is consumed with it. Blanks in front of a field are
// skipped. A field starting with a double quote runs to the next double quote
// and may hold commas. A field read as a number also ends at a blank, so
// numbers separated by blanks alone are separate fields. An empty line is one
// empty field. Asking for a field when no character is left is a fault.
#ifndef SCENARIO_READER_FIELD_READER_H_
#define SCENARIO_READER_FIELD_READER_H_

#include <cstdint>
#include <string>
#include <string_view>

namespace scenario {

class FieldReader {
 public:
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
  size_t field_offset() const { return field_offset_; }
  // Byte offset of the next character to read: past the last field read
  // and its delimiter.
  size_t position() const { return pos_; }

 private:
  bool ReadNumber(double* out);
  void SkipBlanks();
  void ConsumeDelimiter();
  std::string ReadQuoted();

  std::string bytes_;
  size_t pos_ = 0;
  size_t field_offset_ = 0;
};

// The decimal value of `text` (optional sign, digits, optional fraction and
// exponent, nothing else), independent of the locale; 0 when it is not such
// a number.
double ParseDecimal(std::string_view text);

// 1-based line and column of a byte offset in a text of CR LF lines.
void LineAndColumn(std::string_view text, size_t offset, int* line, int* column);

}  // namespace scenario

#endif  // SCENARIO_READER_FIELD_READER_H_
