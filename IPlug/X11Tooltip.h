#pragma once
// A tool tip: a small override-redirect window with one line of text near
// the pointer, kept on screen. Editor UI thread only.

#include "X11Canvas.h"
#include "X11Connection.h"

#include <memory>

#include <string>

class X11Tooltip : public X11EventTarget
{
public:
  X11Tooltip(X11Connection& connection, double scale) : mConnection(connection), mScale(scale) {}
  ~X11Tooltip() { Hide(); }
  X11Tooltip(const X11Tooltip&) = delete;
  X11Tooltip& operator=(const X11Tooltip&) = delete;

  void Show(const std::string& text, int pointerRootX, int pointerRootY);
  void Hide();
  bool IsShown() const { return mWindow != 0; }
  void OnX11Event(const X11Event& event) override;

private:
  void draw() const;

  X11Connection& mConnection;
  double mScale;
  Window mWindow = 0;
  std::unique_ptr<X11Canvas> mCanvas;
  std::string mText;
  int mWidth = 0, mHeight = 0;
};
