// The Windows-1252 conversions of every text file and compiled text.
#include "model/text_encoding.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace scenario {
namespace {

TEST(TextEncoding, Windows1252) {
  std::string out;
  EXPECT_TRUE(Utf8ToCp1252("àèòÀ€", &out));
  EXPECT_EQ("\xE0\xE8\xF2\xC0\x80", out);
  EXPECT_FALSE(Utf8ToCp1252("Ω", &out));  // not in the code page
  EXPECT_EQ("?", out);
  EXPECT_EQ("àèò€", Cp1252ToUtf8("\xE0\xE8\xF2\x80"));
  EXPECT_EQ(
      "\xE0"
      "bc\xF7",
      Cp1252ToLower("\xC0"
                    "Bc\xF7"));
  EXPECT_EQ("\xD7", Cp1252ToLower("\xD7"));  // the multiplication sign has no small form
  EXPECT_TRUE(ContainsNoCase("VELOCIT\xC0", "velocit\xE0"));
}

// Text as it comes: ASCII runs around characters of the code page, and what
// the code page lacks or malformed UTF-8 as '?', each in its place.
TEST(TextEncoding, Utf8ToCp1252KeepsEverythingInItsPlace) {
  struct Case {
    std::string utf8;
    std::string cp1252;
    bool ok;
  };
  const Case kCases[] = {
      {"", "", true},
      {"plain ASCII, 0-9 \x01\x7F", "plain ASCII, 0-9 \x01\x7F", true},
      {"CAFFÈ con l'àncora",
       "CAFF\xC8 con l'\xE0"
       "ncora",
       true},
      {"€uro e Ÿ",
       "\x80"
       "uro e \x9F",
       true},
      {"a\xCE\xA9"
       "b",
       "a?b", false},          // Ω
      {"a\xC3", "a?", false},  // cut short at the end
      {"a\xC3"
       "zb",
       "a?zb", false},  // a continuation byte missing
      {"\xFF"
       "x\x80"
       "y",
       "?x?y", false},                     // bytes that start nothing
      {"\xF0\x9F\x98\x80!", "?!", false},  // four bytes, outside the code page
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.utf8);
    std::string out = "stale";
    EXPECT_EQ(c.ok, Utf8ToCp1252(c.utf8, &out));
    EXPECT_EQ(c.cp1252, out);
  }
}

// Every byte: the capitals of the code page become small, nothing else
// changes.
TEST(TextEncoding, LowerCaseOfEveryByte) {
  for (int b = 0; b < 256; ++b) {
    int expected = b;
    if (b >= 'A' && b <= 'Z') expected = b + 32;
    if (b >= 0xC0 && b <= 0xDE && b != 0xD7) expected = b + 32;  // À to Þ, not ×
    if (b == 0x8A) expected = 0x9A;                              // Š
    if (b == 0x8C) expected = 0x9C;                              // Œ
    if (b == 0x8E) expected = 0x9E;                              // Ž
    if (b == 0x9F) expected = 0xFF;                              // Ÿ
    EXPECT_EQ(static_cast<char>(expected), Cp1252ToLower(static_cast<char>(b))) << b;
  }
}

TEST(TextEncoding, ContainsNoCase) {
  struct Case {
    const char* text;
    const char* word;
    bool found;
  };
  static const Case kCases[] = {
      {"", "", true},
      {"abc", "", true},
      {"", "a", false},
      {"ab", "abc", false},
      {"Lunghezza Percorso", "percorso", true},
      {"ppendenza", "pendenza", true},  // a partial match just before it
      {"abababc", "ababc", true},
      {"curvaD4", "curvad", true},
      {"curv", "curva", false},
      {"STAZIONE", "stazion", true},
      {"\xC0\xC8", "\xE0\xE8", true},
      {"velocita", "velocit\xE0", false},
      {"LUNGHEZZA PERCORSO", "Lunghezza", true},
      {"[curve]", "curva", false},
      {"indicat", "indicatori_v", false},
      {"\x8A\xC0", "\x9A\xE0", true},  // Š À
      {"\xD7", "\xF7", false},         // × and ÷ are no pair
  };
  for (const Case& c : kCases) {
    EXPECT_EQ(c.found, ContainsNoCase(c.text, c.word)) << c.text << " / " << c.word;
  }
}

// Every text up to 5 letters and word up to 3 from a small alphabet with
// capitals and accented letters: the same answer as lower-casing both and
// searching.
TEST(TextEncoding, ContainsNoCaseAgreesWithLowerCaseSearch) {
  static const char kLetters[] = {'a', 'A', 'b', '\xC0', '\xE0'};
  std::vector<std::string> strings = {""};
  for (size_t begin = 0, length = 1; length <= 5; ++length) {
    const size_t end = strings.size();
    for (size_t i = begin; i < end; ++i) {
      for (char c : kLetters) strings.push_back(strings[i] + c);
    }
    begin = end;
  }
  for (const std::string& text : strings) {
    for (const std::string& word : strings) {
      if (word.size() > 3) break;
      const bool expected = Cp1252ToLower(text).find(Cp1252ToLower(word)) != std::string::npos;
      ASSERT_EQ(expected, ContainsNoCase(text, word)) << text << " / " << word;
    }
  }
}

}  // namespace
}  // namespace scenario
