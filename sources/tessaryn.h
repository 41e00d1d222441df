#pragma once
// The instrument: four oscillators with a key-assign section, noise, an
// effects section, a ladder filter, two envelopes, two modulation generators
// and an arpeggiator.
//
// Threads. Parameter changes arrive on host and editor threads under the
// plug-in mutex; the render loop takes no lock. Scalar parameter copies are
// Relaxed values that the render reads whole. Everything the render itself
// advances (oscillators, envelopes, generators, key assignment) is written
// only on the audio thread: a parameter change that touches it marks its
// index pending, and the render applies pending indices in index order at
// its next control tick.

#include "EG.h"
#include "MG.h"
#include "Relaxed.h"
#include "VCO.h"
#include "synth.h"

#include <atomic>
#include <cstdint>

class IControl;
class IPWButtonKick;

class Tessaryn : public Synth
{
public:
  enum EParams : int
  {
    kKeyAssgn = 0,
    kTrigger,
    kAutoDamp,
    kHold,
    kChord1,
    kChord2,
    kChord3,
    kChord4,
    kVolume,
    kOutRange,
    kTrnspose,
    kMstrTune,
    kDetune,
    kPortamnt,
    kPBTarget,
    kPBIntens,
    kMWTarget,
    kMWIntens,
    kWave1,
    kOctave1,
    kLevel1,
    kTune2,
    kWave2,
    kOctave2,
    kLevel2,
    kTune3,
    kWave3,
    kOctave3,
    kLevel3,
    kTune4,
    kWave4,
    kOctave4,
    kLevel4,
    kPWM,
    kPWMSrc,
    kPW,
    kNoise,
    kEffects,
    kFXXMod,
    kFXFM,
    kFXFMSrc,
    kFXType,
    kFXMode,
    kCutOff,
    kReso,
    kEGIntens,
    kKeyTrack,
    kMG1Wave,
    kMG1Rate,
    kMG2Rate,
    kEG1A,
    kEG1D,
    kEG1S,
    kEG1R,
    kEG2A,
    kEG2D,
    kEG2S,
    kEG2R,
    kARPRange,
    kARPMode,
    kARPState,
    kMWOvride,
    kFXReset,
    kFXFrqShS,
    kFXFrqShD,
    kARPTrig,
    kARPTempo,
    kVCFVelo,
    kVCAVelo,
    kPtmDrift,
    kNumParams
  };
  static_assert(kNumParams == Synth::kNumParams);

  enum EKeyMode : int
  {
    kUnison = 0,
    kRndRobin,
    kChordMemory,
    kUnisonShare,
    kPoly
  };

  enum EArpState : int
  {
    kArpLatch = 0,
    kArpOn,
    kArpOff
  };

  enum EArpMode : int
  {
    kArpUp = 0,
    kArpDown,
    kArpUpDown
  };

  enum ETarget : int
  {
    kTargetSlaveVco = 0,
    kTargetPitch,
    kTargetVcf
  };

  static constexpr int kNumVcos = 4;
  static constexpr int kTableSize = PitchScale::kMaxPitch + 1;
  static constexpr int kNoChordNote = 127; // chord offsets above this leave the oscillator out
  static constexpr int kNumArpTempos = 20;
  static constexpr int kHighestNote = 135; // allNotesOff sweeps the arpeggiator's octave range too

  // Arpeggio step length in quarter notes, indexed like the ARPTempo texts.
  static const double syncRates[kNumArpTempos];

  // 2π·f/rate for every pitch index: one immutable table per rate, built on
  // first request and kept for the process, so instances at different rates
  // never see each other's values. Not for the audio thread.
  static const double* freq2radFor(double sampleRate);
  // Ladder resonance scale per pitch index; independent of the rate.
  static const double* resoScalerTable();

  // Creating thread, under the adapter's creation lock; allocates.
  explicit Tessaryn(IPlugInstanceInfo instanceInfo);
  ~Tessaryn() override;

