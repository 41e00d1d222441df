#pragma once
// Host-independent base of every plug-in object: parameters, programs, the
// channel layout with its buffers, identity, the editor and the recursive
// mutex that serialises host calls and editor changes. Processing always runs
// in doubles on non-interleaved buffers; the frame converts host floats.

#include "ByteChunk.h"
#include "Containers.h"
#include "Hosts.h"
#include "IParam.h"
#include "IPlugStructs.h"

#include <atomic>
#include <functional>
#include <vector>

class IGraphics;
struct IMidiMsg;
struct ISysEx;

class IPlugBase
{
public:
  static constexpr int kNameSize = 128;

  // Names must be shorter than kNameSize bytes; longer ones are cut.
  IPlugBase(int nParams, const char* channelIOStr, int nPresets, const char* effectName, const char* productName,
            const char* mfrName, int vendorVersion, int uniqueID, int mfrID, int latency, bool plugDoesMidi,
            bool plugDoesChunks, bool plugIsInst, EAPI plugAPI);
  IPlugBase(const IPlugBase&) = delete;
  IPlugBase& operator=(const IPlugBase&) = delete;

  // ---- Virtual operations; the order is part of the adapter's contract. ----
  virtual ~IPlugBase();

  // Instrument hooks. The defaults that lock do so to wait for a running host
  // call to finish.
  virtual void Reset();                     // host threads, under the mutex
  virtual void OnParamChange(int paramIdx); // any non-audio thread, under the mutex
  virtual void ProcessDoubleReplacing(double** inputs, double** outputs, int nFrames); // audio thread
  virtual void OnGUIOpen() {}
  virtual void OnGUIClose() {}
  virtual void OnIdle() {}
  virtual void OnActivate(bool active);
  virtual void ProcessMidiMsg(IMidiMsg* pMsg); // host MIDI thread; default is MIDI thru
  virtual void ProcessSysEx(ISysEx*) {}
  virtual bool MidiNoteName(int noteNumber, char* name);
  virtual bool SerializeState(ByteChunk* pChunk) { return SerializeParams(pChunk); }
  virtual int UnserializeState(ByteChunk* pChunk, int startPos) { return UnserializeParams(pChunk, startPos); }
  // incomingState holds one double per parameter from the startPos-th double on.
  virtual bool CompareState(const unsigned char* incomingState, int startPos);
  virtual void OnWindowResize() {}
  virtual bool HostRequestingAboutBox() { return false; }
  virtual void OnHostIdentified() {}
  virtual void PopupHostContextMenuForParam(int, int, int) {}
  // Editor thread; paramIdx must be valid.
  virtual void SetParameterFromGUI(int paramIdx, double normalizedValue);

  // Host operations, supplied by the adapter.
  virtual void BeginInformHostOfParamChange(int paramIdx) = 0;
  virtual void InformHostOfParamChange(int paramIdx, double normalizedValue) = 0;
  virtual void EndInformHostOfParamChange(int paramIdx) = 0;
  virtual void InformHostOfProgramChange() = 0;
  virtual bool IsRenderingOffline() { return false; }
  virtual double GetSamplePos() = 0;
  virtual double GetTempo() = 0;
  virtual void GetTimeSig(int* numerator, int* denominator) = 0;
  virtual void GetTime(ITimeInfo* pTimeInfo) = 0;
  virtual EHost GetHost() { return mHost; }
  virtual EAPI GetAPI() { return mAPI; }
  virtual void ResizeGraphics(int w, int h) = 0;
  virtual void HostSpecificInit() {}
  // Takes ownership; the editor thread, under the mutex.
  virtual void AttachGraphics(IGraphics* pGraphics);
  virtual void SetLatency(int samples) { mLatency = samples; }
  virtual bool SendMidiMsg(IMidiMsg* pMsg) = 0;
  virtual bool SendSysEx(ISysEx*) { return false; }
  virtual void RedrawParamControls();
  virtual int UnserializePresets(ByteChunk* pChunk, int startPos);
  virtual void ModifyCurrentPreset(const char* name = nullptr);
  virtual void DirtyPTCompareState() {}
  virtual void PresetsChangedByHost() {}
  virtual void SetSampleRate(double sampleRate) { mSampleRate = sampleRate; }
  // Allocates the scratch buffers: never call it from the audio thread. False,
  // keeping the old size, when the buffers cannot be allocated.
  virtual bool SetBlockSize(int blockSize);
  // Any thread; the texts live as long as the plug-in. None by default.
  virtual IParamNotes GetParamNotes(int) const { return {}; }

