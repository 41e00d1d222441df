#pragma once
// Small drawing vocabulary over a cairo context, in logical pixels.

#include "ArtStyle.h"

#include <cairo.h>

#include <string>

struct Box
{
  double l, t, r, b;
  double width() const { return r - l; }
  double height() const { return b - t; }
  double centreX() const { return (l + r) / 2; }
  double centreY() const { return (t + b) / 2; }
  Box grown(double by) const { return {l - by, t - by, r + by, b + by}; }
  bool overlaps(const Box& o) const { return l < o.r && o.l < r && t < o.b && o.t < b; }
};

enum class Align
{
  kLeft,
  kCentre,
  kRight
};

struct TextStyle
{
  double size;
  bool bold;
  Colour colour;
  double tracking = 0.0; // extra space after each character
};

class Painter
{
public:
  explicit Painter(cairo_t* cr) : mCr(cr) {}
  cairo_t* cr() const { return mCr; }

  void setColour(const Colour& c) const;
  void roundRect(const Box& box, double radius) const;
  void fillRoundRect(const Box& box, double radius, const Colour& c) const;
  // Vertical gradient from top to bottom colour.
  void fillRoundRectShaded(const Box& box, double radius, const Colour& top, const Colour& bottom) const;
  void circle(double x, double y, double radius) const;
  // Radial shading lit from the upper left.
  void fillDome(double x, double y, double radius, const Colour& light, const Colour& shade) const;
  void line(double x0, double y0, double x1, double y1, double width, const Colour& c) const;
  // A point at radius from (x, y), at degrees clockwise from twelve o'clock.
  static void polar(double x, double y, double radius, double degrees, double* px, double* py);
  void radialLine(double x, double y, double r0, double r1, double degrees, double width, const Colour& c) const;
  void glow(double x, double y, double radius, const Colour& c) const;

  double textWidth(const std::string& text, const TextStyle& style) const;
  // y is the text's vertical centre.
  void text(const std::string& text, double x, double y, const TextStyle& style, Align align) const;

private:
  void useFont(const TextStyle& style) const;
  cairo_t* mCr;
};
