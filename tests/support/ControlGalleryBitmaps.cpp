// The gallery's bitmaps, drawn with cairo so that their looks are code.
#include "ControlGallery.h"

#include <cairo.h>

#include <cmath>
#include <functional>
#include <numbers>
#include <vector>

namespace
{
constexpr double kPi = std::numbers::pi;
constexpr int kKnobSize = 40;
constexpr int kKnobFrames = 65;

struct Painting
{
  const char* name;
  int width, height;
  std::function<void(cairo_t*)> paint;
};

void rgb(cairo_t* cr, int rgbHex, double alpha = 1.0)
{
  cairo_set_source_rgba(cr, ((rgbHex >> 16) & 255) / 255.0, ((rgbHex >> 8) & 255) / 255.0, (rgbHex & 255) / 255.0,
                        alpha);
}

void roundedRect(cairo_t* cr, double x, double y, double w, double h, double r)
{
  cairo_new_sub_path(cr);
  cairo_arc(cr, x + w - r, y + r, r, -kPi / 2, 0);
  cairo_arc(cr, x + w - r, y + h - r, r, 0, kPi / 2);
  cairo_arc(cr, x + r, y + h - r, r, kPi / 2, kPi);
  cairo_arc(cr, x + r, y + r, r, kPi, 3 * kPi / 2);
  cairo_close_path(cr);
}

void disk(cairo_t* cr, double cx, double cy, double r, int inner, int outer)
{
  cairo_pattern_t* shade = cairo_pattern_create_radial(cx - r / 3, cy - r / 3, 1, cx, cy, r);
  cairo_pattern_add_color_stop_rgb(shade, 0, ((inner >> 16) & 255) / 255.0, ((inner >> 8) & 255) / 255.0,
                                   (inner & 255) / 255.0);
  cairo_pattern_add_color_stop_rgb(shade, 1, ((outer >> 16) & 255) / 255.0, ((outer >> 8) & 255) / 255.0,
                                   (outer & 255) / 255.0);
  cairo_arc(cr, cx, cy, r, 0, 2 * kPi);
  cairo_set_source(cr, shade);
  cairo_fill(cr);
  cairo_pattern_destroy(shade);
}

// Clockwise from straight up, as the knobs count their angles.
void radial(cairo_t* cr, double cx, double cy, double angle, double r0, double r1)
{
  cairo_move_to(cr, cx + std::sin(angle) * r0, cy - std::cos(angle) * r0);
  cairo_line_to(cr, cx + std::sin(angle) * r1, cy - std::cos(angle) * r1);
  cairo_stroke(cr);
}

void knobFrame(cairo_t* cr, double value)
{
  const double c = kKnobSize / 2.0;
  const double angle = -0.75 * kPi + value * 1.5 * kPi;
  cairo_set_line_width(cr, 3);
  rgb(cr, 0x3a3f46);
  cairo_arc(cr, c, c, 17, -1.25 * kPi, 0.25 * kPi);
  cairo_stroke(cr);
  rgb(cr, 0xf0a030);
  cairo_arc(cr, c, c, 17, -1.25 * kPi, angle - kPi / 2);
  cairo_stroke(cr);
  disk(cr, c, c, 13, 0x6a7078, 0x262a30);
  cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
  rgb(cr, 0xffffff);
  radial(cr, c, c, angle, 3, 12);
}

void knobStrip(cairo_t* cr)
{
  for (int f = 0; f < kKnobFrames; ++f)
  {
    cairo_save(cr);
    cairo_translate(cr, 0, f * kKnobSize);
    knobFrame(cr, f / (kKnobFrames - 1.0));
    cairo_restore(cr);
  }
}

void toggleFrame(cairo_t* cr, double position, int lit)
{
  roundedRect(cr, 2, 3, 36, 18, 9);
  rgb(cr, lit);
  cairo_fill(cr);
  disk(cr, 11 + position * 18, 12, 7, 0xffffff, 0xa0a4a8);
}

// n stacked frames of size w × h painted by frame(cr, i).
std::function<void(cairo_t*)> stacked(int n, int h, std::function<void(cairo_t*, int)> frame)
{
  return [=](cairo_t* cr)
  {
    for (int i = 0; i < n; ++i)
    {
      cairo_save(cr);
      cairo_translate(cr, 0, i * h);
      frame(cr, i);
      cairo_restore(cr);
    }
  };
}

void slideSwitchFrame(cairo_t* cr, int position)
{
  roundedRect(cr, 8, 2, 8, 32, 4);
  rgb(cr, 0x15181b);
  cairo_fill(cr);
  roundedRect(cr, 3, 2 + position * 12, 18, 8, 2);
  rgb(cr, position == 1 ? 0xf0a030 : 0xd8dcdf);
  cairo_fill(cr);
}

void label(cairo_t* cr, double x, double y, const char* text, double size, bool bold = false)
{
  cairo_select_font_face(cr, "DejaVu Sans", CAIRO_FONT_SLANT_NORMAL,
                         bold ? CAIRO_FONT_WEIGHT_BOLD : CAIRO_FONT_WEIGHT_NORMAL);
  cairo_set_font_size(cr, size);
  cairo_text_extents_t extents;
  cairo_text_extents(cr, text, &extents);
  cairo_move_to(cr, x - extents.width / 2 - extents.x_bearing, y - extents.height / 2 - extents.y_bearing);
  cairo_show_text(cr, text);
}

void selectorFrame(cairo_t* cr, int lit)
{
  static const char* const kNames[] = {"Low", "Mid", "High"};
  for (int i = 0; i < 3; ++i)
  {
    roundedRect(cr, i * 32 + 1, 1, 30, 20, 4);
    rgb(cr, i == lit ? 0xf0a030 : 0x3a3f46);
    cairo_fill(cr);
    rgb(cr, i == lit ? 0x1b1d20 : 0xc8ccd0);
    label(cr, i * 32 + 16, 11, kNames[i], 10, i == lit);
  }
}

void radioFrame(cairo_t* cr, int on)
{
  cairo_set_line_width(cr, 2);
  rgb(cr, 0xc8ccd0);
  cairo_arc(cr, 9, 9, 7, 0, 2 * kPi);
  cairo_stroke(cr);
  if (!on) return;
  rgb(cr, 0x50d070);
  cairo_arc(cr, 9, 9, 4, 0, 2 * kPi);
  cairo_fill(cr);
}

void buttonFrame(cairo_t* cr, int pressed)
{
  roundedRect(cr, 1, 1, 54, 22, 5);
  rgb(cr, pressed ? 0xd04040 : 0x50565e);
  cairo_fill_preserve(cr);
  rgb(cr, pressed ? 0xff9090 : 0x8a9098);
  cairo_set_line_width(cr, 1);
  cairo_stroke(cr);
  rgb(cr, 0xffffff);
  label(cr, 28, 12 + pressed, "Kick", 11, true);
}

void lampFrame(cairo_t* cr, int on)
{
  disk(cr, 9, 9, 8, on ? 0xfff080 : 0x606468, on ? 0xc08000 : 0x202428);
}

void overlay(cairo_t* cr)
{
  roundedRect(cr, 1, 1, 88, 34, 6);
  rgb(cr, 0xffe040, 0.35);
  cairo_fill_preserve(cr);
  rgb(cr, 0xffe040);
  cairo_set_line_width(cr, 2);
  cairo_stroke(cr);
}

void faderHandle(cairo_t* cr, double w, double h)
{
  roundedRect(cr, 0.5, 0.5, w - 1, h - 1, 2);
  rgb(cr, 0xe0e4e8);
  cairo_fill_preserve(cr);
  rgb(cr, 0x30343a);
  cairo_set_line_width(cr, 1);
  cairo_stroke(cr);
  rgb(cr, 0xf0a030);
  cairo_set_line_width(cr, 2);
  if (w < h)
    radial(cr, w / 2, h / 2, 0, -h / 2 + 3, h / 2 - 3);
  else
    radial(cr, w / 2, h / 2, kPi / 2, -w / 2 + 3, w / 2 - 3);
}

void rotater(cairo_t* cr)
{
  disk(cr, 20, 20, 18, 0x8a9098, 0x30343a);
  rgb(cr, 0xff5050);
  cairo_set_line_width(cr, 4);
  cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
  radial(cr, 20, 20, 0, 6, 15);
}

void maskBase(cairo_t* cr)
{
  disk(cr, 20, 20, 19, 0x30343a, 0x15181b);
  rgb(cr, 0x80868e);
  cairo_set_line_width(cr, 1);
  for (int i = 0; i <= 10; ++i)
    radial(cr, 20, 20, (-151 + i * 30.2) * kPi / 180, 16, 19);
}

void maskGlow(cairo_t* cr)
{
  rgb(cr, 0x40a0ff, 0.9);
  cairo_arc(cr, 20, 7, 5, 0, 2 * kPi);
  cairo_fill(cr);
}

void maskTop(cairo_t* cr)
{
  disk(cr, 20, 20, 11, 0xb0b6be, 0x50565e);
  rgb(cr, 0x15181b);
  cairo_set_line_width(cr, 2);
  radial(cr, 20, 20, 0, 3, 10);
}

// Frame k (1-based) shows the character with code k + 31, up to '~'.
constexpr int kFontCharWidth = 8;
constexpr int kFontCharHeight = 14;
constexpr int kFontFrames = 95;

void fontStrip(cairo_t* cr)
{
  cairo_select_font_face(cr, "DejaVu Sans Mono", CAIRO_FONT_SLANT_NORMAL, CAIRO_FONT_WEIGHT_BOLD);
  cairo_set_font_size(cr, 12);
  rgb(cr, 0x70ff90);
  for (int f = 0; f < kFontFrames; ++f)
  {
    const char text[2] = {static_cast<char>(f + 32), 0};
    cairo_move_to(cr, 0.5, f * kFontCharHeight + 11);
    cairo_show_text(cr, text);
  }
}

void fileIcon(cairo_t* cr)
{
  rgb(cr, 0xf0c050);
  roundedRect(cr, 2, 6, 20, 15, 2);
  cairo_fill(cr);
  roundedRect(cr, 2, 3, 9, 6, 2);
  cairo_fill(cr);
}

void background(cairo_t* cr)
{
  cairo_pattern_t* shade = cairo_pattern_create_linear(0, 0, 0, kControlGalleryHeight);
  cairo_pattern_add_color_stop_rgb(shade, 0, 0.19, 0.21, 0.24);
  cairo_pattern_add_color_stop_rgb(shade, 1, 0.11, 0.12, 0.14);
  cairo_set_source(cr, shade);
  cairo_paint(cr);
  cairo_pattern_destroy(shade);
  rgb(cr, 0x101214);
  cairo_rectangle(cr, 0, 0, kControlGalleryWidth, 40);
  cairo_fill(cr);
  rgb(cr, 0xffffff, 0.08);
  for (int row = 1; row < 10; ++row)
    cairo_rectangle(cr, 8, 44 + row * 56, kControlGalleryWidth - 16, 1);
  cairo_rectangle(cr, kControlGalleryWidth / 2, 48, 1, kControlGalleryHeight - 56);
  cairo_fill(cr);
}

std::vector<Painting> paintings()
{
  const auto frames = [](int n, int h, void (*frame)(cairo_t*, int)) { return stacked(n, h, frame); };
  return {
      {"gallery_background", kControlGalleryWidth, kControlGalleryHeight, background},
      {"gallery_knob", kKnobSize, kKnobSize * kKnobFrames, knobStrip},
      {"gallery_switch2", 40, 48,
       frames(2, 24, [](cairo_t* cr, int i) { toggleFrame(cr, i, i ? 0x40b060 : 0x50565e); })},
      {"gallery_switch3", 24, 108, frames(3, 36, slideSwitchFrame)},
      {"gallery_selector", 288, 22,
       [](cairo_t* cr)
       {
         for (int i = 0; i < 3; ++i)
         {
           cairo_save(cr);
           cairo_translate(cr, i * 96, 0);
           selectorFrame(cr, i);
           cairo_restore(cr);
         }
       }},
      {"gallery_radio", 18, 36, frames(2, 18, radioFrame)},
      {"gallery_button", 56, 48, frames(2, 24, buttonFrame)},
      {"gallery_lamp", 18, 36, frames(2, 18, lampFrame)},
      {"gallery_overlay", 90, 36, overlay},
      {"gallery_fader_h", 12, 24, [](cairo_t* cr) { faderHandle(cr, 12, 24); }},
      {"gallery_fader_v", 24, 12, [](cairo_t* cr) { faderHandle(cr, 24, 12); }},
      {"gallery_rotater", 40, 40, rotater},
      {"gallery_mask_base", 40, 40, maskBase},
      {"gallery_mask", 40, 40, maskGlow},
      {"gallery_mask_top", 40, 40, maskTop},
      {"gallery_font", kFontCharWidth, kFontCharHeight * kFontFrames, fontStrip},
      {"gallery_file", 24, 24, fileIcon},
  };
}

bool writePainting(const Painting& painting, const std::string& path, int scale)
{
  cairo_surface_t* surface =
      cairo_image_surface_create(CAIRO_FORMAT_ARGB32, painting.width * scale, painting.height * scale);
  cairo_t* cr = cairo_create(surface);
  cairo_scale(cr, scale, scale);
  painting.paint(cr);
  cairo_destroy(cr);
  const bool written = cairo_surface_write_to_png(surface, path.c_str()) == CAIRO_STATUS_SUCCESS;
  cairo_surface_destroy(surface);
  return written;
}
} // namespace

bool WriteControlGalleryBitmaps(const std::string& folder)
{
  for (const Painting& painting : paintings())
  {
    const std::string base = folder + "/" + painting.name;
    if (!writePainting(painting, base + ".png", 1) || !writePainting(painting, base + "@2x.png", 2)) return false;
  }
  return true;
}
