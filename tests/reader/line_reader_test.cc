// The line source reader through real source texts in an in-memory folder.
#include <gtest/gtest.h>

#include <bit>
#include <cstdint>
#include <string>
#include <vector>

#include "model/problems.h"
#include "model/track_model.h"
#include "test_util.h"

namespace scenario {
namespace {

using Lines = std::vector<std::string>;

// A short line: 3000 m give ultimo_metro 10000 and cells 0 to 200.
const char kLength3000[] = "lunghezza percorso,    3000";

class LineReaderTest : public ::testing::Test {
 protected:
  void SetUp() override {
    m.linea = "Vescolara";
    m.treno = "631";
    m.crea_linea = 1;
  }

  std::string LinePath() const { return m.FullName(m.LineSourceName()); }
  std::string TrainPath() const { return m.FullName(m.TrainSourceName()); }

  // Writes the line source (and an empty train run) and runs the reader.
  void Read(const Lines& lines) {
    fs.files[LinePath()] = JoinCrLf(lines);
    fs.files[TrainPath()] = JoinCrLf({"[generale]", "[fine]", ""});
    m.memorizza_dati();
  }

  // A line source: [generale] with the length, then `records`, then [fine].
  void ReadRecords(const Lines& records, const char* length = kLength3000) {
    Lines lines = {"[generale]", length, "[curve]"};
    lines.insert(lines.end(), records.begin(), records.end());
    lines.push_back("[fine]");
    Read(lines);
  }

  bool LineGone() const { return fs.files.count(LinePath()) == 0; }
  bool TrainGone() const { return fs.files.count(TrainPath()) == 0; }

  FakeFileSystem fs;
  TrackModel m{&fs, kTestFolder};
};

TEST_F(LineReaderTest, MissingLineSourceIs101AndTouchesNothing) {
  fs.files[TrainPath()] = "x";
  m.pos_errore = 77;
  m.memorizza_dati();
  EXPECT_EQ(kErrManca, m.cod_errore);
  EXPECT_EQ(77, m.pos_errore);
  EXPECT_FALSE(TrainGone());
  EXPECT_EQ(Lines{}, fs.log);  // nothing opened, nothing deleted
  EXPECT_EQ("Vescolara", m.tabella[85].nome);
  EXPECT_EQ("631", m.tabella[86].nome);
}

// Every way the line reader can stop: the code, pos_errore, and what stays.
TEST_F(LineReaderTest, StopsWithTheirCodes) {
  struct Case {
    const char* name;
    Lines lines;
    int32_t code;
    int32_t pos;  // -1: unchanged
  };
  const Case kCases[] = {
      {"no [generale]", {"lunghezza percorso,    3000", "[fine]"}, kErrGenerale, -1},
      {"[generale] is the last field", {"x", "[generale]"}, kErrGenerale, -1},
      {"empty file", {}, kErrGenerale, -1},
      {"length above 1000000", {"[generale]", "lunghezza percorso,    1000001", "[fine]"},
       kErrLunghezza, -1},
      {"repetition start", {"[generale]", kLength3000, "ripetizione segnali 4 codici,  925,  2000",
                            "[fine]"}, kErrRipetizioneInizio, -1},
      {"repetition end", {"[generale]", kLength3000, "ripetizione segnali 4 codici,  900,  99525",
                          "[fine]"}, kErrRipetizioneFine, -1},
      {"repetition without 4 or 9", {"[generale]", kLength3000,
                                     "ripetizione segnali codici,  900,  2000", "[fine]"},
       kErrRipetizioneCodici, -1},
      {"curve digit 7", {"[generale]", kLength3000, "[curve]", "curvad7,  100,  50", "[fine]"},
       kErrCurva, -1},
      {"curve without digit", {"[generale]", kLength3000, "[curve]", "curvad,  100,  50", "[fine]"},
       kErrCurva, -1},
      {"plan past metre 1000000", {"[generale]", "lunghezza percorso,    1000000", "[curve]",
                                   "curvad4,  999900,  200", "[fine]"}, kErrCurva, -1},
      {"two boards in one cell", {"[generale]", kLength3000, "[indicazioni]",
                                  "cartello_indicatore,  850,   (COD)",
                                  "cartello_indicatore,  860,   (F)", "[fine]"}, kErrCartello, 860},
      {"indicator board on a text board", {"[generale]", kLength3000, "[cartelli]",
                                           "cartello_indicatore,  850,   (COD)",
                                           "indicatori_vmax,  850,  125,  135,  145,  0,  ,  ,  ,  0",
                                           "[fine]"}, kErrIndicatore, 850},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.name);
    fs.files.clear();
    m.cod_errore = 0;
    m.pos_errore = -1;
    Read(c.lines);
    EXPECT_EQ(c.code, m.cod_errore);
    EXPECT_EQ(c.pos, m.pos_errore);
    EXPECT_TRUE(LineGone());
    EXPECT_FALSE(TrainGone());  // a stop leaves the train run unread
  }
}

TEST_F(LineReaderTest, LengthSetsTheTables) {
  struct Case {
    const char* length;
    int32_t ultimo_metro;
    int32_t ultima_cella;
  };
  const Case kCases[] = {
      {"lunghezza percorso,    99000", 106000, 2120},
      {"lunghezza percorso,    1000000", 1007000, 20140},
      {"LUNGHEZZA PERCORSO,    3000", 10000, 200},  // any case
      {"lunghezza percorso,    3025", 10025, 200},  // 200.5 goes to the even cell
      {"lunghezza percorso,    3075", 10075, 202},  // 201.5 likewise
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.length);
    Read({"[generale]", c.length, "[fine]"});
    EXPECT_EQ(0, m.cod_errore);
    EXPECT_EQ(c.ultimo_metro, m.ultimo_metro);
    EXPECT_EQ(c.ultima_cella, m.ultima_cella);
    EXPECT_EQ(static_cast<size_t>(c.ultima_cella) + 1, m.celle.size());
    EXPECT_EQ(static_cast<size_t>(c.ultimo_metro) + 1, m.planimetria.size());
    EXPECT_TRUE(LineGone());
    EXPECT_TRUE(TrainGone());
  }
}

