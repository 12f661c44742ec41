#include "tools/lib/drawing.h"

#include <algorithm>
#include <cmath>
#include <set>

#include "model/cells.h"
#include "model/text_encoding.h"
#include "tools/lib/canvas.h"

namespace scenario {
namespace {

// Page layout, pixels.
constexpr double kWidth = 1600;
constexpr double kLeft = 86;  // room for the axis labels
constexpr double kRight = 40;
constexpr double kPlotWidth = kWidth - kLeft - kRight;
constexpr double kTitleHeight = 64;
constexpr double kPlanMaxHeight = 420;  // the drawn line itself
constexpr double kPlanPad = 56;         // room for names around the line
constexpr double kPanelGap = 46;        // between panels, with the panel title
constexpr double kElevationHeight = 180;
constexpr double kSpeedHeight = 130;
constexpr double kStationRoom = 230;  // above the lane's base line: station names
constexpr double kSignalRoom = 140;   // below it: signals and board texts
constexpr double kAxisRoom = 40;
constexpr double kLegendHeight = 44;

const Color kInk{40, 40, 48};
const Color kGrey{120, 120, 128};
const Color kGrid{222, 224, 230};
const Color kLineBlue{28, 78, 160};
const Color kTunnel{120, 86, 52};
const Color kTerrain{214, 196, 160};
const Color kSpeed{196, 58, 40};
const Color kStation{28, 78, 160};
const Color kMainSignal{204, 32, 32};
const Color kDistantSignal{240, 190, 20};
const Color kRestriction{236, 128, 20};

Color WithAlpha(Color c, double alpha) {
  c.alpha = alpha;
  return c;
}

TextStyle Style(double size, Color color, Anchor anchor = Anchor::kStart, bool bold = false,
                double angle = 0) {
  TextStyle s;
  s.size = size;
  s.color = color;
  s.anchor = anchor;
  s.bold = bold;
  s.angle = angle;
  return s;
}

// "12,5": kilometres with a decimal comma, as on the line's own boards.
std::string Km(double metres, int decimals) {
  const double km = metres / 1000;
  std::string text =
      std::to_string(static_cast<int64_t>(std::llround(km * std::pow(10, decimals))));
  if (decimals == 0) return text;
  while (static_cast<int>(text.size()) <= decimals) text.insert(text.begin(), '0');
  text.insert(text.end() - decimals, ',');
  return text;
}

// The number of characters of a UTF-8 text.
size_t Characters(const std::string& utf8) {
  size_t n = 0;
  for (char c : utf8) n += (static_cast<unsigned char>(c) & 0xC0) != 0x80;
  return n;
}

// An estimate of the box a text takes, for keeping labels apart: the same
// on both backends, since it does not ask either for real metrics.
struct Box {
  double x0 = 0, y0 = 0, x1 = 0, y1 = 0;
  bool Overlaps(const Box& o) const { return x0 < o.x1 && o.x0 < x1 && y0 < o.y1 && o.y0 < y1; }
};

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

// The decimals a kilometre label needs when labels are `step` metres apart.
int KmDecimals(double step) { return step >= 1000 ? 0 : step >= 100 ? 1 : 2; }

// A round step for about `count` ticks over `span`.
double NiceStep(double span, int count) {
  const double raw = span / std::max(count, 1);
  const double power = std::pow(10, std::floor(std::log10(std::max(raw, 1e-9))));
  for (double m : {1.0, 2.0, 5.0, 10.0}) {
    if (raw <= m * power) return m * power;
  }
  return 10 * power;
}

// The plan of the line turned so that its start is on the left and its end
// on the right, scaled to the page.
struct PlanView {
  bool present = false;
  double cos_t = 1, sin_t = 0, scale = 1, umin = 0, vmax = 0, x0 = 0, y0 = 0;
  double height = 0;  // of the whole plan panel
  int64_t last_metre = 0;

