#pragma once
// What our small windows (menus, text field, tool tips) draw on: a cairo
// image the size of the window, copied to it on Show(). cairo's own xlib
// surfaces would keep per-connection state alive after each editor's
// connection closes. Editor UI thread only.

#include "X11ScreenTransfer.h"

#include <cairo.h>

class X11Canvas
{
public:
  X11Canvas(X11Connection& connection, Window window, int width, int height);
  ~X11Canvas();
  X11Canvas(const X11Canvas&) = delete;
  X11Canvas& operator=(const X11Canvas&) = delete;

  cairo_t* Context() const { return mCr; }
  void Show();

private:
  cairo_surface_t* mSurface;
  cairo_t* mCr;
  X11ScreenTransfer mTransfer;
  int mWidth, mHeight;
};
