#include "model/line_plan.h"

#include <cstring>
#include <utility>

namespace scenario {

LinePlan::LinePlan(const LinePlan& other) { *this = other; }

LinePlan& LinePlan::operator=(const LinePlan& other) {
  if (this != &other) {
    Reset(other.size_);
    if (size_ != 0) std::memcpy(block_.data(), other.block_.data(), block_.size());
  }
  return *this;
}

LinePlan::LinePlan(LinePlan&& other) noexcept { *this = std::move(other); }

LinePlan& LinePlan::operator=(LinePlan&& other) noexcept {
  if (this != &other) {
    block_ = std::move(other.block_);
    points_ = std::exchange(other.points_, nullptr);
    kinds_ = std::exchange(other.kinds_, nullptr);
    size_ = std::exchange(other.size_, 0);
  }
  return *this;
}

void LinePlan::Reset(size_t metres) {
  // Fresh pages come zero-filled: every kind empty, every value 0.
  block_ = PageBuffer(metres * (sizeof(PlanPoint) + 1));
  points_ = static_cast<PlanPoint*>(block_.data());
  kinds_ = metres == 0 ? nullptr : reinterpret_cast<uint8_t*>(points_ + metres);
  size_ = metres;
}

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
  std::memset(kinds_ + first, Kinds(PlanKind::kDouble, PlanKind::kDouble), last - first);
  return std::span<PlanPoint>(points_ + first, last - first);
}

}  // namespace scenario
