// What the readers tell an observer about how a source was written: the
// warnings about what the reading swallows, the details of problems 15 and
// 22, the causes of problem 25, and the stop at a signal for a problem of
// the line. Most cases start from the built-in sources, edited the way an
// author would; with or without an observer the compiled bytes are the same.
#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

#include "model/model_fixture.h"
#include "model/problems.h"
#include "model/track_model.h"
#include "reader/field_reader.h"
#include "test_util.h"

namespace scenario {
namespace {

using model_test::kLength3000;
using model_test::Lines;
using model_test::LineSource;
using model_test::Rec;
using model_test::Stazione;
using model_test::TestModel;
using model_test::TrainSource;

struct Sources {
  std::string line, train;  // Windows-1252 bytes
};

// The built-in sources, as the builder's writers make them.
const Sources& Builtin() {
  static const Sources sources = [] {
    TestModel t;
    t.m.dati_linea();
    t.m.dati_treno();
    return Sources{t.fs.files.at(t.LinePath()), t.fs.files.at(t.TrainPath())};
  }();
  return sources;
}

// Replaces the first `from` in *bytes.
void Edit(std::string* bytes, const std::string& from, const std::string& to) {
  const size_t at = bytes->find(from);
  if (at == std::string::npos) {
    ADD_FAILURE() << "no " << from;
    return;
  }
  bytes->replace(at, from.size(), to);
}

// Removes every line that starts with `prefix`.
void DropLines(std::string* bytes, const std::string& prefix) {
  std::string out;
  for (const std::string& line : SplitCrLf(*bytes)) {
    if (line.compare(0, prefix.size(), prefix) != 0) out += line + "\r\n";
  }
  *bytes = out;
}

class Log : public CompileObserver {
 public:
  void OnWarning(const WarningEvent& e) override { warnings.push_back(e); }
  void OnProblem(const ProblemEvent& e) override { problems.push_back(e); }
  void OnStop(const StopEvent& e) override { stops.push_back(e); }

