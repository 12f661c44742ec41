// Fuzz target: the field reader on arbitrary bytes.
//
// Input: the first byte b gives the number n = b % 32 of op bytes that
// follow it; the rest of the input is the text read. Reads go on until the
// text is at its end, each choosing by the next op byte (taken in turn, or
// by turns when n is 0): text, int32, int16 or uint8. A number that does not
// fit its target fails as a fault would, and the reading goes on.
//
// Checked: a read never fails while text is left; every read moves on;
// field offsets stay inside the text and never go back; an unquoted text
// field is the text at its offset and holds no delimiter; a number read is
// the rounded decimal value of its field; the line index agrees with
// LineAndColumn.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <limits>
#include <string>
#include <string_view>

#include "fuzz/fuzz_util.h"
#include "model/cells.h"
#include "reader/field_reader.h"

namespace scenario {
namespace {

// Fields whose line and column are also counted by LineAndColumn.
constexpr size_t kCountedReads = 64;

// The text of the unquoted number field at `offset`: up to a comma, a line
// end or a blank.
std::string_view NumberField(std::string_view text, size_t offset) {
  const size_t end = text.find_first_of(", \r\n", offset);
  return text.substr(offset, (end == std::string_view::npos ? text.size() : end) - offset);
}

void CheckNumber(bool read, int64_t value, std::string_view text, size_t offset, int64_t lo,
                 int64_t hi) {
  if (offset < text.size() && text[offset] == '"') return;  // quoted: checked by the replay tests
  int64_t expected;
  const bool fits = RoundToRange(ParseDecimal(NumberField(text, offset)), lo, hi, &expected);
  FuzzCheck(read == fits, "a number read fails exactly when its value does not fit");
  if (read) FuzzCheck(value == expected, "a number read is its field's rounded value");
}

}  // namespace
}  // namespace scenario

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace scenario;
  if (size == 0) return 0;
  const size_t n = std::min<size_t>(data[0] % 32, size - 1);
  const uint8_t* ops = data + 1;
  const std::string text(reinterpret_cast<const char*>(data + 1 + n), size - 1 - n);

  FieldReader in(text);
  const LineIndex lines(text);
  size_t reads = 0;
  size_t last_offset = 0;
  while (!in.AtEnd()) {
    FuzzCheck(++reads <= text.size(), "every read moves on");
    const int op = (n == 0 ? reads : ops[(reads - 1) % n]) % 4;
    bool read = false;
    int64_t value = 0;
    std::string field;
    switch (op) {
      case 0:
        read = in.ReadText(&field);
        FuzzCheck(read, "a text read succeeds while text is left");
        break;
      case 1: {
        int32_t v = 0;
        read = in.ReadInt32(&v);
        value = v;
        break;
      }
      case 2: {
        int16_t v = 0;
        read = in.ReadInt16(&v);
        value = v;
        break;
      }
      case 3: {
        uint8_t v = 0;
        read = in.ReadUint8(&v);
        value = v;
        break;
      }
    }
    const size_t offset = in.field_offset();
    FuzzCheck(offset <= text.size(), "a field starts inside the text");
    FuzzCheck(offset >= last_offset, "fields come in order");
    last_offset = offset;
    if (op == 0 && (offset >= text.size() || text[offset] != '"')) {
      FuzzCheck(field.find_first_of(",\r\n") == std::string::npos,
                "an unquoted text field holds no delimiter");
      FuzzCheck(text.compare(offset, field.size(), field) == 0,
                "a text field is the text at its offset");
    }
    if (op == 1) {
      CheckNumber(read, value, text, offset, std::numeric_limits<int32_t>::min(),
                  std::numeric_limits<int32_t>::max());
    }
    if (op == 2) CheckNumber(read, value, text, offset, -32768, 32767);
    if (op == 3) CheckNumber(read, value, text, offset, 0, 255);
    int line = 0, column = 0;
    lines.LineAndColumn(offset, &line, &column);
    FuzzCheck(line >= 1 && column >= 1, "lines and columns count from 1");
    if (reads <= kCountedReads) {  // LineAndColumn counts from the start each time
      int counted_line = 0, counted_column = 0;
      LineAndColumn(text, offset, &counted_line, &counted_column);
      FuzzCheck(line == counted_line && column == counted_column,
                "the line index finds the line and column LineAndColumn finds");
    }
  }
  // Nothing is left: every further read is a fault.
  std::string field;
  int32_t v;
  FuzzCheck(!in.ReadText(&field) && !in.ReadInt32(&v), "a read at the end is a fault");
  ParseDecimal(text);
  return 0;
}
