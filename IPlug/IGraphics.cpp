#include "IGraphics.h"

#include "IControl.h"
#include "IPlugBase.h"
#include "IPopupMenu.h"
#include "LICE_IBitmap.h"

#include <algorithm>
#include <cairo.h>
#include <cstdlib>
#include <cstring>

IGraphics::IGraphics(IPlugBase* pPlug, int w, int h, int fps)
    : mPlug(pPlug), mWidth(w), mHeight(h), mFPS(fps > 0 ? fps : kDefaultFPS), mFromPlug(pPlug ? pPlug->NParams() : 0)
{
}

IGraphics::~IGraphics()
{
  delete mKeyCatcher;
  deleteControls();
  if (mCairo) cairo_destroy(mCairo);
}

void IGraphics::deleteControls()
{
  mControls.Empty(true);
}

void IGraphics::PrepDraw()
{
  if (mCairo) cairo_destroy(mCairo);
  mCairo = nullptr;
  mTmpBitmap.reset();
  mDrawBitmap = std::make_unique<LICE_IBitmap>(mWidth, mHeight, mScale);
  if (mDrawBitmap->IsValid()) mCairo = cairo_create(mDrawBitmap->GetSurface());
}

void IGraphics::SetScale(double scale)
{
  scale = std::clamp(scale, 1.0, 4.0);
  if (scale == mScale) return;
  mScale = scale;
  if (mScale > 1.0) loadHighResolutionBitmaps();
  if (mDrawBitmap) PrepDraw();
  SetAllControlsDirty();
}

void IGraphics::Resize(int w, int h)
{
  mWidth = w;
  mHeight = h;
  ReleaseMouseCapture();
  mMouseX = mMouseY = -1;
  deleteControls();
  PrepDraw();
  if (mPlug) mPlug->ResizeGraphics(w, h);
}

int IGraphics::AttachControl(IControl* pControl)
{
  mControls.Add(pControl);
  return mControls.GetSize() - 1;
}

void IGraphics::AttachKeyCatcher(IControl* pControl)
{
  delete mKeyCatcher;
  mKeyCatcher = pControl;
}

void IGraphics::AttachBackground(int id, const char* name)
{
  IBitmap bitmap = LoadIBitmap(id, name, 1);
  mControls.Insert(0, new IBitmapControl(mPlug, 0, 0, -1, bitmap, IChannelBlend::kBlendClobber));
}

void IGraphics::AttachPanelBackground(const IColor& color)
{
  mControls.Insert(0, new IPanelControl(mPlug, IRECT(0, 0, mWidth, mHeight), color));
}

// ---- Controls and parameters in step ----

template <class Action> void IGraphics::forEachControlOf(int paramIdx, Action action)
{
  for (int i = 0; i < mControls.GetSize(); ++i)
    if (mControls.Get(i)->ParamIdx() == paramIdx) action(mControls.Get(i));
}

void IGraphics::SetParameterFromPlug(int paramIdx, double value, bool normalized)
{
  if (!normalized)
  {
    const IParam* param = mPlug ? mPlug->GetParam(paramIdx) : nullptr;
    if (!param) return;
    value = param->GetNormalized(value);
  }
  if (onEditorThread())
    pushParameter(paramIdx, value);
  else
    mFromPlug.Post(paramIdx, value);
}

bool IGraphics::onEditorThread() const
{
  const std::thread::id editor = mEditorThread;
  return editor == std::thread::id() || editor == std::this_thread::get_id();
}

void IGraphics::TakeParametersFromPlug()
{
  mFromPlug.TakeEach([this](int paramIdx, double value) { pushParameter(paramIdx, value); });
}

void IGraphics::pushParameter(int paramIdx, double normalizedValue)
{
  for (int i = 0; i < mControls.GetSize(); ++i)
  {
    IControl* control = mControls.Get(i);
    if (control->ParamIdx() == paramIdx) control->SetValueFromPlug(normalizedValue);
    const int aux = control->AuxParamIdx(paramIdx);
    if (aux >= 0) control->SetAuxParamValueFromPlug(aux, normalizedValue);
  }
}

void IGraphics::SetControlFromPlug(int controlIdx, double normalizedValue)
{
  if (IControl* control = mControls.Get(controlIdx)) control->SetValueFromPlug(normalizedValue);
}

void IGraphics::SetParameterFromGUI(int paramIdx, double normalizedValue)
{
  forEachControlOf(paramIdx, [normalizedValue](IControl* c) { c->SetValueFromUserInput(normalizedValue); });
}

void IGraphics::ClampControl(int paramIdx, double lo, double hi, bool normalized)
{
  if (!normalized)
  {
    const IParam* param = mPlug ? mPlug->GetParam(paramIdx) : nullptr;
    if (!param) return;
    lo = param->GetNormalized(lo);
    hi = param->GetNormalized(hi);
  }
  forEachControlOf(paramIdx, [lo, hi](IControl* c) { c->Clamp(lo, hi); });
}

