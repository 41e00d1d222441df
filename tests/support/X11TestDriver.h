#pragma once
// Acts as the user on a private X server, through XTEST on a connection of its
// own: waits for windows to appear, presses keys, clicks and drags, and reads
// what the windows show back from the server. Every action is synced: the
// server has handled it when the call returns.
#include <X11/Xlib.h>

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <future>
#include <string>
#include <utility>
#include <vector>

class X11TestDriver
{
public:
  X11TestDriver();
  ~X11TestDriver();
  X11TestDriver(const X11TestDriver&) = delete;
  X11TestDriver& operator=(const X11TestDriver&) = delete;

  bool isOpen() const { return mDisplay != nullptr; }
  Display* display() const { return mDisplay; }

  // The next top-level window mapped, once it has the keyboard focus and shows
  // something; 0 after the timeout.
  Window waitForDialog(int timeoutMs = 10000);
  // The next override-redirect window (a menu) mapped, once it has painted
  // its face: it takes the keyboard before that, so keys pressed from then on
  // reach it. 0 after the timeout.
  Window waitForPopup(int timeoutMs);
  // Waits up to timeoutMs for any event on this connection.
  void waitForEvent(int timeoutMs);

  void pressKey(KeySym symbol);
  void typeText(const std::string& text);
  // Positions are in the window, device pixels.
  void click(Window window, int x, int y, unsigned button = Button1);
  void doubleClick(Window window, int x, int y);
  void drag(Window window, int fromX, int fromY, int toX, int toY);
  // What the close button of a window manager sends.
  void requestClose(Window window);

  // The centres of the push buttons along the dialog's foot, left to right.
  std::vector<std::pair<int, int>> buttonCentres(Window window, double scale);
  int width(Window window);
  std::vector<Window> children(Window window);
  int childCount(Window window) { return int(children(window).size()); }
  // Where the window's origin lies on the screen, and its centre.
  std::pair<int, int> origin(Window window);
  std::pair<int, int> centreOf(Window window);
  // 0xRRGGBB as the screen shows it at a point of the window.
  uint32_t pixel(Window window, int x, int y);
  // How many colours the screen shows at the points of a grid with the given
  // spacing over the window's area: a drawn panel shows many, a blank one few.
  size_t colours(Window window, int width, int height, int spacing);
  // Both windows show the same pixels.
  bool samePicture(Window a, Window b);

  // A top-level window of our own, standing for a host's or editor's window.
  Window createWindow(int x, int y, int width, int height, bool mapped);
  void destroy(Window window);

  // The window's own pixels as a PNG file.
  bool writePng(Window window, const std::string& path);
  // What the screen shows over the window, windows above it included.
  bool writeScreenOver(Window window, const std::string& path);

private:
  void moveTo(Window window, int x, int y);
  void setButton(unsigned button, bool down);
  XImage* capture(Window window);

  Display* mDisplay;
};

// Calls pump (which may wait a little for window events) until done() or the
// timeout; the answer is done()'s last.
bool pumpUntil(const std::function<bool()>& done, const std::function<void()>& pump, int timeoutMs = 5000);

// The dialog's answer, once it has ended; a dialog that does not end is closed
// so the test fails instead of hanging.
template <typename Result>
Result answerOf(std::future<Result>& dialog, X11TestDriver& driver, Window window, int timeoutMs = 10000)
{
  if (dialog.wait_for(std::chrono::milliseconds(timeoutMs)) != std::future_status::ready && window)
    driver.requestClose(window);
  return dialog.get();
}
