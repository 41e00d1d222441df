// make-artwork --icon FILE.png: draws the standalone application's icon.
// make-artwork FOLDER [--preview PREFIX]: draws every image of the editor,
// at scale 1 and 2, into FOLDER. With --preview it also composes the panel
// as a player would see it, tweak strip closed and open, into
// PREFIX-closed.png, PREFIX-closed@2x.png and PREFIX-open.png, for judging
// the look as a whole.

#include "AppIcon.h"
#include "ArtCatalogue.h"
#include "PanelArt.h"
#include "tessaryn.h"

#include <algorithm>
#include <cstring>
#include <iostream>
#include <map>

// fontconfig keeps the patterns cairo resolves fonts with for the life of the
// process; the leak checker of sanitizer builds would report them at exit.
extern "C" __attribute__((used)) const char* __lsan_default_suppressions()
{
  return "leak:libfontconfig.so\n";
}

namespace
{
// A plausible frame for each control, so the preview shows pointers,
// levers and lamps in varied positions.
int previewFrame(const PanelItem& item, int frames)
{
  if (frames < 2) return 0;
  if (frames > 4) return (item.param * 23 + 9) % frames;
  return std::max(item.param, 0) % frames;
}

bool shownInPreview(const PanelItem& item, bool open)
{
  const bool closedOnly =
      item.image && (std::string(item.image).starts_with("blind") || std::string(item.image) == "tweak_on");
  return open ? !closedOnly : !item.inTweakStrip;
}

bool writePreview(const IPlugBase& plug, const std::string& path, int scale, bool open)
{
  std::map<std::string, cairo_surface_t*> strips;
  cairo_surface_t* canvas = renderStrip(backgroundImage(plug), scale);
  cairo_t* cr = cairo_create(canvas);
  for (const PanelItem& item : panelItems())
  {
    if (!item.image || !shownInPreview(item, open)) continue;
    const ImageSpec& frameArt = *findControlImage(item.image);
    cairo_surface_t*& strip = strips[frameArt.stem];
    if (!strip) strip = renderStrip(frameArt, scale);
    const int frame = previewFrame(item, frameArt.frames);
    cairo_set_source_surface(cr, strip, item.x * scale, (item.y - frame * frameArt.height) * scale);
    cairo_rectangle(cr, item.x * scale, item.y * scale, frameArt.width * scale, frameArt.height * scale);
    cairo_fill(cr);
  }
  cairo_destroy(cr);
  for (const auto& [stem, strip] : strips)
    cairo_surface_destroy(strip);
  const bool written = cairo_surface_write_to_png(canvas, path.c_str()) == CAIRO_STATUS_SUCCESS;
  cairo_surface_destroy(canvas);
  return written;
}

bool writePreviews(const IPlugBase& plug, const std::string& prefix)
{
  return writePreview(plug, prefix + "-closed.png", 1, false) &&
         writePreview(plug, prefix + "-closed@2x.png", 2, false) && writePreview(plug, prefix + "-open.png", 1, true);
}
} // namespace

int main(int argc, char** argv)
{
  if (argc == 3 && std::strcmp(argv[1], "--icon") == 0)
  {
    if (writeAppIcon(argv[2])) return 0;
    std::cerr << argv[2] << ": the icon could not be written.\n";
    return 1;
  }
  const bool preview = argc == 4 && std::strcmp(argv[2], "--preview") == 0;
  if (argc != 2 && !preview)
  {
    std::cerr << "Usage: make-artwork FOLDER [--preview PREFIX] | make-artwork --icon FILE.png\n";
    return 2;
  }
  const std::string folder = argv[1];
  Tessaryn tessaryn{IPlugInstanceInfo{}};
  std::vector<ImageSpec> images = controlImages();
  images.push_back(backgroundImage(tessaryn));
  for (const ImageSpec& image : images)
    if (!writeStrip(image, folder))
    {
      std::cerr << folder << "/" << image.stem << ".png: the image could not be written.\n";
      return 1;
    }
  if (preview && !writePreviews(tessaryn, argv[3]))
  {
    std::cerr << argv[3] << ": the preview could not be written.\n";
    return 1;
  }
  return 0;
}
