#pragma once
// Base of every editor control: a rectangle on the editor that draws itself,
// reacts to the mouse and usually follows one parameter. The graphics
// context owns the controls, dispatches input to them and redraws those that
// report themselves dirty.
//
// Everything runs on the editor thread: values that other threads set reach
// the controls through the graphics context's hand-over.

#include "Containers.h"
#include "IGraphicsStructs.h"

class IGraphics;
class IParam;
class IPlugBase;

class IControl
{
public:
  struct AuxParam
  {
    double mValue = 0.0;
    int mParamIdx = -1;
  };

  IControl(IPlugBase* pPlug, const IRECT& rect, int paramIdx = -1,
           const IChannelBlend& blend = IChannelBlend());
  virtual ~IControl();
  IControl(const IControl&) = delete;
  IControl& operator=(const IControl&) = delete;

  // The base reacts to the right button with a prompt for the value.
  virtual void OnMouseDown(int x, int y, IMouseMod* pMod);
  virtual void OnMouseUp(int, int, IMouseMod*) {}
  virtual void OnMouseDrag(int, int, int, int, IMouseMod*) {}
  // The base restores the default value once it is known.
  virtual void OnMouseDblClick(int x, int y, IMouseMod* pMod);
  virtual void OnMouseWheel(int, int, IMouseMod*, int) {}
  virtual bool OnKeyDown(int, int, int) { return false; }
  virtual void OnMouseOver(int, int, IMouseMod*) {}
  virtual void OnMouseOut() {}

  // Draws into the context's draw bitmap; true when something was drawn.
  virtual bool Draw(IGraphics* pGraphics) = 0;

  // A value from the plug-in: never sent back to it.
  virtual void SetValueFromPlug(double value);
  // A value the user chose: sent to the plug-in.
  virtual void SetValueFromUserInput(double value);
  virtual void TextFromTextEntry(const char*) {}
  // Text shown by controls that display text; others ignore it. A control
  // used as another's value or name display gets its text this way.
  virtual void SetTextFromPlug(const char*) {}
  virtual const char* GetTextForDisplay() const { return ""; }

  virtual void Hide(bool hide);
  virtual void GrayOut(bool gray);
  virtual bool IsHit(int x, int y) { return mTargetRECT.Contains(x, y); }

  // Clamps the value and marks the control for redraw; with pushParamToPlug
  // also hands the value to the parameter.
  virtual void SetDirty(bool pushParamToPlug = true);
  virtual void SetClean();
  virtual bool IsDirty() { return mDirty; }
  virtual void OnGUIIdle() {}
  virtual void SetAuxParamValueFromPlug(int auxParamIdx, double value);

  // Prompts for the parameter's value: a menu over the control for a
  // parameter with display texts, else a small text box on its centre.
  void PromptUserInput();
  void PromptUserInput(IRECT* pTextRect);

  void AddAuxParam(int paramIdx);
  AuxParam* GetAuxParam(int index) { return index >= 0 && index < NAuxParams() ? mAuxParams.Get() + index : nullptr; }
  int NAuxParams() const { return mAuxParams.GetSize(); }
  int AuxParamIdx(int paramIdx) const;
  void SetAllAuxParamsFromGUI();

  IPlugBase* GetPlug() const { return mPlug; }
  // The editor of the plug-in, or null before it is attached.
  IGraphics* GetGUI() const;
  // The control's parameter, or null.
  IParam* GetParam() const;
  int ParamIdx() const { return mParamIdx; }
  double GetValue() const { return mValue; }
  void SetValue(double value) { mValue = value; }
  double GetDefaultValue() const { return mDefaultValue; }
  void SetDefaultValue(double value) { mDefaultValue = value; }
  void Clamp(double lo, double hi)
  {
    mClampLo = lo;
    mClampHi = hi;
  }
  const IRECT& GetRECT() const { return mRECT; }
  const IRECT& GetTargetRECT() const { return mTargetRECT; }
  void SetTargetArea(const IRECT& rect) { mTargetRECT = rect; }
  const IChannelBlend& GetBlend() const { return mBlend; }
  IChannelBlend* GetBlendPtr() { return &mBlend; }
  IText* GetText() { return &mText; }
  void SetText(const IText& text) { mText = text; }
  int GetTextEntryLength() const { return mTextEntryLength; }
  void SetTextEntryLength(int length) { mTextEntryLength = length; }
  bool IsHidden() const { return mHide; }
  bool IsGrayed() const { return mGrayed; }
  bool GetMOWhenGrayed() const { return mMOWhenGrayed; }
  void SetMOWhenGrayed(bool allow) { mMOWhenGrayed = allow; }
  bool MouseDblAsSingleClick() const { return mDblAsSingleClick; }
  void SetDblAsSingleClick(bool single) { mDblAsSingleClick = single; }
  void DisablePrompt(bool disable) { mDisablePrompt = disable; }
  void SetValDisplayControl(IControl* pControl) { mValDisplayControl = pControl; }
  void SetNameDisplayControl(IControl* pControl) { mNameDisplayControl = pControl; }
  void SetTooltip(const char* tooltip) { mTooltip.Set(tooltip); }
  const char* GetTooltip() const { return mTooltip.Get(); }

protected:
  // Frame for the value among N frames, 1-based; 1 with fewer than 2 frames.
  static int FrameForValue(double value, int nFrames);
  void updateValueDisplay();
  void updateNameDisplay();

  int mTextEntryLength = 7;
  IText mText;
  IPlugBase* mPlug;
  IRECT mRECT;
  IRECT mTargetRECT;
  int mParamIdx;
  WDL_TypedBuf<AuxParam> mAuxParams{int(sizeof(AuxParam)) * 4};
  double mValue = 0.0;
  double mDefaultValue = -1.0;
  double mClampLo = 0.0;
  double mClampHi = 1.0;
  bool mDirty = true;
  bool mHide = false;
  bool mGrayed = false;
  bool mRedraw = false;
  bool mDisablePrompt = true;
  bool mDblAsSingleClick = false;
  bool mMOWhenGrayed = false;
  IChannelBlend mBlend;
  IControl* mValDisplayControl = nullptr;  // not owned
  IControl* mNameDisplayControl = nullptr; // not owned
  WDL_String mTooltip;
};

// Fills its rectangle with one colour.
class IPanelControl : public IControl
{
public:
  IPanelControl(IPlugBase* pPlug, const IRECT& rect, const IColor& color)
      : IControl(pPlug, rect), mColor(color)
  {
  }
  bool Draw(IGraphics* pGraphics) override;

protected:
  IColor mColor;
};

// Shows the frame of a multi-frame bitmap that matches its value.
class IBitmapControl : public IControl
{
public:
  // Sized to one frame of the bitmap at (x, y).
  IBitmapControl(IPlugBase* pPlug, int x, int y, int paramIdx, const IBitmap& bitmap,
                 IChannelBlend::EBlendMethod blendMethod = IChannelBlend::kBlendNone);
  IBitmapControl(IPlugBase* pPlug, int x, int y, const IBitmap& bitmap,
                 IChannelBlend::EBlendMethod blendMethod = IChannelBlend::kBlendNone)
      : IBitmapControl(pPlug, x, y, -1, bitmap, blendMethod)
  {
  }
  bool Draw(IGraphics* pGraphics) override;

protected:
  IBitmap mBitmap;
};
