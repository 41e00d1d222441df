// The audio thread never waits for the instrument's lock: while another
// thread holds it, the LV2 run call (the host model's fast MIDI and render
// procedures underneath) returns, plays its notes and hands the program change
// and the learned controller over; both act once the lock is free.

#include "AllocationCounter.h"
#include "HostModel.h"
#include "LockHolder.h"
#include "Lv2Instrument.h"
#include "Lv2TestHost.h"
#include "TessarynEntry.h"
#include "tessaryn.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <initializer_list>
#include <memory>
#include <string>
#include <thread>

namespace
{
constexpr double kRate = 48000.0;
constexpr uint32_t kFrames = 512;
constexpr uint8_t kController = 20;
constexpr uint8_t kControllerValue = 64;
constexpr int kProgram = 1;
const std::string kBundle = std::string(TESSARYN_LV2_DIR) + "/tessaryn.lv2/";

// The instrument under an entry that remembers the instance it opened.
AudioUnit gOpened = nullptr;

ComponentResult probeEntry(ComponentParameters* params, void* storage)
{
  const ComponentResult result = Tessaryn_Entry(params, storage);
  if (params->what == kComponentOpenSelect && result == noErr) gOpened = reinterpret_cast<AudioUnit>(params->params[0]);
  return result;
}

Component probeComponent()
{
  static const Component component = []
  {
    const ComponentDescription description{kAudioUnitType_MusicDevice, MakeFourCharCode("RtPr"),
                                           MakeFourCharCode("PeWo"), 0, 0};
    return RegisterComponent(description, "Realtime probe", probeEntry, Synth::kBundleIdentifier, kBundle.c_str());
  }();
  return component;
}

const std::initializer_list<Lv2TestMidi> kHandedOver = {
    {0, 0x90, 60, 100}, {10, 0xC0, kProgram, 0}, {20, 0xB0, kController, kControllerValue}};

void expectHandedOver(Synth* synth, bool applied)
{
  const double learned = kControllerValue / 127.0;
  EXPECT_EQ(synth->GetCurrentPresetIdx() == kProgram, applied) << "program change";
  EXPECT_EQ(synth->GetParam(Tessaryn::kCutOff)->GetNormalized() == learned, applied) << "learned controller";
}

using ScheduleWork = LV2_Worker_Status (*)(LV2_Worker_Schedule_Handle, uint32_t, const void*);

// An LV2 instance of the probe, with or without a worker of the host's.
struct Lv2Rig
{
  explicit Lv2Rig(ScheduleWork worker)
  {
    mWorker = {this, worker};
    mFeatures[1] = worker ? &mSchedule : nullptr;
    mInstrument = Lv2Instrument::Create(probeComponent(), kRate, "urn:test#state", mFeatures);
    // The opened instrument, with controller kController learned for CutOff.
    mSynth = static_cast<Synth*>(static_cast<IPlugAU*>(GetComponentInstanceStorage(gOpened)));
    mSynth->doMidiLearn(true);
    mSynth->setMidiLearnCC(kController);
    mSynth->setMidiLearnParam(Tessaryn::kCutOff);
    mInstrument->ConnectPort(Lv2Instrument::kLeftPort, mLeft);
    mInstrument->ConnectPort(Lv2Instrument::kRightPort, mRight);
    send({});
  }
  void send(std::initializer_list<Lv2TestMidi> events)
  {
    mHost.BeginEvents();
    for (const Lv2TestMidi& event : events)
      mHost.Midi(event.mFrame, event.mStatus, event.mData1, event.mData2);
    mInstrument->ConnectPort(Lv2Instrument::kEventsPort, mHost.EndEvents());
  }

  Lv2TestHost mHost{"urn:pellworth:tessaryn"};
  LV2_Worker_Schedule mWorker = {};
  LV2_Feature mMap = {LV2_URID__map, mHost.MapFeature()};
  LV2_Feature mSchedule = {LV2_WORKER__schedule, &mWorker};
  const LV2_Feature* mFeatures[3] = {&mMap, nullptr, nullptr};
  std::unique_ptr<Lv2Instrument> mInstrument;
  Synth* mSynth = nullptr;
  float mLeft[kFrames] = {}, mRight[kFrames] = {};
  int mScheduled = 0;
};

LV2_Worker_Status countSchedule(LV2_Worker_Schedule_Handle rig, uint32_t, const void*)
{
  ++static_cast<Lv2Rig*>(rig)->mScheduled;
  return LV2_WORKER_SUCCESS;
}

// A host may run the work at once, as offline hosts do.
LV2_Worker_Status performNow(LV2_Worker_Schedule_Handle rig, uint32_t size, const void* data)
{
  return static_cast<Lv2Rig*>(rig)->mInstrument->Work(size, data);
}
} // namespace

TEST(Lv2Realtime, RunReturnsWhileTheLockIsHeldAndItsWorkActsOnceFree)
{
  for (const ScheduleWork worker : {countSchedule, ScheduleWork(nullptr)})
  {
    SCOPED_TRACE(worker ? "with the host's worker" : "without a worker");
    Lv2Rig rig(worker);
    rig.send(kHandedOver);
    LockHolder lock(gOpened);
    AllocationCounter counter;
    rig.mInstrument->Run(kFrames);
    EXPECT_EQ(counter.Allocations(), 0);
    EXPECT_TRUE(std::any_of(rig.mLeft, rig.mLeft + kFrames, [](float sample) { return sample != 0.0f; }))
        << "the note plays in its block";
    expectHandedOver(rig.mSynth, false);
    lock.Release();

    rig.send({});
    EXPECT_EQ(rig.mScheduled > 0, worker != nullptr);
    if (worker)
      rig.mInstrument->Work(1, "");
    else
      rig.mInstrument->Run(kFrames);
    expectHandedOver(rig.mSynth, true);
  }
}

TEST(Lv2Realtime, PortChangesReachTheInstrumentThroughTheWorker)
{
  Lv2Rig rig(performNow);
  float resonance = 0.75f;
  rig.mInstrument->ConnectPort(Lv2Instrument::kFirstControlPort + Tessaryn::kReso, &resonance);
  rig.mInstrument->Run(kFrames);
  EXPECT_EQ(rig.mSynth->GetParam(Tessaryn::kReso)->Value(), resonance);
}

// Host threads change parameters, programs and bypass while the audio thread
// renders; the sanitizer build checks that none of it races the render.
TEST(Lv2Realtime, HostChangesWhileRenderingLeaveTheRenderAlone)
{
  HostModel model;
  ASSERT_TRUE(model.Open(probeComponent()) == noErr && model.SetSampleRate(kRate) == noErr &&
              model.SetMaxFrames(kFrames) == noErr && model.SetStreamFormat(kAudioUnitScope_Output, 0, 2) == noErr &&
              model.Initialize() == noErr);
  std::thread host(
      [&model]
      {
        for (int i = 0; i < 20; ++i)
        {
          model.SetParameter(Tessaryn::kCutOff, float(i % 2));
          model.SelectPreset(i % 4);
          const uint32_t bypass = i % 2;
          AudioUnitSetProperty(model.Unit(), kAudioUnitProperty_BypassEffect, kAudioUnitScope_Global, 0, &bypass,
                               sizeof bypass);
        }
      });
  float left[kFrames], right[kFrames];
  float* outputs[] = {left, right};
  for (int block = 0; block < 50; ++block)
  {
    model.SendMidiForRender(0x90, uint8_t(60 + block % 12), 100, 0);
    EXPECT_EQ(model.Render(outputs, 2, kFrames), noErr);
  }
  host.join();
}
