#pragma once
// The editor's drawing surface and the owner of its controls. It turns the
// window layer's mouse and key events into calls on the right control, keeps
// controls and parameters in step both ways, tracks what needs redrawing and
// redraws it into an off-screen bitmap. It loads and caches bitmaps and fonts
// (process-wide, shared by every instance) and offers the drawing operations
// controls use. Window, menus, text entry and dialogs are left to a subclass.
//
// Threads: input, the repaint timer and drawing run on the editor thread.
// SetParameterFromPlug may come from any thread: from another one than the
// editor's, the value waits for the editor thread's next idle call, so a
// control never changes while it is drawn or dragged.
//
// High-resolution screens: with a scale above 1 the off-screen bitmap has
// that many device pixels per logical pixel; controls, rectangles and mouse
// coordinates stay in the editor's logical pixels.

#include "Containers.h"
#include "IGraphicsStructs.h"
#include "LatestValues.h"

#include <atomic>
#include <memory>
#include <thread>

class IControl;
class IParam;
class IPlugBase;
class IPopupMenu;
class LICE_IBitmap;
class LICE_CachedFont;
typedef struct _cairo cairo_t;

class IGraphics
{
public:
  // Flag for DrawIText: the text may run outside its rectangle.
  static constexpr int kDrawTextNoClip = 256;
  static constexpr int kDefaultFPS = 25;
  static constexpr int kIdleTicks = 20;

  // fps <= 0 means the default rate.
  IGraphics(IPlugBase* pPlug, int w, int h, int fps = 0);
  virtual ~IGraphics();
  IGraphics(const IGraphics&) = delete;
  IGraphics& operator=(const IGraphics&) = delete;

  // ---- Operations the window layer supplies or overrides. ----
  // Shows the given area of the draw bitmap on screen.
  virtual void DrawScreen(IRECT* pR) = 0;
  virtual bool MeasureIText(IText* pTxt, char* str, IRECT* pR);
  virtual void ForceEndUserEdit() = 0;
  virtual void Resize(int w, int h);
  virtual bool WindowIsOpen() { return GetWindow() != nullptr; }
  virtual const char* GetGUIAPI() { return ""; }
  // Modal; type 0 OK, 1 OK/Cancel, 3 Yes/No/Cancel, 4 Yes/No. Returns 1 for
  // the first button, 7 for the second, 2 for the third, 0 otherwise.
  virtual int ShowMessageBox(const char* text, const char* caption, int type) = 0;
  // Shows the menu; returns the (sub)menu whose item was chosen, with the
  // chosen index stored in it, or null.
  virtual IPopupMenu* CreateIPopupMenu(IPopupMenu* pMenu, IRECT* pTextRect) = 0;
  // Opens a text field; when it closes the window layer calls SetFromStringAfterPrompt.
  virtual void CreateTextEntry(IControl* pControl, IText* pText, IRECT* pTextRect, const char* str,
                               IParam* pParam) = 0;
  virtual void HostPath(WDL_String* pPath) = 0;
  virtual void PluginPath(WDL_String* pPath) = 0;
  virtual void DesktopPath(WDL_String* pPath) = 0;
  virtual void AppSupportPath(WDL_String* pPath, bool isSystem = false) = 0;
  virtual void SandboxSafeAppSupportPath(WDL_String* pPath) = 0;
  // The file name is emptied when the user cancels; extensions are one
  // space-separated list without dots.
  virtual void PromptForFile(WDL_String* pFilename, EFileAction action = kFileOpen, WDL_String* pDir = nullptr,
                             char* extensions = nullptr) = 0;
  virtual bool PromptForColor(IColor* pColor, char* prompt = nullptr) = 0;
  virtual bool OpenURL(const char* url, const char* msgWindowTitle = nullptr, const char* confirmMsg = nullptr,
                       const char* errMsgOnFailure = nullptr) = 0;
  virtual void* OpenWindow(void* pParentWnd) = 0;
  virtual void* OpenWindow(void*, void*, short, short) { return nullptr; }
  virtual void AttachSubWindow(void*) {}
  virtual void RemoveSubWindow() {}
  virtual void CloseWindow() = 0;
  virtual void* GetWindow() = 0;
  virtual bool GetTextFromClipboard(WDL_String* pStr) = 0;
  virtual void HideMouseCursor() {}
  virtual void ShowMouseCursor() {}
  virtual void UpdateTooltips() = 0;
  // A new bitmap decoded from the resource, or null. Called with the bitmap
  // cache locked, at most once per resource and resolution per process.
  virtual LICE_IBitmap* OSLoadBitmap(int id, const char* name) = 0;

  // ---- Attached by the plug-in base. ----
  // Pushes a parameter value into every control that follows the parameter.
  // Any thread.
  virtual void SetParameterFromPlug(int paramIdx, double value, bool normalized);
  // The thread that draws and takes input from now on; before any is set,
  // every thread counts as the editor's.
  void SetEditorThread(std::thread::id thread) { mEditorThread = thread; }
  // Editor thread: the values other threads set since the last call reach
  // their controls.
  void TakeParametersFromPlug();
  // Creates the off-screen bitmaps; the plug-in base calls it on attaching.
  virtual void PrepDraw();

