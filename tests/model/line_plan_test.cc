// The plan's storage: kinds and values of each coordinate, filled one metre,
// one coordinate or many metres at a time, copied and moved.
#include "model/line_plan.h"

#include <gtest/gtest.h>

#include <cmath>
#include <span>
#include <utility>

namespace scenario {
namespace {

constexpr PlanNumber kEmpty{};
PlanNumber Int16(double v) { return PlanNumber{PlanKind::kInt16, v}; }
PlanNumber Double(double v) { return PlanNumber{PlanKind::kDouble, v}; }

TEST(LinePlan, ResetMakesEveryCoordinateEmpty) {
  LinePlan plan;
  EXPECT_TRUE(plan.empty());
  plan.Reset(5);
  plan.Set(2, Double(1.5), Double(2.5));
  plan.Reset(4);  // made anew: nothing of before survives
  ASSERT_EQ(4u, plan.size());
  for (size_t m = 0; m < plan.size(); ++m) {
    EXPECT_EQ(kEmpty, plan.x(m)) << m;
    EXPECT_EQ(kEmpty, plan.y(m)) << m;
    EXPECT_FALSE(plan.HasPoint(static_cast<int64_t>(m))) << m;
  }
  plan.clear();
  EXPECT_TRUE(plan.empty());
  EXPECT_EQ(0u, plan.kinds().size());
}

TEST(LinePlan, CoordinatesKeepTheirOwnKinds) {
  LinePlan plan;
  plan.Reset(4);
  plan.Set(0, Int16(-32768), Int16(32767));
  plan.Set(1, Double(-0.0), Double(1e300));
  plan.SetCoordinate(2, LinePlan::kY, Double(7.25));  // x stays empty
  plan.SetCoordinate(3, LinePlan::kX, Int16(4));
  plan.SetCoordinate(3, LinePlan::kY, Double(5));
  plan.SetCoordinate(3, LinePlan::kX, Double(6));  // replaces the int16, keeps y
  struct Case {
    size_t m;
    PlanNumber x, y;
    bool has_point;
  };
  const Case kCases[] = {
      {0, Int16(-32768), Int16(32767), true},
      {1, Double(-0.0), Double(1e300), true},
      {2, kEmpty, Double(7.25), false},
      {3, Double(6), Double(5), true},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.m);
    EXPECT_EQ(c.x, plan.x(c.m));
    EXPECT_EQ(c.y, plan.y(c.m));
    EXPECT_EQ(c.x, plan.coordinate(c.m, LinePlan::kX));
    EXPECT_EQ(c.y, plan.coordinate(c.m, LinePlan::kY));
    EXPECT_EQ(c.x.kind, KindOfX(plan.kinds()[c.m]));
    EXPECT_EQ(c.y.kind, KindOfY(plan.kinds()[c.m]));
    EXPECT_EQ(c.has_point, plan.HasPoint(static_cast<int64_t>(c.m)));
  }
  EXPECT_TRUE(std::signbit(plan.x(1).value));  // -0.0 stays negative zero
  EXPECT_FALSE(plan.HasPoint(-1));
  EXPECT_FALSE(plan.HasPoint(4));
  // Setting a coordinate empty drops its value.
  plan.Set(1, kEmpty, Double(3));
  EXPECT_EQ(kEmpty, plan.x(1));
  EXPECT_EQ(0, plan.points()[1].x);
}

TEST(LinePlan, SetDoublesFillsARangeInPlace) {
  LinePlan plan;
  plan.Reset(10);
  plan.Set(0, Int16(0), Int16(0));
  const std::span<PlanPoint> range = plan.SetDoubles(3, 7);
  ASSERT_EQ(4u, range.size());
  for (size_t i = 0; i < range.size(); ++i) range[i] = PlanPoint{1.0 * i, -1.0 * i};
  EXPECT_EQ(Int16(0), plan.x(0));
  EXPECT_EQ(kEmpty, plan.x(2));
  EXPECT_EQ(Double(0), plan.x(3));
  EXPECT_EQ(Double(3), plan.x(6));
  EXPECT_EQ(Double(-3), plan.y(6));
  EXPECT_EQ(kEmpty, plan.y(7));
  EXPECT_TRUE(plan.SetDoubles(10, 10).empty());
}

TEST(LinePlan, CopiesAreIndependentAndMovesHandOver) {
  LinePlan plan;
  plan.Reset(3);
  plan.Set(1, Double(1), Int16(2));
  LinePlan copy(plan);
  copy.Set(1, Double(9), Double(9));
  EXPECT_EQ(Double(1), plan.x(1));
  EXPECT_EQ(Int16(2), plan.y(1));
  LinePlan assigned;
  assigned = plan;
  EXPECT_EQ(Int16(2), assigned.y(1));
  LinePlan moved(std::move(plan));
  EXPECT_EQ(3u, moved.size());
  EXPECT_EQ(Double(1), moved.x(1));
  EXPECT_TRUE(plan.empty());  // NOLINT(bugprone-use-after-move): moved-from is empty
  moved = LinePlan();
  EXPECT_TRUE(moved.empty());
}

}  // namespace
}  // namespace scenario
