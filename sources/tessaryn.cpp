#include "tessaryn.h"

#include <algorithm>

namespace
{
constexpr double kVelocityScale = 0.007874015748031496; // 1/127
constexpr double kKeyPitchScale = 202.75;               // key tracking per semitone above note 30
constexpr int kKeyTrackOrigin = 30;
constexpr int kSemitonesPerOctave = 12;
} // namespace

Tessaryn::Tessaryn(IPlugInstanceInfo instanceInfo)
    : Synth(instanceInfo), freq2rad(freq2radFor(GetSampleRate())), resoScaler(resoScalerTable())
{
  mUpdateInterval = 0;
  for (int k = 0; k < kNumVcos; ++k)
  {
    vco[k].synth = this;
    vco[k].pwmSource = &mg2.unipolar();
    chordOffset[k] = 0;
    vcoKey[k] = false;
    vcoNote[k] = -1;
    level[k] = 1.0;
  }
  initParameters();
  createGraphics();
  if (mEditorGraphics) AttachGraphics(mEditorGraphics);
  initPresets();
}

Tessaryn::~Tessaryn() = default;

void Tessaryn::clearKeyBuffer()
{
  Synth::clearKeyBuffer();
  arpIndex = 0;
  arpOctaveStep = 0;
}

void Tessaryn::releaseAll()
{
  shareState = 0;
  for (auto& key : vcoKey)
    key = false;
  gate = false;
  eg1.stop();
  eg2.stop();
}

void Tessaryn::setNoteOn(int note, int noteVelocity)
{
  if (noteShouldBeSkipped(note)) return;
  velocity = noteVelocity * kVelocityScale;
  if (!arpOn)
  {
    addPressedKey(note);
    playNote(note, keyMode);
    return;
  }
  // The key only joins the list; the arpeggiator plays it in turn.
  if (mNumHeldKeys == 0) restartArpeggio();
  addPressedKey(note);
}

void Tessaryn::restartArpeggio()
{
  if (arpFromMG2)
  {
    lastMG2Half = false;
    mg2.restart();
  }
  else
  {
    noteOnTick = tickInBlock;
    arpCountdown = 0;
  }
  clearKeyBuffer();
  nextVco = 0;
}

void Tessaryn::setNoteOff(int note)
{
  const bool arpeggio = arpOn;
  const int state = arpState;
  if (!arpeggio || state != kArpLatch)
    removePressedKey(note);
  else if (mNumHeldKeys > 0 &&
           std::find(mPressedKeys, mPressedKeys + mNumPressedKeys, note) != mPressedKeys + mNumPressedKeys)
    --mNumHeldKeys; // latched: the key stays in the list
  if (!arpeggio)
    stopNote(note, keyMode);
  else if (state == kArpOn)
    releaseAll(); // the next step starts the sound again if keys remain
}

void Tessaryn::assign(int k, int note, int offset)
{
  vco[k].setNote(note, offset);
  vcoNote[k] = note;
  vcoKey[k] = true;
  vcoOn[k] = true;
}

void Tessaryn::playNote(int note, int mode)
{
  if (!gate)
  {
    shareState = 0;
    for (int k = 0; k < kNumVcos; ++k)
    {
      vcoKey[k] = false;
      vcoOn[k] = false;
    }
    eg1.start();
    eg2.start();
  }
  else if (arpOn || multiTrigger)
  {
    eg1.start();
    eg2.start();
  }
  soundOn = true;
  gate = true;
  assignNote(note, mode);
  keyPitch = (note - kKeyTrackOrigin) * kKeyPitchScale;
}

void Tessaryn::assignNote(int note, int mode)
{
  switch (mode)
  {
  case kUnisonShare:
    playSharedNote(note);
    break;
  case kUnison:
    lastVco = 0;
    for (int k = 0; k < kNumVcos; ++k)
      assign(k, note, 0);
    break;
  case kRndRobin:
  {
    const int j = nextVco;
    lastVco = j;
    for (int k = 0; k < kNumVcos; ++k)
    {
      vcoKey[k] = false;
      vcoOn[k] = false;
    }
    assign(j, note, 0);
    nextVco = (j + 1) % kNumVcos;
    break;
  }
  case kChordMemory:
    lastVco = 0;
    for (int k = 0; k < kNumVcos; ++k)
      if (chordOffset[k] <= kNoChordNote) assign(k, note, chordOffset[k]);
    break;
  case kPoly:
    playPoly(note);
    break;
  }
}