  // ---- Layout. ----
  // Takes ownership; returns the control's index.
  int AttachControl(IControl* pControl);
  void AttachKeyCatcher(IControl* pControl);
  void AttachBackground(int id, const char* name);
  void AttachPanelBackground(const IColor& color);
  IControl* GetControl(int idx) const { return mControls.Get(idx); }
  int GetNControls() const { return mControls.GetSize(); }
  IControl* GetKeyCatcher() const { return mKeyCatcher; }
  IPlugBase* GetPlug() const { return mPlug; }
  int Width() const { return mWidth; }
  int Height() const { return mHeight; }
  int FPS() const { return mFPS; }

  // Device pixels per logical pixel, 1 to 4. Rebuilds the draw bitmap and
  // marks every control dirty when it changes.
  void SetScale(double scale);
  double GetScale() const { return mScale; }

  // ---- Controls and parameters in step. ----
  void SetControlFromPlug(int controlIdx, double normalizedValue);
  void SetParameterFromGUI(int paramIdx, double normalizedValue);
  void ClampControl(int paramIdx, double lo, double hi, bool normalized);
  void HideControl(int paramIdx, bool hide);
  void GrayOutControl(int paramIdx, bool gray);
  void SetAllControlsDirty();
  void SetStrictDrawing(bool strict);
  void AssignParamNameToolTips();
  void PromptUserInput(IControl* pControl, IParam* pParam, IRECT* pTextRect);
  void SetFromStringAfterPrompt(IControl* pControl, IParam* pParam, const char* txt);

  // ---- Input from the window layer, in logical pixels from the top left. ----
  void OnMouseDown(int x, int y, IMouseMod* pMod);
  void OnMouseUp(int x, int y, IMouseMod* pMod);
  void OnMouseDrag(int x, int y, IMouseMod* pMod);
  // True when the double click began a capture (a control that takes it as a
  // single click).
  bool OnMouseDblClick(int x, int y, IMouseMod* pMod);
  void OnMouseWheel(int x, int y, IMouseMod* pMod, int d);
  bool OnMouseOver(int x, int y, IMouseMod* pMod);
  void OnMouseOut();
  bool OnKeyDown(int x, int y, int key);
  int GetMouseControlIdx(int x, int y, bool mouseOver = false);
  void ReleaseMouseCapture();
  int GetMouseCapture() const { return mMouseCapture; }
  int GetMouseOver() const { return mMouseOver; }
  void HandleMouseOver(bool canHandle) { mHandleMouseOver = canHandle; }
  bool CanHandleMouseOver() const { return mHandleMouseOver; }
  int GetParamIdxForPTAutomation(int x, int y);
  int GetLastClickedParamForPTAutomation();

  // ---- Redraw. ----
  // Grows *pR by the rectangle of every dirty control; true when any was.
  // Every 21st clean check in a row calls the plug-in's OnIdle.
  bool IsDirty(IRECT* pR);
  void Draw(IRECT* pR);
  void OnGUIIdle();
  const IRECT& GetDrawRECT() const { return mDrawRECT; }

  // ---- Bitmaps: process-wide, decoded once per resource. ----
  IBitmap LoadIBitmap(int id, const char* name, int nStates = 1, bool framesAreHorizontal = false);
  // Hands a bitmap made at run time to the cache, which then owns it.
  void RetainBitmap(IBitmap* pBitmap);
  void ReleaseBitmap(IBitmap* pBitmap);
  IBitmap ScaleBitmap(IBitmap* pSrcBitmap, int destW, int destH);
  IBitmap CropBitmap(IBitmap* pSrcBitmap, IRECT* pR);

  // ---- Text. ----
  // Finds or creates the text style's font in the process-wide cache; null
  // when no font can be made.
  LICE_CachedFont* CacheFont(IText* pTxt);
  // With measure, changes *pR to the text's extent instead of drawing.
  bool DrawIText(IText* pTxt, const char* str, IRECT* pR, int flags = kDrawTextNoClip, bool measure = false);

