#include "synth.h"

#include "IControl.h"
#include "IGraphics.h"
#include "IMidiMsg.h"

#include <algorithm>
#include <bitset>
#include <iterator>

namespace
{
constexpr int kVendorVersion = 0x00020301;
constexpr int kMfrID = 0x5065576F; // 'PeWo'
constexpr int kInitialQueueSize = 1024;
// Program data older than this lacks the second-to-last parameter.
constexpr int kFirstVersionWithAllParams = 20200;
// The version tried when a program list does not read in the current layout.
constexpr int kOlderDataVersion = 20104;

// Samples per control tick: one millisecond, whole samples. Never 0, so the
// render loop always advances, even for a nonsensical rate.
int controlInterval(double sampleRate)
{
  constexpr double kMaxRate = 1.0e9;
  if (!(sampleRate >= 1000.0)) return 1;
  return static_cast<int>(std::min(sampleRate, kMaxRate)) / 1000;
}
} // namespace

Synth::Synth(IPlugInstanceInfo instanceInfo)
    : IPlugAU(instanceInfo, kNumParams, "0-2", kNumPrograms, "Tessaryn", "", "Pellworth", kVendorVersion, kUniqueID,
              kMfrID, 0, true, true, true, 0),
      mMidiQueue(kInitialQueueSize)
{
  for (std::atomic<int>& param : mMidiControlParam)
    param = -1;
  SetFormerUniqueID(kFormerUniqueID);
  clearKeyBuffer();
  SetOutputLabel(0, "Tessaryn ");
  SetOutputLabel(1, "Tessaryn ");
  mEditorGraphics = MakeGraphics(this, kEditorWidth, kEditorHeight, 0, kBundleIdentifier);
  openConfig();
}

Synth::~Synth()
{
  // Once attached, the plug-in base deletes the context with itself.
  if (GetGUI() != mEditorGraphics) delete mEditorGraphics;
}

void Synth::Reset()
{
  WDL_MutexLock lock(&mMutex);
  mMidiLearn = false;
  resetMidiLearnSwitch();
  // While initialised the render may be running. The adapter keeps rate and
  // block size fixed then, so nothing here needs rebuilding, and the
  // instrument's own Reset asks the render to release its keys.
  if (IsActive()) return;
  mMidiQueue.Resize(GetBlockSize());
  clearKeyBuffer();
  mUpdateInterval = controlInterval(GetSampleRate());
  mUpdateCountdown = 0;
}

// Only a knob, the host or set-parameter touches a parameter for learning;
// the replay of a whole program by OnParamReset does not.
void Synth::OnParamChange(int paramIdx)
{
  WDL_MutexLock lock(&mMutex);
  if (mMidiLearn && mParamResetDepth == 0) setMidiLearnParam(paramIdx);
}

void Synth::OnActivate(bool active)
{
  WDL_MutexLock lock(&mMutex);
  if (active) OnParamReset();
}

// Program changes and the two "stop everything" controllers act at once
// rather than at their offset; what the render loop plays is queued.
void Synth::ProcessMidiMsg(IMidiMsg* pMsg)
{
  if (!pMsg) return;
  // Everything that arrives, before the filter below takes anything away.
  if (mMidiThru) SendMidiMsg(pMsg);
  switch (pMsg->StatusMsg())
  {
  case IMidiMsg::kNoteOff:
  case IMidiMsg::kNoteOn:
  case IMidiMsg::kChannelAftertouch:
  case IMidiMsg::kPitchWheel:
    queueMidiMsg(*pMsg);
    break;
  case IMidiMsg::kControlChange:
    handleControlChange(*pMsg);
    break;
  case IMidiMsg::kProgramChange:
    if (!mIgnoreProgramChange) handOver(mPendingProgram, pMsg->Program());
    break;
  default: // polyphonic pressure and system messages
    break;
  }
}

void Synth::handleControlChange(const IMidiMsg& msg)
{
  const int controller = msg.ControlChangeIdx();
  if (controller < kNumControllers)
  {
    if (mMidiLearn)
      handOver(mPendingLearnCC, controller);
    else
      queueMidiMsg(msg);
  }
  else if (controller == IMidiMsg::kAllSoundOff || controller == IMidiMsg::kAllNotesOff)
  {
    allNotesOff();
  }
}

