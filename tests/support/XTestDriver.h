#pragma once
// Acts as the user's mouse on a real X server, through the XTEST extension on
// a connection of its own, and reads what windows show back from the server.
// (Keys: X11TestDriver.)

#include <X11/Xlib.h>

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>

class XTestDriver
{
public:
  XTestDriver();
  ~XTestDriver();
  XTestDriver(const XTestDriver&) = delete;
  XTestDriver& operator=(const XTestDriver&) = delete;

  bool IsOpen() const { return mDisplay != nullptr; }
  Display* GetDisplay() const { return mDisplay; }

  // Positions are in the window, device pixels. Every action is synced: the
  // server has handled it when the call returns.
  void MoveTo(Window window, int x, int y);
  void Press(unsigned button);
  void Release(unsigned button);
  void Click(Window window, int x, int y, unsigned button = 1);
  void Drag(Window window, int fromX, int fromY, int toX, int toY);

  // 0xRRGGBB as the screen shows it at a point of the window.
  uint32_t Pixel(Window window, int x, int y);
  // How many colours the screen shows at the points of a grid with the given
  // spacing over the window's area: a drawn panel shows many, a blank one few.
  size_t Colours(Window window, int width, int height, int spacing);
  // The screen area (root coordinates) as a PNG file.
  bool WriteScreenshot(const std::string& path, int x, int y, int width, int height);
  // What the screen shows of the window.
  bool WriteScreenshot(const std::string& path, Window window);
  // Where the window's origin lies on the screen.
  void Origin(Window window, int& rootX, int& rootY);
  bool IsMapped(Window window);
  int ChildCount(Window window);
  // A top-level window of our own, e.g. to stand for a host's parent window.
  Window CreateWindow(int x, int y, int width, int height);
  // Asks the window to close, as a window manager's close button does.
  void RequestClose(Window window);

  // Waits up to timeoutMs for the next window (an override-redirect one:
  // a menu or tool tip) to be mapped; 0 when none is.
  Window WaitForPopup(int timeoutMs);
  // Waits up to timeoutMs for any event on this connection.
  void WaitForEvent(int timeoutMs);

private:
  Display* mDisplay;
};

// Calls pump (which may wait a little for window events) until done() or the
// timeout; the answer is done()'s last.
bool PumpUntil(const std::function<bool()>& done, const std::function<void()>& pump, int timeoutMs = 5000);
