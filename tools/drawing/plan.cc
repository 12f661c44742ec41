// The plan panel: the line from the line file, turned so that it runs from
// left to right, with its tunnels, stations, kilometre marks and a scale bar;
// labels beside the line wherever they find room.
#include <algorithm>
#include <cmath>
#include <optional>

#include "tools/drawing/drawing_internal.h"

namespace scenario {
namespace drawing_internal {

void DrawPlan(Canvas* c, const CompiledScenario& s, const Layout& l) {
  PanelTitle(c, l.plan_top, "Planimetria");
  const PlanView& v = l.plan;
  if (!v.present) {
    c->Text({kLeft, l.plan_top + 40}, "nessun file della linea: planimetria non disponibile",
            Style(13, kGrey));
    return;
  }
  auto at = [&](int64_t m) { return PlanPointOf(s, v, m); };
  auto path = [&](int64_t from, int64_t to) {
    std::vector<Point> pts;
    for (int64_t m = from; m < to; m += 25) pts.push_back(at(m));
    pts.push_back(at(to));
    return pts;
  };
  // The plan zooms and pans as a map; names and marks keep their size.
  c->BeginGroup(ZoomPanel("xy", "planimetria", 0, l.plan_top, kWidth, v.height));
  // Tunnels under the line, wide and brown; the line on top.
  for (const auto& t : l.facts.tunnels) {
    if (t.from > v.last_metre) continue;
    c->Polyline(path(t.from, std::min<int64_t>(t.to, v.last_metre)),
                Stroke{WithAlpha(kTunnel, 0.55), 9});
  }
  c->Polyline(path(0, v.last_metre), Stroke{kLineBlue, 2.4});
  // Labels go beside the line, on whichever side is free: the line itself
  // and the labels already placed are obstacles.
  std::vector<Box> taken;
  for (int64_t m = 0; m <= v.last_metre; m += 100) {
    const Point q = at(m);
    taken.push_back(Box{q.x - 3, q.y - 3, q.x + 3, q.y + 3});
  }
  auto place_label = [&](int64_t m, const std::string& text, TextStyle style, int first_side,
                         const std::string& key) {
    const Point q = at(m);
    const Point a = at(m - 300), b = at(m + 300);
    double dx = b.x - a.x, dy = b.y - a.y;
    const double len = std::hypot(dx, dy);
    if (len < 1e-6) {
      dx = 1;
      dy = 0;
    } else {
      dx /= len;
      dy /= len;
    }
    const Point normal{-dy, dx};
    std::optional<Point> chosen;
    Box chosen_box;
    for (double distance : {9.0, 22.0, 40.0}) {
      for (int side : {first_side, -first_side}) {
        const double nx = normal.x * side, ny = normal.y * side;
        Point p{q.x + nx * distance, q.y + ny * distance + (ny > 0.3 ? style.size * 0.8 : 0) +
                                         (std::abs(ny) <= 0.3 ? style.size * 0.35 : 0)};
        style.anchor = nx > 0.3 ? Anchor::kStart : nx < -0.3 ? Anchor::kEnd : Anchor::kMiddle;
        const Box box = TextBox(p, text, style);
        if (Free(box, taken)) {
          chosen = p;
          chosen_box = box;
          break;
        }
      }
      if (chosen) break;
    }
    if (!chosen) {  // crowded: the first place, overlapping
      const double nx = normal.x * first_side, ny = normal.y * first_side;
      chosen = Point{q.x + nx * 9, q.y + ny * 9 + (ny > 0.3 ? style.size * 0.8 : 0)};
      style.anchor = nx > 0.3 ? Anchor::kStart : nx < -0.3 ? Anchor::kEnd : Anchor::kMiddle;
      chosen_box = TextBox(*chosen, text, style);
    }
    taken.push_back(chosen_box);
    c->BeginGroup(Mark(q, key));
    c->Text(*chosen, text, style);
    c->EndGroup();
  };
  // Stations, dots first so that no label covers one.
  for (const auto& st : l.facts.stations) {
    if (st.posizione < 0 || st.posizione > v.last_metre) continue;
    const Point q = at(st.posizione);
    const bool halt = st.tipo >= 25;
    c->BeginGroup(Mark(q, SlotKey(st.slot)));
    c->Circle(q, halt ? 3.5 : 5, halt ? Color{255, 255, 255} : kStation, Stroke{kStation, 1.6});
    c->EndGroup();
    taken.push_back(Box{q.x - 6, q.y - 6, q.x + 6, q.y + 6});
  }
  int side = 1;
  for (const auto& st : l.facts.stations) {
    if (st.posizione < 0 || st.posizione > v.last_metre) continue;
    const bool halt = st.tipo >= 25;
    place_label(st.posizione, st.nome,
                Style(halt ? 9.5 : 11, halt ? kGrey : kInk, Anchor::kStart, !halt), side,
                SlotKey(st.slot));
    side = -side;
  }
  // Kilometre marks.
  const double step = NiceStep(l.facts.extent, 10);
  for (double m = step; m < v.last_metre; m += step) {
    const Point q = at(static_cast<int64_t>(m));
    c->BeginGroup(Mark(q));
    c->Circle(q, 2.2, kInk, std::nullopt);
    c->EndGroup();
    place_label(static_cast<int64_t>(m), "km " + Km(m, KmDecimals(step)), Style(10, kGrey), -1, "");
  }
  c->EndGroup();
  // Scale bar, bottom left.
  const double bar_m = NiceStep(l.plan.last_metre / 6.0, 1);
  const double bar_px = bar_m * v.scale;
  const double bx = kLeft, by = l.plan_top + l.plan.height - 12;
  Group scale;
  scale.kind = Group::Kind::kScale;
  scale.scale_metres = bar_m;
  c->BeginGroup(scale);
  c->Line({bx, by}, {bx + bar_px, by}, Stroke{kInk, 2});
  c->Line({bx, by - 4}, {bx, by + 4}, Stroke{kInk, 1.5});
  c->Line({bx + bar_px, by - 4}, {bx + bar_px, by + 4}, Stroke{kInk, 1.5});
  c->Text({bx + bar_px + 8, by + 4}, Km(bar_m, KmDecimals(bar_m)) + " km", Style(11, kInk));
  c->EndGroup();
}

}  // namespace drawing_internal
}  // namespace scenario
