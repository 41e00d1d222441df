#pragma once
// Text displays: a plain text, a parameter's caption and a text drawn from a
// bitmap font. Every operation runs on the editor thread.

#include "Containers.h"
#include "IControl.h"

class ITextControl : public IControl
{
public:
  ITextControl(IPlugBase* pPlug, const IRECT& rect, const IText* pText, const char* str = "");

  // Marks the control for redraw only when the text changes.
  void SetTextFromPlug(const char* str) override;
  const char* GetTextForDisplay() const override { return mStr.Get(); }

  bool Draw(IGraphics* pGraphics) override;

protected:
  ITextControl(IPlugBase* pPlug, const IRECT& rect, int paramIdx, const IText* pText, const char* str);

  WDL_String mStr;
};

// Shows the bound parameter's display text (and label) and asks for a new
// value on a click.
class ICaptionControl : public ITextControl
{
public:
  ICaptionControl(IPlugBase* pPlug, const IRECT& rect, int paramIdx, const IText* pText, bool showParamLabel = true);

  void OnMouseDown(int x, int y, IMouseMod* pMod) override;
  void OnMouseDblClick(int x, int y, IMouseMod* pMod) override;
  bool Draw(IGraphics* pGraphics) override;

private:
  bool mShowParamLabel;
};

// Text drawn character by character from a font bitmap whose frame k shows
// the character with code k + 31.
class IBitmapTextControl : public IControl
{
public:
  IBitmapTextControl(IPlugBase* pPlug, const IRECT& rect, const IBitmap& bitmap, const char* str = "",
                     const IText* pText = nullptr, int charWidth = 6, int charHeight = 12, int charOffset = 0,
                     bool multiLine = false, bool vCenter = true);

  void SetTextFromPlug(const char* str) override;
  const char* GetTextForDisplay() const override { return mStr.Get(); }

  bool Draw(IGraphics* pGraphics) override;

private:
  WDL_String mStr;
  int mCharWidth, mCharHeight, mCharOffset;
  IBitmap mTextBitmap;
  bool mMultiLine;
  bool mVCentre;
};
