#pragma once
// Client side of the MTS-ESP microtuning protocol. The tuning master lives in
// libMTS, a library the MTS-ESP system installs; it is loaded at run time when
// present and never needed to build or run the instrument. Without it every
// query answers with 12-tone equal temperament (A4 = 440 Hz).

#include <array>
#include <atomic>
#include <initializer_list>
#include <string>
#include <vector>

// The process-wide link to libMTS: opens the library, resolves its entry
// points and fetches the master's tables once. The master rewrites those
// tables in place, so readers always see its current tuning.
class mtsclientglobal
{
public:
  static constexpr int kNotes = 128;
  static constexpr int kChannels = 16;

  // The MTS-ESP system's install locations, tried in this order.
  mtsclientglobal();
  // Loads from other candidate libraries (tests, or a private install).
  explicit mtsclientglobal(std::initializer_list<const char*> libraryPaths);
  virtual ~mtsclientglobal();
  mtsclientglobal(const mtsclientglobal&) = delete;
  mtsclientglobal& operator=(const mtsclientglobal&) = delete;

  // Any thread, real-time safe: asks the library on every call.
  virtual bool isOnline() const;
  bool isLoaded() const { return mLibHandle != nullptr; }

  // The one loader every instance of the plug-in shares, loaded during
  // static initialisation.
  static mtsclientglobal& processWide();

  using RegisterFn = void (*)();
  using HasMasterFn = bool (*)();
  using ShouldFilterNoteFn = bool (*)(signed char note, signed char channel);
  using TuningTableFn = const double* (*)();
  using ChannelTuningTableFn = const double* (*)(signed char channel);
  using UseMultiChannelTuningFn = bool (*)(signed char channel);
  using ScaleNameFn = const char* (*)();

  // Null when the library or the name is missing; callers skip null entries.
  RegisterFn mRegisterClient = nullptr;
  RegisterFn mDeregisterClient = nullptr;
  HasMasterFn mHasMaster = nullptr;
  ShouldFilterNoteFn mShouldFilterNote = nullptr;
  ShouldFilterNoteFn mShouldFilterNoteMultiChannel = nullptr;
  TuningTableFn mGetTuningTable = nullptr;
  ChannelTuningTableFn mGetMultiChannelTuningTable = nullptr;
  UseMultiChannelTuningFn mUseMultiChannelTuning = nullptr;
  ScaleNameFn mGetScaleName = nullptr;

  std::array<double, kNotes> mInverseETFreq{};
  const double* mTuningTable = nullptr;
  std::array<const double*, kChannels> mMultiChannelTuning{};

protected:
  virtual void load_lib();

private:
  void resolveEntryPoints();
  void fetchTables();

  std::vector<std::string> mLibraryPaths;
  void* mLibHandle = nullptr;
};

// One per plug-in instance. The flags remember whether the host's caller
// passes real MIDI channels, which decides between the master's single and
// per-channel answers. Whichever thread queries writes them, hence atomics.
class MTSClient
{
public:
  explicit MTSClient(const mtsclientglobal& library);

  bool hasMaster() const { return mLibrary.isOnline(); }
  bool shouldFilterNote(char note, char channel);
  double noteToFrequency(char note, char channel);
  const mtsclientglobal& library() const { return mLibrary; }

private:
  bool usesChannelTable(char channel) const;

  const mtsclientglobal& mLibrary;
  std::array<double, mtsclientglobal::kNotes> mRetuning{};
  std::atomic<bool> mMultiChannelFilterSeen{false};
  std::atomic<bool> mMultiChannelTuningSeen{false};
  std::atomic<bool> mFrequencyQueried{false};
};

// Registers a client with a loader other than the process-wide one; release
// it with MTS_DeregisterClient.
MTSClient* MTS_RegisterClientWith(const mtsclientglobal& library);

// The client entry points. Each tolerates a null client. Registration and
// deregistration allocate and run on the instance's creating thread; the
// queries are real-time safe.
extern "C"
{
  MTSClient* MTS_RegisterClient();
  void MTS_DeregisterClient(MTSClient* client);
  bool MTS_HasMaster(MTSClient* client);
  bool MTS_ShouldFilterNote(MTSClient* client, char note, char channel);
  double MTS_NoteToFrequency(MTSClient* client, char note, char channel);
}