TEST_F(LineReaderTest, TooLongRouteMakesNoTables) {
  Read({"[generale]", "lunghezza percorso,    1000001", "[fine]"});
  EXPECT_EQ(1000001, m.tabella[84].fine);
  EXPECT_TRUE(m.celle.empty());
  EXPECT_TRUE(m.planimetria.empty());
}

TEST_F(LineReaderTest, GeneraleRecords) {
  Read({"rubbish, 12", "[generale]",
        "lunghezza percorso,    99000",
        "progressiva chilometrica uno,    0,    96900,    1",
        "progressiva chilometrica due,    94500,    99350,    1",
        "progressiva chilometrica tre,    0,    0,    0",
        "sfondo uno,    7",
        "sfondo due,    1",
        "sfondo tre,    3",
        "ripetizione segnali 4 codici,    900,    99500",
        "[curve]", "[fine]"});
  EXPECT_EQ(0, m.cod_errore);
  EXPECT_EQ(99000, m.tabella[84].fine);
  // Progressive ranges after reordering.
  EXPECT_EQ(94500, m.tabella[81].inizio);
  EXPECT_EQ(99450, m.tabella[81].fine);
  EXPECT_EQ(1, m.tabella[81].posizione);
  EXPECT_EQ(0, m.tabella[82].inizio);
  EXPECT_EQ(97000, m.tabella[82].fine);
  EXPECT_EQ(1, m.tabella[82].posizione);
  EXPECT_EQ(0, m.tabella[83].fine);
  // Scenery: "due" goes to posizione, "tre" to fine.
  EXPECT_EQ(7, m.tabella[85].inizio);
  EXPECT_EQ(1, m.tabella[85].posizione);
  EXPECT_EQ(3, m.tabella[85].fine);
  EXPECT_EQ(900, m.tabella[86].inizio);
  EXPECT_EQ(99500, m.tabella[86].fine);
  EXPECT_EQ(4, m.tabella[86].posizione);
}

TEST_F(LineReaderTest, RepetitionCodes) {
  struct Case {
    const char* record;
    int32_t posizione;
  };
  const Case kCases[] = {
      {"ripetizione segnali 4 codici,    900,    99500", 4},
      {"ripetizione segnali 9 codici,    900,    99500", 9},
      {"ripetizione segnali 9 codici,    900,    0", 0},
      {"ripetizione segnali 9 e 4 codici,    900,    2000", 4},
      {"ripetizione segnali 4 codici,    -100,    2000", 4},  // negative multiples pass
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.record);
    Read({"[generale]", kLength3000, c.record, "[fine]"});
    EXPECT_EQ(0, m.cod_errore);
    EXPECT_EQ(c.posizione, m.tabella[86].posizione);
  }
}

