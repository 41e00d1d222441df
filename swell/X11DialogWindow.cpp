#include "X11DialogWindow.h"

#include "Latin1.h"

#include <X11/Xatom.h>
#include <X11/Xutil.h>
#include <X11/keysym.h>
#include <cairo-xlib.h>

#include <algorithm>
#include <cstdlib>

namespace
{
constexpr Time kDoubleClickMs = 400;
constexpr int kDoubleClickDistance = 4;

int ignoreErrors(Display*, XErrorEvent*)
{
  return 0;
}

Atom atom(Display* display, const char* name)
{
  return XInternAtom(display, name, False);
}

// The owner belongs to another connection and may be gone already; a query on a
// dead window must not reach Xlib's default handler, which ends the process.
// The handler is process-wide, so it is swapped only around these two requests.
bool ownerFrame(Display* display, Window owner, int& x, int& y, int& width, int& height)
{
  XErrorHandler previous = XSetErrorHandler(ignoreErrors);
  XWindowAttributes attributes;
  Window child;
  const bool found = XGetWindowAttributes(display, owner, &attributes) &&
                     XTranslateCoordinates(display, owner, attributes.root, 0, 0, &x, &y, &child);
  XSync(display, False);
  XSetErrorHandler(previous);
  if (!found) return false;
  width = attributes.width;
  height = attributes.height;
  return true;
}

DialogKey keyOf(KeySym symbol, unsigned int state)
{
  switch (symbol)
  {
  case XK_Tab:
    return (state & ShiftMask) ? DialogKey::kPrevious : DialogKey::kNext;
  case XK_ISO_Left_Tab:
    return DialogKey::kPrevious;
  case XK_Left:
  case XK_KP_Left:
    return DialogKey::kLeft;
  case XK_Right:
  case XK_KP_Right:
    return DialogKey::kRight;
  case XK_Up:
  case XK_KP_Up:
    return DialogKey::kUp;
  case XK_Down:
  case XK_KP_Down:
    return DialogKey::kDown;
  case XK_Page_Up:
    return DialogKey::kPageUp;
  case XK_Page_Down:
    return DialogKey::kPageDown;
  case XK_Home:
    return DialogKey::kHome;
  case XK_End:
    return DialogKey::kEnd;
  case XK_Return:
  case XK_KP_Enter:
    return DialogKey::kActivate;
  case XK_Escape:
    return DialogKey::kCancel;
  case XK_BackSpace:
    return DialogKey::kErase;
  default:
    return DialogKey::kNone;
  }
}

DialogKeyPress decodeKey(XKeyEvent& event)
{
  unsigned char buffer[16];
  KeySym symbol = NoSymbol;
  const int length = XLookupString(&event, reinterpret_cast<char*>(buffer), sizeof buffer, &symbol, nullptr);
  DialogKeyPress press{keyOf(symbol, event.state), {}};
  const bool printable = length > 0 && buffer[0] >= 0x20 && buffer[0] != 0x7f;
  if (press.key == DialogKey::kNone && printable && !(event.state & ControlMask))
  {
    press.text = utf8FromLatin1(buffer, static_cast<size_t>(length));
    if (!press.text.empty()) press.key = DialogKey::kText;
  }
  return press;
}
} // namespace

X11DialogWindow::~X11DialogWindow()
{
  if (mBuffer) cairo_surface_destroy(mBuffer);
  if (mSurface) cairo_surface_destroy(mSurface);
  if (mWindow) XDestroyWindow(mDisplay, mWindow);
  if (mDisplay) XCloseDisplay(mDisplay);
}

bool X11DialogWindow::open(const std::string& title, int width, int height, unsigned long ownerWindow)
{
  mDisplay = XOpenDisplay(nullptr);
  if (!mDisplay) return false;
  mWidth = width;
  mHeight = height;
  const int screen = DefaultScreen(mDisplay);
  XSetWindowAttributes attributes{};
  attributes.background_pixel = 0xf0f0f0;
  attributes.event_mask = ExposureMask | KeyPressMask | ButtonPressMask | StructureNotifyMask;
  mWindow = XCreateWindow(mDisplay, RootWindow(mDisplay, screen), 0, 0, width, height, 0, CopyFromParent,
                          InputOutput, CopyFromParent, CWBackPixel | CWEventMask, &attributes);
  setWindowManagerHints(title, width, height, ownerWindow);
  centre(width, height, ownerWindow);
  mSurface = cairo_xlib_surface_create(mDisplay, mWindow, DefaultVisual(mDisplay, screen), width, height);
  mBuffer = cairo_image_surface_create(CAIRO_FORMAT_RGB24, width, height);
  XMapRaised(mDisplay, mWindow);
  return true;
}

