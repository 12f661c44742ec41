// The plan panel: the line from the line file, turned so that it runs from
// left to right, with its tunnels, stations, kilometre marks and a scale bar;
// labels beside the line wherever they find room.
#include <algorithm>
#include <cmath>

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
  // The scale bar, bottom left; drawn last, its place kept free.
  const double bar_m = NiceStep(l.plan.last_metre / 6.0, 1);
  const double bar_px = bar_m * v.scale;
  const double bx = kLeft, by = l.plan_top + l.plan.height - 12;
  const std::string bar_text = Km(bar_m, KmDecimals(bar_m)) + " km";
  // Labels go beside the line, on whichever side is free: the line itself,
  // the station dots, the scale bar and the labels already placed are
  // obstacles. A label that finds no room near its point goes further out,
  // with a thin line to it; one that finds none in the panel is left out,
  // never drawn over another.
  std::vector<Box> taken;
  for (int64_t m = 0; m <= v.last_metre; m += 100) {
    const Point q = at(m);
    taken.push_back(Box{q.x - 3, q.y - 3, q.x + 3, q.y + 3});
  }
  taken.push_back(TextBox({bx + bar_px + 8, by + 4}, bar_text, Style(11, kInk)));
  taken.push_back(Box{bx - 2, by - 6, bx + bar_px + 2, by + 6});
  const Box panel{2, l.plan_top - 4, kWidth - 2, l.plan_top + l.plan.height};
  auto inside = [&](const Box& b) {
    return b.x0 >= panel.x0 && b.x1 <= panel.x1 && b.y0 >= panel.y0 && b.y1 <= panel.y1;
  };
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
    // Nearest first: farther from the line, then shifted along it.
    for (double distance : {9.0, 22.0, 40.0, 62.0, 88.0, 120.0, 160.0, 210.0}) {
      for (double shift : {0.0, 1.0, -1.0, 2.0, -2.0, 3.0, -3.0}) {
        if (distance < 30 && shift != 0) continue;
        for (int side : {first_side, -first_side}) {
          const double nx = normal.x * side, ny = normal.y * side;
          const double along = shift * style.size * 1.4;
          const Point p{q.x + nx * distance + dx * along,
                        q.y + ny * distance + dy * along + (ny > 0.3 ? style.size * 0.8 : 0) +
                            (std::abs(ny) <= 0.3 ? style.size * 0.35 : 0)};
          style.anchor = nx > 0.3 ? Anchor::kStart : nx < -0.3 ? Anchor::kEnd : Anchor::kMiddle;
          const Box box = TextBox(p, text, style);
          if (!inside(box) || !Free(box, taken)) continue;
          taken.push_back(box);
          c->BeginGroup(Mark(q, key));
          if (distance > 30) {
            // A thin line from the point to the near edge of the label.
            const Point edge{std::clamp(q.x, box.x0, box.x1), std::clamp(q.y, box.y0, box.y1)};
            c->Line(q, edge, Stroke{WithAlpha(style.color, 0.5), 0.7});
          }
          c->Text(p, text, style);
          c->EndGroup();
          return true;
        }
      }
    }
    return false;
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
  int left_out = 0;
  for (const auto& st : l.facts.stations) {
    if (st.posizione < 0 || st.posizione > v.last_metre) continue;
    const bool halt = st.tipo >= 25;
    if (!place_label(st.posizione, st.nome,
                     Style(halt ? 9.5 : 11, halt ? kGrey : kInk, Anchor::kStart, !halt), side,
                     SlotKey(st.slot))) {
      ++left_out;
    }
    side = -side;
  }
  // Kilometre marks; a mark whose label finds no room keeps its dot.
  const double step = NiceStep(l.facts.extent, 10);
  for (double m = step; m < v.last_metre; m += step) {
    const Point q = at(static_cast<int64_t>(m));
    c->BeginGroup(Mark(q));
    c->Circle(q, 2.2, kInk, std::nullopt);
    c->EndGroup();
    place_label(static_cast<int64_t>(m), "km " + Km(m, KmDecimals(step)), Style(10, kGrey), -1,
                "");
  }
  c->EndGroup();
  // Outside the zoomed group: a note on the panel, not on the map.
  if (left_out > 0) {
    c->Text({kWidth - kRight, l.plan_top + 4},
            std::to_string(left_out) +
                (left_out == 1 ? " nome di stazione non trova posto qui: è nella corsia sotto"
                               : " nomi di stazione non trovano posto qui: sono nella corsia "
                                 "sotto"),
            Style(10, kGrey, Anchor::kEnd));
  }
  // The scale bar, bottom left.
  Group scale;
  scale.kind = Group::Kind::kScale;
  scale.scale_metres = bar_m;
  c->BeginGroup(scale);
  c->Line({bx, by}, {bx + bar_px, by}, Stroke{kInk, 2});
  c->Line({bx, by - 4}, {bx, by + 4}, Stroke{kInk, 1.5});
  c->Line({bx + bar_px, by - 4}, {bx + bar_px, by + 4}, Stroke{kInk, 1.5});
  c->Text({bx + bar_px + 8, by + 4}, bar_text, Style(11, kInk));
  c->EndGroup();
}

}  // namespace drawing_internal
}  // namespace scenario
