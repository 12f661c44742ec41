// The title of the sheet and the legend at its foot.
#include "tools/drawing/drawing_internal.h"

namespace scenario {
namespace drawing_internal {

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

}  // namespace drawing_internal
}  // namespace scenario