void X11DialogWindow::setWindowManagerHints(const std::string& title, int width, int height,
                                            unsigned long ownerWindow)
{
  XStoreName(mDisplay, mWindow, title.c_str());
  XChangeProperty(mDisplay, mWindow, atom(mDisplay, "_NET_WM_NAME"), atom(mDisplay, "UTF8_STRING"), 8,
                  PropModeReplace, reinterpret_cast<const unsigned char*>(title.data()),
                  static_cast<int>(title.size()));
  if (ownerWindow) XSetTransientForHint(mDisplay, mWindow, ownerWindow);
  Atom type = atom(mDisplay, "_NET_WM_WINDOW_TYPE_DIALOG");
  XChangeProperty(mDisplay, mWindow, atom(mDisplay, "_NET_WM_WINDOW_TYPE"), XA_ATOM, 32, PropModeReplace,
                  reinterpret_cast<unsigned char*>(&type), 1);
  Atom modal = atom(mDisplay, "_NET_WM_STATE_MODAL");
  XChangeProperty(mDisplay, mWindow, atom(mDisplay, "_NET_WM_STATE"), XA_ATOM, 32, PropModeReplace,
                  reinterpret_cast<unsigned char*>(&modal), 1);
  mDeleteWindow = atom(mDisplay, "WM_DELETE_WINDOW");
  XSetWMProtocols(mDisplay, mWindow, &mDeleteWindow, 1);
  XSizeHints* size = XAllocSizeHints();
  size->flags = PMinSize | PMaxSize | PPosition;
  size->min_width = size->max_width = width;
  size->min_height = size->max_height = height;
  XSetWMNormalHints(mDisplay, mWindow, size);
  XFree(size);
}

void X11DialogWindow::centre(int width, int height, unsigned long ownerWindow)
{
  const int screen = DefaultScreen(mDisplay);
  int x = 0, y = 0;
  int areaWidth = DisplayWidth(mDisplay, screen), areaHeight = DisplayHeight(mDisplay, screen);
  if (ownerWindow && !ownerFrame(mDisplay, ownerWindow, x, y, areaWidth, areaHeight)) x = y = 0;
  x += (areaWidth - width) / 2;
  y += (areaHeight - height) / 2;
  XMoveWindow(mDisplay, mWindow, std::max(0, x), std::max(0, y));
}

void X11DialogWindow::run(X11DialogContent& content)
{
  while (!content.finished())
  {
    XEvent event;
    // XNextEvent only returns once an event arrives; a lost server ends the
    // process through Xlib's I/O error handler, so there is nothing to add here.
    XNextEvent(mDisplay, &event);
    dispatch(event, content);
  }
}

void X11DialogWindow::dispatch(const XEvent& event, X11DialogContent& content)
{
  switch (event.type)
  {
  case MapNotify:
    XSetInputFocus(mDisplay, mWindow, RevertToParent, CurrentTime);
    break;
  case Expose:
    if (event.xexpose.count == 0) repaint(content);
    break;
  case KeyPress:
  {
    XKeyEvent key = event.xkey;
    content.keyPressed(decodeKey(key));
    afterInput(content);
    break;
  }
  case ButtonPress:
    if (event.xbutton.button != Button1) break;
    content.clicked(event.xbutton.x, event.xbutton.y, isDoubleClick(event.xbutton));
    afterInput(content);
    break;
  case ClientMessage:
    if (static_cast<Atom>(event.xclient.data.l[0]) == mDeleteWindow) content.closeRequested();
    break;
  default:
    break;
  }
}

// A question the content asked on the way (replace a file?) had the focus and
// leaves it at the root when it closes.
void X11DialogWindow::afterInput(X11DialogContent& content)
{
  if (content.finished()) return;
  XSetInputFocus(mDisplay, mWindow, RevertToParent, CurrentTime);
  repaint(content);
}

// X reports single presses only; two close in time and place make a double click.
bool X11DialogWindow::isDoubleClick(const XButtonEvent& press)
{
  const bool isDouble = press.time - mLastClickTime <= kDoubleClickMs &&
                        std::abs(press.x - mLastClickX) <= kDoubleClickDistance &&
                        std::abs(press.y - mLastClickY) <= kDoubleClickDistance;
  mLastClickTime = isDouble ? 0 : press.time;
  mLastClickX = press.x;
  mLastClickY = press.y;
  return isDouble;
}

void X11DialogWindow::repaint(X11DialogContent& content)
{
  if (content.finished()) return;
  cairo_t* buffer = cairo_create(mBuffer);
  content.draw(buffer, mWidth, mHeight);
  cairo_destroy(buffer);
  cairo_t* cr = cairo_create(mSurface);
  cairo_set_source_surface(cr, mBuffer, 0, 0);
  cairo_paint(cr);
  cairo_destroy(cr);
  cairo_surface_flush(mSurface);
  XFlush(mDisplay);
}
