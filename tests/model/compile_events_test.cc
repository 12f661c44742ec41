// What the compile pass tells an observer: where each problem came from and
// which taken cells caused it, who put each overwritten thing in its place,
// and on whose behalf the post-pass made its code cells. The companion tool
// reports from these events alone, so they are checked here against small
// sources whose cells are known.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "model/model_fixture.h"
#include "model/problems.h"
#include "model/track_model.h"
#include "reader/field_reader.h"

namespace scenario {
namespace {

using model_test::Lines;
using model_test::Rec;
using model_test::Stazione;
using model_test::TestModel;

class EventLog : public CompileObserver {
 public:
  void OnPlaced(const PlacementEvent& e) override { placed.push_back(e); }
  void OnSlot(const SlotEvent& e) override { slots.push_back(e); }
  void OnOverwrite(const OverwriteEvent& e) override { overwrites.push_back(e); }
  void OnProblem(const ProblemEvent& e) override { problems.push_back(e); }

  std::vector<PlacementEvent> placed;
  std::vector<SlotEvent> slots;
  std::vector<OverwriteEvent> overwrites;
  std::vector<ProblemEvent> problems;
};

// A record in one of the sources: 'L' or 'T' and a text of its line; an
// empty marker means the whole file, a null one no record.
struct Rec_ {
  char file = 0;
  const char* marker = nullptr;
};

// A compile pass of the sources made of `line_records` (after a 3000 m
// [generale], or `generale` when given) and `train_records`, watched.
class Watch {
 public:
  Watch() { t_.m.observer = &log_; }

  CompileOutcome Compile(const Lines& line_records, const Lines& train_records,
                         const Lines& generale = {model_test::kLength3000}) {
    line_ = {"[generale]"};
    line_.insert(line_.end(), generale.begin(), generale.end());
    line_.push_back("[indicazioni]");
    line_.insert(line_.end(), line_records.begin(), line_records.end());
    line_.push_back("[fine]");
    train_ = {"[generale]"};
    train_.insert(train_.end(), train_records.begin(), train_records.end());
    train_.push_back("[fine]");
    return t_.Compile(train_records, JoinCrLf(line_));
  }

  // "L5" for line 5 of the line source, "T3" for the train run, "L" for
  // the whole line source, "" for no record; a column other than 1 is shown.
  std::string Where(const SourceLocation& where) const {
    if (!where.known()) return "";
    const char file = where.file == SourceLocation::File::kLine ? 'L' : 'T';
    if (where.whole_file()) return std::string(1, file);
    int line = 0, column = 0;
    LineAndColumn(JoinCrLf(file == 'L' ? line_ : train_), where.offset, &line, &column);
    return file + std::to_string(line) + (column == 1 ? "" : ":" + std::to_string(column));
  }

  std::string Where(const Rec_& r) const {
    if (r.marker == nullptr) return "";
    if (*r.marker == '\0') return std::string(1, r.file);
    const Lines& lines = r.file == 'L' ? line_ : train_;
    for (size_t i = 0; i < lines.size(); ++i) {
      if (lines[i].find(r.marker) != std::string::npos) return r.file + std::to_string(i + 1);
    }
    ADD_FAILURE() << "no line with " << r.marker;
    return "?";
  }

  TrackModel& model() { return t_.m; }
  const EventLog& log() const { return log_; }

