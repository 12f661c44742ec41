#include "tools/common/compiled_files.h"

#include "model/file_names.h"
#include "platform/file_system.h"

namespace scenario {
namespace {

bool EndsWith(std::string_view s, std::string_view suffix) {
  return s.size() >= suffix.size() && s.substr(s.size() - suffix.size()) == suffix;
}

}  // namespace

std::string DescribeTipo(uint8_t tipo) {
  const std::string name = TipoName(tipo);
  const std::string number = "tipo " + std::to_string(tipo);
  return name.empty() ? number + " (sconosciuto)" : name + " (" + number + ")";
}

const char* FormatName(CompiledFormat format) {
  switch (format) {
    case CompiledFormat::kTrack:
      return "binario";
    case CompiledFormat::kRun:
      return "corsa";
    case CompiledFormat::kLine:
      return "linea";
  }
  return "";
}

bool FormatFromWord(std::string_view word, CompiledFormat* format) {
  for (CompiledFormat f : {CompiledFormat::kTrack, CompiledFormat::kRun, CompiledFormat::kLine}) {
    if (word == FormatName(f)) {
      *format = f;
      return true;
    }
  }
  return false;
}

bool FormatFromName(const std::string& path, CompiledFormat* format) {
  if (EndsWith(path, kLineFileSuffix)) {
    *format = CompiledFormat::kLine;
  } else if (EndsWith(path, kRunFileSuffix)) {
    *format = CompiledFormat::kRun;
  } else if (EndsWith(path, kTrackFileSuffix)) {
    *format = CompiledFormat::kTrack;
  } else {
    return false;
  }
  return true;
}

bool LoadCompiled(FileSystem* fs, const std::string& folder, const std::string& linea,
                  const std::string& treno, CompiledScenario* out, std::string* err) {
  out->linea = linea;
  out->treno = treno;
  const std::string track = folder + PathSeparator() + TrackFileName(linea, treno);
  const std::string run = folder + PathSeparator() + RunFileName(linea, treno);
  const std::string line = folder + PathSeparator() + LineFileName(linea);
  std::string bytes, why;
  if (!fs->ReadFile(track, &bytes, err)) return false;
  if (!DecodeTrackFile(bytes, &out->celle, &why)) {
    *err = track + ": " + why;
    return false;
  }
  if (!fs->ReadFile(run, &bytes, err)) return false;
  if (!DecodeRunFile(bytes, &out->tabella, &why)) {
    *err = run + ": " + why;
    return false;
  }
  out->planimetria.clear();
  if (fs->Exists(line)) {
    if (!fs->ReadFile(line, &bytes, err)) return false;
    if (!DecodeLineFile(bytes, &out->planimetria, &why)) {
      *err = line + ": " + why;
      return false;
    }
  }
  return true;
}

}  // namespace scenario
