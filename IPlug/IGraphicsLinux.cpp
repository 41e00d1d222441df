#include "IGraphicsLinux.h"

#include "Clipboard.h"
#include "ComponentManager.h"
#include "DesktopServices.h"
#include "FileChooser.h"
#include "IControl.h"
#include "IPlugBase.h"
#include "IPopupMenu.h"
#include "LICE_IBitmap.h"
#include "LICE_PNG.h"
#include "X11EditorView.h"
#include "X11MessageBox.h"
#include "X11PopupMenu.h"

#include <cstdlib>
#include <future>
#include <mutex>
#include <strings.h>

namespace
{
// The model's numbering: none, "1: ", "01: ", "001: ", counted from 1.
std::string numbered(const char* text, int prefix, int index)
{
  if (prefix < 1 || prefix > 3) return text;
  char number[16];
  snprintf(number, sizeof number, "%0*d: ", prefix, index + 1);
  return number + std::string(text);
}

std::unique_ptr<X11Menu> buildMenu(IPopupMenu& model)
{
  auto menu = std::make_unique<X11Menu>();
  menu->source = &model;
  for (int i = 0; i < model.GetNItems(); ++i)
  {
    const IPopupMenuItem* item = model.GetItem(i);
    X11MenuItem& entry = menu->items.emplace_back();
    entry.separator = item->GetIsSeparator();
    entry.text = numbered(item->GetText(), model.GetPrefix(), i);
    entry.disabled = !item->GetEnabled();
    entry.title = item->GetIsTitle();
    entry.checked = item->GetChecked();
    if (item->GetSubmenu()) entry.submenu = buildMenu(*item->GetSubmenu());
  }
  return menu;
}

std::string folderOf(const std::string& path)
{
  return path.substr(0, path.find_last_of('/') + 1);
}

void setPath(WDL_String* pPath, const std::string& path)
{
  if (pPath) pPath->Set(path.c_str());
}
} // namespace

IGraphicsLinux::IGraphicsLinux(IPlugBase* pPlug, int w, int h, int fps) : IGraphics(pPlug, w, h, fps) {}

IGraphicsLinux::~IGraphicsLinux()
{
  CloseWindow();
}

void* IGraphicsLinux::OpenWindow(void* pParentWnd)
{
  CloseWindow();
  // From here on values from other threads wait for the editor's idle call;
  // with a loop of its own, that thread takes over as soon as it runs.
  SetEditorThread(std::this_thread::get_id());
  mView = std::make_unique<X11EditorView>(*this, Window(reinterpret_cast<uintptr_t>(pParentWnd)), mTitle, mHostScale,
                                          mUserScale);
  if (!mView->IsOpen())
  {
    mView.reset();
    return nullptr;
  }
  mWindowId = mView->GetWindow();
  SetAllControlsDirty();
  mNextFrame = std::chrono::steady_clock::now();
  mStopLoop = false;
  if (!mHostIdle) mLoopThread = std::thread([this] { runOwnLoop(); });
  return GetWindow();
}

void IGraphicsLinux::CloseWindow()
{
  if (!mLoopThread.joinable() || mLoopThread.get_id() != std::this_thread::get_id()) stopOwnLoop();
  // From the window's own event handling (a control, its close button) the
  // view must outlive the dispatch: the outermost Idle closes it after.
  if (mIdleDepth > 0)
    mClosePending = true;
  else
    closeView();
}

void IGraphicsLinux::closeView()
{
  if (mView && mPlug) mPlug->OnGUIClose();
  mClosePending = false;
  mView.reset();
  mWindowId = 0;
}

void* IGraphicsLinux::GetWindow()
{
  return reinterpret_cast<void*>(uintptr_t(mWindowId.load()));
}

void IGraphicsLinux::runOwnLoop()
{
  SetEditorThread(std::this_thread::get_id());
  while (!mStopLoop && mView)
  {
    WaitForEvents(1000);
    Idle();
  }
}

void IGraphicsLinux::stopOwnLoop()
{
  if (!mLoopThread.joinable()) return;
  mStopLoop = true;
  mLoopThread.join();
}

void IGraphicsLinux::onWindowGone()
{
  mClosePending = true;
}

void IGraphicsLinux::Idle()
{
  if (!mView) return;
  ++mIdleDepth;
  TakeParametersFromPlug();
  mView->Connection().DispatchPending();
  if (!mClosePending) tick();
  --mIdleDepth;
  // Not inside a menu's or dialog's loop: the view goes once nothing uses it.
  if (mClosePending && mIdleDepth == 0) closeView();
}

void IGraphicsLinux::WaitForEvents(int timeoutMs)
{
  if (!mView) return;
  const auto untilFrame =
      std::chrono::duration_cast<std::chrono::milliseconds>(mNextFrame - std::chrono::steady_clock::now()).count();
  mView->Connection().WaitForEvents(std::min<long long>(timeoutMs, std::max<long long>(untilFrame, 0)));
}

void IGraphicsLinux::tick()
{
  const auto now = std::chrono::steady_clock::now();
  mView->CheckHover(now);
  if (now < mNextFrame) return;
  // A late frame does not make the next ones come faster.
  mNextFrame = std::max(mNextFrame + std::chrono::milliseconds(1000 / FPS()), now);
  // Editors running on threads of their own draw one at a time: they share
  // the process-wide bitmaps and fonts, whose cairo objects are not for two
  // threads at once.
  static std::mutex drawing;
  std::lock_guard lock(drawing);
  IRECT dirty;
  if (IsDirty(&dirty)) Draw(&dirty);
}

void IGraphicsLinux::DrawScreen(IRECT* pR)
{
  if (mView && pR) mView->Show(*pR);
}

