#pragma once
// Controls that hand a click to the platform: opening a web page and choosing
// a file. Every operation runs on the editor thread.

#include "Containers.h"
#include "IControl.h"

// An invisible area that opens a URL, falling back to a second one.
class IURLControl : public IControl
{
public:
  static constexpr int kURLSize = 256;

  IURLControl(IPlugBase* pPlug, const IRECT& rect, const char* url, const char* backupURL = nullptr,
              const char* errMsgOnFailure = nullptr);

  void OnMouseDown(int x, int y, IMouseMod* pMod) override;
  bool Draw(IGraphics*) override { return true; }

private:
  char mURL[kURLSize] = {}, mBackupURL[kURLSize] = {}, mErrMsg[kURLSize] = {};
};

// Opens a file dialog on a click; its bitmap shows while the dialog is up.
// Each completed choice steps the value so the plug-in hears about it.
class IFileSelectorControl : public IControl
{
public:
  enum EFileSelectorState
  {
    kFSNone,
    kFSSelecting,
    kFSDone
  };

  IFileSelectorControl(IPlugBase* pPlug, const IRECT& rect, int paramIdx, const IBitmap& bitmap, EFileAction action,
                       const char* dir = "", const char* extensions = "");

  void OnMouseDown(int x, int y, IMouseMod* pMod) override;
  bool Draw(IGraphics* pGraphics) override;
  // Dirty once more after a choice, so the finished state is drawn.
  bool IsDirty() override;

  void GetLastSelectedFileForPlug(WDL_String* pStr) const { pStr->Set(mFile.Get()); }
  void SetLastSelectedFileFromPlug(const char* file) { mFile.Set(file); }
  EFileSelectorState GetState() const { return mState; }

private:
  IBitmap mBitmap;
  WDL_String mDir, mFile, mExtensions;
  EFileAction mFileAction;
  EFileSelectorState mState = kFSNone;
};
