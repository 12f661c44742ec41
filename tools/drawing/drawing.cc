#include "tools/drawing/drawing.h"

#include "tools/drawing/canvas.h"
#include "tools/drawing/drawing_internal.h"

namespace scenario {

DrawingSize MeasureDrawing(const CompiledScenario& scenario) {
  const drawing_internal::Layout l = drawing_internal::Measure(scenario);
  return DrawingSize{static_cast<int>(drawing_internal::kWidth), static_cast<int>(l.height)};
}

DrawingGeometry MeasureGeometry(const CompiledScenario& scenario, int32_t step) {
  const drawing_internal::Layout l = drawing_internal::Measure(scenario);
  DrawingGeometry g;
  g.left = drawing_internal::kLeft;
  g.plot_width = drawing_internal::kPlotWidth;
  g.extent = l.facts.extent;
  g.axis_y = l.axis_top;
  g.axis_step = drawing_internal::NiceStep(l.facts.extent, 10);
  if (l.plan.present && step > 0) {
    for (int64_t m = 0; m <= l.plan.last_metre; m += step) {
      g.plan.emplace_back(static_cast<int32_t>(m),
                          drawing_internal::PlanPointOf(scenario, l.plan, m));
    }
  }
  return g;
}

std::string Kilometres(double metres, int decimals) {
  return drawing_internal::Km(metres, decimals);
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