  std::vector<WarningEvent> warnings;
  std::vector<ProblemEvent> problems;
  std::vector<StopEvent> stops;
};

// One compile pass of `sources`, watched or not.
struct Compiled {
  Log log;
  CompileOutcome outcome;
  int32_t cod_errore = 0, pos_errore = 0;
  SourceLocation problem_location;
  std::map<std::string, std::string> files;  // what is left in the folder
};

void Compile(const Sources& sources, int32_t j, bool watched, Compiled* run) {
  TestModel t;
  t.fs.files[t.LinePath()] = sources.line;
  t.fs.files[t.TrainPath()] = sources.train;
  if (watched) t.m.observer = &run->log;
  run->outcome = t.m.memorizza_percorso(j);
  run->cod_errore = t.m.cod_errore;
  run->pos_errore = t.m.pos_errore;
  run->problem_location = t.m.problem_location;
  run->files = t.fs.files;
}

// "L2:20" for line 2, column 20 of the line source, "T" for the whole
// train-run source, "" for no place.
std::string Where(const Sources& s, const SourceLocation& where) {
  if (!where.known()) return "";
  const bool line = where.file == SourceLocation::File::kLine;
  std::string out = line ? "L" : "T";
  if (where.whole_file()) return out;
  int l = 0, c = 0;
  LineAndColumn(line ? s.line : s.train, where.offset, &l, &c);
  return out + std::to_string(l) + ":" + std::to_string(c);
}

const char* KindName(SourceWarning kind) {
  switch (kind) {
    case SourceWarning::kEmptySource:
      return "vuoto";
    case SourceWarning::kNoGenerale:
      return "senza-generale";
    case SourceWarning::kNoStation:
      return "senza-stazioni";
    case SourceWarning::kNoSignal:
      return "senza-segnali";
    case SourceWarning::kBeforeGenerale:
      return "prima-di-generale";
    case SourceWarning::kUnknownField:
      return "sconosciuto";
    case SourceWarning::kUnknownSection:
      return "sezione";
    case SourceWarning::kKeywordInText:
      return "parola-nel-testo";
    case SourceWarning::kNotANumber:
      return "non-numero";
    case SourceWarning::kEmptyNumber:
      return "vuoto-come-0";
    case SourceWarning::kFieldsFromNextLine:
      return "campi-dalla-riga-dopo";
    case SourceWarning::kExtraFields:
      return "campi-in-piu";
    case SourceWarning::kTab:
      return "tab";
    case SourceWarning::kUtf8:
      return "utf8";
  }
  return "?";
}

// A warning in one line: "non-numero T44:9 [\t3100] segnale.posizione".
std::string Describe(const Sources& s, const WarningEvent& w) {
  std::string out = std::string(KindName(w.kind)) + " " + Where(s, w.where);
  if (!w.text.empty()) out += " [" + w.text + "]";
  if (!w.keyword.empty()) out += " " + w.keyword;
  if (!w.field.empty()) out += "." + w.field;
  if (w.expected != 0) out += " " + std::to_string(w.on_line) + "/" + std::to_string(w.expected);
  if (w.record.known() && w.record != w.where) out += " @" + Where(s, w.record);
  return out;
}

std::vector<std::string> Warnings(const Sources& s, const Compiled& run) {
  std::vector<std::string> out;
  for (const WarningEvent& w : run.log.warnings) out.push_back(Describe(s, w));
  return out;
}

TEST(SourceChecks, TheBuiltInSourcesGiveNoWarning) {
  for (int32_t j : {1, 0}) {
    Compiled run;
    Compile(Builtin(), j, true, &run);
    EXPECT_EQ(CompileOutcome::Kind::kDone, run.outcome.kind);
    EXPECT_EQ(std::vector<std::string>{}, Warnings(Builtin(), run)) << "j = " << j;
  }
}

// Each edit an author might make, and what the reading tells about it.
TEST(SourceChecks, WarnAboutWhatTheReadingSwallows) {
  struct Case {
    const char* name;
    void (*edit)(Sources*);
    std::vector<std::string> warnings;
  };
  const Case kCases[] = {
      // A comment naming a keyword becomes a signal reading its 11 values
      // from the next lines.
      {"comment with a keyword",
       [](Sources* s) {
         Edit(&s->train, "[segnali]\r\n", "[segnali]\r\n; qui il nuovo segnale di protezione\r\n");
       },
       {"parola-nel-testo T43:1 [; qui il nuovo segnale di protezione] segnale 0/11"}},
      // Fields separated by tabs are one keyword field; the tab is told with it.
      {"record separated by tabs",
       [](Sources* s) { Edit(&s->train, "[segnali]\r\n", "[segnali]\r\nsegnale\t1900\t1\t4\r\n"); },
       {"parola-nel-testo T43:1 [segnale\t1900\t1\t4] segnale 0/11"}},
      {"line of tabs",
       [](Sources* s) { Edit(&s->train, "[segnali]\r\n", "[segnali]\r\n\t\t\r\n"); },
       {"tab T43:1"}},
      {"tab after a comma",
       [](Sources* s) { Edit(&s->train, "segnale,    3100,", "segnale,\t3100,"); },
       {"non-numero T44:9 [\t3100] segnale.posizione @T44:1"}},
      {"empty train-run source", [](Sources* s) { s->train.clear(); }, {"vuoto T"}},
      {"train-run source of blank lines", [](Sources* s) { s->train = "  \r\n\r\n"; }, {"vuoto T"}},
      {"[generali] for [generale]",
       [](Sources* s) { Edit(&s->train, "[generale]", "[generali]"); },
       {"senza-generale T [[generali]] @T1:1"}},
      {"no station", [](Sources* s) { DropLines(&s->train, "stazione,"); }, {"senza-stazioni T"}},
      {"misspelled station",
       [](Sources* s) { Edit(&s->train, "stazione,    3400", "stazone,    3400"); },
       {"sconosciuto T25:1 [stazone]"}},
      {"misspelled signal",
       [](Sources* s) { Edit(&s->train, "segnale,    3100", "segnlae,    3100"); },
       {"sconosciuto T44:1 [segnlae]"}},
      {"misspelled curve",
       [](Sources* s) { Edit(&s->line, "curvad4,  10300", "curvda4,  10300"); },
       {"sconosciuto L16:1 [curvda4]"}},
      {"misspelled section",
       [](Sources* s) { Edit(&s->train, "[segnali]", "[segnalli]"); },
       {"sezione T42:1 [[segnalli]]"}},
      {"misspelled length",
       [](Sources* s) { Edit(&s->line, "lunghezza percorso", "lungheza percorso"); },
       {"sconosciuto L2:1 [lungheza percorso] [generale]"}},
      // Exact-case keywords of [generale] do not match in capitals.
      {"scenery in capitals",
       [](Sources* s) { Edit(&s->line, "sfondo due", "Sfondo due"); },
       {"sconosciuto L7:1 [Sfondo due] [generale]"}},
      {"decimal comma",
       [](Sources* s) {
         Edit(&s->train, "velocita,    1350,   135", "velocita,    1350,   125,5");
       },
       {"campi-in-piu T11:26 [5] velocita 0/2 @T11:1"}},
      {"missing field",
       [](Sources* s) {
         Edit(&s->train, "segnale,    3100,   2, 4, 0,  0, 0,    0,  0,0,0, 0",
              "segnale,    3100,   2, 4, 0,  0, 0,    0,  0,0, 0");
       },
       {"campi-dalla-riga-dopo T44:50 segnale 10/11 @T44:1"}},
      {"empty field",
       [](Sources* s) {
         Edit(&s->train, "segnale,    3100,   2, 4, 0,", "segnale,    3100,   2, , 0,");
       },
       {"vuoto-come-0 T44:24 segnale.s1 @T44:1"}},
      {"route length without value",
       [](Sources* s) { Edit(&s->line, "lunghezza percorso,    99000", "lunghezza percorso,"); },
       {"vuoto-come-0 L2:20 lunghezza percorso.lunghezza @L2:1"}},
      {"letter in a number",
       [](Sources* s) { Edit(&s->train, "segnale,    3100,", "segnale,    31OO,"); },
       {"non-numero T44:13 [31OO] segnale.posizione @T44:1"}},
      {"comma in a station name",
       [](Sources* s) { Edit(&s->train, "0, 0, ROVESCALE", "0, 0, ROVESCALE, BASSA"); },
       {"campi-in-piu T26:84 [BASSA] stazione 0/17 @T26:1"}},
      {"UTF-8 name",
       [](Sources* s) { Edit(&s->train, "CORVENA C.LE", "CITT\xc3\x80"); },
       {"utf8 T24:77 [CITT\xc3\x80]"}},
      {"text before [generale]",
       [](Sources* s) { s->train = "Corsa 631 di prova\r\n" + s->train; },
       {"prima-di-generale T1:1 [Corsa 631 di prova]"}},
      {"dash line",
       [](Sources* s) { Edit(&s->train, "[segnali]\r\n", "[segnali]\r\n-- nuovi --\r\n"); },
       {"sconosciuto T43:1 [-- nuovi --]"}},
      // What reads the same as the usual form says nothing.
      {"capitals and quotes",
       [](Sources* s) {
         Edit(&s->train, "segnale,    3100,", "SEGNALE,    \"3100\",");
         Edit(&s->train, "velocita,    1350,   135", "velocita,    1350,   135,");
       },
       {}},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.name);
    Sources s = Builtin();
    c.edit(&s);
    Compiled watched, plain;
    Compile(s, 1, true, &watched);
    Compile(s, 1, false, &plain);
    EXPECT_EQ(c.warnings, Warnings(s, watched));
    // Warnings change nothing: the same problem and the same files.
    EXPECT_EQ(plain.outcome.kind, watched.outcome.kind);
    EXPECT_EQ(plain.cod_errore, watched.cod_errore);
    EXPECT_EQ(plain.pos_errore, watched.pos_errore);
    EXPECT_TRUE(plain.files == watched.files);
  }
}

TEST(SourceChecks, ARunWithoutSignalsIsToldSo) {
  Compiled run;
  const Sources s{LineSource(), TrainSource({Stazione(200, 2, 600)})};
  Compile(s, 1, true, &run);
  EXPECT_EQ(std::vector<std::string>{"senza-segnali T"}, Warnings(s, run));
}

TEST(SourceChecks, TabsAreToldOncePerLine) {
  Compiled run;
  const Sources s{LineSource({"pendenza,\t0,\t0", "\t\t"}), TrainSource({})};
  Compile(s, 1, true, &run);
  const std::vector<std::string> expected = {
      "non-numero L4:10 [\t0] pendenza.posizione @L4:1",
      "non-numero L4:13 [\t0] pendenza.pendenza @L4:1",
      "tab L5:1",
      "senza-stazioni T",
      "senza-segnali T",
  };
  EXPECT_EQ(expected, Warnings(s, run));
}

// Many records on one long line: the extra fields are told once, for the
// first record, quoting only the start of the rest of the line, so the
// warnings stay as small as the line is long.
TEST(SourceChecks, ExtraFieldsOfALongLineQuoteItsStartOnly) {
  std::string row;
  for (int p = 0; p < 2000; p += 50) row += "pendenza, " + std::to_string(p) + ", -1, ";
  row += "pendenza, 2000, 0";
  Compiled run;
  const Sources s{LineSource({row}), TrainSource({Stazione(200, 2, 600)})};
  Compile(s, 1, true, &run);
  size_t extra = 0;
  for (const WarningEvent& w : run.log.warnings) {
    if (w.kind != SourceWarning::kExtraFields) continue;
    ++extra;
    EXPECT_LE(w.text.size(), 63u) << w.text;
  }
  EXPECT_EQ(1u, extra);
  const WarningEvent* first = nullptr;
  for (const WarningEvent& w : run.log.warnings) {
    if (w.kind == SourceWarning::kExtraFields && first == nullptr) first = &w;
  }
  ASSERT_NE(nullptr, first);
  EXPECT_EQ("pendenza, 50, -1, pendenza, 100, -1, pendenza, 150, -1, pend...", first->text);
  EXPECT_EQ("L4:18", Where(s, first->where));
}

// A record of the line past its end records 15 there; the first signal of
// the train run then stops the reading without making it its problem.
TEST(SourceChecks, AProblemKeepsTheRecordThatFirstSetIt) {
  struct Case {
    const char* from;
    const char* to;
    const char* record;
  };
  const Case kCases[] = {
      {"curvad4,  1100,  250", "curvad4,  106000,  250", "L11:1"},
      {"pendenza,  1550,   1", "pendenza,  106000,   1", "L74:1"},
      {"montagna,   10250,  10400,  12", "montagna,   106000,  106400,  12", "L241:1"},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.to);
    Sources s = Builtin();
    Edit(&s.line, c.from, c.to);
    Compiled watched, plain;
    Compile(s, 1, true, &watched);
    Compile(s, 1, false, &plain);
    ASSERT_EQ(1u, watched.log.problems.size());
    const ProblemEvent& p = watched.log.problems[0];
    EXPECT_EQ(kErrOltrePercorso, p.code);
    EXPECT_EQ(106000, p.position);
    EXPECT_EQ(c.record, Where(s, p.record));
    EXPECT_EQ(99000, p.lunghezza);
    EXPECT_EQ("L2:1", Where(s, p.length_record));
    EXPECT_EQ(105900, p.last_position);
    // The stop at the first signal, with the pos_errore it leaves.
    ASSERT_EQ(1u, watched.log.stops.size());
    EXPECT_EQ(kErrOltrePercorso, watched.log.stops[0].code);
    EXPECT_EQ(1750, watched.log.stops[0].position);
    EXPECT_EQ("T43:1", Where(s, watched.log.stops[0].record));
    EXPECT_EQ(c.record, Where(s, watched.problem_location));
    // The recorded code and position are the builder's.
    EXPECT_EQ(kErrOltrePercorso, plain.cod_errore);
    EXPECT_EQ(1750, plain.pos_errore);
    EXPECT_EQ(plain.pos_errore, watched.pos_errore);
    EXPECT_TRUE(plain.files == watched.files);
  }
}

