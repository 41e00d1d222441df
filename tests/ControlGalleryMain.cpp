// control-gallery OUT.png [SCALE]: draws the control gallery headless into a
// PNG at SCALE device pixels per pixel (1 to 4, default 1).
#include "HeadlessControlGallery.h"
#include "LICE_PNG.h"

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <unistd.h>

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
} // namespace

int main(int argc, char** argv)
{
  double scale;
  if (argc < 2 || argc > 3 || !parseScale(argc, argv, scale))
  {
    fprintf(stderr, "Usage: control-gallery OUT.png [SCALE]\nSCALE is a number from 1 to 4.\n");
    return 2;
  }
  const std::filesystem::path folder =
      std::filesystem::temp_directory_path() / ("control-gallery-" + std::to_string(getpid()));
  std::filesystem::create_directories(folder);
  if (!WriteControlGalleryBitmaps(folder.string()))
  {
    fprintf(stderr, "Could not write the gallery's bitmaps into %s.\n", folder.c_str());
    return 1;
  }

  const HeadlessControlGallery gallery(folder.string(), scale);
  const bool written = LICE_WritePNG(argv[1], gallery.mGraphics->GetDrawBitmap());
  std::filesystem::remove_all(folder);
  if (!written)
  {
    fprintf(stderr, "Could not write %s.\n", argv[1]);
    return 1;
  }
  return 0;
}
