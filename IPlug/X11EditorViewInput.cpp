// The editor window's event door: X events become the graphics context's calls.
#include "IGraphicsLinux.h"
#include "X11EditorView.h"

namespace
{
constexpr unsigned kWheelUp = 4, kWheelDown = 5;
constexpr unsigned kDragButtons = Button1Mask | Button3Mask;
} // namespace

// Left-button events carry the Super key where a Mac's carry Command, Alt
// where they carry Option; right-button events say only which button it was.
IMouseMod X11EditorView::mouseMod(unsigned state, bool rightButton) const
{
  const bool shift = state & ShiftMask, control = state & ControlMask, alt = state & Mod1Mask;
  if (rightButton) return IMouseMod(false, true, shift, control, alt);
  return IMouseMod(true, state & Mod4Mask, shift, control, alt);
}

void X11EditorView::OnX11Event(const X11Event& event)
{
  const bool modal = mGraphics.mModalDepth > 0;
  switch (event.kind)
  {
  case X11Event::kExpose: return showDevice({event.x, event.y, event.width, event.height});
  case X11Event::kTransferDone: return mTransfer->OnTransferDone();
  case X11Event::kCloseRequest: return mGraphics.onWindowGone();
  case X11Event::kDestroyed:
    mDestroyedByHost = true;
    return mGraphics.onWindowGone();
  default: break;
  }
  // While a menu or dialog is open, or once the window is gone, the editor takes no input.
  if (modal || mGraphics.mClosePending) return;
  switch (event.kind)
  {
  case X11Event::kButtonDown: return onButtonDown(event);
  case X11Event::kButtonUp: return onButtonUp(event);
  case X11Event::kMotion: return onMotion(event);
  case X11Event::kKeyDown: return onKey(event);
  case X11Event::kKeyUp: return onKeyUp(event);
  case X11Event::kLeave:
    HideTooltip();
    return mGraphics.OnMouseOut();
  case X11Event::kFocusOut: return EndTextEntry(true);
  default: return;
  }
}

void X11EditorView::onButtonDown(const X11Event& event)
{
  HideTooltip();
  const int x = logical(event.x), y = logical(event.y);
  if (event.button == kWheelUp || event.button == kWheelDown)
  {
    mGraphics.ForceEndUserEdit();
    IMouseMod mod = mouseMod(event.state, false);
    return mGraphics.OnMouseWheel(x, y, &mod, event.button == kWheelUp ? 1 : -1);
  }
  if (event.button != Button1 && event.button != Button3) return;
  // A click beside the field ends the entry as losing the focus does.
  EndTextEntry(true);
  XSetInputFocus(mConnection.GetDisplay(), mWindow, RevertToParent, event.time);
  mPrevX = x;
  mPrevY = y;
  IMouseMod mod = mouseMod(event.state, event.button == Button3);
  if (mClicks.IsDoubleClick(event.button, event.x, event.y, event.time))
    mGraphics.OnMouseDblClick(x, y, &mod);
  else
    mGraphics.OnMouseDown(x, y, &mod);
}

void X11EditorView::onButtonUp(const X11Event& event)
{
  if (event.button != Button1 && event.button != Button3) return;
  mPrevX = logical(event.x);
  mPrevY = logical(event.y);
  IMouseMod mod = mouseMod(event.state, event.button == Button3);
  mGraphics.OnMouseUp(mPrevX, mPrevY, &mod);
}

void X11EditorView::onMotion(const X11Event& event)
{
  HideTooltip();
  mPrevX = logical(event.x);
  mPrevY = logical(event.y);
  const bool rightDrag = (event.state & kDragButtons) == Button3Mask;
  IMouseMod mod = mouseMod(event.state, rightDrag);
  if (event.state & kDragButtons)
  {
    if (!mTextField) mGraphics.OnMouseDrag(mPrevX, mPrevY, &mod);
    return;
  }
  mGraphics.OnMouseOver(mPrevX, mPrevY, &mod);
  mHoverSince = std::chrono::steady_clock::now();
  mHoverRootX = event.rootX;
  mHoverRootY = event.rootY;
}

void X11EditorView::onKey(const X11Event& event)
{
  if (mTextField)
  {
    const X11TextField::KeyResult result = mTextField->OnKey(event);
    if (result != X11TextField::KeyResult::kEditing) EndTextEntry(result == X11TextField::KeyResult::kApply);
    return;
  }
  const int code = EditorKeyCode(event.keysym);
  const bool taken = code >= 0 && mGraphics.OnKeyDown(mPrevX, mPrevY, code);
  // A host's window gets back what the editor does not take; a top-level window has no one to pass it to.
  if (taken || !mParent) return;
  mConnection.ForwardKey(event, mParent);
  mForwardedKeys.set(event.keycode % mForwardedKeys.size());
}

// Releases follow their presses, so a host playing notes from the keyboard hears the key go up.
void X11EditorView::onKeyUp(const X11Event& event)
{
  const size_t key = event.keycode % mForwardedKeys.size();
  if (!mForwardedKeys.test(key)) return;
  mForwardedKeys.reset(key);
  mConnection.ForwardKey(event, mParent);
}
