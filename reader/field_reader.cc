#include "reader/field_reader.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <limits>

#include "model/cells.h"

namespace scenario {

bool ParseDecimal(std::string_view text, double* value) {
  *value = 0;
  if (text.empty()) return false;
  for (char c : text) {
    const bool ok = (c >= '0' && c <= '9') || c == '.' || c == '+' || c == '-' || c == 'e' ||
                    c == 'E';
    if (!ok) return false;
  }
  bool negative = false;
  if (text[0] == '+' || text[0] == '-') {
    negative = text[0] == '-';
    text.remove_prefix(1);
  }
  if (text.empty() || !((text[0] >= '0' && text[0] <= '9') || text[0] == '.')) return false;
  double v = 0;
  auto [ptr, ec] = std::from_chars(text.data(), text.data() + text.size(), v,
                                   std::chars_format::general);
  if (ptr != text.data() + text.size()) return false;
  if (ec == std::errc::result_out_of_range) {
    // Too large becomes infinity, which no target accepts; too small is 0.
    const size_t e = text.find_first_of("eE");
    const bool tiny = e != std::string_view::npos && e + 1 < text.size() && text[e + 1] == '-';
    v = tiny ? 0 : std::numeric_limits<double>::infinity();
  } else if (ec != std::errc()) {
    return false;
  }
  *value = negative ? -v : v;
  return true;
}

double ParseDecimal(std::string_view text) {
  double v;
  ParseDecimal(text, &v);
  return v;
}

void FieldReader::SkipBlanks() {
  while (pos_ < bytes_.size() && bytes_[pos_] == ' ') ++pos_;
}

bool FieldReader::ConsumeDelimiter() {
  if (pos_ >= bytes_.size()) return true;
  if (bytes_[pos_] == ',') {
    ++pos_;
    return false;
  }
  if (bytes_[pos_] == '\r') {
    ++pos_;
    if (pos_ < bytes_.size() && bytes_[pos_] == '\n') ++pos_;
    ++line_;
    return true;
  }
  if (bytes_[pos_] == '\n') {
    ++pos_;
    ++line_;
    return true;
  }
  return false;  // a number ended by a blank, with the next one on its line
}

void FieldReader::Begin() {
  SkipBlanks();
  last_ = Field{};
  last_.offset = pos_;
  last_.line = line_;
}

void FieldReader::Keep() {
  if (keep_) kept_.push_back(last_);
}

std::string FieldReader::ReadQuoted() {
  ++pos_;  // opening quote
  const size_t close = bytes_.find('"', pos_);
  const size_t end = close == std::string::npos ? bytes_.size() : close;
  std::string value = bytes_.substr(pos_, end - pos_);
  for (char c : value) line_ += c == '\n';
  pos_ = close == std::string::npos ? end : end + 1;
  last_.end = pos_;
  // Whatever stands between the closing quote and the delimiter is dropped.
  while (pos_ < bytes_.size() && bytes_[pos_] != ',' && bytes_[pos_] != '\r' &&
         bytes_[pos_] != '\n') {
    ++pos_;
  }
  last_.ends_line = ConsumeDelimiter();
  return value;
}

bool FieldReader::ReadText(std::string* out) {
  if (AtEnd()) {
    last_ = Field{pos_, pos_, line_, true, Number::kText, 0, 0, true};
    return false;
  }
  Begin();
  if (pos_ < bytes_.size() && bytes_[pos_] == '"') {
    *out = ReadQuoted();
    Keep();
    return true;
  }
  const size_t start = pos_;
  while (pos_ < bytes_.size() && bytes_[pos_] != ',' && bytes_[pos_] != '\r' &&
         bytes_[pos_] != '\n') {
    ++pos_;
  }
  out->assign(bytes_, start, pos_ - start);
  last_.end = pos_;
  last_.ends_line = ConsumeDelimiter();
  Keep();
  return true;
}

bool FieldReader::ReadNumber(double* out) {
  if (AtEnd()) {
    last_ = Field{pos_, pos_, line_, true, Number::kText, 0, 0, true};
    return false;
  }
  Begin();
  std::string quoted;
  std::string_view text;
  if (pos_ < bytes_.size() && bytes_[pos_] == '"') {
    quoted = ReadQuoted();
    text = quoted;
  } else {
    const size_t start = pos_;
    while (pos_ < bytes_.size() && bytes_[pos_] != ',' && bytes_[pos_] != '\r' &&
           bytes_[pos_] != '\n' && bytes_[pos_] != ' ') {
      ++pos_;
    }
    last_.end = pos_;
    text = std::string_view(bytes_).substr(start, pos_ - start);
    // A number ended by a blank: its delimiter is consumed when only blanks
    // stand before it; otherwise the next number on the line follows.
    if (pos_ < bytes_.size() && bytes_[pos_] == ' ') SkipBlanks();
    last_.ends_line = ConsumeDelimiter();
  }
  if (text.find_first_not_of(' ') == std::string_view::npos) {
    last_.number = Number::kEmpty;
    *out = 0;
  } else {
    last_.number = ParseDecimal(text, out) ? Number::kOk : Number::kNotANumber;
  }
  return true;
}

bool FieldReader::ReadIntegral(int64_t lo, int64_t hi, int64_t* out) {
  double v;
  if (!ReadNumber(&v)) return false;
  if (!RoundToRange(v, lo, hi, out)) {
    last_.number = Number::kOutOfRange;
    last_.lo = lo;
    last_.hi = hi;
    Keep();
    return false;
  }
  Keep();
  return true;
}

bool FieldReader::ReadInt32(int32_t* out) {
  int64_t r;
  if (!ReadIntegral(std::numeric_limits<int32_t>::min(), std::numeric_limits<int32_t>::max(), &r)) {
    return false;
  }
  *out = static_cast<int32_t>(r);
  return true;
}

bool FieldReader::ReadInt16(int16_t* out) {
  int64_t r;
  if (!ReadIntegral(-32768, 32767, &r)) return false;
  *out = static_cast<int16_t>(r);
  return true;
}

bool FieldReader::ReadUint8(uint8_t* out) {
  int64_t r;
  if (!ReadIntegral(0, 255, &r)) return false;
  *out = static_cast<uint8_t>(r);
  return true;
}

void LineAndColumn(std::string_view text, size_t offset, int* line, int* column) {
  int l = 1;
  size_t line_start = 0;
  for (size_t i = 0; i < offset && i < text.size(); ++i) {
    if (text[i] == '\n') {
      ++l;
      line_start = i + 1;
    }
  }
  *line = l;
  *column = static_cast<int>(offset - line_start) + 1;
}

LineIndex::LineIndex(std::string_view text) : size_(text.size()) {
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '\n') starts_.push_back(i + 1);
  }
}

void LineIndex::LineAndColumn(size_t offset, int* line, int* column) const {
  // The lines that start at or before the offset (a line ended at the
  // offset's own byte does not count), within the text.
  const auto after = std::upper_bound(starts_.begin(), starts_.end(), std::min(offset, size_));
  const size_t before = static_cast<size_t>(after - starts_.begin());
  *line = static_cast<int>(before) + 1;
  *column = static_cast<int>(offset - (before == 0 ? 0 : starts_[before - 1])) + 1;
}

}  // namespace scenario
