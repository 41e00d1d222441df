#include "Lv2Instrument.h"

#include <lv2/atom/util.h>
#include <lv2/core/lv2_util.h>
#include <lv2/options/options.h>
#include <lv2/urid/urid.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <limits>

namespace
{
constexpr uint32_t kChannels = 2;
constexpr float kNothingWritten = std::numeric_limits<float>::quiet_NaN();

// A channel message of up to three bytes; the instrument takes nothing else.
bool isChannelMessage(const LV2_Atom& message)
{
  const auto* bytes = reinterpret_cast<const uint8_t*>(LV2_ATOM_BODY_CONST(&message));
  return message.size >= 1 && message.size <= 3 && bytes[0] >= 0x80 && bytes[0] < 0xF0;
}
} // namespace

Lv2Instrument::Lv2Instrument(double sampleRate, const LV2_URID_Map& map, const std::string& stateUri)
    : mHost(uiCallbacks()), mTransport(sampleRate)
{
  mUrids.Map(map, stateUri);
  mHost.SetSampleRate(sampleRate);
}

std::unique_ptr<Lv2Instrument> Lv2Instrument::Create(Component component, double sampleRate,
                                                     const std::string& stateUri, const LV2_Feature* const* features)
{
  const LV2_URID_Map* map = nullptr;
  const LV2_Options_Option* options = nullptr;
  const LV2_Worker_Schedule* worker = nullptr;
  lv2_features_query(features, LV2_URID__map, &map, true, LV2_OPTIONS__options, &options, false, LV2_WORKER__schedule,
                     &worker, false, nullptr);
  if (!map || !component) return nullptr;
  std::unique_ptr<Lv2Instrument> instrument(new Lv2Instrument(sampleRate, *map, stateUri));
  instrument->mWorker = worker;
  if (options) instrument->SetOptions(options);
  if (!instrument->open(component, instrument->mMaxFrames)) return nullptr;
  return instrument;
}

bool Lv2Instrument::open(Component component, uint32_t maxFrames)
{
  const double sampleRate = mTransport.SampleRate();
  if (mHost.Open(component) != noErr || mHost.SetSampleRate(sampleRate) != noErr ||
      mHost.SetMaxFrames(maxFrames) != noErr || mHost.SetStreamFormat(kAudioUnitScope_Output, 0, kChannels) != noErr ||
      mHost.Initialize() != noErr)
    return false;
  if (mHost.SetMidiOutput(onMidiOutput, this) != noErr) return false;
  const uint32_t count = mHost.ParameterCount();
  mControls.assign(count, nullptr);
  mLastControls.assign(count, 0.0f);
  mUiWritten = std::make_unique<std::atomic<float>[]>(count);
  for (uint32_t id = 0; id < count; ++id)
  {
    mHost.GetParameter(id, &mLastControls[id]);
    mUiWritten[id].store(kNothingWritten);
  }
  return true;
}

bool Lv2Instrument::configureMaxFrames(int64_t frames)
{
  if (frames <= 0) return false;
  const uint32_t clamped = uint32_t(std::min<int64_t>(frames, kMaxSliceFrames));
  // The instrument takes a new block size only while uninitialised.
  if (mHost.IsOpen())
  {
    mHost.Uninitialize();
    const bool taken = mHost.SetMaxFrames(clamped) == noErr;
    if (mHost.Initialize() != noErr || !taken) return false;
  }
  mMaxFrames = clamped;
  return true;
}

void Lv2Instrument::ConnectPort(uint32_t port, void* data)
{
  if (port == kEventsPort)
    mEvents = static_cast<const LV2_Atom_Sequence*>(data);
  else if (port == kLeftPort || port == kRightPort)
    mOutputs[port - kLeftPort] = static_cast<float*>(data);
  else if (port - kFirstControlPort < mControls.size())
    mControls[port - kFirstControlPort] = static_cast<const float*>(data);
  else if (port == MidiOutPort())
    mMidiOut = static_cast<LV2_Atom_Sequence*>(data);
}

void Lv2Instrument::Activate()
{
  mTransport = Lv2Transport(mTransport.SampleRate());
}

void Lv2Instrument::Run(uint32_t frames)
{
  applyControls(mGate.EnterAudio());
  mRunFrames = frames;
  beginMidiOutput();
  const LV2_Atom_Event* event = mEvents ? lv2_atom_sequence_begin(&mEvents->body) : nullptr;
  for (uint32_t start = 0; start < frames;)
  {
    mSliceStart = start;
    const uint32_t end = takeEvents(event, start, std::min(frames, start + mMaxFrames), frames);
    renderSlice(start, end - start);
    start = end;
  }
  mGate.LeaveAudio();
  if (mWorkRuns > 0)
  {
    const uint8_t pendingWork = 0;
    if (schedule(sizeof pendingWork, &pendingWork)) --mWorkRuns;
  }
}

