#include "XTestDriver.h"

#include <X11/Xutil.h>
#include <X11/extensions/XTest.h>
#include <cairo.h>

#include <chrono>
#include <cstring>
#include <poll.h>
#include <set>

XTestDriver::XTestDriver() : mDisplay(XOpenDisplay(nullptr))
{
  if (!mDisplay) return;
  XSelectInput(mDisplay, DefaultRootWindow(mDisplay), SubstructureNotifyMask);
  XSync(mDisplay, False); // watching from now on, not from the next request

}

XTestDriver::~XTestDriver()
{
  if (mDisplay) XCloseDisplay(mDisplay);
}

void XTestDriver::Origin(Window window, int& rootX, int& rootY)
{
  Window child;
  XTranslateCoordinates(mDisplay, window, DefaultRootWindow(mDisplay), 0, 0, &rootX, &rootY, &child);
}

bool XTestDriver::IsMapped(Window window)
{
  XWindowAttributes attributes;
  return XGetWindowAttributes(mDisplay, window, &attributes) && attributes.map_state == IsViewable;
}

int XTestDriver::ChildCount(Window window)
{
  Window root, parent, *children = nullptr;
  unsigned count = 0;
  if (!XQueryTree(mDisplay, window, &root, &parent, &children, &count)) return 0;
  if (children) XFree(children);
  return int(count);
}

Window XTestDriver::CreateWindow(int x, int y, int width, int height)
{
  const Window window = XCreateSimpleWindow(mDisplay, DefaultRootWindow(mDisplay), x, y, unsigned(width),
                                            unsigned(height), 0, 0, 0x404040);
  XMapWindow(mDisplay, window);
  XSync(mDisplay, False);
  return window;
}

void XTestDriver::RequestClose(Window window)
{
  XEvent event{};
  event.xclient.type = ClientMessage;
  event.xclient.window = window;
  event.xclient.message_type = XInternAtom(mDisplay, "WM_PROTOCOLS", False);
  event.xclient.format = 32;
  event.xclient.data.l[0] = long(XInternAtom(mDisplay, "WM_DELETE_WINDOW", False));
  XSendEvent(mDisplay, window, False, NoEventMask, &event);
  XSync(mDisplay, False);
}

void XTestDriver::WaitForEvent(int timeoutMs)
{
  if (XPending(mDisplay) == 0)
  {
    pollfd waitFor{ConnectionNumber(mDisplay), POLLIN, 0};
    poll(&waitFor, 1, timeoutMs);
  }
  while (XPending(mDisplay) > 0)
  {
    XEvent event;
    XNextEvent(mDisplay, &event);
  }
}

Window XTestDriver::WaitForPopup(int timeoutMs)
{
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
  while (std::chrono::steady_clock::now() < deadline)
  {
    while (XPending(mDisplay) > 0)
    {
      XEvent event;
      XNextEvent(mDisplay, &event);
      if (event.type == MapNotify && event.xmap.override_redirect) return event.xmap.window;
    }
    pollfd waitFor{ConnectionNumber(mDisplay), POLLIN, 0};
    poll(&waitFor, 1, 50);
  }
  return 0;
}

void XTestDriver::MoveTo(Window window, int x, int y)
{
  int rootX, rootY;
  Origin(window, rootX, rootY);
  XTestFakeMotionEvent(mDisplay, DefaultScreen(mDisplay), rootX + x, rootY + y, CurrentTime);
  XSync(mDisplay, False);
}

void XTestDriver::Press(unsigned button)
{
  XTestFakeButtonEvent(mDisplay, button, True, CurrentTime);
  XSync(mDisplay, False);
}

void XTestDriver::Release(unsigned button)
{
  XTestFakeButtonEvent(mDisplay, button, False, CurrentTime);
  XSync(mDisplay, False);
}

void XTestDriver::Click(Window window, int x, int y, unsigned button)
{
  MoveTo(window, x, y);
  Press(button);
  Release(button);
}

void XTestDriver::Drag(Window window, int fromX, int fromY, int toX, int toY)
{
  MoveTo(window, fromX, fromY);
  Press(1);
  constexpr int kSteps = 8;
  for (int step = 1; step <= kSteps; ++step)
    MoveTo(window, fromX + (toX - fromX) * step / kSteps, fromY + (toY - fromY) * step / kSteps);
  Release(1);
}

// Read from the root window: a window that is not (yet) mapped or lies
// partly off screen would make XGetImage fail.
uint32_t XTestDriver::Pixel(Window window, int x, int y)
{
  int rootX, rootY;
  Origin(window, rootX, rootY);
  const int screen = DefaultScreen(mDisplay);
  rootX += x;
  rootY += y;
  if (rootX < 0 || rootY < 0 || rootX >= DisplayWidth(mDisplay, screen) || rootY >= DisplayHeight(mDisplay, screen))
    return 0;
  XImage* image = XGetImage(mDisplay, DefaultRootWindow(mDisplay), rootX, rootY, 1, 1, AllPlanes, ZPixmap);
  if (!image) return 0;
  const uint32_t pixel = uint32_t(XGetPixel(image, 0, 0)) & 0xffffff;
  XDestroyImage(image);
  return pixel;
}

size_t XTestDriver::Colours(Window window, int width, int height, int spacing)
{
  std::set<uint32_t> seen;
  for (int y = spacing / 2; y < height; y += spacing)
    for (int x = spacing / 2; x < width; x += spacing)
      seen.insert(Pixel(window, x, y));
  return seen.size();
}

bool XTestDriver::WriteScreenshot(const std::string& path, int x, int y, int width, int height)
{
  XImage* image = XGetImage(mDisplay, DefaultRootWindow(mDisplay), x, y, unsigned(width), unsigned(height), AllPlanes,
                            ZPixmap);
  if (!image) return false;
  cairo_surface_t* surface = cairo_image_surface_create(CAIRO_FORMAT_RGB24, width, height);
  unsigned char* data = cairo_image_surface_get_data(surface);
  const int stride = cairo_image_surface_get_stride(surface);
  for (int row = 0; row < height; ++row)
    for (int column = 0; column < width; ++column)
    {
      const uint32_t pixel = uint32_t(XGetPixel(image, column, row));
      memcpy(data + row * stride + column * 4, &pixel, 4);
    }
  cairo_surface_mark_dirty(surface);
  const bool written = cairo_surface_write_to_png(surface, path.c_str()) == CAIRO_STATUS_SUCCESS;
  cairo_surface_destroy(surface);
  XDestroyImage(image);
  return written;
}

bool XTestDriver::WriteScreenshot(const std::string& path, Window window)
{
  int x, y;
  Origin(window, x, y);
  XWindowAttributes attributes;
  XGetWindowAttributes(mDisplay, window, &attributes);
  return WriteScreenshot(path, x, y, attributes.width, attributes.height);
}

bool PumpUntil(const std::function<bool()>& done, const std::function<void()>& pump, int timeoutMs)
{
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
  while (!done())
  {
    if (std::chrono::steady_clock::now() > deadline) return done();
    pump();
  }
  return true;
}
