#include "ProgressBar.h"

#include <algorithm>
#include <string>

namespace
{
constexpr int kWidth = 40;
constexpr int kFull = 100;
} // namespace

void ProgressBar::update(double fraction)
{
  const int percent = int(std::clamp(fraction, 0.0, 1.0) * kFull);
  if (!mEnabled || percent == mShownPercent) return;
  mShownPercent = percent;
  const int filled = percent * kWidth / kFull;
  mStream << "\rRendering [" << std::string(size_t(filled), '#') << std::string(size_t(kWidth - filled), ' ') << "] "
          << percent << "%" << std::flush;
}

void ProgressBar::finish()
{
  if (!mEnabled || mShownPercent < 0) return;
  mStream << "\r\033[K" << std::flush;
  mShownPercent = -1;
}
