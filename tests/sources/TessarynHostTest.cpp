// The instrument as a host sees it: opened through its component entry,
// driven by MIDI and the transport, rendered in host-sized blocks.

#include "HostModel.h"
#include "TessarynEntry.h"
#include "tessaryn.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <vector>

namespace
{
using T = Tessaryn;

constexpr double kRate = 48000.0;
constexpr uint32_t kBlock = 256;

class TessarynHost : public ::testing::Test
{
protected:
  void SetUp() override
  {
    ASSERT_EQ(host.Open(registerTessarynComponent("")), noErr);
    ASSERT_EQ(host.SetSampleRate(kRate), noErr);
    ASSERT_EQ(host.SetMaxFrames(kBlock), noErr);
    ASSERT_EQ(host.Initialize(), noErr);
  }

  // One second of audio, both channels.
  void render()
  {
    const uint32_t frames = uint32_t(kRate);
    left.assign(frames, 0.0f);
    right.assign(frames, 0.0f);
    for (uint32_t done = 0; done < frames; done += kBlock)
    {
      float* outputs[2] = {left.data() + done, right.data() + done};
      ASSERT_EQ(host.Render(outputs, 2, std::min(kBlock, frames - done)), noErr);
    }
  }

  // Arpeggio steps restart a fast-decaying envelope: count the bursts.
  int bursts() const
  {
    const int window = int(kRate / 100); // longer than a wave period
    std::vector<float> peaks;
    for (size_t i = 0; i + window <= left.size(); i += window)
      peaks.push_back(std::abs(*std::max_element(left.begin() + i, left.begin() + i + window,
                                                 [](float a, float b) { return std::abs(a) < std::abs(b); })));
    const float top = *std::max_element(peaks.begin(), peaks.end());
    int count = 0;
    for (size_t i = 0; i < peaks.size(); ++i)
      count += peaks[i] > 0.5f * top && (i == 0 || peaks[i - 1] <= 0.5f * top);
    return count;
  }

  HostModel host;
  std::vector<float> left, right;
};

TEST_F(TessarynHost, ArpeggiatorFollowsTheHostTempo)
{
  host.SetParameter(T::kARPState, T::kArpLatch);
  host.SetParameter(T::kARPTrig, 1);   // MIDI
  host.SetParameter(T::kARPTempo, 15); // 1/16
  host.SetParameter(T::kEG2S, 0.0);
  host.SetParameter(T::kEG2D, 0.1);
  int counts[2];
  const double tempos[] = {120.0, 240.0};
  for (int t = 0; t < 2; ++t)
  {
    HostTransport transport;
    transport.mTempo = tempos[t];
    transport.mPlaying = true;
    host.SetTransport(transport);
    host.SendMidi(0x90, 60, 100, 0);
    host.SendMidi(0x80, 60, 0, 0);
    render();
    counts[t] = bursts();
  }
  EXPECT_NEAR(counts[0], 8, 1) << "1/16 at 120 BPM: eight steps a second";
  EXPECT_NEAR(counts[1], 16, 1);
}
} // namespace
