// The layout of the sheet and the helpers every panel uses.
#include <algorithm>
#include <cmath>

#include "model/cells.h"
#include "tools/drawing/drawing_internal.h"

namespace scenario {
namespace drawing_internal {

Color WithAlpha(Color c, double alpha) {
  c.alpha = alpha;
  return c;
}

TextStyle Style(double size, Color color, Anchor anchor, bool bold, double angle) {
  TextStyle s;
  s.size = size;
  s.color = color;
  s.anchor = anchor;
  s.bold = bold;
  s.angle = angle;
  return s;
}

std::string Km(double metres, int decimals) {
  const double km = std::abs(metres) / 1000;
  std::string text =
      std::to_string(static_cast<int64_t>(std::llround(km * std::pow(10, decimals))));
  if (decimals > 0) {
    while (static_cast<int>(text.size()) <= decimals) text.insert(text.begin(), '0');
    text.insert(text.end() - decimals, ',');
  }
  const bool zero = text.find_first_not_of("0,") == std::string::npos;
  return (metres < 0 && !zero ? "-" : "") + text;
}

size_t Characters(const std::string& utf8) {
  size_t n = 0;
  for (char c : utf8) n += (static_cast<unsigned char>(c) & 0xC0) != 0x80;
  return n;
}

Box TextBox(Point at, const std::string& text, const TextStyle& style) {
  const double w = Characters(text) * style.size * (style.bold ? 0.66 : 0.6);
  double x0 = at.x;
  if (style.anchor == Anchor::kMiddle) x0 -= w / 2;
  if (style.anchor == Anchor::kEnd) x0 -= w;
  return Box{x0 - 2, at.y - style.size * 0.8 - 2, x0 + w + 2, at.y + style.size * 0.25 + 2};
}

bool Free(const Box& box, const std::vector<Box>& taken) {
  for (const Box& t : taken) {
    if (box.Overlaps(t)) return false;
  }
  return true;
}

int KmDecimals(double step) { return step >= 1000 ? 0 : step >= 100 ? 1 : 2; }

double NiceStep(double span, int count) {
  const double raw = span / std::max(count, 1);
  const double power = std::pow(10, std::floor(std::log10(std::max(raw, 1e-9))));
  for (double m : {1.0, 2.0, 5.0, 10.0}) {
    if (raw <= m * power) return m * power;
  }
  return 10 * power;
}

bool HasPoint(const CompiledScenario& s, int64_t m) { return s.planimetria.HasPoint(m); }

Point PlanPointOf(const CompiledScenario& s, const PlanView& v, int64_t m) {
  m = std::clamp<int64_t>(m, 0, v.last_metre);
  while (m > 0 && !HasPoint(s, m)) --m;
  return v.At(s.planimetria.x(m).value, s.planimetria.y(m).value);
}

PlanView MeasurePlan(const CompiledScenario& s, int32_t route_length, double top) {
  PlanView view;
  int64_t last = std::min<int64_t>(route_length, static_cast<int64_t>(s.planimetria.size()) - 1);
  while (last > 0 && !HasPoint(s, last)) --last;
  if (last < 1 || !HasPoint(s, 0)) {
    view.height = 90;
    return view;
  }
  view.present = true;
  view.last_metre = last;
  const auto& p = s.planimetria;
  double dx = p.x(last).value - p.x(0).value, dy = p.y(last).value - p.y(0).value;
  if (std::hypot(dx, dy) < 1) dx = 0, dy = 1;
  const double theta = std::atan2(dy, dx);
  view.cos_t = std::cos(theta);
  view.sin_t = std::sin(theta);
  double umin = 1e300, umax = -1e300, vmin = 1e300, vmax = -1e300;
  for (int64_t m = 0; m <= last; m += 10) {
    if (!HasPoint(s, m)) continue;
    const double x = p.x(m).value, y = p.y(m).value;
    const double u = x * view.cos_t + y * view.sin_t, v = -x * view.sin_t + y * view.cos_t;
    umin = std::min(umin, u), umax = std::max(umax, u);
    vmin = std::min(vmin, v), vmax = std::max(vmax, v);
  }
  const double du = std::max(umax - umin, 1.0), dv = std::max(vmax - vmin, 1.0);
  view.scale = std::min(kPlotWidth / du, kPlanMaxHeight / dv);
  view.umin = umin;
  view.vmax = vmax;
  view.x0 = kLeft + (kPlotWidth - du * view.scale) / 2;
  view.y0 = top + kPlanPad;
  view.height = dv * view.scale + 2 * kPlanPad;
  return view;
}

Layout Measure(const CompiledScenario& s) {
  Layout l;
  l.facts = ExtractFacts(s);
  l.plan_top = kTitleHeight + 36;
  l.plan = MeasurePlan(s, l.facts.extent, l.plan_top);
  l.elevation_top = l.plan_top + l.plan.height + kPanelGap;
  l.speed_top = l.elevation_top + kElevationHeight + kPanelGap;
  l.lane_top = l.speed_top + kSpeedHeight + kPanelGap;
  l.lane_base = l.lane_top + kStationRoom;
  l.axis_top = l.lane_base + kSignalRoom;
  l.legend_top = l.axis_top + kAxisRoom;
  l.height = std::ceil(l.legend_top + kLegendHeight);
  return l;
}

Group ZoomPanel(const char* zoom, const char* zoom_id, double x, double y, double width,
                double height) {
  Group g;
  g.kind = Group::Kind::kZoom;
  g.zoom = zoom;
  g.zoom_id = zoom_id;
  g.clip_x = x;
  g.clip_y = y;
  g.clip_width = width;
  g.clip_height = height;
  return g;
}

Group Mark(Point anchor, const std::string& key) {
  Group g;
  g.kind = Group::Kind::kMark;
  g.anchor = anchor;
  g.key = key;
  return g;
}

Group Thing(const std::string& key) {
  Group g;
  g.key = key;
  return g;
}

void PanelTitle(Canvas* c, double top, const std::string& text) {
  c->Text({kLeft, top - 10}, text, Style(14, kInk, Anchor::kStart, true));
}

void KmGrid(Canvas* c, const Layout& l, double y0, double y1) {
  const double step = NiceStep(l.facts.extent, 10);
  for (double m = 0; m <= l.facts.extent; m += step) {
    c->Line({l.X(m), y0}, {l.X(m), y1}, Stroke{kGrid, 1});
  }
}

void YAxis(Canvas* c, double top, double height, double lo, double hi, double step,
           const std::string& unit) {
  for (double v = std::ceil(lo / step) * step; v <= hi + 1e-9; v += step) {
    const double y = top + height - (v - lo) / (hi - lo) * height;
    c->Line({kLeft, y}, {kLeft + kPlotWidth, y}, Stroke{kGrid, 1});
    c->Text({kLeft - 8, y + 4}, std::to_string(static_cast<int64_t>(std::llround(v))) + unit,
            Style(11, kGrey, Anchor::kEnd));
  }
}

}  // namespace drawing_internal
}  // namespace scenario