void IGraphicsLinux::Resize(int w, int h)
{
  if (w == Width() && h == Height()) return;
  IGraphics::Resize(w, h);
  if (mView) mView->Resize();
}

void IGraphicsLinux::runNestedLoop(const std::function<bool()>& done)
{
  ++mModalDepth;
  while (!done())
  {
    WaitForEvents(1000);
    Idle();
  }
  --mModalDepth;
}

// Dialogs run on a thread of their own (with their own X connections) while
// this window keeps repainting, as a modal dialog's run loop would let it.
template <class Result> Result IGraphicsLinux::runModal(std::function<Result()> dialog)
{
  if (!mView) return dialog();
  std::future<Result> answer = std::async(std::launch::async, std::move(dialog));
  runNestedLoop([&] { return answer.wait_for(std::chrono::seconds(0)) == std::future_status::ready; });
  return answer.get();
}

int IGraphicsLinux::ShowMessageBox(const char* text, const char* caption, int type)
{
  const std::string message = text ? text : "", title = caption ? caption : "";
  const unsigned long owner = mWindowId;
  const double scale = GetScale();
  return runModal<int>([=] { return RunX11MessageBox(message.c_str(), title.c_str(), type, owner, scale); });
}

IPopupMenu* IGraphicsLinux::CreateIPopupMenu(IPopupMenu* pMenu, IRECT* pTextRect)
{
  ReleaseMouseCapture();
  if (!mView || !pMenu || !pTextRect) return nullptr;
  const std::unique_ptr<X11Menu> menu = buildMenu(*pMenu);
  int rootX, rootY;
  constexpr int kBelowTheRect = 4;
  mView->RootPosition(pTextRect->L, pTextRect->B + kBelowTheRect, rootX, rootY);
  X11PopupMenu popup(mView->Connection(), mView->Scale());
  popup.Open(*menu, rootX, rootY);
  runNestedLoop([&] { return popup.Done(); });
  const X11MenuChoice choice = popup.Choice();
  if (!choice.menu || choice.index < 0) return nullptr;
  IPopupMenu* chosen = static_cast<IPopupMenu*>(const_cast<void*>(choice.menu->source));
  chosen->SetChosenItemIdx(choice.index);
  return chosen;
}

void IGraphicsLinux::CreateTextEntry(IControl* pControl, IText* pText, IRECT* pTextRect, const char* str,
                                     IParam* pParam)
{
  if (!mView || mView->HasTextEntry() || !pControl || !pText || !pTextRect) return;
  mView->OpenTextEntry(pControl, *pText, *pTextRect, str, pParam);
}

void IGraphicsLinux::ForceEndUserEdit()
{
  if (mView) mView->EndTextEntry(false);
}

void IGraphicsLinux::HostPath(WDL_String* pPath)
{
  setPath(pPath, ExecutablePath());
}

void IGraphicsLinux::PluginPath(WDL_String* pPath)
{
  setPath(pPath, FolderOfLoadedLibrary(reinterpret_cast<const void*>(&numbered)));
}

void IGraphicsLinux::DesktopPath(WDL_String* pPath)
{
  setPath(pPath, DesktopFolder());
}

void IGraphicsLinux::AppSupportPath(WDL_String* pPath, bool isSystem)
{
  setPath(pPath, isSystem ? "/etc/xdg" : ConfigFolder());
}

void IGraphicsLinux::SandboxSafeAppSupportPath(WDL_String* pPath)
{
  const char* home = getenv("HOME");
  setPath(pPath, std::string(home ? home : "") + "/Music");
}

void IGraphicsLinux::PromptForFile(WDL_String* pFilename, EFileAction action, WDL_String* pDir, char* extensions)
{
  if (!pFilename) return;
  if (!mView)
  {
    pFilename->Set("");
    return;
  }
  FileChooserRequest request;
  request.save = action == kFileSave;
  request.folder = pDir ? pDir->Get() : "";
  request.extensions = extensions ? extensions : "";
  request.proposedName = pFilename->Get();
  request.ownerWindow = mWindowId;
  request.scale = GetScale();
  const std::string path = runModal<std::string>([request] { return RunFileChooser(request); });
  pFilename->Set(path.c_str());
  if (!path.empty() && pDir) pDir->Set(folderOf(path).c_str());
}

bool IGraphicsLinux::OpenURL(const char* url, const char*, const char*, const char*)
{
  return url && OpenWithDesktopHandler(url);
}

bool IGraphicsLinux::GetTextFromClipboard(WDL_String* pStr)
{
  std::string text;
  const bool found = ReadClipboardText(text);
  if (pStr) pStr->Set(text.c_str());
  return found;
}

void IGraphicsLinux::HideMouseCursor()
{
  if (mView) mView->HideCursor();
}

void IGraphicsLinux::ShowMouseCursor()
{
  if (mView) mView->ShowCursor();
}

// Tool tips are looked up when the pointer rests; a change of controls only
// takes down the one showing.
void IGraphicsLinux::UpdateTooltips()
{
  if (mView) mView->HideTooltip();
}

LICE_IBitmap* IGraphicsLinux::OSLoadBitmap(int, const char* name)
{
  const char* dot = name ? strrchr(name, '.') : nullptr;
  if (!dot || strcasecmp(dot, ".png") != 0) return nullptr;
  const std::string folder = GetBundleResourcePath(mBundleID.c_str());
  if (folder.empty()) return nullptr;
  const char* slash = strrchr(name, '/');
  const std::string file = slash ? slash + 1 : name;
  const std::string stem = folder + "/" + file.substr(0, file.size() - 4);
  if (GetScale() > 1.0)
    if (LICE_IBitmap* sharper = LICE_LoadPNG((stem + "@2x.png").c_str(), 2.0)) return sharper;
  return LICE_LoadPNG((stem + ".png").c_str(), 1.0);
}
