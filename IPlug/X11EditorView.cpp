// Ahead of Xlib, whose Bool macro would break them.
#include "IControl.h"
#include "IParam.h"

#include "X11EditorView.h"

#include "EditorScale.h"
#include "IGraphicsLinux.h"

#include <X11/Xatom.h>
#include <X11/Xutil.h>

#include <cmath>
#include <cstdlib>

namespace
{
constexpr auto kTooltipDelay = std::chrono::milliseconds(600);
constexpr long kEditorEvents = ExposureMask | ButtonPressMask | ButtonReleaseMask | PointerMotionMask | KeyPressMask |
                               KeyReleaseMask | EnterWindowMask | LeaveWindowMask | FocusChangeMask |
                               StructureNotifyMask;

double chooseScale(const X11Connection& connection, double hostScale, double userScale)
{
  if (!connection.IsOpen()) return 1.0;
  return ChooseEditorScale(userScale, hostScale, connection.ResourceManager(), getenv("GDK_SCALE"));
}

unsigned toRGB(const IColor& color)
{
  return unsigned(color.R & 255) << 16 | unsigned(color.G & 255) << 8 | unsigned(color.B & 255);
}

// What a formatter lets through for the parameter's kind; none without a parameter.
TextEntryFilter filterFor(const IControl* pControl, const IParam* pParam)
{
  if (!pParam) return {};
  switch (pParam->Type())
  {
  case kTypeBool:
  case kTypeInt:
  case kTypeEnum: return {"0123456789-+", pControl->GetTextEntryLength(), 0};
  case kTypeDouble: return {"0123456789.-+", pControl->GetTextEntryLength(), 0};
  default: return {"", pControl->GetTextEntryLength(), 0};
  }
}
} // namespace

X11EditorView::X11EditorView(IGraphicsLinux& graphics, Window parent, const std::string& title, double hostScale,
                             double userScale)
    : mGraphics(graphics), mScale(chooseScale(mConnection, hostScale, userScale)), mParent(parent),
      mTooltip(mConnection, mScale)
{
  if (!mConnection.IsOpen()) return;
  mGraphics.SetScale(mScale);
  if (!mGraphics.GetBits()) mGraphics.PrepDraw();
  createWindow(parent, title);
}

X11EditorView::~X11EditorView()
{
  if (!mWindow) return;
  mTextField.reset();
  mTooltip.Hide();
  mTransfer.reset();
  if (mBlankCursor) XFreeCursor(mConnection.GetDisplay(), mBlankCursor);
  mConnection.Forget(mWindow);
  if (!mDestroyedByHost) XDestroyWindow(mConnection.GetDisplay(), mWindow);
  XSync(mConnection.GetDisplay(), False);
}

void X11EditorView::createWindow(Window parent, const std::string& title)
{
  Display* display = mConnection.GetDisplay();
  const int width = mGraphics.GetBitsWidth(), height = mGraphics.GetBitsHeight();
  mWindow = mConnection.CreateWindow(parent ? parent : mConnection.Root(), 0, 0, width, height, kEditorEvents, false);
  mConnection.Listen(mWindow, this);
  if (!parent)
  {
    XStoreName(display, mWindow, title.c_str());
    XChangeProperty(display, mWindow, XInternAtom(display, "_NET_WM_NAME", False),
                    XInternAtom(display, "UTF8_STRING", False), 8, PropModeReplace,
                    reinterpret_cast<const unsigned char*>(title.data()), int(title.size()));
    mConnection.AcceptCloseRequests(mWindow);
    setFixedSize();
  }
  mTransfer = std::make_unique<X11ScreenTransfer>(mConnection, mWindow, width, height);
  XMapRaised(display, mWindow);
  XFlush(display);
}

void X11EditorView::setFixedSize()
{
  if (mParent) return;
  XSizeHints* hints = XAllocSizeHints();
  hints->flags = PMinSize | PMaxSize;
  hints->min_width = hints->max_width = mGraphics.GetBitsWidth();
  hints->min_height = hints->max_height = mGraphics.GetBitsHeight();
  XSetWMNormalHints(mConnection.GetDisplay(), mWindow, hints);
  XFree(hints);
}

void X11EditorView::Resize()
{
  const int width = mGraphics.GetBitsWidth(), height = mGraphics.GetBitsHeight();
  mTransfer.reset();
  setFixedSize();
  XResizeWindow(mConnection.GetDisplay(), mWindow, unsigned(width), unsigned(height));
  mTransfer = std::make_unique<X11ScreenTransfer>(mConnection, mWindow, width, height);
}

