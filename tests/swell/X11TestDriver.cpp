#include "X11TestDriver.h"

#include "DialogLook.h"

#include <X11/Xatom.h>
#include <X11/Xutil.h>
#include <X11/extensions/XTest.h>
#include <cairo.h>

#include <chrono>
#include <poll.h>

namespace
{
// The dialogs' background, which a window also shows before it is painted.
constexpr unsigned long kBackground = 0xf0f0f0;
using Clock = std::chrono::steady_clock;

bool nextEvent(Display* display, Clock::time_point deadline, XEvent& event)
{
  while (!XPending(display))
  {
    const auto remaining = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()).count();
    if (remaining <= 0) return false;
    pollfd connection{ConnectionNumber(display), POLLIN, 0};
    poll(&connection, 1, static_cast<int>(remaining));
  }
  XNextEvent(display, &event);
  return true;
}

bool showsSomething(XImage* image)
{
  for (int y = 0; y < image->height; ++y)
    for (int x = 0; x < image->width; ++x)
      if ((XGetPixel(image, x, y) & 0xffffff) != kBackground) return true;
  return false;
}
} // namespace

X11TestDriver::X11TestDriver() : mDisplay(XOpenDisplay(nullptr))
{
  XSelectInput(mDisplay, DefaultRootWindow(mDisplay), SubstructureNotifyMask);
  XSync(mDisplay, False);
}

X11TestDriver::~X11TestDriver()
{
  XCloseDisplay(mDisplay);
}

Window X11TestDriver::waitForDialog(int timeoutMs)
{
  const Clock::time_point deadline = Clock::now() + std::chrono::milliseconds(timeoutMs);
  XEvent event;
  do
    if (!nextEvent(mDisplay, deadline, event)) return 0;
  while (event.type != MapNotify);
  const Window window = event.xmap.window;
  XSelectInput(mDisplay, window, FocusChangeMask);
  Window focus;
  int revert;
  XGetInputFocus(mDisplay, &focus, &revert);
  while (focus != window)
  {
    if (!nextEvent(mDisplay, deadline, event)) return 0;
    if (event.type == FocusIn && event.xfocus.window == window) focus = window;
  }
  return waitForDrawing(window, deadline) ? window : 0;
}

// The dialog paints right after taking the focus; reading its pixels until they
// change is the only sign of that another client gets.
bool X11TestDriver::waitForDrawing(Window window, Clock::time_point deadline)
{
  while (Clock::now() < deadline)
  {
    XImage* image = capture(window);
    const bool drawn = image && showsSomething(image);
    if (image) XDestroyImage(image);
    if (drawn) return true;
  }
  return false;
}

XImage* X11TestDriver::capture(Window window)
{
  XWindowAttributes attributes;
  if (!XGetWindowAttributes(mDisplay, window, &attributes)) return nullptr;
  return XGetImage(mDisplay, window, 0, 0, attributes.width, attributes.height, AllPlanes, ZPixmap);
}

void X11TestDriver::pressKey(KeySym symbol)
{
  const KeyCode code = XKeysymToKeycode(mDisplay, symbol);
  XTestFakeKeyEvent(mDisplay, code, True, CurrentTime);
  XTestFakeKeyEvent(mDisplay, code, False, CurrentTime);
  XFlush(mDisplay);
}

// Characters that need no Shift on a US keyboard: lower case, digits, '.', '/', '-'.
void X11TestDriver::typeText(const std::string& text)
{
  for (char c : text)
  {
    const char name[2] = {c, 0};
    const KeySym symbol = c == '.'   ? XK_period
                          : c == '/' ? XK_slash
                          : c == '-' ? XK_minus
                          : c == ' ' ? XK_space
                                     : XStringToKeysym(name);
    pressKey(symbol);
  }
}