TEST(SourceChecks, ProblemFifteenNamesTheRouteLength) {
  // A station needs 800 m of track after it, other records 100 m.
  struct Case {
    Lines train;
    int32_t position;
    double last_position;
  };
  const Case kCases[] = {
      {{Rec("segnale", {9950, 1, 4, 0, 0, 0, 0, 0, 0, 0, 0})}, 9950, 9900},
      {{Stazione(9250, 2, 600)}, 9250, 9200},
  };
  for (const Case& c : kCases) {
    const Sources s{LineSource(), TrainSource(c.train)};
    Compiled run;
    Compile(s, 1, true, &run);
    ASSERT_EQ(1u, run.log.problems.size());
    const ProblemEvent& p = run.log.problems[0];
    EXPECT_EQ(kErrOltrePercorso, p.code);
    EXPECT_EQ(c.position, p.position);
    EXPECT_EQ(3000, p.lunghezza);
    EXPECT_EQ("L2:1", Where(s, p.length_record));
    EXPECT_EQ(c.last_position, p.last_position);
  }
  // Without a value the length is read as 0, and that is what 15 names.
  Sources s = Builtin();
  Edit(&s.line, "lunghezza percorso,    99000", "lunghezza percorso,");
  Compiled run;
  Compile(s, 1, true, &run);
  ASSERT_FALSE(run.log.problems.empty());
  const ProblemEvent& p = run.log.problems.back();
  EXPECT_EQ(kErrOltrePercorso, p.code);
  EXPECT_EQ(0, p.lunghezza);
  EXPECT_EQ("L2:1", Where(s, p.length_record));
  EXPECT_EQ(6900, p.last_position);
}

