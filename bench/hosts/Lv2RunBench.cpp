// CPU cost of the LV2 run call of a built bundle, loaded through lilv, with a
// held chord and a control port that does not change (the common case).

#include "BusyProgram.h"
#include "Lv2TestHost.h"

#include <benchmark/benchmark.h>

#include <utility>
#include <vector>

namespace
{
using ControlSettings = std::vector<std::pair<uint32_t, float>>;

void runBundle(benchmark::State& state, const char* uri, const ControlSettings& controls = {})
{
  const auto frames = uint32_t(state.range(0));
  Lv2TestHost host(uri);
  if (!host.Instantiate(48000.0, int32_t(frames)))
  {
    state.SkipWithError("the bundle could not be instantiated");
    return;
  }
  for (const auto& [parameter, value] : controls)
    host.SetControl(parameter, value);
  for (uint8_t note : {48, 55, 60, 64})
    host.Midi(0, 0x90, note, 100);
  host.Run(frames);
  for (auto _ : state)
  {
    host.ClearOutput();
    host.Run(frames);
  }
  state.SetItemsProcessed(int64_t(state.iterations()) * frames);
}

void BM_Lv2RunTestInstrument(benchmark::State& state)
{
  runBundle(state, "urn:example:tessaryn-test-instrument");
}
BENCHMARK(BM_Lv2RunTestInstrument)->Arg(64)->Arg(256)->Arg(1024)->Arg(4096);

// The instrument on its busiest everyday patch, set through the control ports.
void BM_Lv2RunTessaryn(benchmark::State& state)
{
  ControlSettings busy;
  for (const BusySetting& setting : kBusyProgram)
    busy.emplace_back(uint32_t(setting.mParam), float(setting.mValue));
  runBundle(state, "urn:pellworth:tessaryn", busy);
}
BENCHMARK(BM_Lv2RunTessaryn)->Arg(64)->Arg(256)->Arg(1024)->Arg(4096);
} // namespace
