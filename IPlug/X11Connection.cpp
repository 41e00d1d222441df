#include "X11Connection.h"

#include <X11/Xatom.h>
#include <X11/Xutil.h>
#include <X11/extensions/XShm.h>

#include <algorithm>
#include <mutex>
#include <poll.h>

X11Area X11Area::United(const X11Area& other) const
{
  if (IsEmpty()) return other;
  if (other.IsEmpty()) return *this;
  const int left = std::min(x, other.x), top = std::min(y, other.y);
  const int right = std::max(x + width, other.x + other.width);
  const int bottom = std::max(y + height, other.y + other.height);
  return {left, top, right - left, bottom - top};
}

X11Area X11Area::Clipped(int maxWidth, int maxHeight) const
{
  const int left = std::max(x, 0), top = std::max(y, 0);
  const int right = std::min(x + width, maxWidth), bottom = std::min(y + height, maxHeight);
  return {left, top, std::max(right - left, 0), std::max(bottom - top, 0)};
}

namespace
{
// A host may destroy its window, and ours inside it, at any moment: requests
// already on their way then fail. Xlib's default answer to an error is to
// end the process, so errors on our own connections are ignored here, and
// every other connection's go to the handler that was there before.
struct OwnConnections
{
  std::mutex mutex;
  std::vector<Display*> displays;
  XErrorHandler previous = nullptr;
};

OwnConnections& ownConnections()
{
  static OwnConnections connections;
  return connections;
}

int ignoreOwnErrors(Display* display, XErrorEvent* error)
{
  OwnConnections& own = ownConnections();
  std::lock_guard lock(own.mutex);
  if (std::find(own.displays.begin(), own.displays.end(), display) != own.displays.end()) return 0;
  return own.previous ? own.previous(display, error) : 0;
}

void adopt(Display* display)
{
  OwnConnections& own = ownConnections();
  std::lock_guard lock(own.mutex);
  if (own.displays.empty()) own.previous = XSetErrorHandler(ignoreOwnErrors);
  own.displays.push_back(display);
}

void release(Display* display)
{
  OwnConnections& own = ownConnections();
  std::lock_guard lock(own.mutex);
  std::erase(own.displays, display);
  if (!own.displays.empty()) return;
  // The handler before ours comes back, unless someone has replaced ours meanwhile.
  const XErrorHandler current = XSetErrorHandler(own.previous);
  if (current != ignoreOwnErrors) XSetErrorHandler(current);
}
} // namespace

X11Connection::X11Connection() : mDisplay(XOpenDisplay(nullptr))
{
  if (!mDisplay) return;
  adopt(mDisplay);
  mProtocols = XInternAtom(mDisplay, "WM_PROTOCOLS", False);
  mDeleteWindow = XInternAtom(mDisplay, "WM_DELETE_WINDOW", False);
  int major, minor;
  Bool pixmaps;
  if (XShmQueryVersion(mDisplay, &major, &minor, &pixmaps)) mShmEventBase = XShmGetEventBase(mDisplay);
}

X11Connection::~X11Connection()
{
  if (!mDisplay) return;
  XCloseDisplay(mDisplay);
  release(mDisplay);
}

int X11Connection::ScreenWidth() const
{
  return DisplayWidth(mDisplay, DefaultScreen(mDisplay));
}

int X11Connection::ScreenHeight() const
{
  return DisplayHeight(mDisplay, DefaultScreen(mDisplay));
}

Window X11Connection::CreateWindow(Window parent, int x, int y, int width, int height, long eventMask,
                                   bool overrideRedirect)
{
  const int screen = DefaultScreen(mDisplay);
  XSetWindowAttributes attributes{};
  attributes.background_pixmap = None;
  attributes.border_pixel = 0;
  attributes.colormap = DefaultColormap(mDisplay, screen);
  attributes.event_mask = eventMask;
  attributes.override_redirect = overrideRedirect;
  // A host's parent window may use another visual; naming ours explicitly keeps the copy format known.
  return XCreateWindow(mDisplay, parent, x, y, unsigned(std::max(width, 1)), unsigned(std::max(height, 1)), 0,
                       DefaultDepth(mDisplay, screen), InputOutput, DefaultVisual(mDisplay, screen),
                       CWBackPixmap | CWBorderPixel | CWColormap | CWEventMask | CWOverrideRedirect, &attributes);
}

void X11Connection::Listen(Window window, X11EventTarget* target)
{
  Forget(window);
  mTargets.emplace_back(window, target);
}

void X11Connection::Forget(Window window)
{
  std::erase_if(mTargets, [window](const auto& entry) { return entry.first == window; });
}

void X11Connection::AcceptCloseRequests(Window window)
{
  XSetWMProtocols(mDisplay, window, &mDeleteWindow, 1);
}

X11EventTarget* X11Connection::targetOf(Window window) const
{
  const auto found =
      std::find_if(mTargets.begin(), mTargets.end(), [window](const auto& entry) { return entry.first == window; });
  return found == mTargets.end() ? nullptr : found->second;
}

