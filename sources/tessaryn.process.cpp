// The render: control ticks of about 1 ms for MIDI, modulation, glide and
// filter targets; per sample the oscillator mix, noise, the ladder filter and
// the amplifier envelope. Audio thread only: nothing here allocates, waits
// or throws.

#include "tessaryn.h"
#include "IGraphics.h"
#include "IMidiMsg.h"

#include <algorithm>
#include <cmath>
#include <xmmintrin.h>

namespace
{
constexpr double kPitchDepth = 3841.0;                // 30 semitones and a step
constexpr double kCutoffDepth = 7681.0;               // 60 semitones and a step
constexpr double kNoiseScale = 4.656612873077393e-10; // 2^-31

// Decaying envelopes and a resonant ladder left ringing in silence sink into
// denormals, which cost x86 cores a hundredfold; the render flushes them.
class DenormalGuard
{
public:
  static constexpr unsigned kFlushToZero = 0x8000;
  static constexpr unsigned kDenormalsAreZero = 0x0040;

  DenormalGuard() : mSaved(_mm_getcsr()) { _mm_setcsr(mSaved | kFlushToZero | kDenormalsAreZero); }
  ~DenormalGuard() { _mm_setcsr(mSaved); }
  DenormalGuard(const DenormalGuard&) = delete;
  DenormalGuard& operator=(const DenormalGuard&) = delete;

private:
  unsigned mSaved;
};
} // namespace

// What the per-sample path reads, taken once per segment so that the loop
// works on locals rather than on values other threads may change.
struct Tessaryn::Voicing
{
  double level[kNumVcos]; // 0 for silent oscillators
  bool crossMod;
  bool single;
  double xmodAmount;
  bool noiseOn;
  double noise;
  double egIntensity;
};

void Tessaryn::ProcessDoubleReplacing(double**, double** outputs, int nFrames)
{
  const DenormalGuard flushDenormals;
  if (arpOn && !arpFromMG2) handleSync2Host();

  double* left = outputs[0];
  double* right = outputs[1];
  std::fill_n(left, nFrames, 0.0);
  std::fill_n(right, nFrames, 0.0);
  tickInBlock = 0;

  // Below 1 kHz the interval would be 0 and the loop would never advance.
  const int interval = std::max(mUpdateInterval, 1);
  int remaining = nFrames;
  while (remaining > 0)
  {
    int n;
    if (mUpdateCountdown <= 0)
    {
      applyRenderRequests();
      handleMidiEvents(nFrames - remaining);
      update();
      n = std::min(interval, remaining);
      if (interval > remaining) mUpdateCountdown = interval - remaining;
      ++tickInBlock;
    }
    else if (mUpdateCountdown >= remaining)
    {
      mUpdateCountdown -= remaining;
      n = remaining;
    }
    else
    {
      n = mUpdateCountdown;
      mUpdateCountdown = 0;
    }
    remaining -= n;

    const double gain = outputGain * velocityGain;
    if (soundOn && gain > 0.0)
      renderSound(left, right, n, gain);
    else
      renderSilence(left, right, n);
    left += n;
    right += n;
  }
  // What waits for a tick in a later block keeps its place on the tick grid.
  mMidiQueue.Flush(nFrames);
}

void Tessaryn::handleSync2Host()
{
  GetTime(&mTimeInfo);
  const double ms = syncBeats * 60000.0 / mTimeInfo.mTempo;
  // A tempo of 0 or none at all gives no usable step length.
  if (!std::isfinite(ms) || ms < 0.0 || ms > 1.0e9) return;
  arpInterval = static_cast<int>(std::floor(ms + 0.5));
  if (mTimeInfo.mPPQPos == lastPPQPos) return;
  lastPPQPos = mTimeInfo.mPPQPos;
  if (arpInterval < 1) return;
  const double x = mTimeInfo.mPPQPos * syncStepsPerBeat;
  int p = static_cast<int>(noteOnTick + ms * (x - std::floor(x)));
  if (p >= arpInterval) p %= arpInterval;
  // Pull a late clock forward only when both sit in the second half of a step.
  if (arpCountdown >= arpInterval / 2 && p >= arpInterval / 2) arpCountdown = p;
}

// A message acts at the first tick at or after its frame. The ticks run on
// one grid across blocks, so where the host cuts its blocks changes nothing.
void Tessaryn::handleMidiEvents(int tickFrame)
{
  tryPendingWork();
  for (const IMidiMsg* msg = mMidiQueue.Peek(); msg && msg->mOffset <= tickFrame; msg = mMidiQueue.Peek())
  {
    handleMidiMsg(*msg);
    mMidiQueue.Remove();
  }
}