namespace
{
bool isNoteOff(const IMidiMsg& msg)
{
  return msg.StatusMsg() == IMidiMsg::kNoteOff || (msg.StatusMsg() == IMidiMsg::kNoteOn && msg.Velocity() == 0);
}
} // namespace

void Synth::queueMidiMsg(const IMidiMsg& msg)
{
  // Growing the queue would allocate on the render thread; Reset sizes it
  // for a block. In a flood beyond that a note-off still gets in, since a
  // stuck note is worse than a lost one.
  if (mMidiQueue.NumPending() >= mMidiQueue.Capacity() && !(isNoteOff(msg) && makeRoomForNoteOff())) return;
  mMidiQueue.Add(&msg);
}

// Drops what cannot leave a note sounding: the newest message that is not a
// note-off, else (the queue holds nothing but note-offs, more than there are
// keys) the earlier of two note-offs for one key, which then stops later.
bool Synth::makeRoomForNoteOff()
{
  if (mMidiQueue.RemoveNewest([](const IMidiMsg& pending) { return !isNoteOff(pending); })) return true;
  std::bitset<kNumKeys> later;
  return mMidiQueue.RemoveNewest(
      [&later](const IMidiMsg& pending)
      {
        const int key = pending.NoteNumber();
        if (key >= kNumKeys) return true; // no key to stop
        const bool repeated = later.test(key);
        later.set(key);
        return repeated;
      });
}

void Synth::postControllerValue(int paramIdx, double normalizedValue)
{
  if (mPendingControllers.Post(paramIdx, normalizedValue)) mWorkPending = true;
}

void Synth::handOver(std::atomic<int>& slot, int value)
{
  slot = value;
  mWorkPending = true;
  tryPendingWork();
}

void Synth::tryPendingWork()
{
  if (!mWorkPending || !mMutex.TryEnter()) return;
  PerformPendingWork();
  mMutex.Leave();
}

void Synth::PerformPendingWork()
{
  WDL_MutexLock lock(&mMutex);
  mWorkPending = false;
  if (const int controller = mPendingLearnCC.exchange(-1); controller >= 0 && mMidiLearn) setMidiLearnCC(controller);
  if (const int program = mPendingProgram.exchange(-1); program >= 0) RestorePreset(program);
  mPendingControllers.TakeEach(
      [this](int paramIdx, double value)
      {
        SetParameterFromGUI(paramIdx, value);
        if (IGraphics* gui = GetGUI()) gui->SetParameterFromPlug(paramIdx, value, true);
      });
}

// Values older than 2.2.0 end before the last parameter, which they lack.
int Synth::UnserializeState(ByteChunk* pChunk, int startPos)
{
  const bool older = mDataVersion < kFirstVersionWithAllParams;
  return UnserializeParams(pChunk, startPos, older ? NParams() - 1 : NParams());
}

// A program list that fails to read is tried once more as older data.
int Synth::UnserializePresets(ByteChunk* pChunk, int startPos)
{
  int pos = IPlugBase::UnserializePresets(pChunk, startPos);
  if (pos >= 0) return pos;
  mDataVersion = kOlderDataVersion;
  pos = IPlugBase::UnserializePresets(pChunk, startPos);
  mDataVersion = kDataVersion;
  // The core reader ends by restoring the current program from its upgraded
  // copy, which it read as older data; restore it again in the current layout.
  RestorePreset(GetCurrentPresetIdx());
  return pos;
}

void Synth::setMidiLearnParam(int paramIdx)
{
  mMidiLearnParam = paramIdx >= 0 && paramIdx < NParams() ? paramIdx : -1;
  applyMidiLearn();
}

void Synth::setMidiLearnCC(int controller)
{
  mMidiLearnCC = controller >= 0 && controller < kNumControllers ? controller : -1;
  applyMidiLearn();
}

void Synth::doMidiLearn(bool on)
{
  startMidiLearn(false, on);
}

void Synth::doMidiUnlearn(bool on)
{
  startMidiLearn(true, on);
}

