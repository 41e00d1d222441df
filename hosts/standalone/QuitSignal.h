#pragma once
// SIGINT and SIGTERM ask the main loop to quit: the handler only sets a flag,
// so saving the sound happens outside it.

class QuitSignal
{
public:
  static void install();
  static bool requested();
};
