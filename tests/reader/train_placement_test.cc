// memo_segnale and memo_rallentamento called directly on a hand-made track of
// cells 0 to 200.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "model/coding.h"
#include "model/model_fixture.h"
#include "model/problems.h"
#include "model/track_model.h"

namespace scenario {
namespace {

using model_test::Dump;
using model_test::DumpCells;
using model_test::TestModel;

// The arguments of one signal; the defaults are the built-in record
// "segnale, 1750, 1, 4, 0, 0, 0, 0, 0, 0, 0, 0".
struct Segnale {
  int32_t posizione = 1750, sx = 1, s1 = 4, s2 = 0, s3 = 0, rapp = 0, dx = 0, d1 = 0, d2 = 0,
          d3 = 0, tempo = 0;
};

bool Place(TrackModel& m, Segnale& s) {
  return m.memo_segnale(s.posizione, s.sx, s.s1, s.s2, s.s3, s.rapp, s.dx, s.d1, s.d2, s.d3,
                        s.tempo);
}

struct Rallentamento {
  int32_t x = 1550, v = 60, l = 500, f_tt = 3, f_ta = 1, d_v = 0;
};

bool Place(TrackModel& m, Rallentamento& r) {
  return m.memo_rallentamento(r.x, r.v, r.l, r.f_tt, r.f_ta, r.d_v);
}

class TrainPlacementTest : public ::testing::Test {
 protected:
  void SetUp() override { t.HandMadeTrack(200); }
  std::string Cells() const { return EncodeTrackFile(t.m.celle); }

