// The train-run reader through real source texts in an in-memory folder. The
// line source is a 3000 m line: cells 0 to 200, so positions up to 9900 m
// (stations up to 9200 m) lie on the track and the end processing fills the
// cells 0 to 197.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "model/model_fixture.h"
#include "model/problems.h"
#include "model/track_model.h"
#include "test_util.h"

namespace scenario {
namespace {

using model_test::DumpCells;
using model_test::kLength3000;
using model_test::Lines;
using model_test::LineSource;
using model_test::Rec;
using model_test::Runs;
using model_test::Stazione;
using model_test::TestModel;

constexpr int32_t kUnchanged = -777;  // pos_errore before the reading

// A signal with the built-in values (sx 1, s1 4) at `posizione`.
std::string Segnale(int64_t posizione) {
  return Rec("segnale", {posizione, 1, 4, 0, 0, 0, 0, 0, 0, 0, 0});
}

std::string Rallentamento(int64_t x, int64_t l, int64_t f_ta = 0) {
  return Rec("rallentamento", {x, 60, l, 0, f_ta, 0});
}

// The profiles a run with "velocita 0 100" and "aderenza 0 30" leaves: after
// the end processing every cell up to ultima_cella - 3 carries them; after a
// stop no cell was written.
const Lines kProfiles = {"velocita,  0,  100", "aderenza,  0,  30"};
const char kSpeedEnded[] = "0-197:20 198-200:0";
const char kAdhesionEnded[] = "0-197:30 198-200:0";
const char kNothing[] = "0-200:0";

// What the reader does with each problem it records or meets: the code, the
// position, whether the end processing ran, and the source gone in any case.
TEST(TrainReader, ProblemsAndTheirOutcome) {
  enum Outcome { kEnded, kStopped };
  const std::string bad_progressive =
      LineSource({}, {kLength3000, "progressiva chilometrica uno,  0,  1025,  0"});
  struct Case {
    const char* name;
    Lines records;
    int32_t code;
    int32_t pos;
    Outcome outcome;
    std::string line = LineSource();
  };
  const Case kCases[] = {
      {"nothing wrong", {Segnale(1750)}, 0, kUnchanged, kEnded},
      {"progressive range off the 50 m grid", {}, kErrProgressiva, kUnchanged, kEnded,
       bad_progressive},
      {"15, then the bad range leaves 2", {Segnale(9901)}, kErrProgressiva, 9901, kEnded,
       bad_progressive},
      // Reordered: "due" to slot 81, "tre" to 82, "uno" to 83.
      {"bad start in slot 83", {}, kErrProgressiva, kUnchanged, kEnded,
       LineSource({}, {kLength3000, "progressiva chilometrica uno,  125,  4000,  0",
                       "progressiva chilometrica due,  6000,  9000,  0",
                       "progressiva chilometrica tre,  3000,  5000,  0"})},
      {"a stop leaves the ranges untested", {Stazione(1025, 2, 600)}, kErrStazionePosizione, 1025,
       kStopped, bad_progressive},
      {"abbattimento on a signal", {Segnale(500), Rec("abbattimento", {550, 0})},
       kErrAbbattimento, 550, kStopped},
      {"station position", {Stazione(1025, 2, 600)}, kErrStazionePosizione, 1025, kStopped},
      {"station length", {Stazione(1000, 2, 650)}, kErrStazioneLunghezza, 1000, kStopped},
      {"velocita beyond", {"velocita,  9901,  50"}, kErrOltrePercorso, 9901, kEnded},
      {"aderenza beyond", {"aderenza,  9901,  20"}, kErrOltrePercorso, 9901, kEnded},
      {"segnale beyond", {Segnale(9901)}, kErrOltrePercorso, 9901, kEnded},
      {"rallentamento beyond", {Rallentamento(9901, 100)}, kErrOltrePercorso, 9901, kEnded},
      {"abbattimento beyond", {Rec("abbattimento", {9901, 5})}, kErrOltrePercorso, 9901, kEnded},
      {"station beyond, with 800 m", {Stazione(9250, 2, 600)}, kErrOltrePercorso, 9250, kEnded},
      {"station at the last position", {Stazione(9200, 2, 600)}, 0, kUnchanged, kEnded},
      {"restriction ending beyond the last cell", {Rallentamento(9000, 2000)}, kErrOltrePercorso,
       9000, kEnded},
      {"restriction ending below cell 0", {Rallentamento(1000, -1100)}, kErrOltrePercorso, 1000,
       kEnded},
      {"signal after an error 15 of the line", {Segnale(1750)}, kErrOltrePercorso, 1750, kStopped,
       LineSource({"pendenza,  9901,  1"})},
      {"two signals in one cell", {Segnale(1750), Segnale(1760)}, kErrSegnale, 1760, kStopped},
      {"warning-board cell taken", {Segnale(1800), Rallentamento(3000, 500)}, kErrAvvisoRall, 3000,
       kStopped},
      {"start cell taken", {Segnale(3000), Rallentamento(3000, 500)}, kErrInizioRall, 3000,
       kStopped},
      {"end cell taken", {Segnale(3500), Rallentamento(3000, 500)}, kErrFineRall, 3000, kStopped},
      {"warning zone taken", {Segnale(1750), Rallentamento(3000, 500, 1)}, kErrZonaRall, 3000,
       kStopped},
      {"stations 300 m apart", {Stazione(1000, 2, 200), Stazione(1500, 2, 200)},
       kErrStazioniVicine, 1500, kStopped},
      {"station cell 1", {Stazione(0, 12, 200)}, kErrStazioneInizio, kUnchanged, kStopped},
      {"station cell 0", {Stazione(50, 2, 0)}, kErrStazioneInizio, kUnchanged, kStopped},
      {"type 25 has no station cell to test", {Stazione(0, 25, 200)}, 0, kUnchanged, kEnded},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.name);
    TestModel t;
    t.m.pos_errore = kUnchanged;
    Lines records = kProfiles;
    records.insert(records.end(), c.records.begin(), c.records.end());
    t.Read(records, c.line);
    EXPECT_EQ(c.code, t.m.cod_errore);
    EXPECT_EQ(c.pos, t.m.pos_errore);
    EXPECT_TRUE(t.SourcesGone());
    EXPECT_EQ(c.outcome == kEnded ? kSpeedEnded : kNothing, Runs(t.m.celle, &cella::velocita));
    EXPECT_EQ(c.outcome == kEnded ? kAdhesionEnded : kNothing, Runs(t.m.celle, &cella::aderenza));
  }
}

TEST(TrainReader, OffTrackRestrictionPlacesNothing) {
  for (const std::string& record : {Rallentamento(9000, 2000), Rallentamento(1000, -1100),
                                    Rallentamento(2000, -2200, 1)}) {
    SCOPED_TRACE(record);
    TestModel t;
    t.Read({record});
    EXPECT_EQ(kErrOltrePercorso, t.m.cod_errore);
    EXPECT_EQ("", DumpCells(t.m.celle));
  }
}

TEST(TrainReader, RestrictionEndingInTheLastCell) {
  TestModel t;
  t.Read({Rallentamento(9000, 950)});  // end cell round(199 + 1) = 200
  EXPECT_EQ(0, t.m.cod_errore);
  EXPECT_EQ(kTipoFineRall, t.m.celle[200].tipo);
  TestModel beyond;
  beyond.Read({Rallentamento(9000, 1000)});  // 201
  EXPECT_EQ(kErrOltrePercorso, beyond.m.cod_errore);
  EXPECT_EQ(9000, beyond.m.pos_errore);
}

// Faults that reach the error trap: error 25, pos_errore unchanged, no end
// processing, and both sources gone.
TEST(TrainReader, FaultsGoToTheErrorTrap) {
  struct Case {
    const char* name;
    Lines records;
  };
  const Case kCases[] = {
      {"station type 300 (8 bits)", {Stazione(1000, 300, 200)}},
      {"station field 4 at 256 (8 bits)",
       {Rec("stazione", {1000, 2, 200, 256, 0, 0, 0, 0, 0, 0, 0, 0, 0, 8, 30, 15}) + ",  X"}},
      {"station field 7 at 40000 (16 bits)",
       {Rec("stazione", {1000, 2, 200, 0, 0, 0, 40000, 0, 0, 0, 0, 0, 0, 8, 30, 15}) + ",  X"}},
      {"station field 12 at -32769 (16 bits)",
       {Rec("stazione", {1000, 2, 200, 0, 0, 0, 0, 0, 0, 0, 0, -32769, 0, 8, 30, 15}) + ",  X"}},
      {"station time beyond 32 bits",
       {Rec("stazione", {1000, 2, 200, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 700000, 0, 0}) + ",  X"}},
      {"clock value 40000", {"orologio,  1 40000 0"}},
      {"sand 40000", {"sabbia,  40000"}},
      {"abbattimento value 32768", {Rec("abbattimento", {500, 32768})}},
      {"record cut short by the end of the file", {"segnale,  1750,  1,  4"}},
      {"signal before the track", {Segnale(-100)}},
      {"restriction starting before the track", {Rallentamento(-500, 1000)}},
      {"abbattimento before the track", {Rec("abbattimento", {-100, 5})}},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.name);
    TestModel t;
    t.m.pos_errore = kUnchanged;
    Lines records = kProfiles;
    records.insert(records.end(), c.records.begin(), c.records.end());
    t.Read(records);
    EXPECT_EQ(kErrLettura, t.m.cod_errore);
    EXPECT_EQ(kUnchanged, t.m.pos_errore);
    EXPECT_TRUE(t.SourcesGone());
    EXPECT_EQ(kNothing, Runs(t.m.celle, &cella::aderenza));
  }
}

