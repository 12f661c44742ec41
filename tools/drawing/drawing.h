// `disegna`: one picture of a compiled scenario. On top the plan view of the
// line from the line file; below it, along the route in kilometres, the
// elevation from the gradients with the tunnels, the line speed limit with
// the indicator boards, and a lane with the stations and their names, the
// signals and the boards. Drawn once on a Canvas, so the SVG and the PNG
// show the same thing.
#ifndef SCENARIO_TOOLS_DRAWING_DRAWING_H_
#define SCENARIO_TOOLS_DRAWING_DRAWING_H_

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "tools/common/compiled_files.h"
#include "tools/drawing/canvas.h"

namespace scenario {

class Canvas;

// What the picture shows, taken from the compiled records. Positions in
// metres along the route.
struct ScenarioFacts {
  struct Station {
    int32_t slot = 0;
    std::string nome;  // UTF-8
    uint8_t tipo = 0;
    int32_t posizione = 0, inizio = 0, fine = 0;
  };
  struct Signal {
    int32_t metro = 0;
    int sx = 0;  // 1 distant (avviso), 2 main (protezione/partenza)
    int32_t cella = 0;
  };
  struct Board {
    int32_t metro = 0;
    uint8_t tipo = 0;   // 6 indicator, 14 text board, 2 to 5 restriction cells
    std::string label;  // indicator: the s-side speed; text board: its text
    int32_t cella = 0;
  };
  struct Span {
    int32_t from = 0, to = 0;
  };
  int32_t route_length = 0;       // slot 84 fine, or what the track was made for
  int32_t extent = 0;             // what the picture spans: the route and all on it
  std::vector<double> elevation;  // metres at the start of each cell, 0 at cell 0
  std::vector<int> speed;         // km/h of each cell
  std::vector<Station> stations;
  std::vector<Signal> signals;
  std::vector<Board> boards;
  std::vector<int32_t> codes;  // code cells and abbattimenti
  std::vector<Span> tunnels;
};

ScenarioFacts ExtractFacts(const CompiledScenario& scenario);

// The keys by which the drawing's groups name what they show (Group::key):
// a station by its slot, a signal, board or restriction by its cell.
std::string SlotKey(int32_t slot);   // "voce-3"
std::string CellKey(int32_t cella);  // "cella-36"

// "(F)( P.L.)(2+200)" -> "F · P.L. · 2+200".
std::string BoardLabel(const std::string& utf8);

struct DrawingSize {
  int width = 0, height = 0;
};
DrawingSize MeasureDrawing(const CompiledScenario& scenario);

// Where the drawing puts the route, for a page that points into it: in the
// profiles metre m is at x = left + m / extent * plot_width; the kilometre
// axis runs at y = axis_y with a label every `axis_step` metres; on the
// plan the points of every `step` metres (none without a line file).
struct DrawingGeometry {
  double left = 0, plot_width = 0;
  int32_t extent = 0;
  double axis_y = 0, axis_step = 0;
  std::vector<std::pair<int32_t, Point>> plan;
};
DrawingGeometry MeasureGeometry(const CompiledScenario& scenario, int32_t step);

// Kilometres with a decimal comma, as the drawing writes them: "12,5".
std::string Kilometres(double metres, int decimals);

// Draws on a canvas of MeasureDrawing's size.
void DrawScenario(const CompiledScenario& scenario, Canvas* canvas);

// The whole picture as an SVG document, or as PNG bytes.
std::string ScenarioSvg(const CompiledScenario& scenario);
bool ScenarioPng(const CompiledScenario& scenario, std::string* png, std::string* err);

}  // namespace scenario

#endif  // SCENARIO_TOOLS_DRAWING_DRAWING_H_
