#include "IPlugBase.h"

#include "IGraphics.h"
#include "IMidiMsg.h"

#include <algorithm>
#include <cstdio>

namespace
{
void copyName(char* dst, const char* src)
{
  snprintf(dst, IPlugBase::kNameSize, "%s", src ? src : "");
}

// Channels idx up to but excluding min(idx + n, count).
int rangeEnd(int idx, int n, int count)
{
  return static_cast<int>(std::min<long long>(static_cast<long long>(idx) + n, count));
}

// Copies input k to output k where both exist and silences the other outputs.
void passThrough(double** inputs, int nIn, double** outputs, int nOut, int nFrames)
{
  if (nFrames < 1) return;
  const size_t bytes = static_cast<size_t>(nFrames) * sizeof(double);
  for (int k = 0; k < nOut; ++k)
  {
    if (!outputs[k]) continue;
    if (k < nIn && inputs[k])
      memmove(outputs[k], inputs[k], bytes);
    else
      memset(outputs[k], 0, bytes);
  }
}

template <class Channel> void zeroScratch(Channel* pChannel)
{
  double* scratch = pChannel->mScratchBuf.Get();
  if (scratch) memset(scratch, 0, static_cast<size_t>(pChannel->mScratchBuf.GetSize()) * sizeof(double));
}

// A table entry that pointed at the old scratch buffer follows it when the
// buffer moves, so a disconnected channel never writes into freed memory.
// A table entry that pointed at the old scratch buffer follows it when the
// buffer moves, so a disconnected channel never writes into freed memory.
template <class Channel> bool resizeScratch(Channel* pChannel, double** pSlot, int blockSize)
{
  double* const old = pChannel->mScratchBuf.Get();
  pChannel->mScratchBuf.Resize(blockSize);
  zeroScratch(pChannel);
  if (*pSlot == old) *pSlot = pChannel->mScratchBuf.Get();
  return pChannel->mScratchBuf.GetSize() == std::max(blockSize, 0);
}

template <class Channel>
void setConnections(WDL_PtrList<Channel>& channels, int idx, int n, bool connected, double** table)
{
  for (int i = std::max(idx, 0); i < rangeEnd(idx, n, channels.GetSize()); ++i)
  {
    Channel* pChannel = channels.Get(i);
    pChannel->mConnected = connected;
    if (!connected) table[i] = pChannel->mScratchBuf.Get();
  }
}

template <class Channel> bool isConnected(const WDL_PtrList<Channel>& channels, int i)
{
  const Channel* pChannel = channels.Get(i);
  return pChannel && pChannel->mConnected;
}

template <class Channel> void setLabel(WDL_PtrList<Channel>& channels, int idx, const char* label)
{
  if (Channel* pChannel = channels.Get(idx)) pChannel->mLabel.Set(label);
}

void replaceBusLabel(WDL_PtrList<WDL_String>& labels, int idx, const char* label)
{
  labels.Delete(idx, true);
  labels.Insert(idx, new WDL_String(label));
}
} // namespace

IPlugBase::IPlugBase(int nParams, const char* channelIOStr, int nPresets, const char* effectName,
                     const char* productName, const char* mfrName, int vendorVersion, int uniqueID, int mfrID,
                     int latency, bool plugDoesMidi, bool plugDoesChunks, bool plugIsInst, EAPI plugAPI)
    : mUniqueID(uniqueID), mMfrID(mfrID), mVersion(vendorVersion), mAPI(plugAPI), mStateChunks(plugDoesChunks),
      mIsInst(plugIsInst), mDoesMIDI(plugDoesMidi), mLatency(latency)
{
  for (int i = 0; i < nParams; ++i)
    mParams.Add(new IParam);
  for (int i = 0; i < nPresets; ++i)
    mPresets.Add(new IPreset);
  copyName(mEffectName, effectName);
  copyName(mProductName, productName);
  copyName(mMfrName, mfrName);
  parseChannelIO(channelIOStr);
  createChannels();
}

IPlugBase::~IPlugBase()
{
  delete mGraphics;
  mParams.Empty(true);
  mPresets.Empty(true);
  mInChannels.Empty(true);
  mOutChannels.Empty(true);
  mChannelIO.Empty(true);
  mInputBusLabels.Empty(true);
  mOutputBusLabels.Empty(true);
}

// Pairs like "1-1 2-2", separated by blanks; an unreadable count is 0.
void IPlugBase::parseChannelIO(const char* channelIOStr)
{
  for (const char* pos = channelIOStr; pos;)
  {
    int nIn = 0, nOut = 0;
    sscanf(pos, "%d-%d", &nIn, &nOut);
    mChannelIO.Add(new ChannelIO{nIn, nOut});
    pos = strchr(pos, ' ');
    if (pos) ++pos;
  }
}