TEST(TrainReader, MissingTrainSourceGoesToTheErrorTrap) {
  TestModel t;
  t.WriteSources({});
  t.fs.files.erase(t.TrainPath());
  t.m.memorizza_dati();
  EXPECT_EQ(kErrLettura, t.m.cod_errore);
  EXPECT_TRUE(t.SourcesGone());
}

// A speed whose fifth does not fit a byte is a fault when it is written into
// a cell; the cells written before stay.
TEST(TrainReader, SpeedFifthOutsideAByteIsAFault) {
  struct Case {
    Lines records;
    const char* velocita;
  };
  const Case kCases[] = {
      {{"velocita,  0,  100", "velocita,  500,  1278"}, "0-9:20 10-200:0"},  // 255.6
      {{"velocita,  0,  -3"}, kNothing},                                     // -0.6
      {{"velocita,  0,  1300", "velocita,  500,  100"}, kNothing},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.records.back());
    TestModel t;
    t.Read(c.records);
    EXPECT_EQ(kErrLettura, t.m.cod_errore);
    EXPECT_EQ(c.velocita, Runs(t.m.celle, &cella::velocita));
    EXPECT_TRUE(t.SourcesGone());
  }
}

// Each record's speed runs from its own cell (round(p / 50)) to the cell
// before the next record's; the last one to ultima_cella - 3.
TEST(TrainReader, SpeedProfile) {
  struct Case {
    const char* name;
    Lines records;
    const char* velocita;
  };
  const Case kCases[] = {
      {"at 0 and 750", {"velocita,  0,  100", "velocita,  750,  60"},
       "0-14:20 15-197:12 198-200:0"},
      {"carried speed starts at 0", {"velocita,  500,  100"}, "0-9:0 10-197:20 198-200:0"},
      {"25 m is cell 0", {"velocita,  0,  100", "velocita,  25,  60"}, "0-197:12 198-200:0"},
      {"75 m is cell 2", {"velocita,  0,  100", "velocita,  75,  60"},
       "0-1:20 2-197:12 198-200:0"},
      {"125 m is cell 2", {"velocita,  0,  100", "velocita,  125,  60"},
       "0-1:20 2-197:12 198-200:0"},
      {"two records in one cell",
       {"velocita,  0,  100", "velocita,  500,  60", "velocita,  510,  80"},
       "0-9:20 10-10:12 11-197:16 198-200:0"},
      {"a record behind the cursor still writes one cell",
       {"velocita,  0,  100", "velocita,  500,  60", "velocita,  250,  80"},
       "0-9:20 10-10:12 11-197:16 198-200:0"},
      {"negative position only sets the speed", {"velocita,  0,  100", "velocita,  -500,  60"},
       "0-197:12 198-200:0"},
      {"record at the last position: the end processing writes one cell",
       {"velocita,  0,  100", "velocita,  9900,  50"}, "0-197:20 198-198:10 199-200:0"},
      {"fifth 255 fits", {"velocita,  0,  1277"}, "0-197:255 198-200:0"},
      {"fifths round to even", {"velocita,  0,  12", "velocita,  100,  13"},
       "0-1:2 2-197:3 198-200:0"},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.name);
    TestModel t;
    t.Read(c.records);
    EXPECT_EQ(0, t.m.cod_errore);
    EXPECT_EQ(c.velocita, Runs(t.m.celle, &cella::velocita));
  }
}

