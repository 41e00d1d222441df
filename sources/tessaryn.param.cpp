#include "tessaryn.h"

#include "IControl.h"
#include "tessaryn.controls.h"

#include <algorithm>
#include <cmath>
#include <iterator>
#include <memory>
#include <mutex>
#include <vector>

namespace
{
enum class Kind
{
  kEnum,
  kInt,
  kDouble
};

struct ParamRow
{
  const char* name;
  Kind kind;
  double defaultValue;
  double min; // for enums: the number of texts
  double max;
  double step;
  double shape;
  const char* const* texts;
  bool meta;
};

const char* const kKeyAssgnTexts[] = {"Unison", "RndRobin", "Chord Memory", "Unison/Share", "Poly"};
const char* const kTriggerTexts[] = {"Multiple", "Single"};
const char* const kOffOnTexts[] = {"Off", "On"};
const char* const kOutRangeTexts[] = {"High", "Low", "Off"};
const char* const kTransposeTexts[] = {"Up", "Normal", "Down"};
const char* const kTargetTexts[] = {"VCO1/Slave VCO", "Pitch", "VCF"};
const char* const kWaveTexts[] = {"Triangle", "Sawtooth", "PWM", "PW"};
const char* const kOctaveTexts[] = {"16'", "8'", "4'", "2'"};
const char* const kPwmSrcTexts[] = {"VCF EG", "MG1", "MG2"};
const char* const kFmSrcTexts[] = {"MG1", "VCF EG"};
const char* const kFxTypeTexts[] = {"Sync", "S&X", "X-Mod"};
const char* const kFxModeTexts[] = {"Double", "Single"};
const char* const kMgWaveTexts[] = {"Triangle", "Saw Dn", "Saw Up", "Square"};
const char* const kArpRangeTexts[] = {"Full", "2Oct", "1Oct"};
const char* const kArpModeTexts[] = {"Up", "Down", "Up/Down"};
const char* const kArpStateTexts[] = {"Latch", "On", "Off"};
const char* const kArpTrigTexts[] = {"MG2", "MIDI"};
const char* const kArpTempoTexts[] = {"4/1",  "2/1.", "2/1", "1/1.",  "1/1",  "1/2.", "1/2",   "1/4.",  "1/2T", "1/4",
                                      "1/8.", "1/4T", "1/8", "1/16.", "1/8T", "1/16", "1/32.", "1/16T", "1/32", "1/64"};
const char* const kPtmDriftTexts[] = {"Off", "Normal", "Extreme"};

template <size_t N>
constexpr ParamRow enumParam(const char* name, int defaultIdx, const char* const (&texts)[N], bool meta = false)
{
  return {name, Kind::kEnum, double(defaultIdx), double(N), 0.0, 0.0, 1.0, texts, meta};
}
constexpr ParamRow intParam(const char* name, int min, int max)
{
  return {name, Kind::kInt, 0.0, double(min), double(max), 1.0, 1.0, nullptr, false};
}
constexpr ParamRow doubleParam(const char* name, double defaultValue, double min, double max, double step,
                                double shape = 1.0)
{
  return {name, Kind::kDouble, defaultValue, min, max, step, shape, nullptr, false};
}

// Limits in pitch-index steps: 32 = a quarter semitone, 3841 = 30 semitones,
// 15361 = 120 semitones, 1537 = 12 semitones (each plus one step).
const ParamRow kParams[] = {
    enumParam("KeyAssgn", 0, kKeyAssgnTexts, true),
    enumParam("Trigger", 0, kTriggerTexts),
    enumParam("AutoDamp", 0, kOffOnTexts),
    enumParam("Hold", 0, kOffOnTexts, true),
    intParam("Chord #1", 0, 128),
    intParam("Chord #2", 0, 128),
    intParam("Chord #3", 0, 128),
    intParam("Chord #4", 0, 128),
    doubleParam("Volume", 1.0, 0.0, 1.0, 0.01),
    enumParam("OutRange", 1, kOutRangeTexts),
    enumParam("Trnspose", 1, kTransposeTexts),
    doubleParam("MstrTune", 0.0, -32.0, 32.0, 1.0),
    doubleParam("Detune", 0.0, 0.0, 35.0, 0.1),
    doubleParam("Portamnt", 0.0, 0.0, 4.0, 0.01, 4.0),
    enumParam("PBTarget", 1, kTargetTexts),
    doubleParam("PBIntens", 0.4, 0.0, 1.0, 0.01),
    enumParam("MWTarget", 1, kTargetTexts),
    doubleParam("MWIntens", 0.0, 0.0, 1.0, 0.01),
    enumParam("Wave 1", 1, kWaveTexts),
    enumParam("Octave 1", 1, kOctaveTexts),
    doubleParam("Level 1", 1.0, 0.0, 1.0, 0.01),
    doubleParam("Tune 2", 0.0, -32.0, 32.0, 1.0),
    enumParam("Wave 2", 1, kWaveTexts),
    enumParam("Octave 2", 1, kOctaveTexts),
    doubleParam("Level 2", 1.0, 0.0, 1.0, 0.01),
    doubleParam("Tune 3", 0.0, -32.0, 32.0, 1.0),
    enumParam("Wave 3", 1, kWaveTexts),
    enumParam("Octave 3", 1, kOctaveTexts),
    doubleParam("Level 3", 1.0, 0.0, 1.0, 0.01),
    doubleParam("Tune 4", 0.0, -32.0, 32.0, 1.0),
    enumParam("Wave 4", 1, kWaveTexts),
    enumParam("Octave 4", 1, kOctaveTexts),
    doubleParam("Level 4", 1.0, 0.0, 1.0, 0.01),
    doubleParam("PWM", 0.0, 0.0, 1.0, 0.01),
    enumParam("PWM Src", 2, kPwmSrcTexts),
    doubleParam("PW", 0.5, 0.0, 1.0, 0.01),
    doubleParam("Noise", 0.0, 0.0, 1.0, 0.01),
    enumParam("Effects", 0, kOffOnTexts, true),
    doubleParam("FX X-Mod", 0.0, 0.0, 1.5, 0.01, 0.5),
    doubleParam("FX FM", 0.0, 0.0, 3841.0, 1.0),
    enumParam("FX FMSrc", 0, kFmSrcTexts),
    enumParam("FX Type", 2, kFxTypeTexts),
    enumParam("FX Mode", 1, kFxModeTexts),
    doubleParam("CutOff", 1.0, 0.0, 1.0, 0.01),
    doubleParam("Reso", 0.0, 0.0, 1.0, 0.01, 0.5),
    doubleParam("EGIntens", 0.0, -15361.0, 15361.0, 1.0),
    doubleParam("KeyTrack", 0.0, 0.0, 1.0, 0.01, 0.5),
    enumParam("MG1 Wave", 0, kMgWaveTexts),
    doubleParam("MG1 Rate", 0.1, 0.0, 1.0, 0.01, 2.0),
    doubleParam("MG2 Rate", 0.1, 0.0, 1.0, 0.01, 2.0),
    doubleParam("EG1 A", 0.0, 0.0, 1.0, 0.01),
    doubleParam("EG1 D", 0.0, 0.0, 1.0, 0.01),
    doubleParam("EG1 S", 0.0, 0.0, 1.0, 0.01),
    doubleParam("EG1 R", 0.0, 0.0, 1.0, 0.01),
    doubleParam("EG2 A", 0.0, 0.0, 1.0, 0.01),
    doubleParam("EG2 D", 0.0, 0.0, 1.0, 0.01),
    doubleParam("EG2 S", 1.0, 0.0, 1.0, 0.01),
    doubleParam("EG2 R", 0.0, 0.0, 1.0, 0.01),
    enumParam("ARPRange", 2, kArpRangeTexts),
    enumParam("ARP Mode", 2, kArpModeTexts),
    enumParam("ARPState", 2, kArpStateTexts, true),
    doubleParam("MWOvride", 0.0, 0.0, 1.0, 0.01),
    enumParam("FXReset", 1, kOffOnTexts),
    doubleParam("FXFrqShS", 0.0, 0.0, 1537.0, 1.0),
    doubleParam("FXFrqShD", 0.0, 0.0, 1537.0, 1.0),
    enumParam("ARP Trig", 0, kArpTrigTexts),
    enumParam("ARPTempo", 9, kArpTempoTexts),
    doubleParam("VCF Velo", 0.0, 0.0, 1.0, 0.01),
    doubleParam("VCA Velo", 0.0, 0.0, 1.0, 0.01),
    enumParam("PtmDrift", 0, kPtmDriftTexts),
};
static_assert(std::size(kParams) == Tessaryn::kNumParams);
static_assert(std::size(kArpTempoTexts) == Tessaryn::kNumArpTempos);

constexpr double kTwoPi = 6.283185307179586;

// The resonance that just self-oscillates falls slightly with frequency: a
// straight line from 4.1 at 500 Hz to 4.005 at 2 kHz, flat outside.
double resoScale(double hz)
{
  if (hz < 500.0) return 4.1;
  if (hz > 2000.0) return 4.005;
  return 4.1 + (hz - 500.0) * -0.09499999999999975 / 1500.0;
}

struct RadianTable
{
  double rate;
  double values[Tessaryn::kTableSize];
};
} // namespace

