#include "model/file_names.h"

namespace scenario {
namespace {

// linea, "_", treno: the stem of every train-specific name.
std::string TrainStem(std::string_view linea, std::string_view treno) {
  std::string stem(linea);
  stem += '_';
  stem += treno;
  return stem;
}

}  // namespace

std::string LineSourceName(std::string_view linea) {
  return std::string(linea) + kLineSourceSuffix;
}

std::string TrainSourceName(std::string_view linea, std::string_view treno) {
  return TrainStem(linea, treno) + kTrainSourceSuffix;
}

std::string LineFileName(std::string_view linea) { return std::string(linea) + kLineFileSuffix; }

std::string RunFileName(std::string_view linea, std::string_view treno) {
  return TrainStem(linea, treno) + kRunFileSuffix;
}

std::string TrackFileName(std::string_view linea, std::string_view treno) {
  return TrainStem(linea, treno) + kTrackFileSuffix;
}

std::string DocumentName(std::string_view linea, std::string_view treno, std::string_view suffix) {
  return TrainStem(linea, treno) + "_" + std::string(suffix);
}

}  // namespace scenario