  // ---- Accessors (no locking). ----
  IParam* GetParam(int idx) const { return mParams.Get(idx); }
  int NParams() const { return mParams.GetSize(); }
  int NInChannels() const { return mInChannels.GetSize(); }
  int NOutChannels() const { return mOutChannels.GetSize(); }
  int NPresets() const { return mPresets.GetSize(); }
  int GetCurrentPresetIdx() const { return mCurrentPresetIdx; }
  double GetSampleRate() const { return mSampleRate; }
  int GetBlockSize() const { return mBlockSize; }
  int GetLatency() const { return mLatency; }
  unsigned int GetTailSize() const { return mTailSize; }
  bool IsBypassed() const { return mIsBypassed; }
  IGraphics* GetGUI() const { return mGraphics; }
  const char* GetEffectName() const { return mEffectName; }
  const char* GetProductName() const { return mProductName; }
  const char* GetMfrName() const { return mMfrName; }
  int GetUniqueID() const { return mUniqueID; }
  // The ID of earlier builds: their files and host states are still ours.
  void SetFormerUniqueID(int id) { mFormerUniqueID = id; }
  bool IsOwnUniqueID(int id) const { return id == mUniqueID || (id != 0 && id == mFormerUniqueID); }
  int GetMfrID() const { return mMfrID; }
  bool IsInst() const { return mIsInst; }
  bool DoesMIDI() const { return mDoesMIDI; }
  bool DoesStateChunks() const { return mStateChunks; }

  // ---- Identity and versions. ----
  int GetEffectVersion(bool decimal) const { return decimal ? GetDecimalVersion(mVersion) : mVersion; }
  void GetEffectVersionStr(char* str) const { GetVersionStr(mVersion, str); }
  int GetHostVersion(bool decimal);
  void GetHostVersionStr(char* str);
  void SetHost(const char* host, int version);
  const char* GetAPIString();
  const char* GetArchString() const { return "x64"; }

  // ---- Channel layout. ----
  bool LegalIO(int nIn, int nOut) const;
  bool IsInChannelConnected(int i) const;
  bool IsOutChannelConnected(int i) const;
  void SetInputChannelConnections(int idx, int n, bool connected);
  void SetOutputChannelConnections(int idx, int n, bool connected);
  void LimitToStereoIO();
  void SetInputLabel(int idx, const char* label);
  void SetOutputLabel(int idx, const char* label);
  void SetInputBusLabel(int idx, const char* label);
  void SetOutputBusLabel(int idx, const char* label);
  // Null when no label was set for the bus.
  const WDL_String* GetInputBusLabel(int idx) const { return mInputBusLabels.Get(idx); }
  const WDL_String* GetOutputBusLabel(int idx) const { return mOutputBusLabels.Get(idx); }

  // ---- Buffers and processing (audio thread; nFrames must not exceed the block size). ----
  void AttachInputBuffers(int idx, int n, double** ppData, int nFrames);
  void AttachInputBuffers(int idx, int n, float** ppData, int nFrames);
  void AttachOutputBuffers(int idx, int n, double** ppData);
  void AttachOutputBuffers(int idx, int n, float** ppData);
  void ProcessBuffers(double, int nFrames);
  void ProcessBuffers(float, int nFrames);
  void ProcessBuffersAccumulating(float, int nFrames);
  void PassThroughBuffers(double, int nFrames);
  void PassThroughBuffers(float, int nFrames);
  void ZeroScratchBuffers();

