#include "WaveTables.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <numbers>

namespace
{
constexpr int kSize = WaveTables::kTableSize;
constexpr int kHalf = kSize / 2;
constexpr unsigned kIndexMask = kSize - 1;
constexpr unsigned kQuarter = kSize / 4;

// round(2048 / sqrt(2)^t): half an octave fewer harmonics per table.
constexpr std::array<int, WaveTables::kNumTables> kHarmonics = {2048, 1448, 1024, 724, 512, 362, 256, 181, 128, 91, 64,
                                                                45,   32,   23,   16,  11,  8,   6,   4,   3,   2,  1};

// sin(2 pi j / 4096). Every harmonic of every sample lands exactly on one of
// these points (k * i mod 4096), so the build needs no other sine.
const std::array<double, kSize>& sineTable()
{
  static const std::array<double, kSize> sine = []
  {
    std::array<double, kSize> s{};
    for (int j = 0; j < kSize; ++j)
      s[j] = std::sin(2.0 * std::numbers::pi * j / kSize);
    return s;
  }();
  return sine;
}

// Hamming-like taper: softens the Gibbs ripple of the truncated series. A
// single harmonic keeps full weight (the general formula would divide by zero).
double taper(int k, int count)
{
  if (count == 1) return 1.0;
  return 0.54 + 0.46 * std::cos((k - 1) * (std::numbers::pi / 2) / (count - 1));
}

// Adds amplitude * sin(k x + offset) over the first half cycle; the other half
// follows from the wave's symmetry.
void addHarmonic(double* table, double amplitude, int k, unsigned offset)
{
  const auto& sine = sineTable();
  unsigned index = offset;
  for (int i = 0; i <= kHalf; ++i)
  {
    table[i] += amplitude * sine[index & kIndexMask];
    index += static_cast<unsigned>(k);
  }
}

// The sawtooth is odd (mirrored with its sign flipped), the triangle even.
void mirror(double* table, double sign)
{
  for (int i = 1; i < kHalf; ++i)
    table[kSize - i] = sign * table[i];
}
} // namespace

const WaveTables& WaveTables::shared()
{
  static const WaveTables tables;
  return tables;
}

int WaveTables::harmonicCount(int table)
{
  return kHarmonics[table];
}

WaveTables::WaveTables()
{
  buildSet(kSawtoothSet);
  buildSet(kTriangleSet);
}

void WaveTables::buildSet(WaveSet set)
{
  const bool triangle = set == kTriangleSet;
  for (int t = 0; t < kNumTables; ++t)
  {
    double* table = wave[set][t];
    std::fill(table, table + kSize, 0.0);
    const int count = kHarmonics[t];
    for (int k = 1; k <= count; k += triangle ? 2 : 1)
    {
      const double w = taper(k, count);
      if (triangle)
        addHarmonic(table, std::numbers::sqrt2 / 2 * w / (double(k) * k), k, kQuarter);
      else
        addHarmonic(table, 0.5 * w / k, k, 0);
    }
    mirror(table, triangle ? 1.0 : -1.0);
  }
}