void X11TestDriver::click(Window window, int x, int y)
{
  int rootX, rootY;
  Window child;
  XTranslateCoordinates(mDisplay, window, DefaultRootWindow(mDisplay), x, y, &rootX, &rootY, &child);
  XTestFakeMotionEvent(mDisplay, DefaultScreen(mDisplay), rootX, rootY, CurrentTime);
  XTestFakeButtonEvent(mDisplay, Button1, True, CurrentTime);
  XTestFakeButtonEvent(mDisplay, Button1, False, CurrentTime);
  XFlush(mDisplay);
}

void X11TestDriver::doubleClick(Window window, int x, int y)
{
  click(window, x, y);
  click(window, x, y);
}

void X11TestDriver::requestClose(Window window)
{
  XEvent event{};
  event.xclient.type = ClientMessage;
  event.xclient.window = window;
  event.xclient.message_type = XInternAtom(mDisplay, "WM_PROTOCOLS", False);
  event.xclient.format = 32;
  event.xclient.data.l[0] = static_cast<long>(XInternAtom(mDisplay, "WM_DELETE_WINDOW", False));
  event.xclient.data.l[1] = CurrentTime;
  XSendEvent(mDisplay, window, False, NoEventMask, &event);
  XFlush(mDisplay);
}

int X11TestDriver::width(Window window)
{
  XWindowAttributes attributes;
  return XGetWindowAttributes(mDisplay, window, &attributes) ? attributes.width : 0;
}

Window X11TestDriver::createOwner(int x, int y, int width, int height)
{
  const Window owner = XCreateSimpleWindow(mDisplay, DefaultRootWindow(mDisplay), x, y, width, height, 0, 0, 0);
  XSync(mDisplay, False);
  return owner;
}

void X11TestDriver::destroy(Window window)
{
  XDestroyWindow(mDisplay, window);
  XSync(mDisplay, False);
}

std::pair<int, int> X11TestDriver::centreOf(Window window)
{
  XWindowAttributes attributes;
  XGetWindowAttributes(mDisplay, window, &attributes);
  int x, y;
  Window child;
  XTranslateCoordinates(mDisplay, window, attributes.root, 0, 0, &x, &y, &child);
  return {x + attributes.width / 2, y + attributes.height / 2};
}

std::vector<std::pair<int, int>> X11TestDriver::buttonCentres(Window window, double scale)
{
  std::vector<std::pair<int, int>> spans;
  XImage* image = capture(window);
  if (!image) return spans;
  const int y = image->height - static_cast<int>((dialogLook::kPadding + dialogLook::kButtonHeight / 2) * scale);
  // A button is a run wider than a focus ring's edge.
  const int minimumWidth = static_cast<int>(20 * scale);
  for (int x = 0, begin = -1; x <= image->width; ++x)
  {
    const bool inButton = x < image->width && (XGetPixel(image, x, y) & 0xffffff) != kBackground;
    if (inButton && begin < 0) begin = x;
    if (inButton || begin < 0) continue;
    if (x - begin >= minimumWidth) spans.emplace_back((begin + x) / 2, y);
    begin = -1;
  }
  XDestroyImage(image);
  return spans;
}

bool X11TestDriver::writePng(Window window, const std::string& path)
{
  XImage* image = capture(window);
  if (!image) return false;
  cairo_surface_t* surface = cairo_image_surface_create(CAIRO_FORMAT_RGB24, image->width, image->height);
  auto* pixels = reinterpret_cast<uint32_t*>(cairo_image_surface_get_data(surface));
  const int stride = cairo_image_surface_get_stride(surface) / 4;
  for (int y = 0; y < image->height; ++y)
    for (int x = 0; x < image->width; ++x)
      pixels[y * stride + x] = XGetPixel(image, x, y) & 0xffffff;
  cairo_surface_mark_dirty(surface);
  const bool written = cairo_surface_write_to_png(surface, path.c_str()) == CAIRO_STATUS_SUCCESS;
  cairo_surface_destroy(surface);
  XDestroyImage(image);
  return written;
}
