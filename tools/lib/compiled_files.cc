#include "tools/lib/compiled_files.h"

#include "model/coding.h"
#include "platform/file_system.h"

namespace scenario {
namespace {

bool EndsWith(std::string_view s, std::string_view suffix) {
  return s.size() >= suffix.size() && s.substr(s.size() - suffix.size()) == suffix;
}

bool Truncated(const char* what, size_t index, size_t offset, std::string* err) {
  *err = "record incompleto o non valido all'offset " + std::to_string(offset) + " (" + what + " " +
         std::to_string(index) + ")";
  return false;
}

}  // namespace

const char* TipoName(uint8_t tipo) {
  switch (tipo) {
    case kTipoLibero:
      return "libera";
    case kTipoSegnale:
      return "segnale";
    case kTipoFineRall:
      return "fine rallentamento";
    case kTipoInizioRall:
      return "inizio rallentamento";
    case kTipoAvvisoRall:
      return "avviso di rallentamento";
    case kTipoZonaRall:
      return "zona di preavviso del rallentamento";
    case kTipoIndicatore:
      return "indicatore di velocità massima";
    case kTipoStazione:
      return "cella di stazione";
    case kTipoMarcaGalleria:
      return "marca di galleria";
    case kTipoCodice:
      return "cella di codice";
    case kTipoAbbattimento:
      return "abbattimento";
    case kTipoCartello:
      return "cartello";
    default:
      return "";
  }
}

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
  if (EndsWith(path, "_linea.dat")) {
    *format = CompiledFormat::kLine;
  } else if (EndsWith(path, ".sim")) {
    *format = CompiledFormat::kRun;
  } else if (EndsWith(path, ".dat")) {
    *format = CompiledFormat::kTrack;
  } else {
    return false;
  }
  return true;
}

bool DecodeTrackFile(std::string_view bytes, std::vector<cella>* celle, std::string* err) {
  if (bytes.size() % kCellaSize != 0) {
    *err = "lunghezza di " + std::to_string(bytes.size()) + " byte, non multipla di " +
           std::to_string(kCellaSize) + ": cella " + std::to_string(bytes.size() / kCellaSize) +
           " incompleta all'offset " + std::to_string(bytes.size() / kCellaSize * kCellaSize);
    return false;
  }
  celle->assign(bytes.size() / kCellaSize, cella{});
  std::string_view in = bytes;
  for (cella& c : *celle) DecodeCella(&in, &c);  // sizes checked above
  return true;
}

bool DecodeRunFile(std::string_view bytes, std::array<voce, 87>* tabella, std::string* err) {
  std::string_view in = bytes;
  for (size_t k = 0; k < tabella->size(); ++k) {
    const size_t offset = bytes.size() - in.size();
    if (!DecodeVoce(&in, &(*tabella)[k])) return Truncated("voce", k, offset, err);
  }
  if (!in.empty()) {
    *err = std::to_string(in.size()) + " byte in più dopo la voce 86, all'offset " +
           std::to_string(bytes.size() - in.size());
    return false;
  }
  return true;
}

bool DecodeLineFile(std::string_view bytes, std::vector<std::array<PlanNumber, 2>>* planimetria,
                    std::string* err) {
  std::vector<PlanNumber> numbers;
  std::string_view in = bytes;
  while (!in.empty()) {
    const size_t offset = bytes.size() - in.size();
    PlanNumber p;
    if (!DecodePlanNumber(&in, &p)) return Truncated("elemento", numbers.size(), offset, err);
    numbers.push_back(p);
  }
  if (numbers.size() % 2 != 0) {
    *err = "numero dispari di elementi (" + std::to_string(numbers.size()) +
           "): le x e le y non si corrispondono";
    return false;
  }
  const size_t half = numbers.size() / 2;
  planimetria->assign(half, {PlanNumber{}, PlanNumber{}});
  for (size_t m = 0; m < half; ++m) {
    (*planimetria)[m][0] = numbers[m];
    (*planimetria)[m][1] = numbers[half + m];
  }
  return true;
}

bool LoadCompiled(FileSystem* fs, const std::string& folder, const std::string& linea,
                  const std::string& treno, CompiledScenario* out, std::string* err) {
  out->linea = linea;
  out->treno = treno;
  const std::string stem = folder + PathSeparator() + linea;
  const std::string track = stem + "_" + treno + ".dat";
  const std::string run = stem + "_" + treno + ".sim";
  const std::string line = stem + "_linea.dat";
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
