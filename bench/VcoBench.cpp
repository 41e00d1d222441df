#include "PitchScale.h"
#include "VCO.h"
#include "WaveTables.h"

#include <benchmark/benchmark.h>

#include <memory>

namespace
{
// The one-time cost a host pays when it first opens the instrument (wave
// tables plus the 44.1 kHz increment table). Meaningful only as the first
// oscillator built in this process, hence a single iteration registered first.
void BM_FirstVcoConstruction(benchmark::State& state)
{
  for (auto _ : state)
  {
    VCO vco;
    benchmark::DoNotOptimize(vco.freq2PhInc);
  }
}
BENCHMARK(BM_FirstVcoConstruction)->Iterations(1)->Unit(benchmark::kMillisecond);

// The same wave-table build, repeated for a stable figure.
void BM_BuildWaveTables(benchmark::State& state)
{
  for (auto _ : state)
  {
    auto tables = std::make_unique<WaveTables>();
    benchmark::DoNotOptimize(tables->get(WaveTables::kSawtoothSet, 0));
  }
}
BENCHMARK(BM_BuildWaveTables)->Unit(benchmark::kMillisecond);

// One second of a pulse wave at 44.1 kHz: a control tick every 44 samples.
void BM_RenderPulseSecond(benchmark::State& state)
{
  PitchScale scale;
  double source = 0.3;
  VCO vco;
  vco.synth = &scale;
  vco.waveForm = VCO::kPwm;
  vco.pwmAmount = 1.0;
  vco.pwmSource = &source;
  vco.setNote(69, 0);
  constexpr int kTicks = 1000;
  constexpr int kSamplesPerTick = 44;
  for (auto _ : state)
  {
    double sum = 0.0;
    for (int tick = 0; tick < kTicks; ++tick)
    {
      vco.update(0.0);
      for (int i = 0; i < kSamplesPerTick; ++i)
      {
        sum += vco.out();
        vco.next();
      }
    }
    benchmark::DoNotOptimize(sum);
  }
  state.SetItemsProcessed(state.iterations() * kTicks * kSamplesPerTick);
}
BENCHMARK(BM_RenderPulseSecond)->Unit(benchmark::kMicrosecond);
} // namespace