const double Tessaryn::syncRates[kNumArpTempos] = {16.0,    12.0,    8.0,    6.0,     4.0,     3.0,   2.0,
                                                   1.5,     4.0 / 3, 1.0,    0.75,    2.0 / 3, 0.5,   0.375,
                                                   1.0 / 3, 0.25,    0.1875, 1.0 / 6, 0.125,   0.0625};

const double* Tessaryn::freq2radFor(double sampleRate)
{
  // Tables are never removed: instances keep raw pointers into them, and a
  // process sees only a handful of rates.
  static std::mutex mutex;
  static std::vector<std::unique_ptr<RadianTable>> tables;
  std::lock_guard lock(mutex);
  for (const auto& table : tables)
    if (table->rate == sampleRate) return table->values;
  auto table = std::make_unique<RadianTable>();
  table->rate = sampleRate;
  for (int i = 0; i < kTableSize; ++i)
    table->values[i] = kTwoPi * convert2Hz(i) / sampleRate;
  tables.push_back(std::move(table));
  return tables.back()->values;
}

const double* Tessaryn::resoScalerTable()
{
  static const auto table = []
  {
    auto values = std::make_unique<double[]>(kTableSize);
    for (int i = 0; i < kTableSize; ++i)
      values[i] = resoScale(convert2Hz(i));
    return values;
  }();
  return table.get();
}

