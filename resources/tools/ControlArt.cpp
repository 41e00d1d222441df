#include "ControlArt.h"

#include <cmath>

namespace
{
struct CapColours
{
  Colour light, shade, pointer;
};

constexpr CapColours kDarkCap{art::kCapDarkLight, art::kCapDarkShade, art::kPointerOnDark};
constexpr CapColours kWhiteCap{art::kCapWhiteLight, art::kCapWhiteShade, art::kPointerOnWhite};

double knobAngle(const FrameSpot& f)
{
  const double t = f.count > 1 ? double(f.index) / (f.count - 1) : 0.0;
  return -art::kKnobSweepDegrees / 2 + art::kKnobSweepDegrees * t;
}

// Knurled skirt, a domed cap and a pointer running from the cap's centre
// over the skirt, so the setting reads from any angle.
void paintKnob(const Painter& p, const FrameSpot& f, const CapColours& cap)
{
  const double cx = f.width / 2, cy = f.height / 2;
  const double outer = f.width / 2;
  for (int tick = 0; tick <= 10; ++tick)
    p.radialLine(cx, cy, outer - 3.2, outer - 0.8, -135.0 + 27.0 * tick, tick % 5 ? 1.0 : 1.6, art::kScaleTick);
  const double skirt = outer - 5.0;
  p.circle(cx + 0.8, cy + 1.4, skirt);
  p.setColour(rgb(0x000000, 0.45));
  cairo_fill(p.cr());
  p.fillDome(cx, cy, skirt, art::kSkirtLight, art::kSkirtDark);
  for (int grip = 0; grip < 36; ++grip)
    p.radialLine(cx, cy, skirt - 2.2, skirt - 0.4, grip * 10.0, 0.7, rgb(0x000000, 0.35));
  const double top = skirt * 0.68;
  p.fillDome(cx, cy, top, cap.light, cap.shade);
  const double angle = knobAngle(f);
  p.radialLine(cx, cy, top * 0.25, top - 1.2, angle, 2.2, cap.pointer);
  p.radialLine(cx, cy, top + 1.2, skirt - 0.8, angle, 2.0, art::kPointerOnDark);
}

double selectorAngle(int position, int count)
{
  const double t = count > 1 ? double(position) / (count - 1) : 0.5;
  return -art::kSelectorSweepDegrees / 2 + art::kSelectorSweepDegrees * t;
}

// A bar-shaped rotary switch over its detents; the chosen detent is lit.
void paintSelector(const Painter& p, const FrameSpot& f, const CapColours& cap)
{
  const double cx = f.width / 2, cy = f.height / 2 + 2.0;
  const double reach = f.height / 2;
  for (int k = 0; k < f.count; ++k)
  {
    double x, y;
    Painter::polar(cx, cy, reach - 1.5, selectorAngle(k, f.count), &x, &y);
    if (k == f.index) p.glow(x, y, 3.5, art::kTitle);
    p.circle(x, y, 1.6);
    p.setColour(k == f.index ? art::kLampCore : art::kScaleTick);
    cairo_fill(p.cr());
  }
  const double body = reach - 5.0;
  p.fillDome(cx + 0.6, cy + 1.2, body, rgb(0x000000, 0.5), rgb(0x000000, 0.0));
  p.fillDome(cx, cy, body, art::kSkirtLight, art::kSkirtDark);
  const double angle = selectorAngle(f.index, f.count);
  p.radialLine(cx, cy, -body + 2.0, body - 1.0, angle, 7.0, cap.shade);
  p.radialLine(cx, cy, -body + 2.5, body - 1.5, angle, 5.6, cap.light);
  p.radialLine(cx, cy, 1.5, body - 2.5, angle, 1.6, cap.pointer);
}

void paintButton(const Painter& p, const FrameSpot& f, const Colour& face, bool lit)
{
  const bool held = f.index == 1;
  const double sink = held ? 1.0 : 0.0;
  p.fillRoundRect({1, 1, f.width - 1, f.height - 1}, 4.0, art::kSlot);
  const Box cap{2.5, 2.5 + sink, f.width - 2.5, f.height - 3.5 + sink};
  const double dim = held ? 0.82 : 1.0;
  p.fillRoundRectShaded(cap, 3.0, {face.r * dim, face.g * dim, face.b * dim, 1},
                        {face.r * 0.72 * dim, face.g * 0.72 * dim, face.b * 0.72 * dim, 1});
  const Box window{cap.l + 6, cap.t + 4, cap.r - 6, cap.t + 9};
  p.fillRoundRect(window.grown(1.0), 2.0, rgb(0x000000, 0.6));
  p.fillRoundRect(window, 1.5, lit ? art::kLampLit : art::kLampDark);
  if (!lit) return;
  p.glow(window.centreX(), window.centreY(), window.width() * 0.8, {1.0, 0.55, 0.3, 0.55});
  p.fillRoundRect(window.grown(-1.2), 1.0, art::kLampCore);
}

void paintTriangle(const Painter& p, double cx, double cy, double size, bool pointsLeft, const Colour& c)
{
  const double dir = pointsLeft ? -1.0 : 1.0;
  cairo_move_to(p.cr(), cx + dir * size * 0.6, cy);
  cairo_line_to(p.cr(), cx - dir * size * 0.45, cy - size * 0.65);
  cairo_line_to(p.cr(), cx - dir * size * 0.45, cy + size * 0.65);
  cairo_close_path(p.cr());
  p.setColour(c);
  cairo_fill(p.cr());
}

void paintPlate(const Painter& p, const FrameSpot& f, bool held)
{
  const Box plate{0.5, 0.5, f.width - 0.5, f.height - 0.5};
  p.fillRoundRect(plate, 3.0, art::kSlot);
  p.fillRoundRectShaded(plate.grown(-1.0), 2.5, held ? rgb(0x2a2c30) : rgb(0x4a4e54),
                        held ? rgb(0x3a3d42) : rgb(0x2b2d31));
}

void paintStep(const Painter& p, const FrameSpot& f, bool pointsLeft)
{
  const bool held = f.index == 1;
  paintPlate(p, f, held);
  paintTriangle(p, f.width / 2, f.height / 2 + (held ? 0.5 : 0.0), 7.0, pointsLeft, held ? art::kTitle : art::kCaption);
}

// A labelled plate with a lamp at its left end, lit in the second frame.
void paintLampPlate(const Painter& p, const FrameSpot& f, const char* label)
{
  const bool on = f.index == 1;
  paintPlate(p, f, false);
  const double lampX = 8.5, lampY = f.height / 2;
  if (on) p.glow(lampX, lampY, 6.0, {1.0, 0.35, 0.15, 0.8});
  p.fillDome(lampX, lampY, 3.0, on ? art::kLampCore : rgb(0x6a2018), on ? art::kLampLit : art::kLampDark);
  const TextStyle style{art::kPositionSize, true, on ? art::kTitle : art::kCaption, 0.4};
  p.text(label, (lampX + 5 + f.width) / 2, f.height / 2, style, Align::kCentre);
}

void paintTweakKick(const Painter& p, const FrameSpot& f, bool pointsLeft)
{
  paintPlate(p, f, false);
  const TextStyle style{art::kPositionSize, true, art::kCaption, 0.8};
  const double arrowX = pointsLeft ? 9.0 : f.width - 9.0;
  paintTriangle(p, arrowX, f.height / 2, 6.0, pointsLeft, art::kTitle);
  p.text("TWEAKS", f.width / 2 + (pointsLeft ? 5 : -5), f.height / 2, style, Align::kCentre);
}

void paintScrew(const Painter& p, double x, double y)
{
  p.fillDome(x, y, 3.2, art::kScrew, rgb(0x3a3936));
  p.radialLine(x, y, -2.4, 2.4, 60.0, 1.0, rgb(0x1a1a1a));
}
// A slide switch whose lever stands in the frame's position, top first,
// matching the click zones of a stacked switch.
void paintSlideSwitch(const Painter& p, const FrameSpot& f)
{
  const double pitch = f.height / f.count;
  const Box slot{f.width / 2 - 2.5, pitch / 2 - 3, f.width / 2 + 2.5, f.height - pitch / 2 + 3};
  p.fillRoundRect(slot.grown(1.0), 3.0, rgb(0x5a5d62));
  p.fillRoundRect(slot, 2.5, art::kSlot);
  const double y = pitch * (f.index + 0.5);
  const Box lever{1.0, y - 4.5, f.width - 1.0, y + 4.5};
  p.fillRoundRect({lever.l + 0.5, lever.t + 1.2, lever.r + 0.5, lever.b + 1.2}, 2.5, rgb(0x000000, 0.5));
  p.fillRoundRectShaded(lever, 2.5, art::kLeverLight, art::kLeverShade);
  for (double groove = -2.0; groove <= 2.0; groove += 2.0)
    p.line(lever.l + 3, y + groove, lever.r - 3, y + groove, 0.7, rgb(0x000000, 0.35));
}

// A slatted cover plate held by four screws.
void paintBlind(const Painter& p, const FrameSpot& f)
{
  const Box plate{0, 0, f.width, f.height};
  p.fillRoundRectShaded(plate, 0.0, art::kBlind, art::kPanelBottom);
  for (double y = 7.0; y < f.height - 4; y += 6.0)
  {
    p.line(10, y, f.width - 10, y, 1.0, art::kBlindSlat);
    p.line(10, y + 1, f.width - 10, y + 1, 0.6, rgb(0xffffff, 0.05));
  }
  p.line(0, 0.5, f.width, 0.5, 1.0, art::kSectionBorder);
  for (const double x : {6.0, f.width - 6.0})
    for (const double y : {8.0, f.height - 8.0})
      paintScrew(p, x, y);
}
} // namespace

