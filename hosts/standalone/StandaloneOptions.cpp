#include "StandaloneOptions.h"

#include <charconv>

namespace
{
constexpr uint32_t kMinSampleRate = 8000;
constexpr uint32_t kMaxSampleRate = 384000;
constexpr uint32_t kMinBufferFrames = 16;
constexpr uint32_t kMaxBufferFrames = 8192;

RenderStatus usageError(const std::string& message)
{
  return RenderStatus::failure(kExitUsage, message + " Run tessaryn-standalone --help for the options.");
}

RenderStatus parseCount(const std::string& option, const std::string& text, uint32_t min, uint32_t max,
                        uint32_t& value)
{
  const char* end = text.data() + text.size();
  uint32_t parsed = 0;
  const auto [last, error] = std::from_chars(text.data(), end, parsed);
  if (text.empty() || error != std::errc() || last != end || parsed < min || parsed > max)
    return usageError("The value '" + text + "' of " + option + " must be a whole number from " + std::to_string(min) +
                      " to " + std::to_string(max) + ".");
  value = parsed;
  return {};
}

RenderStatus parseBackend(const std::string& text, AudioBackendChoice& backend)
{
  if (text == "auto")
    backend = AudioBackendChoice::kAuto;
  else if (text == "jack")
    backend = AudioBackendChoice::kJack;
  else if (text == "alsa")
    backend = AudioBackendChoice::kAlsa;
  else
    return usageError("The backend '" + text + "' is unknown; use jack, alsa or auto.");
  return {};
}

bool* flagField(const std::string& option, StandaloneOptions& options)
{
  if (option == "--no-gui") return &options.mNoGui;
  if (option == "--demo") return &options.mDemo;
  if (option == "--help" || option == "-h") return &options.mHelp;
  return nullptr;
}

std::string* textField(const std::string& option, StandaloneOptions& options)
{
  if (option == "--device") return &options.mDevice;
  if (option == "--midi-in") return &options.mMidiIn;
  if (option == "--program") return &options.mProgram;
  if (option == "--state") return &options.mStateFile;
  if (option == "--name") return &options.mClientName;
  return nullptr;
}

RenderStatus parseValue(const std::string& option, const std::string& value, StandaloneOptions& options)
{
  if (option == "--backend") return parseBackend(value, options.mBackend);
  if (option == "--rate") return parseCount(option, value, kMinSampleRate, kMaxSampleRate, options.mSampleRate);
  if (option == "--buffer")
    return parseCount(option, value, kMinBufferFrames, kMaxBufferFrames, options.mBufferFrames);
  if (value.empty()) return usageError("The option " + option + " needs a non-empty value.");
  *textField(option, options) = value;
  return {};
}

bool takesValue(const std::string& option)
{
  StandaloneOptions probe;
  return option == "--backend" || option == "--rate" || option == "--buffer" || textField(option, probe);
}
} // namespace

RenderStatus parseStandaloneOptions(const std::vector<std::string>& args, StandaloneOptions& options)
{
  for (size_t i = 0; i < args.size(); ++i)
  {
    const std::string& option = args[i];
    RenderStatus status;
    if (bool* flag = flagField(option, options))
      *flag = true;
    else if (!takesValue(option))
      status = usageError("The option '" + option + "' is unknown.");
    else if (i + 1 == args.size())
      status = usageError("The option " + option + " needs a value.");
    else
      status = parseValue(option, args[++i], options);
    if (!status.ok()) return status;
  }
  return {};
}

std::string standaloneUsage()
{
  return R"(Usage: tessaryn-standalone [options]
Plays the Tessaryn instrument with its panel in a window of its own, through
JACK when a JACK server runs, else through ALSA.

Options:
  --backend B         jack, alsa or auto (default auto: JACK if a server runs)
  --device NAME       ALSA playback device (default "default"; see aplay -L)
  --rate HZ           ALSA sample rate, 8000 to 384000 (default 48000); JACK
                      plays at its server's rate
  --buffer FRAMES     ALSA period, 16 to 8192 frames (default 256); JACK uses
                      its server's buffer size
  --midi-in PORT|all  connect the MIDI input to the readable MIDI ports whose
                      names contain PORT, or to all of them
  --program N|NAME    start with this program instead of the remembered one
  --state FILE        remember the sound in FILE instead of
                      $XDG_CONFIG_HOME/Pellworth/tessaryn-standalone.state,
                      and the programs in FILE's name ending in .fxb
  --name NAME         the JACK client's and ALSA sequencer client's name
                      (default tessaryn)
  --no-gui            play without a window and never open a display
  --demo              play the built-in demo song over and over
  -h, --help          show this text and exit

Computer keyboard, while the window has focus: Z S X D C V G B H N J M play
the lower octave from C, Q 2 W 3 E R 5 T 6 Y 7 U I the upper one; - and =
shift both an octave down and up.

Under a session manager (NSM_URL set) the session decides where the sound is
kept and the window shows and hides on its request.

Quit with Ctrl+C or by closing the window: the sound is remembered.

Exit codes: 0 success; 2 bad options or program; 3 the state file could not
be read or written; 4 no audio device could be opened; 5 the instrument
failed.
)";
}
