#pragma once
// Gesture rules shared by knobs and faders.

#include "IGraphicsStructs.h"

// Control or shift asks for ten times finer movement.
inline bool IsFineGesture(const IMouseMod* pMod)
{
  return pMod && (pMod->C || pMod->S);
}

// Value change for d wheel notches.
inline double WheelStep(const IMouseMod* pMod, int d)
{
  return d * (IsFineGesture(pMod) ? 0.001 : 0.01);
}
