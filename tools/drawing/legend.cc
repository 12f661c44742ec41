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

void DrawMarks(Canvas* c, const Layout& l, const std::vector<std::string>& marks) {
  if (marks.empty()) return;
  c->Rect(2, 2, kWidth - 4, l.height - 4, std::nullopt, Stroke{kMark, 4});
  double y = 26;
  for (const std::string& m : marks) {
    // Long lines are cut: the title on the left keeps its room.
    std::string text = m;
    const size_t room = 118;
    if (Characters(text) > room) {
      size_t cut = 0, chars = 0;
      while (cut < text.size() && chars < room - 3) {
        ++cut;
        while (cut < text.size() && (static_cast<unsigned char>(text[cut]) & 0xc0) == 0x80) ++cut;
        ++chars;
      }
      text = text.substr(0, cut) + "...";
    }
    const TextStyle style = Style(12, kMark, Anchor::kEnd, true);
    const Box box = TextBox({kWidth - kRight, y}, text, style);
    c->Rect(box.x0 - 4, box.y0 - 1, box.x1 - box.x0 + 8, box.y1 - box.y0 + 2, Color{255, 236, 236},
            Stroke{kMark, 1});
    c->Text({kWidth - kRight, y}, text, style);
    y += 20;
  }
}

}  // namespace drawing_internal
}  // namespace scenario
