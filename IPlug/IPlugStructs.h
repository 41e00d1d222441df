#pragma once
// Plain records shared by the plug-in base, its host adapter and the instrument.

#include "ByteChunk.h"
#include "Containers.h"

#include <cstdio>

enum EAPI
{
  kAPIVST2 = 0,
  kAPIVST3 = 1,
  kAPIAU = 2,
  kAPIRTAS = 3,
  kAPIAAX = 4,
  kAPISA = 5
};

// What a host may show beside a parameter's name and unit: one line on what it
// does and, when mValueName is set, the name of the value mNamedValue.
struct IParamNotes
{
  const char* mDescription = "";
  const char* mValueName = nullptr;
  double mNamedValue = 0.0;
};

// Packed version word: major in bits 31..16, minor in 15..8, bug-fix in 7..0.
inline void GetVersionParts(int version, int* major, int* minor, int* bugfix)
{
  *major = (version >> 16) & 0xffff;
  *minor = (version >> 8) & 0xff;
  *bugfix = version & 0xff;
}

inline int GetDecimalVersion(int version)
{
  int major, minor, bugfix;
  GetVersionParts(version, &major, &minor, &bugfix);
  return major * 10000 + minor * 100 + bugfix;
}

// str must hold kVersionStrSize bytes.
constexpr int kVersionStrSize = 16;
inline void GetVersionStr(int version, char* str)
{
  int major, minor, bugfix;
  GetVersionParts(version, &major, &minor, &bugfix);
  snprintf(str, kVersionStrSize, "v%d.%d.%d", major, minor, bugfix);
}

struct ChannelIO
{
  int mIn;
  int mOut;
};

struct InChannel
{
  bool mConnected = false;
  double** mSrc = nullptr; // this channel's entry of the input pointer table
  WDL_TypedBuf<double> mScratchBuf;
  WDL_String mLabel;
};

struct OutChannel
{
  bool mConnected = false;
  double** mDest = nullptr; // this channel's entry of the output pointer table
  float* mFDest = nullptr;
  WDL_TypedBuf<double> mScratchBuf;
  WDL_String mLabel;
};

// Host transport. Fields the host does not supply keep their previous value.
struct ITimeInfo
{
  double mTempo = 120.0;
  double mSamplePos = -1.0;
  double mPPQPos = -1.0;
  double mLastBar = -1.0;
  double mCycleStart = -1.0;
  double mCycleEnd = -1.0;
  int mNumerator = 4;
  int mDenominator = 4;
  bool mTransportIsRunning = false;
  bool mTransportLoopEnabled = false;
};

// One entry of the program list.
struct IPreset
{
  static constexpr int kNameSize = 256;

  IPreset() { SetName("empty"); }
  IPreset(const IPreset&) = delete;
  IPreset& operator=(const IPreset&) = delete;

  // Names come from files and hosts: a longer one is cut to 255 characters.
  void SetName(const char* name) { snprintf(mName, kNameSize, "%s", name ? name : ""); }

  bool mInitialized = false;
  char mName[kNameSize];
  ByteChunk mChunk;
};
