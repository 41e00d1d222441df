#include "PhaseIncrementTable.h"

#include "PitchScale.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <limits>
#include <memory>
#include <mutex>
#include <vector>

namespace
{
struct RateTable
{
  double rate;
  std::array<uint32_t, PitchScale::kMaxPitch + 1> increments;
};

// Below about 1.25 kHz the top pitches would need more than 32 bits; such a
// rate plays nothing sensible, but the conversion must stay defined.
uint32_t incrementFor(int pitch, double rate)
{
  const double increment = PitchScale::convert2Hz(pitch) * PhaseIncrementTable::kPhaseScale / rate;
  constexpr double kMax = std::numeric_limits<uint32_t>::max();
  return static_cast<uint32_t>(std::min(increment, kMax));
}

std::unique_ptr<RateTable> buildTable(double rate)
{
  auto table = std::make_unique<RateTable>();
  table->rate = rate;
  for (int pitch = 0; pitch <= PitchScale::kMaxPitch; ++pitch)
    table->increments[pitch] = incrementFor(pitch, rate);
  return table;
}
} // namespace

bool PhaseIncrementTable::isUsableRate(double rate)
{
  return std::isfinite(rate) && rate > 0.0;
}

const uint32_t* PhaseIncrementTable::forSampleRate(double rate)
{
  // Tables are never removed: oscillators keep raw pointers into them, and a
  // process sees only a handful of distinct rates.
  static std::mutex mutex;
  static std::vector<std::unique_ptr<RateTable>> tables;
  std::lock_guard lock(mutex);
  for (const auto& table : tables)
    if (table->rate == rate) return table->increments.data();
  tables.push_back(buildTable(rate));
  return tables.back()->increments.data();
}
