// The three compiled files as the compile pass writes them into an in-memory
// folder, for a 3000 m line (ultimo_metro 10000, cells 0 to 200).
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "model/coding.h"
#include "model/model_fixture.h"
#include "model/problems.h"
#include "model/track_model.h"
#include "test_util.h"

namespace scenario {
namespace {

using model_test::kUltimaCella3000;
using model_test::kUltimoMetro3000;
using model_test::Lines;
using model_test::Rec;
using model_test::Stazione;
using model_test::TestModel;

// The writes of the fake folder, in order.
std::vector<std::string> Writes(const FakeFileSystem& fs) {
  std::vector<std::string> out;
  for (const std::string& entry : fs.log) {
    if (entry.rfind("write ", 0) == 0) out.push_back(entry.substr(6));
  }
  return out;
}

TEST(Writer, FileSizesAndOrder) {
  TestModel t;
  t.Compile({Stazione(1000, 2, 200)});  // a station named "Borgo Alto"
  ASSERT_EQ(0, t.m.cod_errore);
  EXPECT_EQ((std::vector<std::string>{t.LineFilePath(), t.RunFilePath(), t.TrackFilePath()}),
            Writes(t.fs));
  EXPECT_EQ(20u * kUltimoMetro3000 - 36, t.fs.files[t.LineFilePath()].size());
  EXPECT_EQ(87u * 34 + 9 + 3 + 10, t.fs.files[t.RunFilePath()].size());
  EXPECT_EQ(15u * (kUltimaCella3000 + 1), t.fs.files[t.TrackFilePath()].size());
  EXPECT_TRUE(t.SourcesGone());
}

// x values of every metre, then y values; metres 0 and 1 are 16-bit
// integers, the last two metres are empty, the rest doubles. A line without
// curves runs straight along y.
TEST(Writer, LineFileLayout) {
  TestModel t;
  t.Compile({});
  const std::string& file = t.fs.files[t.LineFilePath()];
  const size_t half = 8 + 10 * (kUltimoMetro3000 - 3) + 4;
  ASSERT_EQ(2 * half, file.size());
  EXPECT_EQ("02 00 00 00 02 00 00 00", Hex(file.substr(0, 8)));
  EXPECT_EQ("02 00 00 00 02 00 01 00", Hex(file.substr(half, 8)));
  EXPECT_EQ("00 00 00 00", Hex(file.substr(half - 4, 4)));
  EXPECT_EQ("00 00 00 00", Hex(file.substr(2 * half - 4, 4)));

  LinePlan plan;
  std::string err;
  ASSERT_TRUE(DecodeLineFile(file, &plan, &err)) << err;
  ASSERT_EQ(static_cast<size_t>(kUltimoMetro3000) + 1, plan.size());
  for (int axis = 0; axis < 2; ++axis) {
    for (int32_t metre = 0; metre <= kUltimoMetro3000; ++metre) {
      const PlanNumber p = axis == 0 ? plan.x(metre) : plan.y(metre);
      const PlanKind kind = metre < 2                       ? PlanKind::kInt16
                            : metre <= kUltimoMetro3000 - 2 ? PlanKind::kDouble
                                                            : PlanKind::kEmpty;
      ASSERT_EQ(kind, p.kind) << "axis " << axis << " metre " << metre;
      if (kind != PlanKind::kEmpty) {
        ASSERT_EQ(axis == 0 ? 0.0 : static_cast<double>(metre), p.value)
            << "axis " << axis << " metre " << metre;
      }
    }
  }
}

// The signal "segnale, 1750, 1, 4, ..." is cell 36: the record at byte 540.
TEST(Writer, TrackFileRecordOfASignal) {
  TestModel t;
  t.Compile({Rec("segnale", {1750, 1, 4, 0, 0, 0, 0, 0, 0, 0, 0}), "velocita,  0,  100"});
  const std::string& file = t.fs.files[t.TrackFilePath()];
  ASSERT_EQ(15u * (kUltimaCella3000 + 1), file.size());
  // tipo 1, valore 40, valore4 3, velocita 20, pendenza 0 + 100.
  EXPECT_EQ("01 28 00 00 00 00 00 03 00 00 00 00 14 64 00", Hex(file.substr(540, 15)));
  EXPECT_EQ("00 00 00 00 00 00 00 00 00 00 1F 00 14 64 00", Hex(file.substr(34 * 15, 15)));
}

// An indicator board whose second speed pair does not fit 16 bits ends the
// reading with error 25; its cell 14 already holds the board and the first
// pair (100 * 20 + 100 / 5 = 2020), and the track file stores them.
TEST(Writer, TrackFileKeepsTheBoardCutShortByAFault) {
  TestModel t;
  t.Compile({}, model_test::LineSource(
                    {"indicatori_vmax,  650,  100,  2706,  100,  1,  100,  2706,  100,  1"}));
  EXPECT_EQ(kErrLettura, t.m.cod_errore);
  const std::string& file = t.fs.files[t.TrackFilePath()];
  ASSERT_EQ(15u * (kUltimaCella3000 + 1), file.size());
  EXPECT_EQ("06 E4 07 00 00 00 00 00 00 00 00 00 00 00 00", Hex(file.substr(14 * 15, 15)));
}

TEST(Writer, RunFileSlots) {
  TestModel t;
  t.Compile({Stazione(1000, 2, 200), "vetture,  7", "orologio,  1 53 0"});
  const std::vector<voce> slots = t.RunFile();
  ASSERT_EQ(87u, slots.size());
  EXPECT_EQ("Borgo Alto", slots[1].nome);
  EXPECT_EQ(900, slots[1].inizio);
  EXPECT_EQ(1100, slots[1].fine);
  EXPECT_EQ(7, slots[84].posizione);
  EXPECT_EQ(3000, slots[84].fine);
  EXPECT_EQ(53, slots[86].dato5);
  for (int k : {0, 2, 50, 80}) {
    SCOPED_TRACE(k);
    std::string bytes;
    EncodeVoce(slots[k], &bytes);
    EXPECT_EQ(std::string(34, '\0'), bytes);
  }
}

// With j = 0 there is no plan and no line file; a line file of an earlier run
// stays as it was.
TEST(Writer, NoLineFileWithoutCreaLinea) {
  TestModel t;
  t.fs.files[t.LineFilePath()] = "earlier run";
  t.Compile({}, model_test::LineSource(), 0);
  EXPECT_EQ(0, t.m.crea_linea);
  EXPECT_TRUE(t.m.planimetria.empty());
  EXPECT_EQ("earlier run", t.fs.files[t.LineFilePath()]);
  EXPECT_EQ((std::vector<std::string>{t.RunFilePath(), t.TrackFilePath()}), Writes(t.fs));
}

TEST(Writer, LargerEarlierFilesAreReplacedWhole) {
  TestModel t;
  for (const std::string& path : {t.LineFilePath(), t.RunFilePath(), t.TrackFilePath()}) {
    t.fs.files[path] = std::string(300000, 'x');
  }
  t.Compile({});
  EXPECT_EQ(20u * kUltimoMetro3000 - 36, t.fs.files[t.LineFilePath()].size());
  EXPECT_EQ(87u * 34 + 9 + 3, t.fs.files[t.RunFilePath()].size());
  EXPECT_EQ(15u * (kUltimaCella3000 + 1), t.fs.files[t.TrackFilePath()].size());
}

// A recorded problem does not keep the files from being written.
TEST(Writer, FilesAreWrittenWhateverWasRecorded) {
  TestModel t;
  const CompileOutcome outcome =
      t.Compile({Rec("segnale", {1750, 1, 4, 0, 0, 0, 0, 0, 0, 0, 0}), Stazione(1025, 2, 200)});
  EXPECT_EQ(kErrStazionePosizione, t.m.cod_errore);
  EXPECT_EQ(CompileOutcome::Kind::kProblem, outcome.kind);
  EXPECT_EQ(kErrStazionePosizione, outcome.code);
  EXPECT_EQ(1025, outcome.position);
  const std::vector<cella> cells = t.TrackFile();
  ASSERT_EQ(static_cast<size_t>(kUltimaCella3000) + 1, cells.size());
  EXPECT_EQ(kTipoSegnale, cells[36].tipo);
  EXPECT_EQ(87u, t.RunFile().size());
}

// The run stops at the failing file: the line file is written, the track
// file is not.
TEST(Writer, FailedWriteStopsTheRun) {
  const model_test::Watched w = model_test::CompileWatched({}, "Vescolara_631.sim");
  EXPECT_EQ(CompileOutcome::Kind::kStop, w.outcome.kind);
  EXPECT_EQ(
      "report: /cartella/Vescolara_631.sim: scrittura non riuscita\n"
      "write /cartella/Vescolara_linea.dat\n"
      "write /cartella/Vescolara_631.sim\n"
      "end\n",
      w.shown);
}

// A folder whose line file takes its pieces one by one and fails at the
// piece `fail_at` (counted from 1), as a full disk would.
class PieceByPieceFileSystem : public FakeFileSystem {
 public:
  class Writer : public FileWriter {
   public:
    Writer(PieceByPieceFileSystem* fs, std::string path) : fs_(fs), path_(std::move(path)) {}
    bool Append(std::string_view bytes, std::string* err) override {
      fs_->pieces.push_back(bytes.size());
      if (fs_->pieces.size() == fs_->fail_at) {
        *err = path_ + ": disco pieno";
        return false;
      }
      bytes_.append(bytes);
      return true;
    }
    bool Commit(std::string* err) override { return fs_->WriteFile(path_, bytes_, err); }
    void Abort() override { ++fs_->aborted; }

