#pragma once
// Switches: bitmap controls that step or pick their value on a click, and the
// radio-button row. Every operation runs on the editor thread.

#include "IControl.h"

#include <vector>

// Steps through its frames on every click and wraps to the first after the last.
class ISwitchControl : public IBitmapControl
{
public:
  ISwitchControl(IPlugBase* pPlug, int x, int y, int paramIdx, const IBitmap& bitmap,
                 IChannelBlend::EBlendMethod blendMethod = IChannelBlend::kBlendNone);

  void OnMouseDown(int x, int y, IMouseMod* pMod) override;
  void OnMouseDblClick(int x, int y, IMouseMod* pMod) override { OnMouseDown(x, y, pMod); }
};

// Shows its parameter's choices as a menu on a click.
class ISwitchPopUpControl : public ISwitchControl
{
public:
  ISwitchPopUpControl(IPlugBase* pPlug, int x, int y, int paramIdx, const IBitmap& bitmap,
                      IChannelBlend::EBlendMethod blendMethod = IChannelBlend::kBlendNone);

  void OnMouseDown(int x, int y, IMouseMod* pMod) override;
};

// One frame whose area is cut into as many click zones as the bitmap has
// frames; clicking zone i picks value i / (N - 1).
class ISwitchFramesControl : public ISwitchControl
{
public:
  ISwitchFramesControl(IPlugBase* pPlug, int x, int y, int paramIdx, const IBitmap& bitmap,
                       bool imagesAreHorizontal = false,
                       IChannelBlend::EBlendMethod blendMethod = IChannelBlend::kBlendNone);

  void OnMouseDown(int x, int y, IMouseMod* pMod) override;

private:
  std::vector<IRECT> mRECTs;
};

// A click area that toggles its value and draws nothing.
class IInvisibleSwitchControl : public IControl
{
public:
  IInvisibleSwitchControl(IPlugBase* pPlug, const IRECT& rect, int paramIdx);

  void OnMouseDown(int x, int y, IMouseMod* pMod) override;
  bool Draw(IGraphics*) override { return true; }
};

// n buttons spread evenly over the rectangle; the button of the current value
// shows the bitmap's second frame.
class IRadioButtonsControl : public IControl
{
public:
  IRadioButtonsControl(IPlugBase* pPlug, const IRECT& rect, int paramIdx, int nButtons, const IBitmap& bitmap,
                       EDirection direction = kVertical, bool reverse = false);

  void OnMouseDown(int x, int y, IMouseMod* pMod) override;
  bool Draw(IGraphics* pGraphics) override;

private:
  std::vector<IRECT> mRECTs;
  IBitmap mBitmap;
};

// A push button: on while held, back to 0 on release.
class IContactControl : public ISwitchControl
{
public:
  IContactControl(IPlugBase* pPlug, int x, int y, int paramIdx, const IBitmap& bitmap);

  void OnMouseUp(int x, int y, IMouseMod* pMod) override;
};

// Covers its whole rectangle while on; while off it is hit only in a smaller
// target area and draws nothing.
class IBitmapOverlayControl : public ISwitchControl
{
public:
  IBitmapOverlayControl(IPlugBase* pPlug, int x, int y, int paramIdx, const IBitmap& bitmap, const IRECT& targetArea);
  IBitmapOverlayControl(IPlugBase* pPlug, int x, int y, const IBitmap& bitmap, const IRECT& targetArea);

  bool Draw(IGraphics* pGraphics) override;

private:
  IRECT mTargetArea;
};
