#pragma once
// The instrument shell between the Audio Unit adapter and the instrument:
// MIDI input filtering and queueing, the pressed-key buffer the key-assign
// logic reads, MIDI learn, the program commands, the per-user configuration
// and the tuned pitch scale.
// The render loop of the derived instrument reads the protected fields below
// without a lock; everything that writes them from other threads does so
// under the plug-in mutex.

#include "BigEndian.h"
#include "ByteChunk.h"
#include "FileCommand.h"
#include "IGraphicsStructs.h"
#include "IMidiQueue.h"
#include "IPlugAU.h"
#include "IPlugStructs.h"
#include "LatestValues.h"
#include "TunedPitchScale.h"
#include "http.h"

#include <atomic>
#include <string>

class IControl;
class IGraphics;

class Synth : public IPlugAU, public TunedPitchScale
{
public:
  static constexpr int kNumParams = 70;
  static constexpr int kNumPrograms = 64;
  static constexpr int kNumControllers = 120; // the learnable ones, 0..119
  static constexpr int kNumKeys = 128;
  static constexpr int kNoKey = 256; // an empty slot of the key buffer
  static constexpr int kDataVersion = 20301;
  static constexpr int kEditorWidth = 1096;
  static constexpr int kEditorHeight = 395;
  // The factory bank lies in the resource folder registered for this bundle.
  static constexpr const char* kBundleIdentifier = "com.pellworth.audiounit.Tessaryn";
  // The component subtype and the ID in program and bank files: the code
  // '1416'. Earlier builds used the number 1416, and their files and host
  // projects must still load.
  static constexpr int kUniqueID = FourCC("1416");
  static constexpr int kFormerUniqueID = 1416;

  // Creating thread, under the adapter's creation lock; allocates.
  explicit Synth(IPlugInstanceInfo instanceInfo);
  ~Synth() override;

  // Host threads, under the plug-in mutex; allocates (the queue).
  void Reset() override;
  // Any non-audio thread, under the mutex.
  void OnParamChange(int paramIdx) override;
  void OnActivate(bool active) override;
  // Host MIDI or render thread, with or without the adapter's lock. Allocates
  // nothing and never waits: in a full queue a note-off takes the place of a
  // message that cannot leave a note sounding, any other message is dropped;
  // what needs the mutex while another thread holds it is handed over (see
  // PerformPendingWork).
  void ProcessMidiMsg(IMidiMsg* pMsg) override;
  // Under the mutex: the program change, learn capture and learned controller
  // values handed over by the MIDI and render threads, in that order.
  void PerformPendingWork() override;
  // Callers hold the mutex or run on the host's main thread. The state is
  // the values alone, as many as the version in mDataVersion wrote.
  int UnserializeState(ByteChunk* pChunk, int startPos) override;
  int UnserializePresets(ByteChunk* pChunk, int startPos) override;

  // Overridden by the instrument; empty here. allNotesOff may run on the
  // audio thread (controllers 120 and 123).
  virtual void allNotesOff() {}
  virtual void initParameters() {}

  // MIDI learn: the editor's learn switch and knobs, and controller capture
  // on the MIDI thread. Allocate nothing.
  void setMidiLearnParam(int paramIdx);
  void setMidiLearnCC(int controller);
  void doMidiLearn(bool on);
  void doMidiUnlearn(bool on);
  void applyMidiLearn();
  // The parameter controller drives, or -1 (also for controllers outside 0..119).
  int midiControlParam(int controller) const
  {
    return controller >= 0 && controller < kNumControllers ? mMidiControlParam[controller].load() : -1;
  }

  // The pressed-key buffer: audio thread, no lock, no allocation.
  void clearKeyBuffer();
  void addPressedKey(int key);
  void removePressedKey(int key);

  // Parameter table construction; paramIdx must name an existing parameter
  // and texts must hold count entries.
  // group: the panel section a host shows the parameter in.
  void initListParameter(int paramIdx, const char* name, int defaultIdx, int count, const char* const* texts,
                         const char* group = "");

  // Program commands from the editor, under the plug-in mutex.
  void initPreset();
  void copyPreset();
  void pastePreset();
  void changePreset(int idx);

  // Program and bank files (synth.files.cpp): the core's readers, told which
  // version wrote the state and accepting banks of the 69-parameter layout.
  // Construction, the editor's thread or a host's, never the audio thread.
  // The loaders return false, changing nothing, for a file they cannot read.
  bool loadTessarynProgramFromFXP(WDL_String* pFile);
  bool loadTessarynBankFromFXB(WDL_String* pFile);
  // A bank file's bytes, from its state at offset 160 on; nothing is checked.
  void loadFXBfromBlob(const void* data, int size);
  // The startup bank, else the factory bank init.fxb; called once at the end
  // of the instrument's constructor. Without either the list stays as built.
  void initPresets();
  // The front-end's --bank and --fxp; caller holds the mutex.
  ComponentResult LoadFileFromHost(EHostFileKind kind, const char* path) override;

