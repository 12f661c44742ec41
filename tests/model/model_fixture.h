// Shared helpers of the model and train-run tests: a model on an in-memory
// folder, tiny source texts, hand-made tracks, the compiled files decoded
// back, and compact dumps of cells for exact comparisons.
#ifndef SCENARIO_TESTS_MODEL_MODEL_FIXTURE_H_
#define SCENARIO_TESTS_MODEL_MODEL_FIXTURE_H_

#include <gtest/gtest.h>

#include <array>
#include <cstdint>
#include <initializer_list>
#include <string>
#include <string_view>
#include <vector>

#include "model/coding.h"
#include "model/track_model.h"
#include "test_util.h"

namespace scenario {

// Runs the stages of the compile pass that follow the reading on a model the
// test filled by hand.
class TrackModelTestPeer {
 public:
  static void PostPass(TrackModel* m) { m->PostPass(); }
  static void StampChecks(TrackModel* m) { m->StampChecks(); }
  static void WriteCompiledFiles(TrackModel* m) { m->WriteCompiledFiles(); }
};

namespace model_test {

using Lines = std::vector<std::string>;

// 3000 m of line: ultimo_metro 10000, cells 0 to 200.
inline constexpr char kLength3000[] = "lunghezza percorso,    3000";
inline constexpr int32_t kUltimoMetro3000 = 10000;
inline constexpr int32_t kUltimaCella3000 = 200;

// One source record: the keyword, then the values, each after a comma and
// blanks as the writers put them.
inline std::string Rec(std::string_view keyword, std::initializer_list<int64_t> values) {
  std::string out(keyword);
  for (int64_t v : values) out += ",  " + std::to_string(v);
  return out;
}

// A station record: position, type, length, fields 4 to 13 all 0 except
// field 6, a time of 8:30:15 and a name.
inline std::string Stazione(int32_t posizione, int32_t tipo, int32_t lunghezza, int32_t campo6 = 0,
                            const std::string& nome = "Borgo Alto") {
  return Rec("stazione",
             {posizione, tipo, lunghezza, 0, 0, campo6, 0, 0, 0, 0, 0, 0, 0, 8, 30, 15}) +
         ",  " + nome;
}

// Sources as the readers expect them: [generale] first, [fine] last. The
// line source's [generale] section holds `generale` (the length first).
inline std::string LineSource(const Lines& records = {}, const Lines& generale = {kLength3000}) {
  Lines lines = {"[generale]"};
  lines.insert(lines.end(), generale.begin(), generale.end());
  lines.push_back("[indicazioni]");
  lines.insert(lines.end(), records.begin(), records.end());
  lines.push_back("[fine]");
  return JoinCrLf(lines);
}

inline std::string TrainSource(const Lines& records) {
  Lines lines = {"[generale]"};
  lines.insert(lines.end(), records.begin(), records.end());
  lines.push_back("[fine]");
  return JoinCrLf(lines);
}

// A track of cells 0 to ultima_cella, all empty, as the line reader makes it.
inline void MakeTrack(TrackModel* m, int32_t ultima_cella) {
  m->ultima_cella = ultima_cella;
  m->celle.assign(static_cast<size_t>(ultima_cella) + 1, cella{});
}

// What a compile pass showed and did to compiled files of an earlier run:
// the box of errore ("message: [text]"), the stop ("report: text"), then
// every write or removal of a compiled file ("write PATH"), then "end".
struct Watched {
  CompileOutcome outcome;
  std::string shown;
};

// Puts files of an earlier run under the three compiled files' names of `m`.
inline std::vector<std::string> PutEarlierCompiledFiles(const TrackModel& m, FakeFileSystem* fs) {
  std::vector<std::string> paths = {m.FullName(m.LineFileName()), m.FullName(m.RunFileName()),
                                    m.FullName(m.TrackFileName())};
  for (const std::string& path : paths) fs->files[path] = "earlier run";
  return paths;
}

inline Watched Watch(const CompileOutcome& outcome, const FakeFileSystem& fs,
                     const std::vector<std::string>& watched) {
  std::string out;
  if (outcome.kind == CompileOutcome::Kind::kBox) out += "message: [" + outcome.message + "]\n";
  if (outcome.kind == CompileOutcome::Kind::kStop) out += "report: " + outcome.message + "\n";
  for (const std::string& entry : fs.log) {
    for (const std::string& path : watched) {
      if (entry == "write " + path || entry == "remove " + path) out += entry + "\n";
    }
  }
  return Watched{outcome, out + "end\n"};
}

// The whole compile pass on sources holding `train_records`, with compiled
// files of an earlier run in the folder. When `failing_own_name` is not
// empty, writing that file fails.
inline Watched CompileWatched(const Lines& train_records,
                              const std::string& failing_own_name = "") {
  FakeFileSystem fs;
  TrackModel m(&fs, kTestFolder);
  m.linea = "Vescolara";
  m.treno = "631";
  const std::vector<std::string> watched = PutEarlierCompiledFiles(m, &fs);
  fs.files[m.FullName(m.LineSourceName())] = LineSource();
  fs.files[m.FullName(m.TrainSourceName())] = TrainSource(train_records);
  if (!failing_own_name.empty()) fs.fail_write_on = m.FullName(failing_own_name);
  const CompileOutcome outcome = m.memorizza_percorso(1);
  return Watch(outcome, fs, watched);
}

// A model named Vescolara / 631 on a fake folder. Not copyable: the model
// keeps a pointer to the folder.
struct TestModel {
  TestModel() {
    m.linea = "Vescolara";
    m.treno = "631";
  }
  TestModel(const TestModel&) = delete;
  TestModel& operator=(const TestModel&) = delete;

