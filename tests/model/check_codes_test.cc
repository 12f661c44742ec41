// The two check codes, the reserved marks, and the errors 1250 and 1251.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "model/model_fixture.h"
#include "model/track_model.h"
#include "test_util.h"

namespace scenario {
namespace {

using model_test::CompileWatched;
using model_test::Lines;
using model_test::Rec;
using model_test::TestModel;

TEST(CheckCodes, Sums) {
  struct Case {
    const char* treno;
    const char* linea;  // Windows-1252 bytes
    int32_t og, st;
  };
  const Case kCases[] = {
      {"631", "Vescolara", 2411, 32645},
      {"", "", 2583, 34355},  // the filler alone
      {"631", "VESCOLARA", 2411, 32645},
      // Beyond 25 characters neither the rest nor the line name count.
      {"ABCDEFGHIJKLMNOPQRSTUVWXYZ", "Vescolara", 2725, 36725},
      {"abcdefghijklmnopqrstuvwxyz", "Zz", 2725, 36725},
      // Accented capitals are lowered by the code page's rules.
      {"", "\xC0\xC8\xC9\xD2\xDE", 3219, 35518},
      {"", "\xE0\xE8\xE9\xF2\xFE", 3219, 35518},
      {"\x8A", "", 2626, 34206},  // S caron
      {"\x9A", "", 2626, 34206},
      {"", "\xD7", 2687, 34267},  // the multiplication sign is no letter
      {"", "\xF7", 2719, 34299},
      {"9", "Pi\xC8ve", 2651, 33839},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(std::string(c.treno) + "|" + c.linea);
    TestModel t;
    t.m.tabella[86].nome = c.treno;
    t.m.tabella[85].nome = c.linea;
    EXPECT_EQ(c.og, t.m.codice_gara_og());
    EXPECT_EQ(c.st, t.m.codice_gara_st());
  }
}

TEST(CheckCodes, CampoKeepsTheText) {
  TestModel t;
  t.m.tabella[86].nome = "631";
  t.m.tabella[85].nome = "Vescolara";
  t.m.codice_gara_st();
  EXPECT_EQ("631vescolaraaabbccddeeffgghhiillmmnnoo", t.m.campo);
}

// After a compile the run file and the track file carry the marks and codes.
TEST(CheckCodes, StampedIntoTheCompiledFiles) {
  TestModel t;
  t.Compile({});
  ASSERT_EQ(0, t.m.cod_errore);
  const std::vector<voce> slots = t.RunFile();
  ASSERT_EQ(87u, slots.size());
  EXPECT_EQ(610, slots[85].dato2);
  EXPECT_EQ(32645, slots[85].orario);
  EXPECT_EQ("Vescolara", slots[85].nome);
  EXPECT_EQ("631", slots[86].nome);
  const std::vector<cella> cells = t.TrackFile();
  ASSERT_GT(cells.size(), 1u);
  EXPECT_EQ("valore=5121 valore2=2411", model_test::Dump(cells[1]));
}

// The message, then no compiled file written or removed.
constexpr char kShows1250[] = "message: [ Errore n. 1250]\nend\n";
constexpr char kShows1251[] = "message: [ Errore n. 1251]\nend\n";

TEST(CheckCodes, ReservedPlacesTakenByTheSources) {
  struct Case {
    const char* name;
    Lines train;
    const char* shows;
    int32_t code;
  };
  const Case kCases[] = {
      {"signal in cell 1", {Rec("segnale", {0, 1, 4, 0, 0, 0, 0, 0, 0, 0, 0})}, kShows1250, 1250},
      {"signal in cell 1 with valore 0",
       {Rec("segnale", {0, 1, 0, 1, 0, 0, 0, 0, 0, 0, 0})},
       kShows1251,
       1251},
      // Cells 3 and 2 taken: the guard code of a start at cell 8 lands in 1.
      {"guard code in cell 1",
       {Rec("abbattimento", {150, 0}), Rec("abbattimento", {100, 0}),
        Rec("rallentamento", {350, 120, 200, 0, 0, 0})},
       kShows1250,
       1250},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.name);
    const model_test::Watched w = CompileWatched(c.train);
    EXPECT_EQ(CompileOutcome::Kind::kBox, w.outcome.kind);
    EXPECT_EQ(c.code, w.outcome.code);
    EXPECT_EQ(c.shows, w.shown);
  }
}

// On a hand-made model: the marks are tested before they are written. The
// compiled files are written afterwards only when nothing was found, as in
// the compile pass.
std::string Stamp(int16_t dato2, int32_t orario, int16_t valore, int16_t valore2) {
  FakeFileSystem fs;
  TrackModel m(&fs, kTestFolder);
  m.linea = "Vescolara";
  m.treno = "631";
  model_test::MakeTrack(&m, 200);
  const std::vector<std::string> watched = model_test::PutEarlierCompiledFiles(m, &fs);
  m.tabella[85].dato2 = dato2;
  m.tabella[85].orario = orario;
  m.celle[1].valore = valore;
  m.celle[1].valore2 = valore2;
  TrackModelTestPeer::StampChecks(&m);
  if (!m.halted()) TrackModelTestPeer::WriteCompiledFiles(&m);
  return model_test::Watch(m.halt(), fs, watched).shown;
}

TEST(CheckCodes, ReservedPlacesAlreadyUsed) {
  EXPECT_EQ(kShows1250, Stamp(610, 0, 0, 0));
  EXPECT_EQ(kShows1250, Stamp(0, 0, 1, 0));
  EXPECT_EQ(kShows1251, Stamp(0, 1, 0, 0));
  EXPECT_EQ(kShows1251, Stamp(0, 0, 0, -1));
}

// errore stops the pass where it stands: after 1250 nothing is stamped,
// after 1251 the marks are and the codes are not.
TEST(CheckCodes, NothingIsStampedAfterTheBox) {
  TestModel t;
  t.HandMadeTrack(200);
  t.m.tabella[85].dato2 = 7;
  TrackModelTestPeer::StampChecks(&t.m);
  EXPECT_EQ(7, t.m.tabella[85].dato2);
  EXPECT_EQ(0, t.m.celle[1].valore);

  TestModel u;
  u.HandMadeTrack(200);
  u.m.celle[1].valore2 = 9;
  TrackModelTestPeer::StampChecks(&u.m);
  EXPECT_EQ(CompileOutcome::Kind::kBox, u.m.halt().kind);
  EXPECT_EQ(1251, u.m.halt().code);
  EXPECT_EQ(610, u.m.tabella[85].dato2);
  EXPECT_EQ(5121, u.m.celle[1].valore);
  EXPECT_EQ(0, u.m.tabella[85].orario);
  EXPECT_EQ(9, u.m.celle[1].valore2);
}

}  // namespace
}  // namespace scenario