  // The per-user INI configuration: construction or the editor's thread,
  // never the audio thread; reads and writes the file. An empty value in the
  // file leaves the setting as it is. The writers return false when the INI
  // store ran out of memory (the change stays unwritten); the caller tells the
  // user "Uhoh, something is wrong with writing the INI file!".
  void loadConfig();
  // midiGlobalOnly: the startup bank and the two MIDI options, without the
  // learned controllers.
  bool saveConfig(bool midiGlobalOnly);
  // Writes mStartupBankPath, also when empty ("File=").
  bool saveStartupFxb();
  bool unsetStartupFxb();
  // Writes mProgramPath as the folder the file dialogs start in.
  bool saveProgramPath();

  // The options menu's commands with their questions, dialogs and messages,
  // through the editor's graphics context; without one they do nothing.
  // The editor's thread.
  void runFileCommand(File::Command command);
  // Starts asking the update server for the newest version; a call while an
  // earlier request runs is ignored. The answer is shown by OnIdle.
  void checkVersionAgainstWeb();
  // Opens the vendor's home page in the browser.
  void visitWebSite();
  // The update server's host name, as the messages and the menu name it.
  const char* updateServer() const { return mUpdateServer.Get(); }
  // The editor's thread: OnIdle shows the update check's answer once it has
  // come; closing the editor cancels a running check.
  void OnIdle() override;
  void OnGUIClose() override;
  // What the options menu shows checked, enabled and named.
  bool midiThru() const { return mMidiThru; }
  bool ignoresProgramChange() const { return mIgnoreProgramChange; }
  bool hasStartupBank() const { return mStartupBankPath.Get()[0] != 0; }
  bool hasCopiedPreset() const { return mPresetClipboard.Size() > 0; }
  // The editor scale the user set in the configuration, 0 when unset: the
  // window host then takes the host's or the desktop's. Editor thread.
  double userEditorScale() const { return mUserEditorScale; }

protected:
  // Hands a learned controller's parameter value over; the audio thread.
  void postControllerValue(int paramIdx, double normalizedValue);
  // Applies the handed-over work now if the mutex is free, else leaves it for
  // the next try or a host's worker. Never waits; any thread.
  void tryPendingWork();

  int mDataVersion = kDataVersion;
  IGraphics* mEditorGraphics = nullptr;
  IMidiQueue mMidiQueue;
  ITimeInfo mTimeInfo;
  IControl* mMidiLearnSwitch = nullptr;
  int mCopiedPresetIdx = -1;
  ByteChunk mPresetClipboard;
  // The two options are read on the MIDI thread and set from the editor's.
  std::atomic<bool> mMidiThru = false; // incoming MIDI goes on to the host's MIDI output
  std::atomic<bool> mIgnoreProgramChange = false;
  int mUpdateCountdown = 0;
  int mUpdateInterval = 0;
  WDL_String mHomePath;
  WDL_String mIniPath;
  WDL_String mProgramPath;
  WDL_String mStartupBankPath;
  double mUserEditorScale = 0.0;
  // Written by learn under the mutex, read by the render loop without it.
  std::atomic<int> mMidiControlParam[kNumControllers];
  std::atomic<bool> mMidiLearn = false; // read on the MIDI thread
  bool mMidiUnlearn = false;
  int mMidiLearnCC = -1;
  int mMidiLearnParam = -1;
  int mPressedKeys[kNumKeys];
  int mNumPressedKeys = 0;
  int mNumHeldKeys = 0;

  // The update check; tests point it at a local server with short timeouts.
  // Destroying the request cancels it, so closing the instance stops it too.
  HttpGet mUpdateRequest;
  HttpTimeouts mUpdateTimeouts;
  std::string mUpdateScheme = "https";
  WDL_String mUpdateServer;

private:
  // The hand-over from threads that never wait for the mutex: fixed size and
  // lock-free; the latest program and controller values win.
  std::atomic<bool> mWorkPending = false;
  std::atomic<int> mPendingProgram = -1;
  std::atomic<int> mPendingLearnCC = -1;
  LatestValues mPendingControllers{kNumParams};

  void startMidiLearn(bool unlearn, bool on);
  void handleControlChange(const IMidiMsg& msg);
  void queueMidiMsg(const IMidiMsg& msg);
  bool makeRoomForNoteOff();
  void handOver(std::atomic<int>& slot, int value);
  void unassignParam(int paramIdx);
  void resetMidiLearnSwitch();
  void openConfig();
  void writeStartupBank();
  FileReadOptions fileReadOptions();
  bool confirmCommand(File::Command command);
  bool confirm(const std::string& question, const char* caption);
  void tell(const std::string& message, const char* caption);
  bool askForFile(WDL_String& file, EFileAction action, const WDL_String& folder, const char* extensions);
  void loadFile(const char* extension, bool (Synth::*load)(WDL_String*));
  void saveFile(const char* extension, const char* proposedName, bool (IPlugBase::*save)(WDL_String*));
  void chooseProgramFolder();
  void selectStartupBank();
  void toggleOption(std::atomic<bool>& option);
  void reportIniWrite(bool written);
  std::string serverURL(const char* path) const;
  void showUpdateReply(const HttpReply& reply);
};

// Sets folder to the part of file before its last slash or backslash,
// without that separator; empty when no separator follows the first character.
void makeNewFilePath(WDL_String& folder, const WDL_String& file);

// The file name proposed for saving a program: its name, at most 63
// characters, with each character that file systems refuse as "_".
WDL_String defaultProgramFileName(const char* programName);