TEST(TrainReader, AdhesionProfile) {
  struct Case {
    const char* name;
    Lines records;
    const char* aderenza;
  };
  const Case kCases[] = {
      {"at 0 and 750", {"aderenza,  0,  30", "aderenza,  750,  25"},
       "0-14:30 15-197:25 198-200:0"},
      {"carried adhesion starts at 0", {"aderenza,  500,  30"}, "0-9:0 10-197:30 198-200:0"},
      {"75 m is cell 2", {"aderenza,  0,  30", "aderenza,  75,  25"}, "0-1:30 2-197:25 198-200:0"},
      {"two records in one cell", {"aderenza,  0,  30", "aderenza,  500,  25", "aderenza,  510,  20"},
       "0-9:30 10-10:25 11-197:20 198-200:0"},
      {"lowest 8 bits", {"aderenza,  0,  300"}, "0-197:44 198-200:0"},
      {"lowest 8 bits of a negative value", {"aderenza,  0,  -1"}, "0-197:255 198-200:0"},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.name);
    TestModel t;
    t.Read(c.records);
    EXPECT_EQ(0, t.m.cod_errore);
    EXPECT_EQ(c.aderenza, Runs(t.m.celle, &cella::aderenza));
  }
}

// The general values of the run: slot 84 and slot 86.
std::string Generals(const TrackModel& m) {
  return "frenata=" + std::to_string(m.tabella[84].inizio) +
         " vetture=" + std::to_string(m.tabella[84].posizione) +
         " sabbia=" + std::to_string(m.tabella[86].dato2) +
         " orologio=" + std::to_string(m.tabella[86].dato4) + "," +
         std::to_string(m.tabella[86].dato5) + "," + std::to_string(m.tabella[86].dato6);
}

