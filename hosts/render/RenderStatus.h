#pragma once
// What a step of the renderer reports: success, or an exit code with the one
// line the user reads on stderr.

#include <cstdint>
#include <string>

enum RenderExitCode
{
  kExitOk = 0,
  kExitUsage = 2,      // options, parameter names and values, programs
  kExitInput = 3,      // MIDI, bank and program files
  kExitOutput = 4,     // the WAV file
  kExitInstrument = 5, // the instrument would not open, configure or render
  kExitInterrupted = 130,
};

struct RenderStatus
{
  int mExitCode = kExitOk;
  std::string mMessage;

  bool ok() const { return mExitCode == kExitOk; }
  static RenderStatus failure(int exitCode, std::string message) { return {exitCode, std::move(message)}; }
};

// The instrument refused a host call; `what` completes "The instrument failed to ...".
inline RenderStatus instrumentFailure(const std::string& what, int32_t status)
{
  return RenderStatus::failure(kExitInstrument, "The instrument failed to " + what + " (status " +
                                                    std::to_string(status) + "); try other options or report it.");
}
