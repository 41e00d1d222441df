// The whole tessaryn-render command on its demo at 48 kHz: reading nothing,
// rendering about half a minute with Tessaryn and writing the 24-bit WAV.
// realtime_factor is seconds of audio per second of wall time.

#include "RenderCommand.h"
#include "TessarynEntry.h"

#include <sndfile.h>

#include <benchmark/benchmark.h>

#include <cstdio>
#include <filesystem>
#include <sstream>

namespace
{
double wavSeconds(const std::string& path)
{
  SF_INFO info = {};
  SNDFILE* file = sf_open(path.c_str(), SFM_READ, &info);
  if (!file) return 0.0;
  sf_close(file);
  return double(info.frames) / info.samplerate;
}

void BM_RenderDemoAt48k(benchmark::State& state)
{
  const std::string out = (std::filesystem::temp_directory_path() / "tessaryn-bench-demo.wav").string();
  const Component tessaryn = registerTessarynComponent("/nonexistent");
  std::ostringstream quiet;
  RenderConsole console{quiet, quiet, false};
  for (auto _ : state)
    if (runRenderCommand(tessaryn, {"-o", out, "--rate", "48000", "--quiet"}, console) != 0)
      state.SkipWithError(quiet.str().c_str());
  const double seconds = wavSeconds(out);
  state.counters["audio_seconds"] = seconds;
  state.counters["realtime_factor"] =
      benchmark::Counter(seconds * double(state.iterations()), benchmark::Counter::kIsRate);
  std::remove(out.c_str());
}
BENCHMARK(BM_RenderDemoAt48k)->Unit(benchmark::kMillisecond)->UseRealTime();
} // namespace
