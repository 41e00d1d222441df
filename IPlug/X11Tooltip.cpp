#include "X11Tooltip.h"

#include <algorithm>
#include <cmath>

namespace
{
constexpr double kFontSize = 12.0;
constexpr double kPadding = 4.0;
constexpr int kPointerOffsetX = 12, kPointerOffsetY = 20; // clear of the pointer's shape

void setFont(cairo_t* cr, double scale)
{
  cairo_select_font_face(cr, "sans-serif", CAIRO_FONT_SLANT_NORMAL, CAIRO_FONT_WEIGHT_NORMAL);
  cairo_set_font_size(cr, kFontSize * scale);
}
} // namespace

void X11Tooltip::Show(const std::string& text, int pointerRootX, int pointerRootY)
{
  Hide();
  mText = text;
  cairo_surface_t* measureSurface = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, 1, 1);
  cairo_t* measure = cairo_create(measureSurface);
  setFont(measure, mScale);
  cairo_text_extents_t extents;
  cairo_text_extents(measure, text.c_str(), &extents);
  cairo_font_extents_t font;
  cairo_font_extents(measure, &font);
  cairo_destroy(measure);
  cairo_surface_destroy(measureSurface);

  mWidth = int(std::ceil(extents.x_advance + 2 * kPadding * mScale));
  mHeight = int(std::ceil(font.height + 2 * kPadding * mScale));
  int x = pointerRootX + int(kPointerOffsetX * mScale), y = pointerRootY + int(kPointerOffsetY * mScale);
  x = std::clamp(x, 0, std::max(mConnection.ScreenWidth() - mWidth, 0));
  if (y + mHeight > mConnection.ScreenHeight()) y = pointerRootY - mHeight - int(kPadding * mScale);
  mWindow = mConnection.CreateWindow(mConnection.Root(), x, std::max(y, 0), mWidth, mHeight, ExposureMask, true);
  mCanvas = std::make_unique<X11Canvas>(mConnection, mWindow, mWidth, mHeight);
  mConnection.Listen(mWindow, this);
  XMapRaised(mConnection.GetDisplay(), mWindow);
}

void X11Tooltip::Hide()
{
  if (!mWindow) return;
  mCanvas.reset();
  mConnection.Forget(mWindow);
  XDestroyWindow(mConnection.GetDisplay(), mWindow);
  mWindow = 0;
}

void X11Tooltip::OnX11Event(const X11Event& event)
{
  if (event.kind == X11Event::kExpose && event.window == mWindow) draw();
}

void X11Tooltip::draw() const
{
  cairo_t* cr = mCanvas->Context();
  setFont(cr, mScale);
  cairo_set_source_rgb(cr, 1.0, 1.0, 0.88);
  cairo_paint(cr);
  cairo_set_source_rgb(cr, 0.45, 0.45, 0.4);
  cairo_set_line_width(cr, 1.0);
  cairo_rectangle(cr, 0.5, 0.5, mWidth - 1.0, mHeight - 1.0);
  cairo_stroke(cr);
  cairo_font_extents_t font;
  cairo_font_extents(cr, &font);
  cairo_set_source_rgb(cr, 0.1, 0.1, 0.1);
  cairo_move_to(cr, kPadding * mScale, kPadding * mScale + font.ascent);
  cairo_show_text(cr, mText.c_str());
  mCanvas->Show();
}
