#pragma once
// A bare Audio Unit component for the host model's own calls: it records the
// selectors it receives, keeps what the host configures, and renders a known
// signal (the sample time plus the frame index, divided by 1000).

#include "ComponentManager.h"

#include <vector>

struct FakeUnit
{
  std::vector<int16_t> mSelectors;
  double mSampleRate = 44100.0;
  uint32_t mMaxFrames = 1024;
  AudioStreamBasicDescription mOutputFormat{};
  HostCallbackInfo mHost{};
  std::vector<double> mRenderTimes;
};

Component RegisterFakeComponent();
FakeUnit* FakeUnitOf(AudioUnit unit);
