#pragma once
// The editor's open window: its X connection, the window itself (a host's
// child or a top-level window), the screen transfer, the text field and the
// tool tip. It is the one door through which the window's X events reach the
// graphics context. Lives from OpenWindow to CloseWindow, on the UI thread.

#include "IGraphicsStructs.h"
#include "X11Connection.h"
#include "X11Input.h"
#include "X11ScreenTransfer.h"
#include "X11TextField.h"
#include "X11Tooltip.h"

#include <bitset>
#include <chrono>
#include <memory>
#include <optional>
#include <string>

class IControl;
class IGraphicsLinux;
class IParam;

class X11EditorView : public X11EventTarget
{
public:
  // parent 0: a top-level window with the title, a fixed size and a close button.
  X11EditorView(IGraphicsLinux& graphics, Window parent, const std::string& title, double hostScale,
                double userScale);
  ~X11EditorView();
  X11EditorView(const X11EditorView&) = delete;
  X11EditorView& operator=(const X11EditorView&) = delete;

  bool IsOpen() const { return mWindow != 0; }
  X11Connection& Connection() { return mConnection; }
  Window GetWindow() const { return mWindow; }
  double Scale() const { return mScale; }
  // Follows the context's size.
  void Resize();
  // Copies an area of the context's draw bitmap (editor pixels) to the screen.
  void Show(const IRECT& area);
  // The screen position of an editor point.
  void RootPosition(int x, int y, int& rootX, int& rootY);

  bool HasTextEntry() const { return mTextField != nullptr; }
  void OpenTextEntry(IControl* pControl, const IText& text, const IRECT& area, const char* str, IParam* pParam);
  void EndTextEntry(bool apply);

  void HideCursor();
  void ShowCursor();
  void HideTooltip();
  // Shows the tool tip of the control under a pointer that has rested long enough.
  void CheckHover(std::chrono::steady_clock::time_point now);

  void OnX11Event(const X11Event& event) override;

private:
  void createWindow(Window parent, const std::string& title);
  void setFixedSize();
  int logical(int device) const;
  X11Area device(const IRECT& area) const;
  void showDevice(const X11Area& area);
  IMouseMod mouseMod(unsigned state, bool rightButton) const;
  void onButtonDown(const X11Event& event);
  void onButtonUp(const X11Event& event);
  void onMotion(const X11Event& event);
  void onKey(const X11Event& event);
  void onKeyUp(const X11Event& event);

  IGraphicsLinux& mGraphics;
  X11Connection mConnection;
  double mScale = 1.0;
  Window mParent = 0;
  Window mWindow = 0;
  bool mDestroyedByHost = false;
  std::unique_ptr<X11ScreenTransfer> mTransfer;
  std::unique_ptr<X11TextField> mTextField;
  IControl* mEdControl = nullptr;
  IParam* mEdParam = nullptr;
  X11Tooltip mTooltip;
  ClickCounter mClicks;
  int mPrevX = 0, mPrevY = 0; // editor pixels, for keys
  std::bitset<256> mForwardedKeys; // presses passed on to the parent, by X key code
  std::optional<std::chrono::steady_clock::time_point> mHoverSince;
  int mHoverRootX = 0, mHoverRootY = 0;
  Cursor mBlankCursor = 0;
  bool mCursorHidden = false;
  int mCursorRootX = 0, mCursorRootY = 0;
};
