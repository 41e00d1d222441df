#include "IControl.h"

#include "IGraphics.h"
#include "IPlugBase.h"

#include <algorithm>
#include <cstring>

IControl::IControl(IPlugBase* pPlug, const IRECT& rect, int paramIdx, const IChannelBlend& blend)
    : mPlug(pPlug), mRECT(rect), mTargetRECT(rect), mParamIdx(paramIdx), mBlend(blend)
{
}

IControl::~IControl() = default;

IGraphics* IControl::GetGUI() const
{
  return mPlug ? mPlug->GetGUI() : nullptr;
}

IParam* IControl::GetParam() const
{
  return mPlug && mParamIdx >= 0 ? mPlug->GetParam(mParamIdx) : nullptr;
}

void IControl::OnMouseDown(int, int, IMouseMod* pMod)
{
  if (pMod && pMod->R) PromptUserInput();
}

void IControl::OnMouseDblClick(int, int, IMouseMod*)
{
  if (mDefaultValue < 0.0) return;
  mValue = mDefaultValue;
  SetDirty(true);
}

void IControl::SetValueFromPlug(double value)
{
  if (mDefaultValue < 0.0) mValue = mDefaultValue = value;
  if (value == mValue) return;
  mValue = value;
  SetDirty(false);
  mRedraw = true;
}

void IControl::SetValueFromUserInput(double value)
{
  if (value == mValue) return;
  mValue = value;
  SetDirty(true);
  mRedraw = true;
}

void IControl::Hide(bool hide)
{
  mHide = hide;
  mRedraw = true;
  SetDirty(false);
}

void IControl::GrayOut(bool gray)
{
  mGrayed = gray;
  mBlend.mWeight = gray ? 0.25f : 1.0f;
  SetDirty(false);
}

void IControl::SetDirty(bool pushParamToPlug)
{
  mValue = std::clamp(mValue, mClampLo, mClampHi);
  mDirty = true;
  if (pushParamToPlug && mPlug && mParamIdx >= 0) mPlug->SetParameterFromGUI(mParamIdx, mValue);
  updateValueDisplay();
  updateNameDisplay();
}

void IControl::updateValueDisplay()
{
  const IParam* param = GetParam();
  if (!mValDisplayControl || !param) return;
  char display[IParam::kMaxDisplaySize];
  param->GetDisplayForHost(param->Value(), false, display, true);
  WDL_String text(display, IParam::kTextSize);
  text.Append(" ");
  text.Append(param->GetLabelForHost(), IParam::kTextSize);
  if (strcmp(text.Get(), mValDisplayControl->GetTextForDisplay()) == 0) return;
  mValDisplayControl->SetDirty(false);
  mValDisplayControl->SetTextFromPlug(text.Get());
}

void IControl::updateNameDisplay()
{
  const IParam* param = GetParam();
  if (!mNameDisplayControl || !param) return;
  if (strcmp(param->GetNameForHost(), mNameDisplayControl->GetTextForDisplay()) == 0) return;
  mNameDisplayControl->SetDirty(false);
  mNameDisplayControl->SetTextFromPlug(param->GetNameForHost());
}

void IControl::SetClean()
{
  mDirty = mRedraw;
  mRedraw = false;
}

void IControl::PromptUserInput()
{
  const IParam* param = GetParam();
  if (!param || mDisablePrompt) return;
  if (param->GetNDisplayTexts() > 0)
  {
    PromptUserInput(&mRECT);
    return;
  }
  const int cx = (mRECT.L + mRECT.R) / 2;
  const int cy = (mRECT.T + mRECT.B) / 2;
  IRECT box(cx - 20, cy - 8, cx + 20, cy + 8);
  PromptUserInput(&box);
}

void IControl::PromptUserInput(IRECT* pTextRect)
{
  IParam* param = GetParam();
  IGraphics* gui = GetGUI();
  if (!param || mDisablePrompt || !gui) return;
  gui->PromptUserInput(this, param, pTextRect);
  mRedraw = true;
}

void IControl::AddAuxParam(int paramIdx)
{
  mAuxParams.Add(AuxParam{0.0, paramIdx});
}

int IControl::AuxParamIdx(int paramIdx) const
{
  for (int i = 0; i < NAuxParams(); ++i)
    if (mAuxParams.Get()[i].mParamIdx == paramIdx) return i;
  return -1;
}

void IControl::SetAuxParamValueFromPlug(int auxParamIdx, double value)
{
  AuxParam* aux = GetAuxParam(auxParamIdx);
  if (!aux || aux->mValue == value) return;
  aux->mValue = value;
  SetDirty(false);
  mRedraw = true;
}

void IControl::SetAllAuxParamsFromGUI()
{
  if (!mPlug) return;
  for (int i = 0; i < NAuxParams(); ++i) mPlug->SetParameterFromGUI(mAuxParams.Get()[i].mParamIdx, mAuxParams.Get()[i].mValue);
}

int IControl::FrameForValue(double value, int nFrames)
{
  if (nFrames < 2) return 1;
  return std::min(std::max(int((nFrames - 1) * value + 0.5) + 1, 1), nFrames);
}

bool IPanelControl::Draw(IGraphics* pGraphics)
{
  return pGraphics->FillIRect(&mColor, &mRECT, &mBlend);
}

IBitmapControl::IBitmapControl(IPlugBase* pPlug, int x, int y, int paramIdx, const IBitmap& bitmap,
                               IChannelBlend::EBlendMethod blendMethod)
    : IControl(pPlug, IRECT(x, y, x + bitmap.W, y + (bitmap.N > 0 ? bitmap.H / bitmap.N : bitmap.H)), paramIdx,
               IChannelBlend(blendMethod)),
      mBitmap(bitmap)
{
}

bool IBitmapControl::Draw(IGraphics* pGraphics)
{
  return pGraphics->DrawBitmap(&mBitmap, &mRECT, FrameForValue(mValue, mBitmap.N), &mBlend);
}
