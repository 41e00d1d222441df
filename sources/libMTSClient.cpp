#include "libMTSClient.h"

#include <cmath>
#include <dlfcn.h>

namespace
{
double equalTemperedHz(int note)
{
  return 440.0 * std::pow(2.0, (note - 69) / 12.0);
}

template <class Fn> void resolve(void* handle, const char* name, Fn& entry)
{
  entry = reinterpret_cast<Fn>(dlsym(handle, name));
}

// A channel byte of 0..15 is a real MIDI channel; callers pass -1 (255) for
// "no channel".
bool isRealChannel(char channel)
{
  return static_cast<unsigned char>(channel) < mtsclientglobal::kChannels;
}

signed char noteIndex(char note)
{
  return static_cast<signed char>(note & 127);
}
} // namespace

mtsclientglobal::mtsclientglobal()
    : mtsclientglobal({"/Library/Application Support/MTS-ESP/libMTS.dylib", "/usr/local/lib/libMTS.so"})
{
}

mtsclientglobal::mtsclientglobal(std::initializer_list<const char*> libraryPaths)
    : mLibraryPaths(libraryPaths.begin(), libraryPaths.end())
{
  for (int note = 0; note < kNotes; ++note)
    mInverseETFreq[note] = 1.0 / equalTemperedHz(note);
  load_lib();
}

mtsclientglobal::~mtsclientglobal()
{
  if (mLibHandle) dlclose(mLibHandle);
}

bool mtsclientglobal::isOnline() const
{
  return mTuningTable && mHasMaster && mHasMaster();
}

void mtsclientglobal::load_lib()
{
  for (const std::string& path : mLibraryPaths)
  {
    mLibHandle = dlopen(path.c_str(), RTLD_NOW);
    if (mLibHandle) break;
  }
  if (!mLibHandle) return;
  resolveEntryPoints();
  fetchTables();
}

void mtsclientglobal::resolveEntryPoints()
{
  resolve(mLibHandle, "MTS_RegisterClient", mRegisterClient);
  resolve(mLibHandle, "MTS_DeregisterClient", mDeregisterClient);
  resolve(mLibHandle, "MTS_HasMaster", mHasMaster);
  resolve(mLibHandle, "MTS_ShouldFilterNote", mShouldFilterNote);
  resolve(mLibHandle, "MTS_ShouldFilterNoteMultiChannel", mShouldFilterNoteMultiChannel);
  resolve(mLibHandle, "MTS_GetTuningTable", mGetTuningTable);
  resolve(mLibHandle, "MTS_GetMultiChannelTuningTable", mGetMultiChannelTuningTable);
  resolve(mLibHandle, "MTS_UseMultiChannelTuning", mUseMultiChannelTuning);
  resolve(mLibHandle, "MTS_GetScaleName", mGetScaleName);
}

// The master keeps these tables for the life of the process and retunes them
// in place, so they are fetched once and never again.
void mtsclientglobal::fetchTables()
{
  if (mGetTuningTable) mTuningTable = mGetTuningTable();
  for (int channel = 0; channel < kChannels; ++channel)
    mMultiChannelTuning[channel] =
        mGetMultiChannelTuningTable ? mGetMultiChannelTuningTable(static_cast<signed char>(channel)) : nullptr;
}

mtsclientglobal& mtsclientglobal::processWide()
{
  // A function-local object, so that a plug-in object created by another
  // static initialiser still finds the loader constructed.
  static mtsclientglobal global;
  return global;
}

namespace
{
// Loads the library when the plug-in's code is loaded, not at the first note.
[[maybe_unused]] const mtsclientglobal& gLoadedAtStartup = mtsclientglobal::processWide();
} // namespace

MTSClient::MTSClient(const mtsclientglobal& library) : mLibrary(library)
{
  for (int note = 0; note < mtsclientglobal::kNotes; ++note)
    mRetuning[note] = equalTemperedHz(note);
}

bool MTSClient::usesChannelTable(char channel) const
{
  return mMultiChannelFilterSeen.load(std::memory_order_relaxed) &&
         mMultiChannelTuningSeen.load(std::memory_order_relaxed) && mLibrary.mUseMultiChannelTuning &&
         mLibrary.mUseMultiChannelTuning(static_cast<signed char>(channel));
}

bool MTSClient::shouldFilterNote(char note, char channel)
{
  const bool realChannel = isRealChannel(channel);
  mMultiChannelFilterSeen.store(realChannel, std::memory_order_relaxed);
  if (!mFrequencyQueried.load(std::memory_order_relaxed))
    mMultiChannelTuningSeen.store(realChannel, std::memory_order_relaxed);
  if (!hasMaster()) return false;

  const auto filter = usesChannelTable(channel) ? mLibrary.mShouldFilterNoteMultiChannel : mLibrary.mShouldFilterNote;
  return filter && filter(noteIndex(note), static_cast<signed char>(channel));
}

double MTSClient::noteToFrequency(char note, char channel)
{
  const int n = noteIndex(note);
  mFrequencyQueried.store(true, std::memory_order_relaxed);
  mMultiChannelTuningSeen.store(isRealChannel(channel), std::memory_order_relaxed);
  if (!hasMaster()) return mRetuning[n];

  const double* channelTable = mLibrary.mMultiChannelTuning[channel & 15];
  if (usesChannelTable(channel) && channelTable) return channelTable[n];
  return mLibrary.mTuningTable[n];
}

MTSClient* MTS_RegisterClientWith(const mtsclientglobal& library)
{
  auto* client = new MTSClient(library);
  if (library.mRegisterClient) library.mRegisterClient();
  return client;
}

extern "C"
{
  MTSClient* MTS_RegisterClient()
  {
    return MTS_RegisterClientWith(mtsclientglobal::processWide());
  }

  void MTS_DeregisterClient(MTSClient* client)
  {
    if (!client) return;
    if (client->library().mDeregisterClient) client->library().mDeregisterClient();
    delete client;
  }

  bool MTS_HasMaster(MTSClient* client)
  {
    return client && client->hasMaster();
  }

  bool MTS_ShouldFilterNote(MTSClient* client, char note, char channel)
  {
    return client && client->shouldFilterNote(note, channel);
  }

  double MTS_NoteToFrequency(MTSClient* client, char note, char channel)
  {
    if (!client) return 1.0 / mtsclientglobal::processWide().mInverseETFreq[noteIndex(note)];
    return client->noteToFrequency(note, channel);
  }
}
