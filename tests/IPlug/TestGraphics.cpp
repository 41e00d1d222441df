#include "TestGraphics.h"

#include "IPopupMenu.h"
#include "LICE_IBitmap.h"
#include "LICE_PNG.h"

std::atomic<int> TestGraphics::sBitmapLoads{0};

int TestGraphics::ShowMessageBox(const char* text, const char*, int)
{
  mMessages.push_back(text);
  return mMessageBoxAnswer;
}

IPopupMenu* TestGraphics::CreateIPopupMenu(IPopupMenu* pMenu, IRECT*)
{
  ReleaseMouseCapture();
  std::vector<std::string> items;
  for (int i = 0; i < pMenu->GetNItems(); ++i)
  {
    const IPopupMenuItem* item = pMenu->GetItem(i);
    items.push_back(std::string(item->GetEnabled() ? "" : "-") + (item->GetChecked() ? "*" : "") + item->GetText());
  }
  mMenus.push_back(items);
  if (mMenuChoice < 0 || mMenuChoice >= pMenu->GetNItems()) return nullptr;
  IPopupMenu* submenu = pMenu->GetItem(mMenuChoice)->GetSubmenu();
  if (submenu && mSubmenuChoice >= 0)
  {
    submenu->SetChosenItemIdx(mSubmenuChoice);
    return submenu;
  }
  pMenu->SetChosenItemIdx(mMenuChoice);
  return pMenu;
}

void TestGraphics::PromptForFile(WDL_String* pFilename, EFileAction action, WDL_String* pDir, char* extensions)
{
  mFilePrompts.push_back({action, pFilename->Get(), pDir ? pDir->Get() : "", extensions ? extensions : ""});
  pFilename->Set(mFileChoice.c_str());
}

bool TestGraphics::OpenURL(const char* url, const char*, const char*, const char*)
{
  mOpenedURLs.push_back(url ? url : "");
  return mOpenURLResult;
}

LICE_IBitmap* TestGraphics::OSLoadBitmap(int, const char* name)
{
  const std::string path = mResourceFolder + "/" + name;
  ++sBitmapLoads;
  if (GetScale() > 1.0 && path.size() > 4)
  {
    const std::string sharper = path.substr(0, path.size() - 4) + "@2x.png";
    if (LICE_IBitmap* bitmap = LICE_LoadPNG(sharper.c_str(), 2.0)) return bitmap;
  }
  return LICE_LoadPNG(path.c_str(), 1.0);
}

// fontconfig keeps the patterns cairo resolves fonts with for the life of the
// process; the leak checker of sanitizer builds would report them at exit.
extern "C" __attribute__((used)) const char* __lsan_default_suppressions()
{
  return "leak:libfontconfig.so\n";
}
