// The PNG backend: a cairo image surface. Text goes through cairo's simple
// font interface, which fontconfig resolves to the system's sans-serif face.
#include <cairo.h>
#include <fontconfig/fontconfig.h>

#include <cmath>

#include "tools/drawing/canvas.h"

namespace scenario {

struct PngCanvas::Impl {
  cairo_surface_t* surface = nullptr;
  cairo_t* cr = nullptr;

  void SetColor(const Color& c) {
    cairo_set_source_rgba(cr, c.r / 255.0, c.g / 255.0, c.b / 255.0, c.alpha);
  }
  void ApplyStroke(const Stroke& s) {
    SetColor(s.color);
    cairo_set_line_width(cr, s.width);
    if (s.dashed) {
      const double dashes[] = {s.width * 3, s.width * 2};
      cairo_set_dash(cr, dashes, 2, 0);
    } else {
      cairo_set_dash(cr, nullptr, 0, 0);
    }
  }
  // Fills and/or strokes the current path.
  void Paint(const std::optional<Color>& fill, const std::optional<Stroke>& outline) {
    if (fill) {
      SetColor(*fill);
      if (outline) {
        cairo_fill_preserve(cr);
      } else {
        cairo_fill(cr);
      }
    }
    if (outline) {
      ApplyStroke(*outline);
      cairo_stroke(cr);
    }
    cairo_new_path(cr);
  }
  void Path(const std::vector<Point>& points) {
    cairo_new_path(cr);
    for (const Point& p : points) cairo_line_to(cr, p.x, p.y);
  }
};

PngCanvas::PngCanvas(int width, int height) : impl_(std::make_unique<Impl>()) {
  impl_->surface = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, width, height);
  impl_->cr = cairo_create(impl_->surface);
  cairo_set_source_rgb(impl_->cr, 1, 1, 1);
  cairo_paint(impl_->cr);
  cairo_set_line_join(impl_->cr, CAIRO_LINE_JOIN_ROUND);
  cairo_set_line_cap(impl_->cr, CAIRO_LINE_CAP_ROUND);
}

PngCanvas::~PngCanvas() {
  cairo_destroy(impl_->cr);
  cairo_surface_destroy(impl_->surface);
}

void PngCanvas::Line(Point a, Point b, const Stroke& stroke) {
  cairo_new_path(impl_->cr);
  cairo_move_to(impl_->cr, a.x, a.y);
  cairo_line_to(impl_->cr, b.x, b.y);
  impl_->Paint(std::nullopt, stroke);
}

void PngCanvas::Polyline(const std::vector<Point>& points, const Stroke& stroke) {
  if (points.size() < 2) return;
  impl_->Path(points);
  impl_->Paint(std::nullopt, stroke);
}

void PngCanvas::Polygon(const std::vector<Point>& points, const Color& fill,
                        const std::optional<Stroke>& outline) {
  if (points.size() < 3) return;
  impl_->Path(points);
  cairo_close_path(impl_->cr);
  impl_->Paint(fill, outline);
}

void PngCanvas::Rect(double x, double y, double w, double h, const std::optional<Color>& fill,
                     const std::optional<Stroke>& outline) {
  cairo_new_path(impl_->cr);
  cairo_rectangle(impl_->cr, x, y, w, h);
  impl_->Paint(fill, outline);
}

void PngCanvas::Circle(Point center, double radius, const std::optional<Color>& fill,
                       const std::optional<Stroke>& outline) {
  cairo_new_path(impl_->cr);
  cairo_arc(impl_->cr, center.x, center.y, radius, 0, 2 * M_PI);
  impl_->Paint(fill, outline);
}

void PngCanvas::Text(Point at, const std::string& utf8, const TextStyle& style) {
  cairo_t* cr = impl_->cr;
  cairo_save(cr);
  cairo_select_font_face(cr, "DejaVu Sans", CAIRO_FONT_SLANT_NORMAL,
                         style.bold ? CAIRO_FONT_WEIGHT_BOLD : CAIRO_FONT_WEIGHT_NORMAL);
  cairo_set_font_size(cr, style.size);
  cairo_translate(cr, at.x, at.y);
  cairo_rotate(cr, style.angle * M_PI / 180);
  // Invalid UTF-8 would put the cairo context into an error state.
  const std::string text = ValidUtf8(utf8);
  cairo_text_extents_t extents;
  cairo_text_extents(cr, text.c_str(), &extents);
  double x = 0;
  if (style.anchor == Anchor::kMiddle) x = -extents.x_advance / 2;
  if (style.anchor == Anchor::kEnd) x = -extents.x_advance;
  cairo_move_to(cr, x, 0);
  impl_->SetColor(style.color);
  cairo_show_text(cr, text.c_str());
  cairo_new_path(cr);
  cairo_restore(cr);
}

bool PngAvailable() { return true; }

void ReleaseDrawingCaches() {
  // cairo's font map first, then what fontconfig keeps for it; both set
  // themselves up again when text is drawn next.
  cairo_debug_reset_static_data();
  FcFini();
}

bool PngCanvas::Finish(std::string* png, std::string* err) {
  cairo_surface_flush(impl_->surface);
  png->clear();
  if (cairo_status(impl_->cr) != CAIRO_STATUS_SUCCESS) {
    *err = std::string("cairo: ") + cairo_status_to_string(cairo_status(impl_->cr));
    return false;
  }
  auto append = [](void* closure, const unsigned char* data, unsigned int length) {
    static_cast<std::string*>(closure)->append(reinterpret_cast<const char*>(data), length);
    return CAIRO_STATUS_SUCCESS;
  };
  const cairo_status_t status = cairo_surface_write_to_png_stream(impl_->surface, append, png);
  if (status != CAIRO_STATUS_SUCCESS) {
    *err = std::string("cairo non ha potuto scrivere il PNG: ") + cairo_status_to_string(status);
    return false;
  }
  return true;
}

}  // namespace scenario
