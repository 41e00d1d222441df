#include "LICE_IBitmap.h"

#include <cairo.h>
#include <cmath>

namespace
{
int devicePixels(int logical, double scale)
{
  return logical > 0 ? int(std::ceil(logical * scale - 1e-9)) : 0;
}
} // namespace

LICE_IBitmap::LICE_IBitmap(int width, int height, double scale)
    : mSurface(cairo_image_surface_create(CAIRO_FORMAT_ARGB32, devicePixels(width, scale), devicePixels(height, scale))),
      mWidth(width > 0 ? width : 0), mHeight(height > 0 ? height : 0), mScale(scale)
{
  cairo_surface_set_device_scale(mSurface, scale, scale);
}

LICE_IBitmap::LICE_IBitmap(cairo_surface_t* surface, double scale)
    : mSurface(surface), mWidth(int(std::ceil(cairo_image_surface_get_width(surface) / scale - 1e-9))),
      mHeight(int(std::ceil(cairo_image_surface_get_height(surface) / scale - 1e-9))), mScale(scale)
{
  cairo_surface_set_device_scale(mSurface, scale, scale);
}

LICE_IBitmap::~LICE_IBitmap()
{
  delete mHighResolution;
  cairo_surface_destroy(mSurface);
}

void LICE_IBitmap::SetHighResolution(LICE_IBitmap* bitmap)
{
  delete mHighResolution;
  mHighResolution = bitmap;
}

bool LICE_IBitmap::IsValid() const
{
  return cairo_surface_status(mSurface) == CAIRO_STATUS_SUCCESS;
}

int LICE_IBitmap::GetDeviceWidth() const
{
  return cairo_image_surface_get_width(mSurface);
}

int LICE_IBitmap::GetDeviceHeight() const
{
  return cairo_image_surface_get_height(mSurface);
}

int LICE_IBitmap::GetRowSpan() const
{
  return cairo_image_surface_get_stride(mSurface);
}

unsigned int* LICE_IBitmap::GetBits()
{
  return reinterpret_cast<unsigned int*>(cairo_image_surface_get_data(mSurface));
}

void LICE_IBitmap::Flush()
{
  cairo_surface_flush(mSurface);
}

void LICE_IBitmap::MarkDirty()
{
  cairo_surface_mark_dirty(mSurface);
}