constexpr char kNoGenerals[] = "frenata=0 vetture=0 sabbia=0 orologio=0,0,0";

TEST(TrainReader, Keywords) {
  struct Case {
    Lines records;
    const char* generals;
    const char* velocita;
  };
  const Case kCases[] = {
      {{"percentuale massa frenata,    125"}, "frenata=125 vetture=0 sabbia=0 orologio=0,0,0",
       kNothing},
      {{"MASSA FRENATA,  90"}, "frenata=90 vetture=0 sabbia=0 orologio=0,0,0", kNothing},
      {{"massa,    125"}, kNoGenerals, kNothing},
      {{"frenata,    125"}, kNoGenerals, kNothing},
      {{"vetture,   7"}, "frenata=0 vetture=7 sabbia=0 orologio=0,0,0", kNothing},
      {{"sabbia,   3"}, "frenata=0 vetture=0 sabbia=3 orologio=0,0,0", kNothing},
      {{"orologio,   1 53 0"}, "frenata=0 vetture=0 sabbia=0 orologio=1,53,0", kNothing},
      {{"orologio,  -1,  32767,  -32768"}, "frenata=0 vetture=0 sabbia=0 orologio=-1,32767,-32768",
       kNothing},
      // Two keywords in one field: two records, read in the fixed order.
      {{"vetture e sabbia,  7,  3"}, "frenata=0 vetture=7 sabbia=3 orologio=0,0,0", kNothing},
      {{"sabbia e vetture,  7,  3"}, "frenata=0 vetture=7 sabbia=3 orologio=0,0,0", kNothing},
      {{"velocita,  0,  100"}, kNoGenerals, kSpeedEnded},
      {{"Velocita,  0,  100"}, kNoGenerals, kSpeedEnded},
      {{"velocit\xE0,  0,  100"}, kNoGenerals, kSpeedEnded},  // Windows-1252 a-grave
      {{"VELOCIT\xC0,  0,  100"}, kNoGenerals, kSpeedEnded},  // and its capital
      {{"[aderenze]", "[vel_limite]", "[stazioni]", "[rallentamenti]", "[segnali]", "[codici]"},
       kNoGenerals, kNothing},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.records.front());
    TestModel t;
    t.Read(c.records);
    EXPECT_EQ(0, t.m.cod_errore);
    EXPECT_EQ(c.generals, Generals(t.m));
    EXPECT_EQ(c.velocita, Runs(t.m.celle, &cella::velocita));
    EXPECT_EQ("", DumpCells(t.m.celle));
  }
}

