#pragma once
// A graphics context with no window: what the window layer would do is
// recorded, and the answers of the user (menu choice, text, file, message
// box button) are scripted. Bitmaps load from a folder, "name@2x.png" beside
// "name.png" when the scale is above 1.

#include "IGraphics.h"
#include "IParam.h"

#include <atomic>
#include <string>
#include <vector>

class TestGraphics : public IGraphics
{
public:
  TestGraphics(IPlugBase* pPlug, int w, int h, int fps = 0, std::string resourceFolder = "")
      : IGraphics(pPlug, w, h, fps), mResourceFolder(std::move(resourceFolder))
  {
  }

  struct TextEntry
  {
    IControl* control;
    IParam* param;
    IRECT rect;
    std::string text;
  };

  void DrawScreen(IRECT* pR) override { mScreenDraws.push_back(*pR); }
  void ForceEndUserEdit() override {}
  int ShowMessageBox(const char* text, const char*, int) override;
  IPopupMenu* CreateIPopupMenu(IPopupMenu* pMenu, IRECT* pTextRect) override;
  void CreateTextEntry(IControl* pControl, IText*, IRECT* pTextRect, const char* str, IParam* pParam) override
  {
    mTextEntries.push_back({pControl, pParam, *pTextRect, str});
  }
  void HostPath(WDL_String* pPath) override { pPath->Set("/usr/bin/host"); }
  void PluginPath(WDL_String* pPath) override { pPath->Set(mResourceFolder.c_str()); }
  void DesktopPath(WDL_String* pPath) override { pPath->Set("/tmp/"); }
  void AppSupportPath(WDL_String* pPath, bool) override { pPath->Set("/tmp/"); }
  void SandboxSafeAppSupportPath(WDL_String* pPath) override { pPath->Set("/tmp/"); }
  void PromptForFile(WDL_String* pFilename, EFileAction action, WDL_String* pDir, char* extensions) override;
  bool PromptForColor(IColor*, char*) override { return false; }
  bool OpenURL(const char* url, const char*, const char*, const char*) override;
  void* OpenWindow(void* pParent) override { return mWindow = pParent ? pParent : this; }
  void CloseWindow() override { mWindow = nullptr; }
  void* GetWindow() override { return mWindow; }
  bool GetTextFromClipboard(WDL_String*) override { return false; }
  void UpdateTooltips() override {}
  LICE_IBitmap* OSLoadBitmap(int id, const char* name) override;

  // Scripted answers.
  int mMessageBoxAnswer = 1;
  int mMenuChoice = -1; // the item the user picks; -1 dismisses the menu
  int mSubmenuChoice = -1; // with a submenu at mMenuChoice, the item picked in it
  std::string mFileChoice;
  bool mOpenURLResult = true;

  // What the window layer was asked to do.
  std::vector<IRECT> mScreenDraws;
  std::vector<std::string> mMessages;
  std::vector<std::vector<std::string>> mMenus; // item texts; disabled ones lead with '-', checked ones with '*'
  std::vector<TextEntry> mTextEntries;
  std::vector<std::string> mOpenedURLs;
  struct FilePrompt
  {
    EFileAction action;
    std::string proposedName, folder, extensions;
  };
  std::vector<FilePrompt> mFilePrompts;
  // Decodes from files by every context in the process.
  static std::atomic<int> sBitmapLoads;

private:
  std::string mResourceFolder;
  void* mWindow = nullptr;
};
