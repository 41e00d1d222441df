// The host model driving the real Audio Unit adapter with its test instrument:
// configuration, the known signal, notifications, state, presets, and a render
// path that neither allocates nor locks.

#include "HostModel.h"

#include "AllocationCounter.h"
#include "IPlugAUDictionary.h"
#include "LockHolder.h"
#include "TemporaryFolder.h"
#include "TestPlugins.h"

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <future>
#include <optional>
#include <utility>
#include <vector>

namespace
{
constexpr uint32_t kFrames = 300;

// The model records what it hands back to its front-end.
struct HostModelAdapterTest : ::testing::Test
{
  using Change = std::pair<AudioUnitParameterID, float>;
  using Gesture = std::pair<AudioUnitParameterID, bool>;

  void SetUp() override
  {
    HostModelCallbacks callbacks;
    callbacks.mParamChanged = [this](AudioUnitParameterID id, float value) { changes.push_back({id, value}); };
    callbacks.mParamGesture = [this](AudioUnitParameterID id, bool begins) { gestures.push_back({id, begins}); };
    callbacks.mProgramChanged = [this](int32_t program) { programs.push_back(program); };
    host.emplace(callbacks);
    ASSERT_EQ(host->Open(TestInstrumentComponent()), noErr);
    plug = static_cast<TestInstrument*>(GetComponentInstanceStorage(host->Unit()));
    ASSERT_EQ(host->SetSampleRate(48000.0), noErr);
    ASSERT_EQ(host->SetMaxFrames(512), noErr);
    ASSERT_EQ(host->SetStreamFormat(kAudioUnitScope_Output, 0, 2), noErr);
    ASSERT_EQ(host->Initialize(), noErr);
  }

  OSStatus render()
  {
    float* outputs[] = {left.data(), right.data()};
    return host->Render(outputs, 2, kFrames);
  }

  float level() const
  {
    float value = -1.0f;
    EXPECT_EQ(host->GetParameter(kLevel, &value), noErr);
    return value;
  }

  std::vector<Change> changes;
  std::vector<Gesture> gestures;
  std::vector<int32_t> programs;
  std::optional<HostModel> host;
  TestInstrument* plug = nullptr;
  std::vector<float> left = std::vector<float>(kFrames), right = std::vector<float>(kFrames);
};
} // namespace

// The test instrument's ramp restarts with each block it is handed.
TEST_F(HostModelAdapterTest, BlocksLongerThanTheMaximumAreRenderedInSlicesAndTooManyChannelsRefused)
{
  std::vector<float> longLeft(1000), longRight(1000);
  float* outputs[] = {longLeft.data(), longRight.data()};
  ASSERT_EQ(host->Render(outputs, 2, 1000), noErr);
  EXPECT_EQ(plug->GetSampleRate(), 48000.0);
  EXPECT_FLOAT_EQ(longLeft[0], 0.5f * 1 / 1000);
  EXPECT_FLOAT_EQ(longLeft[511], 0.5f * 512 / 1000);
  EXPECT_EQ(longRight[511], -longLeft[511]);
  EXPECT_FLOAT_EQ(longLeft[512], 0.5f * 1 / 1000);
  EXPECT_EQ(host->SampleTime(), 1000.0);
  EXPECT_EQ(host->Render(outputs, HostModel::kMaxChannels + 1, 10), kAudioUnitErr_InvalidPropertyValue);
}

TEST_F(HostModelAdapterTest, TheInstrumentsAnnouncementsReachTheFrontEnd)
{
  host->SetParameter(kLevel, 0.25f);
  plug->BeginInformHostOfParamChange(kLevel);
  plug->InformHostOfParamChange(kLevel, 0.25);
  plug->EndInformHostOfParamChange(kLevel);
  EXPECT_EQ(changes, (std::vector<Change>{{kLevel, 0.25f}}));
  EXPECT_EQ(gestures, (std::vector<Gesture>{{kLevel, true}, {kLevel, false}}));

  host->SelectPreset(1);
  plug->InformHostOfProgramChange();
  EXPECT_EQ(programs, (std::vector<int32_t>{1}));
}

