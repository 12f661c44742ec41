// A scenario at the limits of the track model, for measuring how the compile
// pass grows with the size of a scenario: the longest route the model takes
// (1000000 m, 20141 cells, a plan of 1007001 metres), curves, gradients and
// tunnels all along it, the most stations the 87 slots leave room for,
// hundreds of signals and restrictions, indicator and text boards. It
// compiles without a recorded problem and without a silent overwrite.
//
// The line is laid out in 200 blocks of 5000 m (100 cells); every block has
// the same skeleton (cells counted from the block's first cell):
//   10      code cell ("abbattimento"), every fourth block
//   20      signal; its advance codes in 18, 16, 14, 12
//   26-29   warning zone of the restriction; 30 its warning board
//   40      indicator board, every other block
//   45      text board, in twelve blocks
//   54      restriction start; its end 8 to 20 cells further on
//   84      signal after the restriction; advance codes in 82 ... 76
//   91-102  station zone, every third block (station cell 97 to 102)
// which leaves the post-pass free cells for all its codes. Curves,
// gradients, tunnels and speed changes vary from block to block. The output
// is the same on every run and every platform.
#ifndef SCENARIO_BENCH_LIMIT_SCENARIO_H_
#define SCENARIO_BENCH_LIMIT_SCENARIO_H_

#include <string>

namespace scenario {

// The names the two sources are meant to be read under.
inline constexpr char kLimitLinea[] = "Lungavia";
inline constexpr char kLimitTreno[] = "4417";

// How many records of each kind the sources hold.
struct LimitCounts {
  int route_length = 0;  // metres
  int curves = 0;
  int gradients = 0;
  int tunnels = 0;
  int indicator_boards = 0;
  int text_boards = 0;
  int speed_changes = 0;
  int adhesion_changes = 0;
  int stations = 0;
  int restrictions = 0;
  int signals = 0;
  int code_cells = 0;
};

LimitCounts LimitScenarioCounts();

// The two source files, as bytes ready to be written: ASCII (so also
// Windows-1252), every line ended by CR LF.
std::string LimitLineSource();
std::string LimitTrainSource();

}  // namespace scenario

#endif  // SCENARIO_BENCH_LIMIT_SCENARIO_H_
