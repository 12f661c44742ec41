// The compiled built-in scenario, decoded from the files a whole run writes.
#include <gtest/gtest.h>

#include <string>
#include <string_view>
#include <vector>

#include "driver/run_driver.h"
#include "model/cells.h"
#include "model/coding.h"
#include "test_util.h"

namespace scenario {
namespace {

class BuiltinScenarioTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    FakeFileSystem fs;
    RecordingUi ui;
    status_ = RunBuilder(&fs, &ui, kTestFolder);
    const std::string folder = std::string(kTestFolder) + "/";
    line_ = fs.files[folder + "Vescolara_linea.dat"];
    const std::string& run = fs.files[folder + "Vescolara_631.sim"];
    run_size_ = run.size();
    std::string err;
    ASSERT_TRUE(DecodeRunFile(run, &tabella_, &err)) << err;
    ASSERT_TRUE(DecodeTrackFile(fs.files[folder + "Vescolara_631.dat"], &celle_, &err)) << err;
  }

  static int CountTipo(uint8_t tipo) {
    int n = 0;
    for (const cella& c : celle_) n += c.tipo == tipo;
    return n;
  }

  static inline int status_;
  static inline std::string line_;
  static inline size_t run_size_;
  static inline std::array<voce, 87> tabella_;
  static inline std::vector<cella> celle_;
};

TEST_F(BuiltinScenarioTest, FileSizesAndHeads) {
  EXPECT_EQ(kExitOk, status_);
  ASSERT_EQ(2119964u, line_.size());
  EXPECT_EQ(std::string("\x02\x00\x00\x00", 4), line_.substr(0, 4));
  // Each axis: two 16-bit metres, 105997 doubles, two empty metres.
  const size_t half = 8 + 10 * (106000 - 3) + 4;
  EXPECT_EQ(2 * half, line_.size());
  EXPECT_EQ(std::string("\x02\x00\x00\x00\x02\x00\x01\x00", 8), line_.substr(half, 8));
  EXPECT_EQ(std::string("\x00\x00\x00\x00", 4), line_.substr(half - 4, 4));
  EXPECT_EQ(2121u, celle_.size());
  size_t names = 0;
  for (const voce& v : tabella_) names += v.nome.size();
  EXPECT_EQ(87 * 34 + names, run_size_);
}

TEST_F(BuiltinScenarioTest, FirstSignalAndItsAdvanceCodes) {
  const cella& s = celle_[36];
  EXPECT_EQ(kTipoSegnale, s.tipo);
  EXPECT_EQ(40, s.valore);
  EXPECT_EQ(0, s.valore2);
  EXPECT_EQ(0, s.valore3);
  EXPECT_EQ(3, s.valore4);
  EXPECT_EQ(0, s.tempo);
  EXPECT_EQ(31, celle_[34].preavviso);
  EXPECT_EQ(32, celle_[32].preavviso);
  EXPECT_EQ(33, celle_[30].preavviso);
  EXPECT_EQ(34, celle_[28].preavviso);
}

TEST_F(BuiltinScenarioTest, FirstStation) {
  const voce& st = tabella_[1];
  EXPECT_EQ(2, st.tipo);
  EXPECT_EQ(200, st.posizione);
  EXPECT_EQ(-100, st.inizio);
  EXPECT_EQ(500, st.fine);
  EXPECT_EQ(6900, st.orario);
  EXPECT_EQ(0, st.dato9);
  EXPECT_EQ(0, st.dato10);
  EXPECT_EQ("CORVENA C.LE", st.nome);
  for (int k = 1; k <= 4; ++k) EXPECT_EQ(80 + k, celle_[9 - k].preavviso) << "cell " << 9 - k;
  EXPECT_EQ(kTipoStazione, celle_[9].tipo);
  EXPECT_EQ(1, celle_[9].valore);
}

