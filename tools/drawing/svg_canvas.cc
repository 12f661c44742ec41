// The SVG backend: plain SVG 1.1 elements, one per call, text as <text>.
#include <charconv>
#include <cstdio>

#include "tools/drawing/canvas.h"

namespace scenario {
namespace {

// A coordinate with at most two decimals, independent of the locale.
std::string Num(double v) {
  char buffer[64];
  auto result = std::to_chars(buffer, buffer + sizeof buffer, v, std::chars_format::fixed, 2);
  std::string out(buffer, result.ptr);
  if (out.find('.') != std::string::npos) {
    while (out.back() == '0') out.pop_back();
    if (out.back() == '.') out.pop_back();
  }
  return out == "-0" ? "0" : out;
}

std::string Hex(const Color& c) {
  char buffer[8];
  std::snprintf(buffer, sizeof buffer, "#%02x%02x%02x", c.r, c.g, c.b);
  return buffer;
}

std::string FillAttributes(const std::optional<Color>& fill) {
  if (!fill) return " fill=\"none\"";
  std::string out = " fill=\"" + Hex(*fill) + "\"";
  if (fill->alpha < 1) out += " fill-opacity=\"" + Num(fill->alpha) + "\"";
  return out;
}

std::string StrokeAttributes(const std::optional<Stroke>& stroke) {
  if (!stroke) return "";
  std::string out =
      " stroke=\"" + Hex(stroke->color) + "\" stroke-width=\"" + Num(stroke->width) + "\"";
  if (stroke->color.alpha < 1) out += " stroke-opacity=\"" + Num(stroke->color.alpha) + "\"";
  if (stroke->dashed) {
    out += " stroke-dasharray=\"" + Num(stroke->width * 3) + " " + Num(stroke->width * 2) + "\"";
  }
  return out;
}

std::string Points(const std::vector<Point>& points) {
  std::string out;
  for (const Point& p : points) {
    if (!out.empty()) out += ' ';
    out += Num(p.x) + "," + Num(p.y);
  }
  return out;
}

}  // namespace

std::string ValidUtf8(const std::string& text) {
  static const char kReplacement[] = "\xEF\xBF\xBD";
  std::string out;
  for (size_t i = 0; i < text.size();) {
    const unsigned char c = static_cast<unsigned char>(text[i]);
    if (c < 0x80) {
      out += static_cast<char>(c);
      ++i;
      continue;
    }
    // A well-formed multi-byte sequence is copied; anything else replaced.
    const size_t n = c >= 0xF0 && c <= 0xF4   ? 4
                     : c >= 0xE0 && c < 0xF0  ? 3
                     : c >= 0xC2 && c <= 0xDF ? 2
                                              : 0;
    bool ok = n > 0 && i + n <= text.size();
    for (size_t k = 1; ok && k < n; ++k) {
      ok = (static_cast<unsigned char>(text[i + k]) & 0xC0) == 0x80;
    }
    if (ok && n == 3) {
      const unsigned char c1 = static_cast<unsigned char>(text[i + 1]);
      ok = !(c == 0xE0 && c1 < 0xA0) && !(c == 0xED && c1 >= 0xA0);  // overlong, surrogates
    }
    if (ok && n == 4) {
      const unsigned char c1 = static_cast<unsigned char>(text[i + 1]);
      ok = !(c == 0xF0 && c1 < 0x90) && !(c == 0xF4 && c1 >= 0x90);  // overlong, past U+10FFFF
    }
    if (ok) {
      out.append(text, i, n);
      i += n;
    } else {
      out += kReplacement;
      ++i;
    }
  }
  return out;
}

std::string XmlEscape(const std::string& utf8) {
  std::string out;
  for (char c : ValidUtf8(utf8)) {
    switch (c) {
      case '&':
        out += "&amp;";
        break;
      case '<':
        out += "&lt;";
        break;
      case '>':
        out += "&gt;";
        break;
      case '"':
        out += "&quot;";
        break;
      case '\'':
        out += "&apos;";
        break;
      default:
        // XML allows no other control characters.
        if (static_cast<unsigned char>(c) < 0x20 && c != '\t' && c != '\n' && c != '\r') {
          out += "\xEF\xBF\xBD";
        } else {
          out += c;
        }
    }
  }
  return out;
}

SvgCanvas::SvgCanvas(int width, int height, const std::string& title)
    : SvgCanvas(width, height, title, Options()) {}

SvgCanvas::SvgCanvas(int width, int height, const std::string& title, const Options& options)
    : options_(options) {
  body_ = std::string(options.declaration ? "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n" : "") +
          "<svg xmlns=\"http://www.w3.org/2000/svg\" version=\"1.1\"" +
          (options.id.empty() ? "" : " id=\"" + XmlEscape(options.id) + "\"") + " width=\"" +
          std::to_string(width) + "\" height=\"" + std::to_string(height) + "\" viewBox=\"0 0 " +
          std::to_string(width) + " " + std::to_string(height) +
          "\" font-family=\"DejaVu Sans, Verdana, Arial, sans-serif\">\n"
          "<title>" +
          XmlEscape(title) +
          "</title>\n"
          "<rect x=\"0\" y=\"0\" width=\"" +
          std::to_string(width) + "\" height=\"" + std::to_string(height) +
          "\" fill=\"#ffffff\"/>\n";
}

void SvgCanvas::Line(Point a, Point b, const Stroke& stroke) {
  body_ += "<line x1=\"" + Num(a.x) + "\" y1=\"" + Num(a.y) + "\" x2=\"" + Num(b.x) + "\" y2=\"" +
           Num(b.y) + "\"" + StrokeAttributes(stroke) + "/>\n";
}

void SvgCanvas::Polyline(const std::vector<Point>& points, const Stroke& stroke) {
  if (points.size() < 2) return;
  body_ += "<polyline points=\"" + Points(points) + "\" fill=\"none\"" + StrokeAttributes(stroke) +
           " stroke-linejoin=\"round\" stroke-linecap=\"round\"/>\n";
}

void SvgCanvas::Polygon(const std::vector<Point>& points, const Color& fill,
                        const std::optional<Stroke>& outline) {
  if (points.size() < 3) return;
  body_ += "<polygon points=\"" + Points(points) + "\"" + FillAttributes(fill) +
           StrokeAttributes(outline) + "/>\n";
}

void SvgCanvas::Rect(double x, double y, double w, double h, const std::optional<Color>& fill,
                     const std::optional<Stroke>& outline) {
  body_ += "<rect x=\"" + Num(x) + "\" y=\"" + Num(y) + "\" width=\"" + Num(w) + "\" height=\"" +
           Num(h) + "\"" + FillAttributes(fill) + StrokeAttributes(outline) + "/>\n";
}

void SvgCanvas::Circle(Point center, double radius, const std::optional<Color>& fill,
                       const std::optional<Stroke>& outline) {
  body_ += "<circle cx=\"" + Num(center.x) + "\" cy=\"" + Num(center.y) + "\" r=\"" + Num(radius) +
           "\"" + FillAttributes(fill) + StrokeAttributes(outline) + "/>\n";
}

void SvgCanvas::Text(Point at, const std::string& utf8, const TextStyle& style) {
  static const char* const kAnchors[] = {"start", "middle", "end"};
  body_ += "<text x=\"" + Num(at.x) + "\" y=\"" + Num(at.y) + "\" font-size=\"" + Num(style.size) +
           "\" fill=\"" + Hex(style.color) + "\" text-anchor=\"" +
           kAnchors[static_cast<int>(style.anchor)] + "\"";
  if (style.color.alpha < 1) body_ += " fill-opacity=\"" + Num(style.color.alpha) + "\"";
  if (style.bold) body_ += " font-weight=\"bold\"";
  if (style.angle != 0) {
    body_ += " transform=\"rotate(" + Num(style.angle) + " " + Num(at.x) + " " + Num(at.y) + ")\"";
  }
  body_ += ">" + XmlEscape(utf8) + "</text>\n";
}

void SvgCanvas::BeginGroup(const Group& g) {
  if (!options_.groups) return;
  std::string key = g.key.empty() ? "" : " data-key=\"" + XmlEscape(g.key) + "\"";
  switch (g.kind) {
    case Group::Kind::kPlain:
      body_ += "<g class=\"cosa\"" + key + ">\n";
      open_groups_.push_back("</g>\n");
      break;
    case Group::Kind::kZoom: {
      const std::string id = "taglio-" + std::to_string(++clips_);
      const std::string clip =
          Num(g.clip_x) + " " + Num(g.clip_y) + " " + Num(g.clip_width) + " " + Num(g.clip_height);
      body_ += "<clipPath id=\"" + id + "\"><rect x=\"" + Num(g.clip_x) + "\" y=\"" +
               Num(g.clip_y) + "\" width=\"" + Num(g.clip_width) + "\" height=\"" +
               Num(g.clip_height) + "\"/></clipPath>\n<g clip-path=\"url(#" + id +
               ")\"><g class=\"zoom\" data-zoom=\"" + XmlEscape(g.zoom) + "\" data-zoom-id=\"" +
               XmlEscape(g.zoom_id) + "\" data-clip=\"" + clip + "\"" + key + ">\n";
      open_groups_.push_back("</g></g>\n");
      break;
    }
    case Group::Kind::kMark:
      body_ += "<g class=\"segno\" data-ax=\"" + Num(g.anchor.x) + "\" data-ay=\"" +
               Num(g.anchor.y) + "\"" + key + ">\n";
      open_groups_.push_back("</g>\n");
      break;
    case Group::Kind::kScale:
      body_ += "<g class=\"scala\" data-metri=\"" + Num(g.scale_metres) + "\"" + key + ">\n";
      open_groups_.push_back("</g>\n");
      break;
  }
}

void SvgCanvas::EndGroup() {
  if (!options_.groups || open_groups_.empty()) return;
  body_ += open_groups_.back();
  open_groups_.pop_back();
}

std::string SvgCanvas::Finish() {
  if (!finished_) {
    while (!open_groups_.empty()) EndGroup();
    body_ += "</svg>\n";
    finished_ = true;
  }
  return body_;
}

}  // namespace scenario