// A keyword field holding "-" is passed over together with up to two more
// fields holding "-"; the field so reached is read whatever it holds.
TEST(TrainReader, DashRule) {
  struct Case {
    const char* record;
    int16_t sabbia;
  };
  const Case kCases[] = {
      {"sabbia-x,  5", 0},          // the value field is read as the keyword
      {"-,  sabbia,  5", 5},
      {"-,  -,  sabbia,  5", 5},
      {"-,  -,  sabbia-x,  5", 5},  // the third field is read, dash or not
      {"-,  sabbia-x,  5", 0},
      {"-,  -,  -,  sabbia,  5", 5},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.record);
    TestModel t;
    t.Read({c.record});
    EXPECT_EQ(0, t.m.cod_errore);
    EXPECT_EQ(c.sabbia, t.m.tabella[86].dato2);
  }
}

TEST(TrainReader, NothingBeforeGeneraleIsRead) {
  TestModel t;
  t.WriteSources({});
  t.fs.files[t.TrainPath()] = JoinCrLf({"velocita,  0,  100", "sabbia,  3", "[fine]"});
  t.m.memorizza_dati();
  EXPECT_EQ(0, t.m.cod_errore);
  EXPECT_EQ(kNoGenerals, Generals(t.m));
  EXPECT_EQ(kNothing, Runs(t.m.celle, &cella::velocita));
  EXPECT_TRUE(t.SourcesGone());
}

// The field that ends the file is never read as a keyword; a record cut
// short by the end of the file is a fault.
TEST(TrainReader, EndOfTheFile) {
  struct Case {
    const char* text;
    int32_t code;
    int32_t pos;
  };
  const Case kCases[] = {
      {"[GENERALE]\r\nsabbia,  3\r\n", 0, kUnchanged},
      {"[generale]\r\nsabbia\r\n", 0, kUnchanged},
      {"[generale]\r\nsabbia", 0, kUnchanged},
      {"[generale]\r\nsegnale,  100\r\n", kErrLettura, kUnchanged},
      // The bound test of a record follows its last field; that of a station
      // follows its position.
      {"[generale]\r\nsegnale,  9901,  1,  4\r\n", kErrLettura, kUnchanged},
      {"[generale]\r\nstazione,  9250,  2\r\n", kErrOltrePercorso, 9250},
      {"[generale]\r\nstazione,  1000,  2\r\n", kErrLettura, kUnchanged},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.text);
    TestModel t;
    t.m.pos_errore = kUnchanged;
    t.WriteSources({});
    t.fs.files[t.TrainPath()] = c.text;
    t.m.memorizza_dati();
    EXPECT_EQ(c.code, t.m.cod_errore);
    EXPECT_EQ(c.pos, t.m.pos_errore);
    EXPECT_TRUE(t.SourcesGone());
  }
  TestModel t;
  t.WriteSources({});
  t.fs.files[t.TrainPath()] = "[GENERALE]\r\nsabbia,  3\r\n";
  t.m.memorizza_dati();
  EXPECT_EQ(3, t.m.tabella[86].dato2);
}

TEST(TrainReader, FirstStation) {
  TestModel t;
  t.Read({Stazione(200, 2, 600)});
  EXPECT_EQ(0, t.m.cod_errore);
  const voce& s = t.m.tabella[1];
  EXPECT_EQ(2, s.tipo);
  EXPECT_EQ(200, s.posizione);
  EXPECT_EQ(-100, s.inizio);
  EXPECT_EQ(500, s.fine);
  EXPECT_EQ((8 * 60 + 30) * 60 + 15, s.orario);
  EXPECT_EQ("Borgo Alto", s.nome);
  EXPECT_EQ("5:{preavviso=84} 6:{preavviso=83} 7:{preavviso=82} 8:{preavviso=81} "
            "9:{tipo=10 valore=1}",
            DumpCells(t.m.celle));
}

