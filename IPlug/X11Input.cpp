#include "X11Input.h"

#include <X11/keysym.h>

#include <cstdlib>

int EditorKeyCode(unsigned long keysym)
{
  switch (keysym)
  {
  case XK_space: return 0;
  case XK_Up: return 1;
  case XK_Down: return 2;
  case XK_Left: return 3;
  case XK_Right: return 4;
  default: break;
  }
  if (keysym >= XK_0 && keysym <= XK_9) return 5 + int(keysym - XK_0);
  if (keysym >= XK_A && keysym <= XK_Z) return 15 + int(keysym - XK_A);
  if (keysym >= XK_a && keysym <= XK_z) return 15 + int(keysym - XK_a);
  return -1;
}

bool ClickCounter::IsDoubleClick(unsigned button, int x, int y, unsigned long timeMs)
{
  const bool isDouble = mHasPress && button == mButton && timeMs - mTime <= kMaxIntervalMs &&
                        std::abs(x - mX) <= kMaxDistance && std::abs(y - mY) <= kMaxDistance;
  mHasPress = true;
  mButton = button;
  mX = x;
  mY = y;
  mTime = timeMs;
  return isDouble;
}
