#pragma once
// Painters for the controls' frame strips. Each paints one frame into the
// box (0, 0)-(width, height) of the painter's current transform.

#include "Painter.h"

#include <functional>

struct FrameSpot
{
  int index; // 0-based frame
  int count; // frames in the strip
  double width, height;
};

using FramePainter = std::function<void(const Painter&, const FrameSpot&)>;

namespace control_art
{
// 65-frame knob: a cream cap when white, else a dark one.
FramePainter knob(bool white);
// Rotary switch over one detent per frame.
FramePainter selector(bool white);
// A slide switch whose lever stands in the frame's position, top first.
FramePainter slideSwitch();
// Push button: frame 1 at rest, frame 2 held; lit shows its lamp on.
FramePainter button(const Colour& face, bool lit);
FramePainter lamp();
FramePainter step(bool pointsLeft);
// A plate labelled with label and a lamp lit in its second frame.
FramePainter lampPlate(const char* label);
FramePainter tweakKick(bool pointsLeft);
FramePainter blind();
} // namespace control_art
