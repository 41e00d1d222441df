#include "IKnobControls.h"

#include "IGraphics.h"
#include "MouseGestures.h"

#include <algorithm>
#include <cmath>

namespace
{
// Knobs made from a bitmap cover one frame, counted as a vertical strip
// whatever the frame direction.
IRECT bitmapRectAt(int x, int y, const IBitmap& bitmap)
{
  return IRECT(x, y, x + bitmap.W, y + bitmap.H / std::max(bitmap.N, 1));
}
} // namespace

IKnobControl::IKnobControl(IPlugBase* pPlug, const IRECT& rect, int paramIdx, EDirection direction, double gearing)
    : IControl(pPlug, rect, paramIdx), mDirection(direction), mGearing(gearing)
{
}

void IKnobControl::OnMouseDrag(int, int, int dX, int dY, IMouseMod* pMod)
{
  const double gearing = mGearing * (IsFineGesture(pMod) ? 10.0 : 1.0);
  // Screen y grows downwards, so dividing by T - B makes an upward drag raise the value.
  if (mDirection == kHorizontal)
    mValue += static_cast<double>(dX) / mRECT.W() / gearing;
  else
    mValue += static_cast<double>(dY) / (mRECT.T - mRECT.B) / gearing;
  SetDirty();
}

void IKnobControl::OnMouseWheel(int, int, IMouseMod* pMod, int d)
{
  mValue += WheelStep(pMod, d);
  SetDirty();
}

IKnobLineControl::IKnobLineControl(IPlugBase* pPlug, const IRECT& rect, int paramIdx, const IColor* pColor,
                                   double innerRadius, double outerRadius, double minAngle, double maxAngle,
                                   EDirection direction, double gearing)
    : IKnobControl(pPlug, rect, paramIdx, direction, gearing), mColor(*pColor), mMinAngle(static_cast<float>(minAngle)),
      mMaxAngle(static_cast<float>(maxAngle)), mInnerRadius(static_cast<float>(innerRadius)),
      mOuterRadius(static_cast<float>(outerRadius))
{
  if (mOuterRadius == 0.0f) mOuterRadius = 0.5f * mRECT.W();
  mBlend = IChannelBlend(IChannelBlend::kBlendClobber);
}

bool IKnobLineControl::Draw(IGraphics* pGraphics)
{
  const double angle = angleOfValue(mMinAngle, mMaxAngle);
  const float cx = 0.5f * (mRECT.L + mRECT.R);
  const float cy = 0.5f * (mRECT.T + mRECT.B);
  const float sinA = static_cast<float>(std::sin(angle));
  const float cosA = static_cast<float>(std::cos(angle));
  return pGraphics->DrawLine(&mColor, cx + sinA * mInnerRadius, cy - cosA * mInnerRadius, cx + sinA * mOuterRadius,
                             cy - cosA * mOuterRadius, &mBlend, true);
}

IKnobRotaterControl::IKnobRotaterControl(IPlugBase* pPlug, int x, int y, int paramIdx, const IBitmap& bitmap,
                                         double minAngle, double maxAngle, int yOffsetZeroDeg, EDirection direction,
                                         double gearing)
    : IKnobControl(pPlug, bitmapRectAt(x, y, bitmap), paramIdx, direction, gearing), mBitmap(bitmap),
      mMinAngle(minAngle), mMaxAngle(maxAngle), mYOffset(yOffsetZeroDeg)
{
}

bool IKnobRotaterControl::Draw(IGraphics* pGraphics)
{
  const int cx = (mRECT.L + mRECT.R) / 2;
  const int cy = (mRECT.T + mRECT.B) / 2;
  return pGraphics->DrawRotatedBitmap(&mBitmap, cx, cy, angleOfValue(mMinAngle, mMaxAngle), mYOffset, &mBlend);
}

IKnobMultiControl::IKnobMultiControl(IPlugBase* pPlug, int x, int y, int paramIdx, const IBitmap& bitmap,
                                     EDirection direction, double gearing)
    : IKnobControl(pPlug, bitmapRectAt(x, y, bitmap), paramIdx, direction, gearing), mBitmap(bitmap)
{
}

bool IKnobMultiControl::Draw(IGraphics* pGraphics)
{
  return pGraphics->DrawBitmap(&mBitmap, &mRECT, FrameForValue(mValue, mBitmap.N), &mBlend);
}

IKnobRotatingMaskControl::IKnobRotatingMaskControl(IPlugBase* pPlug, int x, int y, int paramIdx, const IBitmap& base,
                                                   const IBitmap& mask, const IBitmap& top, double minAngle,
                                                   double maxAngle, EDirection direction, double gearing)
    : IKnobControl(pPlug, bitmapRectAt(x, y, base), paramIdx, direction, gearing), mBase(base), mMask(mask), mTop(top),
      mMinAngle(minAngle), mMaxAngle(maxAngle)
{
}

bool IKnobRotatingMaskControl::Draw(IGraphics* pGraphics)
{
  return pGraphics->DrawRotatedMask(&mBase, &mMask, &mTop, mRECT.L, mRECT.T, angleOfValue(mMinAngle, mMaxAngle),
                                    &mBlend);
}
