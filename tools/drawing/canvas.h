// A small drawing surface with two backends: SVG text written directly (text
// stays text) and a cairo image saved as PNG (only in builds with cairo, see
// PngAvailable). The drawing code of `disegna`
// draws once on a Canvas and does not know which backend it feeds.
// Coordinates are pixels, origin top left, y downward.
#ifndef SCENARIO_TOOLS_DRAWING_CANVAS_H_
#define SCENARIO_TOOLS_DRAWING_CANVAS_H_

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

// A group of drawn things, for a picture that is shown in a browser with
// zoom and details (the report page). Backends that keep no groups draw
// what a group holds as if there were no group.
struct Group {
  enum class Kind {
    kPlain,  // only a `key`: the things show one thing of the scenario
    kZoom,   // a panel that zooms and pans inside `clip`: along x ("x") or both ("xy");
             // panels with the same `zoom_id` zoom together
    kMark,   // a thing that keeps its size when its panel zooms: it moves with `anchor`
    kScale,  // a scale bar `scale_metres` long at the first zoom
  };
  Kind kind = Kind::kPlain;
  std::string key;  // the thing shown, e.g. "voce-3", "cella-36"; empty: none
  std::string zoom;
  std::string zoom_id;
  double clip_x = 0, clip_y = 0, clip_width = 0, clip_height = 0;
  Point anchor;
  double scale_metres = 0;
};

class Canvas {
 public:
  virtual ~Canvas() = default;
  // Groups nest; every BeginGroup has its EndGroup.
  virtual void BeginGroup(const Group& group) { (void)group; }
  virtual void EndGroup() {}
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
  struct Options {
    bool groups = false;      // write the groups, with their data-* attributes
    bool declaration = true;  // the XML declaration first: false for SVG inside HTML
    std::string id;           // of the <svg> element; empty: none
  };
  SvgCanvas(int width, int height, const std::string& title);
  SvgCanvas(int width, int height, const std::string& title, const Options& options);
  void BeginGroup(const Group& group) override;
  void EndGroup() override;
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
  Options options_;
  std::vector<std::string> open_groups_;  // what closes each open group
  int clips_ = 0;
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

#endif  // SCENARIO_TOOLS_DRAWING_CANVAS_H_