  // Host threads, under the plug-in mutex. The adapter changes rate and block
  // size only while uninitialised, so a Reset during rendering (bypass) only
  // asks the render to release its notes and restart its generators.
  void Reset() override;
  void OnParamChange(int index) override;
  void PresetsChangedByHost() override;
  void RedrawParamControls() override;
  // The state chunk (tessaryn.state.cpp). Host threads or the editor's, under
  // the mutex. The reader returns the position after the state, or -1 for a
  // rejected header or a short value list; it reads the values alone (older
  // data) when the header is missing, 69 of them for data older than 2.2.0.
  bool SerializeState(ByteChunk* pChunk) override;
  int UnserializeState(ByteChunk* pChunk, int startPos) override;
  // Audio thread; allocates nothing, locks nothing.
  void ProcessDoubleReplacing(double** inputs, double** outputs, int nFrames) override;
  // Any thread: the render releases every note at its next control tick.
  void allNotesOff() override;
  void initParameters() override;
  IParamNotes GetParamNotes(int paramIdx) const override;

  // ---- The panel (tessaryn.editor.cpp); the editor's thread. ----
  // Builds the panel into mEditorGraphics; once, from the constructor.
  void createGraphics();
  // Shows or hides the lamps that changed since the last call.
  void OnIdle() override;
  // Opens the tweak strip (blinds away) or closes it again.
  void showTweaks(bool open);
  // Lights exactly the button of the current key assignment; any thread.
  void updateButtons();
  bool tweaksOpen() const;
  // Counts program changes, renames and loads, from any thread, so the
  // editor sees that the program display is out of date.
  unsigned programsChanged() const { return mProgramsChanged; }

  // Editor links, owned by the graphics context; null before createGraphics.
  IPWButtonKick* mHoldButton = nullptr;
  IPWButtonKick* mEffectsButton = nullptr;
  IPWButtonKick* mKeyAssignButtons[5] = {}; // indexed by EKeyMode
  // Toggled by host-synchronised arpeggio steps; the editor blinks with it.
  Relaxed<bool> stepBlink = false;

protected:
  // ---- Audio thread: key assignment and arpeggiator. ----
  void setNoteOn(int note, int velocity);
  void setNoteOff(int note);
  void playNote(int note, int mode);
  void stopNote(int note, int mode);
  void arpNextStep();
  void clearKeyBuffer();

  // ---- Audio thread: render. ----
  void handleSync2Host();
  // tickFrame: the tick's frame in the block being rendered.
  void handleMidiEvents(int tickFrame);
  void update();
  void next();

  // ---- Parameter changes (tessaryn.param.cpp). ----
  void programChordMemory();
  void setPortamento();
  // The render's lamp flags for the editor, once per control tick.
  void publishLamps();

  // ---- Panel references, owned by the graphics context. ----
  enum ELamp : int
  {
    kLampVoice1 = 0,
    kLampMG1 = kNumVcos,
    kLampMG2,
    kLampArp,
    kNumLamps
  };
  WDL_PtrList<IControl> mTweakControls;
  IControl* mLeds[kNumLamps] = {};
  bool mLedShown[kNumLamps] = {};
  Relaxed<unsigned> lampFlags = 0u; // bit per ELamp, written by the render
  IControl* mTweakOpenKick = nullptr;
  IControl* mTweakCloseKick = nullptr;
  IControl* mBlindLeft = nullptr;
  IControl* mBlindRight = nullptr;
  IControl* mVersionText = nullptr;

  VCO vco[kNumVcos];
  MG mg1, mg2;
  EG eg1; // VCF envelope
  EG eg2; // VCA envelope

  Relaxed<double> lastSampleRate = 0.0;
  const double* freq2rad = nullptr;
  const double* resoScaler = nullptr;

  // Performance input (audio thread).
  double pitchBend = 0.0;
  double modWheel = 0.0;
  double keyPitch = 0.0;
  double velocity = 0.0;
  Relaxed<double> keyTranspose = 0.0;

  double pitchMod[kNumVcos] = {};

  bool soundOn = false;
  Relaxed<bool> gate = false; // read by programChordMemory on host threads
  Relaxed<bool> arpOn = false;
  bool noiseOn = false;

  Relaxed<double> outputGain = 1.0;
  double velocityGain = 1.0;

  // Ladder filter (audio thread).
  double g4 = 0.0, g = 0.0, b = 0.0, k = 0.0, norm = 0.0, comp = 0.0;
  int cutoffIndex = -1; // -1 forces the coefficients at the next sample
  double cutoffPitch = 0.0;
  double filterState[4] = {1.0, 0.0, -1.0, 0.0};

  // Noise: per instance, since instances may render on different threads.
  int32_t randSeed = 1;

