#include "AppIcon.h"

#include "ControlArt.h"

namespace
{
constexpr int kSize = 256;
constexpr double kMargin = 8.0;
constexpr double kCorner = 36.0;
constexpr double kKnobSize = 168.0;
constexpr double kKnobTop = 22.0;
constexpr int kKnobFrames = 65;
constexpr int kKnobFrame = 44; // pointing to two o'clock, turned up
constexpr double kNameY = 220.0;
constexpr TextStyle kName{26.0, true, art::kLogo, 2.0};

void paintIcon(const Painter& p)
{
  const Box plate{kMargin, kMargin, kSize - kMargin, kSize - kMargin};
  p.fillRoundRectShaded(plate, kCorner, art::kPanelTop, art::kPanelBottom);
  p.roundRect(plate, kCorner);
  p.setColour(art::kTitle);
  cairo_set_line_width(p.cr(), 4.0);
  cairo_stroke(p.cr());
  cairo_save(p.cr());
  cairo_translate(p.cr(), (kSize - kKnobSize) / 2, kKnobTop);
  control_art::knob(true)(p, {kKnobFrame, kKnobFrames, kKnobSize, kKnobSize});
  cairo_restore(p.cr());
  p.text("TESSARYN", kSize / 2.0, kNameY, kName, Align::kCentre);
}
} // namespace

bool writeAppIcon(const std::string& path)
{
  cairo_surface_t* surface = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, kSize, kSize);
  cairo_t* cr = cairo_create(surface);
  paintIcon(Painter(cr));
  cairo_destroy(cr);
  const bool written = cairo_surface_write_to_png(surface, path.c_str()) == CAIRO_STATUS_SUCCESS;
  cairo_surface_destroy(surface);
  return written;
}
