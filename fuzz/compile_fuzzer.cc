// Fuzz target: the whole compile pass, in process, on an in-memory folder.
//
// Input: a line source and a train-run source in one, split at the first
// "#####" (kSeparator): the bytes before it are the line source, the bytes
// after it the train-run source. Without "#####" the whole input is the
// line source and the train-run source is missing.
//
// Each input is compiled three times: by the model itself with the line
// file (j = 1), then by `scenario verifica` (text report) and `scenario
// compila --json --senza-linea` (j = 0) on the same folder.
//
// Checked: the pass returns (it never ends the process); every event names
// a cell of the track; the line source is gone afterwards; a pass that ends
// done or with a problem has written the files its j asks for, and they
// decode to the model's own tables; the tool leaves the sources untouched,
// exits 0, 1 or 2 as the outcome says, prints valid JSON and writes files
// only when it exits 0 or 1.
#include <cstddef>
#include <cstdint>
#include <map>
#include <sstream>
#include <string>
#include <string_view>

#include <nlohmann/json.hpp>

#include "fuzz/fuzz_util.h"
#include "model/coding.h"
#include "model/track_model.h"
#include "tools/check/check.h"

namespace scenario {
namespace {

constexpr std::string_view kSeparator = "#####";
constexpr char kFolder[] = "/fuzz";
constexpr char kLinea[] = "Fuzz";
constexpr char kTreno[] = "1";

// Every event names a cell of the track as it is when the event is told.
class CheckingObserver : public CompileObserver {
 public:
  explicit CheckingObserver(const TrackModel* model) : model_(model) {}
  void OnPlaced(const PlacementEvent& e) override {
    FuzzCheck(model_->HasCell(e.index), "a placement names a cell of the track");
  }
  void OnOverwrite(const OverwriteEvent& e) override {
    FuzzCheck(model_->HasCell(e.index), "an overwrite names a cell of the track");
  }
  void OnProblem(const ProblemEvent& e) override {
    FuzzCheck(e.code != 0, "a problem has a number");
    for (const CellInTheWay& c : e.cells) {
      FuzzCheck(model_->HasCell(c.index), "a cell in the way is a cell of the track");
    }
  }

 private:
  const TrackModel* model_;
};

void PutSources(std::string_view input, MemoryFileSystem* fs, const TrackModel& model) {
  const size_t cut = input.find(kSeparator);
  fs->files[model.FullName(model.LineSourceName())] = std::string(input.substr(0, cut));
  if (cut != std::string_view::npos) {
    fs->files[model.FullName(model.TrainSourceName())] =
        std::string(input.substr(cut + kSeparator.size()));
  }
}

void CompileInModel(std::string_view input) {
  MemoryFileSystem fs;
  TrackModel model(&fs, kFolder);
  model.linea = kLinea;
  model.treno = kTreno;
  PutSources(input, &fs, model);
  CheckingObserver observer(&model);
  model.observer = &observer;
  const CompileOutcome outcome = model.memorizza_percorso(1);

  FuzzCheck(!fs.Exists(model.FullName(model.LineSourceName())), "the line source is deleted");
  const bool written = outcome.kind == CompileOutcome::Kind::kDone ||
                       outcome.kind == CompileOutcome::Kind::kProblem;
  FuzzCheck((outcome.kind == CompileOutcome::Kind::kProblem) == (written && model.cod_errore != 0),
            "a problem outcome is a recorded problem");
  if (!written) return;
  std::string err;
  std::vector<cella> celle;
  FuzzCheck(fs.Exists(model.FullName(model.TrackFileName())), "the track file is written");
  FuzzCheck(DecodeTrackFile(fs.files[model.FullName(model.TrackFileName())], &celle, &err) &&
                celle.size() == model.celle.size(),
            "the track file decodes to every cell");
  std::array<voce, 87> tabella;
  FuzzCheck(fs.Exists(model.FullName(model.RunFileName())), "the run file is written");
  FuzzCheck(DecodeRunFile(fs.files[model.FullName(model.RunFileName())], &tabella, &err),
            "the run file decodes");
  for (size_t k = 0; k < tabella.size(); ++k) {
    FuzzCheck(tabella[k].nome == model.tabella[k].nome, "every name reaches the run file whole");
  }
  LinePlan plan;
  FuzzCheck(fs.Exists(model.FullName(model.LineFileName())), "the line file is written");
  FuzzCheck(DecodeLineFile(fs.files[model.FullName(model.LineFileName())], &plan, &err) &&
                plan.size() == model.planimetria.size(),
            "the line file decodes to every metre");
}

void CompileWithTool(std::string_view input, bool json) {
  MemoryFileSystem fs;
  TrackModel names(&fs, kFolder);
  names.linea = kLinea;
  names.treno = kTreno;
  PutSources(input, &fs, names);
  const std::map<std::string, std::string> sources = fs.files;

  CheckOptions options;
  options.folder = kFolder;
  options.linea = kLinea;
  options.treno = kTreno;
  options.senza_linea = true;
  options.scrivi = json;  // compila --json; verifica prints text
  options.json = json;
  std::ostringstream out;
  const int status = RunCheck(options, &fs, &out);
  FuzzCheck(status == 0 || status == 1 || status == 2, "exit status 0, 1 or 2");
  for (const auto& [path, bytes] : sources) {
    FuzzCheck(fs.Exists(path) && fs.files[path] == bytes, "the tool leaves the sources as they were");
  }
  const bool wrote = fs.files.size() > sources.size();
  FuzzCheck(wrote == (json && status != 2), "files are written exactly when compila exits 0 or 1");
  FuzzCheck(!fs.Exists(names.FullName(names.LineFileName())), "no line file without the plan");
  if (json) {
    const nlohmann::json report = nlohmann::json::parse(out.str(), nullptr, false);
    FuzzCheck(!report.is_discarded(), "the JSON report is valid JSON");
    FuzzCheck(report.value("esito", -1) == status, "the JSON report has the exit status");
  }
}

}  // namespace
}  // namespace scenario

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view input(reinterpret_cast<const char*>(data), size);
  scenario::CompileInModel(input);
  scenario::CompileWithTool(input, false);
  scenario::CompileWithTool(input, true);
  return 0;
}
