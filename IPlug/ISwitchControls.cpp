#include "ISwitchControls.h"

#include "IGraphics.h"
#include "IPlugBase.h"

#include <algorithm>

namespace
{
// Index of the first rectangle holding the point, -1 when none does.
int hitIndex(const std::vector<IRECT>& rects, int x, int y)
{
  const auto hit = std::find_if(rects.begin(), rects.end(), [x, y](const IRECT& r) { return r.Contains(x, y); });
  return hit == rects.end() ? -1 : static_cast<int>(hit - rects.begin());
}

// Value of choice i out of n, evenly spread over 0..1.
double choiceValue(int i, int n)
{
  return n > 1 ? static_cast<double>(i) / (n - 1) : 0.0;
}
} // namespace

ISwitchControl::ISwitchControl(IPlugBase* pPlug, int x, int y, int paramIdx, const IBitmap& bitmap,
                               IChannelBlend::EBlendMethod blendMethod)
    : IBitmapControl(pPlug, x, y, paramIdx, bitmap, blendMethod)
{
}

void ISwitchControl::OnMouseDown(int, int, IMouseMod*)
{
  mValue += mBitmap.N > 1 ? 1.0 / (mBitmap.N - 1) : 1.0;
  // The tolerance keeps the last step of 1/(N - 1) sums from wrapping early.
  if (mValue > 1.001) mValue = 0.0;
  SetDirty();
}

ISwitchPopUpControl::ISwitchPopUpControl(IPlugBase* pPlug, int x, int y, int paramIdx, const IBitmap& bitmap,
                                         IChannelBlend::EBlendMethod blendMethod)
    : ISwitchControl(pPlug, x, y, paramIdx, bitmap, blendMethod)
{
  // The menu is this control's whole purpose.
  mDisablePrompt = false;
}

void ISwitchPopUpControl::OnMouseDown(int, int, IMouseMod*)
{
  PromptUserInput();
  SetDirty();
}

ISwitchFramesControl::ISwitchFramesControl(IPlugBase* pPlug, int x, int y, int paramIdx, const IBitmap& bitmap,
                                           bool imagesAreHorizontal, IChannelBlend::EBlendMethod blendMethod)
    : ISwitchControl(pPlug, x, y, paramIdx, bitmap, blendMethod)
{
  mDisablePrompt = false;
  mRECT = mTargetRECT = IRECT(x, y, x + mBitmap.FrameWidth(), y + mBitmap.FrameHeight());
  const int n = std::max(mBitmap.N, 1);
  const int w = mRECT.W();
  const int h = mRECT.H();
  for (int i = 0; i < n; ++i)
  {
    if (imagesAreHorizontal)
      mRECTs.emplace_back(mRECT.L + i * w / n, mRECT.T, mRECT.L + (i + 1) * w / n, mRECT.B);
    else
      mRECTs.emplace_back(mRECT.L, mRECT.T + i * h / n, mRECT.R, mRECT.T + (i + 1) * h / n);
  }
}

void ISwitchFramesControl::OnMouseDown(int x, int y, IMouseMod*)
{
  const int i = hitIndex(mRECTs, x, y);
  if (i >= 0) mValue = choiceValue(i, static_cast<int>(mRECTs.size()));
  SetDirty();
}

IInvisibleSwitchControl::IInvisibleSwitchControl(IPlugBase* pPlug, const IRECT& rect, int paramIdx)
    : IControl(pPlug, rect, paramIdx, IChannelBlend(IChannelBlend::kBlendClobber))
{
}

void IInvisibleSwitchControl::OnMouseDown(int, int, IMouseMod*)
{
  mValue = mValue < 0.5 ? 1.0 : 0.0;
  SetDirty();
}

IRadioButtonsControl::IRadioButtonsControl(IPlugBase* pPlug, const IRECT& rect, int paramIdx, int nButtons,
                                           const IBitmap& bitmap, EDirection direction, bool reverse)
    : IControl(pPlug, rect, paramIdx), mBitmap(bitmap)
{
  const int n = std::max(nButtons, 1);
  const int w = mBitmap.FrameWidth();
  const int h = mBitmap.FrameHeight();
  const bool horizontal = direction == kHorizontal;
  const int length = horizontal ? mRECT.W() : mRECT.H();
  const int buttonLength = horizontal ? w : h;
  const int gap = n > 1 ? (length - n * buttonLength) / (n - 1) : 0;
  for (int k = 0; k < n; ++k)
  {
    const int slot = reverse ? n - 1 - k : k;
    const int offset = slot * (buttonLength + gap);
    const int x = mRECT.L + (horizontal ? offset : 0);
    const int y = mRECT.T + (horizontal ? 0 : offset);
    mRECTs.emplace_back(x, y, x + w, y + h);
  }
}

void IRadioButtonsControl::OnMouseDown(int x, int y, IMouseMod* pMod)
{
  if (pMod->R)
  {
    PromptUserInput();
    return;
  }
  const int k = hitIndex(mRECTs, x, y);
  if (k >= 0) mValue = choiceValue(k, static_cast<int>(mRECTs.size()));
  SetDirty();
}

bool IRadioButtonsControl::Draw(IGraphics* pGraphics)
{
  const int n = static_cast<int>(mRECTs.size());
  const int active = std::clamp(static_cast<int>((n - 1) * mValue + 0.5), 0, n - 1);
  for (int k = 0; k < n; ++k)
    pGraphics->DrawBitmap(&mBitmap, &mRECTs[k], k == active ? 2 : 1, &mBlend);
  return true;
}

IContactControl::IContactControl(IPlugBase* pPlug, int x, int y, int paramIdx, const IBitmap& bitmap)
    : ISwitchControl(pPlug, x, y, paramIdx, bitmap)
{
}

void IContactControl::OnMouseUp(int, int, IMouseMod*)
{
  mValue = 0.0;
  SetDirty();
}

IBitmapOverlayControl::IBitmapOverlayControl(IPlugBase* pPlug, int x, int y, int paramIdx, const IBitmap& bitmap,
                                             const IRECT& targetArea)
    : ISwitchControl(pPlug, x, y, paramIdx, bitmap), mTargetArea(targetArea)
{
}

IBitmapOverlayControl::IBitmapOverlayControl(IPlugBase* pPlug, int x, int y, const IBitmap& bitmap,
                                             const IRECT& targetArea)
    : IBitmapOverlayControl(pPlug, x, y, -1, bitmap, targetArea)
{
}

bool IBitmapOverlayControl::Draw(IGraphics* pGraphics)
{
  if (mValue < 0.5)
  {
    mTargetRECT = mTargetArea;
    return true;
  }
  mTargetRECT = mRECT;
  return IBitmapControl::Draw(pGraphics);
}
