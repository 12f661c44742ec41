// What the drawing shows, taken from the compiled records.
#include <algorithm>
#include <set>

#include "model/cells.h"
#include "model/text_encoding.h"
#include "tools/drawing/drawing.h"

namespace scenario {

std::string SlotKey(int32_t slot) { return "voce-" + std::to_string(slot); }
std::string CellKey(int32_t cella) { return "cella-" + std::to_string(cella); }

std::string BoardLabel(const std::string& utf8) {
  std::vector<std::string> parts;
  std::string current;
  auto flush = [&] {
    const size_t a = current.find_first_not_of(' ');
    if (a != std::string::npos) {
      parts.push_back(current.substr(a, current.find_last_not_of(' ') - a + 1));
    }
    current.clear();
  };
  for (char ch : utf8) {
    if (ch == '(' || ch == ')') {
      flush();
    } else {
      current += ch;
    }
  }
  flush();
  std::string out;
  for (const std::string& p : parts) out += (out.empty() ? "" : " \u00b7 ") + p;
  return out;
}

ScenarioFacts ExtractFacts(const CompiledScenario& s) {
  ScenarioFacts f;
  const auto& celle = s.celle;
  const int64_t track_end = CellPosition(static_cast<int64_t>(celle.size()));
  f.route_length = s.tabella[84].fine;
  if (f.route_length <= 0 || f.route_length > track_end) {
    const int64_t ultima_cella = static_cast<int64_t>(celle.size()) - 1;
    f.route_length =
        static_cast<int32_t>(std::max<int64_t>(RouteLength(ultima_cella), track_end / 2));
  }
  f.elevation.assign(celle.size(), 0);
  f.speed.assign(celle.size(), 0);
  for (size_t k = 0; k < celle.size(); ++k) {
    // The last cells of the track carry no gradient (0): they count as level.
    const int gradient = celle[k].pendenza == 0 ? 0 : GradientOf(celle[k].pendenza);
    if (k + 1 < celle.size()) {
      f.elevation[k + 1] = f.elevation[k] + gradient * static_cast<double>(kCellLength) / 1000.0;
    }
    f.speed[k] = SpeedOf(celle[k].velocita);
  }
  // Board slots are the ones a text board points at.
  std::set<int> board_slots;
  for (const cella& c : celle) {
    if (c.tipo == kTipoCartello) board_slots.insert(c.valore);
  }
  for (int k = 1; k <= 80; ++k) {
    const voce& v = s.tabella[k];
    if (board_slots.count(k) != 0) continue;
    if (v.tipo == 0 && v.posizione == 0 && v.inizio == 0 && v.fine == 0 && v.nome.empty()) continue;
    f.stations.push_back({k, Cp1252ToUtf8(v.nome), v.tipo, v.posizione, v.inizio, v.fine});
  }
  for (size_t k = 0; k < celle.size(); ++k) {
    const cella& c = celle[k];
    const int32_t placed_at = static_cast<int32_t>(PlacementPosition(static_cast<int64_t>(k)));
    const int32_t index = static_cast<int32_t>(k);
    switch (c.tipo) {
      case kTipoSegnale:
        f.signals.push_back({placed_at, SignalSx(c.valore4), index});
        break;
      case kTipoIndicatore:
        f.boards.push_back(
            {placed_at, c.tipo, std::to_string(UnpackIndicatorSpeeds(c.valore).s_side), index});
        break;
      case kTipoCartello: {
        std::string text;
        if (c.valore >= 1 && c.valore <= 86) {
          text = BoardLabel(Cp1252ToUtf8(s.tabella[c.valore].nome));
        }
        f.boards.push_back({placed_at, c.tipo, text, index});
        break;
      }
      case kTipoInizioRall:
      case kTipoAvvisoRall:
        f.boards.push_back({placed_at, c.tipo, std::to_string(c.valore), index});
        break;
      case kTipoFineRall:
      case kTipoZonaRall:
        f.boards.push_back({placed_at, c.tipo, "", index});
        break;
      case kTipoCodice:
      case kTipoAbbattimento:
        f.codes.push_back(static_cast<int32_t>(CellPosition(static_cast<int64_t>(k))));
        break;
      default:
        break;
    }
    if (c.montagna != 0) {
      const int32_t from = static_cast<int32_t>(CellPosition(static_cast<int64_t>(k)));
      if (!f.tunnels.empty() && f.tunnels.back().to == from) {
        f.tunnels.back().to = from + kCellLength;
      } else {
        f.tunnels.push_back({from, from + kCellLength});
      }
    }
  }
  // The picture spans the route and whatever stands past its end, up to
  // the end of the track.
  int64_t extent = f.route_length;
  for (const auto& st : f.stations) {
    extent = std::max<int64_t>(extent, std::max(st.fine, st.posizione));
  }
  for (const auto& sg : f.signals) extent = std::max<int64_t>(extent, sg.metro + 100);
  for (const auto& b : f.boards) extent = std::max<int64_t>(extent, b.metro + 100);
  f.extent = static_cast<int32_t>(std::clamp<int64_t>(extent, 1, std::max<int64_t>(track_end, 1)));
  return f;
}

}  // namespace scenario
