#pragma once
// One X connection per editor and the one door for its window events: each
// X event becomes a small record handed to the object that owns the window it
// was sent to (the editor, a menu, the text field). Nothing else reads XEvents.
// Used by one thread at a time: the editor's UI thread.

#include <X11/Xlib.h>

#include <string>
#include <utility>
#include <vector>

// A rectangle of device pixels.
struct X11Area
{
  int x = 0, y = 0, width = 0, height = 0;
  bool IsEmpty() const { return width <= 0 || height <= 0; }
  X11Area United(const X11Area& other) const;
  X11Area Clipped(int maxWidth, int maxHeight) const;
};

struct X11Event
{
  enum Kind
  {
    kExpose,
    kButtonDown,
    kButtonUp,
    kMotion,
    kKeyDown,
    kKeyUp,
    kEnter,
    kLeave,
    kFocusOut,
    kCloseRequest,
    kDestroyed,
    kTransferDone,
  };
  Kind kind = kExpose;
  Window window = 0;
  int x = 0, y = 0; // in the window, device pixels; the area's origin for kExpose
  int rootX = 0, rootY = 0;
  int width = 0, height = 0; // kExpose
  unsigned button = 0;
  unsigned state = 0; // X modifier and button mask
  unsigned keycode = 0;
  unsigned long keysym = 0;
  char text[8] = {}; // the characters a key types, zero-terminated
  unsigned long time = 0; // server milliseconds
};

class X11EventTarget
{
public:
  virtual void OnX11Event(const X11Event& event) = 0;

protected:
  ~X11EventTarget() = default;
};

class X11Connection
{
public:
  X11Connection(); // the display named by DISPLAY
  ~X11Connection();
  X11Connection(const X11Connection&) = delete;
  X11Connection& operator=(const X11Connection&) = delete;

  bool IsOpen() const { return mDisplay != nullptr; }
  Display* GetDisplay() const { return mDisplay; }
  Window Root() const { return DefaultRootWindow(mDisplay); }
  int ScreenWidth() const;
  int ScreenHeight() const;
  bool HasShm() const { return mShmEventBase >= 0; }

  // A window with the editor's visual. Events are delivered once Listen()ed.
  Window CreateWindow(Window parent, int x, int y, int width, int height, long eventMask, bool overrideRedirect);
  void Listen(Window window, X11EventTarget* target);
  void Forget(Window window);
  // Top-level windows: the close button sends kCloseRequest instead of killing us.
  void AcceptCloseRequests(Window window);

  // Dispatches every event already received; never waits.
  void DispatchPending();
  // Waits up to timeoutMs for events; true when some are there.
  bool WaitForEvents(int timeoutMs);
  // Sends a key press or release the editor did not take on to another window.
  void ForwardKey(const X11Event& key, Window to);

  // The root window's RESOURCE_MANAGER text (the X resources), "" without.
  std::string ResourceManager() const;

private:
  bool translate(XEvent& xEvent, X11Event& event) const;
  X11EventTarget* targetOf(Window window) const;

  Display* mDisplay = nullptr;
  Atom mProtocols = 0;
  Atom mDeleteWindow = 0;
  int mShmEventBase = -1;
  std::vector<std::pair<Window, X11EventTarget*>> mTargets;
};