// Unison/Share: the first key takes all four oscillators, the second a pair,
// the third VCO1 (releasing VCO4); from then on the keys share like Poly.
void Tessaryn::playSharedNote(int note)
{
  switch (shareState)
  {
  case 0:
    shareState = 1;
    assignNote(note, kUnison);
    return;
  case 1:
  {
    const int first = (!vcoKey[2] || !vcoKey[3]) ? 2 : 0;
    assign(first, note, 0);
    assign(first + 1, note, 0);
    shareState = 2;
    return;
  }
  case 2:
    shareState = 3;
    if (std::all_of(std::begin(vcoKey), std::end(vcoKey), [](const Relaxed<bool>& key) { return bool(key); }))
    {
      assign(0, note, 0);
      vcoKey[3] = false;
      if (autoDamp) vcoOn[3] = false;
    }
    else
      playPoly(note);
    return;
  default:
    playPoly(note);
  }
}

void Tessaryn::playPoly(int note)
{
  const auto free = std::find_if(std::begin(vcoKey), std::end(vcoKey), [](const Relaxed<bool>& key) { return !key; });
  int k = static_cast<int>(free - std::begin(vcoKey));
  if (k < kNumVcos)
    nextVco = 0;
  else
  {
    k = nextVco; // every oscillator is held: steal in turn
    nextVco = (nextVco + 1) % kNumVcos;
  }
  assign(k, note, 0);
}

void Tessaryn::stopNote(int note, int mode)
{
  if (mode >= kUnison && mode <= kChordMemory)
    stopMonoNote(note, mode);
  else if (mode == kUnisonShare || mode == kPoly)
    stopPolyNote(note, mode);
  else
    releaseAll();
}

// One voice: the newest key sounds; releasing it falls back to the highest
// key still held.
void Tessaryn::stopMonoNote(int note, int mode)
{
  if (vcoNote[lastVco] != note) return;
  if (mNumPressedKeys > 0)
  {
    playNote(mPressedKeys[mNumPressedKeys - 1], mode);
    return;
  }
  for (auto& key : vcoKey)
    key = key && hold;
  if (!hold) releaseAll();
}

void Tessaryn::stopPolyNote(int note, int mode)
{
  // With AutoDamp a released oscillator falls silent while other keys are
  // down; the last release lets everything ring out with the envelope.
  const bool keep = mNumHeldKeys == 0 || !autoDamp;
  bool anyKey = false;
  for (int k = 0; k < kNumVcos; ++k)
  {
    if (vcoNote[k] == note)
    {
      vcoKey[k] = vcoKey[k] && hold;
      vcoOn[k] = vcoOn[k] && (vcoKey[k] || keep);
    }
    anyKey = anyKey || vcoKey[k];
  }
  if (mode == kUnisonShare) --shareState;
  if (!anyKey && !hold) releaseAll();
}

int Tessaryn::arpNote() const
{
  const int octaves = std::max<int>(arpOctaves, 1);
  const int octave = arpOctaveStep % octaves;
  if (arpDown) return mPressedKeys[mNumPressedKeys - 1 - arpIndex] + kSemitonesPerOctave * (octaves - 1 - octave);
  return mPressedKeys[arpIndex] + kSemitonesPerOctave * octave;
}

void Tessaryn::advanceArpeggio()
{
  if (++arpIndex < mNumPressedKeys) return;
  arpOctaveStep = (arpOctaveStep + 1) % std::max<int>(arpOctaves, 1);
  if (arpOctaveStep == 0 && arpMode == kArpUpDown) arpDown = !arpDown;
}

void Tessaryn::arpNextStep()
{
  if (mNumPressedKeys == 0) return;
  if (arpIndex < 0 || arpIndex >= mNumPressedKeys) arpIndex = 0;
  const int note = arpNote();
  advanceArpeggio();
  // RndRobin and Poly arpeggios rotate through the oscillators one at a time.
  const int mode = keyMode;
  playNote(note, mode == kRndRobin || mode == kPoly ? int(kRndRobin) : mode);
}