void Tessaryn::handleMidiMsg(const IMidiMsg& msg)
{
  switch (msg.StatusMsg())
  {
  case IMidiMsg::kNoteOn:
    if (msg.Velocity() > 0)
    {
      setNoteOn(msg.NoteNumber(), msg.Velocity());
      return;
    }
    [[fallthrough]];
  case IMidiMsg::kNoteOff:
    setNoteOff(msg.NoteNumber());
    return;
  case IMidiMsg::kControlChange:
  {
    const IMidiMsg::EControlChangeMsg controller = msg.ControlChangeIdx();
    const double value = msg.ControlChange(controller);
    if (controller == IMidiMsg::kModWheel)
      modWheel = value;
    else
      applyController(midiControlParam(controller), value);
    return;
  }
  case IMidiMsg::kPitchWheel:
    pitchBend = msg.PitchWheel();
    return;
  default:
    return;
  }
}

// A learned controller changes its parameter as the editor would, which
// needs the plug-in mutex; the render hands the value over and never waits.
void Tessaryn::applyController(int paramIdx, double value)
{
  if (paramIdx < 0 || paramIdx >= kNumParams) return;
  if (GetParam(paramIdx)->GetNormalized() == value) return;
  postControllerValue(paramIdx, value);
  tryPendingWork();
}

void Tessaryn::clockArpeggio()
{
  if (arpFromMG2)
  {
    // One step per MG2 cycle, at the start of its first half.
    if (!lastMG2Half && mg2.firstHalf()) arpNextStep();
    lastMG2Half = mg2.firstHalf();
    return;
  }
  const int countdown = arpCountdown;
  arpCountdown = countdown - 1;
  if (countdown >= 1) return;
  arpNextStep();
  arpCountdown = arpInterval;
  stepBlink = !stepBlink;
}

// Target 0 reaches only the slaves while Effects is on: VCO2 and VCO4, and
// VCO3 too in Single mode; otherwise only VCO1.
void Tessaryn::addToSlaves(double amount)
{
  if (!fxOn)
  {
    pitchMod[0] += amount;
    return;
  }
  pitchMod[1] += amount;
  pitchMod[3] += amount;
  if (fxSingle) pitchMod[2] += amount;
}

void Tessaryn::route(int target, double amount)
{
  switch (target)
  {
  case kTargetSlaveVco:
    addToSlaves(amount * kPitchDepth);
    return;
  case kTargetPitch:
    for (double& mod : pitchMod)
      mod += amount * kPitchDepth;
    return;
  case kTargetVcf:
    cutoffPitch += amount * kCutoffDepth;
    return;
  }
}

void Tessaryn::routeEffectsFM()
{
  double fm = fmAmount * (fmSourceEG ? eg1.value() : mg1.bipolar());
  if (fxXMod) fm += (fxSingle ? shiftSingle : shiftDouble) * xmodAmount;
  addToSlaves(fm);
}

void Tessaryn::update()
{
  mg1.update();
  mg2.update();
  if (arpOn) clockArpeggio();
  publishLamps();
  // In silence glides and modulation stand still; the generators and the
  // arpeggiator clock run on.
  if (!soundOn) return;

  // EG1 also advances once per tick, so its times run about 2 % short.
  eg1.update();
  std::fill(std::begin(pitchMod), std::end(pitchMod), 0.0);
  cutoffPitch = 0.0;
  route(pbTarget, pbIntensity * pitchBend);
  const double override = mwOverride;
  const double wheel = override > 0.0 ? override : modWheel;
  route(mwTarget, wheel * mwIntensity * mg1.bipolar());
  if (fxOn) routeEffectsFM();
  pitchMod[1] -= detune; // VCO2 down, VCO4 up
  pitchMod[3] += detune;
  const double tune = masterTune;
  for (int k = 0; k < kNumVcos; ++k)
    vco[k].update(pitchMod[k] + tune);

  cutoffPitch += (keyPitch + keyTranspose) * keyTrack + cutoff + (2.0 * velocity - 1.0) * vcfVelo * kCutoffDepth;
  velocityGain = (velocity - 1.0) * vcaVelo + 1.0;
  soundOn = eg2.isOn();
  noiseOn = noise > 0.0;
}

void Tessaryn::publishLamps()
{
  unsigned flags = 0;
  for (int k = 0; k < kNumVcos; ++k)
    if (soundOn && vcoOn[k]) flags |= 1u << (kLampVoice1 + k);
  if (mg1.bipolar() > 0.0) flags |= 1u << kLampMG1;
  if (mg2.bipolar() > 0.0) flags |= 1u << kLampMG2;
  if (stepBlink) flags |= 1u << kLampArp;
  lampFlags = flags;
}

