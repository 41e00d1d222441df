#pragma once
// Drives our dialogs in a private X server as a user would: waits for them to
// appear, presses keys and clicks through XTEST, reads their pixels back.
#include <X11/Xlib.h>

#include <chrono>
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

  // The next top-level window mapped, once it has the keyboard focus and shows
  // something; 0 after the timeout.
  Window waitForDialog(int timeoutMs = 10000);
  void pressKey(KeySym symbol);
  void typeText(const std::string& text);
  void click(Window window, int x, int y);
  void doubleClick(Window window, int x, int y);
  // What the close button of a window manager sends.
  void requestClose(Window window);
  // The centres of the push buttons along the dialog's foot, left to right.
  std::vector<std::pair<int, int>> buttonCentres(Window window, double scale);
  int width(Window window);
  // An unmapped top-level window, standing for the editor.
  Window createOwner(int x, int y, int width, int height);
  void destroy(Window window);
  // The window's centre on the screen.
  std::pair<int, int> centreOf(Window window);
  bool writePng(Window window, const std::string& path);

private:
  bool waitForDrawing(Window window, std::chrono::steady_clock::time_point deadline);
  XImage* capture(Window window);

  Display* mDisplay;
};

#include <future>

// The dialog's answer, once it has ended; a dialog that does not end is closed
// so the test fails instead of hanging.
template <typename Result>
Result answerOf(std::future<Result>& dialog, X11TestDriver& driver, Window window, int timeoutMs = 10000)
{
  if (dialog.wait_for(std::chrono::milliseconds(timeoutMs)) != std::future_status::ready && window)
    driver.requestClose(window);
  return dialog.get();
}
