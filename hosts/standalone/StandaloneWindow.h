#pragma once
// The instrument's panel in a top-level window of the standalone's own, on an
// X connection of its own: the editor is embedded through the host model, and
// the keys the panel leaves (it forwards them to this window) play notes
// through the computer keyboard map. Main thread only.

#include "KeyboardMap.h"
#include "StandaloneSynth.h"

#include <X11/Xlib.h>

#include <string>

class StandaloneWindow
{
public:
  StandaloneWindow(HostModel& host, StandaloneSynth::MidiQueue& keys);
  ~StandaloneWindow(); // closes the editor, then the window, releasing held keys
  StandaloneWindow(const StandaloneWindow&) = delete;
  StandaloneWindow& operator=(const StandaloneWindow&) = delete;

  // Opens the display and the window with the panel in it; false with error() set.
  bool open();
  const std::string& error() const { return mError; }
  // Every tick: handles the window's events and idles the editor. False once
  // the user has closed the window.
  bool serve();

private:
  bool createWindow();
  void handle(const XEvent& event);
  void handleKey(const XKeyEvent& key);
  bool isAutoRepeat(const XKeyEvent& release);
  void releaseAllKeys();

  HostModel& mHost;
  StandaloneSynth::MidiQueue& mKeys;
  KeyboardMap mKeyboard;
  Display* mDisplay = nullptr;
  Window mWindow = 0;
  Atom mDeleteWindow = 0;
  bool mClosed = false;
  std::string mError;
};