// Only the host's own changes: a program change inside the instrument must
// not be undone by a port that still holds the old value. A change that
// cannot be handed over now is tried again next block.
void Lv2Instrument::applyControls(bool exclusive)
{
  if (!mWorker && !exclusive) return;
  for (uint32_t id = 0; id < mControls.size(); ++id)
  {
    if (!mControls[id]) continue;
    const PortChange change = {id, *mControls[id]};
    if (change.mValue == mLastControls[id] || std::isnan(change.mValue)) continue;
    // A restored state wins, and a value the UI wrote is the instrument's
    // already: the port's value becomes the baseline unapplied.
    if (mRebaseControls || isUiWrite(id, change.mValue))
      ;
    else if (!mWorker)
      mHost.SetParameter(id, change.mValue);
    else if (!schedule(sizeof change, &change))
      continue;
    mLastControls[id] = change.mValue;
  }
  mRebaseControls = false;
}

// A drag writes many values; only the latest is remembered, which is what
// the port holds once the host has delivered them all. Any change of the port
// uses the note up, so a later host value that happens to equal it is applied.
bool Lv2Instrument::isUiWrite(uint32_t id, float value)
{
  return mUiWritten[id].exchange(kNothingWritten, std::memory_order_relaxed) == value;
}

bool Lv2Instrument::schedule(uint32_t size, const void* data)
{
  return mWorker && mWorker->schedule_work(mWorker->handle, size, data) == LV2_WORKER_SUCCESS;
}

LV2_Worker_Status Lv2Instrument::Work(uint32_t size, const void* data)
{
  if (size == sizeof(PortChange))
  {
    PortChange change;
    std::memcpy(&change, data, sizeof change);
    mHost.SetParameter(change.mId, change.mValue);
  }
  mHost.PerformPendingWork();
  return LV2_WORKER_SUCCESS;
}

uint32_t Lv2Instrument::takeEvents(const LV2_Atom_Event*& event, uint32_t start, uint32_t end, uint32_t frames)
{
  for (; event && !lv2_atom_sequence_is_end(&mEvents->body, mEvents->atom.size, event);
       event = lv2_atom_sequence_next(event))
  {
    // Out-of-range and backward times are pinned so every event is delivered once.
    const uint32_t at = uint32_t(std::clamp<int64_t>(event->time.frames, start, frames - 1));
    if (at >= end) break;
    const LV2_Atom& body = event->body;
    if (body.type == mUrids.mMidiEvent)
      sendMidi(body, at - start);
    else if (body.type == mUrids.mAtomObject || body.type == mUrids.mAtomBlank)
    {
      const auto& object = reinterpret_cast<const LV2_Atom_Object&>(body);
      if (object.body.otype != mUrids.mTimePosition) continue;
      // The transport procedures describe the start of a render call, so a
      // position inside the slice ends it there.
      if (at > start) return at;
      mTransport.Apply(object, mUrids);
    }
  }
  return end;
}

void Lv2Instrument::sendMidi(const LV2_Atom& message, uint32_t offset)
{
  if (!isChannelMessage(message)) return;
  const auto* bytes = reinterpret_cast<const uint8_t*>(LV2_ATOM_BODY_CONST(&message));
  const uint8_t status = bytes[0];
  mHost.SendMidiForRender(status, message.size > 1 ? bytes[1] : uint8_t(0), message.size > 2 ? bytes[2] : uint8_t(0),
                          offset);
  const uint8_t kind = status & 0xF0;
  if (kind == 0xB0 || kind == 0xC0) mWorkRuns = 2;
}

void Lv2Instrument::beginMidiOutput()
{
  mLastMidiOutFrame = 0;
  if (!mMidiOut) return;
  // The host hands over the buffer's capacity in the atom's size; one too
  // small for the sequence's header takes no event.
  mMidiOutCapacity = std::max<uint32_t>(mMidiOut->atom.size, sizeof(LV2_Atom_Sequence_Body));
  mMidiOut->atom.type = mUrids.mAtomSequence;
  mMidiOut->body.unit = 0;
  mMidiOut->body.pad = 0;
  lv2_atom_sequence_clear(mMidiOut);
}

void Lv2Instrument::onMidiOutput(void* userData, const uint8_t* bytes, uint32_t size, uint32_t sampleOffset)
{
  auto* self = static_cast<Lv2Instrument*>(userData);
  if (!self->mMidiOut || self->mRunFrames == 0 || size > 3) return;
  // Events keep the order they were sent in, inside this run.
  const uint32_t frame = std::clamp(self->mSliceStart + sampleOffset, self->mLastMidiOutFrame, self->mRunFrames - 1);
  struct
  {
    LV2_Atom_Event mHead;
    uint8_t mBytes[3];
  } event{};
  event.mHead.time.frames = frame;
  event.mHead.body = {size, self->mUrids.mMidiEvent};
  std::copy(bytes, bytes + size, event.mBytes);
  if (lv2_atom_sequence_append_event(self->mMidiOut, self->mMidiOutCapacity, &event.mHead))
    self->mLastMidiOutFrame = frame;
}

void Lv2Instrument::renderSlice(uint32_t start, uint32_t frames)
{
  float* outputs[kChannels] = {mOutputs[0] + start, mOutputs[1] + start};
  mHost.SetTransport(mTransport.Current());
  if (mHost.Render(outputs, kChannels, frames) != noErr)
    for (float* output : outputs)
      std::fill(output, output + frames, 0.0f);
  mTransport.Advance(frames);
}