  // ---- Parameters and the editor. ----
  void OnParamReset();
  void DirtyParameters();
  double GetSamplesPerBeat();

  // Sends each message in order; true when every send succeeded (and for none).
  bool SendMidiMsgs(WDL_TypedBuf<IMidiMsg>* pMsgs);

  // ---- Version header of stored state. ----
  static constexpr int kMagic = 0x70666674; // "tffp" in little-endian byte order
  static constexpr int kIPlugVersion = 0x00010000;
  static void InitChunkWithIPlugVer(ByteChunk* pChunk);
  // Returns the version word and moves past the header, or 0 leaving *pPos
  // unchanged when the chunk carries no header there.
  static int GetIPlugVerFromChunk(ByteChunk* pChunk, int* pPos);

  // ---- Program list (callers hold the mutex). ----
  void MakeDefaultPreset(const char* name = nullptr, int nPresets = 1);
  void EnsureDefaultPreset() { MakeDefaultPreset("Empty", NPresets()); }
  // One value per parameter: int for bool, int and enum parameters, else double.
  void MakePreset(const char* name, ...);
  // nParamsNamed pairs of (parameter index, value typed as for MakePreset).
  void MakePresetFromNamedParams(const char* name, int nParamsNamed, ...);
  void MakePresetFromChunk(const char* name, ByteChunk* pChunk);
  void MakePresetFromBlob(const char* name, const char* blob, int sizeOfChunk);
  void PruneUninitializedPresets();
  bool RestorePreset(int idx);
  bool RestorePreset(const char* name);
  const char* GetPresetName(int idx) const;
  bool SerializePresets(ByteChunk* pChunk);
  bool SerializePreset(int idx, ByteChunk* pChunk);
  int UnserializePreset(int idx, ByteChunk* pChunk, int startPos);
  // Any thread; takes the mutex.
  bool SerializeParams(ByteChunk* pChunk);
  // Each value is clamped to its parameter's range; the first that cannot be
  // read is applied as 0 and ends the reading (result -1). Data of an older,
  // shorter parameter list holds nValues: the parameters after them get 0.
  int UnserializeParams(ByteChunk* pChunk, int startPos) { return UnserializeParams(pChunk, startPos, NParams()); }
  int UnserializeParams(ByteChunk* pChunk, int startPos, int nValues);

  // ---- Program (FXP) and bank (FXB) files: the editor thread, callers hold the mutex. ----
  // Chunk form when the plug-in does state chunks, else parameter form. The
  // file is replaced whole: a failed write leaves an earlier file as it was.
  bool SaveProgramAsFXP(WDL_String* pFile);
  bool SaveBankAsFXB(WDL_String* pFile);
  // Why the last save failed, for the user ("cannot create a file in ...").
  const char* GetFileError() const { return mFileError.Get(); }
  // False, changing nothing, for a file that is missing, foreign, of another
  // format version or damaged before its first value.
  bool LoadProgramFromFXP(WDL_String* pFile) { return LoadProgramFromFXP(pFile, GenericFileReadOptions()); }
  bool LoadBankFromFXB(WDL_String* pFile) { return LoadBankFromFXB(pFile, GenericFileReadOptions()); }

  // What a plug-in's own file readers change about the generic ones.
  struct FileReadOptions
  {
    // Parameter counts accepted for the program blocks of a parameter-form bank.
    int mMinBlockParams = 0;
    int mMaxBlockParams = 0;
    // Parameter-form program file: read the file's count of values rather than NParams().
    bool mProgramParamsFromFile = false;
    // Run just before and after the chunk-form state is read; the first gets
    // the file's plug-in version field (decimal).
    std::function<void(int fileVersion)> mBeforeStateRead;
    std::function<void()> mAfterStateRead;
  };

