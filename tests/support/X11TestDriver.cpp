#include "X11TestDriver.h"

#include "DialogLook.h"

#include <X11/Xutil.h>
#include <X11/extensions/XTest.h>
#include <cairo.h>

#include <cstring>
#include <poll.h>
#include <set>

namespace
{
// The dialogs' background, which a window also shows before it is painted.
constexpr unsigned long kBackground = 0xf0f0f0;
constexpr uint32_t kMenuFace = 0xf4f4f4;
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

Clock::time_point after(int timeoutMs)
{
  return Clock::now() + std::chrono::milliseconds(timeoutMs);
}

bool writeImage(XImage* image, const std::string& path)
{
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
} // namespace

X11TestDriver::X11TestDriver() : mDisplay(XOpenDisplay(nullptr))
{
  if (!mDisplay) return;
  XSelectInput(mDisplay, DefaultRootWindow(mDisplay), SubstructureNotifyMask);
  XSync(mDisplay, False); // watching from now on, not from the next request
}

X11TestDriver::~X11TestDriver()
{
  if (mDisplay) XCloseDisplay(mDisplay);
}

Window X11TestDriver::waitForDialog(int timeoutMs)
{
  const Clock::time_point deadline = after(timeoutMs);
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
  // The dialog paints right after taking the focus; reading its pixels until
  // they change is the only sign of that another client gets.
  while (Clock::now() < deadline)
  {
    XImage* image = capture(window);
    bool drawn = false;
    for (int y = 0; image && y < image->height; ++y)
      for (int x = 0; x < image->width; ++x)
        drawn = drawn || (XGetPixel(image, x, y) & 0xffffff) != kBackground;
    if (image) XDestroyImage(image);
    if (drawn) return window;
  }
  return 0;
}

Window X11TestDriver::waitForPopup(int timeoutMs)
{
  const Clock::time_point deadline = after(timeoutMs);
  XEvent event;
  Window popup = 0;
  while (!popup && nextEvent(mDisplay, deadline, event))
    if (event.type == MapNotify && event.xmap.override_redirect) popup = event.xmap.window;
  while (popup && pixel(popup, 2, 2) != kMenuFace && Clock::now() < deadline)
    nextEvent(mDisplay, after(20), event);
  return popup;
}

void X11TestDriver::waitForEvent(int timeoutMs)
{
  XEvent event;
  if (nextEvent(mDisplay, after(timeoutMs), event))
    while (XPending(mDisplay) > 0)
      XNextEvent(mDisplay, &event);
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
  XSync(mDisplay, False);
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

void X11TestDriver::moveTo(Window window, int x, int y)
{
  const auto [rootX, rootY] = origin(window);
  XTestFakeMotionEvent(mDisplay, DefaultScreen(mDisplay), rootX + x, rootY + y, CurrentTime);
  XSync(mDisplay, False);
}

void X11TestDriver::setButton(unsigned button, bool down)
{
  XTestFakeButtonEvent(mDisplay, button, down, CurrentTime);
  XSync(mDisplay, False);
}

void X11TestDriver::click(Window window, int x, int y, unsigned button)
{
  moveTo(window, x, y);
  setButton(button, true);
  setButton(button, false);
}

void X11TestDriver::doubleClick(Window window, int x, int y)
{
  click(window, x, y);
  click(window, x, y);
}

void X11TestDriver::drag(Window window, int fromX, int fromY, int toX, int toY)
{
  moveTo(window, fromX, fromY);
  setButton(Button1, true);
  constexpr int kSteps = 8;
  for (int step = 1; step <= kSteps; ++step)
    moveTo(window, fromX + (toX - fromX) * step / kSteps, fromY + (toY - fromY) * step / kSteps);
  setButton(Button1, false);
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
  XSync(mDisplay, False);
}

int X11TestDriver::width(Window window)
{
  XWindowAttributes attributes;
  return XGetWindowAttributes(mDisplay, window, &attributes) ? attributes.width : 0;
}

std::vector<Window> X11TestDriver::children(Window window)
{
  Window root, parent, *list = nullptr;
  unsigned count = 0;
  if (!XQueryTree(mDisplay, window, &root, &parent, &list, &count)) return {};
  const std::vector<Window> result(list, list + count);
  if (list) XFree(list);
  return result;
}

std::pair<int, int> X11TestDriver::origin(Window window)
{
  int x = 0, y = 0;
  Window child;
  XTranslateCoordinates(mDisplay, window, DefaultRootWindow(mDisplay), 0, 0, &x, &y, &child);
  return {x, y};
}

std::pair<int, int> X11TestDriver::centreOf(Window window)
{
  XWindowAttributes attributes;
  XGetWindowAttributes(mDisplay, window, &attributes);
  const auto [x, y] = origin(window);
  return {x + attributes.width / 2, y + attributes.height / 2};
}

// Read from the root window: a window that is not (yet) mapped or lies
// partly off screen would make XGetImage fail.
uint32_t X11TestDriver::pixel(Window window, int x, int y)
{
  auto [rootX, rootY] = origin(window);
  const int screen = DefaultScreen(mDisplay);
  rootX += x;
  rootY += y;
  if (rootX < 0 || rootY < 0 || rootX >= DisplayWidth(mDisplay, screen) || rootY >= DisplayHeight(mDisplay, screen))
    return 0;
  XImage* image = XGetImage(mDisplay, DefaultRootWindow(mDisplay), rootX, rootY, 1, 1, AllPlanes, ZPixmap);
  if (!image) return 0;
  const uint32_t value = uint32_t(XGetPixel(image, 0, 0)) & 0xffffff;
  XDestroyImage(image);
  return value;
}

Window X11TestDriver::createWindow(int x, int y, int width, int height, bool mapped)
{
  const Window window = XCreateSimpleWindow(mDisplay, DefaultRootWindow(mDisplay), x, y, unsigned(width),
                                            unsigned(height), 0, 0, 0x404040);
  if (mapped) XMapWindow(mDisplay, window);
  XSync(mDisplay, False);
  return window;
}

void X11TestDriver::destroy(Window window)
{
  XDestroyWindow(mDisplay, window);
  XSync(mDisplay, False);
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

size_t X11TestDriver::colours(Window window, int width, int height, int spacing)
{
  std::set<uint32_t> seen;
  for (int y = spacing / 2; y < height; y += spacing)
    for (int x = spacing / 2; x < width; x += spacing)
      seen.insert(pixel(window, x, y));
  return seen.size();
}

bool X11TestDriver::samePicture(Window a, Window b)
{
  XImage* images[2] = {capture(a), capture(b)};
  const bool same = images[0] && images[1] && images[0]->height == images[1]->height &&
                    images[0]->bytes_per_line == images[1]->bytes_per_line &&
                    memcmp(images[0]->data, images[1]->data, size_t(images[0]->height) * images[0]->bytes_per_line) == 0;
  for (XImage* image : images)
    if (image) XDestroyImage(image);
  return same;
}

bool X11TestDriver::writePng(Window window, const std::string& path)
{
  return writeImage(capture(window), path);
}

bool X11TestDriver::writeScreenOver(Window window, const std::string& path)
{
  const auto [x, y] = origin(window);
  XWindowAttributes attributes;
  if (!XGetWindowAttributes(mDisplay, window, &attributes)) return false;
  return writeImage(XGetImage(mDisplay, DefaultRootWindow(mDisplay), x, y, unsigned(attributes.width),
                              unsigned(attributes.height), AllPlanes, ZPixmap),
                    path);
}

bool pumpUntil(const std::function<bool()>& done, const std::function<void()>& pump, int timeoutMs)
{
  const Clock::time_point deadline = after(timeoutMs);
  while (!done())
  {
    if (Clock::now() > deadline) return done();
    pump();
  }
  return true;
}
