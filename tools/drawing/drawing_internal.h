// The shared parts of the drawing's panels: the page layout in pixels, the
// colours, the text helpers, the plan view and the layout of the whole
// sheet. Each panel (plan, profiles, lane, title and legend) is drawn in its
// own file from a Layout measured once.
#ifndef SCENARIO_TOOLS_DRAWING_DRAWING_INTERNAL_H_
#define SCENARIO_TOOLS_DRAWING_DRAWING_INTERNAL_H_

#include <algorithm>
#include <cstdint>
#include <string>
#include <vector>

#include "tools/common/compiled_files.h"
#include "tools/drawing/canvas.h"
#include "tools/drawing/drawing.h"

namespace scenario {
namespace drawing_internal {

// Page layout, pixels.
inline constexpr double kWidth = 1600;
inline constexpr double kLeft = 86;  // room for the axis labels
inline constexpr double kRight = 40;
inline constexpr double kPlotWidth = kWidth - kLeft - kRight;
inline constexpr double kTitleHeight = 64;
inline constexpr double kPlanMaxHeight = 420;  // the drawn line itself
inline constexpr double kPlanPad = 56;         // room for names around the line
inline constexpr double kPanelGap = 46;        // between panels, with the panel title
inline constexpr double kElevationHeight = 180;
inline constexpr double kSpeedHeight = 130;
inline constexpr double kStationRoom = 230;  // above the lane's base line: station names
inline constexpr double kSignalRoom = 140;   // below it: signals and board texts
inline constexpr double kAxisRoom = 40;
inline constexpr double kLegendHeight = 44;

inline const Color kInk{40, 40, 48};
inline const Color kGrey{120, 120, 128};
inline const Color kGrid{222, 224, 230};
inline const Color kLineBlue{28, 78, 160};
inline const Color kTunnel{120, 86, 52};
inline const Color kTerrain{214, 196, 160};
inline const Color kSpeed{196, 58, 40};
inline const Color kStation{28, 78, 160};
inline const Color kMainSignal{204, 32, 32};
inline const Color kDistantSignal{240, 190, 20};
inline const Color kRestriction{236, 128, 20};

Color WithAlpha(Color c, double alpha);
TextStyle Style(double size, Color color, Anchor anchor = Anchor::kStart, bool bold = false,
                double angle = 0);

// "12,5": kilometres with a decimal comma, as on the line's own boards.
std::string Km(double metres, int decimals);

// The number of characters of a UTF-8 text.
size_t Characters(const std::string& utf8);

// An estimate of the box a text takes, for keeping labels apart: the same
// on both backends, since it does not ask either for real metrics.
struct Box {
  double x0 = 0, y0 = 0, x1 = 0, y1 = 0;
  bool Overlaps(const Box& o) const { return x0 < o.x1 && o.x0 < x1 && y0 < o.y1 && o.y0 < y1; }
};
Box TextBox(Point at, const std::string& text, const TextStyle& style);
// True when `box` overlaps none of `taken`.
bool Free(const Box& box, const std::vector<Box>& taken);

// The decimals a kilometre label needs when labels are `step` metres apart.
int KmDecimals(double step);

// A round step for about `count` ticks over `span`.
double NiceStep(double span, int count);

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

// True when metre m of the plan has both coordinates.
bool HasPoint(const CompiledScenario& s, int64_t m);
// Where metre m of the route is drawn on the plan: the last metre with a
// point at or before it, within the drawn part. REQUIRES: v.present.
Point PlanPointOf(const CompiledScenario& s, const PlanView& v, int64_t m);

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

// Where every panel goes, from the compiled records.
Layout Measure(const CompiledScenario& s);

// Groups of the picture (see Group): a panel that zooms, a mark that keeps
// its size and moves with `anchor`, a thing of the scenario by its key.
Group ZoomPanel(const char* zoom, const char* zoom_id, double x, double y, double width,
                double height);
Group Mark(Point anchor, const std::string& key = "");
Group Thing(const std::string& key);

// A panel's title just above `top`.
void PanelTitle(Canvas* c, double top, const std::string& text);
// Light vertical lines every 10 km (every km for short lines) from y0 to y1.
void KmGrid(Canvas* c, const Layout& l, double y0, double y1);
// Horizontal grid lines with their values on the left, `step` apart.
void YAxis(Canvas* c, double top, double height, double lo, double hi, double step,
           const std::string& unit);

// The panels, top to bottom.
void DrawTitle(Canvas* c, const CompiledScenario& s, const Layout& l);
void DrawPlan(Canvas* c, const CompiledScenario& s, const Layout& l);
void DrawElevation(Canvas* c, const Layout& l);
void DrawSpeed(Canvas* c, const Layout& l);
void DrawLane(Canvas* c, const Layout& l);
void DrawLegend(Canvas* c, const Layout& l);

}  // namespace drawing_internal
}  // namespace scenario

#endif  // SCENARIO_TOOLS_DRAWING_DRAWING_INTERNAL_H_
