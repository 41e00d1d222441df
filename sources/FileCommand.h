#pragma once
// The options menu's commands, numbered by the position of their items in the
// menu; the numbers in between are separators and submenu headers.

namespace File
{
enum Command
{
  CopyProgram = 0,
  PasteProgram = 1,
  InitProgram = 2,
  LoadProgram = 4,
  SaveProgram = 5,
  LoadBank = 6,
  SaveBank = 7,
  DefaultPath = 9,
  ReloadConfiguration = 11,
  SaveConfiguration = 12,
  SelectStartupBank = 13,
  LoadStartupBank = 14,
  UnselectStartupBank = 15,
  MidiThru = 18,
  IgnoreProgramChange = 19,
  CheckForUpdate = 20,
  VisitWebSite = 21,
};
} // namespace File