TEST_F(LineReaderTest, ExactCaseKeywordsIgnoreCapitals) {
  // "Sfondo" and "Progressiva" are not recognised; their numbers pass over
  // as fields that match nothing.
  Read({"[generale]", kLength3000, "Sfondo uno,    5", "Progressiva chilometrica uno,  0,  500,  1",
        "[fine]"});
  EXPECT_EQ(0, m.cod_errore);
  EXPECT_EQ(0, m.tabella[85].inizio);
  EXPECT_EQ(0, m.tabella[83].fine);
  EXPECT_EQ(0, m.tabella[81].fine);
}

TEST_F(LineReaderTest, GeneraleSectionEndsAtABracketedField) {
  // Up to ten dash fields in a row are passed over before a keyword; a
  // bracketed field whose first character is a dash does not end the section.
  Read({"[generale]", kLength3000, "-", "-", "-", "-", "-", "-", "-", "-", "-", "-", "-[x]",
        "sfondo uno,    4", "[curve]", "sfondo due,    9", "[fine]"});
  EXPECT_EQ(0, m.cod_errore);
  EXPECT_EQ(4, m.tabella[85].inizio);
  EXPECT_EQ(0, m.tabella[85].posizione);  // read after the section ended
}

TEST_F(LineReaderTest, DashFieldsBeforeARecordKeyword) {
  // Up to two dash fields are passed over; a third one in a row is examined
  // as a keyword. A dash field holding a keyword is passed over.
  ReadRecords({"-, -, pendenza,  100,  5", "-pendenza,  300,  9", "-, -, -pendenza,  400,  7"});
  EXPECT_EQ(0, m.cod_errore);
  EXPECT_EQ(100, m.celle[1].pendenza);
  EXPECT_EQ(105, m.celle[2].pendenza);
  EXPECT_EQ(105, m.celle[7].pendenza);  // the 300 m record was not read
  EXPECT_EQ(107, m.celle[8].pendenza);
  EXPECT_EQ(107, m.celle[197].pendenza);
}

TEST_F(LineReaderTest, GradientFill) {
  ReadRecords({"pendenza,   0,    0", "pendenza,  1550,   1", "pendenza,  1600,   2",
               "pendenza,  2000,   -12"});
  EXPECT_EQ(0, m.cod_errore);
  for (int k = 0; k <= 30; ++k) EXPECT_EQ(100, m.celle[k].pendenza) << k;
  EXPECT_EQ(101, m.celle[31].pendenza);
  for (int k = 32; k <= 39; ++k) EXPECT_EQ(102, m.celle[k].pendenza) << k;
  EXPECT_EQ(88, m.celle[40].pendenza);
  EXPECT_EQ(88, m.celle[197].pendenza);
  EXPECT_EQ(0, m.celle[198].pendenza);  // the last three cells keep 0
  EXPECT_EQ(0, m.celle[200].pendenza);
}

TEST_F(LineReaderTest, GradientWithoutRecordsAndInOneCell) {
  ReadRecords({});
  for (int k = 0; k <= 197; ++k) ASSERT_EQ(100, m.celle[k].pendenza) << k;
  EXPECT_EQ(0, m.celle[198].pendenza);

  // Two records in one cell: the second still writes one cell with the
  // gradient in force before it. 25 m rounds to cell 0, 75 m to cell 2.
  ReadRecords({"pendenza,  500,  3", "pendenza,  510,  4", "pendenza,  25,  6"});
  EXPECT_EQ(100, m.celle[9].pendenza);
  EXPECT_EQ(103, m.celle[10].pendenza);  // written by the 510 m record
  EXPECT_EQ(106, m.celle[11].pendenza);  // the 25 m record is cell 0: it writes nothing
  ReadRecords({"pendenza,  75,  3"});
  EXPECT_EQ(100, m.celle[1].pendenza);
  EXPECT_EQ(103, m.celle[2].pendenza);
}

TEST_F(LineReaderTest, StraightPlanWithoutCurves) {
  ReadRecords({});
  ASSERT_EQ(10001u, m.planimetria.size());
  EXPECT_EQ(PlanKind::kInt16, m.planimetria.x(0).kind);
  EXPECT_EQ(PlanKind::kInt16, m.planimetria.y(1).kind);
  EXPECT_EQ(1, m.planimetria.y(1).value);
  for (int metre : {2, 500, 9998}) {
    EXPECT_EQ(PlanKind::kDouble, m.planimetria.x(metre).kind) << metre;
    EXPECT_EQ(0, m.planimetria.x(metre).value) << metre;
    EXPECT_EQ(metre, m.planimetria.y(metre).value) << metre;
  }
  EXPECT_EQ(PlanKind::kEmpty, m.planimetria.x(9999).kind);
  EXPECT_EQ(PlanKind::kEmpty, m.planimetria.y(10000).kind);
}

