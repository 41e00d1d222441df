#include "Painter.h"

#include <cmath>

void Painter::setColour(const Colour& c) const
{
  cairo_set_source_rgba(mCr, c.r, c.g, c.b, c.a);
}

void Painter::roundRect(const Box& box, double radius) const
{
  cairo_new_sub_path(mCr);
  cairo_arc(mCr, box.r - radius, box.t + radius, radius, -M_PI / 2, 0);
  cairo_arc(mCr, box.r - radius, box.b - radius, radius, 0, M_PI / 2);
  cairo_arc(mCr, box.l + radius, box.b - radius, radius, M_PI / 2, M_PI);
  cairo_arc(mCr, box.l + radius, box.t + radius, radius, M_PI, 1.5 * M_PI);
  cairo_close_path(mCr);
}

void Painter::fillRoundRect(const Box& box, double radius, const Colour& c) const
{
  roundRect(box, radius);
  setColour(c);
  cairo_fill(mCr);
}

void Painter::fillRoundRectShaded(const Box& box, double radius, const Colour& top, const Colour& bottom) const
{
  cairo_pattern_t* shade = cairo_pattern_create_linear(0, box.t, 0, box.b);
  cairo_pattern_add_color_stop_rgba(shade, 0, top.r, top.g, top.b, top.a);
  cairo_pattern_add_color_stop_rgba(shade, 1, bottom.r, bottom.g, bottom.b, bottom.a);
  roundRect(box, radius);
  cairo_set_source(mCr, shade);
  cairo_fill(mCr);
  cairo_pattern_destroy(shade);
}

void Painter::circle(double x, double y, double radius) const
{
  cairo_new_sub_path(mCr);
  cairo_arc(mCr, x, y, radius, 0, 2 * M_PI);
}

void Painter::fillDome(double x, double y, double radius, const Colour& light, const Colour& shade) const
{
  cairo_pattern_t* dome =
      cairo_pattern_create_radial(x - radius * 0.35, y - radius * 0.45, radius * 0.1, x, y, radius * 1.05);
  cairo_pattern_add_color_stop_rgba(dome, 0, light.r, light.g, light.b, light.a);
  cairo_pattern_add_color_stop_rgba(dome, 1, shade.r, shade.g, shade.b, shade.a);
  circle(x, y, radius);
  cairo_set_source(mCr, dome);
  cairo_fill(mCr);
  cairo_pattern_destroy(dome);
}

void Painter::line(double x0, double y0, double x1, double y1, double width, const Colour& c) const
{
  cairo_move_to(mCr, x0, y0);
  cairo_line_to(mCr, x1, y1);
  cairo_set_line_width(mCr, width);
  cairo_set_line_cap(mCr, CAIRO_LINE_CAP_ROUND);
  setColour(c);
  cairo_stroke(mCr);
}

void Painter::polar(double x, double y, double radius, double degrees, double* px, double* py)
{
  const double radians = degrees * M_PI / 180.0;
  *px = x + radius * std::sin(radians);
  *py = y - radius * std::cos(radians);
}

void Painter::radialLine(double x, double y, double r0, double r1, double degrees, double width, const Colour& c) const
{
  double x0, y0, x1, y1;
  polar(x, y, r0, degrees, &x0, &y0);
  polar(x, y, r1, degrees, &x1, &y1);
  line(x0, y0, x1, y1, width, c);
}

void Painter::glow(double x, double y, double radius, const Colour& c) const
{
  cairo_pattern_t* halo = cairo_pattern_create_radial(x, y, 0, x, y, radius);
  cairo_pattern_add_color_stop_rgba(halo, 0, c.r, c.g, c.b, c.a);
  cairo_pattern_add_color_stop_rgba(halo, 1, c.r, c.g, c.b, 0);
  circle(x, y, radius);
  cairo_set_source(mCr, halo);
  cairo_fill(mCr);
  cairo_pattern_destroy(halo);
}

void Painter::useFont(const TextStyle& style) const
{
  cairo_select_font_face(mCr, art::kFont, CAIRO_FONT_SLANT_NORMAL,
                         style.bold ? CAIRO_FONT_WEIGHT_BOLD : CAIRO_FONT_WEIGHT_NORMAL);
  cairo_set_font_size(mCr, style.size);
}

double Painter::textWidth(const std::string& text, const TextStyle& style) const
{
  useFont(style);
  cairo_text_extents_t extents;
  cairo_text_extents(mCr, text.c_str(), &extents);
  return extents.x_advance + style.tracking * (text.size() > 1 ? text.size() - 1 : 0);
}

void Painter::text(const std::string& text, double x, double y, const TextStyle& style, Align align) const
{
  const double width = textWidth(text, style);
  double left = align == Align::kLeft ? x : align == Align::kCentre ? x - width / 2 : x - width;
  cairo_font_extents_t font;
  cairo_font_extents(mCr, &font);
  const double baseline = y + (font.ascent - font.descent) / 2;
  setColour(style.colour);
  if (style.tracking == 0.0)
  {
    cairo_move_to(mCr, left, baseline);
    cairo_show_text(mCr, text.c_str());
    return;
  }
  for (const char c : text)
  {
    const char glyph[2] = {c, 0};
    cairo_move_to(mCr, left, baseline);
    cairo_show_text(mCr, glyph);
    cairo_text_extents_t extents;
    cairo_text_extents(mCr, glyph, &extents);
    left += extents.x_advance + style.tracking;
  }
}
