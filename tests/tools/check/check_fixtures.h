// Shared by the checker's tests: small edits of the fixture sources, the
// compiled files the core makes of them, and one faulty pair of sources per
// problem a source can cause.
#ifndef SCENARIO_TESTS_TOOLS_CHECK_CHECK_FIXTURES_H_
#define SCENARIO_TESTS_TOOLS_CHECK_CHECK_FIXTURES_H_

#include <gtest/gtest.h>

#include <functional>
#include <map>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "model/file_names.h"
#include "model/track_model.h"
#include "tests/tools/tool_test_util.h"

namespace scenario {

using Lines = std::vector<std::string>;
inline std::string LineSource() { return LineSourceName(kFixtureLinea); }
inline std::string TrainSource() { return TrainSourceName(kFixtureLinea, kFixtureTreno); }

// Replaces the first line that contains `containing`.
inline void Set(Lines* lines, const std::string& containing, const std::string& line) {
  for (std::string& l : *lines) {
    if (l.find(containing) != std::string::npos) {
      l = line;
      return;
    }
  }
  ADD_FAILURE() << "no line with " << containing;
}

// Inserts lines before the first line that contains `containing`.
inline void Before(Lines* lines, const std::string& containing, const Lines& added) {
  for (size_t i = 0; i < lines->size(); ++i) {
    if ((*lines)[i].find(containing) != std::string::npos) {
      lines->insert(lines->begin() + i, added.begin(), added.end());
      return;
    }
  }
  ADD_FAILURE() << "no line with " << containing;
}

// Adds lines before "[fine]".
inline void Add(Lines* lines, const Lines& added) { Before(lines, "[fine]", added); }

// 1-based number of the first line holding `marker`, 0 when none does.
inline int LineOf(const Lines& lines, const std::string& marker) {
  for (size_t i = 0; i < lines.size(); ++i) {
    if (lines[i].find(marker) != std::string::npos) return static_cast<int>(i) + 1;
  }
  return 0;
}

// The compiled files the builder's compile pass makes of these sources, run
// directly on the core.
inline std::map<std::string, std::string> CompileWithCore(const Lines& line, const Lines& train,
                                                          int32_t j) {
  FakeFileSystem fs;
  TrackModel model(&fs, kTestFolder);
  model.linea = kFixtureLinea;
  model.treno = kFixtureTreno;
  fs.files[model.FullName(model.LineSourceName())] = JoinCrLf(line);
  fs.files[model.FullName(model.TrainSourceName())] = JoinCrLf(train);
  model.memorizza_percorso(j);
  std::map<std::string, std::string> out;
  const std::string prefix = std::string(kTestFolder) + "/";
  for (const auto& [path, bytes] : fs.files) {
    const std::string name = path.substr(prefix.size());
    if (name.size() < 4 || name.compare(name.size() - 4, 4, ".txt") != 0) out[name] = bytes;
  }
  return out;
}

class Scratch {
 public:
  Scratch(const Lines& line, const Lines& train) {
    WriteBytes(dir.File(LineSource()), JoinCrLf(line));
    WriteBytes(dir.File(TrainSource()), JoinCrLf(train));
  }
  TempDir dir;
};

// One faulty pair of sources per recorded problem a source can cause.
struct Case {
  int32_t code;
  std::function<void(Lines* line, Lines* train)> edit;
  int esito;
  char file;           // 'L' line source, 'T' train source
  const char* marker;  // a text of the record's line; nullptr: the whole file
  std::optional<int32_t> pos;
  std::vector<std::pair<int32_t, int>> occupata;  // cell and its tipo
};

inline constexpr char kSignal[] = "1, 4, 0,  0, 0,    0,  0,0,0, 0";

inline std::string Signal(int position, const char* values = kSignal) {
  return "segnale,    " + std::to_string(position) + ",   " + values;
}

inline const std::vector<Case>& Cases() {
  static const std::vector<Case> kCases = {
      {1,
       [](Lines* l, Lines*) { Set(l, "lunghezza", "lunghezza percorso,    1000001"); },
       2,
       'L',
       "lunghezza",
       std::nullopt,
       {}},
      {2,
       [](Lines* l, Lines*) {
         Set(l, "progressiva", "progressiva chilometrica uno,    0,    4920,    1");
       },
       1,
       'L',
       "progressiva",
       std::nullopt,
       {}},
      {3,
       [](Lines* l, Lines*) {
         Set(l, "ripetizione", "ripetizione segnali 4 codici,    925,    0");
       },
       1,
       'L',
       "ripetizione",
       std::nullopt,
       {}},
      {4,
       [](Lines* l, Lines*) {
         Set(l, "ripetizione", "ripetizione segnali 4 codici,    900,    4525");
       },
       1,
       'L',
       "ripetizione",
       std::nullopt,
       {}},
      {5,
       [](Lines* l, Lines*) {
         Set(l, "ripetizione", "ripetizione segnali codici,    900,    4500");
       },
       1,
       'L',
       "ripetizione",
       std::nullopt,
       {}},
      {6,
       [](Lines* l, Lines*) { Add(l, {"cartello_indicatore,  850,   (F)"}); },
       1,
       'L',
       "(F)",
       850,
       {{18, kTipoCartello}}},
      {7,
       [](Lines*, Lines* t) { Add(t, {"abbattimento,  1800,  0"}); },
       1,
       'T',
       "abbattimento",
       1800,
       {{36, kTipoSegnale}}},
      {8,
       [](Lines*, Lines* t) {
         Set(t, "stazione",
             "stazione,  225,  2,  600,  0, 0, 0,  1,1,0,  2,4,1,  1,  1,55, 0, PRIMA");
       },
       1,
       'T',
       "stazione",
       225,
       {}},
      {9,
       [](Lines*, Lines* t) {
         Set(t, "stazione",
             "stazione,  200,  2,  650,  0, 0, 0,  1,1,0,  2,4,1,  1,  1,55, 0, PRIMA");
       },
       1,
       'T',
       "stazione",
       200,
       {}},
      // 77 more boards leave the first station no slot.
      {10,
       [](Lines* l, Lines*) {
         Lines boards;
         for (int k = 0; k < 77; ++k) {
           boards.push_back("cartello_indicatore,  " + std::to_string(2000 + 50 * k) + ",   (B)");
         }
         Add(l, boards);
       },
       1,
       'T',
       "stazione",
       std::nullopt,
       {}},
      // The signal in cell 32 before the warning board in cell 40 has
      // signals in both cells in front of it.
      {11,
       [](Lines*, Lines* t) {
         Add(t, {Signal(1450), Signal(1500), Signal(1550),
                 "rallentamento,  3150,  60,  500,  0,  0,  0"});
       },
       1,
       'T',
       "segnale,    1550",
       1600,
       {{31, kTipoSegnale}, {30, kTipoSegnale}}},
      // The first guard group of the restriction starting in cell 21.
      {12,
       [](Lines*, Lines* t) {
         Add(t, {Signal(650), Signal(700), Signal(750),
                 "rallentamento,  1000,  120,  500,  0,  0,  0"});
       },
       1,
       'T',
       "rallentamento",
       1050,
       {{16, kTipoSegnale}, {15, kTipoSegnale}, {14, kTipoSegnale}}},
      // The inner code 8 cells into a slow restriction.
      {13,
       [](Lines*, Lines* t) {
         Add(t, {Signal(1350), Signal(1400), Signal(1450),
                 "rallentamento,  1000,  60,  1000,  0,  0,  0"});
       },
       1,
       'T',
       "rallentamento",
       1450,
       {{28, kTipoSegnale}, {29, kTipoSegnale}, {30, kTipoSegnale}}},
      {15, [](Lines*, Lines* t) { Add(t, {Signal(20000)}); }, 1, 'T', "20000", 20000, {}},
      {16,
       [](Lines*, Lines* t) { Add(t, {Signal(400)}); },
       1,
       'T',
       "segnale,    400",
       400,
       {{9, kTipoStazione}}},
      {17,
       [](Lines*, Lines* t) {
         Add(t, {Signal(1950), "rallentamento,  3150,  60,  500,  0,  0,  0"});
       },
       1,
       'T',
       "rallentamento",
       3150,
       {{40, kTipoSegnale}}},
      {18,
       [](Lines*, Lines* t) { Add(t, {"rallentamento,  1750,  60,  500,  0,  0,  0"}); },
       1,
       'T',
       "rallentamento",
       1750,
       {{36, kTipoSegnale}}},
      {19,
       [](Lines*, Lines* t) { Add(t, {"rallentamento,  1000,  60,  750,  0,  0,  0"}); },
       1,
       'T',
       "rallentamento",
       1000,
       {{36, kTipoSegnale}}},
      {20,
       [](Lines*, Lines* t) { Add(t, {"rallentamento,  3150,  60,  500,  0,  1,  0"}); },
       1,
       'T',
       "rallentamento",
       3150,
       {{36, kTipoSegnale}}},
      {21,
       [](Lines* l, Lines*) {
         Add(l, {"indicatori_vmax,  850,  125,  135,  140,  0,  125,  135,  140,  0"});
       },
       1,
       'L',
       "indicatori_vmax",
       850,
       {{18, kTipoCartello}}},
      {22,
       [](Lines*, Lines* t) {
         Add(t, {"stazione,  800,  2,  600,  0, 0, 0,  1,1,0,  2,4,1,  1,  1,55, 0, SECONDA"});
       },
       1,
       'T',
       "SECONDA",
       800,
       {}},
      {24,
       [](Lines*, Lines* t) {
         Set(t, "stazione",
             "stazione,  0,  12,  200,  0, 0, 0,  1,1,0,  2,4,1,  1,  1,55, 0, ZERO");
       },
       1,
       'T',
       "ZERO",
       std::nullopt,
       {}},
      // A signal cut short by the end of the file.
      {25,
       [](Lines*, Lines* t) { Set(t, "segnale", "segnale,    1750,   1"); },
       1,
       'T',
       "segnale",
       std::nullopt,
       {}},
      {102,
       [](Lines* l, Lines*) {
         *l = {"lunghezza percorso,    5000", "[fine]"};
       },
       2,
       'L',
       "lunghezza",
       std::nullopt,
       {}},
      {103,
       [](Lines* l, Lines*) { Set(l, "curvad4", "curvad7,  1100,  250"); },
       1,
       'L',
       "curvad7",
       std::nullopt,
       {}},
      // Cell 1 taken by a signal at 0 m: the reserved places are in use.
      {1250,
       [](Lines*, Lines* t) { Add(t, {Signal(0)}); },
       2,
       'T',
       "segnale,    0",
       std::nullopt,
       {{1, kTipoSegnale}}},
      {1251,
       [](Lines*, Lines* t) { Add(t, {Signal(0, "1, 0, 1,  0, 0,    0,  0,0,0, 0")}); },
       2,
       'T',
       "segnale,    0",
       std::nullopt,
       {{1, kTipoSegnale}}},
  };
  return kCases;
}

}  // namespace scenario

#endif  // SCENARIO_TESTS_TOOLS_CHECK_CHECK_FIXTURES_H_
