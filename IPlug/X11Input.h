#pragma once
// How X input reaches the editor: key codes, double clicks.

// The editor's key code for an X key symbol: arrows up 1, down 2, left 3,
// right 4, space 0, '0'-'9' 5-14, letters 15-40 (either case); -1 for keys
// the editor does not take.
int EditorKeyCode(unsigned long keysym);

// X reports single presses only; a press of the same button soon after the
// last and close to it counts as a double click.
class ClickCounter
{
public:
  static constexpr unsigned long kMaxIntervalMs = 400;
  static constexpr int kMaxDistance = 4; // device pixels

  // Call for every press; true when this one completes a double click.
  bool IsDoubleClick(unsigned button, int x, int y, unsigned long timeMs);

private:
  unsigned mButton = 0;
  int mX = 0, mY = 0;
  unsigned long mTime = 0;
  bool mHasPress = false;
};
