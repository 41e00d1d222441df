#include "StandaloneWindow.h"

#include <X11/Xutil.h>

#include <cstdlib>

namespace
{
constexpr unsigned kFirstWidth = 1096;
constexpr unsigned kFirstHeight = 395;
constexpr long kEvents = KeyPressMask | KeyReleaseMask | FocusChangeMask | StructureNotifyMask;
// An auto-repeated key's release and the next press carry the same time, give or take this.
constexpr Time kRepeatSlack = 1;
char kTitle[] = "Tessaryn";
char kInstanceName[] = "tessaryn-standalone";
} // namespace

StandaloneWindow::StandaloneWindow(HostModel& host, StandaloneSynth::MidiQueue& keys) : mHost(host), mKeys(keys) {}

StandaloneWindow::~StandaloneWindow()
{
  releaseAllKeys();
  mHost.CloseEditor();
  if (mWindow) XDestroyWindow(mDisplay, mWindow);
  if (mDisplay) XCloseDisplay(mDisplay);
}

bool StandaloneWindow::open()
{
  mDisplay = XOpenDisplay(nullptr);
  if (!mDisplay)
  {
    const char* name = getenv("DISPLAY");
    mError = std::string("cannot open the display '") + (name ? name : "") +
             "'; it plays without its window (--no-gui says so without trying).";
    return false;
  }
  return createWindow();
}

bool StandaloneWindow::createWindow()
{
  mWindow = XCreateSimpleWindow(mDisplay, DefaultRootWindow(mDisplay), 0, 0, kFirstWidth, kFirstHeight, 0, 0, 0);
  XStoreName(mDisplay, mWindow, kTitle);
  XClassHint names{kInstanceName, kTitle};
  XSetClassHint(mDisplay, mWindow, &names);
  mDeleteWindow = XInternAtom(mDisplay, "WM_DELETE_WINDOW", False);
  XSetWMProtocols(mDisplay, mWindow, &mDeleteWindow, 1);
  XSelectInput(mDisplay, mWindow, kEvents);
  if (const OSStatus status = mHost.OpenEditor(mWindow, true); status != noErr)
  {
    mError = "the panel could not be opened (status " + std::to_string(status) + "); it plays without its window.";
    return false;
  }
  // The panel has one size: the window takes it and keeps it.
  const AUX11View view = mHost.Editor();
  XSizeHints* size = XAllocSizeHints();
  size->flags = PMinSize | PMaxSize;
  size->min_width = size->max_width = int(view.mWidth);
  size->min_height = size->max_height = int(view.mHeight);
  XSetWMNormalHints(mDisplay, mWindow, size);
  XFree(size);
  XResizeWindow(mDisplay, mWindow, view.mWidth, view.mHeight);
  XMapWindow(mDisplay, mWindow);
  XFlush(mDisplay);
  return true;
}

bool StandaloneWindow::serve()
{
  while (XPending(mDisplay))
  {
    XEvent event;
    XNextEvent(mDisplay, &event);
    handle(event);
  }
  mHost.IdleEditor();
  return !mClosed;
}

void StandaloneWindow::handle(const XEvent& event)
{
  switch (event.type)
  {
  case ClientMessage:
    mClosed |= Atom(event.xclient.data.l[0]) == mDeleteWindow;
    break;
  case KeyPress:
  case KeyRelease:
    handleKey(event.xkey);
    break;
  case FocusOut:
    // Releases would go elsewhere now; notes must not hang.
    if (event.xfocus.detail != NotifyInferior) releaseAllKeys();
    break;
  default:
    break;
  }
}

void StandaloneWindow::handleKey(const XKeyEvent& key)
{
  XKeyEvent copy = key;
  const uint32_t keysym = uint32_t(XLookupKeysym(&copy, 0));
  if (key.type == KeyRelease && isAutoRepeat(key)) return;
  const std::optional<MidiEvent> note = key.type == KeyPress ? mKeyboard.press(keysym) : mKeyboard.release(keysym);
  if (note) mKeys.push(*note);
}

// X repeats a held key as release-and-press pairs; the release is dropped and
// the press finds its key still held.
bool StandaloneWindow::isAutoRepeat(const XKeyEvent& release)
{
  if (!XEventsQueued(mDisplay, QueuedAfterReading)) return false;
  XEvent next;
  XPeekEvent(mDisplay, &next);
  return next.type == KeyPress && next.xkey.keycode == release.keycode && next.xkey.time - release.time <= kRepeatSlack;
}

void StandaloneWindow::releaseAllKeys()
{
  while (const std::optional<MidiEvent> note = mKeyboard.releaseAny())
    mKeys.push(*note);
}