  TestModel t;
};

TEST_F(TrainPlacementTest, BuiltInSignal) {
  Segnale s;
  ASSERT_TRUE(Place(t.m, s));
  EXPECT_EQ(0, t.m.cod_errore);
  EXPECT_EQ("28:{preavviso=34} 30:{preavviso=33} 32:{preavviso=32} 34:{preavviso=31} "
            "36:{tipo=1 valore=40 valore4=3}",
            DumpCells(t.m.celle));
}

TEST_F(TrainPlacementTest, SignalWithTime) {
  Segnale s{.sx = 2, .s1 = 2, .s2 = 3, .s3 = 1, .rapp = 0, .dx = 2, .d1 = 2, .d2 = 1, .d3 = 1,
            .tempo = 255};
  ASSERT_TRUE(Place(t.m, s));
  EXPECT_EQ("28:{preavviso=84} 30:{preavviso=83} 32:{preavviso=82} 34:{preavviso=81} "
            "36:{tipo=1 valore=22 valore2=31 valore3=11 valore4=8 tempo=255}",
            DumpCells(t.m.celle));
}

// Times 1 to 100 become 101, also in the caller's variable; only sx = 2
// keeps a time in the cell; the cell keeps its lowest 8 bits.
TEST(TrainPlacement, SignalTime) {
  struct Case {
    int32_t sx, tempo;
    int32_t stored, after;
  };
  const Case kCases[] = {
      {2, 50, 101, 101}, {1, 50, 0, 101},   {2, 0, 0, 0},       {2, 1, 101, 101},
      {2, 100, 101, 101}, {2, 101, 101, 101}, {2, 255, 255, 255}, {2, 300, 44, 300},
      {2, -5, 251, -5},   {3, 255, 0, 255},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE("sx " + std::to_string(c.sx) + " tempo " + std::to_string(c.tempo));
    TestModel t;
    t.HandMadeTrack(200);
    Segnale s{.sx = c.sx, .tempo = c.tempo};
    ASSERT_TRUE(Place(t.m, s));
    EXPECT_EQ(c.stored, t.m.celle[36].tempo);
    EXPECT_EQ(c.after, s.tempo);
  }
}

TEST_F(TrainPlacementTest, SignalOnATunnelMarker) {
  t.m.celle[36].tipo = kTipoMarcaGalleria;
  Segnale s;
  ASSERT_TRUE(Place(t.m, s));
  EXPECT_EQ(0, t.m.cod_errore);
  EXPECT_EQ("tipo=1 valore=40 valore4=3", Dump(t.m.celle[36]));
}

TEST_F(TrainPlacementTest, SignalOnAStationCellIs16AndWritesNothing) {
  t.m.celle[36].tipo = kTipoStazione;
  t.m.celle[36].valore = 3;
  const std::string before = Cells();
  Segnale s;
  ASSERT_TRUE(Place(t.m, s));
  EXPECT_EQ(kErrSegnale, t.m.cod_errore);
  EXPECT_EQ(before, Cells());
}

// Advance codes replace earlier advance codes and leave the cell type alone.
TEST_F(TrainPlacementTest, AdvanceCodesOverwriteOnlyTheCode) {
  t.m.celle[34].tipo = kTipoAbbattimento;
  t.m.celle[34].preavviso = 82;
  Segnale s;
  ASSERT_TRUE(Place(t.m, s));
  EXPECT_EQ("tipo=13 preavviso=31", Dump(t.m.celle[34]));
}

// Near the start of the track the advance cells below cell 0 are skipped.
TEST(TrainPlacement, AdvanceCellsBelowZeroAreSkipped) {
  struct Case {
    int32_t posizione;
    const char* cells;
  };
  const Case kCases[] = {
      {300, "1:{preavviso=33} 3:{preavviso=32} 5:{preavviso=31} 7:{tipo=1 valore=40 valore4=3}"},
      {100, "1:{preavviso=31} 3:{tipo=1 valore=40 valore4=3}"},
      {0, "1:{tipo=1 valore=40 valore4=3}"},
      {-50, "0:{tipo=1 valore=40 valore4=3}"},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.posizione);
    TestModel t;
    t.HandMadeTrack(200);
    Segnale s{.posizione = c.posizione};
    ASSERT_TRUE(Place(t.m, s));
    EXPECT_EQ(c.cells, DumpCells(t.m.celle));
  }
}

TEST_F(TrainPlacementTest, SignalOffTheTrackIsAFaultAndWritesNothing) {
  for (int32_t posizione : {-100, 10000, 100000}) {
    SCOPED_TRACE(posizione);
    Segnale s{.posizione = posizione};
    EXPECT_FALSE(Place(t.m, s));
    EXPECT_EQ("", DumpCells(t.m.celle));
  }
}

TEST_F(TrainPlacementTest, SignalValuesKeepTheirLowest16And8Bits) {
  Segnale s{.sx = 9, .s1 = 7000, .s2 = -7000, .rapp = 4000, .dx = 0, .d1 = 5};
  ASSERT_TRUE(Place(t.m, s));
  // 70005, -70000, 40027; advance codes 271 to 274.
  EXPECT_EQ("tipo=1 valore=4469 valore2=-4464 valore4=-25509", Dump(t.m.celle[36]));
  EXPECT_EQ("28:{preavviso=18} 30:{preavviso=17} 32:{preavviso=16} 34:{preavviso=15}",
            DumpCells(std::vector<cella>(t.m.celle.begin(), t.m.celle.begin() + 35)));
}

// Beyond 1500 m a restriction gets a warning board 1200 m before its start
// and, with f_ta, the four zone cells in front of the board.
TEST(TrainPlacement, RestrictionCells) {
  struct Case {
    const char* name;
    Rallentamento r;
    const char* cells;
  };
  const Case kCases[] = {
      {"at 1500: no board, no zone", {.x = 1500},
       "31:{tipo=3 valore=60 valore3=3} 41:{tipo=2 valore=60 valore3=3}"},
      {"at 1550 with f_ta", {.x = 1550},
       "4:{tipo=5 valore=4} 5:{tipo=5 valore=3} 6:{tipo=5 valore=2} 7:{tipo=5 valore=1} "
       "8:{tipo=4 valore=60} 32:{tipo=3 valore=60 valore3=3} 42:{tipo=2 valore=60 valore3=3}"},
      {"at 1550 without f_ta", {.x = 1550, .f_ta = 0},
       "8:{tipo=4 valore=60} 32:{tipo=3 valore=60 valore3=3} 42:{tipo=2 valore=60 valore3=3}"},
      {"with d_v", {.x = 1550, .d_v = 40},
       "4:{tipo=5 valore=4 valore2=4} 5:{tipo=5 valore=3 valore2=3} "
       "6:{tipo=5 valore=2 valore2=2} 7:{tipo=5 valore=1 valore2=1} "
       "8:{tipo=4 valore=60 valore2=40} 32:{tipo=3 valore=60 valore2=40 valore3=3} "
       "42:{tipo=2 valore=60 valore2=40 valore3=3}"},
      {"start and end in one cell", {.x = 1000, .l = 10}, "21:{tipo=3 valore=60 valore3=3}"},
      {"lowest 16 bits", {.x = 1000, .v = 70000, .f_tt = -70000, .d_v = 65537},
       "21:{tipo=3 valore=4464 valore2=1 valore3=-4464} "
       "31:{tipo=2 valore=4464 valore2=1 valore3=-4464}"},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.name);
    TestModel t;
    t.HandMadeTrack(200);
    Rallentamento r = c.r;
    ASSERT_TRUE(Place(t.m, r));
    EXPECT_EQ(0, t.m.cod_errore);
    EXPECT_EQ(c.cells, DumpCells(t.m.celle));
  }
}

