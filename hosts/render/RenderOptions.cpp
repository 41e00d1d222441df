#include "RenderOptions.h"

#include <charconv>
#include <cmath>
#include <filesystem>
#include <functional>

namespace
{
constexpr uint32_t kMinSampleRate = 8000;
constexpr uint32_t kMaxSampleRate = 384000;
constexpr uint32_t kMaxBlockFrames = 8192;
constexpr double kMaxTailSeconds = 3600.0;
constexpr double kMaxTempo = 1000.0;
constexpr const char* kDemoOutput = "tessaryn-demo.wav";

RenderStatus usageError(const std::string& message)
{
  return RenderStatus::failure(kExitUsage, message + " Run tessaryn-render --help for the options.");
}

template <class Integer> bool parseWholeText(const std::string& text, Integer& value)
{
  const char* end = text.data() + text.size();
  auto [last, error] = std::from_chars(text.data(), end, value);
  return !text.empty() && error == std::errc() && last == end;
}

// Whole numbers within [min, max]; the message names the option.
RenderStatus parseCount(const std::string& option, const std::string& text, uint64_t min, uint64_t max, uint64_t& value)
{
  if (!parseWholeText(text, value) || value < min || value > max)
    return usageError("The value '" + text + "' of " + option + " must be a whole number from " + std::to_string(min) +
                      " to " + std::to_string(max) + ".");
  return {};
}

RenderStatus parseRange(const std::string& option, const std::string& text, double min, double max, double& value)
{
  if (!parseStrictNumber(text, value) || value < min || value > max)
    return usageError("The value '" + text + "' of " + option + " must be a number from " + std::to_string(int(min)) +
                      " to " + std::to_string(int(max)) + ".");
  return {};
}

using Handler = std::function<RenderStatus(const std::string& option, const std::string& value, RenderOptions&)>;

struct OptionRow
{
  const char* mName;
  bool mTakesValue;
  Handler mHandler;
};

RenderStatus setFlag(bool RenderOptions::*field, RenderOptions& options)
{
  options.*field = true;
  return {};
}

Handler flag(bool RenderOptions::*field)
{
  return [field](const std::string&, const std::string&, RenderOptions& options) { return setFlag(field, options); };
}

Handler text(std::string RenderOptions::*field)
{
  return [field](const std::string& option, const std::string& value, RenderOptions& options)
  {
    if (value.empty()) return usageError("The option " + option + " needs a non-empty value.");
    options.*field = value;
    return RenderStatus{};
  };
}

template <class Field> Handler count(Field field, uint64_t min, uint64_t max)
{
  return [field, min, max](const std::string& option, const std::string& value, RenderOptions& options)
  {
    uint64_t parsed = 0;
    RenderStatus status = parseCount(option, value, min, max, parsed);
    if (status.ok()) options.*field = static_cast<std::remove_reference_t<decltype(options.*field)>>(parsed);
    return status;
  };
}

Handler number(std::optional<double> RenderOptions::*field, double min, double max)
{
  return [field, min, max](const std::string& option, const std::string& value, RenderOptions& options)
  {
    double parsed = 0.0;
    RenderStatus status = parseRange(option, value, min, max, parsed);
    if (status.ok()) options.*field = parsed;
    return status;
  };
}

RenderStatus parseFormat(const std::string&, const std::string& value, RenderOptions& options)
{
  if (value == "16")
    options.mFormat = SampleFormat::kPcm16;
  else if (value == "24")
    options.mFormat = SampleFormat::kPcm24;
  else if (value == "float")
    options.mFormat = SampleFormat::kFloat;
  else
    return usageError("The format '" + value + "' is unknown; use 16, 24 or float.");
  return {};
}

RenderStatus parseSetting(const std::string&, const std::string& value, RenderOptions& options)
{
  const size_t equals = value.find('=');
  if (equals == std::string::npos || equals == 0 || equals + 1 == value.size())
    return usageError("The setting '" + value + "' must have the form NAME=VALUE.");
  options.mSettings.push_back({value.substr(0, equals), value.substr(equals + 1)});
  return {};
}

const std::vector<OptionRow>& optionTable()
{
  static const std::vector<OptionRow> table = {
      {"-o", true, text(&RenderOptions::mOutput)},
      {"--rate", true, count(&RenderOptions::mSampleRate, kMinSampleRate, kMaxSampleRate)},
      {"--block", true, count(&RenderOptions::mBlockFrames, 1, kMaxBlockFrames)},
      {"--format", true, parseFormat},
      {"--mono", false, flag(&RenderOptions::mMono)},
      {"--bank", true, text(&RenderOptions::mBankFile)},
      {"--program", true, text(&RenderOptions::mProgram)},
      {"--fxp", true, text(&RenderOptions::mProgramFile)},
      {"--set", true, parseSetting},
      {"--tail", true, number(&RenderOptions::mTailSeconds, 0.0, kMaxTailSeconds)},
      {"--frames", true, count(&RenderOptions::mFrames, 1, UINT32_MAX * uint64_t(64))},
      {"--tempo", true, number(&RenderOptions::mTempo, 1.0, kMaxTempo)},
      {"--list-programs", false, flag(&RenderOptions::mListPrograms)},
      {"--list-params", false, flag(&RenderOptions::mListParams)},
      {"--quiet", false, flag(&RenderOptions::mQuiet)},
      {"--help", false, flag(&RenderOptions::mHelp)},
      {"-h", false, flag(&RenderOptions::mHelp)},
  };
  return table;
}

const OptionRow* findOption(const std::string& name)
{
  for (const OptionRow& row : optionTable())
    if (name == row.mName) return &row;
  return nullptr;
}

RenderStatus takeMidiFile(const std::string& argument, RenderOptions& options)
{
  if (!options.mMidiFile.empty())
    return usageError("Only one MIDI file can be rendered at a time, but both '" + options.mMidiFile + "' and '" +
                      argument + "' were given.");
  options.mMidiFile = argument;
  return {};
}

RenderStatus checkCombination(const RenderOptions& options)
{
  if (options.mFrames && options.mTailSeconds)
    return usageError("The options --frames and --tail both set the length; give only one of them.");
  return {};
}

std::string defaultOutput(const RenderOptions& options)
{
  if (options.mMidiFile.empty()) return kDemoOutput;
  return std::filesystem::path(options.mMidiFile).replace_extension(".wav").string();
}
} // namespace