void IGraphics::HideControl(int paramIdx, bool hide)
{
  forEachControlOf(paramIdx, [hide](IControl* c) { c->Hide(hide); });
}

void IGraphics::GrayOutControl(int paramIdx, bool gray)
{
  forEachControlOf(paramIdx, [gray](IControl* c) { c->GrayOut(gray); });
}

void IGraphics::SetAllControlsDirty()
{
  for (int i = 0; i < mControls.GetSize(); ++i) mControls.Get(i)->SetDirty(false);
}

void IGraphics::SetStrictDrawing(bool strict)
{
  mStrict = strict;
  SetAllControlsDirty();
}

void IGraphics::AssignParamNameToolTips()
{
  for (int i = 0; i < mControls.GetSize(); ++i)
    if (const IParam* param = mControls.Get(i)->GetParam()) mControls.Get(i)->SetTooltip(param->GetNameForHost());
}

void IGraphics::PromptUserInput(IControl* pControl, IParam* pParam, IRECT* pTextRect)
{
  if (!pControl || !pParam || !pTextRect) return;
  const bool menu = pParam->Type() == kTypeEnum || (pParam->Type() == kTypeBool && pParam->GetNDisplayTexts() > 0);
  char current[IParam::kMaxDisplaySize];
  pParam->GetDisplayForHost(current, menu);
  if (!menu)
  {
    CreateTextEntry(pControl, pControl->GetText(), pTextRect, current, pParam);
    return;
  }
  IPopupMenu popup;
  for (int i = 0; i < pParam->GetNDisplayTexts(); ++i)
  {
    const char* text = pParam->GetDisplayTextAtIdx(i);
    popup.AddItem(text)->SetChecked(strcmp(text, current) == 0);
  }
  if (CreateIPopupMenu(&popup, pTextRect) && popup.GetChosenItemIdx() >= 0)
    pControl->SetValueFromUserInput(pParam->GetNormalized(popup.GetChosenItemIdx()));
}

void IGraphics::SetFromStringAfterPrompt(IControl* pControl, IParam* pParam, const char* txt)
{
  if (!pControl || !pParam || !txt) return;
  double value;
  if (pParam->Type() == kTypeBool || pParam->Type() == kTypeEnum)
  {
    int index = 0;
    if (!pParam->MapDisplayText(txt, &index)) index = 0;
    value = index;
  }
  else
  {
    value = strtod(txt, nullptr);
    if (pParam->GetNegateDisplay()) value = -value;
  }
  pControl->SetValueFromUserInput(pParam->GetNormalized(value));
}

// ---- Input ----

bool IGraphics::isClickable(IControl* pControl, bool mouseOver) const
{
  if (pControl->IsHidden()) return false;
  return !pControl->IsGrayed() || (mouseOver && pControl->GetMOWhenGrayed());
}

int IGraphics::GetMouseControlIdx(int x, int y, bool mouseOver)
{
  if (mMouseCapture >= 0) return mMouseCapture;
  for (int i = mControls.GetSize() - 1; i >= 0; --i)
  {
    IControl* control = mControls.Get(i);
    if (isClickable(control, mouseOver) && control->IsHit(x, y)) return i;
  }
  return -1;
}

void IGraphics::ReleaseMouseCapture()
{
  mMouseCapture = -1;
}

void IGraphics::OnMouseDown(int x, int y, IMouseMod* pMod)
{
  ReleaseMouseCapture();
  const int c = GetMouseControlIdx(x, y);
  if (c < 0) return;
  mMouseCapture = c;
  mMouseX = x;
  mMouseY = y;
  IControl* control = mControls.Get(c);
  if (control->ParamIdx() >= 0 && mPlug) mPlug->BeginInformHostOfParamChange(control->ParamIdx());
  control->OnMouseDown(x, y, pMod);
}

void IGraphics::OnMouseUp(int x, int y, IMouseMod* pMod)
{
  const int c = GetMouseControlIdx(x, y);
  ReleaseMouseCapture();
  IControl* control = mControls.Get(c);
  if (!control) return;
  control->OnMouseUp(x, y, pMod);
  if (control->ParamIdx() >= 0 && mPlug) mPlug->EndInformHostOfParamChange(control->ParamIdx());
}

void IGraphics::OnMouseDrag(int x, int y, IMouseMod* pMod)
{
  IControl* control = mControls.Get(mMouseCapture);
  if (!control) return;
  const int dX = x - mMouseX;
  const int dY = y - mMouseY;
  if (dX == 0 && dY == 0) return;
  mMouseX = x;
  mMouseY = y;
  control->OnMouseDrag(x, y, dX, dY, pMod);
}

