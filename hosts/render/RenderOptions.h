#pragma once
// The renderer's command line: `tessaryn-render [options] [FILE.mid]`.

#include "RenderStatus.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

enum class SampleFormat
{
  kPcm16,
  kPcm24,
  kFloat,
};

struct ParameterSetting
{
  std::string mName;
  std::string mValue;
};

struct RenderOptions
{
  std::string mMidiFile; // empty: the built-in demo
  std::string mOutput;   // always set after parsing
  uint32_t mSampleRate = 48000;
  uint32_t mBlockFrames = 256;
  SampleFormat mFormat = SampleFormat::kPcm24;
  bool mMono = false;
  std::string mBankFile;
  std::string mProgram; // a number or a name; empty: the instrument's own choice
  std::string mProgramFile;
  std::vector<ParameterSetting> mSettings; // in command-line order
  std::optional<double> mTailSeconds;      // unset: until the output fades out
  std::optional<uint64_t> mFrames;
  std::optional<double> mTempo;
  bool mListPrograms = false;
  bool mListParams = false;
  bool mQuiet = false;
  bool mHelp = false;
};

// Fills `options` from the arguments after the program name.
RenderStatus parseRenderOptions(const std::vector<std::string>& args, RenderOptions& options);

std::string renderUsage();

// The whole text must be a finite number.
bool parseStrictNumber(const std::string& text, double& value);
