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
