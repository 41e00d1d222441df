#pragma once
// The X11 UI of an LV2 instance: the instrument's own editor embedded in the
// host's parent window, reached through the instance itself. It keeps the
// host's control ports in step with the instrument both ways: what the
// instrument announces or changes by itself (its panel, programs, banks, MIDI
// learn) is written to the ports, framed with touch gestures where the
// panel's controls give them; port events from the host set the instrument.
//
// Threads: everything on the host's UI thread.

#include "Lv2Instrument.h"

#include <lv2/ui/ui.h>

#include <memory>
#include <vector>

class Lv2Ui
{
public:
  // Null without instance access or a parent window, or when the instance's
  // editor is already open or cannot open.
  static std::unique_ptr<Lv2Ui> Create(LV2UI_Write_Function write, LV2UI_Controller controller, LV2UI_Widget* widget,
                                       const LV2_Feature* const* features);
  ~Lv2Ui();
  Lv2Ui(const Lv2Ui&) = delete;
  Lv2Ui& operator=(const Lv2Ui&) = delete;

  void PortEvent(uint32_t port, uint32_t size, uint32_t format, const void* buffer);
  // Non-zero once the editor's window is gone.
  int Idle();

private:
  Lv2Ui(Lv2Instrument& instrument, LV2UI_Write_Function write, LV2UI_Controller controller);
  void deliver(const Lv2UiEvent& event);
  void write(uint32_t id, float value);
  void touch(uint32_t id, bool grabbed);

  Lv2Instrument& mInstrument;
  const LV2UI_Write_Function mWrite;
  const LV2UI_Controller mController;
  const LV2UI_Touch* mTouch = nullptr;
  std::vector<float> mPorts;       // what the host's ports hold, as far as we know
  std::vector<bool> mGestures;     // a panel control is being moved
  std::vector<float> mValues;      // scratch: the instrument's values
  std::vector<Lv2UiEvent> mEvents; // scratch: its announcements
};
