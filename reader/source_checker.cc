#include "reader/source_checker.h"

#include <algorithm>
#include <string_view>

#include "model/text_encoding.h"

namespace scenario {
namespace {

using Field = FieldReader::Field;

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

std::string_view Trim(std::string_view s) {
  while (!s.empty() && IsBlank(s.front())) s.remove_prefix(1);
  while (!s.empty() && IsBlank(s.back())) s.remove_suffix(1);
  return s;
}

// The length of the UTF-8 sequence of two to four bytes at `i`, or 0 when
// the bytes there are no such sequence. Windows-1252 text rarely holds one:
// a letter from C2 to F4 followed by the right number of bytes from 80 to BF.
size_t Utf8Length(std::string_view s, size_t i) {
  const auto b = [&](size_t k) { return static_cast<unsigned char>(s[k]); };
  const unsigned char c = b(i);
  size_t n;
  unsigned char lo = 0x80, hi = 0xbf;  // the range of the second byte
  if (c >= 0xc2 && c <= 0xdf) {
    n = 2;
  } else if (c >= 0xe0 && c <= 0xef) {
    n = 3;
    if (c == 0xe0) lo = 0xa0;
    if (c == 0xed) hi = 0x9f;
  } else if (c >= 0xf0 && c <= 0xf4) {
    n = 4;
    if (c == 0xf0) lo = 0x90;
    if (c == 0xf4) hi = 0x8f;
  } else {
    return 0;
  }
  if (i + n > s.size()) return 0;
  if (b(i + 1) < lo || b(i + 1) > hi) return 0;
  for (size_t k = 2; k < n; ++k) {
    if (b(i + k) < 0x80 || b(i + k) > 0xbf) return 0;
  }
  return n;
}

bool IsFieldEnd(char c) { return c == ',' || c == '\r' || c == '\n'; }

}  // namespace

SourceChecker::SourceChecker(CompileObserver* observer, SourceLocation::File file, FieldReader* in)
    : observer_(observer), file_(file), in_(in) {
  if (!active()) return;
  in_->set_keep_fields(true);
  Scan();
}

void SourceChecker::Emit(WarningEvent event) {
  // A field warning about a field that holds a tab says all the tab's
  // warning would.
  if (event.where.file == file_ && !event.where.whole_file() &&
      event.text.find('\t') != std::string::npos) {
    std::erase_if(tabs_, [&](size_t t) {
      return t >= event.where.offset && t < event.where.offset + event.text.size();
    });
  }
  observer_->OnWarning(event);
}

void SourceChecker::EmitWhole(SourceWarning kind) {
  WarningEvent e;
  e.kind = kind;
  e.where = SourceLocation{file_, SourceLocation::kWholeFile};
  Emit(e);
}

void SourceChecker::Scan() {
  const std::string_view s = in_->bytes();
  bool blank = true;
  bool tab_seen = false, utf8_seen = false;  // on the current line
  for (size_t i = 0; i < s.size(); ++i) {
    const char c = s[i];
    if (c == '\n') {
      tab_seen = utf8_seen = false;
      continue;
    }
    if (c != ' ' && c != '\r' && c != '\t') blank = false;
    if (c == '\t' && !tab_seen) {
      tab_seen = true;
      tabs_.push_back(i);  // told at the end, unless a field warning tells it
    }
    const size_t n = utf8_seen ? 0 : Utf8Length(s, i);
    if (n > 0) {
      utf8_seen = true;
      // The field that holds it, without its blanks.
      size_t from = i, to = i + n;
      while (from > 0 && !IsFieldEnd(s[from - 1])) --from;
      while (to < s.size() && !IsFieldEnd(s[to])) ++to;
      WarningEvent e;
      e.kind = SourceWarning::kUtf8;
      e.where = At(i);
      e.text = std::string(Trim(s.substr(from, to - from)));
      Emit(e);
      i += n - 1;
    }
  }
  if (blank) {
    empty_ = true;
    EmitWhole(SourceWarning::kEmptySource);
  }
}

bool SourceChecker::AtLineStart(size_t offset) const {
  const std::string_view s = in_->bytes();
  while (offset > 0 && s[offset - 1] == ' ') --offset;
  return offset == 0 || s[offset - 1] == '\n' || s[offset - 1] == '\r';
}

size_t SourceChecker::LineEnd(size_t offset) const {
  // The records of one long line ask for its end one after the other: the
  // end found last serves every offset between where that search began and
  // the end, so the line is walked once.
  if (offset >= line_end_from_ && offset <= line_end_) return line_end_;
  const std::string_view s = in_->bytes();
  size_t end = offset;
  while (end < s.size() && s[end] != '\r' && s[end] != '\n') ++end;
  line_end_from_ = offset;
  line_end_ = end;
  return end;
}

std::string SourceChecker::Text(const Field& f) const {
  return std::string(in_->bytes().substr(f.offset, f.end - f.offset));
}

size_t SourceChecker::Expected() const {
  size_t n = 0;
  for (const RecordFormat* r : matched_) n += r->fields.size();
  return n;
}

const FieldFormat* SourceChecker::FieldAt(size_t i) const {
  for (const RecordFormat* r : matched_) {
    if (i < r->fields.size()) return &r->fields[i];
    i -= r->fields.size();
  }
  return nullptr;
}

void SourceChecker::FoundGenerale() {
  if (!active()) return;
  generale_found_ = true;
  const std::vector<Field>& fields = in_->fields();
  // Everything before the field that holds "[generale]" is passed over.
  for (size_t i = 0; i + 1 < fields.size(); ++i) {
    if (Trim(Text(fields[i])).empty()) continue;
    WarningEvent e;
    e.kind = SourceWarning::kBeforeGenerale;
    e.where = At(fields[i].offset);
    e.text = Text(fields[i]);
    Emit(e);
    break;
  }
  in_->ClearFields();
  has_record_ = false;
}

void SourceChecker::Keyword(const std::string& campo, const SourceLocation& record) {
  if (!active()) return;
  const std::vector<Field>& fields = in_->fields();
  if (fields.empty()) return;  // cannot happen: the keyword field was just read
  const Field keyword = fields.back();
  CheckRecord(std::span<const Field>(fields.data(), fields.size() - 1));
  in_->ClearFields();
  has_record_ = true;
  keyword_field_ = keyword;
  keyword_ = campo;
  record_ = record;
  matched_.clear();
  known_ = false;
}

void SourceChecker::Matched(const RecordFormat& format) {
  if (!active()) return;
  matched_.push_back(&format);
  if (&format == &formats::kStazione) ++stations_;
  if (&format == &formats::kSegnale) ++signals_;
}

void SourceChecker::CheckRecord(std::span<const Field> fields) {
  if (!has_record_) return;
  const Field& kw = keyword_field_;
  size_t values = 0;
  if (matched_.empty()) {
    const std::string_view text = Trim(keyword_);
    if (!known_ && !text.empty() && AtLineStart(kw.offset)) {
      const std::string lower = Cp1252ToLower(text);
      // No record: the field is no keyword.
      WarningEvent e;
      e.where = record_;
      e.text = keyword_;
      if (lower.front() == '[' && lower.back() == ']') {
        const auto sections =
            file_ == SourceLocation::File::kLine ? LineSections() : TrainSections();
        const bool known = std::any_of(sections.begin(), sections.end(),
                                       [&](const char* s) { return lower == s; });
        e.kind = SourceWarning::kUnknownSection;
        if (!known) Emit(e);
      } else {
        e.kind = SourceWarning::kUnknownField;
        if (in_generale_) e.keyword = "[generale]";
        Emit(e);
      }
    }
  } else {
    const size_t expected = Expected();
    values = std::min(fields.size(), expected);
    int32_t on_line = 0;
    for (size_t i = 0; i < values; ++i) on_line += fields[i].line == kw.line;
    std::string names;
    for (const RecordFormat* r : matched_)
      names += (names.empty() ? "" : " e ") + std::string(r->name);
    const std::string lower = Cp1252ToLower(Trim(keyword_));
    const auto& forms = matched_[0]->forms;
    const bool clean =
        matched_.size() == 1 &&
        std::any_of(forms.begin(), forms.end(), [&](const char* f) { return lower == f; });
    const bool complete = values == expected;
    const bool runs_on = complete && values > 0 && fields[values - 1].line > kw.line;
    if (!clean) {
      WarningEvent e;
      e.kind = SourceWarning::kKeywordInText;
      e.where = record_;
      e.record = record_;
      e.text = keyword_;
      e.keyword = names;
      e.on_line = on_line;
      e.expected = static_cast<int32_t>(expected);
      Emit(e);
    }
    for (size_t i = 0; i < values; ++i) {
      const Field& f = fields[i];
      if (f.line != kw.line) continue;  // taken from a later line: said below
      const FieldFormat* format = FieldAt(i);
      const bool empty = f.number == FieldReader::Number::kEmpty && !format->empty_ok;
      if (!empty && f.number != FieldReader::Number::kNotANumber) continue;
      WarningEvent e;
      e.kind = empty ? SourceWarning::kEmptyNumber : SourceWarning::kNotANumber;
      e.where = At(f.offset);
      e.record = record_;
      e.text = Text(f);
      e.keyword = names;
      e.field = format->name;
      Emit(e);
    }
    if (runs_on && clean) {
      WarningEvent e;
      e.kind = SourceWarning::kFieldsFromNextLine;
      e.where = At(LineEnd(kw.offset));
      e.record = record_;
      e.keyword = names;
      e.on_line = on_line;
      e.expected = static_cast<int32_t>(expected);
      Emit(e);
    } else if (complete && !runs_on && !fields[values - 1].ends_line) {
      // What follows the last value field on its line, past its delimiter.
      const std::string_view s = in_->bytes();
      const size_t end = LineEnd(fields[values - 1].end);
      size_t i = fields[values - 1].end;
      while (i < end && s[i] == ' ') ++i;
      if (i < end && s[i] == ',') ++i;
      while (i < end && (s[i] == ' ' || s[i] == ',' || s[i] == '\t')) ++i;
      // Told once a line: the records that follow on a line already told
      // would only repeat it.
      if (i < end && end != extra_told_at_) {
        extra_told_at_ = end;
        WarningEvent e;
        e.kind = SourceWarning::kExtraFields;
        e.where = At(i);
        e.record = record_;
        // Only the start of the rest is quoted: every record of a long line
        // would otherwise hold the rest of that line.
        const std::string_view rest = Trim(s.substr(i, end - i));
        e.text = rest.size() <= kQuotedRest ? std::string(rest)
                                            : std::string(rest.substr(0, kQuotedRest)) + "...";
        e.keyword = names;
        e.expected = static_cast<int32_t>(expected);
        Emit(e);
      }
    }
  }
  // Fields passed over because they contain "-", at the start of a line.
  // (At the end of the file the last field is read but never examined.)
  for (size_t i = values; i < fields.size(); ++i) {
    const std::string text = Text(fields[i]);
    if (text.find('-') == std::string::npos || !AtLineStart(fields[i].offset)) continue;
    WarningEvent e;
    e.kind = SourceWarning::kUnknownField;
    e.where = At(fields[i].offset);
    e.text = Text(fields[i]);
    Emit(e);
  }
  has_record_ = false;
}

void SourceChecker::Finish(bool read_to_end) {
  if (!active()) return;
  CheckRecord(in_->fields());
  for (size_t t : tabs_) {
    WarningEvent e;
    e.kind = SourceWarning::kTab;
    e.where = At(t);
    Emit(e);
  }
  tabs_.clear();
  if (file_ != SourceLocation::File::kTrain || empty_) return;
  if (!generale_found_) {
    // The first field that looks like a section header may be the one
    // meant; all the file's fields were read looking for "[generale]".
    WarningEvent e;
    e.kind = SourceWarning::kNoGenerale;
    e.where = SourceLocation{file_, SourceLocation::kWholeFile};
    for (const Field& f : in_->fields()) {
      const std::string whole = Text(f);  // the view below points into it
      const std::string_view text = Trim(whole);
      if (text.size() > 1 && text.front() == '[' && text.back() == ']') {
        e.record = At(f.offset);
        e.text = std::string(text);
        break;
      }
    }
    Emit(e);
  } else if (read_to_end) {
    if (stations_ == 0) EmitWhole(SourceWarning::kNoStation);
    if (signals_ == 0) EmitWhole(SourceWarning::kNoSignal);
  }
  in_->ClearFields();
}

FaultCause SourceChecker::ReadFault() const {
  FaultCause cause;
  if (!active() || !has_record_) return cause;
  const Field& last = in_->last_field();
  const size_t read = in_->fields().size();
  if (last.nothing_left) {
    cause.kind = FaultCause::Kind::kCutShort;
    cause.field = At(last.offset);
    cause.read = static_cast<int32_t>(std::min(read, Expected()));
    cause.expected = static_cast<int32_t>(Expected());
  } else if (last.number == FieldReader::Number::kOutOfRange && read > 0) {
    const FieldFormat* format = FieldAt(read - 1);
    cause.kind = FaultCause::Kind::kValue;
    cause.field = At(last.offset);
    cause.name = format != nullptr ? format->name : "";
    cause.value = Text(last);
    cause.lo = last.lo;
    cause.hi = last.hi;
  }
  return cause;
}

SourceLocation SourceChecker::FieldNamed(const std::string& name) const {
  if (!active() || !has_record_) return SourceLocation{};
  const std::vector<Field>& fields = in_->fields();
  for (size_t i = 0; i < fields.size(); ++i) {
    const FieldFormat* f = FieldAt(i);
    if (f != nullptr && name == f->name) return At(fields[i].offset);
  }
  return SourceLocation{};
}

}  // namespace scenario