bool IGraphics::OnMouseDblClick(int x, int y, IMouseMod* pMod)
{
  ReleaseMouseCapture();
  const int c = GetMouseControlIdx(x, y);
  IControl* control = mControls.Get(c);
  if (!control) return false;
  if (!control->MouseDblAsSingleClick())
  {
    control->OnMouseDblClick(x, y, pMod);
    return false;
  }
  mMouseCapture = c;
  mMouseX = x;
  mMouseY = y;
  control->OnMouseDown(x, y, pMod);
  return true;
}

void IGraphics::OnMouseWheel(int x, int y, IMouseMod* pMod, int d)
{
  if (IControl* control = mControls.Get(GetMouseControlIdx(x, y))) control->OnMouseWheel(x, y, pMod, d);
}

bool IGraphics::OnMouseOver(int x, int y, IMouseMod* pMod)
{
  if (!mHandleMouseOver) return false;
  const int c = GetMouseControlIdx(x, y, true);
  if (c < 0) return true;
  mMouseX = x;
  mMouseY = y;
  mControls.Get(c)->OnMouseOver(x, y, pMod);
  if (mMouseOver >= 0 && mMouseOver != c)
    if (IControl* previous = mControls.Get(mMouseOver)) previous->OnMouseOut();
  mMouseOver = c;
  return true;
}

void IGraphics::OnMouseOut()
{
  for (int i = 0; i < mControls.GetSize(); ++i) mControls.Get(i)->OnMouseOut();
  mMouseOver = -1;
}

bool IGraphics::OnKeyDown(int x, int y, int key)
{
  const int c = GetMouseControlIdx(x, y);
  if (c > 0) return mControls.Get(c)->OnKeyDown(x, y, key);
  return mKeyCatcher && mKeyCatcher->OnKeyDown(x, y, key);
}

int IGraphics::GetParamIdxForPTAutomation(int x, int y)
{
  const int c = GetMouseControlIdx(x, y);
  mLastClickedParam = c > 0 ? mControls.Get(c)->ParamIdx() : -1;
  return mLastClickedParam;
}

int IGraphics::GetLastClickedParamForPTAutomation()
{
  const int last = mLastClickedParam;
  mLastClickedParam = -1;
  return last;
}

// ---- Redraw ----

bool IGraphics::IsDirty(IRECT* pR)
{
  bool dirty = false;
  for (int i = 0; i < mControls.GetSize(); ++i)
  {
    IControl* control = mControls.Get(i);
    if (!control->IsDirty()) continue;
    dirty = true;
    const IRECT& rect = control->GetRECT();
    if (pR->Empty())
      *pR = rect;
    else if (!rect.Empty())
      *pR = pR->Union(rect);
  }
  if (dirty)
  {
    mIdleTicks = 0;
    return true;
  }
  if (mIdleTicks++ == kIdleTicks)
  {
    OnGUIIdle();
    mIdleTicks = 0;
  }
  return false;
}

void IGraphics::OnGUIIdle()
{
  if (mPlug) mPlug->OnIdle();
}

void IGraphics::Draw(IRECT* pR)
{
  if (mControls.GetSize() == 0) return;
  if (mStrict)
    drawControlsStrict(*pR);
  else
    drawControlsNonStrict();
  mDrawRECT.Clear();
  DrawScreen(pR);
}

void IGraphics::drawControlsStrict(const IRECT& area)
{
  mDrawRECT = area;
  for (int i = 0; i < mControls.GetSize(); ++i)
  {
    IControl* control = mControls.Get(i);
    if (!control->IsHidden() && control->GetRECT().Intersects(area)) control->Draw(this);
  }
  for (int i = 0; i < mControls.GetSize(); ++i) mControls.Get(i)->SetClean();
}

void IGraphics::drawControlsNonStrict()
{
  IControl* background = mControls.Get(0);
  if (background->IsDirty())
  {
    mDrawRECT = background->GetRECT();
    for (int i = 0; i < mControls.GetSize(); ++i)
    {
      IControl* control = mControls.Get(i);
      if (i > 0 && control->IsHidden()) continue;
      control->Draw(this);
      control->SetClean();
    }
    return;
  }
  for (int i = 1; i < mControls.GetSize(); ++i)
  {
    IControl* dirty = mControls.Get(i);
    if (!dirty->IsDirty()) continue;
    mDrawRECT = dirty->GetRECT();
    for (int j = 0; j < mControls.GetSize(); ++j)
    {
      IControl* control = mControls.Get(j);
      if (!control->IsHidden() && (j == i || control->GetRECT().Intersects(mDrawRECT))) control->Draw(this);
    }
    dirty->SetClean();
  }
}
