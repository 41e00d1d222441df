#pragma once
// The whole of tessaryn-render over a given component: parse the options,
// read the song, render it and say what happened. The executable only
// registers the instrument and calls this.

#include "ComponentManager.h"

#include <ostream>
#include <string>
#include <vector>

struct RenderConsole
{
  std::ostream& mOut;
  std::ostream& mErr;
  bool mErrIsTerminal = false; // draws the progress bar
};

// args: the arguments after the program name. Returns the exit code; every
// failure has written one line to mErr.
int runRenderCommand(Component component, const std::vector<std::string>& args, RenderConsole& console);
