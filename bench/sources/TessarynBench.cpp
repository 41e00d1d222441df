// The instrument through the host model on a busy program: four pulse-wave
// oscillators with PWM, sync and cross-modulation, noise, a resonant filter
// swept by its envelope, four held notes in Poly. Reports the realtime factor
// (seconds of audio per second of CPU).

#include "BusyProgram.h"
#include "HostModel.h"
#include "TessarynEntry.h"
#include "tessaryn.h"

#include <benchmark/benchmark.h>

#include <vector>

namespace
{
constexpr double kRate = 48000.0;
constexpr uint32_t kBlock = 256;

void BM_TessarynBusyProgram(benchmark::State& state)
{
  HostModel host;
  host.Open(registerTessarynComponent(""));
  host.SetSampleRate(kRate);
  host.SetMaxFrames(kBlock);
  host.Initialize();
  for (const BusySetting& setting : kBusyProgram)
    host.SetParameter(setting.mParam, float(setting.mValue));
  for (uint8_t note : {48, 55, 60, 64})
    host.SendMidi(0x90, note, 100, 0);

  std::vector<float> left(kBlock), right(kBlock);
  float* outputs[2] = {left.data(), right.data()};
  for (auto _ : state)
  {
    host.Render(outputs, 2, kBlock);
    benchmark::DoNotOptimize(left.data());
  }
  const double audioSeconds = double(state.iterations()) * kBlock / kRate;
  state.counters["realtime"] = benchmark::Counter(audioSeconds, benchmark::Counter::kIsRate);
}
BENCHMARK(BM_TessarynBusyProgram)->MinTime(2.0);
} // namespace
