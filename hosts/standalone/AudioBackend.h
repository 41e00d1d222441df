#pragma once
// Where the sound goes and the MIDI comes from: JACK or ALSA. The backend
// owns the audio thread and renders the instrument on it.

#include "StandaloneOptions.h"

class StandaloneSynth;

class AudioBackend
{
public:
  virtual ~AudioBackend() = default;

  // Control thread. The rate and block size are known once opened; a failure
  // says "cannot open audio: …" with kExitAudio.
  virtual RenderStatus open(const StandaloneOptions& options) = 0;
  virtual uint32_t sampleRate() const = 0;
  virtual uint32_t bufferFrames() const = 0;
  // "JACK as 'tessaryn'", "ALSA device 'default'".
  virtual std::string description() const = 0;

  // Starts rendering `synth` and connects the MIDI input the options name.
  virtual RenderStatus start(StandaloneSynth& synth, const StandaloneOptions& options) = 0;
  // Stops the audio thread; nothing renders after it returns.
  virtual void stop() = 0;
  // True once the server or the device has gone away for good.
  virtual bool lost() const = 0;
};

// "cannot open audio: <reason>" with the audio exit code.
inline RenderStatus audioFailure(const std::string& reason)
{
  return RenderStatus::failure(kExitAudio, "cannot open audio: " + reason);
}
