// The instrument through the host model on a busy program: four pulse-wave
// oscillators with PWM, sync and cross-modulation, noise, a resonant filter
// swept by its envelope, four held notes in Poly. Reports the realtime factor
// (seconds of audio per second of CPU).

#include "HostModel.h"
#include "TessarynEntry.h"
#include "tessaryn.h"

#include <benchmark/benchmark.h>

#include <vector>

namespace
{
using T = Tessaryn;

constexpr double kRate = 48000.0;
constexpr uint32_t kBlock = 256;

void setBusyProgram(HostModel& host)
{
  for (int k = 0; k < T::kNumVcos; ++k)
    host.SetParameter(T::kWave1 + 4 * k, VCO::kPwm);
  host.SetParameter(T::kPWM, 0.7f);
  host.SetParameter(T::kEffects, 1);
  host.SetParameter(T::kFXType, 1); // S\&X
  host.SetParameter(T::kFXXMod, 0.8f);
  host.SetParameter(T::kNoise, 0.2f);
  host.SetParameter(T::kReso, 0.7f);
  host.SetParameter(T::kCutOff, 0.4f);
  host.SetParameter(T::kEGIntens, 5000);
  host.SetParameter(T::kEG1D, 0.5f);
  host.SetParameter(T::kEG1S, 0.3f);
  host.SetParameter(T::kKeyAssgn, T::kPoly);
}

void BM_TessarynBusyProgram(benchmark::State& state)
{
  HostModel host;
  host.Open(registerTessarynComponent(""));
  host.SetSampleRate(kRate);
  host.SetMaxFrames(kBlock);
  host.Initialize();
  setBusyProgram(host);
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
