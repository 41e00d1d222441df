#include "TunedPitchScale.h"

#include <benchmark/benchmark.h>

namespace
{
// The tuned note-to-pitch search runs at every note-on on the audio thread.
void BM_PitchIndexForFrequency(benchmark::State& state)
{
  double hz = 8.0;
  for (auto _ : state)
  {
    benchmark::DoNotOptimize(pitchIndexForFrequency(hz));
    hz = hz < 19000.0 ? hz * 1.01 : 8.0;
  }
}
BENCHMARK(BM_PitchIndexForFrequency);
} // namespace
