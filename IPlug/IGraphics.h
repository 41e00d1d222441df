#pragma once
// What the plug-in base needs from its editor: the graphics context follows
// parameter values and is prepared for drawing when it is attached.

class IGraphics
{
public:
  virtual ~IGraphics() = default;
  // Called on the thread that changes the parameter, under the plug-in mutex
  // when attaching, without it when redrawing after a program change.
  virtual void SetParameterFromPlug(int paramIdx, double value, bool normalized) = 0;
  virtual void PrepDraw() = 0;
};