void Tessaryn::initParameters()
{
  for (int i = 0; i < kNumParams; ++i)
  {
    const ParamRow& row = kParams[i];
    IParam* param = GetParam(i);
    switch (row.kind)
    {
    case Kind::kEnum:
      initListParameter(i, row.name, int(row.defaultValue), int(row.min), row.texts);
      break;
    case Kind::kInt:
      param->InitInt(row.name, int(row.defaultValue), int(row.min), int(row.max));
      break;
    case Kind::kDouble:
      param->InitDouble(row.name, row.defaultValue, row.min, row.max, row.step, "", "", row.shape);
      break;
    }
    param->SetIsMeta(row.meta);
  }
}

void Tessaryn::setPortamento()
{
  const int drift = portaDrift;
  const double step = drift == 2 ? 0.2 : drift == 1 ? 0.04 : 0.0;
  for (int k = 0; k < kNumVcos; ++k)
    vco[k].portamento = portaTime + k * step;
}

void Tessaryn::Reset()
{
  WDL_MutexLock lock(&mMutex);
  Synth::Reset();
  const double rate = GetSampleRate();
  if (rate != lastSampleRate)
  {
    lastSampleRate = rate;
    for (VCO& oscillator : vco)
      oscillator.setSampleRate(rate);
    freq2rad = freq2radFor(rate);
    eg1.reset(rate);
    eg2.reset(rate);
  }
  requestRender(kRequestRestartGenerators);
  allNotesOff();
}

void Tessaryn::allNotesOff()
{
  requestRender(kRequestAllNotesOff);
}

void Tessaryn::PresetsChangedByHost()
{
  RedrawParamControls();
}

void Tessaryn::RedrawParamControls()
{
  IPlugBase::RedrawParamControls();
  if (mPresetMenu) mPresetMenu->SetDirty(false);
}

namespace
{
void showButton(IPWButtonKick* button, bool lit)
{
  if (button) button->setOn(lit);
}
} // namespace

