#include "WavFile.h"

#include <sys/stat.h>

#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <unistd.h>

namespace
{
constexpr mode_t kNewFileMode = 0666;
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

// mkstemp makes files only the owner may read; the finished file gets the usual mode.
void applyUsualMode(int fd)
{
  const mode_t mask = umask(0);
  umask(mask);
  fchmod(fd, kNewFileMode & ~mask);
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
  std::string pattern = path + ".partial-XXXXXX";
  const int fd = mkstemp(pattern.data());
  if (fd < 0) return outputFailure(std::string("a file cannot be created there (") + std::strerror(errno) + ")");
  mTemporaryPath = pattern;
  rememberTemporary(mTemporaryPath);
  applyUsualMode(fd);

  SF_INFO info = {};
  info.samplerate = int(sampleRate);
  info.channels = int(channels);
  info.format = formatCode(format);
  mFile = sf_open_fd(fd, SFM_WRITE, &info, SF_TRUE);
  if (!mFile)
  {
    close(fd);
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
  if (std::rename(mTemporaryPath.c_str(), mPath.c_str()) != 0)
    return outputFailure(std::string("it cannot be put in place (") + std::strerror(errno) + ")");
  gHaveTemporary = 0;
  mTemporaryPath.clear();
  return {};
}

void WavFile::abandon()
{
  if (mFile) sf_close(mFile);
  mFile = nullptr;
  if (mTemporaryPath.empty()) return;
  gHaveTemporary = 0;
  unlink(mTemporaryPath.c_str());
  mTemporaryPath.clear();
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
