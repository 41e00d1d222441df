// The adapter driven by the host model that the front-ends use.

#include "TestPlugins.h"

#include "HostModel.h"

#include <gtest/gtest.h>

#include <vector>

namespace
{
struct HostModelTest : ::testing::Test
{
  void SetUp() override
  {
    ASSERT_EQ(host.Open(TestInstrumentComponent()), noErr);
    plug = static_cast<TestInstrument*>(GetComponentInstanceStorage(host.Unit()));
    ASSERT_EQ(host.SetSampleRate(48000.0), noErr);
    ASSERT_EQ(host.SetMaxFrames(256), noErr);
    ASSERT_EQ(host.SetStreamFormat(kAudioUnitScope_Output, 0, 2), noErr);
    ASSERT_EQ(host.Initialize(), noErr);
  }

  std::vector<AudioUnitParameterID> gestures;
  HostModel host{{nullptr, [this](AudioUnitParameterID id, bool) { gestures.push_back(id); }, nullptr}};
  TestInstrument* plug = nullptr;
};
} // namespace

TEST_F(HostModelTest, RendersInSlicesWithTheHostTransport)
{
  HostTransport transport;
  transport.mTempo = 133.0;
  host.SetTransport(transport);
  std::vector<float> left(600), right(600);
  float* outputs[] = {left.data(), right.data()};
  ASSERT_EQ(host.Render(outputs, 2, 600), noErr);
  EXPECT_EQ(plug->mProcessCalls, 3);
  EXPECT_DOUBLE_EQ(plug->mTempoSeen, 133.0);
  EXPECT_FLOAT_EQ(left[255], 0.5f * 256 / 1000);
  EXPECT_FLOAT_EQ(right[256], -0.5f * 1 / 1000);
  EXPECT_DOUBLE_EQ(plug->GetSampleRate(), 48000.0);
}

TEST_F(HostModelTest, DescribesParametersAndPresetsToTheHost)
{
  HostParameterInfo info;
  ASSERT_EQ(host.GetParameterInfo(kCutoff, info), noErr);
  EXPECT_EQ(info.mUnitName, "Hz");
  EXPECT_EQ(host.ParameterValueStrings(kWave), (std::vector<std::string>{"tri", "saw", "pulse"}));
  EXPECT_EQ(host.ParameterValueText(kDetune, 0.25f), "-0.25");
  EXPECT_EQ(host.ParameterName(kCutoff, 6), "Cutoff");
  const std::vector<HostPreset> presets = host.FactoryPresets();
  ASSERT_EQ(presets.size(), 2u);
  EXPECT_EQ(presets[1].mName, "Loud");
}

TEST_F(HostModelTest, SavedBytesRestoreTheInstrument)
{
  ASSERT_EQ(host.SetParameter(kCutoff, 2500.0f), noErr);
  std::vector<uint8_t> bytes;
  ASSERT_EQ(host.SaveState(bytes), noErr);
  ASSERT_EQ(host.SetParameter(kCutoff, 100.0f), noErr);
  ASSERT_EQ(host.LoadState(bytes.data(), bytes.size()), noErr);
  AudioUnitParameterValue value = 0.0f;
  ASSERT_EQ(host.GetParameter(kCutoff, &value), noErr);
  EXPECT_FLOAT_EQ(value, 2500.0f);
}

TEST_F(HostModelTest, NotesAndGesturesCrossBetweenHostAndInstrument)
{
  ASSERT_EQ(host.SendMidi(0x91, 64, 100, 3), noErr);
  ASSERT_EQ(plug->mMidi.size(), 1u);
  EXPECT_EQ(plug->mMidi[0].NoteNumber(), 64);
  EXPECT_EQ(plug->mMidi[0].Channel(), 1);
  plug->BeginInformHostOfParamChange(kLevel);
  EXPECT_EQ(gestures, std::vector<AudioUnitParameterID>{kLevel});
}
