// The lane along the route: station zones and names, signals, code cells,
// restrictions and text boards, and the kilometre axis under it all.
#include <algorithm>
#include <cmath>

#include "model/track_model.h"
#include "tools/drawing/drawing_internal.h"

namespace scenario {
namespace drawing_internal {

void DrawLane(Canvas* c, const Layout& l) {
  const ScenarioFacts& f = l.facts;
  PanelTitle(c, l.lane_top, "Stazioni, segnali e cartelli");
  const double base = l.lane_base;
  // Zooms with the profiles; room on both sides for the names and numbers
  // at the ends, and above for long station names, up to the speed panel.
  const double clip_top = l.speed_top + kSpeedHeight + 2;
  c->BeginGroup(ZoomPanel("x", "profili", kLeft - 24, clip_top, kPlotWidth + 48,
                          l.axis_top + kAxisRoom - 8 - clip_top));
  KmGrid(c, l, l.lane_top, l.axis_top);
  c->Line({kLeft, base}, {kLeft + kPlotWidth, base}, Stroke{kInk, 1.6});
  // Tunnels along the base line.
  for (const auto& t : f.tunnels) {
    c->Rect(l.X(t.from), base - 2.5, std::max(l.X(t.to) - l.X(t.from), 1.0), 5,
            WithAlpha(kTunnel, 0.8), std::nullopt);
  }
  // Stations: the zone on the line, the name above.
  for (const auto& st : f.stations) {
    const bool halt = st.tipo >= 25;
    const double x = l.X(st.posizione);
    c->BeginGroup(Thing(SlotKey(st.slot)));
    c->Rect(l.X(st.inizio), base - 9, std::max(l.X(st.fine) - l.X(st.inizio), 2.0), 7,
            halt ? WithAlpha(kStation, 0.25) : WithAlpha(kStation, 0.85), std::nullopt);
    c->EndGroup();
    c->BeginGroup(Mark({x, base}, SlotKey(st.slot)));
    c->Line({x, base - 9}, {x, base - 18}, Stroke{kStation, 1.2});
    c->Text({x + 4, base - 22}, st.nome,
            Style(halt ? 10 : 11.5, halt ? kGrey : kInk, Anchor::kStart, !halt, -90));
    c->EndGroup();
  }
  // Code cells as short ticks on the line.
  for (int32_t m : f.codes) c->Line({l.X(m), base + 3}, {l.X(m), base + 8}, Stroke{kGrey, 1});
  // Signals below the line: a post and a lamp, red for main, yellow for
  // distant signals.
  for (const auto& sg : f.signals) {
    const double x = l.X(sg.metro);
    c->BeginGroup(Mark({x, base}, CellKey(sg.cella)));
    c->Line({x, base + 4}, {x, base + 24}, Stroke{kInk, 1});
    c->Circle({x, base + 24}, 4.2, sg.sx == 2 ? kMainSignal : kDistantSignal, Stroke{kInk, 0.8});
    c->EndGroup();
  }
  // Each restriction as a band from its start to its end.
  for (size_t i = 0; i < f.boards.size(); ++i) {
    if (f.boards[i].tipo != kTipoInizioRall) continue;
    for (size_t j = i + 1; j < f.boards.size(); ++j) {
      if (f.boards[j].tipo != kTipoFineRall) continue;
      const double x0 = l.X(f.boards[i].metro), x1 = l.X(f.boards[j].metro);
      c->BeginGroup(Thing(CellKey(f.boards[i].cella)));
      c->Rect(x0, base + 36, std::max(x1 - x0, 1.0), 5, WithAlpha(kRestriction, 0.45),
              std::nullopt);
      c->EndGroup();
      break;
    }
  }
  // Restriction cells and text boards further down; the board texts in
  // rows, each in the first row where it has room.
  std::vector<double> row_ends;
  for (const auto& b : f.boards) {
    const double x = l.X(b.metro);
    if (b.tipo == kTipoCartello) {
      c->BeginGroup(Mark({x, base}, CellKey(b.cella)));
      c->Rect(x - 4, base + 40, 8, 8, Color{255, 255, 255}, Stroke{kInk, 1.2});
      if (b.label.empty()) {
        c->EndGroup();
        continue;
      }
      TextStyle style = Style(10, kInk);
      const double width = TextBox({0, 0}, b.label, style).x1;
      const bool leftward = x + width > kLeft + kPlotWidth;
      const double x0 = leftward ? x - width : x;
      size_t row = 0;
      while (row < row_ends.size() && row_ends[row] > x0 - 6) ++row;
      if (row == row_ends.size()) row_ends.push_back(0);
      row_ends[row] = x0 + width;
      const double y = base + 64 + 15 * row;
      c->Line({x, base + 48}, {x, y - 9}, Stroke{kGrey, 0.8});
      style.anchor = leftward ? Anchor::kEnd : Anchor::kStart;
      c->Text({leftward ? x + 3 : x - 3, y}, b.label, style);
      c->EndGroup();
    } else if (b.tipo >= kTipoFineRall && b.tipo <= kTipoZonaRall) {
      c->BeginGroup(Mark({x, base}, CellKey(b.cella)));
      c->Polygon({{x, base + 34}, {x - 5, base + 43}, {x + 5, base + 43}}, kRestriction,
                 Stroke{kInk, 0.8});
      if (!b.label.empty()) c->Text({x, base + 56}, b.label, Style(9.5, kInk, Anchor::kMiddle));
      c->EndGroup();
    }
  }
  // The kilometre axis.
  const double axis = l.axis_top;
  c->Line({kLeft, axis}, {kLeft + kPlotWidth, axis}, Stroke{kInk, 1});
  const double step = NiceStep(f.extent, 10);
  const double minor = step / 5;
  for (double m = 0; m <= f.extent + 1e-9; m += minor) {
    const bool major = std::fmod(m + 1e-6, step) < 1e-3;
    c->Line({l.X(m), axis}, {l.X(m), axis + (major ? 7 : 4)}, Stroke{kInk, 1});
    if (major) {
      c->Text({l.X(m), axis + 21}, Km(m, KmDecimals(step)), Style(11, kInk, Anchor::kMiddle));
    }
  }
  c->EndGroup();
  c->Text({kLeft + kPlotWidth, axis + 36}, "km", Style(11, kGrey, Anchor::kEnd));
}

}  // namespace drawing_internal
}  // namespace scenario