void IPlugBase::createChannels()
{
  int nIn = 0, nOut = 0;
  for (int i = 0; i < mChannelIO.GetSize(); ++i)
  {
    nIn = std::max(nIn, mChannelIO.Get(i)->mIn);
    nOut = std::max(nOut, mChannelIO.Get(i)->mOut);
  }
  mInData.Resize(nIn);
  mOutData.Resize(nOut);
  for (int i = 0; i < mInData.GetSize(); ++i)
  {
    mInData.Get()[i] = nullptr;
    InChannel* pChannel = mInChannels.Add(new InChannel);
    pChannel->mSrc = mInData.Get() + i;
  }
  for (int i = 0; i < mOutData.GetSize(); ++i)
  {
    mOutData.Get()[i] = nullptr;
    OutChannel* pChannel = mOutChannels.Add(new OutChannel);
    pChannel->mDest = mOutData.Get() + i;
  }
}

void IPlugBase::Reset()
{
  WDL_MutexLock lock(&mMutex);
}

void IPlugBase::OnParamChange(int)
{
  WDL_MutexLock lock(&mMutex);
}

void IPlugBase::OnActivate(bool)
{
  WDL_MutexLock lock(&mMutex);
}

void IPlugBase::ProcessDoubleReplacing(double** inputs, double** outputs, int nFrames)
{
  passThrough(inputs, NInChannels(), outputs, NOutChannels(), nFrames);
}

void IPlugBase::ProcessMidiMsg(IMidiMsg* pMsg)
{
  SendMidiMsg(pMsg);
}

bool IPlugBase::MidiNoteName(int, char* name)
{
  *name = 0;
  return false;
}

void IPlugBase::SetParameterFromGUI(int paramIdx, double normalizedValue)
{
  WDL_MutexLock lock(&mMutex);
  IParam* pParam = GetParam(paramIdx);
  if (!pParam) return;
  pParam->SetNormalized(normalizedValue);
  InformHostOfParamChange(paramIdx, normalizedValue);
  OnParamChange(paramIdx);
}

void IPlugBase::AttachGraphics(IGraphics* pGraphics)
{
  if (!pGraphics) return;
  WDL_MutexLock lock(&mMutex);
  for (int i = 0; i < NParams(); ++i)
    pGraphics->SetParameterFromPlug(i, GetParam(i)->GetNormalized(), true);
  pGraphics->PrepDraw();
  mGraphics = pGraphics;
}

void IPlugBase::RedrawParamControls()
{
  if (!mGraphics) return;
  for (int i = 0; i < NParams(); ++i)
    mGraphics->SetParameterFromPlug(i, GetParam(i)->Value(), false);
}

bool IPlugBase::SetBlockSize(int blockSize)
{
  if (blockSize == mBlockSize) return true;
  if (resizeAllScratch(blockSize))
  {
    mBlockSize = blockSize;
    return true;
  }
  // The old size fitted before, so going back to it cannot fail.
  resizeAllScratch(mBlockSize);
  return false;
}

bool IPlugBase::resizeAllScratch(int blockSize)
{
  bool ok = true;
  for (int i = 0; i < NInChannels(); ++i)
    ok = resizeScratch(mInChannels.Get(i), mInChannels.Get(i)->mSrc, blockSize) && ok;
  for (int i = 0; i < NOutChannels(); ++i)
    ok = resizeScratch(mOutChannels.Get(i), mOutChannels.Get(i)->mDest, blockSize) && ok;
  return ok;
}

int IPlugBase::GetHostVersion(bool decimal)
{
  GetHost();
  return decimal ? GetDecimalVersion(mHostVersion) : mHostVersion;
}

void IPlugBase::GetHostVersionStr(char* str)
{
  GetHost();
  GetVersionStr(mHostVersion, str);
}

void IPlugBase::SetHost(const char* host, int version)
{
  mHost = LookUpHost(host);
  mHostVersion = version;
}

const char* IPlugBase::GetAPIString()
{
  switch (GetAPI())
  {
  case kAPIVST2:
    return "VST2";
  case kAPIVST3:
    return "VST3";
  case kAPIAU:
    return "AU";
  case kAPIRTAS:
    return "RTAS";
  case kAPIAAX:
    return "AAX";
  case kAPISA:
    return "Standalone";
  default:
    return "";
  }
}

bool IPlugBase::LegalIO(int nIn, int nOut) const
{
  for (int i = 0; i < mChannelIO.GetSize(); ++i)
  {
    const ChannelIO* pIO = mChannelIO.Get(i);
    if ((nIn < 0 || nIn == pIO->mIn) && (nOut < 0 || nOut == pIO->mOut)) return true;
  }
  return false;
}

bool IPlugBase::IsInChannelConnected(int i) const
{
  return isConnected(mInChannels, i);
}

bool IPlugBase::IsOutChannelConnected(int i) const
{
  return isConnected(mOutChannels, i);
}

void IPlugBase::SetInputChannelConnections(int idx, int n, bool connected)
{
  setConnections(mInChannels, idx, n, connected, mInData.Get());
}

void IPlugBase::SetOutputChannelConnections(int idx, int n, bool connected)
{
  setConnections(mOutChannels, idx, n, connected, mOutData.Get());
}

void IPlugBase::LimitToStereoIO()
{
  SetInputChannelConnections(2, NInChannels() - 2, false);
  SetOutputChannelConnections(2, NOutChannels() - 2, true);
}