  // ---- Drawing into the draw bitmap, in logical pixels. A null blend
  // draws opaque over what is there. ----
  bool DrawBitmap(IBitmap* pBitmap, IRECT* pDest, int srcX, int srcY, const IChannelBlend* pBlend = nullptr);
  // state is 1-based; 0 and 1 both draw the first frame.
  bool DrawBitmap(IBitmap* pBitmap, IRECT* pDest, int state = 1, const IChannelBlend* pBlend = nullptr);
  // angle in radians, clockwise.
  bool DrawRotatedBitmap(IBitmap* pBitmap, int destCtrX, int destCtrY, double angle, int yOffsetZeroDeg = 0,
                         const IChannelBlend* pBlend = nullptr);
  // angle in degrees, clockwise.
  bool DrawRotatedMask(IBitmap* pBase, IBitmap* pMask, IBitmap* pTop, int x, int y, double angle,
                       const IChannelBlend* pBlend = nullptr);
  bool DrawPoint(const IColor* pColor, float x, float y, const IChannelBlend* pBlend = nullptr,
                 bool antiAlias = false);
  bool ForcePixel(const IColor* pColor, int x, int y);
  bool DrawLine(const IColor* pColor, float x1, float y1, float x2, float y2, const IChannelBlend* pBlend = nullptr,
                bool antiAlias = false);
  // Angles in radians, clockwise from straight up.
  bool DrawArc(const IColor* pColor, float cx, float cy, float r, float minAngle, float maxAngle,
               const IChannelBlend* pBlend = nullptr, bool antiAlias = false);
  bool DrawCircle(const IColor* pColor, float cx, float cy, float r, const IChannelBlend* pBlend = nullptr,
                  bool antiAlias = false);
  bool RoundRect(const IColor* pColor, IRECT* pR, const IChannelBlend* pBlend, int cornerRadius, bool antiAlias);
  bool FillRoundRect(const IColor* pColor, IRECT* pR, const IChannelBlend* pBlend, int cornerRadius,
                     bool antiAlias);
  bool FillIRect(const IColor* pColor, IRECT* pR, const IChannelBlend* pBlend = nullptr);
  bool DrawRect(const IColor* pColor, IRECT* pR);
  bool FillCircle(const IColor* pColor, int cx, int cy, float r, const IChannelBlend* pBlend = nullptr,
                  bool antiAlias = false);
  bool FillTriangle(const IColor* pColor, int x1, int y1, int x2, int y2, int x3, int y3,
                    const IChannelBlend* pBlend = nullptr);
  bool FillIConvexPolygon(const IColor* pColor, int* x, int* y, int npoints, const IChannelBlend* pBlend = nullptr);
  bool DrawVerticalLine(const IColor* pColor, int xi, int yLo, int yHi);
  bool DrawHorizontalLine(const IColor* pColor, int yi, int xLo, int xHi);
  // A line across the rectangle at fraction x (or y) of its width (height).
  bool DrawVerticalLine(const IColor* pColor, IRECT* pR, float x);
  bool DrawHorizontalLine(const IColor* pColor, IRECT* pR, float y);
  bool DrawRadialLine(const IColor* pColor, float cx, float cy, float angle, float rMin, float rMax,
                      const IChannelBlend* pBlend = nullptr, bool antiAlias = false);
  // The colour at a logical pixel; transparent outside the bitmap.
  IColor GetPoint(int x, int y);
  // The draw bitmap's device pixels for the window layer (see LICE_IBitmap),
  // null before PrepDraw.
  void* GetBits();
  int GetBitsRowSpan() const;
  int GetBitsWidth() const;
  int GetBitsHeight() const;
  LICE_IBitmap* GetDrawBitmap() const { return mDrawBitmap.get(); }

protected:
  IPlugBase* mPlug;
  int mMouseX = 0;
  int mMouseY = 0;

private:
  // The cairo context over the draw bitmap, saved; null before PrepDraw.
  cairo_t* beginDrawing();
  void endDrawing(cairo_t* cr);
  bool blit(LICE_IBitmap* src, const IRECT& dest, int srcX, int srcY, const IChannelBlend* pBlend);
  // A shape: begin sets colour, blend and antialiasing, the caller adds the
  // path, end fills or strokes it.
  cairo_t* beginShape(const IColor* pColor, const IChannelBlend* pBlend, bool antiAlias);
  bool endShape(cairo_t* cr, bool stroke);
  void drawRotated(cairo_t* cr, LICE_IBitmap* bitmap, double x, double y, double cx, double cy, double radians);
  void drawControlsStrict(const IRECT& area);
  void drawControlsNonStrict();
  bool isClickable(IControl* pControl, bool mouseOver) const;
  void deleteControls();
  template <class Action> void forEachControlOf(int paramIdx, Action action);
  bool onEditorThread() const;
  void pushParameter(int paramIdx, double normalizedValue);
  void loadHighResolutionBitmaps();

  WDL_PtrList<IControl> mControls;
  IRECT mDrawRECT;
  std::unique_ptr<LICE_IBitmap> mDrawBitmap;
  std::unique_ptr<LICE_IBitmap> mTmpBitmap;
  cairo_t* mCairo = nullptr;
  int mWidth;
  int mHeight;
  int mFPS;
  double mScale = 1.0;
  int mIdleTicks = 0;
  int mMouseCapture = -1;
  int mMouseOver = -1;
  int mLastClickedParam = -1;
  bool mHandleMouseOver = false;
  bool mStrict = true;
  IControl* mKeyCatcher = nullptr;
  std::atomic<std::thread::id> mEditorThread;
  LatestValues mFromPlug;
};