TEST_F(TrainPlacementTest, RestrictionWithoutDvLeavesValore2Alone) {
  for (int k : {4, 5, 6, 7, 8, 32, 42}) t.m.celle[k].valore2 = 77;
  Rallentamento r;
  ASSERT_TRUE(Place(t.m, r));
  EXPECT_EQ("4:{tipo=5 valore=4 valore2=77} 5:{tipo=5 valore=3 valore2=77} "
            "6:{tipo=5 valore=2 valore2=77} 7:{tipo=5 valore=1 valore2=77} "
            "8:{tipo=4 valore=60 valore2=77} 32:{tipo=3 valore=60 valore2=77 valore3=3} "
            "42:{tipo=2 valore=60 valore2=77 valore3=3}",
            DumpCells(t.m.celle));
}

// x - 1200 = 375: the board cell (8.5) and the first zone cell (7.5) are both
// cell 8, so the zone finds its own board.
TEST_F(TrainPlacementTest, ZoneOnItsOwnBoardIs20) {
  Rallentamento r{.x = 1575};
  ASSERT_TRUE(Place(t.m, r));
  EXPECT_EQ(kErrZonaRall, t.m.cod_errore);
  EXPECT_EQ("8:{tipo=4 valore=60} 32:{tipo=3 valore=60 valore3=3} "
            "42:{tipo=2 valore=60 valore3=3}",
            DumpCells(t.m.celle));
}

// x = 3000, l = 500: board 37, start 61, end 71, zone 36 to 33.
TEST(TrainPlacement, RestrictionConflicts) {
  struct Case {
    std::vector<int32_t> taken;
    int32_t code;
    const char* cells;  // "" : the track is as before
  };
  const Case kCases[] = {
      {{37}, kErrAvvisoRall, ""},
      {{61}, kErrInizioRall, ""},
      {{71}, kErrFineRall, ""},
      {{37, 61, 71}, kErrAvvisoRall, ""},  // tested in this order
      {{61, 71}, kErrInizioRall, ""},
      {{34}, kErrZonaRall,
       "34:{tipo=13} 37:{tipo=4 valore=60} 61:{tipo=3 valore=60 valore3=3} "
       "71:{tipo=2 valore=60 valore3=3}"},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.taken.front());
    TestModel t;
    t.HandMadeTrack(200);
    for (int32_t k : c.taken) t.m.celle[k].tipo = kTipoAbbattimento;
    const std::string before = EncodeTrackFile(t.m.celle);
    Rallentamento r{.x = 3000};
    ASSERT_TRUE(Place(t.m, r));
    EXPECT_EQ(c.code, t.m.cod_errore);
    if (*c.cells == '\0') {
      EXPECT_EQ(before, EncodeTrackFile(t.m.celle));
    } else {
      EXPECT_EQ(c.cells, DumpCells(t.m.celle));
    }
  }
}

// Tunnel markers count as free everywhere and are replaced.
TEST_F(TrainPlacementTest, RestrictionOverTunnelMarkers) {
  for (int k : {37, 61, 71, 34}) t.m.celle[k].tipo = kTipoMarcaGalleria;
  Rallentamento r{.x = 3000};
  ASSERT_TRUE(Place(t.m, r));
  EXPECT_EQ(0, t.m.cod_errore);
  EXPECT_EQ("33:{tipo=5 valore=4} 34:{tipo=5 valore=3} 35:{tipo=5 valore=2} "
            "36:{tipo=5 valore=1} 37:{tipo=4 valore=60} 61:{tipo=3 valore=60 valore3=3} "
            "71:{tipo=2 valore=60 valore3=3}",
            DumpCells(t.m.celle));
}

}  // namespace
}  // namespace scenario
