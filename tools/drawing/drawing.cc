#include "tools/drawing/drawing.h"

#include "tools/drawing/canvas.h"
#include "tools/drawing/drawing_internal.h"

namespace scenario {

DrawingSize MeasureDrawing(const CompiledScenario& scenario) {
  const drawing_internal::Layout l = drawing_internal::Measure(scenario);
  return DrawingSize{static_cast<int>(drawing_internal::kWidth), static_cast<int>(l.height)};
}

void DrawScenario(const CompiledScenario& scenario, Canvas* canvas) {
  namespace d = drawing_internal;
  const d::Layout l = d::Measure(scenario);
  d::DrawTitle(canvas, scenario, l);
  d::DrawPlan(canvas, scenario, l);
  d::DrawElevation(canvas, l);
  d::DrawSpeed(canvas, l);
  d::DrawLane(canvas, l);
  d::DrawLegend(canvas, l);
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
