#include "IMidiQueue.h"

#include <benchmark/benchmark.h>

namespace
{
constexpr int kBlock = 512;
constexpr int kTick = 44;

// One block's worth of messages through the queue the way the render loop
// takes them: added in arrival order, counted down per control tick, flushed.
void renderBlock(IMidiQueue& queue, int messages, bool reversed)
{
  for (int i = 0; i < messages; ++i)
  {
    const int offset = (reversed ? messages - 1 - i : i) * kBlock / messages;
    const IMidiMsg msg(offset, 0x90, 60, 100);
    queue.Add(&msg);
  }
  for (int tick = 0; tick < kBlock; tick += kTick)
  {
    while (!queue.Empty())
    {
      IMidiMsg* msg = queue.Peek();
      msg->mOffset -= kTick;
      if (msg->mOffset > 0) break;
      benchmark::DoNotOptimize(msg->Velocity());
      queue.Remove();
    }
    queue.Flush(kTick);
  }
}

// Arguments: messages per block, and 1 to add them latest first (each one then
// takes the backwards scan to the front).
void BM_MidiQueueBlock(benchmark::State& state)
{
  IMidiQueue queue(kBlock);
  for (auto _ : state)
    renderBlock(queue, static_cast<int>(state.range(0)), state.range(1) != 0);
  state.SetItemsProcessed(state.iterations() * state.range(0));
}
} // namespace

BENCHMARK(BM_MidiQueueBlock)->ArgsProduct({{16, 512}, {0, 1}});
