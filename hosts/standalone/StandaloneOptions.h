#pragma once
// The standalone's command line: `tessaryn-standalone [options]`.

#include "StandaloneStatus.h"

#include <cstdint>
#include <string>
#include <vector>

enum class AudioBackendChoice
{
  kAuto, // JACK when a server runs, else ALSA
  kJack,
  kAlsa,
};

struct StandaloneOptions
{
  AudioBackendChoice mBackend = AudioBackendChoice::kAuto;
  std::string mDevice = "default"; // ALSA PCM
  uint32_t mSampleRate = 48000;    // ALSA only: JACK runs at the server's rate
  uint32_t mBufferFrames = 256;
  std::string mMidiIn;    // a port name, part of one, or "all"; empty: none
  std::string mProgram;   // a number or a name
  std::string mStateFile; // empty: the configuration folder's
  std::string mClientName = "tessaryn";
  bool mNoGui = false;
  bool mDemo = false;
  bool mHelp = false;
};

RenderStatus parseStandaloneOptions(const std::vector<std::string>& args, StandaloneOptions& options);

std::string standaloneUsage();
