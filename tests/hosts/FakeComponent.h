#pragma once
// A small Audio Unit component for testing the host model: it records the
// selectors it receives, answers the property requests a host makes and
// renders a known signal (the sample time plus the frame index, divided by
// 1000, plus parameter 0).

#include "ComponentManager.h"

#include <vector>

struct FakeMidiEvent
{
  uint32_t status, data1, data2, offset;
};

struct FakeUnit
{
  static constexpr int kParams = 3;

  AudioUnit mUnit = nullptr;
  std::vector<int16_t> mSelectors;
  std::vector<FakeMidiEvent> mMidi;
  float mParams[kParams] = {0.0f, 1.0f, 0.5f};
  double mSampleRate = 44100.0;
  uint32_t mMaxFrames = 1024;
  AudioStreamBasicDescription mOutputFormat{};
  HostCallbackInfo mHost{};
  AURenderCallback mNotify = nullptr;
  void* mNotifyRefCon = nullptr;
  std::vector<double> mRenderTimes;
  // What the transport procedures reported during the last render.
  double mBeat = 0, mTempo = 0, mSamplePosition = 0;
  Boolean mPlaying = false, mTransportChanged = false;
  float mNumerator = 0;
  uint32_t mDenominator = 0;

  // A control moved in the instrument's editor.
  void moveControl(AudioUnitParameterID id, float value);
};

Component RegisterFakeComponent();
FakeUnit* FakeUnitOf(AudioUnit unit);