void IPlugBase::SetInputLabel(int idx, const char* label)
{
  setLabel(mInChannels, idx, label);
}

void IPlugBase::SetOutputLabel(int idx, const char* label)
{
  setLabel(mOutChannels, idx, label);
}

void IPlugBase::SetInputBusLabel(int idx, const char* label)
{
  if (idx == 0 || idx == 1) replaceBusLabel(mInputBusLabels, idx, label);
}

void IPlugBase::SetOutputBusLabel(int idx, const char* label)
{
  if (idx >= 0) replaceBusLabel(mOutputBusLabels, idx, label);
}

void IPlugBase::AttachInputBuffers(int idx, int n, double** ppData, int)
{
  for (int i = std::max(idx, 0); i < rangeEnd(idx, n, NInChannels()); ++i)
  {
    InChannel* pChannel = mInChannels.Get(i);
    if (pChannel->mConnected) *pChannel->mSrc = *ppData++;
  }
}

void IPlugBase::AttachInputBuffers(int idx, int n, float** ppData, int nFrames)
{
  for (int i = std::max(idx, 0); i < rangeEnd(idx, n, NInChannels()); ++i)
  {
    InChannel* pChannel = mInChannels.Get(i);
    if (!pChannel->mConnected) continue;
    double* scratch = pChannel->mScratchBuf.Get();
    const float* src = *ppData++;
    // Never past the scratch buffer, even for a host that ignores the block size.
    const int frames = std::min(nFrames, pChannel->mScratchBuf.GetSize());
    for (int s = 0; s < frames; ++s)
      scratch[s] = src[s];
    *pChannel->mSrc = scratch;
  }
}

void IPlugBase::AttachOutputBuffers(int idx, int n, double** ppData)
{
  for (int i = std::max(idx, 0); i < rangeEnd(idx, n, NOutChannels()); ++i)
  {
    OutChannel* pChannel = mOutChannels.Get(i);
    if (pChannel->mConnected) *pChannel->mDest = *ppData++;
  }
}

void IPlugBase::AttachOutputBuffers(int idx, int n, float** ppData)
{
  for (int i = std::max(idx, 0); i < rangeEnd(idx, n, NOutChannels()); ++i)
  {
    OutChannel* pChannel = mOutChannels.Get(i);
    if (!pChannel->mConnected) continue;
    *pChannel->mDest = pChannel->mScratchBuf.Get();
    pChannel->mFDest = *ppData++;
  }
}

void IPlugBase::ProcessBuffers(double, int nFrames)
{
  ProcessDoubleReplacing(mInData.Get(), mOutData.Get(), nFrames);
}

void IPlugBase::convertOutputs(bool accumulate, int nFrames)
{
  for (int i = 0; i < NOutChannels(); ++i)
  {
    const OutChannel* pChannel = mOutChannels.Get(i);
    const double* src = *pChannel->mDest;
    float* dst = pChannel->mFDest;
    if (!pChannel->mConnected || !src || !dst) continue;
    if (accumulate)
      for (int s = 0; s < nFrames; ++s)
        dst[s] += static_cast<float>(src[s]);
    else
      for (int s = 0; s < nFrames; ++s)
        dst[s] = static_cast<float>(src[s]);
  }
}

void IPlugBase::ProcessBuffers(float, int nFrames)
{
  ProcessBuffers(0.0, nFrames);
  convertOutputs(false, nFrames);
}

void IPlugBase::ProcessBuffersAccumulating(float, int nFrames)
{
  ProcessBuffers(0.0, nFrames);
  convertOutputs(true, nFrames);
}

void IPlugBase::PassThroughBuffers(double, int nFrames)
{
  passThrough(mInData.Get(), NInChannels(), mOutData.Get(), NOutChannels(), nFrames);
}

void IPlugBase::PassThroughBuffers(float, int nFrames)
{
  PassThroughBuffers(0.0, nFrames);
  convertOutputs(false, nFrames);
}

void IPlugBase::ZeroScratchBuffers()
{
  for (int i = 0; i < NInChannels(); ++i)
    zeroScratch(mInChannels.Get(i));
  for (int i = 0; i < NOutChannels(); ++i)
    zeroScratch(mOutChannels.Get(i));
}

void IPlugBase::OnParamReset()
{
  WDL_MutexLock lock(&mMutex);
  ++mParamResetDepth;
  for (int i = 0; i < NParams(); ++i)
    OnParamChange(i);
  --mParamResetDepth;
}

void IPlugBase::DirtyParameters()
{
  WDL_MutexLock lock(&mMutex);
  for (int i = 0; i < NParams(); ++i)
    InformHostOfParamChange(i, GetParam(i)->GetNormalized());
}

double IPlugBase::GetSamplesPerBeat()
{
  const double tempo = GetTempo();
  return tempo > 0.0 ? mSampleRate * 60.0 / tempo : 0.0;
}

bool IPlugBase::SendMidiMsgs(WDL_TypedBuf<IMidiMsg>* pMsgs)
{
  bool allSent = true;
  for (int i = 0; i < pMsgs->GetSize(); ++i)
    allSent = SendMidiMsg(pMsgs->Get() + i) && allSent;
  return allSent;
}
