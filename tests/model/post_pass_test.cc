// The signal-code post-pass on hand-made tracks of cells 0 to 80, and once
// through the whole compile pass.
#include <gtest/gtest.h>

#include <initializer_list>
#include <string>
#include <vector>

#include "model/model_fixture.h"
#include "model/problems.h"
#include "model/track_model.h"

namespace scenario {
namespace {

using model_test::CodeCells;
using model_test::Rec;
using model_test::TestModel;

constexpr int32_t kLast = 80;  // U, the last cell of the hand-made tracks

// One cell of a hand-made track.
struct Put {
  int32_t cell;
  uint8_t tipo;
  int16_t valore = 0;
};
using Track = std::vector<Put>;

// Shorthands for the cells the readers place.
Put Signal(int32_t k) { return {k, kTipoSegnale}; }
Put Board(int32_t k) { return {k, kTipoAvvisoRall, 60}; }
Put Start(int32_t k, int16_t speed) { return {k, kTipoInizioRall, speed}; }
Put End(int32_t k, int16_t speed) { return {k, kTipoFineRall, speed}; }
Put Taken(int32_t k) { return {k, kTipoAbbattimento}; }
Put Marker(int32_t k) { return {k, kTipoMarcaGalleria}; }
Put Code(int32_t k, int16_t v) { return {k, kTipoCodice, v}; }

// What the pass left: the code cells and the problem record.
struct Result {
  std::string codes;
  int32_t cod_errore;
  int32_t pos_errore;
};

Result RunPostPass(const Track& track) {
  TestModel t;
  t.HandMadeTrack(kLast);
  for (const Put& p : track) {
    t.m.celle[p.cell].tipo = p.tipo;
    t.m.celle[p.cell].valore = p.valore;
  }
  TrackModelTestPeer::PostPass(&t.m);
  EXPECT_EQ(static_cast<size_t>(kLast) + 1, t.m.celle.size());
  return {CodeCells(t.m.celle), t.m.cod_errore, t.m.pos_errore};
}

struct Case {
  const char* name;
  Track track;
  const char* codes;
  int32_t cod_errore = 0;
  int32_t pos_errore = 0;
};

void Check(const Case& c) {
  SCOPED_TRACE(c.name);
  const Result r = RunPostPass(c.track);
  EXPECT_EQ(c.codes, r.codes);
  EXPECT_EQ(c.cod_errore, r.cod_errore);
  EXPECT_EQ(c.pos_errore, r.pos_errore);
}

// Restrictions of 120 km/h, which get guard codes only.
TEST(PostPass, GuardGroups) {
  const Case kCases[] = {
      {"start at 7", {Start(7, 120), End(10, 120)}, ""},
      {"start at 8", {Start(8, 120), End(11, 120)}, "3:180"},
      {"start at 14", {Start(14, 120), End(17, 120)}, "3:180 9:180"},
      {"start at 21", {Start(21, 120), End(24, 120)}, "3:180 10:180 16:180"},
      {"start at 30", {Start(30, 120), End(33, 120)}, "12:180 19:180 25:180"},
      {"nearest cell taken", {Start(30, 120), End(33, 120), Taken(25)}, "12:180 19:180 24:180"},
      {"two cells taken", {Start(30, 120), End(33, 120), Taken(25), Taken(24)},
       "12:180 19:180 23:180"},
      {"a code cell is taken too", {Start(30, 120), End(33, 120), Code(25, 120)},
       "12:180 19:180 24:180 25:120"},
      {"tunnel marker becomes the code", {Start(30, 120), End(33, 120), Marker(25)},
       "12:180 19:180 25:180"},
      {"group full: 12, the other groups still placed",
       {Start(30, 120), End(33, 120), Taken(25), Taken(24), Taken(23)}, "12:180 19:180",
       kErrCodiceGuardia, 1500},
      {"two groups full",
       {Start(30, 120), End(33, 120), Taken(19), Taken(18), Taken(17), Taken(12), Taken(11),
        Taken(10)},
       "25:180", kErrCodiceGuardia, 1500},
  };
  for (const Case& c : kCases) Check(c);
}

// A warning board looks back at most 20 cells and never below cell 3; every
// signal found gets a code in one of its two front cells.
TEST(PostPass, SignalsBeforeAWarningBoard) {
  const Case kCases[] = {
      {"board at 4 examines cell 3", {Board(4), Signal(3)}, "2:180"},
      {"board at 4 does not reach cell 2", {Board(4), Signal(2)}, ""},
      {"board at 3 examines nothing", {Board(3), Signal(2)}, ""},
      {"20 cells back", {Board(30), Signal(10)}, "9:180"},
      {"21 cells back", {Board(30), Signal(9)}, ""},
      {"every signal, nearest first", {Board(30), Signal(25), Signal(20)}, "19:180 24:180"},
      {"front cell a tunnel marker", {Board(30), Signal(25), Marker(24)}, "24:180"},
      {"front cell taken", {Board(30), Signal(25), Taken(24)}, "23:180"},
      {"front code cell and a free cell behind it", {Board(30), Signal(25), Code(24, 120)},
       "23:180 24:120"},
      {"front code cell 120 stays", {Board(30), Signal(25), Code(24, 120), Taken(23)}, "24:120"},
      {"front code cell 200 lowered", {Board(30), Signal(25), Code(24, 200), Taken(23)},
       "24:180"},
      {"second code cell 200 lowered", {Board(30), Signal(25), Taken(24), Code(23, 200)},
       "23:180"},
      {"second code cell 120 stays", {Board(30), Signal(25), Taken(24), Code(23, 120)},
       "23:120"},
      {"no room: 11", {Board(30), Signal(25), Taken(24), Taken(23)}, "", kErrCodiceSegnale, 1250},
  };
  for (const Case& c : kCases) Check(c);
}

// A 20-cell restriction from cell 30 to 50: guard codes at 25, 19 and 12,
// inner codes every 8 cells counted from the last one placed.
TEST(PostPass, InnerCodes) {
  auto slow = [](int16_t speed, std::initializer_list<Put> more) {
    Track track = {Start(30, speed), End(50, speed)};
    track.insert(track.end(), more);
    return track;
  };
  const Case kCases[] = {
      {"all cells free", slow(60, {}), "12:180 19:180 25:180 38:180 46:180"},
      {"speed 109", slow(109, {}), "12:180 19:180 25:180 38:180 46:180"},
      {"speed 110: none", slow(110, {}), "12:180 19:180 25:180"},
      {"tunnel marker taken", slow(60, {Marker(38)}), "12:180 19:180 25:180 38:180 46:180"},
      {"cell taken: the one before", slow(60, {Taken(38)}),
       "12:180 19:180 25:180 37:180 45:180"},
      {"two taken: the one after", slow(60, {Taken(38), Taken(37)}),
       "12:180 19:180 25:180 39:180 47:180"},
      {"three taken: 13, no more inner codes", slow(60, {Taken(37), Taken(38), Taken(39)}),
       "12:180 19:180 25:180", kErrCodiceInterno, 1900},
      {"the end cell triggers a code beside it", {Start(30, 60), End(38, 60)},
       "12:180 19:180 25:180 37:180"},
  };
  for (const Case& c : kCases) Check(c);
}

// After a slow restriction ending at 34 the first signal within 12 cells gets
// a code in front of it.
TEST(PostPass, LookAheadAfterASlowRestriction) {
  auto slow = [](std::initializer_list<Put> more, int16_t speed = 60) {
    Track track = {Start(30, speed), End(34, speed)};
    track.insert(track.end(), more);
    return track;
  };
  const char kGuards[] = "12:180 19:180 25:180";
  const Case kCases[] = {
      {"12 cells after", slow({Signal(46)}), "12:180 19:180 25:180 45:180"},
      {"13 cells after", slow({Signal(47)}), kGuards},
      {"right after: the end cell is taken", slow({Signal(35)}), "12:180 19:180 25:180 33:180"},
      {"only the first signal", slow({Signal(40), Signal(44)}), "12:180 19:180 25:180 39:180"},
      {"front cell taken", slow({Signal(40), Taken(39)}), "12:180 19:180 25:180 38:180"},
      {"no room: 13 at the end cell", slow({Signal(40), Taken(39), Taken(38)}), kGuards,
       kErrCodiceInterno, 1700},
      {"speed 110: no look-ahead", slow({Signal(40)}, 110), kGuards},
      // A full look-back leaves passo at 21; the fast restriction must not
      // look ahead from there (signal 25) nor from its own end (signal 75).
      {"fast restriction after a board",
       {Board(60), Start(70, 120), End(72, 120), Signal(25), Signal(75)},
       "52:180 59:180 65:180"},
  };
  for (const Case& c : kCases) Check(c);
}

// The walk and the look-ahead stop at the last cell.
TEST(PostPass, NothingBeyondTheLastCell) {
  const Case kCases[] = {
      {"walk reaches the last cell: 13 there", {Start(72, 60), Taken(79), Taken(80)},
       "54:180 61:180 67:180", kErrCodiceInterno, 4000},
      {"walk without an end from the last examined cell", {Start(78, 60)},
       "60:180 67:180 73:180"},
      {"look-ahead finds a signal in the last cell", {Start(70, 60), End(72, 60), Signal(80)},
       "52:180 59:180 65:180 79:180"},
  };
  for (const Case& c : kCases) Check(c);
}

TEST(PostPass, OnlyTheLastProblemRemains) {
  const Case kCases[] = {
      {"12 then 11",
       {Start(10, 120), End(12, 120), Taken(5), Taken(4), Taken(3), Board(40), Signal(30),
        Taken(29), Taken(28)},
       "", kErrCodiceSegnale, 1500},
      {"11 then 12",
       {Board(20), Signal(15), Taken(14), Taken(13), Start(30, 120), End(33, 120), Taken(25),
        Taken(24), Taken(23)},
       "12:180 19:180", kErrCodiceGuardia, 1500},
  };
  for (const Case& c : kCases) Check(c);
}

// Sources to compiled track file: a signal at 1000 m stands 6 cells before
// the warning board of a 60 km/h restriction at 2500 m (board 27, zone 26 to
// 23, start 51, end 61), and a signal at 3300 m (cell 67) follows it.
TEST(PostPass, ThroughTheCompilePass) {
  TestModel t;
  t.Compile({Rec("segnale", {1000, 1, 4, 0, 0, 0, 0, 0, 0, 0, 0}),
             Rec("rallentamento", {2500, 60, 500, 0, 1, 0}),
             Rec("segnale", {3300, 1, 4, 0, 0, 0, 0, 0, 0, 0, 0})});
  EXPECT_EQ(0, t.m.cod_errore);
  EXPECT_EQ("20:180 33:180 40:180 46:180 59:180 66:180", CodeCells(t.TrackFile()));
}

}  // namespace
}  // namespace scenario