// Rows shaped exactly as the built-in train run writes them, on a line of
// 99000 m (cells 0 to 2120).
TEST(TrainReader, BuiltInRowShapes) {
  TestModel t;
  t.Read({"orologio,    1               53            0 ",
          "velocit\xE0,     750,    65",
          "stazione,     200,  2,  600,  0, 0, 0,  1,1,0,  2,4,1,    1,   1,55, 0, CORVENA C.LE",
          "stazione,    3400, 25,  200,  0, 0, 0,  0,0,0,  0,0,0,    0,   0, 0, 0, BIVIO TALMERI",
          "stazione,   80650, 12,  500,  1, 0, 0,  4,1,0,  2,1,1,   60,   3, 0, 0, VERZALE",
          "stazione,   99300, 12,  600,  1, 1, 0,  1,1,0,  2,1,1,    0,   3,42, 0, LASTRIO PORTA SOLIA",
          "segnale,   13900,   1, 4, 1,  0, 0,    1,  3,1,0, 0",
          "segnale,   95750,   2, 3, 1,  0, 0,    2,  2,1,0, 220"},
         LineSource({}, {"lunghezza percorso,    99000"}));
  ASSERT_EQ(0, t.m.cod_errore);
  EXPECT_EQ("frenata=0 vetture=0 sabbia=0 orologio=1,53,0", Generals(t.m));
  EXPECT_EQ(13, t.m.celle[15].velocita);

  struct Slot {
    int k;
    uint8_t tipo;
    int32_t inizio, fine;
    const char* nome;
    int orario;
    const char* dati;  // dato1 to dato10
  };
  const Slot kSlots[] = {
      {1, 2, -100, 500, "CORVENA C.LE", 6900, "0 1 1 2 4 1 0 1 0 0"},
      {2, 25, 3300, 3500, "BIVIO TALMERI", 0, "0 0 0 0 0 0 0 0 0 0"},
      {3, 12, 80400, 80900, "VERZALE", 10800, "1 4 1 2 1 1 0 60 0 0"},
      {4, 12, 99000, 99600, "LASTRIO PORTA SOLIA", 13320, "1 1 1 2 1 1 0 0 0 1"},
  };
  for (const Slot& e : kSlots) {
    SCOPED_TRACE(e.nome);
    const voce& s = t.m.tabella[e.k];
    EXPECT_EQ(e.tipo, s.tipo);
    EXPECT_EQ(e.inizio, s.inizio);
    EXPECT_EQ(e.fine, s.fine);
    EXPECT_EQ(e.nome, s.nome);
    EXPECT_EQ(e.orario, s.orario);
    const std::string dati =
        std::to_string(s.dato1) + " " + std::to_string(s.dato2) + " " + std::to_string(s.dato3) +
        " " + std::to_string(s.dato4) + " " + std::to_string(s.dato5) + " " +
        std::to_string(s.dato6) + " " + std::to_string(s.dato7) + " " + std::to_string(s.dato8) +
        " " + std::to_string(s.dato9) + " " + std::to_string(s.dato10);
    EXPECT_EQ(e.dati, dati);
  }
  EXPECT_EQ("tipo=10 valore=3", model_test::Dump(t.m.celle[1617]));
  EXPECT_EQ("tipo=10 valore=4", model_test::Dump(t.m.celle[1991]));
  EXPECT_EQ("tipo=1 valore=43 valore2=11 valore4=4", model_test::Dump(t.m.celle[279]));
  EXPECT_EQ("preavviso=41", model_test::Dump(t.m.celle[277]));
  EXPECT_EQ("tipo=1 valore=32 valore2=11 valore4=8 tempo=220", model_test::Dump(t.m.celle[1916]));
  EXPECT_EQ("preavviso=84", model_test::Dump(t.m.celle[1908]));
}

// The station cell takes tipo and valore whatever the cell held; markers
// replace earlier advance codes.
TEST(TrainReader, StationCellsOverwrite) {
  TestModel t;
  t.Read({Segnale(400), Segnale(700), Stazione(200, 2, 600)});
  EXPECT_EQ(0, t.m.cod_errore);
  // Signal 400: cell 9, advance codes in 7, 5, 3, 1; signal 700: cell 15,
  // advance codes in 13, 11, 9, 7.
  EXPECT_EQ("1:{preavviso=34} 3:{preavviso=33} 5:{preavviso=84} 6:{preavviso=83} "
            "7:{preavviso=82} 8:{preavviso=81} 9:{tipo=10 valore=1 valore4=3 preavviso=33} "
            "11:{preavviso=32} 13:{preavviso=31} 15:{tipo=1 valore=40 valore4=3}",
            DumpCells(t.m.celle));
}

