#pragma once
// Knobs: dragged along one axis with a gearing, nudged by the wheel, drawn as
// a line, a rotated bitmap, a frame of a strip or a rotated mask. Every
// operation runs on the editor thread.

#include "IControl.h"

#include <numbers>

class IKnobControl : public IControl
{
public:
  static constexpr double kDefaultGearing = 4.0;

  IKnobControl(IPlugBase* pPlug, const IRECT& rect, int paramIdx, EDirection direction = kVertical,
               double gearing = kDefaultGearing);

  void SetGearing(double gearing) { mGearing = gearing; }
  void OnMouseDrag(int x, int y, int dX, int dY, IMouseMod* pMod) override;
  void OnMouseWheel(int x, int y, IMouseMod* pMod, int d) override;

protected:
  // The angle that the current value points at, spread evenly between the limits.
  double angleOfValue(double minAngle, double maxAngle) const { return minAngle + mValue * (maxAngle - minAngle); }

  EDirection mDirection;
  double mGearing;
};

// A pointer line from the inner to the outer radius about the rectangle's centre.
class IKnobLineControl : public IKnobControl
{
public:
  // Angles in radians, clockwise from straight up; an outer radius of 0 reaches
  // half the rectangle's width.
  IKnobLineControl(IPlugBase* pPlug, const IRECT& rect, int paramIdx, const IColor* pColor, double innerRadius = 0.0,
                   double outerRadius = 0.0, double minAngle = -0.75 * std::numbers::pi,
                   double maxAngle = 0.75 * std::numbers::pi, EDirection direction = kVertical,
                   double gearing = kDefaultGearing);

  bool Draw(IGraphics* pGraphics) override;

private:
  IColor mColor;
  float mMinAngle, mMaxAngle, mInnerRadius, mOuterRadius;
};

// One bitmap turned about the rectangle's centre (angles in radians).
class IKnobRotaterControl : public IKnobControl
{
public:
  IKnobRotaterControl(IPlugBase* pPlug, int x, int y, int paramIdx, const IBitmap& bitmap,
                      double minAngle = -0.75 * std::numbers::pi, double maxAngle = 0.75 * std::numbers::pi,
                      int yOffsetZeroDeg = 0, EDirection direction = kVertical, double gearing = kDefaultGearing);

  bool Draw(IGraphics* pGraphics) override;

private:
  IBitmap mBitmap;
  double mMinAngle, mMaxAngle;
  int mYOffset;
};

// A strip with one frame per position.
class IKnobMultiControl : public IKnobControl
{
public:
  IKnobMultiControl(IPlugBase* pPlug, int x, int y, int paramIdx, const IBitmap& bitmap,
                    EDirection direction = kVertical, double gearing = kDefaultGearing);

  bool Draw(IGraphics* pGraphics) override;

private:
  IBitmap mBitmap;
};

// A base, a mask turned and added over it, and a top layer turned with it
// (angles in degrees).
class IKnobRotatingMaskControl : public IKnobControl
{
public:
  IKnobRotatingMaskControl(IPlugBase* pPlug, int x, int y, int paramIdx, const IBitmap& base, const IBitmap& mask,
                           const IBitmap& top, double minAngle = -151.0, double maxAngle = 151.0,
                           EDirection direction = kVertical, double gearing = kDefaultGearing);

  bool Draw(IGraphics* pGraphics) override;

private:
  IBitmap mBase, mMask, mTop;
  double mMinAngle, mMaxAngle;
};
