#include "X11TextField.h"

#include <X11/keysym.h>

#include <algorithm>
#include <cmath>
#include <utility>

namespace
{
void setColor(cairo_t* cr, unsigned rgb)
{
  cairo_set_source_rgb(cr, ((rgb >> 16) & 255) / 255.0, ((rgb >> 8) & 255) / 255.0, (rgb & 255) / 255.0);
}

bool isContinuationByte(char c)
{
  return (static_cast<unsigned char>(c) & 0xc0) == 0x80;
}

constexpr double kInset = 2.0; // device pixels between the field's edge and its text
} // namespace

X11TextField::X11TextField(X11Connection& connection, Window parent, X11Area area, const X11TextStyle& style,
                           TextEntryFilter filter, const std::string& initial, PasteSource paste)
    : mConnection(connection),
      mWindow(connection.CreateWindow(parent, area.x, area.y, area.width, area.height,
                                      ExposureMask | ButtonPressMask | ButtonMotionMask, false)),
      mArea(area), mStyle(style), mFilter(std::move(filter)), mPaste(std::move(paste)),
      mCanvas(connection, mWindow, area.width, area.height), mCr(mCanvas.Context()), mText(initial),
      mCaret(initial.size())
{
  cairo_select_font_face(mCr, mStyle.font.c_str(), mStyle.italic ? CAIRO_FONT_SLANT_ITALIC : CAIRO_FONT_SLANT_NORMAL,
                         mStyle.bold ? CAIRO_FONT_WEIGHT_BOLD : CAIRO_FONT_WEIGHT_NORMAL);
  cairo_set_font_size(mCr, std::max(mStyle.size, 1.0));
  connection.Listen(mWindow, this);
  XMapRaised(connection.GetDisplay(), mWindow);
}

X11TextField::~X11TextField()
{
  mConnection.Forget(mWindow);
  XDestroyWindow(mConnection.GetDisplay(), mWindow);
}

size_t X11TextField::previousChar(size_t at) const
{
  while (at > 0 && isContinuationByte(mText[--at])) {}
  return at;
}

size_t X11TextField::nextChar(size_t at) const
{
  while (at < mText.size() && isContinuationByte(mText[++at])) {}
  return std::min(at, mText.size());
}

double X11TextField::advanceTo(size_t offset) const
{
  cairo_text_extents_t extents;
  cairo_text_extents(mCr, mText.substr(0, offset).c_str(), &extents);
  return extents.x_advance;
}

// Where the text starts for the field's alignment, scrolled so the caret shows.
double X11TextField::textX() const
{
  const double room = mArea.width - 2 * kInset, width = advanceTo(mText.size());
  if (width > room) return kInset - mScroll;
  const double free = room - width;
  return kInset + (mStyle.align == 0 ? 0.0 : mStyle.align == 1 ? free / 2 : free);
}

size_t X11TextField::offsetAt(int x) const
{
  const double start = textX();
  size_t best = 0;
  for (size_t at = 0; at <= mText.size(); at = nextChar(at))
  {
    if (std::abs(start + advanceTo(at) - x) < std::abs(start + advanceTo(best) - x)) best = at;
    if (at == mText.size()) break;
  }
  return best;
}

void X11TextField::replaceSelection(const std::string& with)
{
  const size_t from = std::min(mCaret, mAnchor), to = std::max(mCaret, mAnchor);
  std::string edited = mText.substr(0, from) + with + mText.substr(to);
  // A change the filter refuses is refused whole, as a formatter would.
  if (!mFilter.Accepts(edited)) return;
  mText = std::move(edited);
  moveCaret(from + with.size(), false);
}

void X11TextField::moveCaret(size_t to, bool extend)
{
  mCaret = std::min(to, mText.size());
  if (!extend) mAnchor = mCaret;
  const double room = mArea.width - 2 * kInset, caretAt = advanceTo(mCaret);
  mScroll = std::clamp(mScroll, caretAt - room, caretAt);
  mScroll = std::clamp(mScroll, 0.0, std::max(advanceTo(mText.size()) - room, 0.0));
  draw();
}

X11TextField::KeyResult X11TextField::OnKey(const X11Event& key)
{
  const bool shift = key.state & ShiftMask, control = key.state & ControlMask;
  const bool hasSelection = mCaret != mAnchor;
  switch (key.keysym)
  {
  case XK_Return:
  case XK_KP_Enter: return KeyResult::kApply;
  case XK_Escape: return KeyResult::kCancel;
  case XK_Left: moveCaret(hasSelection && !shift ? std::min(mCaret, mAnchor) : previousChar(mCaret), shift); break;
  case XK_Right: moveCaret(hasSelection && !shift ? std::max(mCaret, mAnchor) : nextChar(mCaret), shift); break;
  case XK_Home: moveCaret(0, shift); break;
  case XK_End: moveCaret(mText.size(), shift); break;
  case XK_BackSpace:
    if (!hasSelection) mAnchor = previousChar(mCaret);
    replaceSelection("");
    break;
  case XK_Delete:
    if (!hasSelection) mAnchor = nextChar(mCaret);
    replaceSelection("");
    break;
  default:
    if (control && (key.keysym == XK_a || key.keysym == XK_A))
    {
      mAnchor = 0;
      moveCaret(mText.size(), true);
    }
    else if (std::string pasted; control && (key.keysym == XK_v || key.keysym == XK_V))
    {
      if (mPaste && mPaste(pasted)) replaceSelection(pasted);
    }
    else if (!control && static_cast<unsigned char>(key.text[0]) >= 0x20 && key.text[0] != 0x7f)
      replaceSelection(key.text);
    break;
  }
  return KeyResult::kEditing;
}

void X11TextField::OnX11Event(const X11Event& event)
{
  switch (event.kind)
  {
  case X11Event::kExpose: return draw();
  case X11Event::kButtonDown:
    if (event.button == Button1) moveCaret(offsetAt(event.x), event.state & ShiftMask);
    return;
  case X11Event::kMotion:
    if (event.state & Button1Mask) moveCaret(offsetAt(event.x), true);
    return;
  default: return;
  }
}

void X11TextField::draw()
{
  setColor(mCr, mStyle.background);
  cairo_paint(mCr);
  cairo_font_extents_t font;
  cairo_font_extents(mCr, &font);
  const double start = textX(), top = (mArea.height - font.height) / 2;
  const double caretX = start + advanceTo(mCaret), anchorX = start + advanceTo(mAnchor);
  if (mCaret != mAnchor)
  {
    cairo_set_source_rgb(mCr, 0.62, 0.76, 0.96);
    cairo_rectangle(mCr, std::min(caretX, anchorX), top, std::abs(caretX - anchorX), font.height);
    cairo_fill(mCr);
  }
  setColor(mCr, mStyle.foreground);
  cairo_move_to(mCr, start, top + font.ascent);
  cairo_show_text(mCr, mText.c_str());
  cairo_rectangle(mCr, std::floor(caretX), top, 1.0, font.height);
  cairo_fill(mCr);
  mCanvas.Show();
}
