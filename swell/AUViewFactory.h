#pragma once
// The editor view of an Audio Unit, as a host reaches it: the unit names a
// view factory class (property 31) and the host makes an instance of that
// class by name, asks it for a view of the unit inside one of its own windows,
// and closes the view again. Factory classes register themselves by name when
// their component registers.
//
// Threads: a factory instance is used by one UI thread, the host's.

#include "AudioUnitTypes.h"

#include <memory>

// An open view: its X window and size in device pixels; window 0 when none.
struct AUX11View
{
  unsigned long mWindow = 0;
  int mWidth = 0;
  int mHeight = 0;
};

class AUViewFactory
{
public:
  virtual ~AUViewFactory() = default;

  virtual uint32_t interfaceVersion() const = 0;
  virtual const char* description() const = 0;
  // Opens the unit's editor inside the X window `parent` (0: a top-level
  // window). With hostIdle the host drives it through idleView(); hostScale 0
  // leaves the scale to the desktop. No window when the unit has no editor.
  virtual AUX11View uiViewForAudioUnit(AudioUnit unit, unsigned long parent, bool hostIdle, double hostScale) = 0;
  // The view as it is now; no window once the user or the host closed it.
  virtual AUX11View view() const = 0;
  // Handles the view's events and draws what is due; never waits.
  virtual void idleView() = 0;
  virtual void closeView() = 0;
};

using AUViewFactoryMaker = std::unique_ptr<AUViewFactory> (*)();

// Registers (or replaces) a factory class. Any thread.
void RegisterViewFactoryClass(const char* className, AUViewFactoryMaker maker);
// A new instance of the class; null when no such class is registered. Any thread.
std::unique_ptr<AUViewFactory> MakeViewFactory(const char* className);
