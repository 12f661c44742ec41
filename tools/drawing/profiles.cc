// The profiles along the route: the elevation summed from the gradients,
// with the tunnels, and the line speed limit with the indicator boards.
#include <algorithm>
#include <cmath>

#include "model/cells.h"
#include "tools/drawing/drawing_internal.h"

namespace scenario {
namespace drawing_internal {

void DrawElevation(Canvas* c, const Layout& l) {
  const ScenarioFacts& f = l.facts;
  PanelTitle(c, l.elevation_top,
             "Profilo altimetrico (quota rispetto all'origine, dalle pendenze)");
  const size_t cells = std::min<size_t>(f.elevation.size(), f.extent / kCellLength + 1);
  if (cells < 2) return;
  double lo = *std::min_element(f.elevation.begin(), f.elevation.begin() + cells);
  double hi = *std::max_element(f.elevation.begin(), f.elevation.begin() + cells);
  const double step = NiceStep(std::max(hi - lo, 10.0), 4);
  lo = std::floor(lo / step) * step;
  hi = std::ceil(hi / step) * step;
  if (hi - lo < step) hi = lo + step;
  const double top = l.elevation_top, h = kElevationHeight;
  auto y = [&](double e) { return top + h - (e - lo) / (hi - lo) * h; };
  YAxis(c, top, h, lo, hi, step, " m");
  // The profiles zoom together along the route.
  c->BeginGroup(ZoomPanel("x", "profili", kLeft, top, kPlotWidth, h));
  KmGrid(c, l, top, top + h);
  std::vector<Point> area{{l.X(0), top + h}};
  std::vector<Point> line;
  for (size_t k = 0; k < cells; ++k) {
    const Point q{l.XOfCell(static_cast<int64_t>(k)), y(f.elevation[k])};
    area.push_back(q);
    line.push_back(q);
  }
  area.push_back({l.XOfCell(static_cast<int64_t>(cells) - 1), top + h});
  c->Polygon(area, WithAlpha(kTerrain, 0.75), std::nullopt);
  c->Polyline(line, Stroke{Color{110, 90, 60}, 1.6});
  // Tunnels: a thick dark band along the track inside the hill.
  for (const auto& t : f.tunnels) {
    std::vector<Point> band;
    for (int64_t m = t.from; m <= t.to; m += kCellLength) {
      const size_t k = std::min<size_t>(m / kCellLength, cells - 1);
      band.push_back({l.X(m), y(f.elevation[k])});
    }
    if (band.size() == 1) band.push_back({l.X(t.to), band[0].y});
    c->Polyline(band, Stroke{kTunnel, 6});
  }
  c->EndGroup();
  c->Rect(kLeft, top, kPlotWidth, h, std::nullopt, Stroke{kGrey, 1});
}

void DrawSpeed(Canvas* c, const Layout& l) {
  const ScenarioFacts& f = l.facts;
  PanelTitle(c, l.speed_top,
             "Velocità massima della linea (km/h) e indicatori di velocità massima");
  const size_t cells = std::min<size_t>(f.speed.size(), f.extent / kCellLength + 1);
  if (cells < 2) return;
  const int top_speed = *std::max_element(f.speed.begin(), f.speed.begin() + cells);
  const double hi = std::max(40.0, std::ceil((top_speed + 25) / 40.0) * 40);
  const double top = l.speed_top, h = kSpeedHeight;
  auto y = [&](double v) { return top + h - v / hi * h; };
  YAxis(c, top, h, 0, hi, 40, "");
  c->BeginGroup(ZoomPanel("x", "profili", kLeft, top, kPlotWidth, h));
  KmGrid(c, l, top, top + h);
  std::vector<Point> steps;
  for (size_t k = 0; k < cells; ++k) {
    const double vy = y(f.speed[k]);
    if (!steps.empty() && steps.back().y != vy) {
      steps.push_back({l.XOfCell(static_cast<int64_t>(k)), steps.back().y});
    }
    steps.push_back({l.XOfCell(static_cast<int64_t>(k)), vy});
  }
  steps.push_back({l.X(f.extent), steps.back().y});
  c->Polyline(steps, Stroke{kSpeed, 2.2});
  // Indicator boards as small plates at the top, the speed on the plate;
  // plates closer than a label's width share the first label.
  double last_label = -1e9;
  for (const auto& b : f.boards) {
    if (b.tipo != kTipoIndicatore) continue;
    const double x = l.X(b.metro);
    c->BeginGroup(Mark({x, top}, CellKey(b.cella)));
    c->Rect(x - 2.5, top + 4, 5, 9, Color{255, 255, 255}, Stroke{kInk, 1});
    if (x - last_label > 26) {
      c->Text({x, top + 25}, b.label, Style(10, kInk, Anchor::kMiddle, true));
      last_label = x;
    }
    c->EndGroup();
  }
  c->EndGroup();
  c->Rect(kLeft, top, kPlotWidth, h, std::nullopt, Stroke{kGrey, 1});
}

}  // namespace drawing_internal
}  // namespace scenario
