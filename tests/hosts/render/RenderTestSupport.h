#pragma once
// MIDI files written with libsmf, WAV files read back with
// libsndfile, and the command run with its output captured.

#include "RenderCommand.h"
#include "TemporaryFolder.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

struct MidiFileEvent
{
  int mPulses;
  std::vector<uint8_t> mBytes;
};

// A set-tempo meta event.
std::vector<uint8_t> tempoEvent(double tempo);

// One track at `ppqn` pulses per quarter note, opening with the tempo.
void writeMidiFile(const std::string& path, int ppqn, double tempo, const std::vector<MidiFileEvent>& events);

struct WavContents
{
  int mSampleRate = 0;
  int mChannels = 0;
  int mFormat = 0;
  std::vector<float> mSamples; // interleaved
};

WavContents readWav(const std::string& path);

struct CommandResult
{
  int mExitCode = 0;
  std::string mOut;
  std::string mErr;
};

CommandResult runCommand(Component component, const std::vector<std::string>& args);

constexpr int kStepRate = 8000;

// Renders a song file with the step instrument.
struct StepRenderTest : ::testing::Test
{
  // `song` into `out` at kStepRate with these options; the command must succeed.
  WavContents render(std::vector<std::string> options);

  TemporaryFolder folder;
  std::string song = folder.path("song.mid");
  std::string out = folder.path("out.wav");
};
