// The built-in scenario as data: the exact lines of the two sources and the
// three documents, the rules their rows follow, and that the scenario
// compiles with every record in a cell of its own.
#include <gtest/gtest.h>

#include <algorithm>
#include <charconv>
#include <cstdint>
#include <cstdlib>
#include <iterator>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <string_view>
#include <vector>

#include "content/builtin.h"
#include "model/cells.h"
#include "model/track_model.h"
#include "test_util.h"

namespace scenario {
namespace {

// ---------------------------------------------------------------------------
// Helpers

// The rows under `header`, up to the next line that opens a section.
std::vector<std::string> Section(const std::vector<std::string>& lines, const std::string& header) {
  std::vector<std::string> rows;
  auto it = std::find(lines.begin(), lines.end(), header);
  if (it == lines.end()) {
    ADD_FAILURE() << "no section " << header;
    return rows;
  }
  // The train source ends in an empty line.
  for (++it; it != lines.end() && !it->empty() && (*it)[0] != '['; ++it) rows.push_back(*it);
  return rows;
}

// The comma-separated fields of a row, blanks kept.
std::vector<std::string> RawFields(const std::string& row) {
  std::vector<std::string> fields;
  size_t start = 0;
  for (;;) {
    size_t comma = row.find(',', start);
    fields.push_back(
        row.substr(start, comma == std::string::npos ? std::string::npos : comma - start));
    if (comma == std::string::npos) return fields;
    start = comma + 1;
  }
}

// The value fields of a row (after its keyword) as numbers; a field that is
// empty or not a number (a board text, a station name) gives nullopt.
std::vector<std::optional<int>> Values(const std::string& row) {
  std::vector<std::optional<int>> values;
  std::vector<std::string> fields = RawFields(row);
  for (size_t i = 1; i < fields.size(); ++i) {
    const std::string& f = fields[i];
    const char* begin = f.data() + std::min(f.size(), f.find_first_not_of(' '));
    const char* end = f.data() + f.size();
    int v = 0;
    auto [stop, ec] = std::from_chars(begin, end, v);
    if (begin != end && ec == std::errc() && stop == end) {
      values.push_back(v);
    } else {
      values.push_back(std::nullopt);
    }
  }
  return values;
}

// The position of a row: its first value field.
int Position(const std::string& row) { return Values(row).at(0).value_or(-1); }

// Values(row) where every field must be filled.
std::vector<int> Ints(const std::string& row) {
  std::vector<int> ints;
  for (const std::optional<int>& v : Values(row)) {
    EXPECT_TRUE(v.has_value()) << row;
    ints.push_back(v.value_or(-1));
  }
  return ints;
}

// True when `s` is a plain whole number: digits, no leading zero, no sign.
bool IsNumber(std::string_view s) {
  if (s.empty() || (s[0] == '0' && s.size() > 1)) return false;
  return std::all_of(s.begin(), s.end(), [](char c) { return c >= '0' && c <= '9'; });
}

// True when `field` is a plain whole number right-aligned in exactly `width`
// characters.
bool RightAligned(std::string_view field, size_t width) {
  const size_t first = field.find_first_not_of(' ');
  return field.size() == width && first != std::string_view::npos && IsNumber(field.substr(first));
}

// True when every character of `s` is one of `allowed`.
bool OnlyOf(std::string_view s, std::string_view allowed) {
  return s.find_first_not_of(allowed) == std::string_view::npos;
}

constexpr char kCapitals[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZ";
constexpr char kDigits[] = "0123456789";

// The multi-byte (non-ASCII) characters of a UTF-8 text, in order; control
// characters count too, as they are just as out of place.
std::vector<std::string> SpecialChars(const std::string& text) {
  std::vector<std::string> chars;
  for (size_t i = 0; i < text.size();) {
    unsigned char b = static_cast<unsigned char>(text[i]);
    size_t n = b < 0x80 ? 1 : b >= 0xF0 ? 4 : b >= 0xE0 ? 3 : 2;
    if (b < 0x20 || b >= 0x7F) chars.push_back(text.substr(i, n));
    i += n;
  }
  return chars;
}

// A fixed line and where it stands (1-based line number).
struct FixedLine {
  int line;
  const char* text;
};

void ExpectFixedLines(const std::vector<std::string>& lines, const std::vector<FixedLine>& fixed) {
  for (const FixedLine& f : fixed) {
    ASSERT_LE(f.line, static_cast<int>(lines.size())) << f.text;
    EXPECT_EQ(f.text, lines[f.line - 1]) << "line " << f.line;
  }
}

bool Contains(const std::vector<std::string>& rows, const std::string& row) {
  return std::find(rows.begin(), rows.end(), row) != rows.end();
}

// ---------------------------------------------------------------------------
// Line source

struct SectionPlace {
  const char* header;
  int line;  // 1-based
  int rows;
};

TEST(LineSource, SectionsStandAtTheirLinesWithTheirRowCounts) {
  const std::vector<std::string>& lines = LineSourceLines();
  ASSERT_EQ(303u, lines.size());
  const SectionPlace kSections[] = {
      {"[generale]", 1, 8},    {"[curve]", 10, 61},     {"[pendenze]", 72, 167},
      {"[montagne]", 240, 34}, {"[cartelli]", 275, 21}, {"[indicazioni]", 297, 5},
      {"[fine]", 303, 0},
  };
  for (const SectionPlace& s : kSections) {
    EXPECT_EQ(s.header, lines[s.line - 1]);
    EXPECT_EQ(static_cast<size_t>(s.rows), Section(lines, s.header).size()) << s.header;
  }
  for (const std::string& line : lines) EXPECT_FALSE(line.empty());
}

TEST(LineSource, FixedRowsAreExact) {
  ExpectFixedLines(LineSourceLines(),
                   {
                       {2, "lunghezza percorso,    99000"},
                       {3, "progressiva chilometrica uno,    0,    96900,    1"},
                       {4, "progressiva chilometrica due,    94500,    99350,    1"},
                       {5, "progressiva chilometrica tre,    0,    0,    0"},
                       {6, "sfondo uno,    0"},
                       {7, "sfondo due,    1"},
                       {8, "sfondo tre,    0"},
                       {9, "ripetizione segnali 4 codici,    900,    99500"},
                       {11, "curvad4,  1100,  250"},
                       {71, "curvad4,  97500,  700"},
                       {73, "pendenza,   0,    0"},
                       {239, "pendenza,  98800,   0"},
                       {241, "montagna,   10250,  10400,  12"},
                       {274, "montagna,   97350,  97950,  2"},
                       {276, "indicatori_vmax,  1350,  125,  135,  145,  0,  ,  ,  ,  0"},
                       {296, "indicatori_vmax,  95300,  70,  75,  80,  0,  ,  ,  ,  0"},
                       {298, "cartello_indicatore,  850,   (COD)"},
                       {299, "cartello_indicatore,  17150,   ( GALLERIA)( M. SOLCO)(KM. 7+150)"},
                       {300, "cartello_indicatore,  41100,   ( GALLERIA )( SCOGLIERA)(KM. 18+050)"},
                       {301, "cartello_indicatore,  97100,   (F)"},
                       {302, "cartello_indicatore,  97200,   ( P.L.)(2+200)"},
                   });
}

TEST(LineSource, TellingRowsArePresentInTheirSection) {
  const std::vector<std::string>& lines = LineSourceLines();
  struct Case {
    const char* header;
    const char* row;
  };
  const Case kCases[] = {
      {"[curve]", "curvas2,  36600,  500"},
      {"[curve]", "curvas3,  38100,  1600"},
      {"[curve]", "curvas4,  9100,  300"},
      {"[curve]", "curvas5,  24650,  500"},
      {"[pendenze]", "pendenza,  1550,   1"},
      {"[pendenze]", "pendenza,  2000,   10"},
      {"[pendenze]", "pendenza,  21100,   -1"},
      {"[pendenze]", "pendenza,  26300,   12"},
      {"[pendenze]", "pendenza,  60900,   -12"},
      {"[pendenze]", "pendenza,  71350,   -12"},
      {"[montagne]", "montagna,   13950,  14050,  2"},
      {"[montagne]", "montagna,   17200,  24300,  12"},
      {"[montagne]", "montagna,   41150,  59650,  12"},
      {"[cartelli]", "indicatori_vmax,  6000,  125,  135,  140,  0,  125,  135,  140,  0"},
      {"[cartelli]", "indicatori_vmax,  22550,  125,  135,  140,  2,  125,  135,  140,  2"},
      {"[cartelli]", "indicatori_vmax,  90900,  105,  115,  120,  2,  ,  ,  ,  0"},
  };
  for (const Case& c : kCases) EXPECT_TRUE(Contains(Section(lines, c.header), c.row)) << c.row;

  // The first ramp: ten rows 50 m apart from 1550 (1) to 2000 (10).
  std::vector<std::string> gradients = Section(lines, "[pendenze]");
  auto first = std::find(gradients.begin(), gradients.end(), "pendenza,  1550,   1");
  ASSERT_LE(first + 10, gradients.end());
  for (int i = 0; i < 10; ++i) {
    EXPECT_EQ("pendenza,  " + std::to_string(1550 + 50 * i) + ",   " + std::to_string(i + 1),
              first[i]);
  }
  // Two short tunnels 100 m apart, the second one only 50 m long.
  std::vector<std::string> tunnels = Section(lines, "[montagne]");
  auto pair = std::find(tunnels.begin(), tunnels.end(), "montagna,   15450,  15550,  12");
  ASSERT_LT(pair + 1, tunnels.end());
  EXPECT_EQ("montagna,   15650,  15700,  12", pair[1]);
}

// Writes a row again from its keyword and values, with the blanks of its
// section; a row of the right shape comes out unchanged.
using ValueList = std::vector<std::optional<int>>;
std::string Rewrite(const std::string& keyword, const ValueList& values,
                    const std::vector<const char*>& blanks) {
  std::string row = keyword;
  for (size_t i = 0; i < values.size(); ++i) {
    row += std::string(",") + blanks[std::min(i, blanks.size() - 1)];
    if (values[i]) row += std::to_string(*values[i]);
  }
  return row;
}

TEST(LineSource, RowsKeepTheirExactShape) {
  const std::vector<std::string>& lines = LineSourceLines();
  struct Case {
    const char* header;
    size_t skip;                      // rows at the top with a shape of their own
    size_t values;                    // value fields per row
    std::vector<const char*> blanks;  // before each value field; the last repeats
  };
  const Case kCases[] = {
      {"[curve]", 0, 2, {"  "}},
      {"[pendenze]", 1, 2, {"  ", "   "}},
      {"[montagne]", 0, 3, {"   ", "  "}},
      {"[cartelli]", 0, 9, {"  "}},
  };
  for (const Case& c : kCases) {
    std::vector<std::string> rows = Section(lines, c.header);
    for (size_t r = c.skip; r < rows.size(); ++r) {
      const std::string& row = rows[r];
      const std::string keyword = RawFields(row)[0];
      const ValueList values = Values(row);
      ASSERT_EQ(c.values, values.size()) << row;
      EXPECT_EQ(Rewrite(keyword, values, c.blanks), row);
    }
  }
  // Keywords of the curves: side letter and class digit.
  for (const std::string& row : Section(lines, "[curve]")) {
    const std::string keyword = RawFields(row)[0];
    EXPECT_TRUE(keyword.size() == 7 && keyword.compare(0, 5, "curva") == 0 &&
                OnlyOf(keyword.substr(5, 1), "ds") && OnlyOf(keyword.substr(6), "2345"))
        << row;
  }
  // Only the first gradient row has the wider blanks.
  std::vector<std::string> gradients = Section(lines, "[pendenze]");
  EXPECT_EQ(1, std::count(gradients.begin(), gradients.end(), "pendenza,   0,    0"));
  EXPECT_EQ("pendenza,   0,    0", gradients.front());
  for (size_t i = 1; i < gradients.size(); ++i) EXPECT_EQ("pendenza", RawFields(gradients[i])[0]);
  // Text boards: position, then parenthesised groups.
  for (const std::string& row : Section(lines, "[indicazioni]")) {
    const size_t text_at = row.find(",   (");
    ASSERT_NE(std::string::npos, text_at) << row;
    EXPECT_EQ("cartello_indicatore,  " + std::to_string(Position(row)), row.substr(0, text_at));
    const std::string text = row.substr(text_at + 4);
    int depth = 0;
    for (size_t i = 0; i < text.size(); ++i) {
      depth += text[i] == '(' ? 1 : text[i] == ')' ? -1 : 0;
      EXPECT_TRUE(depth == 0 || depth == 1) << row;
      if (depth == 0) {
        EXPECT_EQ(')', text[i]) << row << ": text outside the groups";
      }
    }
    EXPECT_EQ(0, depth) << row;
  }
}

TEST(LineSource, CurvesAscendWithoutOverlapping) {
  std::vector<std::string> rows = Section(LineSourceLines(), "[curve]");
  std::map<std::string, int> by_kind;
  int previous_end = 0;
  int longest = 0;
  int longest_count = 0;
  for (const std::string& row : rows) {
    std::vector<int> v = Ints(row);
    ASSERT_EQ(2u, v.size()) << row;
    const int start = v[0];
    const int length = v[1];
    ++by_kind[row.substr(5, 2)];
    EXPECT_EQ(0, start % 50) << row;
    EXPECT_EQ(0, length % 50) << row;
    EXPECT_GE(start, 1100) << row;
    EXPECT_LE(start, 97500) << row;
    EXPECT_GE(length, 100) << row;
    EXPECT_LE(length, 1600) << row;
    EXPECT_GE(start, previous_end) << row << " overlaps the curve before it";
    previous_end = start + length;
    if (length > longest) {
      longest = length;
      longest_count = 0;
    }
    if (length == longest) ++longest_count;
  }
  const std::map<std::string, int> kKinds = {{"s4", 18}, {"d4", 17}, {"d3", 12},
                                             {"s3", 10}, {"s5", 3},  {"s2", 1}};
  EXPECT_EQ(kKinds, by_kind);
  EXPECT_EQ(1600, longest);
  EXPECT_EQ(1, longest_count);
}

TEST(LineSource, GradientsChangeOneUnitAtATime) {
  std::vector<std::string> rows = Section(LineSourceLines(), "[pendenze]");
  ASSERT_EQ(167u, rows.size());
  std::vector<int> positions, values;
  for (const std::string& row : rows) {
    std::vector<int> v = Ints(row);
    ASSERT_EQ(2u, v.size()) << row;
    positions.push_back(v[0]);
    values.push_back(v[1]);
    EXPECT_EQ(0, v[0] % 50) << row;
    EXPECT_GE(v[1], -12) << row;
    EXPECT_LE(v[1], 12) << row;
  }
  EXPECT_EQ(0, positions.front());
  EXPECT_EQ(98800, positions.back());
  int fifty_metre_steps = 0;
  int longest_gap = 0;
  for (size_t i = 1; i < rows.size(); ++i) {
    const int gap = positions[i] - positions[i - 1];
    EXPECT_GT(gap, 0) << rows[i];
    EXPECT_EQ(1, std::abs(values[i] - values[i - 1])) << rows[i];
    if (gap == 50) ++fifty_metre_steps;
    longest_gap = std::max(longest_gap, gap);
  }
  EXPECT_EQ(140, fifty_metre_steps);
  EXPECT_EQ(9000, longest_gap);
  // The steepest climb is reached once, the steepest descent twice.
  std::vector<int> at_max, at_min;
  for (size_t i = 0; i < rows.size(); ++i) {
    if (values[i] == 12) at_max.push_back(positions[i]);
    if (values[i] == -12) at_min.push_back(positions[i]);
  }
  EXPECT_EQ(std::vector<int>({26300}), at_max);
  EXPECT_EQ(std::vector<int>({60900, 71350}), at_min);
}

TEST(LineSource, TunnelRangesAscendWithoutOverlapping) {
  const std::vector<std::string>& lines = LineSourceLines();
  std::vector<std::string> rows = Section(lines, "[montagne]");
  std::map<int, int> by_type;
  std::set<int> starts;
  int previous_end = 0;
  for (const std::string& row : rows) {
    std::vector<int> v = Ints(row);
    ASSERT_EQ(3u, v.size()) << row;
    ++by_type[v[2]];
    starts.insert(v[0]);
    EXPECT_LT(v[0], v[1]) << row;
    EXPECT_GE(v[0], previous_end) << row;
    EXPECT_GE(v[1] - v[0], 50) << row;
    EXPECT_LE(v[1] - v[0], 18500) << row;
    EXPECT_TRUE(v[1] - v[0] < 18500 || v[0] == 41150) << row << " is as long as the longest";
    EXPECT_GE(v[0], 10250) << row;
    EXPECT_LE(v[1], 97950) << row;
    previous_end = v[1];
  }
  EXPECT_EQ((std::map<int, int>{{2, 2}, {12, 32}}), by_type);
  // Each tunnel board stands 50 m before the tunnel it names.
  int tunnel_boards = 0;
  for (const std::string& row : Section(lines, "[indicazioni]")) {
    if (row.find("GALLERIA") == std::string::npos) continue;
    ++tunnel_boards;
    EXPECT_EQ(1u, starts.count(Position(row) + 50)) << row;
  }
  EXPECT_EQ(2, tunnel_boards);
}

TEST(LineSource, IndicatorBoardsAndTheirGroups) {
  std::vector<std::string> rows = Section(LineSourceLines(), "[cartelli]");
  ASSERT_EQ(21u, rows.size());
  int both_filled = 0;
  int second_empty = 0;
  int previous = 0;
  std::map<int, int> stripes_at;  // position -> stripe count, for striped boards
  for (const std::string& row : rows) {
    std::vector<std::optional<int>> v = Values(row);
    ASSERT_EQ(9u, v.size()) << row;
    const int position = v[0].value_or(-1);
    EXPECT_GT(position, previous) << row;
    previous = position;
    for (int i : {1, 2, 3}) {
      ASSERT_TRUE(v[i].has_value()) << row;
      EXPECT_GE(*v[i], 70) << row;
      EXPECT_LE(*v[i], 180) << row;
    }
    ASSERT_TRUE(v[4].has_value() && v[8].has_value()) << row;
    EXPECT_GE(*v[4], 0) << row;
    EXPECT_LE(*v[4], 2) << row;
    if (v[5].has_value()) {
      ++both_filled;
      for (int i : {1, 2, 3, 4}) EXPECT_EQ(v[i], v[i + 4]) << row;
    } else {
      ++second_empty;
      EXPECT_FALSE(v[6].has_value() || v[7].has_value()) << row;
      EXPECT_EQ(0, *v[8]) << row;
    }
    if (*v[4] != 0) stripes_at[position] = *v[4];
  }
  EXPECT_EQ(1350, Position(rows.front()));
  EXPECT_EQ(95300, previous);
  EXPECT_EQ(13, both_filled);
  EXPECT_EQ(8, second_empty);
  // Four groups of three boards 200 m apart, stripes 2, 1, 0.
  std::map<int, int> expected_stripes;
  for (int group : {22550, 38300, 57900, 90900}) {
    expected_stripes[group] = 2;
    expected_stripes[group + 200] = 1;
    auto third = std::find_if(rows.begin(), rows.end(),
                              [&](const std::string& r) { return Position(r) == group + 400; });
    EXPECT_NE(rows.end(), third) << "no third board after " << group;
  }
  EXPECT_EQ(expected_stripes, stripes_at);
}

// ---------------------------------------------------------------------------
// Train-run source

TEST(TrainSource, SectionsStandAtTheirEntries) {
  const std::vector<std::string>& lines = TrainSourceLines();
  ASSERT_EQ(88u, lines.size());
  const SectionPlace kSections[] = {
      {"[generale]", 1, 4},   {"[aderenze]", 6, 1},       {"[vel_limite]", 8, 14},
      {"[stazioni]", 23, 17}, {"[rallentamenti]", 41, 0}, {"[segnali]", 42, 43},
      {"[codici]", 86, 0},    {"[fine]", 87, 0},
  };
  for (const SectionPlace& s : kSections) {
    EXPECT_EQ(s.header, lines[s.line - 1]);
    EXPECT_EQ(static_cast<size_t>(s.rows), Section(lines, s.header).size()) << s.header;
  }
  EXPECT_EQ("", lines.back());
  for (size_t i = 0; i + 1 < lines.size(); ++i) EXPECT_FALSE(lines[i].empty()) << i;
}

TEST(TrainSource, FixedRowsAreExact) {
  ExpectFixedLines(
      TrainSourceLines(),
      {
          {2, "numero vetture,    15"},
          {3, "percentuale massa frenata,    125"},
          {4, "sabbia,    300"},
          {5, "orologio,    1               53            0 "},
          {7, "aderenza,   0,    100"},
          {9, "velocita,   0,    30"},
          {10, "velocità,     750,    65"},
          {11, "velocita,    1350,   135"},
          {12, "velocita,   17900,   160"},
          {13, "velocita,   24300,   135"},
          {14, "velocita,   36000,   160"},
          {15, "velocita,   40050,   130"},
          {16, "velocita,   41100,   160"},
          {17, "velocita,   59600,   115"},
          {18, "velocita,   81850,   160"},
          {19, "velocita,   88850,   150"},
          {20, "velocita,   92500,   120"},
          {21, "velocita,   93200,    75"},
          {22, "velocita,   98350,    30"},
          {24,
           "stazione,     200,  2,  600,  0, 0, 0,  1,1,0,  2,4,1,    1,   1,55, 0, CORVENA C.LE"},
          {40,
           "stazione,   99300, 12,  600,  1, 1, 0,  1,1,0,  2,1,1,    0,   3,42, 0, "
           "LASTRIO PORTA SOLIA"},
          {43, "segnale,    1750,   1, 4, 0,  0, 0,    0,  0,0,0, 0"},
          {44, "segnale,    3100,   2, 4, 0,  0, 0,    0,  0,0,0, 0"},
          {84, "segnale,   95750,   2, 3, 1,  0, 0,    2,  2,1,0, 220"},
          {85, "segnale,   98350,   2, 2, 3,  1, 0,    2,  2,1,1, 255"},
      });
  const std::vector<std::string>& lines = TrainSourceLines();
  for (const char* row :
       {"stazione,    3400, 25,  200,  0, 0, 0,  0,0,0,  0,0,0,    0,   0, 0, 0, BIVIO TALMERI",
        "stazione,   80650, 12,  500,  1, 0, 0,  4,1,0,  2,1,1,   60,   3, 0, 0, VERZALE"}) {
    EXPECT_TRUE(Contains(Section(lines, "[stazioni]"), row)) << row;
  }
  EXPECT_TRUE(
      Contains(Section(lines, "[segnali]"), "segnale,   13900,   1, 4, 1,  0, 0,    1,  3,1,0, 0"));
}

// Widths of the numeric fields after the keyword; 0 means "one blank, then
// the number"; the text tail (a station name) is checked separately.
struct RowWidths {
  const char* header;
  size_t skip;  // rows at the top of the section with a shape of their own
  std::vector<size_t> widths;
  bool name_follows;
};

TEST(TrainSource, RowsKeepTheirColumns) {
  const std::vector<std::string>& lines = TrainSourceLines();
  const RowWidths kShapes[] = {
      {"[vel_limite]", 1, {8, 6}, false},
      {"[stazioni]", 0, {8, 3, 5, 3, 2, 2, 3, 1, 1, 3, 1, 1, 5, 4, 2, 2}, true},
      {"[segnali]", 0, {8, 4, 2, 2, 3, 2, 5, 3, 1, 1, 0}, false},
  };
  for (const RowWidths& shape : kShapes) {
    std::vector<std::string> rows = Section(lines, shape.header);
    for (size_t r = shape.skip; r < rows.size(); ++r) {
      std::vector<std::string> fields = RawFields(rows[r]);
      ASSERT_EQ(shape.widths.size() + 1 + (shape.name_follows ? 1 : 0), fields.size()) << rows[r];
      for (size_t i = 0; i < shape.widths.size(); ++i) {
        const std::string& f = fields[i + 1];
        if (shape.widths[i] == 0) {
          EXPECT_TRUE(f.size() > 1 && f[0] == ' ' && IsNumber(f.substr(1)))
              << rows[r] << " field " << i + 1;
        } else {
          EXPECT_TRUE(RightAligned(f, shape.widths[i])) << rows[r] << " field " << i + 1;
        }
      }
      if (shape.name_follows) {
        // One blank, then the name in capitals.
        const std::string& name = fields.back();
        EXPECT_TRUE(name.size() > 2 && name[0] == ' ' && OnlyOf(name.substr(1, 1), kCapitals) &&
                    OnlyOf(name, std::string(kCapitals) + kDigits + " .'-") && name.back() != ' ')
            << rows[r];
      }
    }
  }
}

struct Station {
  int position, type, length;
  std::vector<int> values;  // fields 4 to 13
  int hours, minutes, seconds;
  std::string name;
  int inizio, fine;
};

std::vector<Station> Stations() {
  std::vector<Station> stations;
  for (const std::string& row : Section(TrainSourceLines(), "[stazioni]")) {
    std::vector<std::string> fields = RawFields(row);
    std::vector<int> v = Ints(row.substr(0, row.rfind(',')));  // all but the name
    if (v.size() != 16) {
      ADD_FAILURE() << row;
      continue;
    }
    Station s{v[0],  v[1],  v[2],  std::vector<int>(v.begin() + 3, v.begin() + 13),
              v[13], v[14], v[15], fields.back().substr(1),
              0,     0};
    // The zone of the station, as the train reader derives it.
    if (s.type == 5 || s.type == 6) {
      s.inizio = s.position - s.length;
      s.fine = s.position + 150;
    } else if (s.type == 7 || s.type == 8) {
      s.inizio = s.position - s.length;
      s.fine = s.position + s.length;
    } else {
      s.inizio = s.position - s.length / 2;
      s.fine = s.position + s.length / 2 + (s.values[2] != 0 ? 50 : 0);
    }
    stations.push_back(s);
  }
  return stations;
}

TEST(TrainSource, StationsFollowTheRunWithRoomBetweenThem) {
  std::vector<Station> stations = Stations();
  ASSERT_EQ(17u, stations.size());
  std::map<int, int> types, lengths, field13;
  std::vector<std::vector<int>> times;
  for (size_t i = 0; i < stations.size(); ++i) {
    const Station& s = stations[i];
    ++types[s.type];
    ++lengths[s.length];
    ++field13[s.values[9]];
    if (s.hours || s.minutes || s.seconds) times.push_back({s.hours, s.minutes, s.seconds});
    EXPECT_EQ(0, s.position % 50) << s.name;
    for (int k = 0; k < 9; ++k) {
      EXPECT_GE(s.values[k], 0) << s.name;
      EXPECT_LE(s.values[k], 4) << s.name;
    }
    if (i > 0) {
      EXPECT_GT(s.position, stations[i - 1].position) << s.name;
      EXPECT_GE(s.inizio - stations[i - 1].fine, 2050)
          << s.name << " is too near the station before";
    }
  }
  EXPECT_EQ(200, stations.front().position);
  EXPECT_EQ(99300, stations.back().position);
  EXPECT_EQ(2, stations.front().type);
  EXPECT_EQ((std::map<int, int>{{2, 1}, {12, 12}, {22, 1}, {25, 1}, {26, 1}, {28, 1}}), types);
  EXPECT_EQ((std::map<int, int>{{200, 1}, {300, 2}, {400, 11}, {500, 1}, {600, 2}}), lengths);
  EXPECT_EQ((std::map<int, int>{{0, 13}, {1, 1}, {60, 2}, {160, 1}}), field13);
  EXPECT_EQ(1, stations.front().values[9]);
  EXPECT_EQ((std::vector<std::vector<int>>{{1, 55, 0}, {3, 0, 0}, {3, 20, 0}, {3, 42, 0}}), times);
  EXPECT_EQ(1, stations.front().hours);
  EXPECT_EQ(3, stations.back().hours);
}

TEST(TrainSource, SignalsComeInPairsThenAlone) {
  std::vector<std::string> rows = Section(TrainSourceLines(), "[segnali]");
  ASSERT_EQ(43u, rows.size());
  std::vector<std::vector<int>> signals;
  for (const std::string& row : rows) {
    std::vector<int> v = Ints(row);
    ASSERT_EQ(11u, v.size()) << row;
    signals.push_back(v);
  }
  struct Range {
    int field;
    std::set<int> allowed;
  };
  const Range kRanges[] = {
      {1, {1, 2}},    {2, {2, 3, 4}},    {3, {0, 1, 3, 4}}, {4, {0, 1}}, {5, {0}},
      {6, {0, 1, 2}}, {7, {0, 1, 2, 3}}, {8, {0, 1}},       {9, {0, 1}},
  };
  for (size_t i = 0; i < signals.size(); ++i) {
    const std::vector<int>& s = signals[i];
    for (const Range& r : kRanges) EXPECT_EQ(1u, r.allowed.count(s[r.field])) << rows[i];
    EXPECT_EQ(0, s[0] % 50) << rows[i];
    if (i > 0) {
      EXPECT_GT(s[0], signals[i - 1][0]) << rows[i];
    }
    if (i < 41) {
      EXPECT_EQ(0, s[10]) << rows[i];
    }
  }
  EXPECT_EQ(1750, signals.front()[0]);
  EXPECT_EQ(98350, signals.back()[0]);
  int pairs_at_1350 = 0;
  for (size_t p = 0; p < 17; ++p) {
    const std::vector<int>& distant = signals[2 * p];
    const std::vector<int>& main = signals[2 * p + 1];
    EXPECT_EQ(1, distant[1]) << rows[2 * p];
    EXPECT_EQ(2, main[1]) << rows[2 * p + 1];
    const int gap = main[0] - distant[0];
    EXPECT_GE(gap, 1300) << rows[2 * p];
    EXPECT_LE(gap, 1400) << rows[2 * p];
    if (gap == 1350) ++pairs_at_1350;
  }
  EXPECT_EQ(14, pairs_at_1350);
  for (size_t i = 34; i < signals.size(); ++i) EXPECT_EQ(2, signals[i][1]) << rows[i];
}

// Where the records land: boards and signals in cell round(p / 50 + 1), the
// station cell at the end of its zone, tunnel markers in every fourth cell of
// a marked range. No record may take another's cell, and no advance code
// (the four cells every 100 m in front of a signal, or in front of a station
// cell) may fall on another.
TEST(BuiltinScenario, RecordsKeepToCellsOfTheirOwn) {
  std::map<int, std::string> occupied;
  auto take = [&occupied](int cell, const std::string& what) {
    auto [it, inserted] = occupied.emplace(cell, what);
    EXPECT_TRUE(inserted) << what << " in cell " << cell << " taken by " << it->second;
  };
  const std::vector<std::string>& line = LineSourceLines();
  for (const char* header : {"[cartelli]", "[indicazioni]"}) {
    for (const std::string& row : Section(line, header)) {
      take(static_cast<int>(PlacementCell(Position(row))), row);
    }
  }
  std::map<int, std::string> advance;
  auto advance_code = [&advance](int cell, const std::string& what) {
    auto [it, inserted] = advance.emplace(cell, what);
    EXPECT_TRUE(inserted) << what << ": advance code in cell " << cell << " over " << it->second;
  };
  for (const Station& s : Stations()) {
    if (s.type >= 25) continue;
    const int e = static_cast<int>(StationCell(s.fine));
    take(e, s.name);
    if (s.type != 5 && s.type != 6) {
      for (int j = 1; j <= 4; ++j) advance_code(e - j, s.name);
    }
  }
  for (const std::string& row : Section(TrainSourceLines(), "[segnali]")) {
    const int n = static_cast<int>(PlacementCell(Position(row)));
    take(n, row);
    for (int r = 1; r <= 4; ++r) advance_code(n - 2 * r, row);
  }
  EXPECT_EQ(21u + 5u + 14u + 43u, occupied.size());
  EXPECT_EQ(14u * 4 + 43u * 4, advance.size());
  EXPECT_EQ(0u, occupied.count(1)) << "cell 1 holds the reserved marks";
}

// ---------------------------------------------------------------------------
// Driver documents

TEST(Documents, LineCounts) {
  struct Case {
    const char* name;
    const std::vector<std::string>& lines;
    size_t count;
  };
  const Case kCases[] = {
      {"note", NoteLines(), 12},
      {"rallentamenti", RallentamentiLines(), 46},
      {"scheda", SchedaLines(), 59},
  };
  for (const Case& c : kCases) {
    EXPECT_EQ(c.count, c.lines.size()) << c.name;
    for (const std::string& line : c.lines)
      EXPECT_EQ(std::string::npos, line.find(kSentinella)) << c.name;
  }
}

// Length in characters of a UTF-8 line.
size_t Chars(const std::string& s) {
  return static_cast<size_t>(std::count_if(
      s.begin(), s.end(), [](char c) { return (static_cast<unsigned char>(c) & 0xC0) != 0x80; }));
}

TEST(Documents, NotesHaveTheirShape) {
  const std::vector<std::string>& notes = NoteLines();
  ASSERT_EQ(12u, notes.size());
  // "Autore", the name, a comma, "e-mail", two blanks, the address.
  const std::string& credit = notes[0];
  const size_t mail = credit.find(", e-mail  ");
  ASSERT_NE(std::string::npos, mail) << credit;
  EXPECT_EQ(0u, credit.find("Autore ")) << credit;
  const std::string address = credit.substr(mail + 10);
  const size_t at = address.find('@');
  EXPECT_TRUE(at != std::string::npos && at > 0 && address.find('.', at) != std::string::npos &&
              address.find(' ') == std::string::npos)
      << credit;
  EXPECT_EQ(45u, Chars(notes[0]));
  EXPECT_EQ("", notes[1]);
  for (size_t i = 2; i <= 10; ++i) {
    EXPECT_GE(Chars(notes[i]), 41u) << "line " << i + 1;
    EXPECT_LE(Chars(notes[i]), 96u) << "line " << i + 1;
    const bool ends_in_blank = i == 6 || i == 7;
    EXPECT_EQ(ends_in_blank, notes[i].back() == ' ') << "line " << i + 1;
    if (ends_in_blank) {
      EXPECT_NE(' ', notes[i][notes[i].size() - 2]) << "line " << i + 1;
    }
  }
  EXPECT_EQ("Buona guida.", notes[11]);
  std::string paragraph;
  for (size_t i = 2; i <= 10; ++i) paragraph += notes[i];
  for (const char* needed : {"à", "è", "ò", "D.C.O."}) {
    EXPECT_NE(std::string::npos, paragraph.find(needed)) << needed;
  }
}

TEST(Documents, SlowDownFormIsExact) {
  const std::vector<std::string>& lines = RallentamentiLines();
  const std::string rule =
      " |___|____________________________|____________|__________|_________|____________|";
  const std::string empty_row =
      " |   |                            |            |          |         |            |";
  ExpectFixedLines(
      lines,
      {
          {1, ""},
          {2, "                               Modulo M. 3"},
          {3, "                           ORDINE DI RALLENTAMENTO"},
          {4, " ________________________________________________________________________________"},
          {5, "  Linea  CORVENA C.LE - LASTRIO P. SOLIA"},
          {6, ""},
          {7, "  Si ordina al macchinista del treno  631 di effettuare i seguenti rallentamenti"},
          {8, "  _______________________________________________________________________________"},
          {9, " |   |                            |Inizio dopo |          |         |            |"},
          {10,
           " | N.|      FRA LE STAZIONI       | il cippo   | Velocita'|Lunghezza|Prescrizioni|"},
          {11,
           " |   |   (o nelle Stazioni di)    |chilometrico|          |   metri | specifiche |"},
          {12, rule.c_str()},
          {13,
           " |   |   NESSUNA PRESCRIZIONE     |            |          |         |            |"},
          {39, rule.c_str()},
          {40, ""},
          {41, "              Prescrizioni specifiche"},
          {42, " A - Da rispettare con tutto il treno (per i treni viaggiatori)"},
          {43, " B - Interessa anche la stazione di......."},
          {44, " D - Rallentamneto N. ... e N. ...  sono contigui"},
          {45, " C - Da rispettare dalle ore ....  alle ore ..... di tutti"},
          {46, "     i giorni esclusi i seguenti:........."},
      });
  for (int line = 14; line <= 38; ++line) EXPECT_EQ(empty_row, lines[line - 1]) << "line " << line;
  // Line lengths as printed: the table rows are 82 characters.
  const size_t kLengths[] = {0, 42, 50, 81, 40, 0, 80, 81};
  for (size_t i = 0; i < std::size(kLengths); ++i) EXPECT_EQ(kLengths[i], lines[i].size()) << i + 1;
  for (int line = 9; line <= 39; ++line) EXPECT_EQ(82u, lines[line - 1].size()) << "line " << line;
}

TEST(Documents, TrainCardFrameIsExact) {
  const std::vector<std::string>& lines = SchedaLines();
  const char* rule =
      " |_____|_____|__________|_____|____________________________|________________|_____|";
  ExpectFixedLines(
      lines,
      {
          {1, ""},
          {2, ""},
          {3, "  ___________________                                               ______________"},
          {4,
           " |                   |                       SCHEDA                |              |"},
          {5,
           " |   TRENO n. 631    |                   da: CORVENA C.LE          |    V 160 B   |"},
          {6,
           " |___________________|                    a: LASTRIO P.SOLIA       |      125%    |"},
          {7,
           "                                                                   |______________|"},
          {8, "  ___________________                ___________________"},
          {9, " |  CLASSIFICAZIONE  |              |  MASSA BLOCCATA   |       "},
          {10, " |     ESPRESSO      |              |      900 T        |"},
          {11, " |___________________|              |___________________|"},
          {12, ""},
          {13,
           "  ________________________________________________________________________________"},
          {14,
           " | Vel.| Vel.| Progr Km |  No |   Localita' di  Servizio   |     Orario     | Rec |"},
          {15,
           " | Lim.|Marc.|          |  Rs |                            |                |     |"},
          {16, rule},
          {17,
           " |  65 |     |   96.900 |     |CORVENA C.LE                | 1.55           |     |"},
          {18,
           " | 135 |     |   95.550 |     | deviatoio uscita           |                |     |"},
          {21,
           " |     |     |   85.100 |     | P 107                      |                |     |"},
          {23,
           " | 160 |     |   79.000 |     | cippo km 79.000            |                |     |"},
          {29,
           " | 135 |     |          |     | dev. I.                    |                |     |"},
          {47,
           " | 150 |     |    9.050 |     | KM 9+050                   |                |     |"},
          {53,
           " |     |     |        0 |     |LASTRIO PORTA SOLIA         |            3.42|     |"},
          {54, rule},
          {55, ""},
          {56, ""},
          {57, ""},
          {58, "                                         "},
          {59, ""},
      });
  const size_t kLengths[] = {0, 0, 82, 83, 83, 83, 83, 56, 64, 57, 57, 0, 82, 83, 83, 83};
  for (size_t i = 0; i < std::size(kLengths); ++i) EXPECT_EQ(kLengths[i], lines[i].size()) << i + 1;
  EXPECT_EQ(41u, lines[57].size());
}

// One body row of the card, split into its seven fields.
struct CardRow {
  std::string limit, km, place, time;
};

// The row " |" + seven fields of widths 5, 5, 10, 5, 28, 16, 5, each closed
// by "|"; the second, fourth and seventh are always blank.
std::vector<CardRow> CardBody() {
  const size_t kWidths[] = {5, 5, 10, 5, 28, 16, 5};
  std::vector<CardRow> rows;
  const std::vector<std::string>& lines = SchedaLines();
  for (int line = 17; line <= 53; ++line) {
    const std::string& text = lines[line - 1];
    EXPECT_EQ(83u, text.size()) << "line " << line;
    if (text.size() != 83 || text.compare(0, 2, " |") != 0) {
      ADD_FAILURE() << "line " << line << ": " << text;
      continue;
    }
    std::vector<std::string> fields;
    size_t at = 2;
    for (size_t width : kWidths) {
      fields.push_back(text.substr(at, width));
      EXPECT_EQ('|', text[at + width]) << "line " << line;
      at += width + 1;
    }
    for (int blank : {1, 3, 6})
      EXPECT_EQ(std::string(kWidths[blank], ' '), fields[blank]) << "line " << line;
    // Speed limit and kilometre: right-aligned, then one blank.
    const std::string& limit = fields[0];
    EXPECT_TRUE(OnlyOf(limit, " ") || (RightAligned(limit.substr(0, 4), 4) && limit[4] == ' '))
        << "line " << line;
    const std::string& km = fields[2];
    EXPECT_TRUE(OnlyOf(km, " ") || (km[9] == ' ' && km[8] != ' ')) << "line " << line;
    rows.push_back({limit, km, fields[4], fields[5]});
  }
  return rows;
}

// "0", or kilometres, a point and three metre digits.
bool IsKilometre(const std::string& km) {
  const size_t point = km.find('.');
  if (km == "0") return true;
  return point != std::string::npos && point + 4 == km.size() && IsNumber(km.substr(0, point)) &&
         OnlyOf(km.substr(point + 1), kDigits);
}

// Hours, a point and two-digit minutes.
bool IsTime(const std::string& t) {
  const size_t point = t.find('.');
  return point != std::string::npos && point + 3 == t.size() && IsNumber(t.substr(0, point)) &&
         OnlyOf(t.substr(point + 1, 1), "012345") && OnlyOf(t.substr(point + 2), kDigits);
}

std::string Trim(const std::string& s) {
  size_t b = s.find_first_not_of(' ');
  if (b == std::string::npos) return "";
  return s.substr(b, s.find_last_not_of(' ') - b + 1);
}

TEST(Documents, TrainCardBodyFollowsTheRun) {
  std::vector<CardRow> rows = CardBody();
  ASSERT_EQ(37u, rows.size());
  int limits = 0, times = 0, without_km = 0;
  std::vector<std::string> card_stations;
  for (size_t i = 0; i < rows.size(); ++i) {
    const CardRow& r = rows[i];
    const std::string km = Trim(r.km);
    if (!Trim(r.limit).empty()) ++limits;
    if (km.empty()) {
      ++without_km;
    } else {
      EXPECT_TRUE(IsKilometre(km)) << km;
    }
    if (!Trim(r.time).empty()) {
      ++times;
      if (i != 0 && i != rows.size() - 1) {
        // Intermediate times start at the eighth character.
        EXPECT_EQ(7u, r.time.find_first_not_of(' ')) << r.time;
        EXPECT_TRUE(IsTime(Trim(r.time))) << r.time;
      }
    }
    if (r.place[0] != ' ') {
      // A station row; a row without a kilometre carries the second line of
      // the name above it.
      if (km.empty()) {
        ASSERT_FALSE(card_stations.empty());
        card_stations.back() += " " + Trim(r.place);
      } else {
        card_stations.push_back(Trim(r.place));
      }
    }
  }
  EXPECT_EQ(12, limits);
  EXPECT_EQ(16, times);
  EXPECT_EQ(3, without_km);
  // The card's stations are the train run's stations of types below 25, in
  // the order of the run.
  std::vector<std::string> run_stations;
  for (const Station& s : Stations()) {
    if (s.type < 25) run_stations.push_back(s.name);
  }
  EXPECT_EQ(run_stations, card_stations);
  EXPECT_EQ(" 1.55           ", rows.front().time);
  EXPECT_EQ("            3.42", rows.back().time);
}

// ---------------------------------------------------------------------------
// Characters: Windows-1252 only where the texts need it.

TEST(BuiltinScenario, SpecialCharactersOnlyWhereExpected) {
  struct Case {
    const char* name;
    const std::vector<std::string>& lines;
    // Non-ASCII characters allowed, by 1-based line; all other lines ASCII.
    std::map<int, std::set<std::string>> allowed;
    std::set<std::string> required;  // must each appear somewhere
  };
  const std::set<std::string> kAccents = {"à", "è", "ò"};
  const Case kCases[] = {
      {"line source", LineSourceLines(), {}, {}},
      {"train source", TrainSourceLines(), {{10, {"à"}}}, {"à"}},
      {"note",
       NoteLines(),
       {{3, kAccents},
        {4, kAccents},
        {5, kAccents},
        {6, kAccents},
        {7, kAccents},
        {8, kAccents},
        {9, kAccents},
        {10, kAccents},
        {11, kAccents}},
       kAccents},
      {"rallentamenti", RallentamentiLines(), {}, {}},
      {"scheda", SchedaLines(), {}, {}},
  };
  for (const Case& c : kCases) {
    std::set<std::string> seen;
    for (size_t i = 0; i < c.lines.size(); ++i) {
      auto it = c.allowed.find(static_cast<int>(i + 1));
      for (const std::string& ch : SpecialChars(c.lines[i])) {
        seen.insert(ch);
        EXPECT_TRUE(it != c.allowed.end() && it->second.count(ch) != 0)
            << c.name << " line " << i + 1 << ": unexpected character \"" << ch << "\"";
      }
    }
    EXPECT_EQ(c.required, seen) << c.name;
  }
}

// ---------------------------------------------------------------------------
// The scenario through the compile pass.

class OverwriteLog : public CompileObserver {
 public:
  void OnOverwrite(const OverwriteEvent& e) override {
    overwrites.push_back("kind " + std::to_string(static_cast<int>(e.kind)) + " at cell " +
                         std::to_string(e.index) + " (tipo " + std::to_string(e.before.tipo) + ")");
  }
  void OnProblem(const ProblemEvent& e) override {
    overwrites.push_back("problem " + std::to_string(e.code));
  }
  std::vector<std::string> overwrites;
};

TEST(BuiltinScenario, CompilesWithoutProblemOrSilentOverwrite) {
  FakeFileSystem fs;
  TrackModel model(&fs, kTestFolder);
  OverwriteLog log;
  model.observer = &log;
  model.linea = "Vescolara";
  model.treno = "631";
  model.dati_linea();
  model.dati_treno();
  // The accented keyword goes out as the single byte 224.
  const std::string train = fs.files[model.FullName(model.TrainSourceName())];
  EXPECT_NE(std::string::npos, train.find("\r\nvelocit\xE0,     750,    65\r\n"));
  const CompileOutcome outcome = model.memorizza_percorso(1);

  EXPECT_EQ(CompileOutcome::Kind::kDone, outcome.kind) << outcome.message;
  EXPECT_EQ(0, model.cod_errore) << "at " << model.pos_errore << " m";
  EXPECT_EQ(std::vector<std::string>{}, log.overwrites);
  EXPECT_FALSE(fs.Exists(model.FullName(model.LineSourceName())));
  EXPECT_FALSE(fs.Exists(model.FullName(model.TrainSourceName())));

  std::map<int, int> by_tipo;
  for (const cella& c : model.celle) ++by_tipo[c.tipo];
  EXPECT_EQ(43, by_tipo[kTipoSegnale]);
  EXPECT_EQ(14, by_tipo[kTipoStazione]);
  EXPECT_EQ(21, by_tipo[kTipoIndicatore]);
  EXPECT_EQ(5, by_tipo[kTipoCartello]);
  EXPECT_EQ(0, by_tipo[kTipoCodice]);  // no restriction, so no code cell

  // Every station of type below 25 has its cell, numbered after its slot.
  std::vector<Station> stations = Stations();
  for (size_t k = 0; k < stations.size(); ++k) {
    EXPECT_EQ(stations[k].name, model.tabella[k + 1].nome);
    if (stations[k].type >= 25) continue;
    const cella& c = model.celle[StationCell(stations[k].fine)];
    EXPECT_EQ(kTipoStazione, c.tipo) << stations[k].name;
    EXPECT_EQ(static_cast<int>(k + 1), c.valore) << stations[k].name;
  }
}

}  // namespace
}  // namespace scenario
