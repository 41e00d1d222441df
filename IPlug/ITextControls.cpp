#include "ITextControls.h"

#include "IBitmapMonoText.h"
#include "IGraphics.h"
#include "IParam.h"

#include <cstring>

namespace
{
void replaceText(IControl& control, WDL_String& current, const char* str)
{
  if (strcmp(current.Get(), str) == 0) return;
  control.SetDirty(false);
  current.Set(str);
}
} // namespace

ITextControl::ITextControl(IPlugBase* pPlug, const IRECT& rect, const IText* pText, const char* str)
    : ITextControl(pPlug, rect, -1, pText, str)
{
}

ITextControl::ITextControl(IPlugBase* pPlug, const IRECT& rect, int paramIdx, const IText* pText, const char* str)
    : IControl(pPlug, rect, paramIdx), mStr(str)
{
  mText = *pText;
}

void ITextControl::SetTextFromPlug(const char* str)
{
  replaceText(*this, mStr, str);
}

bool ITextControl::Draw(IGraphics* pGraphics)
{
  if (mStr.GetLength() == 0) return true;
  return pGraphics->DrawIText(&mText, mStr.Get(), &mRECT);
}

ICaptionControl::ICaptionControl(IPlugBase* pPlug, const IRECT& rect, int paramIdx, const IText* pText,
                                 bool showParamLabel)
    : ITextControl(pPlug, rect, paramIdx, pText, ""), mShowParamLabel(showParamLabel)
{
  // Asking for a value is what a click on a caption is for.
  mDisablePrompt = false;
}

void ICaptionControl::OnMouseDown(int, int, IMouseMod* pMod)
{
  if (pMod->L || pMod->R) PromptUserInput();
}

void ICaptionControl::OnMouseDblClick(int, int, IMouseMod*)
{
  PromptUserInput();
}

bool ICaptionControl::Draw(IGraphics* pGraphics)
{
  const IParam* pParam = GetParam();
  if (!pParam) return ITextControl::Draw(pGraphics);
  char display[IParam::kMaxDisplaySize];
  pParam->GetDisplayForHost(pParam->GetNonNormalized(mValue), false, display, true);
  mStr.Set(display);
  if (mShowParamLabel)
  {
    mStr.Append(" ");
    mStr.Append(pParam->GetLabelForHost());
  }
  return ITextControl::Draw(pGraphics);
}

IBitmapTextControl::IBitmapTextControl(IPlugBase* pPlug, const IRECT& rect, const IBitmap& bitmap, const char* str,
                                       const IText* pText, int charWidth, int charHeight, int charOffset,
                                       bool multiLine, bool vCenter)
    : IControl(pPlug, rect), mStr(str), mCharWidth(charWidth), mCharHeight(charHeight), mCharOffset(charOffset),
      mTextBitmap(bitmap), mMultiLine(multiLine), mVCentre(vCenter)
{
  if (pText) mText = *pText;
}

void IBitmapTextControl::SetTextFromPlug(const char* str)
{
  replaceText(*this, mStr, str);
}

bool IBitmapTextControl::Draw(IGraphics* pGraphics)
{
  return DrawBitmapedText(pGraphics, &mTextBitmap, &mRECT, &mText, &mBlend, mStr.Get(), mVCentre, mMultiLine,
                          mCharWidth, mCharHeight, mCharOffset);
}
