#include "reader/field_reader.h"

#include <gtest/gtest.h>

#include <clocale>
#include <limits>
#include <string>
#include <vector>

namespace scenario {
namespace {

std::vector<std::string> AllTexts(const std::string& bytes) {
  FieldReader in(bytes);
  std::vector<std::string> out;
  std::string f;
  while (!in.AtEnd()) {
    EXPECT_TRUE(in.ReadText(&f));
    out.push_back(f);
  }
  return out;
}

TEST(FieldReader, TextFieldsEndAtCommaOrLineEnd) {
  struct Case {
    const char* bytes;
    std::vector<std::string> fields;
  };
  const Case kCases[] = {
      {"a,b\r\nc\r\n", {"a", "b", "c"}},
      {"   lunghezza percorso,    99000\r\n", {"lunghezza percorso", "99000"}},
      // Inner blanks and dashes stay in a text field.
      {"stazione, LASTRIO PORTA SOLIA\r\n", {"stazione", "LASTRIO PORTA SOLIA"}},
      {"x, BIVIO-NORD\r\n", {"x", "BIVIO-NORD"}},
      // An empty line is one empty field.
      {"\r\n[fine]\r\n", {"", "[fine]"}},
      {"[fine]\r\n\r\n", {"[fine]", ""}},
      // Blank-only fields between commas are empty.
      {"a,  ,  ,b\r\n", {"a", "", "", "b"}},
      // Quoted fields may hold commas; the quotes are dropped.
      {"\"(A,B)\",c\r\n", {"(A,B)", "c"}},
      {"  \"x\"  ,y\r\n", {"x", "y"}},
      // Lines ended by a bare LF or a last line without an end.
      {"a\nb", {"a", "b"}},
  };
  for (const Case& c : kCases) EXPECT_EQ(c.fields, AllTexts(c.bytes)) << c.bytes;
}

TEST(FieldReader, AtEndOnlyWhenNothingIsLeft) {
  FieldReader in("[fine]\r\n");
  std::string f;
  ASSERT_TRUE(in.ReadText(&f));
  EXPECT_EQ("[fine]", f);
  EXPECT_TRUE(in.AtEnd());  // the CR LF went with the field
  EXPECT_FALSE(in.ReadText(&f));  // asking past the end is a fault

  FieldReader two("[fine]\r\n\r\n");
  ASSERT_TRUE(two.ReadText(&f));
  EXPECT_FALSE(two.AtEnd());
  ASSERT_TRUE(two.ReadText(&f));
  EXPECT_EQ("", f);
  EXPECT_TRUE(two.AtEnd());

  FieldReader empty("");
  int32_t v;
  EXPECT_TRUE(empty.AtEnd());
  EXPECT_FALSE(empty.ReadInt32(&v));
}

TEST(FieldReader, NumbersAlsoEndAtABlank) {
  // The clock record: three numbers in one comma field, and a trailing blank.
  FieldReader in("orologio,    1               53            0 \r\nsabbia,    300\r\n");
  std::string keyword;
  int16_t h, m, s, sand;
  ASSERT_TRUE(in.ReadText(&keyword));
  ASSERT_TRUE(in.ReadInt16(&h));
  ASSERT_TRUE(in.ReadInt16(&m));
  ASSERT_TRUE(in.ReadInt16(&s));
  EXPECT_EQ(1, h);
  EXPECT_EQ(53, m);
  EXPECT_EQ(0, s);
  ASSERT_TRUE(in.ReadText(&keyword));
  EXPECT_EQ("sabbia", keyword);
  ASSERT_TRUE(in.ReadInt16(&sand));
  EXPECT_EQ(300, sand);
  EXPECT_TRUE(in.AtEnd());
}

TEST(FieldReader, NumberConversion) {
  struct Case {
    const char* field;
    bool ok;
    int32_t value;
  };
  const Case kCases[] = {
      {"99000", true, 99000},
      {"-12", true, -12},
      {"+7", true, 7},
      {"", true, 0},        // empty field
      {"abc", true, 0},     // not a number
      {"12abc", true, 0},   // not a number either
      {"inf", true, 0},
      {"0.5", true, 0},     // halves go to the even neighbour
      {"1.5", true, 2},
      {"2.5", true, 2},
      {"-1.5", true, -2},
      {"1550.5", true, 1550},
      {"1551.5", true, 1552},
      {"1e3", true, 1000},
      {"\"250\"", true, 250},
      {"2147483647", true, 2147483647},
      {"-2147483648", true, std::numeric_limits<int32_t>::min()},
      {"2147483648", false, 0},  // does not fit: a fault
      {"1e400", false, 0},
      {"1e-400", true, 0},
  };
  for (const Case& c : kCases) {
    FieldReader in(std::string(c.field) + "\r\n");
    int32_t v = -999;
    EXPECT_EQ(c.ok, in.ReadInt32(&v)) << c.field;
    if (c.ok) {
      EXPECT_EQ(c.value, v) << c.field;
    }
  }
}

TEST(FieldReader, NarrowTargetsRejectValuesThatDoNotFit) {
  struct Case {
    const char* field;
    bool int16_ok;
    bool uint8_ok;
  };
  const Case kCases[] = {
      {"255", true, true},   {"256", true, false},    {"300", true, false},
      {"-1", true, false},   {"32767", true, false},  {"40000", false, false},
      {"-32768", true, false}, {"-32769", false, false},
  };
  for (const Case& c : kCases) {
    int16_t i16;
    uint8_t u8;
    FieldReader a(c.field), b(c.field);
    EXPECT_EQ(c.int16_ok, a.ReadInt16(&i16)) << c.field;
    EXPECT_EQ(c.uint8_ok, b.ReadUint8(&u8)) << c.field;
  }
}

TEST(FieldReader, NumbersIgnoreTheLocale) {
  // A locale whose decimal separator is a comma must not change anything.
  const char* old = std::setlocale(LC_NUMERIC, nullptr);
  std::string saved = old ? old : "C";
  std::setlocale(LC_NUMERIC, "it_IT.UTF-8");
  EXPECT_DOUBLE_EQ(2.5, ParseDecimal("2.5"));
  EXPECT_DOUBLE_EQ(0, ParseDecimal("2,5"));
  std::setlocale(LC_NUMERIC, saved.c_str());
}

// Where each field stood and how it read: the checks of the tool build on it.
TEST(FieldReader, TellsWhereEachFieldStoodAndHowItRead) {
  using Number = FieldReader::Number;
  FieldReader in("velocita,  750, 65 5\r\nx,  , 1 7x,\t2\r\n\"12\",3000000000");
  in.set_keep_fields(true);
  std::string text;
  int32_t v;
  ASSERT_TRUE(in.ReadText(&text));
  for (int i = 0; i < 3; ++i) ASSERT_TRUE(in.ReadInt32(&v));  // 750, 65, 5
  ASSERT_TRUE(in.ReadText(&text));                            // x
  for (int i = 0; i < 4; ++i) ASSERT_TRUE(in.ReadInt32(&v));  // (empty), 1, 7x, \t2
  ASSERT_TRUE(in.ReadInt32(&v));                              // "12"
  EXPECT_FALSE(in.ReadInt32(&v));                             // too large
  EXPECT_FALSE(in.ReadInt32(&v));                             // nothing left

  struct Expected {
    size_t offset, end;
    int64_t line;
    bool ends_line;
    Number number;
  };
  const Expected kExpected[] = {
      {0, 8, 0, false, Number::kText},        {11, 14, 0, false, Number::kOk},
      {16, 18, 0, false, Number::kOk},        {19, 20, 0, true, Number::kOk},
      {22, 23, 1, false, Number::kText},      {26, 26, 1, false, Number::kEmpty},
      {28, 29, 1, false, Number::kOk},        {30, 32, 1, false, Number::kNotANumber},
      {33, 35, 1, true, Number::kNotANumber}, {37, 41, 2, false, Number::kOk},
      {42, 52, 2, true, Number::kOutOfRange},
  };
  const std::vector<FieldReader::Field>& fields = in.fields();
  ASSERT_EQ(std::size(kExpected), fields.size());
  for (size_t i = 0; i < fields.size(); ++i) {
    SCOPED_TRACE(i);
    EXPECT_EQ(kExpected[i].offset, fields[i].offset);
    EXPECT_EQ(kExpected[i].end, fields[i].end);
    EXPECT_EQ(kExpected[i].line, fields[i].line);
    EXPECT_EQ(kExpected[i].ends_line, fields[i].ends_line);
    EXPECT_EQ(kExpected[i].number, fields[i].number);
    EXPECT_FALSE(fields[i].nothing_left);
  }
  EXPECT_EQ(std::numeric_limits<int32_t>::min(), fields.back().lo);
  EXPECT_EQ(std::numeric_limits<int32_t>::max(), fields.back().hi);
  // The failed read past the end is the last field, and is not kept.
  EXPECT_TRUE(in.last_field().nothing_left);
  EXPECT_EQ(in.bytes().size(), in.last_field().offset);

  in.ClearFields();
  EXPECT_TRUE(in.fields().empty());
  FieldReader quiet("a,b\r\n");
  ASSERT_TRUE(quiet.ReadText(&text));
  EXPECT_TRUE(quiet.fields().empty());  // nothing kept unless asked
  EXPECT_EQ(0u, quiet.last_field().offset);
  EXPECT_EQ(1u, quiet.last_field().end);
}

TEST(FieldReader, ParseDecimalSaysWhetherItWasANumber) {
  double v = -1;
  EXPECT_TRUE(ParseDecimal("12.5", &v));
  EXPECT_DOUBLE_EQ(12.5, v);
  for (const char* text : {"", "12,5", "abc", "1 2", "\t3", "-", "."}) {
    EXPECT_FALSE(ParseDecimal(text, &v)) << text;
    EXPECT_EQ(0, v) << text;
  }
}

TEST(FieldReader, FieldOffsetPointsPastTheBlanks) {
  FieldReader in("ab,   cd\r\n");
  std::string f;
  ASSERT_TRUE(in.ReadText(&f));
  EXPECT_EQ(0u, in.field_offset());
  ASSERT_TRUE(in.ReadText(&f));
  EXPECT_EQ(6u, in.field_offset());
}

TEST(FieldReader, LineAndColumn) {
  const std::string text = "ab\r\ncd, ef\r\n";
  int line, col;
  LineAndColumn(text, 0, &line, &col);
  EXPECT_EQ(1, line);
  EXPECT_EQ(1, col);
  LineAndColumn(text, 8, &line, &col);
  EXPECT_EQ(2, line);
  EXPECT_EQ(5, col);
}

// The index gives what LineAndColumn gives, at every offset and past the end.
TEST(FieldReader, LineIndexAgreesWithLineAndColumn) {
  static const char* const kTexts[] = {"", "ab", "\n", "\n\n", "ab\r\ncd, ef\r\n", "a\nb\r\n\r\nc"};
  for (const std::string text : kTexts) {
    const LineIndex index(text);
    for (size_t offset = 0; offset <= text.size() + 2; ++offset) {
      int line, col, index_line, index_col;
      LineAndColumn(text, offset, &line, &col);
      index.LineAndColumn(offset, &index_line, &index_col);
      EXPECT_EQ(line, index_line) << "text \"" << text << "\" offset " << offset;
      EXPECT_EQ(col, index_col) << "text \"" << text << "\" offset " << offset;
    }
  }
}

}  // namespace
}  // namespace scenario
