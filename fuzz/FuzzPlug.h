#pragma once
// The plug-in the file fuzz targets load into, and the bytes handed to the
// readers as a file without touching the disk.

#include "SaneState.h"
#include "TestPlug.h"

#include <cstdlib>
#include <cstring>
#include <sys/mman.h>
#include <unistd.h>

class FuzzPlug : public TestPlug
{
public:
  static constexpr int kParams = 5;
  static constexpr int kPresets = 4;

  explicit FuzzPlug(bool doesChunks) : TestPlug(kParams, "0-2", kPresets, "Fuzz", doesChunks)
  {
    GetParam(0)->InitBool("bool", false);
    GetParam(1)->InitEnum("enum", 1, 4);
    GetParam(2)->InitInt("int", 0, -12, 12);
    GetParam(3)->InitDouble("linear", 0.5, -1.0, 1.0, 0.01);
    GetParam(4)->InitDouble("shaped", 100.0, 20.0, 20000.0, 1.0, "Hz", "", 3.0);
  }

  // The readers of an instrument, which read counts from the file and call
  // hooks around the state; each hook call must pair with the next.
  FileReadOptions instrumentOptions()
  {
    return {kParams - 1, kParams, true,
            [this](int)
            {
              if (mInStateRead) abort();
              mInStateRead = true;
            },
            [this]
            {
              if (!mInStateRead) abort();
              mInStateRead = false;
            }};
  }
  bool loadProgram(WDL_String* pFile, bool instrument)
  {
    return instrument ? LoadProgramFromFXP(pFile, instrumentOptions()) : LoadProgramFromFXP(pFile);
  }
  bool loadBank(WDL_String* pFile, bool instrument)
  {
    return instrument ? LoadBankFromFXB(pFile, instrumentOptions()) : LoadBankFromFXB(pFile);
  }

  // Sane, with no state read left between its hooks.
  void requireSaneState() const
  {
    requireSaneParamsAndPrograms(*this);
    if (mInStateRead) abort();
  }

private:
  bool mInStateRead = false;
};

// Loads into fresh plug-ins with and without state chunks, through the generic
// readers and an instrument's, then checks the state and selects every program.
template <class Load> void loadIntoEveryPlug(int currentIdx, Load load)
{
  for (bool doesChunks : {true, false})
    for (bool instrument : {false, true})
    {
      FuzzPlug plug(doesChunks);
      plug.RestorePreset(currentIdx);
      load(plug, instrument);
      plug.requireSaneState();
      for (int i = 0; i < plug.NPresets(); ++i)
      {
        plug.RestorePreset(i);
        plug.requireSaneState();
      }
    }
}

// An anonymous in-memory file reachable by path, rewritten for every input.
class MemoryFile
{
public:
  MemoryFile() : mFd(memfd_create("fuzz-input", 0)) { mPath.SetFormatted(64, "/proc/self/fd/%d", mFd); }
  MemoryFile(const MemoryFile&) = delete;
  MemoryFile& operator=(const MemoryFile&) = delete;
  ~MemoryFile() { close(mFd); }

  WDL_String* hold(const unsigned char* data, size_t size)
  {
    if (ftruncate(mFd, 0) != 0 || (size > 0 && pwrite(mFd, data, size, 0) != static_cast<ssize_t>(size))) abort();
    return &mPath;
  }

private:
  int mFd;
  WDL_String mPath;
};
