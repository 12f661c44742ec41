// A small drawing surface with two backends: SVG text written directly (text
// stays text) and a cairo image saved as PNG (only in builds with cairo, see
// PngAvailable). The drawing code of `disegna`
// draws once on a Canvas and does not know which backend it feeds.
// Coordinates are pixels, origin top left, y downward.
#ifndef SCENARIO_TOOLS_LIB_CANVAS_H_
#define SCENARIO_TOOLS_LIB_CANVAS_H_

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace scenario {

struct Color {
  uint8_t r = 0, g = 0, b = 0;
  double alpha = 1;  // 0 transparent to 1 opaque
};

struct Stroke {
  Color color;
  double width = 1;
  bool dashed = false;
};

struct Point {
  double x = 0, y = 0;
};

enum class Anchor { kStart, kMiddle, kEnd };

struct TextStyle {
  double size = 12;  // pixels
  Color color;
  Anchor anchor = Anchor::kStart;
  bool bold = false;
  double angle = 0;  // degrees, clockwise on screen, around the anchor point
};

class Canvas {
 public:
  virtual ~Canvas() = default;
  virtual void Line(Point a, Point b, const Stroke& stroke) = 0;
  virtual void Polyline(const std::vector<Point>& points, const Stroke& stroke) = 0;
  // A closed shape, filled and optionally outlined.
  virtual void Polygon(const std::vector<Point>& points, const Color& fill,
                       const std::optional<Stroke>& outline) = 0;
  virtual void Rect(double x, double y, double w, double h, const std::optional<Color>& fill,
                    const std::optional<Stroke>& outline) = 0;
  virtual void Circle(Point center, double radius, const std::optional<Color>& fill,
                      const std::optional<Stroke>& outline) = 0;
  // `utf8` on its baseline at `at`.
  virtual void Text(Point at, const std::string& utf8, const TextStyle& style) = 0;
};

// SVG: the document is complete after Finish().
class SvgCanvas : public Canvas {
 public:
  SvgCanvas(int width, int height, const std::string& title);
  void Line(Point a, Point b, const Stroke& stroke) override;
  void Polyline(const std::vector<Point>& points, const Stroke& stroke) override;
  void Polygon(const std::vector<Point>& points, const Color& fill,
               const std::optional<Stroke>& outline) override;
  void Rect(double x, double y, double w, double h, const std::optional<Color>& fill,
            const std::optional<Stroke>& outline) override;
  void Circle(Point center, double radius, const std::optional<Color>& fill,
              const std::optional<Stroke>& outline) override;
  void Text(Point at, const std::string& utf8, const TextStyle& style) override;
  // The whole document, UTF-8.
  std::string Finish();

 private:
  std::string body_;
  bool finished_ = false;
};

// A cairo image surface; the PNG bytes after Finish().
class PngCanvas : public Canvas {
 public:
  PngCanvas(int width, int height);
  ~PngCanvas() override;
  void Line(Point a, Point b, const Stroke& stroke) override;
  void Polyline(const std::vector<Point>& points, const Stroke& stroke) override;
  void Polygon(const std::vector<Point>& points, const Color& fill,
               const std::optional<Stroke>& outline) override;
  void Rect(double x, double y, double w, double h, const std::optional<Color>& fill,
            const std::optional<Stroke>& outline) override;
  void Circle(Point center, double radius, const std::optional<Color>& fill,
              const std::optional<Stroke>& outline) override;
  void Text(Point at, const std::string& utf8, const TextStyle& style) override;
  // Encodes the image as PNG into *png. False with *err when cairo fails.
  bool Finish(std::string* png, std::string* err);

 private:
  struct Impl;
  std::unique_ptr<Impl> impl_;
};

// True when this build can make PNG pictures. Without cairo (the Windows
// build) a PngCanvas draws nothing and its Finish() fails with a message.
bool PngAvailable();
inline constexpr char kNoPngMessage[] =
    "questa versione di scenario non scrive PNG (costruita senza cairo): usare un file .svg";

// Gives back the font caches the PNG backend's text made, once no
// PngCanvas is left (memory checkers otherwise report them at exit).
void ReleaseDrawingCaches();

// `text` with every byte that is not part of well-formed UTF-8 replaced by
// U+FFFD.
std::string ValidUtf8(const std::string& text);

// ValidUtf8, then &, <, >, " and ' escaped for XML text and attributes, and
// the control characters XML does not allow replaced by U+FFFD.
std::string XmlEscape(const std::string& utf8);

}  // namespace scenario

#endif  // SCENARIO_TOOLS_LIB_CANVAS_H_
