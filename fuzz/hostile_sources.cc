#include "fuzz/hostile_sources.h"

#include <cstdint>

namespace scenario {
namespace {

constexpr int32_t kRouteLength = 1000000;  // the longest route the model takes
constexpr size_t kLongLine = 1 << 20;      // "a line of 1 MB"
constexpr int32_t kMillion = 1000000;

void Line(std::string* text, const std::string& line) {
  *text += line;
  *text += "\r\n";
}

std::string LineHead() {
  std::string text;
  Line(&text, "[generale]");
  Line(&text, "lunghezza percorso,    " + std::to_string(kRouteLength));
  return text;
}

std::string TrainHead() {
  std::string text;
  Line(&text, "[generale]");
  Line(&text, "aderenza,   0,    100");
  return text;
}

// Gradient records in every cell on one line, and signals in every cell
// from 400 m on, on another; each line filled up to 1 MB with records that
// place nothing.
void LongLine(HostileSources* out) {
  out->line = LineHead();
  Line(&out->line, "[pendenze]");
  std::string records;
  for (int32_t p = 0; p <= kRouteLength; p += 50) {
    records += "pendenza, " + std::to_string(p) + ", " + std::to_string(p / 1000 % 20 - 10) + ", ";
  }
  while (records.size() < kLongLine) records += "sfondo uno, 1, ";
  Line(&out->line, records);
  Line(&out->line, "[fine]");

  out->train = TrainHead();
  Line(&out->train, "velocita,   0,    100");
  records.clear();
  for (int32_t p = 400; p <= kRouteLength; p += 50) {
    records += "segnale, " + std::to_string(p) + ", 1, 4, 0, 0, 0, 0, 0, 0, 0, 0, ";
  }
  while (records.size() < kLongLine) records += "sabbia, 1, ";
  Line(&out->train, records);
  Line(&out->train, "[fine]");
}

// A million scenery records in the [generale] section of the line source,
// then a gradient record in every cell; a million speed records, one per
// metre, in the train-run source. A gradient or speed record writes at
// least one cell, so records closer than a cell apart would soon run past
// the last cell: the gradient fill would take that as a fault, the speed
// profile stops at the last cell and reads on.
void MillionRecords(HostileSources* out) {
  out->line = LineHead();
  for (int32_t k = 0; k < kMillion; ++k) {
    Line(&out->line, std::string(k % 2 == 0 ? "sfondo uno, " : "sfondo due, ") +
                         std::to_string(k % 7));
  }
  Line(&out->line, "[pendenze]");
  for (int32_t p = 0; p <= kRouteLength; p += 50) {
    Line(&out->line, "pendenza, " + std::to_string(p) + ", " + std::to_string(p / 1000 % 20 - 10));
  }
  Line(&out->line, "[fine]");

  out->train = TrainHead();
  for (int32_t p = 0; p < kMillion; ++p) {
    Line(&out->train, "velocita, " + std::to_string(p) + ", " + std::to_string(50 + 5 * (p % 20)));
  }
  Line(&out->train, "[fine]");
}

// A curve of one metre on every metre the plan computes from curve records:
// metre m + 1 for the record at m. The hand changes every 1000 m.
void CurveEveryMetre(HostileSources* out) {
  out->line = LineHead();
  Line(&out->line, "[curve]");
  // The last curve ends at metre 999999: a curve that runs past 1000000
  // ends the reading.
  for (int32_t m = 1; m <= kMillion - 2; ++m) {
    Line(&out->line, std::string(m / 1000 % 2 == 0 ? "curvad1, " : "curvas1, ") +
                         std::to_string(m) + ", 1");
  }
  Line(&out->line, "[fine]");

  out->train = TrainHead();
  Line(&out->train, "velocita,   0,    100");
  Line(&out->train, "[fine]");
}

// The most tunnel ranges the lists hold (80), each over the whole route:
// every range covers all 20000 cells of the one before it again, and the
// compile pass tells each of those 1580000 overwrites.
void TunnelsEverywhere(HostileSources* out) {
  out->line = LineHead();
  Line(&out->line, "[montagne]");
  for (int k = 0; k < 80; ++k) {
    Line(&out->line, "montagna, 0, " + std::to_string(kRouteLength) + ", 12");
  }
  Line(&out->line, "[fine]");

  out->train = TrainHead();
  Line(&out->train, "velocita,   0,    100");
  Line(&out->train, "[fine]");
}

}  // namespace

std::vector<std::string> HostileCaseNames() {
  return {"riga_lunga", "milione_record", "curva_ogni_metro", "montagne_sovrapposte"};
}

bool MakeHostileSources(const std::string& name, HostileSources* out) {
  if (name == "riga_lunga") {
    LongLine(out);
  } else if (name == "milione_record") {
    MillionRecords(out);
  } else if (name == "curva_ogni_metro") {
    CurveEveryMetre(out);
  } else if (name == "montagne_sovrapposte") {
    TunnelsEverywhere(out);
  } else {
    return false;
  }
  return true;
}

}  // namespace scenario
