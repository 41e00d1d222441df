// control-gallery OUT.png [SCALE]: draws the control gallery headless into a
// PNG at SCALE device pixels per pixel (1 to 4, default 1), with the panel's
// artwork the build draws.
#include "ControlGallery.h"
#include "LICE_PNG.h"
#include "TestGraphics.h"

#include <cstdio>
#include <cstdlib>

namespace
{
bool parseScale(int argc, char** argv, double& scale)
{
  scale = 1.0;
  if (argc < 3) return true;
  char* end = nullptr;
  scale = strtod(argv[2], &end);
  return *end == '\0' && scale >= 1.0 && scale <= 4.0;
}

bool writeGallery(const char* path, double scale)
{
  ControlGalleryPlug plug;
  auto* graphics = new TestGraphics(&plug, kControlGalleryWidth, kControlGalleryHeight, 0, ARTWORK_DIR);
  graphics->SetScale(scale);
  AttachControlGallery(*graphics);
  plug.AttachGraphics(graphics); // the plug-in owns it from here
  IRECT all(0, 0, kControlGalleryWidth, kControlGalleryHeight);
  graphics->Draw(&all);
  return LICE_WritePNG(path, graphics->GetDrawBitmap());
}
} // namespace

int main(int argc, char** argv)
{
  double scale;
  if (argc < 2 || argc > 3 || !parseScale(argc, argv, scale))
  {
    fprintf(stderr, "Usage: control-gallery OUT.png [SCALE]\nSCALE is a number from 1 to 4.\n");
    return 2;
  }
  if (!writeGallery(argv[1], scale))
  {
    fprintf(stderr, "Could not write %s.\n", argv[1]);
    return 1;
  }
  return 0;
}
