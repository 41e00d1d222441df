#include "SynthTestHost.h"

#include "IMidiMsg.h"

#include <string>

namespace
{
ComponentResult recordingSynthEntry(ComponentParameters* params, void* storage)
{
  return IPlugAU::IPlugAUEntry(params, storage, []() -> IPlugAU* { return makeShell().release(); });
}

Component synthComponent()
{
  static const Component component = RegisterComponent(
      {kAudioUnitType_MusicDevice, Synth::kUniqueID, MakeFourCharCode("PeWo"), 0, 0}, "Pellworth: Tessaryn",
      recordingSynthEntry, "com.pellworth.audiounit.Tessaryn", "/tmp/tessaryn-test-resources");
  return component;
}
} // namespace

std::unique_ptr<RecordingSynth> makeShell()
{
  IPlugInstanceInfo info;
  info.mOSXBundleID.Set("com.pellworth.audiounit.Tessaryn");
  return std::make_unique<RecordingSynth>(info);
}

RecordingSynth::RecordingSynth(IPlugInstanceInfo info) : Synth(info)
{
  initParameters();
  for (int i = 0; i < kNumTestPrograms; ++i)
  {
    GetParam(kProgramParam)->Set(0.1 * (i + 1));
    MakeDefaultPreset(("Program " + std::to_string(i + 1)).c_str());
  }
  RestorePreset(0);
}

void RecordingSynth::initParameters()
{
  for (int i = 0; i < NParams(); ++i)
    if (i != kListParam) GetParam(i)->InitDouble(("Param " + std::to_string(i)).c_str(), 0.5, 0.0, 1.0, 0.01);
  GetParam(kShapedParam)->InitDouble("Shaped", 0.25, 0.0, 1.0, 0.01, "", "", 2.0);
  const char* const waves[] = {"Tri", "Saw", "Pulse"};
  initListParameter(kListParam, "Wave", 1, 3, waves);
}

SynthTest::SynthTest()
{
  EXPECT_EQ(OpenAComponent(synthComponent(), &mInstance), noErr);
  synth = static_cast<RecordingSynth*>(static_cast<IPlugAU*>(GetComponentInstanceStorage(mInstance)));
  setSampleRate(44100.0);
  setBlockSize(512);
  EXPECT_EQ(AudioUnitInitialize(mInstance), noErr);
}

SynthTest::~SynthTest()
{
  CloseComponent(mInstance);
}

// Rate and block size change only while uninitialised, as hosts do it.
void SynthTest::setSampleRate(double rate)
{
  AudioUnitUninitialize(mInstance);
  AudioUnitSetProperty(mInstance, kAudioUnitProperty_SampleRate, kAudioUnitScope_Output, 0, &rate, sizeof(rate));
  AudioUnitInitialize(mInstance);
}

void SynthTest::setBlockSize(uint32_t frames)
{
  AudioUnitUninitialize(mInstance);
  AudioUnitSetProperty(mInstance, kAudioUnitProperty_MaximumFramesPerSlice, kAudioUnitScope_Global, 0, &frames,
                       sizeof(frames));
  AudioUnitInitialize(mInstance);
}

void SynthTest::midi(uint32_t status, uint32_t data1, uint32_t data2, uint32_t offset)
{
  EXPECT_EQ(MusicDeviceMIDIEvent(mInstance, status, data1, data2, offset), noErr);
}

std::vector<IMidiMsg> SynthTest::drainQueue()
{
  std::vector<IMidiMsg> messages;
  for (; !synth->mMidiQueue.Empty(); synth->mMidiQueue.Remove())
    messages.push_back(*synth->mMidiQueue.Peek());
  return messages;
}

SynthWithEditor::SynthWithEditor() : graphics(new TestGraphics(synth, 8, 8))
{
  // The shell made its own, never attached, context; the test's replaces it.
  delete synth->mEditorGraphics;
  synth->mEditorGraphics = graphics;
  synth->AttachGraphics(graphics);
  graphics->mMessageBoxAnswer = kYes;
}