TEST_F(LineReaderTest, CurvesBendThePlan) {
  struct Case {
    const char* record;
    double curvatura;
  };
  const Case kCases[] = {
      {"curvas4,  900,  300", -0.001},
      {"curvad4,  900,  300", 0.001},
      {"curvas14,  900,  300", -0.0001},  // the smallest digit wins
      {"curvaD61,  900,  300", 0.0001},
      {"CURVAS3,  900,  300", -0.0004},   // any s or S reverses the hand
      {"curvad2,  900,  300", 0.0002},
      {"curvad5,  900,  300", 0.002},
      {"curvad6,  900,  300", 0.003},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.record);
    ReadRecords({c.record});
    ASSERT_EQ(0, m.cod_errore);
    // Metre 900 is still straight; 901 is the first curved metre.
    EXPECT_EQ(0, m.planimetria.x(900).value);
    EXPECT_EQ(900, m.planimetria.y(900).value);
    EXPECT_DOUBLE_EQ(c.curvatura, m.planimetria.x(901).value);
    EXPECT_DOUBLE_EQ(901, m.planimetria.y(901).value);
    // Metre 1200 is the last curved one; after it the heading stays.
    const auto& p = m.planimetria;
    const double dx = p.x(1200).value - p.x(1199).value;
    const double dy = p.y(1200).value - p.y(1199).value;
    EXPECT_DOUBLE_EQ(p.x(1200).value + dx, p.x(1201).value);
    EXPECT_DOUBLE_EQ(p.y(1200).value + dy, p.y(1201).value);
    EXPECT_NE(p.x(1200).value - p.x(1199).value, p.x(1199).value - p.x(1198).value);
  }
}

// The plan as its rule reads, one metre after another: each metre from the
// two before it, straight up to a curve's start, curved to its end, straight
// to ultimo_metro - 2 after the last record. A curve record stops after
// metre 1000000 (103); a metre beyond the plan is a fault (25).
struct CurveRecord {
  int32_t s, l;
  const char* keyword;
  double curvatura;
};
struct ReferencePlan {
  std::vector<PlanNumber> x, y;
  int32_t cod_errore = 0;
};
ReferencePlan PlanByTheRule(int64_t ultimo_metro, const std::vector<CurveRecord>& curves) {
  ReferencePlan r;
  r.x.assign(ultimo_metro + 1, PlanNumber{});
  r.y.assign(ultimo_metro + 1, PlanNumber{});
  r.x[0] = r.y[0] = r.x[1] = PlanNumber{PlanKind::kInt16, 0};
  r.y[1] = PlanNumber{PlanKind::kInt16, 1};
  int64_t metro = 2;
  auto compute = [&](double c) {
    if (metro > ultimo_metro) return false;
    const double dx = r.x[metro - 1].value - r.x[metro - 2].value;
    const double dy = r.y[metro - 1].value - r.y[metro - 2].value;
    const double x = c == 0 ? r.x[metro - 1].value + dx : r.x[metro - 1].value + (dx + c * dy);
    const double y = c == 0 ? r.y[metro - 1].value + dy : r.y[metro - 1].value + (dy - c * dx);
    r.x[metro] = PlanNumber{PlanKind::kDouble, x};
    r.y[metro] = PlanNumber{PlanKind::kDouble, y};
    ++metro;
    return true;
  };
  for (const CurveRecord& curve : curves) {
    for (int pass = 0; pass < 2; ++pass) {
      while (metro <= (pass == 0 ? curve.s : int64_t{curve.s} + curve.l)) {
        if (!compute(pass == 0 ? 0 : curve.curvatura)) {
          r.cod_errore = kErrLettura;
          return r;
        }
        if (metro > 1000000) {
          r.cod_errore = kErrCurva;
          return r;
        }
      }
    }
  }
  while (metro <= ultimo_metro - 2) compute(0);
  return r;
}