  std::string LinePath() const { return m.FullName(m.LineSourceName()); }
  std::string TrainPath() const { return m.FullName(m.TrainSourceName()); }
  std::string LineFilePath() const { return m.FullName(m.LineFileName()); }
  std::string RunFilePath() const { return m.FullName(m.RunFileName()); }
  std::string TrackFilePath() const { return m.FullName(m.TrackFileName()); }

  void WriteSources(const Lines& train_records, const std::string& line_text = LineSource()) {
    fs.files[LinePath()] = line_text;
    fs.files[TrainPath()] = TrainSource(train_records);
  }
  // Both sources, then the reader only (memorizza_dati).
  void Read(const Lines& train_records, const std::string& line_text = LineSource()) {
    WriteSources(train_records, line_text);
    m.memorizza_dati();
  }
  // Both sources, then the whole compile pass.
  CompileOutcome Compile(const Lines& train_records, const std::string& line_text = LineSource(),
                         int32_t j = 1) {
    WriteSources(train_records, line_text);
    return m.memorizza_percorso(j);
  }
  bool SourcesGone() const { return !fs.files.count(LinePath()) && !fs.files.count(TrainPath()); }

  void HandMadeTrack(int32_t ultima_cella) { MakeTrack(&m, ultima_cella); }

  // The compiled files decoded back; a missing or malformed file fails the
  // test.
  std::vector<cella> TrackFile() const {
    std::vector<cella> out;
    auto it = fs.files.find(TrackFilePath());
    std::string err;
    if (it == fs.files.end()) {
      ADD_FAILURE() << "no track file";
    } else if (!DecodeTrackFile(it->second, &out, &err)) {
      ADD_FAILURE() << "track file: " << err;
    }
    return out;
  }
  std::vector<voce> RunFile() const {
    std::array<voce, kSlots> slots;
    auto it = fs.files.find(RunFilePath());
    std::string err;
    if (it == fs.files.end()) {
      ADD_FAILURE() << "no run file";
      return {};
    }
    if (!DecodeRunFile(it->second, &slots, &err)) {
      ADD_FAILURE() << "run file: " << err;
      return {};
    }
    return std::vector<voce>(slots.begin(), slots.end());
  }

  FakeFileSystem fs;
  TrackModel m{&fs, kTestFolder};
};

// The members of a cell that are not 0, in declared order:
// "tipo=1 valore=40 valore4=3"; "" for an empty cell. The per-cell profiles
// (velocita, pendenza, aderenza) are left out: Runs shows them.
inline std::string Dump(const cella& c) {
  std::string out;
  auto add = [&](const char* name, int value) {
    if (value == 0) return;
    if (!out.empty()) out += ' ';
    out += std::string(name) + "=" + std::to_string(value);
  };
  add("tipo", c.tipo);
  add("valore", c.valore);
  add("valore2", c.valore2);
  add("valore3", c.valore3);
  add("valore4", c.valore4);
  add("tempo", c.tempo);
  add("preavviso", c.preavviso);
  add("montagna", c.montagna);
  return out;
}

// Every cell whose Dump is not empty: "8:{preavviso=81} 9:{tipo=10 valore=1}".
inline std::string DumpCells(const std::vector<cella>& celle) {
  std::string out;
  for (size_t i = 0; i < celle.size(); ++i) {
    const std::string d = Dump(celle[i]);
    if (d.empty()) continue;
    if (!out.empty()) out += ' ';
    out += std::to_string(i) + ":{" + d + "}";
  }
  return out;
}

// The code cells (tipo 12) with their values: "3:180 9:120".
inline std::string CodeCells(const std::vector<cella>& celle) {
  std::string out;
  for (size_t i = 0; i < celle.size(); ++i) {
    if (celle[i].tipo != kTipoCodice) continue;
    if (!out.empty()) out += ' ';
    out += std::to_string(i) + ":" + std::to_string(celle[i].valore);
  }
  return out;
}

// Runs of equal values of one byte member over the whole track:
// "0-14:20 15-197:12 198-200:0".
inline std::string Runs(const std::vector<cella>& celle, uint8_t cella::*member) {
  std::string out;
  size_t start = 0;
  for (size_t i = 1; i <= celle.size(); ++i) {
    if (i < celle.size() && celle[i].*member == celle[start].*member) continue;
    if (!out.empty()) out += ' ';
    out += std::to_string(start) + "-" + std::to_string(i - 1) + ":" +
           std::to_string(celle[start].*member);
    start = i;
  }
  return out;
}

}  // namespace model_test
}  // namespace scenario

#endif  // SCENARIO_TESTS_MODEL_MODEL_FIXTURE_H_