namespace
{
void copyPointer(X11Event& event, int x, int y, int rootX, int rootY, unsigned state, Time time)
{
  event.x = x;
  event.y = y;
  event.rootX = rootX;
  event.rootY = rootY;
  event.state = state;
  event.time = time;
}

void translateKey(XKeyEvent& key, X11Event& event)
{
  event.kind = key.type == KeyPress ? X11Event::kKeyDown : X11Event::kKeyUp;
  copyPointer(event, key.x, key.y, key.x_root, key.y_root, key.state, key.time);
  event.keycode = key.keycode;
  KeySym keysym = NoSymbol;
  const int length = XLookupString(&key, event.text, sizeof(event.text) - 1, &keysym, nullptr);
  event.text[std::clamp(length, 0, int(sizeof(event.text)) - 1)] = 0;
  event.keysym = keysym;
}
} // namespace

bool X11Connection::translate(XEvent& xEvent, X11Event& event) const
{
  event.window = xEvent.xany.window;
  switch (xEvent.type)
  {
  case Expose:
    event.kind = X11Event::kExpose;
    event.x = xEvent.xexpose.x;
    event.y = xEvent.xexpose.y;
    event.width = xEvent.xexpose.width;
    event.height = xEvent.xexpose.height;
    return true;
  case ButtonPress:
  case ButtonRelease:
  {
    const XButtonEvent& button = xEvent.xbutton;
    event.kind = xEvent.type == ButtonPress ? X11Event::kButtonDown : X11Event::kButtonUp;
    copyPointer(event, button.x, button.y, button.x_root, button.y_root, button.state, button.time);
    event.button = button.button;
    return true;
  }
  case MotionNotify:
  {
    const XMotionEvent& motion = xEvent.xmotion;
    event.kind = X11Event::kMotion;
    copyPointer(event, motion.x, motion.y, motion.x_root, motion.y_root, motion.state, motion.time);
    return true;
  }
  case EnterNotify:
  case LeaveNotify:
  {
    const XCrossingEvent& crossing = xEvent.xcrossing;
    event.kind = xEvent.type == EnterNotify ? X11Event::kEnter : X11Event::kLeave;
    copyPointer(event, crossing.x, crossing.y, crossing.x_root, crossing.y_root, crossing.state, crossing.time);
    return true;
  }
  case KeyPress:
  case KeyRelease:
    translateKey(xEvent.xkey, event);
    return true;
  case FocusOut:
    event.kind = X11Event::kFocusOut;
    // Focus moving into a child, following the pointer, or taken by a grab (our menus) is not a loss of focus.
    return xEvent.xfocus.mode == NotifyNormal && xEvent.xfocus.detail != NotifyInferior &&
           xEvent.xfocus.detail != NotifyPointer;
  case DestroyNotify:
    event.kind = X11Event::kDestroyed;
    event.window = xEvent.xdestroywindow.window;
    return xEvent.xdestroywindow.event == xEvent.xdestroywindow.window;
  case ClientMessage:
    event.kind = X11Event::kCloseRequest;
    return xEvent.xclient.message_type == mProtocols && Atom(xEvent.xclient.data.l[0]) == mDeleteWindow;
  default:
    event.kind = X11Event::kTransferDone;
    if (mShmEventBase >= 0 && xEvent.type == mShmEventBase + ShmCompletion)
    {
      event.window = reinterpret_cast<XShmCompletionEvent&>(xEvent).drawable;
      return true;
    }
    return false;
  }
}

void X11Connection::DispatchPending()
{
  while (XPending(mDisplay) > 0)
  {
    XEvent xEvent;
    XNextEvent(mDisplay, &xEvent);
    X11Event event;
    if (!translate(xEvent, event)) continue;
    if (X11EventTarget* target = targetOf(event.window)) target->OnX11Event(event);
  }
}

bool X11Connection::WaitForEvents(int timeoutMs)
{
  XFlush(mDisplay);
  if (XPending(mDisplay) > 0) return true;
  pollfd waitFor{ConnectionNumber(mDisplay), POLLIN, 0};
  return poll(&waitFor, 1, std::max(timeoutMs, 0)) > 0;
}

void X11Connection::ForwardKey(const X11Event& key, Window to)
{
  XEvent xEvent{};
  XKeyEvent& press = xEvent.xkey;
  press.type = key.kind == X11Event::kKeyUp ? KeyRelease : KeyPress;
  press.display = mDisplay;
  press.window = to;
  press.root = Root();
  press.time = key.time;
  press.x = key.x;
  press.y = key.y;
  press.x_root = key.rootX;
  press.y_root = key.rootY;
  press.state = key.state;
  press.keycode = key.keycode;
  press.same_screen = True;
  XSendEvent(mDisplay, to, True, key.kind == X11Event::kKeyUp ? KeyReleaseMask : KeyPressMask, &xEvent);
  // A host driving the editor's idle may not draw (and so flush) for a while.
  XFlush(mDisplay);
}

std::string X11Connection::ResourceManager() const
{
  char* text = XResourceManagerString(mDisplay);
  return text ? text : "";
}