// The reader's plan is the rule's, bit for bit, in every metre.
TEST_F(LineReaderTest, PlanIsTheRuleBitForBit) {
  struct Case {
    const char* name;
    const char* length;
    int64_t ultimo_metro;
    std::vector<CurveRecord> curves;
  };
  const Case kCases[] = {
      {"curves of both hands and every radius",
       kLength3000,
       10000,
       {{100, 50, "curvad1", 0.0001},
        {200, 300, "curvas2", -0.0002},
        {600, 400, "curvad3", 0.0004},
        {1100, 250, "curvas4", -0.001},
        {1400, 100, "curvad5", 0.002},
        {1600, 700, "curvas6", -0.003},
        {2300, 0, "curvad4", 0.001},      // no curved metre
        {2200, 500, "curvas5", -0.002},   // starts behind the cursor
        {2900, -40, "curvad6", 0.003}}},  // a negative length
      {"a curve past the end of the plan", kLength3000, 10000, {{9800, 500, "curvad4", 0.001}}},
      {"a curve reaching metre 1000000",
       "lunghezza percorso,    1000000",
       1007000,
       {{500000, 1000, "curvas3", -0.0004}, {999000, 2000, "curvad4", 0.001}}},
      {"straight up to metre 1000000",
       "lunghezza percorso,    1000000",
       1007000,
       {{1000500, 10, "curvas2", -0.0002}}},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.name);
    Lines records;
    for (const CurveRecord& curve : c.curves) {
      records.push_back(std::string(curve.keyword) + ",  " + std::to_string(curve.s) + ",  " +
                        std::to_string(curve.l));
    }
    fs.files.clear();
    m.cod_errore = 0;
    ReadRecords(records, c.length);
    const ReferencePlan r = PlanByTheRule(c.ultimo_metro, c.curves);
    EXPECT_EQ(r.cod_errore, m.cod_errore);
    ASSERT_EQ(r.x.size(), m.planimetria.size());
    for (size_t metre = 0; metre < r.x.size(); ++metre) {
      const PlanNumber x = m.planimetria.x(metre), y = m.planimetria.y(metre);
      ASSERT_EQ(r.x[metre].kind, x.kind) << metre;
      ASSERT_EQ(r.y[metre].kind, y.kind) << metre;
      ASSERT_EQ(std::bit_cast<uint64_t>(r.x[metre].value), std::bit_cast<uint64_t>(x.value))
          << metre;
      ASSERT_EQ(std::bit_cast<uint64_t>(r.y[metre].value), std::bit_cast<uint64_t>(y.value))
          << metre;
    }
  }
}

TEST_F(LineReaderTest, CurvesIgnoredWithoutPlan) {
  m.crea_linea = 0;
  // Without a plan the curve record is not acted on: a bad digit passes.
  ReadRecords({"curvad7,  100,  50"});
  EXPECT_EQ(0, m.cod_errore);
  EXPECT_TRUE(m.planimetria.empty());
}

TEST_F(LineReaderTest, TextBoards) {
  ReadRecords({"cartello_indicatore,  850,   (COD)", "cartello_indicatore,  1350,   \"(A,B)\"",
               "montagna,   1400,  2000,  12",
               "cartello_indicatore,  1500,   ( P.L.)(2+200)"});
  EXPECT_EQ(0, m.cod_errore);
  EXPECT_EQ(kTipoCartello, m.celle[18].tipo);
  EXPECT_EQ(80, m.celle[18].valore);
  EXPECT_EQ("(COD)", m.tabella[80].nome);
  EXPECT_EQ(79, m.celle[28].valore);
  EXPECT_EQ("(A,B)", m.tabella[79].nome);
  // Cell 31, the first marker of the range from cell 28, takes the board.
  EXPECT_EQ(kTipoCartello, m.celle[31].tipo);
  EXPECT_EQ(78, m.celle[31].valore);
  EXPECT_EQ("( P.L.)(2+200)", m.tabella[78].nome);
  EXPECT_EQ(77, m.voce_cartello);
}

TEST_F(LineReaderTest, PositionBeyondTheTrackIs15AndCompletesTheReading) {
  // 3000 m: ultima_cella 200, so 9900 m is the last position that passes.
  ReadRecords({"pendenza,  9900,  2", "montagna,   9901,  9950,  12", "pendenza,  100,  7"});
  EXPECT_EQ(kErrOltrePercorso, m.cod_errore);
  EXPECT_EQ(9901, m.pos_errore);
  EXPECT_EQ(0, m.celle[198].montagna);
  EXPECT_EQ(100, m.celle[197].pendenza);
  EXPECT_EQ(102, m.celle[198].pendenza);  // the fill to the end always writes one cell
  EXPECT_EQ(0, m.celle[199].pendenza);    // the 100 m record was never read
  EXPECT_EQ(PlanKind::kDouble, m.planimetria.y(9998).kind);  // plan completed
  EXPECT_TRUE(LineGone());
  EXPECT_TRUE(TrainGone());  // the train run is still read
}

