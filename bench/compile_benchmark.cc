// compile_benchmark: the compile pass in process, on an in-memory file
// system, for the built-in scenario and the limit scenario.
//
//   CompilePass/<scenario>   memorizza_percorso(1): read, place, post-pass,
//                            check codes, encode and "write" into memory
//   ReadSources/<scenario>   memorizza_dati alone: both readers and placement
//   Encode<File>/<scenario>  one encoder on the compiled model
//
// The post-pass and the check codes are not callable on their own from
// outside the model; their cost is what CompilePass leaves over ReadSources
// and the three encoders.
#include <benchmark/benchmark.h>

#include <map>
#include <string>
#include <string_view>

#include "bench/limit_scenario.h"
#include "model/coding.h"
#include "model/track_model.h"
#include "platform/file_system.h"

namespace scenario {
namespace {

constexpr char kFolder[] = "/memoria";

// Files in a map; nothing touches the disk.
class MemoryFileSystem : public FileSystem {
 public:
  bool Exists(const std::string& path) override { return files.count(path) != 0; }
  bool ReadFile(const std::string& path, std::string* bytes, std::string* err) override {
    auto it = files.find(path);
    if (it == files.end()) {
      *err = path + ": not found";
      return false;
    }
    *bytes = it->second;
    return true;
  }
  bool WriteFile(const std::string& path, std::string_view bytes, std::string*) override {
    files[path] = std::string(bytes);
    return true;
  }
  bool RemoveFile(const std::string& path, std::string* err) override {
    if (files.erase(path) == 0) {
      *err = path + ": not found";
      return false;
    }
    return true;
  }

  std::map<std::string, std::string> files;
};

// The two sources of a scenario, as the compile pass finds them.
struct Sources {
  std::string linea;
  std::string treno;
  std::map<std::string, std::string> files;  // full path -> bytes
};

Sources BuiltinSources() {
  MemoryFileSystem fs;
  TrackModel model(&fs, kFolder);
  model.linea = "Vescolara";
  model.treno = "631";
  model.dati_linea();
  model.dati_treno();
  return Sources{model.linea, model.treno, fs.files};
}

Sources LimitSources() {
  MemoryFileSystem fs;
  TrackModel model(&fs, kFolder);
  model.linea = kLimitLinea;
  model.treno = kLimitTreno;
  Sources s{model.linea, model.treno, {}};
  s.files[model.FullName(model.LineSourceName())] = LimitLineSource();
  s.files[model.FullName(model.TrainSourceName())] = LimitTrainSource();
  return s;
}

void CompilePass(benchmark::State& state, const Sources& sources) {
  size_t written = 0;
  for (auto _ : state) {
    state.PauseTiming();
    MemoryFileSystem fs;
    fs.files = sources.files;
    TrackModel model(&fs, kFolder);
    model.linea = sources.linea;
    model.treno = sources.treno;
    state.ResumeTiming();
    const CompileOutcome outcome = model.memorizza_percorso(1);
    state.PauseTiming();
    if (outcome.kind != CompileOutcome::Kind::kDone) {
      state.SkipWithError("the scenario recorded a problem or stopped");
    }
    written = 0;
    for (const auto& [path, bytes] : fs.files) written += bytes.size();
    state.ResumeTiming();
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * written));
}

void ReadSources(benchmark::State& state, const Sources& sources) {
  for (auto _ : state) {
    state.PauseTiming();
    MemoryFileSystem fs;
    fs.files = sources.files;
    TrackModel model(&fs, kFolder);
    model.linea = sources.linea;
    model.treno = sources.treno;
    model.crea_linea = 1;
    state.ResumeTiming();
    model.memorizza_dati();
    benchmark::DoNotOptimize(model.celle.data());
  }
}

// A model after a whole compile pass, for the encoders.
struct Compiled {
  MemoryFileSystem fs;
  TrackModel model{&fs, kFolder};
};

void Compile(const Sources& sources, Compiled* out) {
  out->fs.files = sources.files;
  out->model.linea = sources.linea;
  out->model.treno = sources.treno;
  out->model.memorizza_percorso(1);
}

template <typename Encode>
void EncodeFile(benchmark::State& state, const Sources& sources, Encode encode) {
  Compiled compiled;
  Compile(sources, &compiled);
  size_t bytes = 0;
  for (auto _ : state) {
    std::string file = encode(compiled.model);
    bytes = file.size();
    benchmark::DoNotOptimize(file.data());
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * bytes));
}

void RegisterAll() {
  static const Sources kBuiltin = BuiltinSources();
  static const Sources kLimit = LimitSources();
  const std::pair<const char*, const Sources*> kScenarios[] = {{"builtin", &kBuiltin},
                                                               {"limit", &kLimit}};
  for (const auto& [name, sources] : kScenarios) {
    const std::string suffix = std::string("/") + name;
    benchmark::RegisterBenchmark(("CompilePass" + suffix).c_str(), CompilePass, *sources)
        ->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark(("ReadSources" + suffix).c_str(), ReadSources, *sources)
        ->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark(("EncodeLineFile" + suffix).c_str(), [sources](
                                                                          benchmark::State& s) {
      EncodeFile(s, *sources, [](const TrackModel& m) { return EncodeLineFile(m.planimetria); });
    })->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark(("EncodeRunFile" + suffix).c_str(), [sources](
                                                                         benchmark::State& s) {
      EncodeFile(s, *sources, [](const TrackModel& m) { return EncodeRunFile(m.tabella); });
    })->Unit(benchmark::kMicrosecond);
    benchmark::RegisterBenchmark(("EncodeTrackFile" + suffix).c_str(), [sources](
                                                                           benchmark::State& s) {
      EncodeFile(s, *sources, [](const TrackModel& m) { return EncodeTrackFile(m.celle); });
    })->Unit(benchmark::kMicrosecond);
  }
}

}  // namespace
}  // namespace scenario

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 2;
  scenario::RegisterAll();
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
