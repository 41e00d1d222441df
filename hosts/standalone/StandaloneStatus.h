#pragma once
// The standalone reports like the renderer: success, or an exit code with one
// line for stderr. Usage errors (2) and instrument failures (5) keep the
// renderer's codes; these are its own.

#include "RenderStatus.h"

enum StandaloneExitCode
{
  kExitState = 3, // the state file could not be read or written
  kExitAudio = 4, // no audio device or server could be opened
};
