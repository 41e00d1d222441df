#pragma once
// The window under our own dialogs (message box, built-in file dialog): its own
// X connection, a fixed size, transient for the editor and centred over it,
// drawn with cairo. The content reacts to decoded keys and clicks.
#include <X11/Xlib.h>
#include <cairo.h>

#include <string>

enum class DialogKey
{
  kNone,
  kNext,     // Tab
  kPrevious, // Shift+Tab
  kLeft,
  kRight,
  kUp,
  kDown,
  kPageUp,
  kPageDown,
  kHome,
  kEnd,
  kActivate, // Return, Enter
  kCancel,   // Escape
  kErase,    // BackSpace
  kText,     // printable characters, in `text`
};

struct DialogKeyPress
{
  DialogKey key = DialogKey::kNone;
  std::string text; // UTF-8
};

class X11DialogContent
{
public:
  virtual ~X11DialogContent() = default;
  virtual void draw(cairo_t* cr, double width, double height) = 0;
  virtual void keyPressed(const DialogKeyPress& press) = 0;
  virtual void clicked(double x, double y, bool doubleClick) = 0;
  // The window manager's close button: the dialog's cancel.
  virtual void closeRequested() = 0;
  virtual bool finished() const = 0;
};

class X11DialogWindow
{
public:
  X11DialogWindow() = default;
  ~X11DialogWindow();
  X11DialogWindow(const X11DialogWindow&) = delete;
  X11DialogWindow& operator=(const X11DialogWindow&) = delete;

  // False when there is no display.
  bool open(const std::string& title, int width, int height, unsigned long ownerWindow);
  // Dispatches events to the content until it is finished.
  void run(X11DialogContent& content);

private:
  void setWindowManagerHints(const std::string& title, int width, int height, unsigned long ownerWindow);
  void centre(int width, int height, unsigned long ownerWindow);
  void repaint(X11DialogContent& content);
  void afterInput(X11DialogContent& content);
  void dispatch(const XEvent& event, X11DialogContent& content);
  bool isDoubleClick(const XButtonEvent& press);

  Display* mDisplay = nullptr;
  Window mWindow = 0;
  cairo_surface_t* mSurface = nullptr;
  // Text is drawn off-screen: cairo's xlib backend keeps glyph state per
  // connection that it never frees, and every dialog has a connection of its own.
  cairo_surface_t* mBuffer = nullptr;
  Atom mDeleteWindow = 0;
  int mWidth = 0;
  int mHeight = 0;
  Time mLastClickTime = 0;
  int mLastClickX = -100;
  int mLastClickY = -100;
};
