#include "StandaloneSynth.h"

RenderStatus StandaloneSynth::open(Component component, uint32_t sampleRate, uint32_t maxFrames)
{
  RenderOptions setup;
  setup.mSampleRate = sampleRate;
  setup.mBlockFrames = maxFrames;
  return mSetup.open(component, setup);
}

RenderStatus StandaloneSynth::selectProgram(const std::string& program)
{
  RenderOptions setup;
  setup.mProgram = program;
  return mSetup.applyOptions(setup);
}

void StandaloneSynth::playDemo(uint32_t sampleRate)
{
  mDemo = std::make_unique<DemoPlayer>(sampleRate);
}

bool StandaloneSynth::loadState(const std::vector<uint8_t>& bytes)
{
  return host().LoadState(bytes.data(), bytes.size()) == noErr;
}

bool StandaloneSynth::saveState(std::vector<uint8_t>& bytes) const
{
  return mSetup.host().SaveState(bytes) == noErr;
}

bool StandaloneSynth::loadBank(const std::string& path)
{
  return host().LoadBankFile(path.c_str()) == noErr;
}

bool StandaloneSynth::saveBank(const std::string& path)
{
  return host().SaveBankFile(path.c_str()) == noErr;
}

std::string StandaloneSynth::currentProgram() const
{
  HostPreset preset;
  mSetup.host().CurrentPreset(preset);
  return std::to_string(preset.mNumber) + " " + preset.mName;
}

void StandaloneSynth::performPendingWork()
{
  host().PerformPendingWork();
}

void StandaloneSynth::receiveMidi(const MidiEvent& event, uint32_t offset)
{
  host().SendMidiForRender(event.mStatus, event.mData1, event.mData2, offset);
}

void StandaloneSynth::drain(MidiQueue& queue)
{
  for (MidiEvent event; queue.pop(event);)
    receiveMidi(event, 0);
}

void StandaloneSynth::renderBlock(float* left, float* right, uint32_t frames)
{
  drain(mKeyboard);
  drain(mSequencer);
  if (mDemo) mDemo->sendDue(host(), frames);
  float* outputs[] = {left, right};
  host().Render(outputs, kChannels, frames);
}
