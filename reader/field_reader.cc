#include "reader/field_reader.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <limits>

#include "model/cells.h"

namespace scenario {

double ParseDecimal(std::string_view text) {
  if (text.empty()) return 0;
  for (char c : text) {
    const bool ok = (c >= '0' && c <= '9') || c == '.' || c == '+' || c == '-' || c == 'e' ||
                    c == 'E';
    if (!ok) return 0;
  }
  bool negative = false;
  if (text[0] == '+' || text[0] == '-') {
    negative = text[0] == '-';
    text.remove_prefix(1);
  }
  if (text.empty() || !((text[0] >= '0' && text[0] <= '9') || text[0] == '.')) return 0;
  double v = 0;
  auto [ptr, ec] = std::from_chars(text.data(), text.data() + text.size(), v,
                                   std::chars_format::general);
  if (ptr != text.data() + text.size()) return 0;
  if (ec == std::errc::result_out_of_range) {
    // Too large becomes infinity, which no target accepts; too small is 0.
    const size_t e = text.find_first_of("eE");
    const bool tiny = e != std::string_view::npos && e + 1 < text.size() && text[e + 1] == '-';
    v = tiny ? 0 : std::numeric_limits<double>::infinity();
  } else if (ec != std::errc()) {
    return 0;
  }
  return negative ? -v : v;
}

void FieldReader::SkipBlanks() {
  while (pos_ < bytes_.size() && bytes_[pos_] == ' ') ++pos_;
}

void FieldReader::ConsumeDelimiter() {
  if (pos_ >= bytes_.size()) return;
  if (bytes_[pos_] == ',') {
    ++pos_;
  } else if (bytes_[pos_] == '\r') {
    ++pos_;
    if (pos_ < bytes_.size() && bytes_[pos_] == '\n') ++pos_;
  } else if (bytes_[pos_] == '\n') {
    ++pos_;
  }
}

std::string FieldReader::ReadQuoted() {
  ++pos_;  // opening quote
  const size_t close = bytes_.find('"', pos_);
  const size_t end = close == std::string::npos ? bytes_.size() : close;
  std::string value = bytes_.substr(pos_, end - pos_);
  pos_ = close == std::string::npos ? end : end + 1;
  // Whatever stands between the closing quote and the delimiter is dropped.
  while (pos_ < bytes_.size() && bytes_[pos_] != ',' && bytes_[pos_] != '\r' &&
         bytes_[pos_] != '\n') {
    ++pos_;
  }
  ConsumeDelimiter();
  return value;
}

bool FieldReader::ReadText(std::string* out) {
  if (AtEnd()) return false;
  SkipBlanks();
  field_offset_ = pos_;
  if (pos_ < bytes_.size() && bytes_[pos_] == '"') {
    *out = ReadQuoted();
    return true;
  }
  const size_t start = pos_;
  while (pos_ < bytes_.size() && bytes_[pos_] != ',' && bytes_[pos_] != '\r' &&
         bytes_[pos_] != '\n') {
    ++pos_;
  }
  out->assign(bytes_, start, pos_ - start);
  ConsumeDelimiter();
  return true;
}

bool FieldReader::ReadNumber(double* out) {
  if (AtEnd()) return false;
  SkipBlanks();
  field_offset_ = pos_;
  if (pos_ < bytes_.size() && bytes_[pos_] == '"') {
    *out = ParseDecimal(ReadQuoted());
    return true;
  }
  const size_t start = pos_;
  while (pos_ < bytes_.size() && bytes_[pos_] != ',' && bytes_[pos_] != '\r' &&
         bytes_[pos_] != '\n' && bytes_[pos_] != ' ') {
    ++pos_;
  }
  *out = ParseDecimal(std::string_view(bytes_).substr(start, pos_ - start));
  if (pos_ < bytes_.size() && bytes_[pos_] == ' ') {
    // A number ended by a blank: its delimiter is consumed when only blanks
    // stand before it; otherwise the next number on the line follows.
    SkipBlanks();
  }
  ConsumeDelimiter();
  return true;
}

bool FieldReader::ReadInt32(int32_t* out) {
  double v;
  int64_t r;
  if (!ReadNumber(&v) ||
      !RoundToRange(v, std::numeric_limits<int32_t>::min(), std::numeric_limits<int32_t>::max(),
                    &r)) {
    return false;
  }
  *out = static_cast<int32_t>(r);
  return true;
}

bool FieldReader::ReadInt16(int16_t* out) {
  double v;
  int64_t r;
  if (!ReadNumber(&v) || !RoundToRange(v, -32768, 32767, &r)) return false;
  *out = static_cast<int16_t>(r);
  return true;
}

bool FieldReader::ReadUint8(uint8_t* out) {
  double v;
  int64_t r;
  if (!ReadNumber(&v) || !RoundToRange(v, 0, 255, &r)) return false;
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
