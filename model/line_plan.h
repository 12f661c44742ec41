// The plan of the line, `planimetria`: one point (x, y) for each metre 0 to
// ultimo_metro. Each coordinate is a tagged number, empty, a 16-bit integer
// or a double, because the line file stores the kind of every coordinate.
//
// Kept compactly: the two values of each metre as doubles (a 16-bit integer
// is held exactly as a double) and one kind byte per metre for both, 17
// bytes a metre in one block of pages (PageBuffer). A route at the model's
// limit has a plan of 1007001 metres, 17 MB.
#ifndef SCENARIO_MODEL_LINE_PLAN_H_
#define SCENARIO_MODEL_LINE_PLAN_H_

#include <cassert>
#include <cstddef>
#include <cstdint>
#include <span>

#include "platform/page_memory.h"

namespace scenario {

// Kind of a plan coordinate as stored in the line file. Written to disk;
// never change.
enum class PlanKind : uint16_t { kEmpty = 0, kInt16 = 2, kDouble = 5 };

// One coordinate of the plan: empty, a 16-bit integer or a double.
struct PlanNumber {
  PlanKind kind = PlanKind::kEmpty;
  double value = 0;  // an exact integer when kind is kInt16; 0 when empty
  bool empty() const { return kind == PlanKind::kEmpty; }
  bool operator==(const PlanNumber&) const = default;
};

// The values of one metre.
struct PlanPoint {
  double x = 0;
  double y = 0;
};

class LinePlan {
 public:
  enum Axis { kX = 0, kY = 1 };

  LinePlan() = default;
  LinePlan(const LinePlan& other);
  LinePlan& operator=(const LinePlan& other);
  LinePlan(LinePlan&& other) noexcept;
  LinePlan& operator=(LinePlan&& other) noexcept;

  // Metres 0 to `metres` - 1, every coordinate empty.
  void Reset(size_t metres);
  void clear() { Reset(0); }
  // The number of metres.
  size_t size() const { return size_; }
  bool empty() const { return size_ == 0; }

  // REQUIRES: m < size().
  PlanNumber x(size_t m) const { return PlanNumber{kind(m, kX), points_[m].x}; }
  PlanNumber y(size_t m) const { return PlanNumber{kind(m, kY), points_[m].y}; }
  PlanNumber coordinate(size_t m, Axis axis) const { return axis == kX ? x(m) : y(m); }
  PlanKind kind(size_t m, Axis axis) const {
    assert(m < size());
    return static_cast<PlanKind>(axis == kX ? kinds_[m] & 0x0f : kinds_[m] >> 4);
  }

  // True when metre m exists and both its coordinates hold a number.
  bool HasPoint(int64_t m) const {
    return m >= 0 && m < static_cast<int64_t>(size()) && (kinds_[m] & 0x0f) != 0 &&
           (kinds_[m] >> 4) != 0;
  }

  // Sets both coordinates of metre m. The value of an empty coordinate is
  // kept as 0. REQUIRES: m < size().
  void Set(size_t m, PlanNumber x, PlanNumber y) {
    assert(m < size());
    kinds_[m] = Kinds(x.kind, y.kind);
    points_[m] = PlanPoint{x.empty() ? 0 : x.value, y.empty() ? 0 : y.value};
  }
  // Sets one coordinate of metre m, keeping the other. REQUIRES: m < size().
  void SetCoordinate(size_t m, Axis axis, PlanNumber p);

  // Metres [first, last) become doubles; their values are returned to be
  // filled in place. For filling many metres in one loop.
  // REQUIRES: first <= last <= size().
  std::span<PlanPoint> SetDoubles(size_t first, size_t last);

  // Every metre's kind byte (KindOfX, KindOfY) and values, for reading the
  // whole plan in one loop.
  std::span<const uint8_t> kinds() const { return {kinds_, size_}; }
  std::span<const PlanPoint> points() const { return {points_, size_}; }

 private:
  static uint8_t Kinds(PlanKind x, PlanKind y) {
    return static_cast<uint8_t>(static_cast<uint8_t>(x) | static_cast<uint8_t>(y) << 4);
  }

  PageBuffer block_;             // the points, then the kinds
  PlanPoint* points_ = nullptr;  // per metre: the values
  uint8_t* kinds_ = nullptr;     // per metre: kind of x (low 4 bits), of y (high 4 bits)
  size_t size_ = 0;
};

// The kind of the x (low half) or y (high half) coordinate in a byte of
// LinePlan::kinds().
inline PlanKind KindOfX(uint8_t kinds) { return static_cast<PlanKind>(kinds & 0x0f); }
inline PlanKind KindOfY(uint8_t kinds) { return static_cast<PlanKind>(kinds >> 4); }

}  // namespace scenario

#endif  // SCENARIO_MODEL_LINE_PLAN_H_
