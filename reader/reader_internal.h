// Helpers shared by the two source readers.
#ifndef SCENARIO_READER_READER_INTERNAL_H_
#define SCENARIO_READER_READER_INTERNAL_H_

#include <string>

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

}  // namespace scenario

#endif  // SCENARIO_READER_READER_INTERNAL_H_
