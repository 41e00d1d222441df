#include "PngFiles.h"

#include "LICE_IBitmap.h"

#include <cairo.h>
#include <cstdio>
#include <png.h>

bool writePng(const std::string& path, const PngImage& image)
{
  FILE* file = fopen(path.c_str(), "wb");
  if (!file) return false;
  png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
  png_infop info = png_create_info_struct(png);
  if (setjmp(png_jmpbuf(png)))
  {
    png_destroy_write_struct(&png, &info);
    fclose(file);
    return false;
  }
  png_init_io(png, file);
  png_set_IHDR(png, info, image.width, image.height, image.bitDepth, image.colorType, PNG_INTERLACE_NONE,
               PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
  if (!image.palette.empty())
    png_set_PLTE(png, info, reinterpret_cast<png_const_colorp>(image.palette.data()), int(image.palette.size() / 3));
  if (!image.transparency.empty())
    png_set_tRNS(png, info, image.transparency.data(), int(image.transparency.size()), nullptr);
  png_write_info(png, info);
  const size_t rowBytes = image.rows.size() / image.height;
  for (int y = 0; y < image.height; ++y) png_write_row(png, image.rows.data() + y * rowBytes);
  png_write_end(png, nullptr);
  png_destroy_write_struct(&png, &info);
  fclose(file);
  return true;
}

void paintRect(LICE_IBitmap* bitmap, int x, int y, int w, int h, unsigned argb)
{
  cairo_t* cr = cairo_create(bitmap->GetSurface());
  cairo_set_operator(cr, CAIRO_OPERATOR_SOURCE);
  cairo_set_source_rgba(cr, (argb >> 16 & 0xff) / 255.0, (argb >> 8 & 0xff) / 255.0, (argb & 0xff) / 255.0,
                        (argb >> 24) / 255.0);
  cairo_rectangle(cr, x, y, w, h);
  cairo_fill(cr);
  cairo_destroy(cr);
}
