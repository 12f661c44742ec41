// The things the report page tells about, read from compiled cells and
// slots: restrictions with their ends and warning board, tunnels, times
// and kilometres.
#include "tools/page/things.h"

#include <gtest/gtest.h>

#include "model/cells.h"
#include "tests/tools/check/check_fixtures.h"
#include "tests/tools/tool_test_util.h"
#include "tools/drawing/drawing.h"

namespace scenario {
namespace {

TEST(Things, TimesAndKilometres) {
  struct Case {
    int32_t orario;
    const char* text;
  };
  static const Case kCases[] = {{0, ""},         {6900, "1:55:00"},   {13320, "3:42:00"},
                                {59, "0:00:59"}, {90061, "25:01:01"}, {-3600, "-1:00:00"}};
  for (const Case& c : kCases) EXPECT_EQ(c.text, TimeOfDay(c.orario)) << c.orario;
  EXPECT_EQ("km 0,200", KmText(200));
  EXPECT_EQ("km -0,100", KmText(-100));
  EXPECT_EQ("km 99,350", KmText(99350));
  EXPECT_EQ("km 0,000", KmText(0));
}

// A restriction with its warning zone next to one without: their cells as
// the core places them.
TEST(Things, RestrictionsAndTunnels) {
  Lines line = FixtureLine(), train = FixtureTrain();
  Add(&line, {"montagna,  2800,  2900,  2"});  // right after 2500-2800, another kind
  Add(&train, {"rallentamento,  1000,  30,  200,  0,  0,  0",
               "rallentamento,  3650,  60,  500,  0,  1,  0"});
  const auto files = CompileWithCore(line, train, 1);
  CompiledScenario s;
  s.linea = kFixtureLinea;
  s.treno = kFixtureTreno;
  std::string err;
  ASSERT_TRUE(DecodeTrackFile(files.at("Prova_7.dat"), &s.celle, &err)) << err;
  ASSERT_TRUE(DecodeRunFile(files.at("Prova_7.sim"), &s.tabella, &err)) << err;

  const std::vector<Restriction> r = Restrictions(s);
  ASSERT_EQ(2u, r.size());
  EXPECT_EQ(PlacementCell(1000), r[0].inizio);
  EXPECT_EQ(PlacementCell(1200), r[0].fine);
  EXPECT_EQ(-1, r[0].avviso);  // 1000 m is too near the start for a warning board
  EXPECT_EQ(30, r[0].velocita);
  EXPECT_EQ(PlacementCell(3650), r[1].inizio);
  EXPECT_EQ(PlacementCell(4150), r[1].fine);
  EXPECT_EQ(PlacementCell(3650 - 1200), r[1].avviso);
  EXPECT_EQ(60, r[1].velocita);

  const std::vector<Tunnel> t = Tunnels(s);
  ASSERT_EQ(2u, t.size());
  EXPECT_EQ(2500, t[0].da);
  EXPECT_EQ(2800, t[0].a);
  EXPECT_EQ(2, t[0].montagna);  // 12: kind 2 with markers
  EXPECT_EQ(2800, t[1].da);
  EXPECT_EQ(2900, t[1].a);
  EXPECT_EQ(3, t[1].montagna);  // starts within 150 m of the last: kind 3

  // The cells of the restrictions are things with their values.
  PageInput input;
  input.scenario = s;
  int restriction_cells = 0;
  for (const Thing& thing : Things(input)) {
    if (thing.kind != ThingKind::kRallentamento) continue;
    ++restriction_cells;
    if (thing.key == CellKey(r[1].inizio)) {
      EXPECT_EQ("Inizio del rallentamento", thing.titolo);
      EXPECT_EQ("60 km/h", thing.valori[2].second);
    }
    EXPECT_TRUE(thing.sorgente.place.empty());  // no sources given
  }
  EXPECT_EQ(2 + 2 + 1 + 4, restriction_cells);  // start and end of each; board and zone
}

}  // namespace
}  // namespace scenario