TEST_F(BuiltinScenarioTest, CountsOfThings) {
  EXPECT_EQ(43, CountTipo(kTipoSegnale));
  EXPECT_EQ(14, CountTipo(kTipoStazione));
  int slots = 0;
  for (int k = 1; k <= 80; ++k) slots += tabella_[k].posizione != 0 && !tabella_[k].nome.empty();
  EXPECT_EQ(17, slots);
  EXPECT_EQ("LASTRIO PORTA SOLIA", tabella_[17].nome);
  EXPECT_EQ("", tabella_[18].nome);
  // Board texts from slot 80 down.
  EXPECT_EQ("(COD)", tabella_[80].nome);
  EXPECT_EQ("( P.L.)(2+200)", tabella_[76].nome);
  EXPECT_EQ("", tabella_[75].nome);
  EXPECT_EQ(0, CountTipo(kTipoCodice));  // no restriction, so no code cell
}

TEST_F(BuiltinScenarioTest, ReservedSlots) {
  const voce& s84 = tabella_[84];
  EXPECT_EQ(125, s84.inizio);
  EXPECT_EQ(99000, s84.fine);
  EXPECT_EQ(15, s84.posizione);
  const voce& s85 = tabella_[85];
  EXPECT_EQ("Vescolara", s85.nome);
  EXPECT_EQ(610, s85.dato2);
  EXPECT_EQ(32645, s85.orario);
  const voce& s86 = tabella_[86];
  EXPECT_EQ("631", s86.nome);
  EXPECT_EQ(300, s86.dato2);
  EXPECT_EQ(1, s86.dato4);
  EXPECT_EQ(53, s86.dato5);
  EXPECT_EQ(0, s86.dato6);
  EXPECT_EQ(900, s86.inizio);
  EXPECT_EQ(99500, s86.fine);
  EXPECT_EQ(4, s86.posizione);
  EXPECT_EQ(94500, tabella_[81].inizio);
  EXPECT_EQ(99450, tabella_[81].fine);
  EXPECT_EQ(97000, tabella_[82].fine);
  EXPECT_EQ(5121, celle_[1].valore);
  EXPECT_EQ(2411, celle_[1].valore2);
}

TEST_F(BuiltinScenarioTest, AdhesionAndGradientRunToTheEnd) {
  for (int k = 0; k <= 2117; ++k) ASSERT_EQ(100, celle_[k].aderenza) << k;
  for (int k = 2118; k <= 2120; ++k) {
    EXPECT_EQ(0, celle_[k].aderenza) << k;
    EXPECT_EQ(0, celle_[k].pendenza) << k;
    EXPECT_EQ(0, celle_[k].velocita) << k;
  }
  EXPECT_EQ(100, celle_[0].pendenza);
  EXPECT_EQ(101, celle_[31].pendenza);
  EXPECT_EQ(110, celle_[40].pendenza);
}

TEST_F(BuiltinScenarioTest, SpeedFifthsFollowTheCursorRule) {
  // The 14 speed rows: each speed holds from its own cell up to the cell
  // before the next row's; the last one runs to cell 2117.
  struct Row {
    int32_t p, s;
  };
  const Row kRows[] = {{0, 30},      {750, 65},    {1350, 135},  {17900, 160}, {24300, 135},
                       {36000, 160}, {40050, 130}, {41100, 160}, {59600, 115}, {81850, 160},
                       {88850, 150}, {92500, 120}, {93200, 75},  {98350, 30}};
  std::vector<int> expected(2121, 0);
  const int n_rows = static_cast<int>(std::size(kRows));
  for (int i = 0; i < n_rows; ++i) {
    const int64_t from = StartCell(kRows[i].p);
    const int64_t to = i + 1 < n_rows ? StartCell(kRows[i + 1].p) : 2118;
    uint8_t fifth = 0;
    ASSERT_TRUE(SpeedFifth(kRows[i].s, &fifth));
    for (int64_t k = from; k < to; ++k) expected[k] = fifth;
  }
  for (int k = 0; k <= 2120; ++k) ASSERT_EQ(expected[k], celle_[k].velocita) << "cell " << k;
  EXPECT_EQ(6, celle_[0].velocita);
  EXPECT_EQ(13, celle_[15].velocita);
  EXPECT_EQ(32, celle_[358].velocita);
  EXPECT_EQ(6, celle_[2117].velocita);
}

}  // namespace
}  // namespace scenario
