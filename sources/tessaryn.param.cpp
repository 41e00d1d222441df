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

// What hosts show beside the parameter table: the panel section each
// parameter sits in, its unit, one line on what it does, and a value with a
// name of its own.
struct ParamNote
{
  const char* group;
  const char* unit;
  const char* description;
  const char* valueName = nullptr;
  double namedValue = 0.0;
};

constexpr const char* kKeyAssign = "Key Assign";
constexpr const char* kOutput = "Output";
constexpr const char* kOscillators = "Oscillators";
constexpr const char* kWheels = "Wheels";
constexpr const char* kOsc1 = "Oscillator 1";
constexpr const char* kOsc2 = "Oscillator 2";
constexpr const char* kOsc3 = "Oscillator 3";
constexpr const char* kOsc4 = "Oscillator 4";
constexpr const char* kModulation = "Modulation";
constexpr const char* kVoice = "Voice";
constexpr const char* kEffects = "Effects";
constexpr const char* kFilter = "Filter";
constexpr const char* kEnvelopes = "Envelopes";
constexpr const char* kArpeggiator = "Arpeggiator";
constexpr const char* kTweaks = "Tweaks";

constexpr const char* kNoUnit = "";
constexpr const char* kSeconds = "s";
constexpr const char* kSemitones = "semitones";
// The pitch index's step: -32 st/128 reads as a quarter semitone down.
constexpr const char* kPitchSteps = "st/128";
// Chord #n at 128 leaves its oscillator out of the chord.
constexpr double kChordOff = 128.0;

// Notes shared by the oscillators' controls: the section or number says which.
constexpr const char* kChordNote = "Chord Memory: the oscillator of the same number plays this many semitones above "
                                   "the key; off leaves it out of the chord.";
constexpr const char* kTuneNote = "Tuning against VCO1, up to a quarter semitone either way.";
constexpr const char* kWaveNote = "Waveform: triangle, sawtooth, pulse with modulated width (PWM) or fixed width (PW).";
constexpr const char* kOctaveNote = "Octave, from 16' (lowest) to 2'.";
constexpr const char* kLevelNote = "Level in the mix.";

