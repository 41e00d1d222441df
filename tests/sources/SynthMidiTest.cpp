#include "SynthTestHost.h"

#include "AllocationCounter.h"

#include "IMidiMsg.h"

#include <algorithm>
#include <functional>
#include <tuple>
#include <utility>

TEST_F(SynthTest, EachKindOfMessageIsQueuedActedOnOrDroppedOnAnyChannel)
{
  const std::tuple<uint32_t, uint32_t, bool, int> cases[] = {
      {0x80, 60, true, 0},   {0x9F, 60, true, 0},   {0xA3, 60, false, 0},  {0xBF, 119, true, 0},
      {0xB0, 120, false, 1}, {0xB9, 123, false, 1}, {0xB0, 121, false, 0}, {0xB0, 127, false, 0},
      {0xC0, 1, false, 0},   {0xEF, 0, true, 0},    {0xF8, 0, false, 0},   {0x40, 60, false, 0},
  };
  for (const auto& [status, data1, isQueued, allNotesOffCalls] : cases)
  {
    synth->mAllNotesOffCalls = 0;
    midi(status, data1, 100);
    const std::vector<IMidiMsg> queued = drainQueue();
    ASSERT_EQ(queued.size(), isQueued ? 1u : 0u) << std::hex << status << " " << std::dec << data1;
    EXPECT_EQ(synth->mAllNotesOffCalls, allNotesOffCalls) << std::hex << status << " " << std::dec << data1;
  }
}

TEST_F(SynthTest, AFullQueueStillTakesANoteOff)
{
  // A queue of note-ons gives way to a note-off, and so does one of nothing
  // but note-offs (more than there are keys, so some key has two).
  for (const uint32_t fill : {0x90u, 0x80u})
  {
    setBlockSize(64);
    const int capacity = synth->mMidiQueue.Capacity();
    for (int i = 0; i < capacity; ++i)
      midi(fill, i % 128, 100, static_cast<uint32_t>(i));
    midi(0x90, 61, 0, 5); // a note-on of velocity 0 stops the note too
    const std::vector<IMidiMsg> queued = drainQueue();
    EXPECT_EQ(static_cast<int>(queued.size()), capacity) << fill;
    EXPECT_TRUE(std::any_of(queued.begin(), queued.end(),
                            [](const IMidiMsg& m)
                            { return m.mOffset == 5 && m.NoteNumber() == 61 && m.Velocity() == 0; }))
        << fill;
  }
}

TEST_F(SynthTest, LearningAssignsTheControllerToTheKnob)
{
  synth->mMidiControlParam[3] = 5;
  RecordingSwitch learnSwitch;
  synth->mMidiLearnSwitch = &learnSwitch;
  synth->doMidiLearn(true);
  midi(0xB0, 7, 64);
  synth->SetParameterFromGUI(5, 0.3);
  EXPECT_EQ(synth->mMidiControlParam[7], 5);
  EXPECT_EQ(synth->mMidiControlParam[3], -1);
  EXPECT_TRUE(drainQueue().empty());
  EXPECT_EQ(learnSwitch.mValues, std::vector<double>{0.0});
  EXPECT_EQ(learnSwitch.mDirtyPushes, std::vector<bool>{true});
  synth->mMidiLearnSwitch = nullptr;
}

TEST_F(SynthTest, UnlearnByKnobClearsEveryControllerOfIt)
{
  synth->mMidiControlParam[3] = 5;
  synth->mMidiControlParam[4] = 5;
  synth->mMidiControlParam[9] = 6;
  synth->doMidiUnlearn(true);
  synth->SetParameterFromGUI(5, 0.9);
  EXPECT_EQ((std::vector<int>{synth->mMidiControlParam[3], synth->mMidiControlParam[4], synth->mMidiControlParam[9]}),
            (std::vector<int>{-1, -1, 6}));
  EXPECT_FALSE(synth->mMidiLearn);
}

TEST_F(SynthTest, WhileLearningController123StopsAllNotesAnd121IsIgnored)
{
  synth->doMidiLearn(true);
  midi(0xB0, 121, 0);
  midi(0xB0, 123, 0);
  EXPECT_EQ(synth->mAllNotesOffCalls, 1);
  EXPECT_TRUE(synth->mMidiLearn);
  EXPECT_EQ(synth->mMidiLearnCC, -1);
  EXPECT_TRUE(drainQueue().empty());
}

TEST_F(SynthTest, OutOfRangeCapturesNeverIndexTheControllerTable)
{
  synth->doMidiUnlearn(true);
  synth->setMidiLearnCC(500);
  synth->setMidiLearnCC(-7);
  EXPECT_EQ(synth->mMidiLearnCC, -1);

  synth->doMidiLearn(true);
  synth->setMidiLearnCC(2);
  synth->setMidiLearnParam(Synth::kNumParams);
  EXPECT_TRUE(synth->mMidiLearn);
  EXPECT_EQ(synth->midiControlParam(2), -1);
}

TEST_F(SynthTest, ReplayingAWholeProgramWhileLearningCapturesNoParameter)
{
  ByteChunk state;
  synth->SerializeParams(&state);
  const std::pair<const char*, std::function<void()>> replays[] = {
      {"program change message", [&] { midi(0xC0, 1, 0); }},
      {"state restore", [&] { synth->UnserializeParams(&state, 0); }},
  };
  for (const auto& [how, replay] : replays)
  {
    synth->mMidiControlParam[3] = 0;
    synth->doMidiUnlearn(true);
    replay();
    EXPECT_EQ(synth->mMidiControlParam[3], 0) << how;
    EXPECT_TRUE(synth->mMidiLearn) << how;

    synth->doMidiLearn(true);
    midi(0xB0, 7, 1);
    replay();
    EXPECT_EQ(synth->mMidiControlParam[7], -1) << how;
    synth->SetParameterFromGUI(5, 0.3);
    EXPECT_EQ(synth->mMidiControlParam[7], 5) << how;
    synth->mMidiControlParam[7] = -1;
  }
}

TEST_F(SynthTest, AProgramChangeActsAtOnceUnlessIgnored)
{
  for (auto [ignore, expectedProgram] : {std::pair{false, 2}, {true, 0}})
  {
    synth->changePreset(0);
    synth->mIgnoreProgramChange = ignore;
    midi(0xC3, 2, 0, 400);
    EXPECT_DOUBLE_EQ(synth->GetParam(RecordingSynth::kProgramParam)->Value(), 0.1 * (expectedProgram + 1)) << ignore;
    EXPECT_TRUE(drainQueue().empty());
  }
}

TEST_F(SynthTest, MidiInputLearnAndTheKeyBufferAllocateNothingEvenWhenFlooded)
{
  synth->mMidiControlParam[4] = 9;
  AllocationCounter counter;
  for (int i = 0; i < 4 * synth->mMidiQueue.Capacity(); ++i)
    midi(0x90 | (i % 16), i % 128, 100, static_cast<uint32_t>(i));
  synth->doMidiUnlearn(true);
  midi(0xB0, 4, 0);
  midi(0xB0, 123, 0);
  for (int key = 0; key < 130; ++key)
    synth->addPressedKey(key);
  for (int key = 0; key < 130; key += 2)
    synth->removePressedKey(key);
  EXPECT_EQ(counter.Allocations(), 0);
  EXPECT_EQ(synth->mMidiControlParam[4], -1);
}
