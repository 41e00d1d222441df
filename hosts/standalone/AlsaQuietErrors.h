#pragma once
// While it lives, alsa-lib keeps its own error lines off stderr: where a call
// fails, the standalone says so in one line of its own.

#include <alsa/asoundlib.h>

class AlsaQuietErrors
{
public:
  AlsaQuietErrors() { snd_lib_error_set_handler(quiet); }
  ~AlsaQuietErrors() { snd_lib_error_set_handler(nullptr); }
  AlsaQuietErrors(const AlsaQuietErrors&) = delete;
  AlsaQuietErrors& operator=(const AlsaQuietErrors&) = delete;

private:
  static void quiet(const char*, int, const char*, int, const char*, ...) {}
};