TEST_F(LineReaderTest, FaultsGoToTheErrorTrap) {
  struct Case {
    const char* name;
    Lines lines;
  };
  const Case kCases[] = {
      {"record cut short", {"[generale]", kLength3000, "[curve]", "pendenza,  100"}},
      {"length does not fit 32 bits", {"[generale]", "lunghezza percorso,  3000000000", "[fine]"}},
      {"dash fields up to the end", {"[generale]", kLength3000, "-", "-"}},
      {"packed speed beyond 16 bits",
       {"[generale]", kLength3000, "[cartelli]",
        "indicatori_vmax,  1350,  2000,  135,  145,  0,  ,  ,  ,  0", "[fine]"}},
      {"no route length", {"[generale]", "[curve]", "pendenza,  100,  1", "[fine]"}},
      {"no route length, no records", {"[generale]", "[fine]", "x"}},
      {"negative board cell", {"[generale]", kLength3000, "[indicazioni]",
                               "cartello_indicatore,  -500,   (X)", "[fine]"}},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.name);
    fs.files.clear();
    m.celle.clear();
    m.planimetria.clear();
    m.cod_errore = 0;
    Read(c.lines);
    EXPECT_EQ(kErrLettura, m.cod_errore);
    EXPECT_TRUE(LineGone());
    EXPECT_TRUE(TrainGone());  // the trap deletes both sources
  }
}

TEST_F(LineReaderTest, TheLastFieldIsNeverExamined) {
  // A file that ends in a keyword alone: not a fault, nothing read.
  Read({"[generale]", kLength3000, "[curve]", "pendenza,  100,  5", "montagna"});
  EXPECT_EQ(0, m.cod_errore);
  EXPECT_EQ(105, m.celle[2].pendenza);
}

TEST_F(LineReaderTest, MoreThan80BoardsIsAFault) {
  Lines records;
  for (int k = 0; k < 81; ++k) {
    records.push_back("cartello_indicatore,  " + std::to_string(100 + 100 * k) + ",   (B)");
  }
  ReadRecords(records, "lunghezza percorso,    10000");
  EXPECT_EQ(kErrLettura, m.cod_errore);
  EXPECT_EQ("", m.tabella[0].nome);  // slot 0 is never used
  EXPECT_EQ("(B)", m.tabella[1].nome);
}

// --- record placement -------------------------------------------------------

TEST_F(LineReaderTest, TunnelRanges) {
  ReadRecords({"montagna,   1000,  1150,  12",   // 3 cells: no marker
               "montagna,   1300,  1400,  2",    // 150 m after: type 3
               "montagna,   2000,  3000,  12",   // markers every 4th cell
               "montagna,   3100,  3100,  12"},  // empty range, still counted
              "lunghezza percorso,    10000");
  EXPECT_EQ(0, m.cod_errore);
  EXPECT_EQ(4, m.n_montagne);
  EXPECT_EQ(1300, m.inizi_montagna[2]);
  EXPECT_EQ(1400, m.fini_montagna[2]);
  EXPECT_EQ(3100, m.inizi_montagna[4]);
  for (int k : {20, 21, 22}) EXPECT_EQ(2, m.celle[k].montagna) << k;
  EXPECT_EQ(0, m.celle[23].montagna);
  for (int k = 20; k <= 22; ++k) EXPECT_EQ(kTipoLibero, m.celle[k].tipo) << k;
  EXPECT_EQ(3, m.celle[26].montagna);
  EXPECT_EQ(3, m.celle[27].montagna);
  EXPECT_EQ(0, m.celle[28].montagna);
  // Range 2000-3000: cells 40 to 59; markers in cells 43, 47, 51, 55, 59.
  for (int k = 40; k <= 59; ++k) {
    EXPECT_EQ(2, m.celle[k].montagna) << k;
    EXPECT_EQ((k - 40 + 1) % 4 == 0 ? kTipoMarcaGalleria : kTipoLibero, m.celle[k].tipo) << k;
  }
  EXPECT_EQ(0, m.celle[60].montagna);
  EXPECT_EQ(0, m.celle[62].montagna);
}

TEST_F(LineReaderTest, BuiltInTunnelExamples) {
  ReadRecords({"montagna,   15450,  15550,  12", "montagna,   15650,  15700,  12",
               "montagna,   17200,  24300,  12"},
              "lunghezza percorso,    99000");
  EXPECT_EQ(3, m.celle[313].montagna);  // 100 m after the previous range
  EXPECT_EQ(2, m.celle[344].montagna);
  EXPECT_EQ(2, m.celle[485].montagna);
  EXPECT_EQ(0, m.celle[486].montagna);
  int markers = 0;
  for (int k = 344; k <= 485; ++k) {
    if (m.celle[k].tipo == kTipoMarcaGalleria) {
      ++markers;
      EXPECT_EQ(3, (k - 344) % 4) << k;
    }
  }
  EXPECT_EQ(35, markers);
  EXPECT_EQ(kTipoMarcaGalleria, m.celle[347].tipo);
  EXPECT_EQ(kTipoMarcaGalleria, m.celle[483].tipo);
}

