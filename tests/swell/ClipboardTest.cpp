#include "Clipboard.h"

// gtest before Xlib: Xlib's macros (None, Bool) break gtest's headers.
#include <gtest/gtest.h>

#include "XvfbServer.h"

#include <X11/Xatom.h>
#include <X11/Xlib.h>

#include <algorithm>
#include <atomic>
#include <poll.h>
#include <thread>
#include <tuple>

namespace
{
// Owns the CLIPBOARD selection on a connection of its own and answers requests
// for the targets it is given, as another application would.
class ClipboardOwner
{
public:
  ClipboardOwner(std::vector<std::string> targets, std::string content)
      : mDisplay(XOpenDisplay(nullptr)), mTargets(std::move(targets)), mContent(std::move(content))
  {
    const Window window = XCreateSimpleWindow(mDisplay, DefaultRootWindow(mDisplay), 0, 0, 1, 1, 0, 0, 0);
    XSetSelectionOwner(mDisplay, XInternAtom(mDisplay, "CLIPBOARD", False), window, CurrentTime);
    XSync(mDisplay, False);
    mThread = std::thread([this] { serve(); });
  }
  ~ClipboardOwner()
  {
    mStop = true;
    mThread.join();
    XCloseDisplay(mDisplay);
  }

private:
  void serve()
  {
    while (!mStop)
    {
      pollfd connection{ConnectionNumber(mDisplay), POLLIN, 0};
      poll(&connection, 1, 50);
      while (XPending(mDisplay))
      {
        XEvent event;
        XNextEvent(mDisplay, &event);
        if (event.type == SelectionRequest) answer(event.xselectionrequest);
      }
    }
  }

  void answer(const XSelectionRequestEvent& request)
  {
    if (mTargets.empty()) return;
    XEvent notify{};
    notify.xselection = {SelectionNotify, 0, True, mDisplay, request.requestor, request.selection,
                         request.target, None, request.time};
    char* name = XGetAtomName(mDisplay, request.target);
    const bool offered = std::find(mTargets.begin(), mTargets.end(), name) != mTargets.end();
    XFree(name);
    if (offered)
    {
      XChangeProperty(mDisplay, request.requestor, request.property, request.target, 8, PropModeReplace,
                      reinterpret_cast<const unsigned char*>(mContent.data()), static_cast<int>(mContent.size()));
      notify.xselection.property = request.property;
    }
    XSendEvent(mDisplay, request.requestor, False, NoEventMask, &notify);
    XFlush(mDisplay);
  }

  Display* mDisplay;
  std::vector<std::string> mTargets;
  std::string mContent;
  std::atomic<bool> mStop{false};
  std::thread mThread;
};

TEST(ClipboardTest, readsTheOwnersTextOrGivesUp)
{
  XvfbServer server;
  ASSERT_TRUE(server.Running());
  std::string text = "left over";
  EXPECT_FALSE(ReadClipboardText(text, 200)) << "nobody owns the clipboard yet";
  EXPECT_EQ(text, "");
  // What the owner answers (nothing: it never answers), its content, and the text read (empty: none).
  const std::tuple<std::vector<std::string>, std::string, std::string> cases[] = {
      {{"UTF8_STRING", "STRING"}, "Cutoff 1.5 kHz \xc3\xa9", "Cutoff 1.5 kHz \xc3\xa9"},
      {{"STRING"}, "caf\xe9", "caf\xc3\xa9"},
      {{"TARGETS"}, "", ""},
      {{}, "", ""},
  };
  for (const auto& [targets, content, expected] : cases)
  {
    SCOPED_TRACE(expected);
    ClipboardOwner owner(targets, content);
    EXPECT_EQ(ReadClipboardText(text, 300), !expected.empty());
    EXPECT_EQ(text, expected);
  }
}
} // namespace
