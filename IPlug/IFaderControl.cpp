#include "IFaderControl.h"

#include "IGraphics.h"
#include "MouseGestures.h"

#include <algorithm>

IFaderControl::IFaderControl(IPlugBase* pPlug, int x, int y, int len, int paramIdx, const IBitmap& bitmap,
                             EDirection direction, bool onlyHandle)
    : IControl(pPlug, IRECT(), paramIdx), mLen(len), mBitmap(bitmap), mDirection(direction), mOnlyHandle(onlyHandle)
{
  if (direction == kVertical)
  {
    mHandleHeadroom = mBitmap.H;
    mRECT = mTargetRECT = IRECT(x, y, x + mBitmap.W, y + len);
  }
  else
  {
    mHandleHeadroom = mBitmap.W;
    mRECT = mTargetRECT = IRECT(x, y, x + len, y + mBitmap.H);
  }
}

IRECT IFaderControl::GetHandleRECT(double value) const
{
  if (value < 0.0) value = mValue;
  const int travel = mLen - mHandleHeadroom;
  if (mDirection == kVertical)
  {
    const int top = mRECT.T + static_cast<int>(travel * (1.0 - value));
    return IRECT(mRECT.L, top, mRECT.L + mBitmap.W, top + mHandleHeadroom);
  }
  const int left = mRECT.L + static_cast<int>(travel * value);
  return IRECT(left, mRECT.T, left + mHandleHeadroom, mRECT.T + mBitmap.H);
}

void IFaderControl::OnMouseDown(int x, int y, IMouseMod* pMod)
{
  if (pMod->R)
    PromptUserInput();
  else
    SnapToMouse(x, y);
}

void IFaderControl::OnMouseDrag(int x, int y, int, int, IMouseMod*)
{
  SnapToMouse(x, y);
}

void IFaderControl::OnMouseWheel(int, int, IMouseMod* pMod, int d)
{
  mValue += WheelStep(pMod, d);
  SetDirty();
}

void IFaderControl::SnapToMouse(int x, int y)
{
  // A handle as long as the track leaves no travel; keep the value finite.
  const double travel = std::max(mLen - mHandleHeadroom, 1);
  if (mDirection == kVertical)
    mValue = 1.0 - (y - mRECT.T - mHandleHeadroom / 2) / travel;
  else
    mValue = (x - mRECT.L - mHandleHeadroom / 2) / travel;
  SetDirty();
}

bool IFaderControl::Draw(IGraphics* pGraphics)
{
  IRECT handle = GetHandleRECT();
  return pGraphics->DrawBitmap(&mBitmap, &handle, 1, &mBlend);
}

bool IFaderControl::IsHit(int x, int y)
{
  return mOnlyHandle ? GetHandleRECT().Contains(x, y) : mTargetRECT.Contains(x, y);
}
