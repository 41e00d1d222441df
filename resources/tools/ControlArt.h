#pragma once
// Painters for the controls' frame strips. Each paints one frame into the
// box (0, 0)-(width, height) of the painter's current transform.

#include "Painter.h"

struct FrameSpot
{
  int index;  // 0-based frame
  int count;  // frames in the strip
  double width, height;
};

namespace control_art
{
void knob(const Painter& p, const FrameSpot& f);
void knobWhite(const Painter& p, const FrameSpot& f);
void selector(const Painter& p, const FrameSpot& f);
void selectorWhite(const Painter& p, const FrameSpot& f);
// A slide switch whose lever stands in the frame's position, top first,
// matching the click zones of a stacked switch.
void slideSwitch(const Painter& p, const FrameSpot& f);
void buttonGreyOff(const Painter& p, const FrameSpot& f);
void buttonGreyOn(const Painter& p, const FrameSpot& f);
void buttonWhiteOff(const Painter& p, const FrameSpot& f);
void buttonWhiteOn(const Painter& p, const FrameSpot& f);
void buttonOrangeOff(const Painter& p, const FrameSpot& f);
void buttonOrangeOn(const Painter& p, const FrameSpot& f);
void lamp(const Painter& p, const FrameSpot& f);
void previous(const Painter& p, const FrameSpot& f);
void next(const Painter& p, const FrameSpot& f);
void midiLearn(const Painter& p, const FrameSpot& f);
void midiUnlearn(const Painter& p, const FrameSpot& f);
void tweaksOpen(const Painter& p, const FrameSpot& f);
void tweaksClose(const Painter& p, const FrameSpot& f);
void blind(const Painter& p, const FrameSpot& f);
} // namespace control_art