void Tessaryn::programChordMemory()
{
  if (!gate || arpOn) return;
  int base = 0;
  bool anyHeld = false;
  for (int k = 0; k < kNumVcos; ++k)
  {
    if (!vcoKey[k]) continue;
    base = anyHeld ? std::min<int>(base, vcoNote[k]) : int(vcoNote[k]);
    anyHeld = true;
  }
  for (int k = 0; k < kNumVcos; ++k)
  {
    IParam* chord = GetParam(kChord1 + k);
    SetParameterFromGUI(kChord1 + k, vcoKey[k] ? chord->GetNormalized(vcoNote[k] - base) : 1.0);
  }
}

void Tessaryn::markPending(int index)
{
  mPendingParams[index / 64].fetch_or(uint64_t(1) << (index % 64), std::memory_order_release);
}

void Tessaryn::requestRender(uint32_t request)
{
  mRequests.fetch_or(request, std::memory_order_release);
}

void Tessaryn::OnParamChange(int index)
{
  WDL_MutexLock lock(&mMutex);
  Synth::OnParamChange(index);
  IParam* param = GetParam(index);
  if (!param || index >= kNumParams) return;
  const double v = param->Value();
  const int i = static_cast<int>(v);
  const bool on = v >= 0.5;

  switch (index)
  {
  case kKeyAssgn:
    if (i == keyMode) return;
    if (i == kChordMemory && keyMode >= kUnisonShare) programChordMemory();
    keyMode = i;
    updateButtons();
    break;
  case kTrigger:
    multiTrigger = v < 0.5;
    break;
  case kAutoDamp:
    autoDamp = on;
    return;
  case kHold:
    hold = on;
    // The parameter, not arpOn: while a whole program is replayed, ARPState
    // comes after Hold and arpOn still tells of the program before.
    if (on && GetParam(kARPState)->Int() != kArpOff) SetParameterFromGUI(kHold, 0.0);
    showButton(mHoldButton, hold);
    break;
  case kChord1:
  case kChord2:
  case kChord3:
  case kChord4:
    chordOffset[index - kChord1] = i;
    return;
  case kVolume:
    volume = v;
    outputGain = v * rangeGain;
    return;
  case kOutRange:
    rangeGain = i == 0 ? 1.0 : i == 1 ? 0.2 : 0.0;
    outputGain = rangeGain * volume;
    return;
  case kTrnspose:
    keyTranspose = i == 0 ? 1536.0 : i == 2 ? -1536.0 : 0.0;
    break;
  case kMstrTune:
    masterTune = v;
    return;
  case kDetune:
    detune = v;
    return;
  case kPortamnt:
    portaTime = v;
    break;
  case kPBTarget:
    pbTarget = i;
    return;
  case kPBIntens:
    pbIntensity = v;
    return;
  case kMWTarget:
    mwTarget = i;
    return;
  case kMWIntens:
    mwIntensity = v;
    return;
  case kLevel1:
  case kLevel2:
  case kLevel3:
  case kLevel4:
    level[(index - kLevel1) / 4] = v;
    return;
  case kNoise:
    noise = v;
    return;
  case kEffects:
    fxOn = on;
    showButton(mEffectsButton, on);
    return;
  case kFXXMod:
    xmodAmount = v;
    xmodActive = v != 0.0;
    return;
  case kFXFM:
    fmAmount = v;
    return;
  case kFXFMSrc:
    fmSourceEG = on;
    return;
  case kFXType:
    fxXMod = i != 0;
    fxSync = i != 2;
    return;
  case kFXMode:
    fxSingle = i == 1;
    return;
  case kCutOff:
    cutoff = std::sqrt(v) * PitchScale::kMaxPitch;
    return;
  case kReso:
    reso = v;
    break;
  case kEGIntens:
    egIntensity = v;
    return;
  case kKeyTrack:
    keyTrack = v;
    return;
  case kARPRange:
    arpRange = i;
    arpOctaves = i == 0 ? 4 : i == 1 ? 2 : 1;
    return;
  case kARPMode:
    arpMode = i;
    break;
  case kARPState:
  {
    // Only a change of its own releases Hold: a program change or restore
    // replays ARPState too, and the Hold stored with it must stand (the Hold
    // handler keeps it off if the arpeggiator runs).
    const bool changed = i != arpState && mParamResetDepth == 0;
    arpState = i;
    arpOn = i != kArpOff;
    markPending(index);
    if (changed) SetParameterFromGUI(kHold, 0.0);
    return;
  }
  case kMWOvride:
    mwOverride = v;
    return;
  case kFXReset:
    return;
  case kFXFrqShS:
    shiftSingle = v;
    return;
  case kFXFrqShD:
    shiftDouble = v;
    return;
  case kARPTrig:
    arpFromMG2 = i == 0;
    return;
  case kARPTempo:
    syncBeats = syncRates[std::clamp(i, 0, kNumArpTempos - 1)];
    syncStepsPerBeat = 1.0 / syncBeats;
    return;
  case kVCFVelo:
    vcfVelo = v;
    return;
  case kVCAVelo:
    vcaVelo = v;
    return;
  case kPtmDrift:
    portaDrift = i;
    break;
  default: // oscillator, envelope and generator settings: applied by the render
    break;
  }
  markPending(index);
}

