#pragma once
// A handle bitmap sliding along a track; clicks and drags put the handle's
// centre under the mouse. Every operation runs on the editor thread.

#include "IControl.h"

class IFaderControl : public IControl
{
public:
  // The track is len pixels long, the handle as wide (vertical) or as high
  // (horizontal) as its bitmap.
  IFaderControl(IPlugBase* pPlug, int x, int y, int len, int paramIdx, const IBitmap& bitmap,
                EDirection direction = kVertical, bool onlyHandle = false);

  int GetLength() const { return mLen; }
  int GetHandleHeadroom() const { return mHandleHeadroom; }
  // The handle's rectangle for value (the current value when below 0).
  IRECT GetHandleRECT(double value = -1.0) const;

  void OnMouseDown(int x, int y, IMouseMod* pMod) override;
  void OnMouseDrag(int x, int y, int dX, int dY, IMouseMod* pMod) override;
  void OnMouseWheel(int x, int y, IMouseMod* pMod, int d) override;
  bool Draw(IGraphics* pGraphics) override;
  bool IsHit(int x, int y) override;
  virtual void SnapToMouse(int x, int y);

private:
  int mLen, mHandleHeadroom;
  IBitmap mBitmap;
  EDirection mDirection;
  bool mOnlyHandle;
};