TEST(SourceChecks, ProblemTwentyTwoNamesTheStationBefore) {
  Sources s = Builtin();
  Edit(&s.train, "stazione,    6400, 12,  400", "stazione,    3700, 12,  400");
  Compiled run;
  Compile(s, 1, true, &run);
  ASSERT_EQ(1u, run.log.problems.size());
  const ProblemEvent& p = run.log.problems[0];
  EXPECT_EQ(kErrStazioniVicine, p.code);
  EXPECT_EQ("T26:1", Where(s, p.record));
  EXPECT_EQ(2, p.earlier_slot);
  EXPECT_EQ("BIVIO TALMERI", p.earlier_nome);
  EXPECT_EQ("T25:1", Where(s, p.earlier_record));
  EXPECT_EQ(3500, p.earlier_fine);  // 3400 + 200 / 2
  EXPECT_EQ(3500, p.inizio);        // 3700 - 400 / 2
}

// Every way into the error trap names its cause.
TEST(SourceChecks, ProblemTwentyFiveNamesItsCause) {
  using Kind = FaultCause::Kind;
  Lines many_gradients, many_tunnels, many_boards;
  for (int k = 0; k < 250; ++k) many_gradients.push_back("pendenza,  50,  1");
  for (int k = 0; k < 81; ++k) {
    many_tunnels.push_back(Rec("montagna", {100 + 20 * k, 110 + 20 * k, 2}));
    many_boards.push_back(Rec("cartello_indicatore", {100 + 50 * k}) + ",  (B)");
  }
  struct Case {
    const char* name;
    Sources sources;
    Kind kind;
    const char* record;  // the problem's record
    const char* field;   // where the cause stands ("" none)
    const char* cause;   // name=value [lo,hi] reached read/expected
  };
  Sources type300 = Builtin();
  Edit(&type300.train, "stazione,    6400, 12,", "stazione,    6400, 300,");
  Sources lungheza = Builtin();
  Edit(&lungheza.line, "lunghezza percorso", "lungheza percorso");
  const Case kCases[] = {
      {"station type 300", type300, Kind::kValue, "T26:1", "T26:20", "tipo=300 [0,255]"},
      {"cut short",
       {LineSource(), TrainSource({}) + "segnale,  1750,  1"},
       Kind::kCutShort,
       "T3:1",
       "T3:19",
       "2/11"},
      {"int32 field",
       {LineSource(), TrainSource({"segnale,  3000000000,  1,4,0,0,0,0,0,0,0,0"})},
       Kind::kValue,
       "T2:1",
       "T2:11",
       "posizione=3000000000 [-2147483648,2147483647]"},
      {"gradient cursor",
       {LineSource(many_gradients), TrainSource({})},
       Kind::kCursor,
       "L205:1",
       "",
       "pendenze [0,200] 201"},
      {"tunnel lists",
       {LineSource(many_tunnels), TrainSource({})},
       Kind::kTable,
       "L84:1",
       "",
       "gallerie [0,80] 81"},
      {"board slots",
       {LineSource(many_boards), TrainSource({})},
       Kind::kTable,
       "L84:1",
       "",
       "voci dei cartelli [0,80] 81"},
      {"plan",
       {LineSource({"curvad4,  2900,  8000"}), TrainSource({})},
       Kind::kTable,
       "L4:1",
       "",
       "planimetria [0,10000] 10001"},
      {"cell before the track",
       {LineSource(), TrainSource({Rec("segnale", {-500, 1, 4, 0, 0, 0, 0, 0, 0, 0, 0})})},
       Kind::kCell,
       "T2:1",
       "T2:11",
       "posizione [0,200] -9"},
      {"no route length", lungheza, Kind::kNoRouteLength, "L1:1", "", ""},
      // The speed is read at one record and fails at the next.
      {"carried speed",
       {LineSource(), TrainSource({"velocita,  0,  2000", "velocita,  500,  100"})},
       Kind::kValue,
       "T2:1",
       "T2:1",
       "velocita=2000 [-2,1277]"},
      {"indicator board",
       {LineSource({"indicatori_vmax,  850,  2000,  0,  0,  0,  0,  0,  0,  0"}), TrainSource({})},
       Kind::kValue,
       "L4:1",
       "",
       "vas e vad=40000 [-32768,32767]"},
      {"station time",
       {LineSource(),
        TrainSource({Rec("stazione", {200, 2, 600, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 1000000, 0, 0}) +
                     ",  X"})},
       Kind::kValue,
       "T2:1",
       "T2:68",
       "ore=3600000000 [-2147483648,2147483647]"},
      {"abbattimento value",
       {LineSource(), TrainSource({"abbattimento,  1000,  40000"})},
       Kind::kValue,
       "T2:1",
       "T2:23",
       "valore=40000 [-2147483648,32767]"},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.name);
    Compiled run;
    Compile(c.sources, 1, true, &run);
    ASSERT_FALSE(run.log.problems.empty());
    const ProblemEvent& p = run.log.problems.back();
    EXPECT_EQ(kErrLettura, p.code);
    EXPECT_EQ(c.kind, p.fault.kind);
    EXPECT_EQ(c.record, Where(c.sources, p.record));
    EXPECT_EQ(c.field, Where(c.sources, p.fault.field));
    std::string cause = p.fault.name;
    if (!p.fault.value.empty()) cause += "=" + p.fault.value;
    if (c.kind == Kind::kValue || c.kind == Kind::kTable || c.kind == Kind::kCursor ||
        c.kind == Kind::kCell) {
      cause += (cause.empty() ? "[" : " [") + std::to_string(p.fault.lo) + "," +
               std::to_string(p.fault.hi) + "]";
    }
    if (c.kind == Kind::kTable || c.kind == Kind::kCursor || c.kind == Kind::kCell) {
      cause += " " + std::to_string(p.fault.reached);
    }
    if (c.kind == Kind::kCutShort) {
      cause = std::to_string(p.fault.read) + "/" + std::to_string(p.fault.expected);
    }
    EXPECT_EQ(c.cause, cause);
  }
}

}  // namespace
}  // namespace scenario