void Tessaryn::applyRenderRequests()
{
  const uint32_t requests = mRequests.exchange(0, std::memory_order_acquire);
  if (requests & kRequestRestartGenerators)
  {
    mg1.restart();
    mg2.restart();
  }
  if (requests & kRequestAllNotesOff)
  {
    clearKeyBuffer();
    releaseAll();
    for (int note = 0; note <= kHighestNote; ++note)
      setNoteOff(note);
  }
  for (int word = 0; word < 2; ++word)
  {
    uint64_t bits = mPendingParams[word].exchange(0, std::memory_order_acquire);
    while (bits)
    {
      const int bit = __builtin_ctzll(bits);
      bits &= bits - 1;
      applyPendingParam(word * 64 + bit);
    }
  }
}

// The render-side half of a parameter change: whatever touches state that
// the render advances.
void Tessaryn::applyPendingParam(int index)
{
  const IParam* param = GetParam(index);
  if (!param) return;
  const double v = param->Value();
  switch (index)
  {
  case kKeyAssgn:
    nextVco = 0;
    return;
  case kTrigger: // a Trigger change restarts a sounding note from silence
    if (!gate) return;
    eg1.reset(lastSampleRate);
    eg1.start();
    eg2.reset(lastSampleRate);
    eg2.start();
    return;
  case kHold:
    if (!hold) releaseAll();
    return;
  case kTrnspose:
    for (VCO& oscillator : vco)
      oscillator.setTranspose(static_cast<int>(v));
    return;
  case kPortamnt:
  case kPtmDrift:
    setPortamento();
    return;
  case kReso:
    cutoffIndex = -1;
    return;
  case kARPMode:
    arpDown = static_cast<int>(v) == kArpDown;
    return;
  case kARPState:
    clearKeyBuffer();
    return;
  default:
    applyEngineParam(index, v);
  }
}

void Tessaryn::applyEngineParam(int index, double v)
{
  const int i = static_cast<int>(v);
  if (index >= kWave1 && index <= kOctave4)
  {
    // Tune, wave, octave and level repeat every four indices; VCO1 has no
    // tune of its own, and levels never reach the render this way.
    const int k = (index - kWave1 + 1) / 4;
    switch ((index - kWave1 + 1) % 4)
    {
    case 0:
      vco[k].setTuning(i);
      return;
    case 1:
      vco[k].waveForm = i;
      return;
    case 2:
      vco[k].setOctave(i);
      return;
    }
  }
  switch (index)
  {
  case kPWM:
    for (VCO& oscillator : vco)
      oscillator.pwmAmount = v;
    return;
  case kPWMSrc:
  {
    const double* source = i == 0 ? &eg1.value() : i == 1 ? &mg1.unipolar() : &mg2.unipolar();
    for (VCO& oscillator : vco)
      oscillator.pwmSource = source;
    return;
  }
  case kPW:
    for (VCO& oscillator : vco)
      oscillator.pulseWidth = v;
    return;
  case kMG1Wave:
    mg1.setWaveForm(i);
    return;
  case kMG1Rate:
    mg1.setRate(v);
    return;
  case kMG2Rate:
    mg2.setRate(v);
    return;
  }
  if (index >= kEG1A && index <= kEG2R)
  {
    EG& eg = index < kEG2A ? eg1 : eg2;
    switch ((index - kEG1A) % 4)
    {
    case 0:
      eg.setAttack(v);
      return;
    case 1:
      eg.setDecay(v);
      return;
    case 2:
      eg.setSustain(v);
      return;
    case 3:
      eg.setRelease(v);
      return;
    }
  }
}
