#include "WavFile.h"

#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <unistd.h>

namespace
{
constexpr size_t kMaxPathBytes = 4096;

// The temporary file the signal handler removes; written only outside of it.
char gTemporaryPath[kMaxPathBytes] = {};
volatile sig_atomic_t gHaveTemporary = 0;

void rememberTemporary(const std::string& path)
{
  gHaveTemporary = 0;
  if (path.size() >= kMaxPathBytes) return;
  std::memcpy(gTemporaryPath, path.c_str(), path.size() + 1);
  gHaveTemporary = 1;
}

void onInterrupt(int)
{
  if (gHaveTemporary) unlink(gTemporaryPath);
  _exit(kExitInterrupted);
}

int formatCode(SampleFormat format)
{
  switch (format)
  {
  case SampleFormat::kPcm16:
    return SF_FORMAT_WAV | SF_FORMAT_PCM_16;
  case SampleFormat::kPcm24:
    return SF_FORMAT_WAV | SF_FORMAT_PCM_24;
  case SampleFormat::kFloat:
    break;
  }
  return SF_FORMAT_WAV | SF_FORMAT_FLOAT;
}

} // namespace

WavFile::~WavFile()
{
  abandon();
}

RenderStatus WavFile::create(const std::string& path, uint32_t sampleRate, uint32_t channels, SampleFormat format)
{
  abandon();
  mPath = path;
  if (!mOutput.open(path)) return outputFailure(mOutput.error());
  rememberTemporary(mOutput.temporaryPath());

  SF_INFO info = {};
  info.samplerate = int(sampleRate);
  info.channels = int(channels);
  info.format = formatCode(format);
  // The descriptor stays the output's, which syncs and closes it on commit.
  mFile = sf_open_fd(mOutput.descriptor(), SFM_WRITE, &info, SF_FALSE);
  if (!mFile)
  {
    RenderStatus failure = outputFailure(std::string("libsndfile refused it (") + sf_strerror(nullptr) + ")");
    abandon();
    return failure;
  }
  sf_command(mFile, SFC_SET_CLIPPING, nullptr, SF_TRUE);
  return {};
}

RenderStatus WavFile::write(const float* interleaved, uint64_t frames)
{
  if (sf_writef_float(mFile, interleaved, sf_count_t(frames)) != sf_count_t(frames))
    return outputFailure(std::string("writing failed (") + sf_strerror(mFile) + ")");
  return {};
}

RenderStatus WavFile::commit()
{
  const int closed = sf_close(mFile);
  mFile = nullptr;
  if (closed != 0) return outputFailure("closing it failed (" + std::string(sf_error_number(closed)) + ")");
  gHaveTemporary = 0;
  if (!mOutput.commit()) return outputFailure(mOutput.error());
  return {};
}

void WavFile::abandon()
{
  if (mFile) sf_close(mFile);
  mFile = nullptr;
  gHaveTemporary = 0;
  mOutput.abandon();
}

void WavFile::removeTemporaryOnInterrupt()
{
  struct sigaction action = {};
  action.sa_handler = onInterrupt;
  sigemptyset(&action.sa_mask);
  sigaction(SIGINT, &action, nullptr);
  sigaction(SIGTERM, &action, nullptr);
}

RenderStatus WavFile::outputFailure(const std::string& what) const
{
  return RenderStatus::failure(kExitOutput, "Cannot write the output file '" + mPath + "': " + what +
                                                "; choose another place with -o.");
}