// Fields 4 to 13 go to their members; the forcings of short and first
// stations; a name with a dash and blanks is one field.
TEST(TrainReader, StationFields) {
  const std::string full =
      Rec("stazione", {3000, 3, 600, 11, 12, 13, 1400, 1500, 16, 1700, 1800, 1900, 20, 23, 59, 58}) +
      ",  Piana-Nuova di Sotto";
  TestModel t;
  t.Read({Stazione(1000, 2, 200), full});
  ASSERT_EQ(0, t.m.cod_errore);
  const voce& s = t.m.tabella[2];
  EXPECT_EQ(3, s.tipo);
  EXPECT_EQ(3000, s.posizione);
  EXPECT_EQ(2700, s.inizio);
  EXPECT_EQ(3350, s.fine);  // field 6 not 0: 50 m more
  EXPECT_EQ(11, s.dato1);
  EXPECT_EQ(12, s.dato10);
  EXPECT_EQ(13, s.dato9);
  EXPECT_EQ(1400, s.dato2);
  EXPECT_EQ(1500, s.dato3);
  EXPECT_EQ(16, s.dato7);
  EXPECT_EQ(1700, s.dato4);
  EXPECT_EQ(1800, s.dato5);
  EXPECT_EQ(1900, s.dato6);
  EXPECT_EQ(20, s.dato8);
  EXPECT_EQ((23 * 60 + 59) * 60 + 58, s.orario);
  EXPECT_EQ("Piana-Nuova di Sotto", s.nome);
  EXPECT_EQ(kTipoStazione, t.m.celle[66].tipo);
  EXPECT_EQ(2, t.m.celle[66].valore);

  // The same record as the first station: fields 5 and 6 forced to 0, the
  // zone still lengthened.
  TestModel first;
  first.Read({full});
  EXPECT_EQ(0, first.m.tabella[1].dato10);
  EXPECT_EQ(0, first.m.tabella[1].dato9);
  EXPECT_EQ(3350, first.m.tabella[1].fine);
  EXPECT_EQ(1400, first.m.tabella[1].dato2);

  // A second station shorter than 600 m: field 5 forced to 0.
  TestModel short_one;
  short_one.Read({Stazione(1000, 2, 200),
                  Rec("stazione", {3000, 3, 500, 11, 12, 13, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0}) +
                      ",  Corta"});
  EXPECT_EQ(0, short_one.m.tabella[2].dato10);
  EXPECT_EQ(13, short_one.m.tabella[2].dato9);
}

TEST(TrainReader, StationZonesByType) {
  struct Case {
    std::string record;
    int32_t inizio, fine;
    const char* cells;
  };
  const Case kCases[] = {
      {Stazione(1000, 12, 400, 1), 800, 1250,
       "20:{preavviso=84} 21:{preavviso=83} 22:{preavviso=82} 23:{preavviso=81} "
       "24:{tipo=10 valore=1}"},
      {Stazione(2000, 24, 300), 1850, 2150,
       "38:{preavviso=84} 39:{preavviso=83} 40:{preavviso=82} 41:{preavviso=81} "
       "42:{tipo=10 valore=1}"},
      {Stazione(2000, 5, 300, 1), 1700, 2150, "42:{tipo=10 valore=1}"},
      {Stazione(2000, 6, 300), 1700, 2150, "42:{tipo=10 valore=1}"},
      {Stazione(2000, 7, 300), 1700, 2300,
       "41:{preavviso=84} 42:{preavviso=83} 43:{preavviso=82} 44:{preavviso=81} "
       "45:{tipo=10 valore=1}"},
      {Stazione(2000, 8, 300, 1), 1700, 2300,
       "41:{preavviso=84} 42:{preavviso=83} 43:{preavviso=82} 44:{preavviso=81} "
       "45:{tipo=10 valore=1}"},
      {Stazione(2000, 25, 300), 1850, 2150, ""},
      {Stazione(2000, 30, 300, 1), 1850, 2200, ""},
      // Markers only above cell 1.
      {Stazione(100, 2, 200), 0, 200, "2:{preavviso=81} 3:{tipo=10 valore=1}"},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.record);
    TestModel t;
    t.Read({c.record});
    EXPECT_EQ(0, t.m.cod_errore);
    EXPECT_EQ(c.inizio, t.m.tabella[1].inizio);
    EXPECT_EQ(c.fine, t.m.tabella[1].fine);
    EXPECT_EQ(0, t.m.tabella[1].dato9);
    EXPECT_EQ(c.cells, DumpCells(t.m.celle));
  }
}