void Synth::startMidiLearn(bool unlearn, bool on)
{
  WDL_MutexLock lock(&mMutex);
  mMidiUnlearn = unlearn;
  mMidiLearn = on;
  mMidiLearnCC = -1;
  mMidiLearnParam = -1;
}

// Learning needs both a controller and a parameter; unlearning either one.
void Synth::applyMidiLearn()
{
  if (mMidiLearn)
  {
    if (mMidiUnlearn && mMidiLearnCC != -1)
      mMidiControlParam[mMidiLearnCC] = -1;
    else if (mMidiUnlearn && mMidiLearnParam != -1)
      unassignParam(mMidiLearnParam);
    else if (!mMidiUnlearn && mMidiLearnCC != -1 && mMidiLearnParam != -1)
    {
      unassignParam(mMidiLearnParam); // one controller per parameter
      mMidiControlParam[mMidiLearnCC] = mMidiLearnParam;
    }
    else
      return; // still waiting
    mMidiLearn = false;
    mMidiUnlearn = false;
  }
  resetMidiLearnSwitch();
}

void Synth::unassignParam(int paramIdx)
{
  for (std::atomic<int>& param : mMidiControlParam)
    if (param == paramIdx) param = -1;
}

void Synth::resetMidiLearnSwitch()
{
  if (!mMidiLearnSwitch) return;
  mMidiLearnSwitch->SetValueFromPlug(0.0);
  mMidiLearnSwitch->SetDirty(true);
}

void Synth::clearKeyBuffer()
{
  std::fill(std::begin(mPressedKeys), std::end(mPressedKeys), kNoKey);
  mNumPressedKeys = 0;
  mNumHeldKeys = 0;
}

void Synth::addPressedKey(int key)
{
  if (mNumPressedKeys >= kNumKeys) return;
  int* const end = mPressedKeys + mNumPressedKeys;
  int* const at = std::lower_bound(mPressedKeys, end, key);
  if (at != end && *at == key) return;
  std::copy_backward(at, end, end + 1);
  *at = key;
  ++mNumPressedKeys;
  ++mNumHeldKeys;
}

void Synth::removePressedKey(int key)
{
  if (mNumPressedKeys < 1 || mNumPressedKeys > kNumKeys) return;
  int* const end = mPressedKeys + mNumPressedKeys;
  int* const at = std::find(mPressedKeys, end, key);
  if (at == end) return;
  std::copy(at + 1, end, at);
  --mNumPressedKeys;
  --mNumHeldKeys;
  mPressedKeys[mNumPressedKeys] = kNoKey;
}

void Synth::initListParameter(int paramIdx, const char* name, int defaultIdx, int count, const char* const* texts,
                              const char* group)
{
  IParam* pParam = GetParam(paramIdx);
  if (!pParam) return;
  pParam->InitEnum(name, defaultIdx, count, "", group);
  for (int i = 0; i < count; ++i)
    pParam->SetDisplayText(i, texts[i]);
}

void Synth::initPreset()
{
  WDL_MutexLock lock(&mMutex);
  for (int i = 0; i < NParams(); ++i)
    SetParameterFromGUI(i, GetParam(i)->GetNormalized(GetParam(i)->GetDefault()));
  ModifyCurrentPreset("Init");
  RedrawParamControls();
  DirtyParameters();
}

void Synth::copyPreset()
{
  WDL_MutexLock lock(&mMutex);
  mCopiedPresetIdx = GetCurrentPresetIdx();
  mPresetClipboard.Clear();
  SerializeParams(&mPresetClipboard);
}

// The pasted program takes the name its source bears now, not at copy time.
void Synth::pastePreset()
{
  WDL_MutexLock lock(&mMutex);
  if (mPresetClipboard.Size() == 0) return;
  UnserializeParams(&mPresetClipboard, 0);
  ModifyCurrentPreset(GetPresetName(mCopiedPresetIdx));
  RedrawParamControls();
  DirtyParameters();
}

// The edits of the program being left stay in it under its own name.
void Synth::changePreset(int idx)
{
  WDL_MutexLock lock(&mMutex);
  ModifyCurrentPreset(nullptr);
  RestorePreset(idx);
  InformHostOfProgramChange();
  DirtyParameters();
}
