#pragma once
// The editor's text-entry field: a child window over a control, with a caret,
// a selection, paste, and a filter on what may be typed. It never has the
// keyboard focus itself: the editor window passes its keys on while it is
// open. Editor UI thread only.

#include "TextEntryFilter.h"
#include "X11Canvas.h"
#include "X11Connection.h"

#include <cairo.h>

#include <functional>
#include <string>

struct X11TextStyle
{
  std::string font;
  double size = 10.0; // device pixels
  bool bold = false, italic = false;
  int align = 1; // 0 near, 1 centre, 2 far
  unsigned foreground = 0x000000, background = 0xffffff; // 0xRRGGBB
};

class X11TextField : public X11EventTarget
{
public:
  enum class KeyResult
  {
    kEditing,
    kApply,
    kCancel,
  };
  using PasteSource = std::function<bool(std::string& text)>;

  // area: device pixels in the parent window. The initial text starts selected.
  X11TextField(X11Connection& connection, Window parent, X11Area area, const X11TextStyle& style,
               TextEntryFilter filter, const std::string& initial, PasteSource paste);
  ~X11TextField();
  X11TextField(const X11TextField&) = delete;
  X11TextField& operator=(const X11TextField&) = delete;

  const std::string& Text() const { return mText; }
  KeyResult OnKey(const X11Event& key);
  void OnX11Event(const X11Event& event) override; // the field's own exposes and mouse

private:
  void replaceSelection(const std::string& with);
  void moveCaret(size_t to, bool extend);
  size_t previousChar(size_t at) const;
  size_t nextChar(size_t at) const;
  size_t offsetAt(int x) const;
  double textX() const;
  double advanceTo(size_t offset) const;
  void draw();

  X11Connection& mConnection;
  Window mWindow;
  X11Area mArea;
  X11TextStyle mStyle;
  TextEntryFilter mFilter;
  PasteSource mPaste;
  X11Canvas mCanvas;
  cairo_t* mCr; // the canvas's, with the field's font
  std::string mText;
  size_t mCaret = 0, mAnchor = 0; // byte offsets; the selection lies between them
  double mScroll = 0.0; // keeps the caret inside a field too narrow for the text
};