// The next zone must begin at least 350 m after the previous one ends, for
// every type; the station cell is placed before the test.
TEST(TrainReader, StationSpacing) {
  struct Case {
    std::string second;
    int32_t code;
  };
  const Case kCases[] = {
      {Stazione(1500, 2, 200), kErrStazioniVicine},  // 300 m
      {Stazione(1550, 2, 200), 0},                   // 350 m
      {Stazione(1500, 25, 200), kErrStazioniVicine},
      {Stazione(1700, 5, 300), kErrStazioniVicine},  // zone from 1400
      {Stazione(1800, 5, 300), 0},                   // zone from 1500
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.second);
    TestModel t;
    t.Read({Stazione(1000, 2, 200), c.second});  // zone 900 to 1100
    EXPECT_EQ(c.code, t.m.cod_errore);
  }
  TestModel t;
  t.Read({Stazione(1000, 2, 200), Stazione(1500, 2, 200)});
  EXPECT_EQ(kTipoStazione, t.m.celle[31].tipo);
  EXPECT_EQ(2, t.m.celle[31].valore);
}

// Stations and board texts share the slots 1 to 79.
TEST(TrainReader, TooManyStations) {
  struct Case {
    int boards;
    int stations;
    int32_t code;
  };
  const Case kCases[] = {{5, 73, 0}, {5, 74, kErrStazioniTroppe}, {0, 78, 0},
                         {0, 79, kErrStazioniTroppe}};
  for (const Case& c : kCases) {
    SCOPED_TRACE(std::to_string(c.boards) + " boards, " + std::to_string(c.stations) +
                 " stations");
    Lines line_records;
    for (int b = 0; b < c.boards; ++b) {
      line_records.push_back(Rec("cartello_indicatore", {850 + 1000 * b}) + ",  (COD)");
    }
    Lines train = {"aderenza,  0,  30"};
    // Type 25: a slot and a zone only; zones 400 m apart.
    for (int k = 1; k <= c.stations; ++k) train.push_back(Stazione(400 * k, 25, 0));
    TestModel t;
    t.m.pos_errore = kUnchanged;
    t.Read(train, LineSource(line_records, {"lunghezza percorso,    30000"}));
    EXPECT_EQ(c.code, t.m.cod_errore);
    EXPECT_EQ(kUnchanged, t.m.pos_errore);
    EXPECT_EQ(400 * c.stations, t.m.tabella[c.stations].posizione);  // stays stored
    // A stop: no end processing.
    EXPECT_EQ(c.code == 0 ? 30 : 0, t.m.celle[100].aderenza);
    EXPECT_TRUE(t.SourcesGone());
  }
}

TEST(TrainReader, Abbattimento) {
  // A tunnel range written with type 12 leaves markers (tipo 11) in cells 3,
  // 7, 11, 15 and 19.
  const std::string tunnel = LineSource({"montagna,  0,  1000,  12"});
  struct Case {
    Lines records;
    int32_t cell;
    const char* dump;
    std::string line = LineSource();
  };
  const Case kCases[] = {
      {{Rec("abbattimento", {500, 120})}, 10, "tipo=12 valore=120"},
      {{Rec("abbattimento", {500, 32767})}, 10, "tipo=12 valore=32767"},
      {{Rec("abbattimento", {500, 0})}, 10, "tipo=13"},
      {{Rec("abbattimento", {500, -3})}, 10, "tipo=13"},
      {{Rec("abbattimento", {525, 7})}, 10, "tipo=12 valore=7"},  // 10.5: no + 1
      {{Rec("abbattimento", {575, 7})}, 12, "tipo=12 valore=7"},
      {{Rec("abbattimento", {150, 0})}, 3, "tipo=13 montagna=2", tunnel},
      {{Rec("abbattimento", {150, 9})}, 3, "tipo=12 valore=9 montagna=2", tunnel},
      {{Stazione(200, 2, 600), Rec("abbattimento", {400, 5})}, 8, "tipo=12 valore=5 preavviso=81"},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.records.back());
    TestModel t;
    t.Read(c.records, c.line);
    EXPECT_EQ(0, t.m.cod_errore);
    EXPECT_EQ(c.dump, model_test::Dump(t.m.celle[c.cell]));
  }
}

}  // namespace
}  // namespace scenario
