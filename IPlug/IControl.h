#pragma once
// What the plug-in needs from an editor control it holds on to: pushing a
// value into it and marking it for redraw. The control library derives the
// drawable controls from this.

class IControl
{
public:
  virtual ~IControl() = default;
  // Editor or audio thread (MIDI learn releases its switch from either).
  virtual void SetValueFromPlug(double value) = 0;
  // pushParamToPlug: also hand the control's value to its parameter.
  virtual void SetDirty(bool pushParamToPlug = true) = 0;
};
