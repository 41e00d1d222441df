#pragma once
// The output WAV file, written through libsndfile to a temporary file beside
// the destination and renamed onto it only when complete, so a failed or
// interrupted render leaves no half file behind.

#include "AtomicFile.h"
#include "RenderOptions.h"
#include "RenderStatus.h"

#include <sndfile.h>

#include <string>

class WavFile
{
public:
  WavFile() = default;
  ~WavFile(); // removes the temporary file unless committed
  WavFile(const WavFile&) = delete;
  WavFile& operator=(const WavFile&) = delete;

  RenderStatus create(const std::string& path, uint32_t sampleRate, uint32_t channels, SampleFormat format);
  // Interleaved frames, samples of full scale ±1.0; clipped for PCM.
  RenderStatus write(const float* interleaved, uint64_t frames);
  // Closes the file and moves it to its destination.
  RenderStatus commit();
  void abandon();

  // Until the process ends, SIGINT and SIGTERM remove the temporary file of
  // the render in progress before the process exits with 130.
  static void removeTemporaryOnInterrupt();

private:
  RenderStatus outputFailure(const std::string& what) const;

  SNDFILE* mFile = nullptr;
  std::string mPath;
  AtomicFile mOutput;
};
