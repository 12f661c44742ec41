// The PNG backend of builds without cairo: it draws nothing and says so
// when the picture is asked for.
#include "tools/drawing/canvas.h"

namespace scenario {

struct PngCanvas::Impl {};

PngCanvas::PngCanvas(int, int) {}
PngCanvas::~PngCanvas() = default;
void PngCanvas::Line(Point, Point, const Stroke&) {}
void PngCanvas::Polyline(const std::vector<Point>&, const Stroke&) {}
void PngCanvas::Polygon(const std::vector<Point>&, const Color&, const std::optional<Stroke>&) {}
void PngCanvas::Rect(double, double, double, double, const std::optional<Color>&,
                     const std::optional<Stroke>&) {}
void PngCanvas::Circle(Point, double, const std::optional<Color>&, const std::optional<Stroke>&) {}
void PngCanvas::Text(Point, const std::string&, const TextStyle&) {}

bool PngCanvas::Finish(std::string* png, std::string* err) {
  png->clear();
  *err = kNoPngMessage;
  return false;
}

bool PngAvailable() { return false; }

void ReleaseDrawingCaches() {}

}  // namespace scenario
