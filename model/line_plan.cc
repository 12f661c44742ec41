#include "model/line_plan.h"

#include <cstring>

namespace scenario {

void LinePlan::SetCoordinate(size_t m, Axis axis, PlanNumber p) {
  assert(m < size());
  const double value = p.empty() ? 0 : p.value;
  if (axis == kX) {
    kinds_[m] = Kinds(p.kind, KindOfY(kinds_[m]));
    points_[m].x = value;
  } else {
    kinds_[m] = Kinds(KindOfX(kinds_[m]), p.kind);
    points_[m].y = value;
  }
}

std::span<PlanPoint> LinePlan::SetDoubles(size_t first, size_t last) {
  assert(first <= last && last <= size());
  std::memset(kinds_.data() + first, Kinds(PlanKind::kDouble, PlanKind::kDouble), last - first);
  return std::span<PlanPoint>(points_.data() + first, last - first);
}

}  // namespace scenario