  // Arpeggiator (audio thread, but for arpOctaves).
  bool lastMG2Half = false;
  bool arpDown = false;
  int arpIndex = 0;
  Relaxed<int> arpOctaves = 1;
  int arpOctaveStep = 0;
  int arpInterval = 0;
  int arpCountdown = 0;
  int noteOnTick = 0;
  int tickInBlock = 0;
  double lastPPQPos = 0.0;

  // Key assignment (audio thread; vcoNote and vcoKey are read by
  // programChordMemory on host threads).
  int shareState = 0;
  int lastVco = 0;
  int nextVco = 0;
  Relaxed<int> vcoNote[kNumVcos];
  Relaxed<bool> vcoKey[kNumVcos];
  bool vcoOn[kNumVcos] = {};
  Relaxed<int> keyMode = kUnison;
  Relaxed<int> chordOffset[kNumVcos];
  Relaxed<bool> multiTrigger = true;
  Relaxed<bool> autoDamp = false;
  Relaxed<bool> hold = false;

  // Parameter copies, written under the mutex and read by the render.
  Relaxed<double> volume = 1.0;
  Relaxed<double> rangeGain = 1.0;
  Relaxed<double> masterTune = 0.0;
  Relaxed<double> detune = 0.0;
  Relaxed<int> pbTarget = kTargetPitch;
  Relaxed<int> mwTarget = kTargetPitch;
  Relaxed<double> pbIntensity = 0.0;
  Relaxed<double> mwIntensity = 0.0;
  Relaxed<double> portaTime = 0.0;
  Relaxed<double> level[kNumVcos];
  Relaxed<double> noise = 0.0;
  Relaxed<double> cutoff = 0.0;
  Relaxed<double> reso = 0.0;
  Relaxed<double> egIntensity = 0.0;
  Relaxed<double> keyTrack = 0.0;
  Relaxed<bool> fxOn = false;
  Relaxed<bool> xmodActive = false;
  Relaxed<bool> fmSourceEG = false;
  Relaxed<bool> fxXMod = false;
  Relaxed<bool> fxSync = false;
  Relaxed<bool> fxSingle = false;
  Relaxed<double> xmodAmount = 0.0;
  Relaxed<double> fmAmount = 0.0;
  Relaxed<int> arpRange = 0;
  Relaxed<int> arpMode = kArpUp;
  Relaxed<int> arpState = kArpOff;
  Relaxed<double> mwOverride = 0.0;
  Relaxed<double> shiftSingle = 0.0;
  Relaxed<double> shiftDouble = 0.0;
  Relaxed<double> vcfVelo = 0.0;
  Relaxed<double> vcaVelo = 0.0;
  Relaxed<bool> arpFromMG2 = true;
  Relaxed<double> syncBeats = 1.0;
  Relaxed<double> syncStepsPerBeat = 1.0;
  Relaxed<int> portaDrift = 0;

private:
  struct Voicing;

  std::atomic<unsigned> mProgramsChanged = 0;

  // Host side of the hand-over to the render.
  void markPending(int index);
  void requestRender(uint32_t request);
  // Audio side: applies requests and pending indices, at a control tick.
  void applyRenderRequests();
  void applyPendingParam(int index);
  void applyEngineParam(int index, double value);

  void restartEnvelopes();
  void releaseAll();
  void assign(int k, int note, int offset);
  void assignNote(int note, int mode);
  void playSharedNote(int note);
  void playPoly(int note);
  void stopMonoNote(int note, int mode);
  void stopPolyNote(int note, int mode);
  void restartArpeggio();
  int arpNote() const;
  void advanceArpeggio();

  void handleMidiMsg(const IMidiMsg& msg);
  void applyController(int controller, double value);
  void route(int target, double amount);
  void addToSlaves(double amount);
  void routeEffectsFM();
  void clockArpeggio();
  void renderSilence(double* left, double* right, int n);
  void renderSound(double* left, double* right, int n, double gain);
  double mix(const Voicing& v) const;
  void updateFilterCoefficients(int index);
  double ladder(double x);

  enum ERequest : uint32_t
  {
    kRequestRestartGenerators = 1u << 0,
    kRequestAllNotesOff = 1u << 1,
  };
  std::atomic<uint32_t> mRequests{0};
  std::atomic<uint64_t> mPendingParams[2] = {};
};
