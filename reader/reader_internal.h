// Helpers shared by the two source readers.
#ifndef SCENARIO_READER_READER_INTERNAL_H_
#define SCENARIO_READER_READER_INTERNAL_H_

#include <charconv>
#include <cstdint>
#include <string>
#include <utility>

#include "model/track_model.h"

// A read that finds nothing left, a value that does not fit its target, or
// any other failed step is a fault for the error trap.
#define READ_OR_FAULT(expr)                  \
  do {                                       \
    if (!(expr)) return ReadOutcome::kFault; \
  } while (0)

namespace scenario {

// Case-sensitive containment, for the keyword tests that compare exactly.
inline bool Has(const std::string& text, const char* word) {
  return text.find(word) != std::string::npos;
}

// A record position lies on the track when (p + margin) / 50, as a real
// number, does not exceed the last cell.
inline bool OnTrack(int32_t p, int32_t margin, int32_t ultima_cella) {
  return (static_cast<double>(p) + margin) / 50.0 <= static_cast<double>(ultima_cella);
}

// The shortest decimal text of `v` ("12.5", "1e+300").
inline std::string FormatNumber(double v) {
  char buffer[32];
  const auto result = std::to_chars(buffer, buffer + sizeof buffer, v);
  return std::string(buffer, result.ptr);
}

// Causes of the error trap, for the observer.
inline FaultCause MakeFault(FaultCause::Kind kind, std::string name = {}, int64_t hi = 0,
                            int64_t reached = 0) {
  FaultCause cause;
  cause.kind = kind;
  cause.name = std::move(name);
  cause.hi = hi;
  cause.reached = reached;
  return cause;
}
inline FaultCause ValueFault(const char* name, int64_t value, int64_t lo, int64_t hi) {
  FaultCause cause = MakeFault(FaultCause::Kind::kValue, name, hi);
  cause.value = std::to_string(value);
  cause.lo = lo;
  return cause;
}
// A text longer than a compiled text may be (its length is 16 bits).
inline FaultCause TextFault(const char* name, size_t length) {
  FaultCause cause = ValueFault(name, 0, 0, 0xffff);
  cause.value = std::to_string(length) + " caratteri";
  return cause;
}
// The value field `name` puts the record into cell `cell`, outside 0 to
// `ultima_cella`.
inline FaultCause CellFault(const char* name, int64_t cell, int32_t ultima_cella) {
  return MakeFault(FaultCause::Kind::kCell, name, ultima_cella, cell);
}

}  // namespace scenario

#endif  // SCENARIO_READER_READER_INTERNAL_H_