namespace control_art
{
FramePainter knob(bool white)
{
  return [white](const Painter& p, const FrameSpot& f) { paintKnob(p, f, white ? kWhiteCap : kDarkCap); };
}

FramePainter selector(bool white)
{
  return [white](const Painter& p, const FrameSpot& f) { paintSelector(p, f, white ? kWhiteCap : kDarkCap); };
}

FramePainter slideSwitch()
{
  return paintSlideSwitch;
}

FramePainter button(const Colour& face, bool lit)
{
  return [face, lit](const Painter& p, const FrameSpot& f) { paintButton(p, f, face, lit); };
}

// Shown only while lit: the unlit lamp is printed on the panel beneath it.
FramePainter lamp()
{
  return [](const Painter& p, const FrameSpot& f)
  {
    const double cx = f.width / 2, cy = f.height / 2;
    p.glow(cx, cy, f.width / 2, {1.0, 0.3, 0.12, 0.9});
    p.fillDome(cx, cy, f.width * 0.3, art::kLampCore, art::kLampLit);
  };
}

FramePainter step(bool pointsLeft)
{
  return [pointsLeft](const Painter& p, const FrameSpot& f) { paintStep(p, f, pointsLeft); };
}

FramePainter lampPlate(const char* label)
{
  return [label](const Painter& p, const FrameSpot& f) { paintLampPlate(p, f, label); };
}

FramePainter tweakKick(bool pointsLeft)
{
  return [pointsLeft](const Painter& p, const FrameSpot& f) { paintTweakKick(p, f, pointsLeft); };
}

FramePainter blind()
{
  return paintBlind;
}
} // namespace control_art