bool parseStrictNumber(const std::string& text, double& value)
{
  return parseWholeText(text, value) && std::isfinite(value);
}

RenderStatus parseRenderOptions(const std::vector<std::string>& args, RenderOptions& options)
{
  for (size_t i = 0; i < args.size(); ++i)
  {
    const std::string& argument = args[i];
    const bool looksLikeOption = argument.size() > 1 && argument[0] == '-';
    RenderStatus status;
    if (!looksLikeOption)
      status = takeMidiFile(argument, options);
    else if (const OptionRow* row = findOption(argument); !row)
      status = usageError("The option '" + argument + "' is unknown.");
    else if (row->mTakesValue && i + 1 == args.size())
      status = usageError("The option " + argument + " needs a value.");
    else
      status = row->mHandler(argument, row->mTakesValue ? args[++i] : std::string(), options);
    if (!status.ok()) return status;
  }
  if (options.mOutput.empty()) options.mOutput = defaultOutput(options);
  return checkCombination(options);
}

std::string renderUsage()
{
  return R"(Usage: tessaryn-render [options] [FILE.mid]
Renders a Standard MIDI File with the Tessaryn instrument to a WAV file.
Without a MIDI file it renders a built-in demo of about half a minute.

Options:
  -o FILE             output file (default: the MIDI file's name with .wav,
                      or tessaryn-demo.wav for the demo)
  --rate HZ           sample rate, 8000 to 384000 (default 48000)
  --block N           frames per render call, 1 to 8192 (default 256)
  --format F          16, 24 (PCM) or float (32-bit float) (default 24)
  --mono              write one channel instead of two
  --bank FILE.fxb     load a bank of programs (default: the factory bank)
  --program N|NAME    select a program by number or name
  --fxp FILE          load a program file into the current program
  --set NAME=VALUE    set a parameter (repeatable); VALUE in the parameter's
                      own units or, for list parameters, one of its texts
                      or its index (0 for the first)
  --tail SECONDS      render this long after the last event (default: until
                      the output stays below -90 dBFS for 0.5 s, at most 10 s)
  --frames N          render exactly N frames
  --tempo BPM         play the file at this tempo instead of its tempo map
  --list-programs     list the programs and exit
  --list-params       list the parameters with range, texts, default and current value, and exit
  --quiet             print nothing but errors
  -h, --help          show this text and exit

Exit codes: 0 success; 2 bad options, parameter or program; 3 unreadable
MIDI, bank or program file; 4 the output file could not be written;
5 the instrument failed; 130 interrupted.
)";
}