LV2_State_Status Lv2Instrument::Save(LV2_State_Store_Function store, LV2_State_Handle handle)
{
  std::vector<uint8_t> bytes;
  const OSStatus result = [&]
  {
    Lv2ControlGate::Scope control(mGate);
    return mHost.SaveState(bytes);
  }();
  if (result != noErr) return LV2_STATE_ERR_UNKNOWN;
  return store(handle, mUrids.mState, bytes.data(), bytes.size(), mUrids.mAtomChunk,
               LV2_STATE_IS_POD | LV2_STATE_IS_PORTABLE);
}

LV2_State_Status Lv2Instrument::Restore(LV2_State_Retrieve_Function retrieve, LV2_State_Handle handle)
{
  size_t size = 0;
  uint32_t type = 0, flags = 0;
  const void* bytes = retrieve(handle, mUrids.mState, &size, &type, &flags);
  if (!bytes) return LV2_STATE_ERR_NO_PROPERTY;
  if (type != mUrids.mAtomChunk) return LV2_STATE_ERR_BAD_TYPE;
  Lv2ControlGate::Scope control(mGate);
  const OSStatus result = mHost.LoadState(static_cast<const uint8_t*>(bytes), size);
  mRebaseControls = mRebaseControls || result == noErr;
  return result == noErr ? LV2_STATE_SUCCESS : LV2_STATE_ERR_UNKNOWN;
}

uint32_t Lv2Instrument::GetOptions(LV2_Options_Option* options)
{
  uint32_t status = LV2_OPTIONS_SUCCESS;
  for (LV2_Options_Option* option = options; option->key; ++option)
  {
    const uint32_t* value = option->key == mUrids.mMaxBlockLength       ? &mMaxFrames
                            : option->key == mUrids.mNominalBlockLength ? &mNominalFrames
                                                                        : nullptr;
    if (!value || option->context != LV2_OPTIONS_INSTANCE)
    {
      status |= LV2_OPTIONS_ERR_UNKNOWN;
      continue;
    }
    option->size = sizeof *value;
    option->type = mUrids.mAtomInt;
    option->value = value;
  }
  return status;
}

uint32_t Lv2Instrument::SetOptions(const LV2_Options_Option* options)
{
  uint32_t status = LV2_OPTIONS_SUCCESS;
  for (const LV2_Options_Option* option = options; option->key; ++option)
  {
    const bool known = option->key == mUrids.mMaxBlockLength || option->key == mUrids.mNominalBlockLength;
    if (!known)
      status |= LV2_OPTIONS_ERR_UNKNOWN;
    else if (option->type != mUrids.mAtomInt || option->size != sizeof(int32_t))
      status |= LV2_OPTIONS_ERR_BAD_VALUE;
    else if (option->key == mUrids.mNominalBlockLength)
      mNominalFrames = uint32_t(std::max(0, *static_cast<const int32_t*>(option->value)));
    else if (!configureMaxFrames(*static_cast<const int32_t*>(option->value)))
      status |= LV2_OPTIONS_ERR_BAD_VALUE;
  }
  return status;
}

HostModelCallbacks Lv2Instrument::uiCallbacks()
{
  HostModelCallbacks callbacks;
  callbacks.mParamChanged = [this](AudioUnitParameterID id, AudioUnitParameterValue value) {
    mUiEvents.Push({Lv2UiEvent::kValue, id, value});
  };
  callbacks.mParamGesture = [this](AudioUnitParameterID id, bool begins) {
    mUiEvents.Push({begins ? Lv2UiEvent::kBegin : Lv2UiEvent::kEnd, id});
  };
  return callbacks;
}

OSStatus Lv2Instrument::OpenEditor(unsigned long parent, double scale)
{
  if (mHost.Editor().mWindow) return kAudioUnitErr_InvalidProperty;
  Lv2ControlGate::Scope control(mGate);
  mUiEvents.Attach(true);
  const OSStatus result = mHost.OpenEditor(parent, true, scale);
  if (result != noErr) mUiEvents.Attach(false);
  return result;
}

void Lv2Instrument::IdleEditor(std::vector<Lv2UiEvent>& events)
{
  {
    Lv2ControlGate::Scope control(mGate);
    mHost.IdleEditor();
  }
  mUiEvents.Take(events);
}

void Lv2Instrument::CloseEditor()
{
  Lv2ControlGate::Scope control(mGate);
  mHost.CloseEditor();
  mUiEvents.Attach(false);
}

void Lv2Instrument::ReadParameters(std::vector<float>& values)
{
  values.resize(mControls.size());
  Lv2ControlGate::Scope control(mGate);
  for (uint32_t id = 0; id < values.size(); ++id)
    mHost.GetParameter(id, &values[id]);
}

void Lv2Instrument::SetParameter(uint32_t id, float value)
{
  Lv2ControlGate::Scope control(mGate);
  mHost.SetParameter(id, value);
}
