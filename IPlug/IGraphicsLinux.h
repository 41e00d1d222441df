#pragma once
// The editor's window on Linux, over Xlib: a child of the window a host
// gives, or a top-level window of its own. It turns X input into the graphics
// context's mouse and key calls, repaints what the context reports dirty at
// its frame rate, and offers the platform services (menus, text entry,
// message boxes, file dialogs, paths, clipboard, cursor, tool tips, URLs,
// bitmaps from the plug-in's resources).
//
// Threads: everything runs on one UI thread. Either the host drives the
// window by calling Idle() from its UI thread (SetHostIdle(true)), or
// OpenWindow starts a thread of the window's own that runs its event loop;
// from then until CloseWindow returns, every call into the context is made
// on that thread. Each open window has its own X connection, so several
// editors can be open in one process.

#include "IGraphics.h"

#include <atomic>
#include <chrono>
#include <functional>
#include <memory>
#include <string>
#include <thread>

class X11EditorView;

class IGraphicsLinux : public IGraphics
{
public:
  IGraphicsLinux(IPlugBase* pPlug, int w, int h, int fps = 0);
  ~IGraphicsLinux() override;

  // ---- Settings, before OpenWindow (editor thread). ----
  // Whose resources OSLoadBitmap reads.
  void SetBundleID(const char* bundleID) { mBundleID = bundleID ? bundleID : ""; }
  // The top-level window's title.
  void SetWindowTitle(const char* title) { mTitle = title ? title : ""; }
  // The host's scale factor (0: none); the user's setting, when above 0,
  // overrides it and the desktop's.
  void SetHostScale(double scale) { mHostScale = scale; }
  void SetUserScale(double scale) { mUserScale = scale; }
  void SetHostIdle(bool hostIdle) { mHostIdle = hostIdle; }

  // ---- Driving the window (the host's UI thread with host idle). ----
  // Handles the window's events and repaints when a frame is due; never waits.
  void Idle();
  // Waits up to timeoutMs, or until the next frame is due, for window events.
  void WaitForEvents(int timeoutMs);

  // ---- IGraphics. ----
  // pParentWnd: the X window id of the host's parent window; null opens a
  // top-level window. Returns the editor's window id.
  void* OpenWindow(void* pParentWnd) override;
  void CloseWindow() override;
  void* GetWindow() override;
  bool WindowIsOpen() override { return GetWindow() != nullptr; }
  void Resize(int w, int h) override;
  const char* GetGUIAPI() override { return "Xlib GUI"; }
  void DrawScreen(IRECT* pR) override;
  void ForceEndUserEdit() override;
  int ShowMessageBox(const char* text, const char* caption, int type) override;
  IPopupMenu* CreateIPopupMenu(IPopupMenu* pMenu, IRECT* pTextRect) override;
  void CreateTextEntry(IControl* pControl, IText* pText, IRECT* pTextRect, const char* str,
                       IParam* pParam) override;
  void HostPath(WDL_String* pPath) override;
  void PluginPath(WDL_String* pPath) override;
  void DesktopPath(WDL_String* pPath) override;
  void AppSupportPath(WDL_String* pPath, bool isSystem = false) override;
  void SandboxSafeAppSupportPath(WDL_String* pPath) override;
  void PromptForFile(WDL_String* pFilename, EFileAction action = kFileOpen, WDL_String* pDir = nullptr,
                     char* extensions = nullptr) override;
  bool PromptForColor(IColor*, char* = nullptr) override { return false; }
  bool OpenURL(const char* url, const char* msgWindowTitle = nullptr, const char* confirmMsg = nullptr,
               const char* errMsgOnFailure = nullptr) override;
  bool GetTextFromClipboard(WDL_String* pStr) override;
  void HideMouseCursor() override;
  void ShowMouseCursor() override;
  void UpdateTooltips() override;
  LICE_IBitmap* OSLoadBitmap(int id, const char* name) override;

private:
  friend class X11EditorView;

  void runOwnLoop();
  void stopOwnLoop();
  // Runs the window's events and frames until done() (menus, dialogs); input
  // to the editor itself waits meanwhile.
  void runNestedLoop(const std::function<bool()>& done);
  template <class Result> Result runModal(std::function<Result()> dialog);
  void tick();
  // From the window: its close button, or the host destroying it.
  void onWindowGone();
  void closeView();

  std::unique_ptr<X11EditorView> mView;
  std::atomic<unsigned long> mWindowId = 0;
  std::thread mLoopThread;
  std::atomic<bool> mStopLoop = false;
  std::chrono::steady_clock::time_point mNextFrame;
  int mModalDepth = 0;
  int mIdleDepth = 0; // Idle() calls running, nested in menus and dialogs
  bool mClosePending = false;
  bool mHostIdle = false;
  double mHostScale = 0.0;
  double mUserScale = 0.0;
  std::string mBundleID;
  std::string mTitle = "Tessaryn";
};