TEST_F(LineReaderTest, TunnelPastTheLastCellIsClipped) {
  ReadRecords({"montagna,   9800,  20000,  12"});
  EXPECT_EQ(0, m.cod_errore);
  EXPECT_EQ(2, m.celle[196].montagna);
  EXPECT_EQ(2, m.celle[200].montagna);
}

// A range that reaches far past both ends of the track covers every cell,
// with its markers counted from the range's own first cell, as if the
// cells outside the track were there.
TEST_F(LineReaderTest, TunnelFarPastBothEndsCoversTheTrack) {
  Lines records(80, "montagna, -2147483600, 2147483600, 12");
  ReadRecords(records);
  EXPECT_EQ(0, m.cod_errore);
  EXPECT_EQ(80, m.n_montagne);
  // The first cell of the range is round(-2147483600 / 50) = -42949672, so
  // cell c is the (c + 42949673)th of the range.
  for (int k = 0; k <= 200; ++k) {
    EXPECT_EQ(3, m.celle[k].montagna) << k;  // each range starts before the previous end
    EXPECT_EQ((k + 42949673) % 4 == 0 ? kTipoMarcaGalleria : kTipoLibero, m.celle[k].tipo) << k;
  }
}

TEST_F(LineReaderTest, IndicatorBoards) {
  struct Case {
    const char* record;
    int cell;
    int16_t valore, valore2, valore3, valore4;
  };
  const Case kCases[] = {
      {"indicatori_vmax,  6000,  125,  135,  140,  0,  125,  135,  140,  0", 121, 2525, 2727, 2828, 0},
      {"indicatori_vmax,  22550,  125,  135,  140,  2,  125,  135,  140,  2", 452, 2525, 2727, 2828,
       22},
      {"indicatori_vmax,  1350,  125,  135,  145,  0,  ,  ,  ,  0", 28, 2500, 2700, 2900, 0},
      // The sums are rounded: 22.4 -> 22, 23.6 -> 24, 20.6 -> 21.
      {"indicatori_vmax,  1350,  1,  1,  1,  1,  12,  18,  3,  2", 28, 22, 24, 21, 12},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.record);
    ReadRecords({c.record}, "lunghezza percorso,    99000");
    ASSERT_EQ(0, m.cod_errore);
    const cella& k = m.celle[c.cell];
    EXPECT_EQ(kTipoIndicatore, k.tipo);
    EXPECT_EQ(c.valore, k.valore);
    EXPECT_EQ(c.valore2, k.valore2);
    EXPECT_EQ(c.valore3, k.valore3);
    EXPECT_EQ(c.valore4, k.valore4);
  }
}

// The three speed pairs are stored one by one as they are packed: a pair
// that does not fit 16 bits ends the reading (error 25) with the board and
// the pairs before it already in the cell.
TEST_F(LineReaderTest, IndicatorBoardThatDoesNotFitKeepsWhatWasStored) {
  struct Case {
    const char* record;
    int16_t valore, valore2, valore3;
  };
  const Case kCases[] = {
      {"indicatori_vmax,  650,  2000,  135,  145,  0,  ,  ,  ,  0", 0, 0, 0},
      {"indicatori_vmax,  650,  100,  2706,  100,  1,  100,  2706,  100,  1", 2020, 0, 0},
      {"indicatori_vmax,  650,  125,  135,  -1700,  2,  125,  135,  0,  0", 2525, 2727, 0},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.record);
    fs.files.clear();
    m.cod_errore = 0;
    ReadRecords({c.record});
    EXPECT_EQ(kErrLettura, m.cod_errore);
    const cella& k = m.celle[14];
    EXPECT_EQ(kTipoIndicatore, k.tipo);
    EXPECT_EQ(c.valore, k.valore);
    EXPECT_EQ(c.valore2, k.valore2);
    EXPECT_EQ(c.valore3, k.valore3);
    EXPECT_EQ(0, k.valore4);  // the stripes come after the speeds
  }
}

TEST_F(LineReaderTest, IndicatorBoardReplacesATunnelMarker) {
  ReadRecords({"montagna,   1000,  2000,  12",
               "indicatori_vmax,  1100,  125,  135,  145,  0,  ,  ,  ,  0"});
  EXPECT_EQ(0, m.cod_errore);
  EXPECT_EQ(kTipoIndicatore, m.celle[23].tipo);  // cell 23 was the first marker
}