 private:
  TestModel t_;
  EventLog log_;
  Lines line_, train_;
};

std::string Signal(int32_t position) {
  return Rec("segnale", {position, 1, 4, 0, 0, 0, 0, 0, 0, 0, 0});
}

// A cell in the way: index, tipo and the record that put it there.
struct Taken {
  int32_t index;
  uint8_t tipo;
  Rec_ by;
  bool by_post_pass = false;
};

struct ProblemCase {
  const char* name;
  Lines line, train;
  int32_t code;
  int32_t position;  // -1: none
  Rec_ record;
  std::vector<Taken> cells;
  Lines generale = {model_test::kLength3000};
};

const char kBoardA[] = "cartello_indicatore,  850,   (A)";

TEST(CompileEvents, EveryProblemWithItsRecordAndTheCellsInTheWay) {
  const std::string kSlow = Rec("rallentamento", {1000, 60, 1000, 0, 0, 0});
  const ProblemCase kCases[] = {
      {"6: board on a board",
       {kBoardA, "cartello_indicatore,  860,   (B)"},
       {},
       kErrCartello,
       860,
       {'L', "(B)"},
       {{18, kTipoCartello, {'L', "(A)"}}}},
      {"21: indicator board on a board",
       {kBoardA, "indicatori_vmax,  850,  125,  135,  140,  0,  125,  135,  140,  0"},
       {},
       kErrIndicatore,
       850,
       {'L', "indicatori"},
       {{18, kTipoCartello, {'L', "(A)"}}}},
      {"7: abbattimento on a signal",
       {},
       {Signal(1750), "abbattimento,  1800,  0"},
       kErrAbbattimento,
       1800,
       {'T', "abbattimento"},
       {{36, kTipoSegnale, {'T', "1750"}}}},
      {"16: signal on a station cell",
       {},
       {Stazione(200, 2, 600), Signal(400)},
       kErrSegnale,
       400,
       {'T', "segnale"},
       {{9, kTipoStazione, {'T', "stazione"}}}},
      {"17: warning board on a signal",
       {},
       {Signal(1950), Rec("rallentamento", {3150, 60, 500, 0, 0, 0})},
       kErrAvvisoRall,
       3150,
       {'T', "rallentamento"},
       {{40, kTipoSegnale, {'T', "1950"}}}},
      {"18: start on a signal",
       {},
       {Signal(1750), Rec("rallentamento", {1750, 60, 500, 0, 0, 0})},
       kErrInizioRall,
       1750,
       {'T', "rallentamento"},
       {{36, kTipoSegnale, {'T', "segnale"}}}},
      {"19: end on a signal",
       {},
       {Signal(1750), Rec("rallentamento", {1000, 60, 750, 0, 0, 0})},
       kErrFineRall,
       1000,
       {'T', "rallentamento"},
       {{36, kTipoSegnale, {'T', "segnale"}}}},
      // The zone of a start at 3150 m is cells 39 to 36; only 36 is taken.
      {"20: warning zone over a signal",
       {},
       {Signal(1750), Rec("rallentamento", {3150, 60, 500, 0, 1, 0})},
       kErrZonaRall,
       3150,
       {'T', "rallentamento"},
       {{36, kTipoSegnale, {'T', "segnale"}}}},
      // The board in cell 40 looks back at the signals in 32, 31 and 30: the
      // one in 32 has the other two in front of it.
      {"11: no room in front of a signal",
       {},
       {Signal(1450), Signal(1500), Signal(1550), Rec("rallentamento", {3150, 60, 500, 0, 0, 0})},
       kErrCodiceSegnale,
       1600,
       {'T', "1550"},
       {{31, kTipoSegnale, {'T', "1500"}}, {30, kTipoSegnale, {'T', "1450"}}}},
      // The start in cell 21 has its first guard group, 16 to 14, taken.
      {"12: guard group taken",
       {},
       {Signal(650), Signal(700), Signal(750), Rec("rallentamento", {1000, 120, 500, 0, 0, 0})},
       kErrCodiceGuardia,
       1050,
       {'T', "rallentamento"},
       {{16, kTipoSegnale, {'T', "750"}},
        {15, kTipoSegnale, {'T', "700"}},
        {14, kTipoSegnale, {'T', "650"}}}},
      // 8 cells into the restriction from cell 21: 29 and both neighbours.
      {"13: inner code",
       {},
       {Signal(1350), Signal(1400), Signal(1450), kSlow},
       kErrCodiceInterno,
       1450,
       {'T', "rallentamento"},
       {{28, kTipoSegnale, {'T', "1350"}},
        {29, kTipoSegnale, {'T', "1400"}},
        {30, kTipoSegnale, {'T', "1450"}}}},
      // The restriction ends in cell 25; the signal in 30 has 29 and 28
      // taken; the problem is reported at the end cell.
      {"13: code in front of the next signal",
       {},
       {Signal(1450), "abbattimento,  1450,  0", "abbattimento,  1400,  0",
        Rec("rallentamento", {1000, 60, 200, 0, 0, 0})},
       kErrCodiceInterno,
       1250,
       {'T', "rallentamento"},
       {{29, kTipoAbbattimento, {'T', "abbattimento,  1450"}},
        {28, kTipoAbbattimento, {'T', "abbattimento,  1400"}}}},
      {"15: beyond the track", {}, {Signal(20000)}, kErrOltrePercorso, 20000, {'T', "20000"}, {}},
      {"8: station position",
       {},
       {Stazione(225, 2, 600)},
       kErrStazionePosizione,
       225,
       {'T', "stazione"},
       {}},
      {"24: station cell at the start",
       {},
       {Stazione(0, 12, 200)},
       kErrStazioneInizio,
       -1,
       {'T', "stazione"},
       {}},
      {"25: record cut short", {}, {"segnale,  1750,  1"}, kErrLettura, -1, {'T', "segnale"}, {}},
      {"103: curve without digit",
       {"curvad7,  1100,  250"},
       {},
       kErrCurva,
       -1,
       {'L', "curvad7"},
       {}},
      // "uno" is read into slot 83 and ordered into slot 82, where its end
      // 4920 + 100 is no multiple of 50; "due" went to slot 81.
      {"2: progressive range",
       {},
       {},
       kErrProgressiva,
       -1,
       {'L', "uno"},
       {},
       {model_test::kLength3000, "progressiva chilometrica uno,    0,    4920,    1",
        "progressiva chilometrica due,    500,    1000,    0"}},
  };
  for (const ProblemCase& c : kCases) {
    SCOPED_TRACE(c.name);
    Watch w;
    const CompileOutcome outcome = w.Compile(c.line, c.train, c.generale);
    ASSERT_FALSE(w.log().problems.empty());
    const ProblemEvent& p = w.log().problems.back();
    EXPECT_EQ(c.code, p.code);
    EXPECT_EQ(c.code, w.model().cod_errore);
    EXPECT_EQ(CompileOutcome::Kind::kProblem, outcome.kind);
    if (c.position >= 0) {
      EXPECT_EQ(c.position, p.position);
    }
    EXPECT_EQ(w.model().pos_errore, p.position);
    EXPECT_EQ(w.Where(c.record), w.Where(p.record));
    EXPECT_EQ(w.model().problem_location, p.record);
    ASSERT_EQ(c.cells.size(), p.cells.size());
    for (size_t i = 0; i < c.cells.size(); ++i) {
      SCOPED_TRACE(i);
      EXPECT_EQ(c.cells[i].index, p.cells[i].index);
      EXPECT_EQ(c.cells[i].tipo, p.cells[i].tipo);
      EXPECT_EQ(w.Where(c.cells[i].by), w.Where(p.cells[i].placed_by));
      EXPECT_EQ(c.cells[i].by_post_pass, p.cells[i].by_post_pass);
    }
  }
}

TEST(CompileEvents, MissingLineSourceIsTheWholeFile) {
  TestModel t;
  EventLog log;
  t.m.observer = &log;
  const CompileOutcome outcome = t.m.memorizza_percorso(1);
  EXPECT_EQ(CompileOutcome::Kind::kStop, outcome.kind);
  ASSERT_EQ(1u, log.problems.size());
  EXPECT_EQ(kErrManca, log.problems[0].code);
  EXPECT_TRUE(log.problems[0].record.whole_file());
  EXPECT_EQ(SourceLocation::File::kLine, log.problems[0].record.file);
}

// The boxes 1250 and 1251 belong to whatever took cell 1: a record, or a
// code the post-pass made there for a restriction.
TEST(CompileEvents, TheBoxBelongsToWhatTookCellOne) {
  struct Case {
    const char* name;
    Lines train;
    int32_t code;
    Rec_ record;
    Taken cell;
  };
  const Case kCases[] = {
      {"a signal at 0 m", {Signal(0)}, 1250, {'T', "segnale"}, {1, kTipoSegnale, {'T', "segnale"}}},
      {"a signal with valore 0",
       {Rec("segnale", {0, 1, 0, 1, 0, 0, 0, 0, 0, 0, 0})},
       1251,
       {'T', "segnale"},
       {1, kTipoSegnale, {'T', "segnale"}}},
      {"a guard code",
       {"abbattimento,  150,  0", "abbattimento,  100,  0",
        Rec("rallentamento", {350, 120, 200, 0, 0, 0})},
       1250,
       {'T', "rallentamento"},
       {1, kTipoCodice, {'T', "rallentamento"}, true}},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.name);
    Watch w;
    const CompileOutcome outcome = w.Compile({}, c.train);
    EXPECT_EQ(CompileOutcome::Kind::kBox, outcome.kind);
    EXPECT_EQ(c.code, outcome.code);
    ASSERT_FALSE(w.log().problems.empty());
    const ProblemEvent& p = w.log().problems.back();
    EXPECT_EQ(c.code, p.code);
    EXPECT_EQ(0, w.model().cod_errore);  // the box is shown, not recorded
    EXPECT_EQ(w.Where(c.record), w.Where(p.record));
    ASSERT_EQ(1u, p.cells.size());
    EXPECT_EQ(c.cell.index, p.cells[0].index);
    EXPECT_EQ(c.cell.tipo, p.cells[0].tipo);
    EXPECT_EQ(w.Where(c.cell.by), w.Where(p.cells[0].placed_by));
    EXPECT_EQ(c.cell.by_post_pass, p.cells[0].by_post_pass);
  }
}

TEST(CompileEvents, OverwritesSayWhoPutTheEarlierThingThere) {
  Watch w;
  w.Compile({"montagna,  1000,  1500,  2", "montagna,  1400,  1600,  2"},
            {Signal(400), Stazione(200, 2, 600), Signal(450), Signal(1750), Signal(1650)});
  EXPECT_EQ(0, w.model().cod_errore);
  struct Expected {
    Overwrite kind;
    int32_t index;
    Rec_ record, earlier;
    int32_t earlier_cell = -1;
    uint8_t earlier_tipo = 0;
    int32_t earlier_range = 0;
  };
  const Rec_ kStation{'T', "stazione"};
  const Expected kExpected[] = {
      // The second range covers cells 28 to 31; 28 and 29 were the first's.
      {Overwrite::kTunnelRange, 28, {'L', "1400"}, {'L', "1000"}, -1, 0, 1},
      {Overwrite::kTunnelRange, 29, {'L', "1400"}, {'L', "1000"}, -1, 0, 1},
      // The station's markers 8 to 5 over the codes of the signal in cell 9,
      // then its station cell 9 over that signal.
      {Overwrite::kAdvanceCode, 7, kStation, {'T', "400"}, 9, kTipoSegnale},
      {Overwrite::kAdvanceCode, 5, kStation, {'T', "400"}, 9, kTipoSegnale},
      {Overwrite::kStationCell, 9, kStation, {'T', "400"}},
      // The signal in cell 10 puts its codes over the station's markers.
      {Overwrite::kAdvanceCode, 8, {'T', "450"}, kStation, 9, kTipoStazione},
      {Overwrite::kAdvanceCode, 6, {'T', "450"}, kStation, 9, kTipoStazione},
      // The signal in cell 34 over those of the signal in cell 36.
      {Overwrite::kAdvanceCode, 32, {'T', "1650"}, {'T', "1750"}, 36, kTipoSegnale},
      {Overwrite::kAdvanceCode, 30, {'T', "1650"}, {'T', "1750"}, 36, kTipoSegnale},
      {Overwrite::kAdvanceCode, 28, {'T', "1650"}, {'T', "1750"}, 36, kTipoSegnale},
  };
  const std::vector<OverwriteEvent>& all = w.log().overwrites;
  ASSERT_EQ(std::size(kExpected), all.size());
  for (size_t i = 0; i < std::size(kExpected); ++i) {
    SCOPED_TRACE(i);
    const Expected& e = kExpected[i];
    const OverwriteEvent& got = all[i];
    EXPECT_EQ(e.kind, got.kind);
    EXPECT_EQ(e.index, got.index);
    EXPECT_EQ(w.Where(e.record), w.Where(got.record));
    EXPECT_EQ(w.Where(e.earlier), w.Where(got.earlier));
    EXPECT_EQ(e.earlier_cell, got.earlier_cell);
    EXPECT_EQ(e.earlier_tipo, got.earlier_tipo);
    EXPECT_EQ(e.earlier_range, got.earlier_range);
  }
  EXPECT_EQ(kTipoSegnale, all[4].before.tipo);
  EXPECT_EQ(81, all[5].before.preavviso);  // 81 to 84 from cell 8 down
  EXPECT_EQ(2, all[0].before.montagna);
}

// Every cell a record or the post-pass gives a tipo is told once, with the
// record; the post-pass's code cells with the signal or restriction they
// were made for.
TEST(CompileEvents, PlacementsNameTheirRecord) {
  Watch w;
  w.Compile({kBoardA},
            {Signal(1000), Rec("rallentamento", {2500, 60, 500, 0, 1, 0}), Signal(3300)});
  EXPECT_EQ(0, w.model().cod_errore);
  std::vector<std::string> got;
  for (const PlacementEvent& e : w.log().placed) {
    got.push_back(std::to_string(e.index) + ":" + std::to_string(e.tipo) + " " + w.Where(e.record) +
                  (e.by_post_pass ? " (post-pass)" : ""));
  }
  const std::string board = w.Where(Rec_{'L', "(A)"}), first = w.Where(Rec_{'T', "1000"});
  const std::string slow = w.Where(Rec_{'T', "rallentamento"});
  const std::string last = w.Where(Rec_{'T', "3300"});
  // The same cells as the post-pass test of these sources: board 27, zone
  // 26 to 23, start 51, end 61; codes 20 (signal), 33, 40, 46 (guards), 59
  // (inner) and 66 (after the end).
  const std::vector<std::string> expected = {
      "18:14 " + board,
      "21:1 " + first,
      "61:2 " + slow,
      "51:3 " + slow,
      "27:4 " + slow,
      "26:5 " + slow,
      "25:5 " + slow,
      "24:5 " + slow,
      "23:5 " + slow,
      "67:1 " + last,
      "20:12 " + first + " (post-pass)",
      "46:12 " + slow + " (post-pass)",
      "40:12 " + slow + " (post-pass)",
      "33:12 " + slow + " (post-pass)",
      "59:12 " + slow + " (post-pass)",
      "66:12 " + slow + " (post-pass)",
  };
  EXPECT_EQ(expected, got);
}

// Every slot a record fills: each station (a junction of type 25 too,
// which takes no cell) and each board text, by the record that filled it.
TEST(CompileEvents, SlotsNameTheirRecord) {
  Watch w;
  w.Compile({kBoardA, "cartello_indicatore,  1350,   (B)"},
            {Stazione(200, 2, 600, 0, "PRIMA"), Stazione(1400, 25, 200, 0, "BIVIO"),
             Stazione(2200, 12, 400, 0, "TERZA")});
  EXPECT_EQ(0, w.model().cod_errore);
  std::vector<std::string> got;
  for (const SlotEvent& e : w.log().slots) {
    got.push_back(std::to_string(e.slot) + " " + w.Where(e.record));
  }
  const std::vector<std::string> expected = {
      "80 " + w.Where(Rec_{'L', "(A)"}),  "79 " + w.Where(Rec_{'L', "(B)"}),
      "1 " + w.Where(Rec_{'T', "PRIMA"}), "2 " + w.Where(Rec_{'T', "BIVIO"}),
      "3 " + w.Where(Rec_{'T', "TERZA"}),
  };
  EXPECT_EQ(expected, got);
}

}  // namespace
}  // namespace scenario
