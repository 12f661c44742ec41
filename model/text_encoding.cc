#include "model/text_encoding.h"

#include <array>
#include <cstdint>

namespace scenario {
namespace {

// Code points of the bytes 0x80 to 0x9F; 0 where the code page has none.
constexpr uint16_t kHigh[32] = {
    0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0,      0x017D, 0,
    0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178};

int EncodeCodePoint(uint32_t cp) {
  if (cp < 0x80 || (cp >= 0xA0 && cp <= 0xFF)) return static_cast<int>(cp);
  for (int i = 0; i < 32; ++i) {
    if (kHigh[i] != 0 && kHigh[i] == cp) return 0x80 + i;
  }
  return -1;
}

// The lower case of every byte: A-Z and the accented capitals (but not the
// multiplication sign 0xD7), and Š, Œ, Ž, Ÿ, become their small letters.
constexpr std::array<unsigned char, 256> MakeLowerTable() {
  std::array<unsigned char, 256> table{};
  for (int b = 0; b < 256; ++b) {
    int lower = b;
    if ((b >= 'A' && b <= 'Z') || (b >= 0xC0 && b <= 0xDE && b != 0xD7)) lower = b + 32;
    if (b == 0x8A || b == 0x8C || b == 0x8E) lower = b + 0x10;  // Š Œ Ž
    if (b == 0x9F) lower = 0xFF;                                // Ÿ
    table[b] = static_cast<unsigned char>(lower);
  }
  return table;
}
constexpr std::array<unsigned char, 256> kLower = MakeLowerTable();

void AppendUtf8(uint32_t cp, std::string* out) {
  if (cp < 0x80) {
    out->push_back(static_cast<char>(cp));
  } else if (cp < 0x800) {
    out->push_back(static_cast<char>(0xC0 | (cp >> 6)));
    out->push_back(static_cast<char>(0x80 | (cp & 0x3F)));
  } else {
    out->push_back(static_cast<char>(0xE0 | (cp >> 12)));
    out->push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
    out->push_back(static_cast<char>(0x80 | (cp & 0x3F)));
  }
}

}  // namespace

bool Utf8ToCp1252(std::string_view utf8, std::string* out) {
  out->clear();
  out->reserve(utf8.size());
  bool ok = true;
  size_t i = 0;
  while (i < utf8.size()) {
    // Plain ASCII, nearly all of every text, is the same in both.
    size_t ascii_end = i;
    while (ascii_end < utf8.size() && static_cast<unsigned char>(utf8[ascii_end]) < 0x80) {
      ++ascii_end;
    }
    out->append(utf8.data() + i, ascii_end - i);
    i = ascii_end;
    if (i == utf8.size()) break;
    const unsigned char b = static_cast<unsigned char>(utf8[i]);
    uint32_t cp;
    size_t len;
    if (b < 0x80) {
      cp = b, len = 1;
    } else if ((b & 0xE0) == 0xC0) {
      cp = b & 0x1F, len = 2;
    } else if ((b & 0xF0) == 0xE0) {
      cp = b & 0x0F, len = 3;
    } else if ((b & 0xF8) == 0xF0) {
      cp = b & 0x07, len = 4;
    } else {
      out->push_back('?');
      ok = false;
      ++i;
      continue;
    }
    bool good = i + len <= utf8.size();
    for (size_t k = 1; good && k < len; ++k) {
      const unsigned char c = static_cast<unsigned char>(utf8[i + k]);
      if ((c & 0xC0) != 0x80) good = false;
      cp = (cp << 6) | (c & 0x3F);
    }
    if (!good) {
      out->push_back('?');
      ok = false;
      ++i;
      continue;
    }
    const int byte = EncodeCodePoint(cp);
    if (byte < 0) {
      out->push_back('?');
      ok = false;
    } else {
      out->push_back(static_cast<char>(byte));
    }
    i += len;
  }
  return ok;
}

std::string Cp1252ToUtf8(std::string_view cp1252) {
  std::string out;
  for (char ch : cp1252) {
    const unsigned char b = static_cast<unsigned char>(ch);
    if (b < 0x80) {
      out.push_back(ch);
    } else if (b < 0xA0) {
      AppendUtf8(kHigh[b - 0x80] != 0 ? kHigh[b - 0x80] : 0xFFFD, &out);
    } else {
      AppendUtf8(b, &out);
    }
  }
  return out;
}

char Cp1252ToLower(char c) { return static_cast<char>(kLower[static_cast<unsigned char>(c)]); }

std::string Cp1252ToLower(std::string_view text) {
  std::string out(text);
  for (char& c : out) c = Cp1252ToLower(c);
  return out;
}

bool ContainsNoCase(std::string_view text, std::string_view word) {
  if (word.size() > text.size()) return false;
  auto lower = [](char c) { return kLower[static_cast<unsigned char>(c)]; };
  for (size_t start = 0; start + word.size() <= text.size(); ++start) {
    size_t k = 0;
    while (k < word.size() && lower(text[start + k]) == lower(word[k])) ++k;
    if (k == word.size()) return true;
  }
  return false;
}

}  // namespace scenario
