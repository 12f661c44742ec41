#include "tools/page/page.h"

#include "driver/run_driver.h"
#include "model/file_names.h"
#include "platform/file_system.h"

namespace scenario {
namespace {

int Failure(std::ostream* err, const std::string& message) {
  *err << "scenario: errore: " << message << "\n";
  err->flush();
  return kExitFatal;
}

bool EndsWithNoCase(const std::string& s, const std::string& suffix) {
  if (s.size() < suffix.size()) return false;
  for (size_t i = 0; i < suffix.size(); ++i) {
    const char a = s[s.size() - suffix.size() + i];
    if ((a >= 'A' && a <= 'Z' ? a - 'A' + 'a' : a) != suffix[i]) return false;
  }
  return true;
}

}  // namespace

bool GatherPage(FileSystem* disk, const std::string& folder, const ScenarioName& name,
                PageInput* input, std::string* err) {
  input->cartella = folder;
  input->track_name = DisplayPath(folder, TrackFileName(name.linea, name.treno));
  input->run_name = DisplayPath(folder, RunFileName(name.linea, name.treno));
  input->line_name = DisplayPath(folder, LineFileName(name.linea));
  if (!LoadCompiled(disk, folder, name.linea, name.treno, &input->scenario, err)) return false;

  const std::string line_source = folder + PathSeparator() + LineSourceName(name.linea);
  const std::string train_source =
      folder + PathSeparator() + TrainSourceName(name.linea, name.treno);
  input->sources_present = disk->Exists(line_source) && disk->Exists(train_source);
  if (!input->sources_present) return true;
  Sources& s = input->sources;
  s.line_name = DisplayPath(folder, LineSourceName(name.linea));
  s.train_name = DisplayPath(folder, TrainSourceName(name.linea, name.treno));
  std::string why;
  if (!disk->ReadFile(line_source, &s.line_bytes, &why) ||
      !disk->ReadFile(train_source, &s.train_bytes, &why)) {
    // Sources that cannot be read: the page shows the compiled files alone.
    input->sources_present = false;
    input->check.errori.push_back(why);
    return true;
  }
  input->check.comando = "verifica";
  input->check.linea = name.linea;
  input->check.treno = name.treno;
  const int32_t j = input->scenario.planimetria.empty() ? 0 : 1;
  CheckAll(s, folder, name, j, kLimiteProblemi, disk, &input->check, &input->first);

  // The first pass compiles the sources as they are: when its files are
  // the ones shown, each thing's source line is known.
  std::string track_bytes, run_bytes;
  input->sources_match =
      disk->ReadFile(folder + PathSeparator() + TrackFileName(name.linea, name.treno), &track_bytes,
                     &why) &&
      disk->ReadFile(folder + PathSeparator() + RunFileName(name.linea, name.treno), &run_bytes,
                     &why) &&
      track_bytes == input->first.track_bytes && run_bytes == input->first.run_bytes;
  return true;
}

int RunRapporto(const std::string& folder_arg, const std::string& output, const std::string& linea,
                const std::string& treno, FileSystem* disk, std::ostream* out, std::ostream* err) {
  const std::string folder = CleanFolder(folder_arg);
  ScenarioName name;
  std::string why;
  if (!ChooseCompiledScenario(folder, linea, treno, &name, &why)) return Failure(err, why);
  const std::string target =
      output.empty() ? DisplayPath(folder, name.linea + "_" + name.treno + ".html") : output;
  if (!EndsWithNoCase(target, ".html") && !EndsWithNoCase(target, ".htm")) {
    return Failure(err, target + ": il rapporto è una pagina .html");
  }
  PageInput input;
  if (!GatherPage(disk, folder, name, &input, &why)) return Failure(err, why);
  const std::string page = ReportPage(input);
  if (!disk->WriteFile(target, page, &why)) return Failure(err, why);
  *out << "scenario: scritto " << target << "\n";
  out->flush();
  return kExitOk;
}

}  // namespace scenario
