#pragma once
// One LV2 instance of an instrument component, driven through the host model:
// port layout, the run loop, state and options. The C callbacks of the
// descriptor (Lv2Descriptor.cpp) forward here.
//
// Ports: 0 the event input (MIDI and time positions), 1 and 2 the left and
// right audio outputs, then one control input per parameter in index order,
// then the MIDI output (what the instrument passes on, such as its MIDI thru).

#include "HostModel.h"
#include "Lv2ControlGate.h"
#include "Lv2Transport.h"
#include "Lv2UiEvents.h"
#include "Lv2Urids.h"

#include <lv2/atom/atom.h>
#include <lv2/core/lv2.h>
#include <lv2/options/options.h>
#include <lv2/state/state.h>
#include <lv2/worker/worker.h>

#include <array>
#include <atomic>
#include <memory>
#include <string>
#include <vector>

class Lv2Instrument
{
public:
  static constexpr uint32_t kEventsPort = 0;
  static constexpr uint32_t kLeftPort = 1;
  static constexpr uint32_t kRightPort = 2;
  static constexpr uint32_t kFirstControlPort = 3;
  // Without an announced maximum, and the most the instrument is configured
  // for; longer host blocks are rendered in slices.
  static constexpr uint32_t kDefaultMaxFrames = 1024;
  static constexpr uint32_t kMaxSliceFrames = 8192;

  // Instantiation thread. Null when the host lacks urid:map or the component
  // does not open and initialise at this rate.
  // After the control ports; any thread.
  uint32_t MidiOutPort() const { return kFirstControlPort + uint32_t(mControls.size()); }

  static std::unique_ptr<Lv2Instrument> Create(Component component, double sampleRate, const std::string& stateUri,
                                               const LV2_Feature* const* features);

  // Audio thread (connect_port may also come from the instantiation thread).
  // Run never waits: MIDI takes the component's lock-free path, and with the
  // host's worker, port changes and what needs the instrument's lock go to
  // Work. Without a worker, ports are applied through the locked entry.
  void ConnectPort(uint32_t port, void* data);
  void Activate();
  void Run(uint32_t frames);

  // Worker extension: the host's worker thread, which may wait for the lock.
  LV2_Worker_Status Work(uint32_t size, const void* data);

  // State extension: save may run alongside Run; restore never does.
  LV2_State_Status Save(LV2_State_Store_Function store, LV2_State_Handle handle);
  LV2_State_Status Restore(LV2_State_Retrieve_Function retrieve, LV2_State_Handle handle);

  // Options extension; instantiation thread.
  uint32_t GetOptions(LV2_Options_Option* options);
  uint32_t SetOptions(const LV2_Options_Option* options);

  // --- For a UI reaching the instance directly; the host's UI thread. The
  // editor is driven by the UI's idle calls; one at a time per instance.
  OSStatus OpenEditor(unsigned long parent, double scale);
  AUX11View Editor() const { return mHost.Editor(); }
  // Runs the editor, then hands over what the instrument announced meanwhile.
  void IdleEditor(std::vector<Lv2UiEvent>& events);
  void CloseEditor();
  uint32_t ControlCount() const { return uint32_t(mControls.size()); }
  void ReadParameters(std::vector<float>& values);
  void SetParameter(uint32_t id, float value);
  // Called before the UI writes a value the instrument already has to the
  // host's port, so that run() takes it as the port's new baseline.
  void NoteUiWrite(uint32_t id, float value) { mUiWritten[id].store(value, std::memory_order_relaxed); }

private:
  // A worker message; any other size asks only for the instrument's pending work.
  struct PortChange
  {
    uint32_t mId;
    float mValue;
  };

  Lv2Instrument(double sampleRate, const LV2_URID_Map& map, const std::string& stateUri);
  HostModelCallbacks uiCallbacks();
  bool isUiWrite(uint32_t id, float value);
  bool open(Component component, uint32_t maxFrames);
  bool configureMaxFrames(int64_t frames);

  void applyControls(bool exclusive);
  bool schedule(uint32_t size, const void* data);
  // Delivers the MIDI events up to `end` and applies a time position that
  // falls at `start`; returns the frame where the slice must stop.
  uint32_t takeEvents(const LV2_Atom_Event*& event, uint32_t start, uint32_t end, uint32_t frames);
  void sendMidi(const LV2_Atom& message, uint32_t offset);
  // The output sequence starts empty in every run; what does not fit is dropped.
  void beginMidiOutput();
  static void onMidiOutput(void* userData, const uint8_t* bytes, uint32_t size, uint32_t sampleOffset);
  void renderSlice(uint32_t start, uint32_t frames);

  Lv2UiEvents mUiEvents; // ahead of mHost, whose notifications feed it
  HostModel mHost;
  Lv2Urids mUrids;
  Lv2Transport mTransport;
  Lv2ControlGate mGate;
  const LV2_Worker_Schedule* mWorker = nullptr;
  // Runs left that hand the worker the instrument's pending work: program
  // changes and learned controllers act at a control tick that may fall in
  // the next block.
  int mWorkRuns = 0;
  uint32_t mMaxFrames = kDefaultMaxFrames;
  uint32_t mNominalFrames = 0;
  const LV2_Atom_Sequence* mEvents = nullptr;
  std::array<float*, 2> mOutputs{};
  LV2_Atom_Sequence* mMidiOut = nullptr;
  uint32_t mMidiOutCapacity = 0;
  // Where the instrument's MIDI offsets count from, and the frames of this run.
  uint32_t mSliceStart = 0;
  uint32_t mRunFrames = 0;
  uint32_t mLastMidiOutFrame = 0;
  std::vector<const float*> mControls;
  std::vector<float> mLastControls;                 // what the instrument was last told, or reported
  std::unique_ptr<std::atomic<float>[]> mUiWritten; // NaN: nothing pending
  // Set by a restore: the ports at the next run become the baseline unapplied,
  // as the restored state wins over values the host kept from before it.
  bool mRebaseControls = false;
};