int X11EditorView::logical(int device) const
{
  return int(std::floor(device / mScale));
}

X11Area X11EditorView::device(const IRECT& area) const
{
  const int left = int(std::floor(area.L * mScale)), top = int(std::floor(area.T * mScale));
  return {left, top, int(std::ceil(area.R * mScale)) - left, int(std::ceil(area.B * mScale)) - top};
}

void X11EditorView::Show(const IRECT& area)
{
  showDevice(device(area));
}

void X11EditorView::showDevice(const X11Area& area)
{
  if (mDestroyedByHost) return;
  if (const void* bits = mGraphics.GetBits())
    mTransfer->Show(static_cast<const uint8_t*>(bits), mGraphics.GetBitsRowSpan(), area);
}

void X11EditorView::RootPosition(int x, int y, int& rootX, int& rootY)
{
  Window child;
  XTranslateCoordinates(mConnection.GetDisplay(), mWindow, mConnection.Root(), int(std::lround(x * mScale)),
                        int(std::lround(y * mScale)), &rootX, &rootY, &child);
}

void X11EditorView::OpenTextEntry(IControl* pControl, const IText& text, const IRECT& area, const char* str,
                                  IParam* pParam)
{
  X11TextStyle style;
  style.font = text.mFont;
  style.size = std::trunc(0.9 * text.mSize) * mScale;
  style.bold = text.mStyle == IText::kStyleBold;
  style.italic = text.mStyle == IText::kStyleItalic;
  style.align = text.mAlign;
  style.foreground = toRGB(text.mTextEntryFGColor);
  style.background = toRGB(text.mTextEntryBGColor);
  auto paste = [this](std::string& pasted)
  {
    WDL_String clipboard;
    const bool found = mGraphics.GetTextFromClipboard(&clipboard);
    pasted = clipboard.Get();
    return found;
  };
  mTextField = std::make_unique<X11TextField>(mConnection, mWindow, device(area), style, filterFor(pControl, pParam),
                                              str ? str : "", paste);
  mEdControl = pControl;
  mEdParam = pParam;
  // Keys reach the field through this window.
  XSetInputFocus(mConnection.GetDisplay(), mWindow, RevertToParent, CurrentTime);
}

void X11EditorView::EndTextEntry(bool apply)
{
  if (!mTextField) return;
  const std::string text = mTextField->Text();
  mTextField.reset();
  IControl* pControl = std::exchange(mEdControl, nullptr);
  IParam* pParam = std::exchange(mEdParam, nullptr);
  if (apply && pParam)
    mGraphics.SetFromStringAfterPrompt(pControl, pParam, text.c_str());
  else if (apply)
    pControl->TextFromTextEntry(text.c_str());
  pControl->SetDirty(false);
}

void X11EditorView::HideCursor()
{
  if (mCursorHidden) return;
  Display* display = mConnection.GetDisplay();
  Window root, child;
  int x, y;
  unsigned mask;
  if (!XQueryPointer(display, mWindow, &root, &child, &mCursorRootX, &mCursorRootY, &x, &y, &mask)) return;
  if (!mBlankCursor)
  {
    const char empty[1] = {0};
    const Pixmap pixmap = XCreateBitmapFromData(display, mWindow, empty, 1, 1);
    XColor black{};
    mBlankCursor = XCreatePixmapCursor(display, pixmap, pixmap, &black, &black, 0, 0);
    XFreePixmap(display, pixmap);
  }
  XDefineCursor(display, mWindow, mBlankCursor);
  mCursorHidden = true;
}

void X11EditorView::ShowCursor()
{
  if (!mCursorHidden) return;
  Display* display = mConnection.GetDisplay();
  XWarpPointer(display, None, mConnection.Root(), 0, 0, 0, 0, mCursorRootX, mCursorRootY);
  XUndefineCursor(display, mWindow);
  mCursorHidden = false;
}

void X11EditorView::HideTooltip()
{
  mTooltip.Hide();
  mHoverSince.reset();
}

void X11EditorView::CheckHover(std::chrono::steady_clock::time_point now)
{
  if (!mHoverSince || now - *mHoverSince < kTooltipDelay) return;
  mHoverSince.reset();
  const int idx = mGraphics.GetMouseControlIdx(mPrevX, mPrevY, true);
  const IControl* pControl = mGraphics.GetControl(idx);
  if (pControl && !pControl->IsHidden() && pControl->GetTooltip()[0])
    mTooltip.Show(pControl->GetTooltip(), mHoverRootX, mHoverRootY);
}
