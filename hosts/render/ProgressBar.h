#pragma once
// A one-line progress bar, redrawn in place; only for a terminal.

#include <ostream>

class ProgressBar
{
public:
  ProgressBar(std::ostream& stream, bool enabled) : mStream(stream), mEnabled(enabled) {}

  // fraction in [0, 1]; redraws only when the shown percentage changes.
  void update(double fraction);
  // Clears the bar's line.
  void finish();

private:
  std::ostream& mStream;
  const bool mEnabled;
  int mShownPercent = -1;
};
