// CPU cost of the LV2 run call of a built bundle, loaded through lilv, with a
// held chord and a control port that does not change (the common case).

#include "Lv2TestHost.h"

#include <benchmark/benchmark.h>

namespace
{
void runBundle(benchmark::State& state, const char* uri)
{
  const auto frames = uint32_t(state.range(0));
  Lv2TestHost host(uri);
  if (!host.Instantiate(48000.0, int32_t(frames)))
  {
    state.SkipWithError("the bundle could not be instantiated");
    return;
  }
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

// The instrument's start-up program (the factory bank's first once the bundle carries it).
void BM_Lv2RunTessaryn(benchmark::State& state)
{
  runBundle(state, "urn:pellworth:tessaryn");
}
BENCHMARK(BM_Lv2RunTessaryn)->Arg(64)->Arg(256)->Arg(1024)->Arg(4096);
} // namespace
