#include "IPlatformControls.h"

#include "IGraphics.h"

#include <cstdio>

namespace
{
void copyText(char (&to)[IURLControl::kURLSize], const char* from)
{
  snprintf(to, sizeof to, "%s", from ? from : "");
}
} // namespace

IURLControl::IURLControl(IPlugBase* pPlug, const IRECT& rect, const char* url, const char* backupURL,
                         const char* errMsgOnFailure)
    : IControl(pPlug, rect)
{
  copyText(mURL, url);
  copyText(mBackupURL, backupURL);
  copyText(mErrMsg, errMsgOnFailure);
}

void IURLControl::OnMouseDown(int, int, IMouseMod*)
{
  IGraphics* pGraphics = GetGUI();
  if (!pGraphics) return;
  const bool opened = mURL[0] && pGraphics->OpenURL(mURL, nullptr, nullptr, mErrMsg);
  if (!opened && mBackupURL[0]) pGraphics->OpenURL(mBackupURL, nullptr, nullptr, mErrMsg);
}

IFileSelectorControl::IFileSelectorControl(IPlugBase* pPlug, const IRECT& rect, int paramIdx, const IBitmap& bitmap,
                                           EFileAction action, const char* dir, const char* extensions)
    : IControl(pPlug, rect, paramIdx), mBitmap(bitmap), mDir(dir), mExtensions(extensions), mFileAction(action)
{
}

void IFileSelectorControl::OnMouseDown(int, int, IMouseMod*)
{
  IGraphics* pGraphics = GetGUI();
  if (!pGraphics) return;
  mState = kFSSelecting;
  SetDirty(false);
  // The extensions buffer outlives the dialog; the dialog only reads it.
  pGraphics->PromptForFile(&mFile, mFileAction, &mDir, const_cast<char*>(mExtensions.Get()));
  mValue += 1.0;
  if (mValue > 1.0) mValue = 0.0;
  mState = kFSDone;
  SetDirty();
}

bool IFileSelectorControl::Draw(IGraphics* pGraphics)
{
  if (mState != kFSSelecting) return true;
  return pGraphics->DrawBitmap(&mBitmap, &mRECT, 1, &mBlend);
}

bool IFileSelectorControl::IsDirty()
{
  if (mDirty) return true;
  if (mState != kFSDone) return false;
  mState = kFSNone;
  return true;
}