TEST_F(HostModelAdapterTest, StateRoundTripsThroughBytesAndGarbageOrAnotherPlugInsStateIsRefused)
{
  ASSERT_EQ(host->SetParameter(kLevel, 0.8f), noErr);
  std::vector<uint8_t> saved;
  ASSERT_EQ(host->SaveState(saved), noErr);
  ASSERT_EQ(host->SetParameter(kLevel, 0.2f), noErr);
  ASSERT_EQ(host->LoadState(saved.data(), saved.size()), noErr);
  EXPECT_FLOAT_EQ(level(), 0.8f);

  const uint8_t garbage[] = {'T', 'S', 'P', 'L', 1, 'Z'};
  EXPECT_EQ(host->LoadState(garbage, sizeof garbage), kAudioUnitErr_InvalidPropertyValue);
  saved.pop_back();
  EXPECT_EQ(host->LoadState(saved.data(), saved.size()), kAudioUnitErr_InvalidPropertyValue);
  EXPECT_FLOAT_EQ(level(), 0.8f);

  // Another plug-in's state is refused before its data is loaded.
  CFPropertyListRef state = nullptr;
  ASSERT_EQ(host->GetState(&state), noErr);
  PutNumberInDict(const_cast<CFMutableDictionaryRef>(AsDictionary(state)), "subtype", 0x4F746872);
  ASSERT_EQ(host->SetParameter(kLevel, 0.2f), noErr);
  EXPECT_EQ(host->SetState(state), kAudioUnitErr_InvalidPropertyValue);
  EXPECT_FLOAT_EQ(level(), 0.2f);
  CFRelease(state);
}

TEST_F(HostModelAdapterTest, FactoryPresetsAreTheInitialisedProgramsAndCanBeSelected)
{
  std::vector<HostPreset> presets = host->FactoryPresets();
  ASSERT_EQ(presets.size(), 2u);
  ASSERT_EQ(host->SelectPreset(1), noErr);
  EXPECT_FLOAT_EQ(level(), 1.0f);
  HostPreset current;
  ASSERT_EQ(host->CurrentPreset(current), noErr);
  EXPECT_EQ(current.mName, "Loud");
  EXPECT_TRUE(programs.empty());
}

TEST_F(HostModelAdapterTest, TheBankIsSavedWithTheLiveEditsAndAFailedWriteIsReported)
{
  const TemporaryFolder folder;
  ASSERT_EQ(host->SetParameter(kLevel, 0.8f), noErr);
  EXPECT_NE(host->SaveBankFile(folder.path("missing/bank.fxb").c_str()), noErr);
  EXPECT_EQ(host->SaveBankFile(folder.path("bank.fxb").c_str()), noErr);
  EXPECT_GT(std::filesystem::file_size(folder.path("bank.fxb")), 0u);
  ASSERT_EQ(host->SelectPreset(1), noErr);
  ASSERT_EQ(host->SelectPreset(0), noErr);
  EXPECT_FLOAT_EQ(level(), 0.8f);
}

TEST_F(HostModelAdapterTest, RenderingAllocatesNothing)
{
  ASSERT_EQ(render(), noErr); // first block out of the way, as a host would
  AllocationCounter counter;
  for (int block = 0; block < 8; ++block)
    ASSERT_EQ(render(), noErr);
  EXPECT_EQ(counter.Allocations(), 0);
  left.reserve(left.capacity() * 2);
  EXPECT_GT(counter.Allocations(), 0) << "the counter must see an allocation on this thread";
}

TEST_F(HostModelAdapterTest, RenderingProceedsWhileAnotherThreadHoldsThePlugInsLock)
{
  LockHolder lock(host->Unit());
  auto rendered = std::async(std::launch::async, [&] { return render(); });
  const bool finished = rendered.wait_for(std::chrono::seconds(5)) == std::future_status::ready;
  lock.Release();
  EXPECT_TRUE(finished) << "render waited for the plug-in's lock";
  EXPECT_EQ(rendered.get(), noErr);
}