TEST_F(LineReaderTest, BoardPositionsRoundHalfToEven) {
  // 25 m and 75 m both go to cell 2.
  ReadRecords({"cartello_indicatore,  25,   (A)", "cartello_indicatore,  75,   (B)"});
  EXPECT_EQ(kErrCartello, m.cod_errore);
  EXPECT_EQ(75, m.pos_errore);
  EXPECT_EQ(80, m.celle[2].valore);
}

TEST(ProgressiveOrder, Orderings) {
  struct Range {
    int32_t inizio, fine, posizione;
  };
  struct Case {
    const char* name;
    Range t, d, u;          // as read: slot 81 "tre", 82 "due", 83 "uno"
    Range s81, s82, s83;    // after ordering
  };
  const Case kCases[] = {
      {"built-in", {0, 0, 0}, {94500, 99350, 1}, {0, 96900, 1},
       {94500, 99450, 1}, {0, 97000, 1}, {0, 0, 0}},
      {"uno alone", {0, 0, 0}, {0, 0, 0}, {0, 96900, 1}, {0, 97000, 1}, {0, 0, 0}, {0, 0, 0}},
      {"due alone by fine", {0, 0, 0}, {0, 500, 0}, {0, 0, 0}, {0, 500, 0}, {0, 0, 0}, {0, 0, 0}},
      {"tre alone by fine", {0, 700, 1}, {0, 0, 0}, {0, 0, 0}, {0, 800, 1}, {0, 0, 0}, {0, 0, 0}},
      {"tie below nothing", {0, 0, 0}, {5000, 1, 0}, {5000, 2, 0}, {0, 0, 0}, {0, 0, 0}, {0, 0, 0}},
      {"T D U", {3, 1, 0}, {2, 1, 0}, {1, 1, 0}, {3, 1, 0}, {2, 1, 0}, {1, 1, 0}},
      {"T U D", {3, 1, 0}, {1, 1, 0}, {2, 1, 0}, {3, 1, 0}, {2, 1, 0}, {1, 1, 0}},
      {"T, D = U", {3, 1, 0}, {1, 2, 0}, {1, 3, 0}, {3, 1, 0}, {1, 3, 0}, {1, 2, 0}},
      {"D T U", {2, 1, 0}, {3, 1, 0}, {1, 1, 0}, {3, 1, 0}, {2, 1, 0}, {1, 1, 0}},
      {"D, T = U", {1, 4, 0}, {3, 1, 0}, {1, 5, 0}, {3, 1, 0}, {1, 5, 0}, {1, 4, 0}},
      {"U T D", {2, 1, 0}, {1, 1, 0}, {3, 1, 0}, {3, 1, 0}, {2, 1, 0}, {1, 1, 0}},
      {"U, T = D", {1, 4, 0}, {1, 5, 0}, {3, 1, 0}, {3, 1, 0}, {1, 5, 0}, {1, 4, 0}},
      {"all zero", {0, 0, 0}, {0, 0, 0}, {0, 0, 0}, {0, 0, 0}, {0, 0, 0}, {0, 0, 0}},
      {"sum zero, uno wins", {0, 9, 0}, {0, 8, 0}, {0, 7, 0}, {0, 7, 0}, {0, 8, 0}, {0, 9, 0}},
      {"sum zero with negatives", {-50, 100, 1}, {50, 200, 0}, {0, 0, 0},
       {50, 200, 0}, {-50, 200, 1}, {0, 0, 0}},
  };
  FakeFileSystem fs;
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.name);
    TrackModel m(&fs, kTestFolder);
    const Range* in[3] = {&c.t, &c.d, &c.u};
    for (int k = 0; k < 3; ++k) {
      m.tabella[81 + k].inizio = in[k]->inizio;
      m.tabella[81 + k].fine = in[k]->fine;
      m.tabella[81 + k].posizione = in[k]->posizione;
    }
    m.progressive_ordina();
    const Range* out[3] = {&c.s81, &c.s82, &c.s83};
    for (int k = 0; k < 3; ++k) {
      EXPECT_EQ(out[k]->inizio, m.tabella[81 + k].inizio) << "slot " << 81 + k;
      EXPECT_EQ(out[k]->fine, m.tabella[81 + k].fine) << "slot " << 81 + k;
      EXPECT_EQ(out[k]->posizione, m.tabella[81 + k].posizione) << "slot " << 81 + k;
    }
  }
}

}  // namespace
}  // namespace scenario