const ParamNote kParamNotes[] = {
    {kKeyAssign, kNoUnit,
     "How played keys share the four oscillators: all on one key, one after another, "
     "as the stored chord, pairs then single voices, or one voice per key."},
    {kVoice, kNoUnit, "Multiple restarts both envelopes with every key; Single plays legato while a key is held."},
    {kVoice, kNoUnit,
     "In Unison/Share and Poly, silences an oscillator as soon as its key is released "
     "while other keys are still down."},
    {kKeyAssign, kNoUnit, "Keeps released notes sounding until switched off; cannot be on while the arpeggiator runs."},
    {kKeyAssign, kSemitones, kChordNote, "off", kChordOff},
    {kKeyAssign, kSemitones, kChordNote, "off", kChordOff},
    {kKeyAssign, kSemitones, kChordNote, "off", kChordOff},
    {kKeyAssign, kSemitones, kChordNote, "off", kChordOff},
    {kOutput, kNoUnit, "Output level."},
    {kOutput, kNoUnit, "Output gain range: High is full level, Low a fifth of it, Off silence."},
    {kOscillators, kNoUnit, "Transposes the keyboard one octave up or down."},
    {kOscillators, kPitchSteps, "Tunes all four oscillators, up to a quarter semitone either way."},
    {kOscillators, kPitchSteps, "Spreads the sound: VCO2 goes down and VCO4 up by this much; VCO1 and VCO3 stay."},
    {kOscillators, kSeconds, "Glide time from one note to the next."},
    {kWheels, kNoUnit,
     "What the pitch bend wheel moves: VCO1 (the slave oscillators while Effects is on), "
     "the pitch of all four, or the filter cutoff."},
    {kWheels, kNoUnit, "Pitch bend depth: at full, the wheel bends 30 semitones of pitch or 60 of cutoff."},
    {kWheels, kNoUnit,
     "What the modulation wheel's MG1 modulation moves: VCO1 (the slave oscillators while Effects "
     "is on), the pitch of all four, or the filter cutoff."},
    {kWheels, kNoUnit, "Modulation wheel depth of the MG1 modulation."},
    {kOsc1, kNoUnit, kWaveNote},
    {kOsc1, kNoUnit, kOctaveNote},
    {kOsc1, kNoUnit, kLevelNote},
    {kOsc2, kPitchSteps, kTuneNote},
    {kOsc2, kNoUnit, kWaveNote},
    {kOsc2, kNoUnit, kOctaveNote},
    {kOsc2, kNoUnit, kLevelNote},
    {kOsc3, kPitchSteps, kTuneNote},
    {kOsc3, kNoUnit, kWaveNote},
    {kOsc3, kNoUnit, kOctaveNote},
    {kOsc3, kNoUnit, kLevelNote},
    {kOsc4, kPitchSteps, kTuneNote},
    {kOsc4, kNoUnit, kWaveNote},
    {kOsc4, kNoUnit, kOctaveNote},
    {kOsc4, kNoUnit, kLevelNote},
    {kModulation, kNoUnit, "Pulse-width modulation depth of the oscillators on the PWM wave."},
    {kModulation, kNoUnit, "Pulse-width modulation source: the filter envelope, MG1 or MG2."},
    {kModulation, kNoUnit, "Pulse width of the PW wave, as a fraction of a cycle."},
    {kVoice, kNoUnit, "White noise level added to the oscillators."},
    {kEffects, kNoUnit,
     "Couples the oscillators: VCO1 (and VCO3 in Double mode) drives the others by sync, "
     "cross-modulation and FM."},
    {kEffects, kNoUnit, "Cross-modulation depth of the slave oscillators by their master."},
    {kEffects, kPitchSteps, "Frequency modulation depth of the slave oscillators, up to 30 semitones."},
    {kEffects, kNoUnit, "Effects FM source: MG1 or the filter envelope."},
    {kEffects, kNoUnit, "How the master drives its slaves: hard sync, sync and cross-modulation, or cross-modulation."},
    {kEffects, kNoUnit, "Single: VCO1 drives VCO2 to VCO4. Double: VCO1 drives VCO2 and VCO3 drives VCO4."},
    {kFilter, kNoUnit, "Cutoff of the four-pole low-pass filter."},
    {kFilter, kNoUnit, "Filter resonance; the filter sings near the top of the range."},
    {kFilter, kPitchSteps, "How far the filter envelope moves the cutoff, up to 120 semitones either way."},
    {kFilter, kNoUnit, "How far the cutoff follows the key played."},
    {kModulation, kNoUnit, "MG1 waveform: triangle, falling saw, rising saw or square."},
    {kModulation, kNoUnit, "MG1 speed; 1.0 is about 30 Hz."},
    {kModulation, kNoUnit,
     "MG2 (triangle) speed, which also clocks the arpeggiator when ARP Trig is MG2; "
     "1.0 is about 30 Hz."},
    {kEnvelopes, kNoUnit, "Filter envelope attack time."},
    {kEnvelopes, kNoUnit, "Filter envelope decay time."},
    {kEnvelopes, kNoUnit, "Filter envelope sustain level."},
    {kEnvelopes, kNoUnit, "Filter envelope release time."},
    {kEnvelopes, kNoUnit, "Amplifier envelope attack time."},
    {kEnvelopes, kNoUnit, "Amplifier envelope decay time."},
    {kEnvelopes, kNoUnit, "Amplifier envelope sustain level."},
    {kEnvelopes, kNoUnit, "Amplifier envelope release time."},
    {kArpeggiator, kNoUnit, "Octaves the arpeggio covers: four (Full), two or one."},
    {kArpeggiator, kNoUnit, "Arpeggio direction: up, down, or up and down."},
    {kArpeggiator, kNoUnit, "Arpeggiator: Latch keeps it running after the keys are released; On; Off."},
    {kTweaks, kNoUnit, "Modulation wheel override: above 0 it replaces the wheel's position."},
    {kTweaks, kNoUnit, "When on, switching Effects on sets the key assignment back to Unison."},
    {kTweaks, kPitchSteps,
     "Frequency shift of the slave oscillators in Single effects mode while they "
     "cross-modulate, scaled by FX X-Mod; up to an octave."},
    {kTweaks, kPitchSteps,
     "Frequency shift of VCO2 and VCO4 in Double effects mode while they cross-modulate, "
     "scaled by FX X-Mod; up to an octave."},
    {kTweaks, kNoUnit, "Arpeggiator clock: MG2's cycle, or the host's tempo (MIDI)."},
    {kTweaks, kNoUnit, "Arpeggio step length as a note value, when the host's tempo clocks it."},
    {kTweaks, kNoUnit, "How far key velocity moves the filter cutoff."},
    {kTweaks, kNoUnit, "How far key velocity sets the loudness."},
    {kTweaks, kNoUnit,
     "Portamento drift: VCO2 to VCO4 glide ever longer than VCO1, by 0.04 s (Normal) or 0.2 s "
     "(Extreme) per oscillator."},
};
static_assert(std::size(kParamNotes) == Tessaryn::kNumParams);
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
    const ParamNote& note = kParamNotes[i];
    IParam* param = GetParam(i);
    switch (row.kind)
    {
    case Kind::kEnum:
      initListParameter(i, row.name, int(row.defaultValue), int(row.min), row.texts, note.group);
      break;
    case Kind::kInt:
      param->InitInt(row.name, int(row.defaultValue), int(row.min), int(row.max), note.unit, note.group);
      break;
    case Kind::kDouble:
      param->InitDouble(row.name, row.defaultValue, row.min, row.max, row.step, note.unit, note.group, row.shape);
      break;
    }
    param->SetIsMeta(row.meta);
  }
}

IParamNotes Tessaryn::GetParamNotes(int paramIdx) const
{
  if (paramIdx < 0 || paramIdx >= kNumParams) return {};
  const ParamNote& note = kParamNotes[paramIdx];
  return {note.description, note.valueName, note.namedValue};
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
  ++mProgramsChanged;
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