   private:
    PieceByPieceFileSystem* fs_;
    std::string path_;
    std::string bytes_;
  };
  std::unique_ptr<FileWriter> StartFile(const std::string& path, std::string*) override {
    log.push_back("start " + path);
    return std::make_unique<Writer>(this, path);
  }

  size_t fail_at = 0;
  std::vector<size_t> pieces;  // the size of each piece appended
  int aborted = 0;
};

// The line file reaches the folder in pieces of the encoder's buffer, never
// as one whole file; a piece that cannot be written stops the run there.
TEST(Writer, LineFileGoesInPieces) {
  for (size_t fail_at : {size_t{0}, size_t{2}}) {
    SCOPED_TRACE(fail_at);
    PieceByPieceFileSystem fs;
    TrackModel m(&fs, kTestFolder);
    m.linea = "Vescolara";
    m.treno = "631";
    fs.files[m.FullName(m.LineSourceName())] = model_test::LineSource();
    fs.files[m.FullName(m.TrainSourceName())] = model_test::TrainSource({});
    fs.files[m.FullName(m.LineFileName())] = "earlier run";
    fs.fail_at = fail_at;
    const CompileOutcome outcome = m.memorizza_percorso(1);
    const size_t size = 20u * kUltimoMetro3000 - 36;
    if (fail_at == 0) {
      EXPECT_EQ(CompileOutcome::Kind::kDone, outcome.kind);
      EXPECT_EQ(size, fs.files[m.FullName(m.LineFileName())].size());
      ASSERT_EQ(
          (size + LineFileEncoder::kDefaultPieceSize - 1) / LineFileEncoder::kDefaultPieceSize,
          fs.pieces.size());
      for (size_t piece : fs.pieces) EXPECT_LE(piece, LineFileEncoder::kDefaultPieceSize);
      EXPECT_EQ(0, fs.aborted);
    } else {
      EXPECT_EQ(CompileOutcome::Kind::kStop, outcome.kind);
      EXPECT_EQ("/cartella/Vescolara_linea.dat: disco pieno", outcome.message);
      EXPECT_EQ(fail_at, fs.pieces.size());
      EXPECT_EQ(1, fs.aborted);
      EXPECT_EQ("earlier run", fs.files[m.FullName(m.LineFileName())]);
      EXPECT_EQ(0u, fs.files.count(m.FullName(m.RunFileName())));
      EXPECT_EQ(0u, fs.files.count(m.FullName(m.TrackFileName())));
    }
  }
}

}  // namespace
}  // namespace scenario
