// Rounding, the cells of positions and what a cell's values mean: the rules
// the readers place records with and the companion tool reads cells with.
#include "model/cells.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "model/track_model.h"
#include "test_util.h"

namespace scenario {
namespace {

TEST(Rounding, HalvesGoToEven) {
  struct Case {
    double in;
    int64_t out;
  };
  const Case kCases[] = {{0.5, 0}, {1.5, 2}, {2.5, 2}, {-1.5, -2}, {-0.5, 0}, {2200.5, 2200}};
  for (const Case& c : kCases) EXPECT_EQ(c.out, RoundHalfEven(c.in)) << "in=" << c.in;
}

TEST(Rounding, ToARange) {
  struct Case {
    double in;
    bool fits;
    int64_t out;
  };
  const Case kCases[] = {{32767.4, true, 32767}, {32767.5, false, 0}, {-32768.5, true, -32768},
                         {-32769, false, 0},     {-0.4, true, 0},     {1e300, false, 0}};
  for (const Case& c : kCases) {
    int64_t out = 0;
    EXPECT_EQ(c.fits, RoundToRange(c.in, -32768, 32767, &out)) << c.in;
    if (c.fits) {
      EXPECT_EQ(c.out, out) << c.in;
    }
  }
}

// Signals, restriction cells and boards go to round(p / 50 + 1).
TEST(Cells, PlacementCell) {
  struct Case {
    double p;
    int64_t cell;
  };
  const Case kCases[] = {{1750, 36}, {25, 2},    {75, 2},   {850, 18}, {6000, 121},
                         {1350, 28}, {0, 1},     {-25, 0},  {-75, 0},  {22550, 452},
                         {2375, 48}, {2425, 50}, {1200, 25}};
  for (const Case& c : kCases) EXPECT_EQ(c.cell, PlacementCell(c.p)) << "p=" << c.p;
}

// Gradients, speeds, adhesion, tunnels and abbattimenti start at round(p / 50).
TEST(Cells, StartCell) {
  struct Case {
    double p;
    int64_t cell;
  };
  const Case kCases[] = {{25, 0},      {75, 2},       {125, 2}, {1550, 31}, {750, 15},
                         {10250, 205}, {97350, 1947}, {-25, 0}, {-75, -2},  {0, 0}};
  for (const Case& c : kCases) EXPECT_EQ(c.cell, StartCell(c.p)) << "p=" << c.p;
}

TEST(Cells, PositionsOfCells) {
  EXPECT_EQ(1800, CellPosition(36));
  EXPECT_EQ(0, CellPosition(0));
  EXPECT_EQ(1750, PlacementPosition(36));
  EXPECT_EQ(-50, PlacementPosition(0));
  for (int64_t n : {1, 36, 2120}) EXPECT_EQ(n, PlacementCell(PlacementPosition(n))) << n;
  for (int64_t n : {0, 36, 2120}) EXPECT_EQ(n, StartCell(CellPosition(n))) << n;
}

TEST(Cells, TunnelAndStationCells) {
  struct Case {
    double fine;
    int64_t last;
  };
  const Case kTunnels[] = {{10400, 207}, {15700, 313}, {24300, 485}, {97950, 1958}, {1125, 22}};
  for (const Case& c : kTunnels) EXPECT_EQ(c.last, LastTunnelCell(c.fine)) << c.fine;
  EXPECT_EQ(9, StationCell(500));
  EXPECT_EQ(24, StationCell(1250));
  EXPECT_EQ(1, StationCell(100));
  EXPECT_EQ(-1, StationCell(0));
}

TEST(Cells, TrackOfARoute) {
  EXPECT_EQ(106000, LastMetre(99000));
  EXPECT_EQ(2120, LastCell(106000));
  EXPECT_EQ(1007000, LastMetre(1000000));
  EXPECT_EQ(20140, LastCell(1007000));
  EXPECT_EQ(200, LastCell(10025));  // 200.5 goes to the even cell
  EXPECT_EQ(202, LastCell(10075));  // 201.5 goes to 202
  EXPECT_EQ(99000, RouteLength(2120));
  EXPECT_EQ(3000, RouteLength(LastCell(LastMetre(3000))));
}

TEST(CellValues, Gradient) {
  struct Case {
    int32_t gradient;
    uint8_t stored;
  };
  const Case kCases[] = {{0, 100}, {1, 101}, {-12, 88}, {-100, 0}, {155, 255}, {156, 0}, {200, 44}};
  for (const Case& c : kCases) {
    EXPECT_EQ(c.stored, StoredGradient(c.gradient)) << c.gradient;
    if (c.gradient >= -100 && c.gradient <= 155) {
      EXPECT_EQ(c.gradient, GradientOf(c.stored));
    }
  }
}

TEST(CellValues, Speed) {
  struct Case {
    int64_t speed;
    bool fits;
    uint8_t velocita;
  };
  const Case kCases[] = {{100, true, 20},  {65, true, 13}, {30, true, 6},  {2, true, 0},
                         {7, true, 1},     {-2, true, 0},  {-3, false, 0}, {1277, true, 255},
                         {1278, false, 0}, {135, true, 27}};
  for (const Case& c : kCases) {
    uint8_t v = 77;
    EXPECT_EQ(c.fits, SpeedFifth(c.speed, &v)) << c.speed;
    EXPECT_EQ(c.fits ? c.velocita : 77, v) << c.speed;  // untouched when it does not fit
  }
  EXPECT_EQ(135, SpeedOf(27));
  EXPECT_EQ(1275, SpeedOf(255));
}

// s * 20 + d / 5, rounded into 16 bits.
TEST(CellValues, IndicatorSpeeds) {
  struct Case {
    int32_t s, d;
    bool fits;
    int16_t packed;
  };
  const Case kCases[] = {
      {125, 125, true, 2525}, {135, 135, true, 2727},     {140, 0, true, 2800},
      {1, 12, true, 22},      {1, 18, true, 24},          {1, 3, true, 21},
      {100, 100, true, 2020}, {1638, 35, true, 32767},    {1638, 40, false, 0},
      {2706, 2706, false, 0}, {-1638, -40, true, -32768}, {-1639, 0, false, 0},
  };
  for (const Case& c : kCases) {
    int16_t packed = 77;
    EXPECT_EQ(c.fits, PackIndicatorSpeeds(c.s, c.d, &packed)) << c.s << "," << c.d;
    EXPECT_EQ(c.fits ? c.packed : 77, packed) << c.s << "," << c.d;
  }
  struct Unpack {
    int16_t packed;
    int32_t s, d;
  };
  const Unpack kUnpack[] = {{2525, 125, 125}, {2800, 140, 0}, {2020, 100, 100}, {0, 0, 0}};
  for (const Unpack& u : kUnpack) {
    EXPECT_EQ(u.s, UnpackIndicatorSpeeds(u.packed).s_side) << u.packed;
    EXPECT_EQ(u.d, UnpackIndicatorSpeeds(u.packed).d_side) << u.packed;
  }
}

TEST(CellValues, SignalSx) {
  struct Case {
    int16_t valore4;
    int32_t sx;
  };
  // rapp * 10 + sx * 3 + dx.
  const Case kCases[] = {{3, 1}, {8, 2}, {43, 1}, {6, 2}, {5, 1}};
  for (const Case& c : kCases) EXPECT_EQ(c.sx, SignalSx(c.valore4)) << c.valore4;
}

// What memo_segnale packs into a cell, and memo_indicatori_v_max's
// stripes, unpack to the values of the record.
TEST(CellValues, SignalAndStripesUnpackToTheRecord) {
  struct Case {
    int32_t sx, s1, s2, s3, rapp, dx, d1, d2, d3;
  };
  const Case kCases[] = {{1, 4, 0, 0, 0, 0, 0, 0, 0},
                         {2, 2, 3, 1, 0, 2, 2, 1, 1},
                         {2, 3, 1, 0, 0, 2, 2, 1, 0},
                         {1, 4, 1, 0, 4, 1, 3, 1, 9},
                         {2, 0, 0, 0, 12, 0, 0, 0, 0}};
  FakeFileSystem fs;
  for (const Case& c : kCases) {
    TrackModel m(&fs, kTestFolder);
    m.celle.assign(100, cella{});
    Case in = c;
    int32_t tempo = 0;
    ASSERT_TRUE(m.memo_segnale(1750, in.sx, in.s1, in.s2, in.s3, in.rapp, in.dx, in.d1, in.d2,
                               in.d3, tempo));
    const cella& cell = m.celle[36];
    const SignalValues v = UnpackSignal(cell.valore, cell.valore2, cell.valore3, cell.valore4);
    EXPECT_EQ(std::vector<int32_t>({c.sx, c.s1, c.s2, c.s3, c.rapp, c.dx, c.d1, c.d2, c.d3}),
              std::vector<int32_t>({v.sx, v.s1, v.s2, v.s3, v.rapp, v.dx, v.d1, v.d2, v.d3}))
        << "valore4 " << cell.valore4;
  }
  for (int32_t s : {0, 1, 2}) {
    for (int32_t d : {0, 1, 2}) {
      TrackModel m(&fs, kTestFolder);
      m.celle.assign(200, cella{});
      ASSERT_TRUE(m.memo_indicatori_v_max(6000, 125, 135, 140, s, 125, 135, 140, d));
      const IndicatorStripes stripes = UnpackIndicatorStripes(m.celle[121].valore4);
      EXPECT_EQ(s, stripes.s_side);
      EXPECT_EQ(d, stripes.d_side);
    }
  }
}

TEST(CellValues, TipoNames) {
  struct Case {
    uint8_t tipo;
    std::string name;
  };
  const Case kCases[] = {{kTipoLibero, "libera"},
                         {kTipoSegnale, "segnale"},
                         {kTipoFineRall, "fine rallentamento"},
                         {kTipoInizioRall, "inizio rallentamento"},
                         {kTipoAvvisoRall, "avviso di rallentamento"},
                         {kTipoZonaRall, "zona di preavviso del rallentamento"},
                         {kTipoIndicatore, "indicatore di velocità massima"},
                         {kTipoStazione, "cella di stazione"},
                         {kTipoMarcaGalleria, "marca di galleria"},
                         {kTipoCodice, "cella di codice"},
                         {kTipoAbbattimento, "abbattimento"},
                         {kTipoCartello, "cartello"},
                         {7, ""},
                         {255, ""}};
  for (const Case& c : kCases) EXPECT_EQ(c.name, TipoName(c.tipo)) << int{c.tipo};
}

}  // namespace
}  // namespace scenario
