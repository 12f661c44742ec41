// The Windows-1252 conversions of every text file and compiled text.
#include "model/text_encoding.h"

#include <gtest/gtest.h>

#include <string>

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

}  // namespace
}  // namespace scenario