  // Developer dumps: write source code that recreates the live or stored state.
  bool DumpPresetSrcCode(const char* file, const char* paramEnumNames[]);
  bool DumpPresetBlob(const char* file);
  bool DumpBankBlob(const char* file);

protected:
  // Start of the state in a chunk-form bank file.
  static constexpr int kBankStatePos = 160;

  FileReadOptions GenericFileReadOptions() const { return {NParams(), NParams(), false, {}, {}}; }
  bool LoadProgramFromFXP(WDL_String* pFile, const FileReadOptions& options);
  bool LoadBankFromFXB(WDL_String* pFile, const FileReadOptions& options);
  // The program list of a chunk-form bank's state from pos on (-1 loads
  // nothing), after the version header when there is one. Returns the
  // position after it or -1; the host is not told.
  int UnserializeBankState(ByteChunk* pChunk, int pos);

  WDL_PtrList<ChannelIO> mChannelIO;
  WDL_Mutex mMutex;
  char mEffectName[kNameSize];
  char mProductName[kNameSize];
  char mMfrName[kNameSize];
  int mUniqueID;
  int mFormerUniqueID = 0;
  WDL_String mFileError;
  int mMfrID;
  int mVersion;
  EAPI mAPI;
  EHost mHost = kHostUninit;
  int mHostVersion = 0;
  bool mStateChunks;
  bool mIsInst;
  bool mDoesMIDI;
  std::atomic<bool> mIsBypassed = false; // read by the render
  std::atomic<int> mCurrentPresetIdx = 0; // drawn by the editor
  double mSampleRate = 44100.0;
  int mBlockSize = 0;
  int mLatency;
  unsigned int mTailSize = 0;
  WDL_PtrList<const char> mParamGroups; // not owning
  WDL_PtrList<IParam> mParams;
  IGraphics* mGraphics = nullptr;
  WDL_PtrList<IPreset> mPresets;
  WDL_TypedBuf<double*> mInData;
  WDL_TypedBuf<double*> mOutData;
  WDL_PtrList<InChannel> mInChannels;
  WDL_PtrList<OutChannel> mOutChannels;
  WDL_PtrList<WDL_String> mInputBusLabels;
  WDL_PtrList<WDL_String> mOutputBusLabels;
  // Above 0 while OnParamReset replays every parameter (under mMutex), so a
  // change handler can tell a program change or restore from a real change.
  int mParamResetDepth = 0;

private:
  void parseChannelIO(const char* channelIOStr);
  void createChannels();
  bool resizeAllScratch(int blockSize);
  void convertOutputs(bool accumulate, int nFrames);
  IPreset* takeUninitializedPreset(const char* name);
  bool serializePresetRecord(IPreset* pPreset, ByteChunk* pChunk);
  int unserializePresetRecord(IPreset* pPreset, ByteChunk* pChunk, int pos);
  void appendParamValues(IPreset* pPreset, const double* values);
  bool dumpBlobs(const char* file, int firstIdx, int endIdx);
  void putFileHeader(ByteChunk* pFile, int form, int byteSize, int formatVersion, int count) const;
  void putBankHeader(ByteChunk* pFile, int form, int byteSize) const;
  void putProgramBlock(ByteChunk* pFile, const char* name, const ByteChunk* pStored) const;
  void applyNormalizedValues(const std::vector<float>& values);
  void storeLoadedProgram(const char* name);
  bool loadProgramState(ByteChunk* pFile, int pos, const FileReadOptions& options, int fileVersion);
  bool loadBankState(ByteChunk* pFile, int pos, const FileReadOptions& options, int fileVersion);
  bool loadProgramBlocks(ByteChunk* pFile, int pos, int nPrograms, const FileReadOptions& options);
  bool loadBank(ByteChunk* pFile, const FileReadOptions& options);
  bool writeFile(const char* path, const ByteChunk& file);
  // What a bank load changes, so that a load failing part way can undo it.
  struct ProgramsBackup;
  void backUpPrograms(ProgramsBackup* pBackup);
  void restorePrograms(ProgramsBackup* pBackup);
};
