#include "ArtCatalogue.h"

namespace ca = control_art;

std::vector<ImageSpec> controlImages()
{
  return {
      {"knob", 65, 44, 44, ca::knob(false)},
      {"knob_white", 65, 44, 44, ca::knob(true)},
      {"switch", 4, 44, 38, ca::selector(false), true},
      {"switch_white", 4, 44, 38, ca::selector(true), true},
      {"switch2", 2, 16, 24, ca::slideSwitch()},
      {"switch3", 3, 16, 36, ca::slideSwitch()},
      {"button_off", 2, 34, 36, ca::button(art::kButtonGrey, false)},
      {"button_on", 2, 34, 36, ca::button(art::kButtonGrey, true)},
      {"button_white_off", 2, 34, 36, ca::button(art::kButtonWhite, false)},
      {"button_white_on", 2, 34, 36, ca::button(art::kButtonWhite, true)},
      {"button_orange_off", 2, 34, 36, ca::button(art::kButtonOrange, false)},
      {"button_orange_on", 2, 34, 36, ca::button(art::kButtonOrange, true)},
      {"led", 1, 12, 12, ca::lamp()},
      {"prev", 2, 18, 22, ca::step(true)},
      {"next", 2, 18, 22, ca::step(false)},
      {"midilearn", 2, 78, 18, ca::lampPlate("MIDI LEARN")},
      {"midiunlearn", 2, 78, 18, ca::lampPlate("MIDI UNLEARN")},
      {"tweak_off", 1, 64, 20, ca::tweakKick(true)},
      {"tweak_on", 1, 64, 20, ca::tweakKick(false)},
      // The blinds close the lower strip from the panel's edges to the
      // bottom-centre controls.
      {"blind_left", 1, 456, 85, ca::blind()},
      {"blind_right", 1, 266, 85, ca::blind()},
  };
}

const ImageSpec* findControlImage(const std::string& stem)
{
  static const std::vector<ImageSpec> images = controlImages();
  for (const ImageSpec& image : images)
    if (stem == image.stem) return &image;
  return nullptr;
}

cairo_surface_t* renderStrip(const ImageSpec& image, int scale)
{
  cairo_surface_t* surface =
      cairo_image_surface_create(CAIRO_FORMAT_ARGB32, image.width * scale, image.height * image.frames * scale);
  cairo_t* cr = cairo_create(surface);
  cairo_scale(cr, scale, scale);
  const Painter painter(cr);
  for (int frame = 0; frame < image.frames; ++frame)
  {
    cairo_save(cr);
    cairo_translate(cr, 0, frame * image.height);
    cairo_rectangle(cr, 0, 0, image.width, image.height);
    cairo_clip(cr);
    image.paint(painter, {frame, image.frames, double(image.width), double(image.height)});
    cairo_restore(cr);
  }
  cairo_destroy(cr);
  return surface;
}

bool writeStrip(const ImageSpec& image, const std::string& folder)
{
  bool written = true;
  for (const int scale : {1, 2})
  {
    cairo_surface_t* surface = renderStrip(image, scale);
    const std::string path = folder + "/" + image.stem + (scale == 2 ? "@2x" : "") + ".png";
    written = cairo_surface_write_to_png(surface, path.c_str()) == CAIRO_STATUS_SUCCESS && written;
    cairo_surface_destroy(surface);
  }
  return written;
}