  Point At(double x, double y) const {
    const double u = x * cos_t + y * sin_t;
    const double v = -x * sin_t + y * cos_t;
    return Point{x0 + (u - umin) * scale, y0 + (vmax - v) * scale};
  }
};

bool HasPoint(const CompiledScenario& s, int64_t m) { return s.planimetria.HasPoint(m); }

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

struct Layout {
  ScenarioFacts facts;
  PlanView plan;
  double plan_top = 0, elevation_top = 0, speed_top = 0, lane_top = 0, lane_base = 0;
  double axis_top = 0, legend_top = 0, height = 0;

  double X(double metre) const {
    return kLeft + std::clamp(metre / std::max(facts.extent, 1), 0.0, 1.0) * kPlotWidth;
  }
  // Where cell k starts.
  double XOfCell(int64_t k) const { return X(static_cast<double>(CellPosition(k))); }
};

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

void PanelTitle(Canvas* c, double top, const std::string& text) {
  c->Text({kLeft, top - 10}, text, Style(14, kInk, Anchor::kStart, true));
}

// Light vertical lines every 10 km (every km for short lines) from y0 to y1.
void KmGrid(Canvas* c, const Layout& l, double y0, double y1) {
  const double step = NiceStep(l.facts.extent, 10);
  for (double m = 0; m <= l.facts.extent; m += step) {
    c->Line({l.X(m), y0}, {l.X(m), y1}, Stroke{kGrid, 1});
  }
}

void DrawTitle(Canvas* c, const CompiledScenario& s, const Layout& l) {
  const ScenarioFacts& f = l.facts;
  c->Text({kLeft, 38}, "Linea " + s.linea + " \u2014 treno " + s.treno,
          Style(24, kInk, Anchor::kStart, true));
  auto count = [](size_t n, const char* one, const char* many) {
    return std::to_string(n) + " " + (n == 1 ? one : many);
  };
  std::string sub = "percorso di " + Km(f.route_length, 1) + " km, " +
                    count(f.stations.size(), "stazione", "stazioni") + ", " +
                    count(f.signals.size(), "segnale", "segnali") + ", " +
                    count(f.tunnels.size(), "galleria", "gallerie");
  c->Text({kLeft, 60}, sub, Style(13, kGrey));
}

void DrawPlan(Canvas* c, const CompiledScenario& s, const Layout& l) {
  PanelTitle(c, l.plan_top, "Planimetria");
  const PlanView& v = l.plan;
  if (!v.present) {
    c->Text({kLeft, l.plan_top + 40}, "nessun file della linea: planimetria non disponibile",
            Style(13, kGrey));
    return;
  }
  const auto& p = s.planimetria;
  auto at = [&](int64_t m) {
    m = std::clamp<int64_t>(m, 0, v.last_metre);
    while (m > 0 && !HasPoint(s, m)) --m;
    return v.At(p.x(m).value, p.y(m).value);
  };
  auto path = [&](int64_t from, int64_t to) {
    std::vector<Point> pts;
    for (int64_t m = from; m < to; m += 25) pts.push_back(at(m));
    pts.push_back(at(to));
    return pts;
  };
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
  auto place_label = [&](int64_t m, const std::string& text, TextStyle style, int first_side) {
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
    c->Text(*chosen, text, style);
  };
  // Stations, dots first so that no label covers one.
  for (const auto& st : l.facts.stations) {
    if (st.posizione < 0 || st.posizione > v.last_metre) continue;
    const Point q = at(st.posizione);
    const bool halt = st.tipo >= 25;
    c->Circle(q, halt ? 3.5 : 5, halt ? Color{255, 255, 255} : kStation, Stroke{kStation, 1.6});
    taken.push_back(Box{q.x - 6, q.y - 6, q.x + 6, q.y + 6});
  }
  int side = 1;
  for (const auto& st : l.facts.stations) {
    if (st.posizione < 0 || st.posizione > v.last_metre) continue;
    const bool halt = st.tipo >= 25;
    place_label(st.posizione, st.nome,
                Style(halt ? 9.5 : 11, halt ? kGrey : kInk, Anchor::kStart, !halt), side);
    side = -side;
  }
  // Kilometre marks.
  const double step = NiceStep(l.facts.extent, 10);
  for (double m = step; m < v.last_metre; m += step) {
    const Point q = at(static_cast<int64_t>(m));
    c->Circle(q, 2.2, kInk, std::nullopt);
    place_label(static_cast<int64_t>(m), "km " + Km(m, KmDecimals(step)), Style(10, kGrey), -1);
  }
  // Scale bar, bottom left.
  const double bar_m = NiceStep(l.plan.last_metre / 6.0, 1);
  const double bar_px = bar_m * v.scale;
  const double bx = kLeft, by = l.plan_top + l.plan.height - 12;
  c->Line({bx, by}, {bx + bar_px, by}, Stroke{kInk, 2});
  c->Line({bx, by - 4}, {bx, by + 4}, Stroke{kInk, 1.5});
  c->Line({bx + bar_px, by - 4}, {bx + bar_px, by + 4}, Stroke{kInk, 1.5});
  c->Text({bx + bar_px + 8, by + 4}, Km(bar_m, KmDecimals(bar_m)) + " km", Style(11, kInk));
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
    c->Rect(x - 2.5, top + 4, 5, 9, Color{255, 255, 255}, Stroke{kInk, 1});
    if (x - last_label > 26) {
      c->Text({x, top + 25}, b.label, Style(10, kInk, Anchor::kMiddle, true));
      last_label = x;
    }
  }
  c->Rect(kLeft, top, kPlotWidth, h, std::nullopt, Stroke{kGrey, 1});
}

void DrawLane(Canvas* c, const Layout& l) {
  const ScenarioFacts& f = l.facts;
  PanelTitle(c, l.lane_top, "Stazioni, segnali e cartelli");
  const double base = l.lane_base;
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
    c->Rect(l.X(st.inizio), base - 9, std::max(l.X(st.fine) - l.X(st.inizio), 2.0), 7,
            halt ? WithAlpha(kStation, 0.25) : WithAlpha(kStation, 0.85), std::nullopt);
    c->Line({x, base - 9}, {x, base - 18}, Stroke{kStation, 1.2});
    c->Text({x + 4, base - 22}, st.nome,
            Style(halt ? 10 : 11.5, halt ? kGrey : kInk, Anchor::kStart, !halt, -90));
  }
  // Code cells as short ticks on the line.
  for (int32_t m : f.codes) c->Line({l.X(m), base + 3}, {l.X(m), base + 8}, Stroke{kGrey, 1});
  // Signals below the line: a post and a lamp, red for main, yellow for
  // distant signals.
  for (const auto& sg : f.signals) {
    const double x = l.X(sg.metro);
    c->Line({x, base + 4}, {x, base + 24}, Stroke{kInk, 1});
    c->Circle({x, base + 24}, 4.2, sg.sx == 2 ? kMainSignal : kDistantSignal, Stroke{kInk, 0.8});
  }
  // Each restriction as a band from its start to its end.
  for (size_t i = 0; i < f.boards.size(); ++i) {
    if (f.boards[i].tipo != kTipoInizioRall) continue;
    for (size_t j = i + 1; j < f.boards.size(); ++j) {
      if (f.boards[j].tipo != kTipoFineRall) continue;
      const double x0 = l.X(f.boards[i].metro), x1 = l.X(f.boards[j].metro);
      c->Rect(x0, base + 36, std::max(x1 - x0, 1.0), 5, WithAlpha(kRestriction, 0.45),
              std::nullopt);
      break;
    }
  }
  // Restriction cells and text boards further down; the board texts in
  // rows, each in the first row where it has room.
  std::vector<double> row_ends;
  for (const auto& b : f.boards) {
    const double x = l.X(b.metro);
    if (b.tipo == kTipoCartello) {
      c->Rect(x - 4, base + 40, 8, 8, Color{255, 255, 255}, Stroke{kInk, 1.2});
      if (b.label.empty()) continue;
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
    } else if (b.tipo >= kTipoFineRall && b.tipo <= kTipoZonaRall) {
      c->Polygon({{x, base + 34}, {x - 5, base + 43}, {x + 5, base + 43}}, kRestriction,
                 Stroke{kInk, 0.8});
      if (!b.label.empty()) c->Text({x, base + 56}, b.label, Style(9.5, kInk, Anchor::kMiddle));
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
  c->Text({kLeft + kPlotWidth, axis + 36}, "km", Style(11, kGrey, Anchor::kEnd));
}

void DrawLegend(Canvas* c, const Layout& l) {
  double x = kLeft;
  const double y = l.legend_top + 22;
  auto label = [&](const std::string& text) {
    c->Text({x, y + 4}, text, Style(11, kInk));
    x += 12 + 6.6 * text.size();
  };
  c->Rect(x, y - 4, 16, 7, WithAlpha(kStation, 0.85), std::nullopt);
  x += 22;
  label("stazione");
  c->Rect(x, y - 4, 16, 7, WithAlpha(kStation, 0.25), std::nullopt);
  x += 22;
  label("bivio, posto di servizio");
  c->Circle({x + 5, y}, 4.2, kMainSignal, Stroke{kInk, 0.8});
  x += 14;
  label("segnale");
  c->Circle({x + 5, y}, 4.2, kDistantSignal, Stroke{kInk, 0.8});
  x += 14;
  label("segnale di avviso");
  c->Rect(x, y - 4, 8, 8, Color{255, 255, 255}, Stroke{kInk, 1.2});
  x += 14;
  label("cartello");
  c->Rect(x, y - 5, 5, 9, Color{255, 255, 255}, Stroke{kInk, 1});
  x += 11;
  label("indicatore di velocità massima");
  c->Polygon({{x + 5, y - 5}, {x, y + 4}, {x + 10, y + 4}}, kRestriction, Stroke{kInk, 0.8});
  x += 16;
  label("rallentamento");
  c->Rect(x, y - 3, 18, 6, WithAlpha(kTunnel, 0.8), std::nullopt);
  x += 24;
  label("galleria");
}

}  // namespace

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
    switch (c.tipo) {
      case kTipoSegnale:
        f.signals.push_back({placed_at, SignalSx(c.valore4)});
        break;
      case kTipoIndicatore:
        f.boards.push_back(
            {placed_at, c.tipo, std::to_string(UnpackIndicatorSpeeds(c.valore).s_side)});
        break;
      case kTipoCartello: {
        std::string text;
        if (c.valore >= 1 && c.valore <= 86) {
          text = BoardLabel(Cp1252ToUtf8(s.tabella[c.valore].nome));
        }
        f.boards.push_back({placed_at, c.tipo, text});
        break;
      }
      case kTipoInizioRall:
      case kTipoAvvisoRall:
        f.boards.push_back({placed_at, c.tipo, std::to_string(c.valore)});
        break;
      case kTipoFineRall:
      case kTipoZonaRall:
        f.boards.push_back({placed_at, c.tipo, ""});
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

DrawingSize MeasureDrawing(const CompiledScenario& scenario) {
  const Layout l = Measure(scenario);
  return DrawingSize{static_cast<int>(kWidth), static_cast<int>(l.height)};
}

void DrawScenario(const CompiledScenario& scenario, Canvas* canvas) {
  const Layout l = Measure(scenario);
  DrawTitle(canvas, scenario, l);
  DrawPlan(canvas, scenario, l);
  DrawElevation(canvas, l);
  DrawSpeed(canvas, l);
  DrawLane(canvas, l);
  DrawLegend(canvas, l);
}

std::string ScenarioSvg(const CompiledScenario& scenario) {
  const DrawingSize size = MeasureDrawing(scenario);
  SvgCanvas canvas(size.width, size.height,
                   "Linea " + scenario.linea + ", treno " + scenario.treno);
  DrawScenario(scenario, &canvas);
  return canvas.Finish();
}

bool ScenarioPng(const CompiledScenario& scenario, std::string* png, std::string* err) {
  bool ok;
  {
    const DrawingSize size = MeasureDrawing(scenario);
    PngCanvas canvas(size.width, size.height);
    DrawScenario(scenario, &canvas);
    ok = canvas.Finish(png, err);
  }
  ReleaseDrawingCaches();
  return ok;
}

}  // namespace scenario
