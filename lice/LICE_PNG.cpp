#include "LICE_PNG.h"

#include "LICE_IBitmap.h"

#include <cairo.h>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <png.h>

namespace
{
// Larger images are certainly not editor artwork; refusing them keeps a
// damaged header from asking for gigabytes.
constexpr png_uint_32 kMaxSide = 16384;
constexpr size_t kMaxPixels = size_t(1) << 25;

struct MemoryInput
{
  const unsigned char* data;
  size_t size;
  size_t pos;
};

// libpng's default handlers print; a damaged image here is a value, not a message.
void onError(png_structp png, png_const_charp)
{
  png_longjmp(png, 1);
}

void onWarning(png_structp, png_const_charp) {}

void readFromMemory(png_structp png, png_bytep out, png_size_t length)
{
  auto* input = static_cast<MemoryInput*>(png_get_io_ptr(png));
  if (length > input->size - input->pos) png_error(png, "read past the end");
  memcpy(out, input->data + input->pos, length);
  input->pos += length;
}

// Every colour type comes out as 8-bit B, G, R, A bytes: a native 0xAARRGGBB
// word on the little-endian machines this runs on. True when there is alpha.
bool setTransformations(png_structp png, png_infop info)
{
  png_uint_32 width, height;
  int bitDepth, colorType;
  png_get_IHDR(png, info, &width, &height, &bitDepth, &colorType, nullptr, nullptr, nullptr);
  if (width > kMaxSide || height > kMaxSide || size_t(width) * height > kMaxPixels) png_error(png, "image too large");
  png_set_strip_16(png);
  if (colorType == PNG_COLOR_TYPE_PALETTE) png_set_palette_to_rgb(png);
  if (colorType == PNG_COLOR_TYPE_GRAY && bitDepth < 8) png_set_expand_gray_1_2_4_to_8(png);
  const bool hasTransparency = png_get_valid(png, info, PNG_INFO_tRNS);
  if (hasTransparency) png_set_tRNS_to_alpha(png);
  if (!(colorType & PNG_COLOR_MASK_COLOR)) png_set_gray_to_rgb(png);
  png_set_packing(png);
  const bool hasAlpha = (colorType & PNG_COLOR_MASK_ALPHA) || hasTransparency;
  if (!hasAlpha) png_set_filler(png, 0xff, PNG_FILLER_AFTER);
  png_set_bgr(png);
  png_read_update_info(png, info);
  if (png_get_rowbytes(png, info) != size_t(width) * 4) png_error(png, "unexpected row layout");
  return hasAlpha;
}

// cairo wants colours scaled by alpha; opaque images are already.
void premultiply(cairo_surface_t* surface)
{
  unsigned char* data = cairo_image_surface_get_data(surface);
  const int width = cairo_image_surface_get_width(surface);
  const int height = cairo_image_surface_get_height(surface);
  const int stride = cairo_image_surface_get_stride(surface);
  for (int y = 0; y < height; ++y)
  {
    auto* row = reinterpret_cast<uint32_t*>(data + size_t(y) * stride);
    for (int x = 0; x < width; ++x)
    {
      const uint32_t p = row[x];
      const uint32_t a = p >> 24;
      if (a == 255) continue;
      const auto scale = [a](uint32_t c) { return (c * a + 127) / 255; };
      row[x] = a << 24 | scale(p >> 16 & 0xff) << 16 | scale(p >> 8 & 0xff) << 8 | scale(p & 0xff);
    }
  }
}

// The input is set up by the caller's function so both sources share one
// long-jump frame; nothing with a destructor lives across the jump. Rows are
// decoded straight into the surface.
LICE_IBitmap* decode(void (*setInput)(png_structp, void*), void* input, double scale)
{
  png_structp png = png_create_read_struct(PNG_LIBPNG_VER_STRING, nullptr, onError, onWarning);
  if (!png) return nullptr;
  png_infop info = png_create_info_struct(png);
  cairo_surface_t* volatile surface = nullptr;
  png_bytep* volatile rows = nullptr;
  if (!info || setjmp(png_jmpbuf(png)))
  {
    if (surface) cairo_surface_destroy(surface);
    free(rows);
    png_destroy_read_struct(&png, info ? &info : nullptr, nullptr);
    return nullptr;
  }
  png_set_user_limits(png, kMaxSide, kMaxSide);
  setInput(png, input);
  png_read_info(png, info);
  const bool hasAlpha = setTransformations(png, info);
  const int width = int(png_get_image_width(png, info));
  const int height = int(png_get_image_height(png, info));
  surface = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, width, height);
  rows = static_cast<png_bytep*>(malloc(sizeof(png_bytep) * height));
  if (cairo_surface_status(surface) != CAIRO_STATUS_SUCCESS || !rows) png_error(png, "out of memory");
  unsigned char* data = cairo_image_surface_get_data(surface);
  for (int y = 0; y < height; ++y) rows[y] = data + size_t(y) * cairo_image_surface_get_stride(surface);
  png_read_image(png, rows);
  png_destroy_read_struct(&png, &info, nullptr);
  free(rows);
  if (hasAlpha) premultiply(surface);
  cairo_surface_mark_dirty(surface);
  return new LICE_IBitmap(surface, scale);
}
} // namespace

LICE_IBitmap* LICE_LoadPNG(const char* filename, double scale)
{
  if (!filename) return nullptr;
  FILE* file = fopen(filename, "rb");
  if (!file) return nullptr;
  png_byte signature[8];
  LICE_IBitmap* bitmap = nullptr;
  if (fread(signature, 1, sizeof signature, file) == sizeof signature && !png_sig_cmp(signature, 0, sizeof signature))
  {
    rewind(file);
    bitmap = decode([](png_structp png, void* f) { png_init_io(png, static_cast<FILE*>(f)); }, file, scale);
  }
  fclose(file);
  return bitmap;
}

LICE_IBitmap* LICE_LoadPNGFromMemory(const void* data, size_t size, double scale)
{
  if (!data || size < 8 || png_sig_cmp(static_cast<png_const_bytep>(data), 0, 8)) return nullptr;
  MemoryInput input{static_cast<const unsigned char*>(data), size, 0};
  return decode([](png_structp png, void* in) { png_set_read_fn(png, in, readFromMemory); }, &input, scale);
}

bool LICE_WritePNG(const char* filename, LICE_IBitmap* bitmap)
{
  if (!filename || !bitmap || !bitmap->IsValid()) return false;
  bitmap->Flush();
  return cairo_surface_write_to_png(bitmap->GetSurface(), filename) == CAIRO_STATUS_SUCCESS;
}
