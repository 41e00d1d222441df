#include "Clipboard.h"

#include "Latin1.h"

#include <X11/Xatom.h>
#include <X11/Xlib.h>

#include <chrono>
#include <climits>
#include <poll.h>

namespace
{
using Clock = std::chrono::steady_clock;

// Waits for the owner's SelectionNotify on our window; false at the deadline.
bool awaitSelectionNotify(Display* display, Window window, Clock::time_point deadline, XEvent& event)
{
  for (;;)
  {
    while (XPending(display))
    {
      XNextEvent(display, &event);
      if (event.type == SelectionNotify && event.xselection.requestor == window) return true;
    }
    const auto remaining = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()).count();
    if (remaining <= 0) return false;
    pollfd connection{ConnectionNumber(display), POLLIN, 0};
    poll(&connection, 1, static_cast<int>(remaining));
  }
}

// The converted text from our window's property. Transfers too large for one
// property (INCR) are not taken: nobody pastes that much into a value field.
bool takeProperty(Display* display, Window window, Atom property, Atom utf8, std::string& text)
{
  Atom type = None;
  int format = 0;
  unsigned long count = 0, remaining = 0;
  unsigned char* data = nullptr;
  const bool read = XGetWindowProperty(display, window, property, 0, LONG_MAX / 4, True, AnyPropertyType, &type,
                                       &format, &count, &remaining, &data) == Success;
  const bool isText = read && format == 8 && (type == utf8 || type == XA_STRING);
  if (isText) text = type == utf8 ? std::string(reinterpret_cast<char*>(data), count) : utf8FromLatin1(data, count);
  if (data) XFree(data);
  return isText;
}

class ClipboardReader
{
public:
  ClipboardReader() : mDisplay(XOpenDisplay(nullptr))
  {
    if (!mDisplay) return;
    mWindow = XCreateSimpleWindow(mDisplay, DefaultRootWindow(mDisplay), 0, 0, 1, 1, 0, 0, 0);
    mClipboard = XInternAtom(mDisplay, "CLIPBOARD", False);
    mUtf8 = XInternAtom(mDisplay, "UTF8_STRING", False);
    mProperty = XInternAtom(mDisplay, "TESSARYN_CLIPBOARD", False);
  }
  ~ClipboardReader()
  {
    if (!mDisplay) return;
    XDestroyWindow(mDisplay, mWindow);
    XCloseDisplay(mDisplay);
  }
  ClipboardReader(const ClipboardReader&) = delete;
  ClipboardReader& operator=(const ClipboardReader&) = delete;

  bool read(std::string& text, int timeoutMs)
  {
    if (!mDisplay || XGetSelectionOwner(mDisplay, mClipboard) == None) return false;
    const Clock::time_point deadline = Clock::now() + std::chrono::milliseconds(timeoutMs);
    // Owners that cannot give UTF-8 still give Latin-1.
    return convert(mUtf8, deadline, text) || convert(XA_STRING, deadline, text);
  }

private:
  bool convert(Atom target, Clock::time_point deadline, std::string& text)
  {
    XConvertSelection(mDisplay, mClipboard, target, mProperty, mWindow, CurrentTime);
    XFlush(mDisplay);
    XEvent event;
    if (!awaitSelectionNotify(mDisplay, mWindow, deadline, event) || event.xselection.property == None) return false;
    return takeProperty(mDisplay, mWindow, event.xselection.property, mUtf8, text);
  }

  Display* mDisplay;
  Window mWindow = 0;
  Atom mClipboard = None;
  Atom mUtf8 = None;
  Atom mProperty = None;
};
} // namespace

bool ReadClipboardText(std::string& text, int timeoutMs)
{
  text.clear();
  ClipboardReader reader;
  return reader.read(text, timeoutMs);
}