void Tessaryn::next()
{
  if (!fxOn || !fxSync)
  {
    for (VCO& oscillator : vco)
      oscillator.next();
    return;
  }
  // Hard sync: a slave restarts at the master's post-wrap phase scaled by
  // the ratio of their pitch indices.
  const bool wrapped = vco[0].nextAndSyncOut();
  const double fraction = static_cast<double>(vco[0].phase) / vco[0].pitch;
  const auto follow = [](VCO& slave, bool restart, double r) { restart ? slave.restart(r) : slave.next(); };
  if (fxSingle)
  {
    for (int k = 1; k < kNumVcos; ++k)
      follow(vco[k], wrapped, fraction);
    return;
  }
  follow(vco[1], wrapped, fraction);
  const bool wrapped3 = vco[2].nextAndSyncOut();
  follow(vco[3], wrapped3, static_cast<double>(vco[2].phase) / vco[2].pitch);
}

void Tessaryn::renderSilence(double* left, double* right, int n)
{
  for (int i = 0; i < n; ++i)
  {
    next();
    left[i] = 0.0;
    right[i] = 0.0;
  }
}

double Tessaryn::mix(const Voicing& v) const
{
  if (!v.crossMod)
  {
    double s = 0.0;
    for (int k = 0; k < kNumVcos; ++k)
      s += v.level[k] * vco[k].out();
    return s;
  }
  // Cross-modulation: the master's band-limited wave scales its slaves.
  const auto depth = [&](int master) { return (vco[master].outBL() - 1.0) * v.xmodAmount + 1.0; };
  const double m0 = depth(0);
  if (v.single)
    return v.level[0] * vco[0].out() + vco[1].outBL() * v.level[1] * m0 + vco[2].outBL() * v.level[2] * m0 +
           vco[3].outBL() * v.level[3] * m0;
  return v.level[0] * vco[0].out() + vco[1].outBL() * v.level[1] * m0 + v.level[2] * vco[2].out() +
         vco[3].outBL() * v.level[3] * depth(2);
}

void Tessaryn::updateFilterCoefficients(int index)
{
  cutoffIndex = index;
  const int i = std::clamp(index, 0, PitchScale::kMaxPitch);
  const double w = freq2rad[i];
  g = w / (w + 2.0);
  b = (w - 2.0) / (w + 2.0);
  const double r = reso;
  k = r * resoScaler[i];
  const double d = 2.0 * std::abs(r - 0.5);
  comp = 2.0 - d * d; // the resonance's loss of passband, made up at Reso 0.5
  g4 = g * g * g * g;
  norm = 1.0 / (g4 * k + 1.0);
}

// Four bilinear one-pole stages with the feedback solved linearly, then
// saturated (5·tanh(y/5) by a rational approximation) on its way back.
double Tessaryn::ladder(double x)
{
  double& s1 = filterState[0];
  double& s2 = filterState[1];
  double& s3 = filterState[2];
  double& s4 = filterState[3];
  if (std::isnan(s1)) s1 = 0.0;
  const double sum = ((s1 * g + s2) * g + s3) * g + s4;
  const double y = (g4 * x + sum) * norm;
  const double u = 0.2 * y;
  const double f = u < -3.0 ? -5.0 : u > 3.0 ? 5.0 : 5.0 * u * (u * u + 27.0) / (9.0 * u * u + 27.0);
  const double a = (x - k * f) * g;
  const double y1 = s1 + a;
  s1 = a - b * y1;
  const double t1 = g * y1;
  const double y2 = s2 + t1;
  s2 = t1 - b * y2;
  const double t2 = g * y2;
  const double y3 = s3 + t2;
  s3 = t2 - b * y3;
  const double t3 = g * y3;
  const double y4 = s4 + t3;
  s4 = t3 - b * y4;
  return y * comp;
}

void Tessaryn::renderSound(double* left, double* right, int n, double gain)
{
  Voicing v;
  for (int k = 0; k < kNumVcos; ++k)
    v.level[k] = vcoOn[k] ? double(level[k]) : 0.0;
  v.crossMod = fxOn && xmodActive && fxXMod;
  v.single = fxSingle;
  v.xmodAmount = xmodAmount;
  v.noiseOn = noiseOn;
  v.noise = noise;
  v.egIntensity = egIntensity;

  for (int i = 0; i < n; ++i)
  {
    double s = mix(v);
    if (v.noiseOn)
    {
      // Park–Miller, wrapping in 32 bits.
      randSeed = static_cast<int32_t>(static_cast<uint32_t>(randSeed) * 16807u);
      s += randSeed * kNoiseScale * v.noise;
    }
    const double c = v.egIntensity * eg1.value() + cutoffPitch;
    eg1.update();
    const int index = static_cast<int>(c);
    if (index != cutoffIndex) updateFilterCoefficients(index);
    const double filtered = ladder(s);
    eg2.update();
    const double sample = eg2.value() * gain * filtered;
    left[i] = sample;
    right[i] = sample;
    next();
  }
}
