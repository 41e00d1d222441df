#pragma once
// The song played when no MIDI file is given: about half a minute that walks
// through the instrument's sides with its factory programs.

#include "MidiSong.h"

#include <string>

// Program numbers in the factory bank, which keeps its sounds in this order:
// basses, leads, sync leads, poly chords, chord stabs, pads, arpeggios.
struct DemoPrograms
{
  static constexpr uint8_t kBass = 0;
  static constexpr uint8_t kGlideLead = 8;
  static constexpr uint8_t kPolyChords = 24;
  static constexpr uint8_t kArpeggio = 48;
};

MidiSong demoSong();

// "C4" is 60; "A#1", "Eb2" and "C-1" (0) as usual. -1 for anything else.
int noteNumber(const std::string& name);
