// The limit scenario of the benchmarks must stay what they claim it is: a
// scenario that compiles without a problem or a silent overwrite, at the
// limits of the model, with every record it counts actually placed.
#include "bench/limit_scenario.h"

#include <gtest/gtest.h>

#include <sstream>
#include <string>

#include "model/track_model.h"
#include "test_util.h"

namespace scenario {
namespace {

class OverwriteCounter : public CompileObserver {
 public:
  void OnOverwrite(const OverwriteEvent& event) override {
    if (first_index < 0) first_index = event.index;
    ++overwrites;
  }
  void OnWarning(const WarningEvent& event) override {
    if (warnings == 0) first_warning = event;
    ++warnings;
  }

  int overwrites = 0;
  int32_t first_index = -1;
  int warnings = 0;  // about how the sources are written
  WarningEvent first_warning;
};

class LimitScenarioTest : public testing::Test {
 protected:
  // One compile pass for the whole suite: it is the largest the model takes.
  static void SetUpTestSuite() {
    fs_ = new FakeFileSystem;
    model_ = new TrackModel(fs_, kTestFolder);
    model_->linea = kLimitLinea;
    model_->treno = kLimitTreno;
    fs_->files[model_->FullName(model_->LineSourceName())] = LimitLineSource();
    fs_->files[model_->FullName(model_->TrainSourceName())] = LimitTrainSource();
    model_->observer = &observer_;
    outcome_ = model_->memorizza_percorso(1);
  }
  static void TearDownTestSuite() {
    delete model_;
    delete fs_;
  }

  static size_t FileSize(const std::string& own_name) {
    auto it = fs_->files.find(model_->FullName(own_name));
    return it == fs_->files.end() ? 0 : it->second.size();
  }

  static int CellsOfType(uint8_t tipo) {
    int n = 0;
    for (const cella& c : model_->celle) n += c.tipo == tipo;
    return n;
  }

  static FakeFileSystem* fs_;
  static TrackModel* model_;
  static CompileOutcome outcome_;
  static OverwriteCounter observer_;
};

FakeFileSystem* LimitScenarioTest::fs_ = nullptr;
TrackModel* LimitScenarioTest::model_ = nullptr;
CompileOutcome LimitScenarioTest::outcome_;
OverwriteCounter LimitScenarioTest::observer_;

// Lines of `text` whose first field contains `keyword`.
int RecordsOf(const std::string& text, const std::string& keyword) {
  std::istringstream in(text);
  std::string line;
  int n = 0;
  while (std::getline(in, line)) n += line.substr(0, line.find(',')).find(keyword) != line.npos;
  return n;
}

TEST_F(LimitScenarioTest, CompilesWithoutProblemOrOverwrite) {
  EXPECT_EQ(0, model_->cod_errore) << "pos_errore " << model_->pos_errore;
  EXPECT_EQ(0, observer_.overwrites) << "first overwritten cell " << observer_.first_index;
  EXPECT_EQ(0, observer_.warnings) << "first at byte " << observer_.first_warning.where.offset
                                   << ": " << observer_.first_warning.text;
  EXPECT_EQ(CompileOutcome::Kind::kDone, outcome_.kind) << outcome_.message;
}

TEST_F(LimitScenarioTest, ReachesTheLimitsOfTheModel) {
  EXPECT_EQ(1000000, model_->tabella[84].fine);
  EXPECT_EQ(20140, model_->ultima_cella);
  EXPECT_EQ(1007000, model_->ultimo_metro);
  EXPECT_EQ(80, model_->n_montagne);  // the tunnel lists are full
  // Stations from slot 1 up and boards from slot 80 down fill slots 1 to 78
  // together, the most the train-run reader accepts.
  const LimitCounts counts = LimitScenarioCounts();
  EXPECT_EQ(78, counts.stations + counts.text_boards);
  EXPECT_FALSE(model_->tabella[counts.stations].nome.empty());
  EXPECT_TRUE(model_->tabella[counts.stations + 1].nome.empty());
  EXPECT_FALSE(model_->tabella[81 - counts.text_boards].nome.empty());
  // Every metre of the plan up to ultimo_metro - 2 is computed (no curve ran
  // past it), and the files have their full sizes.
  EXPECT_EQ(20u * 1007000 - 36, FileSize(model_->LineFileName()));
  EXPECT_EQ(15u * 20141, FileSize(model_->TrackFileName()));
}

TEST_F(LimitScenarioTest, CountsAreTheRecordsOfTheSources) {
  const LimitCounts n = LimitScenarioCounts();
  const std::string line = LimitLineSource();
  const std::string train = LimitTrainSource();
  struct Case {
    const std::string* text;
    const char* keyword;
    int count;
  };
  const Case kCases[] = {
      {&line, "curva", n.curves},
      {&line, "pendenza", n.gradients},
      {&line, "montagna", n.tunnels},
      {&line, "indicatori_v", n.indicator_boards},
      {&line, "cartello", n.text_boards},
      {&train, "velocit", n.speed_changes},
      {&train, "aderenza", n.adhesion_changes},
      {&train, "stazione", n.stations},
      {&train, "rallentamento", n.restrictions},
      {&train, "segnale", n.signals},
      {&train, "abbattimento", n.code_cells},
  };
  for (const Case& c : kCases) EXPECT_EQ(c.count, RecordsOf(*c.text, c.keyword)) << c.keyword;
}

TEST_F(LimitScenarioTest, EveryRecordIsPlaced) {
  const LimitCounts n = LimitScenarioCounts();
  EXPECT_EQ(n.signals, CellsOfType(kTipoSegnale));
  EXPECT_EQ(n.restrictions, CellsOfType(kTipoInizioRall));
  EXPECT_EQ(n.restrictions, CellsOfType(kTipoFineRall));
  EXPECT_EQ(n.restrictions, CellsOfType(kTipoAvvisoRall));
  EXPECT_EQ(4 * n.restrictions, CellsOfType(kTipoZonaRall));
  EXPECT_EQ(n.indicator_boards, CellsOfType(kTipoIndicatore));
  EXPECT_EQ(n.text_boards, CellsOfType(kTipoCartello));
  int station_cells = 0;
  for (int k = 1; k <= n.stations; ++k) station_cells += model_->tabella[k].tipo < 25;
  EXPECT_EQ(station_cells, CellsOfType(kTipoStazione));
  // The post-pass has work: three guard codes per restriction at least,
  // besides the code cells of the source.
  EXPECT_LE(n.code_cells + 3 * n.restrictions,
            CellsOfType(kTipoCodice) + CellsOfType(kTipoAbbattimento));
}

}  // namespace
}  // namespace scenario
