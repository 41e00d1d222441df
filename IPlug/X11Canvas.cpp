#include "X11Canvas.h"

X11Canvas::X11Canvas(X11Connection& connection, Window window, int width, int height)
    : mSurface(cairo_image_surface_create(CAIRO_FORMAT_RGB24, width, height)), mCr(cairo_create(mSurface)),
      mTransfer(connection, window, width, height, false), mWidth(width), mHeight(height)
{
}

X11Canvas::~X11Canvas()
{
  cairo_destroy(mCr);
  cairo_surface_destroy(mSurface);
}

void X11Canvas::Show()
{
  cairo_surface_flush(mSurface);
  mTransfer.Show(cairo_image_surface_get_data(mSurface), cairo_image_surface_get_stride(mSurface),
                 {0, 0, mWidth, mHeight});
}
