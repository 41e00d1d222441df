#include "DemoSong.h"

#include <algorithm>
#include <sstream>

namespace
{
constexpr double kTempo = 120.0;
constexpr uint8_t kNoteOn = 0x90;
constexpr uint8_t kNoteOff = 0x80;
constexpr uint8_t kProgramChange = 0xC0;
constexpr double kEighth = 0.5;
constexpr double kQuarter = 1.0;
constexpr double kBar = 4.0;
// Notes of a glide line overlap by this much, so each key arrives while the last is held.
constexpr double kLegatoOverlap = 1.0 / 16;

// One line of music on a grid of `step` beats. Tokens: a note ("A2"), a
// chord ("A3+C4+E4"), "-" holds the previous one a step longer, "." rests.
struct Phrase
{
  uint8_t mProgram;
  double mStart;
  double mStep;
  uint8_t mVelocity;
  double mOverlap;
  const char* mPattern;
};

// Bars 1-4 bass, 5-8 a gliding lead, 9-12 chords in Poly, 13-15 an arpeggio
// of held chords: 15 bars of 4/4 at 120 beats per minute, 30 seconds.
const Phrase kDemo[] = {
    {DemoPrograms::kBass, 0 * kBar, kEighth, 110, 0.0,
     "A1 . A2 A1 . A1 G1 C2  A1 . A2 A1 E2 D2 C2 G1 "
     "F1 . F2 F1 . F1 E1 F1  G1 . G2 G1 B1 D2 G2 E2"},
    {DemoPrograms::kGlideLead, 4 * kBar, kEighth, 96, kLegatoOverlap,
     "E4 - - - A4 - C5 -  B4 - - G4 - - E4 -  "
     "F4 - - - A4 - D5 -  C5 - B4 - G4 - - -"},
    {DemoPrograms::kPolyChords, 8 * kBar, kQuarter, 90, 0.0,
     "A3+C4+E4 - - A3+C4+E4  F3+A3+C4 - - F3+A3+C4  "
     "C4+E4+G4 - - C4+E4+G4  G3+B3+D4 - - -"},
    {DemoPrograms::kArpeggio, 12 * kBar, kBar, 100, 0.0, "A3+C4+E4+A4 F3+A3+C4+F4 E3+G#3+B3+E4"},
};

std::vector<int> chordNotes(const std::string& token)
{
  std::vector<int> notes;
  std::istringstream parts(token);
  for (std::string name; std::getline(parts, name, '+');)
    notes.push_back(noteNumber(name));
  return notes;
}

void addNotes(std::vector<SongEvent>& events, const Phrase& phrase, const std::vector<int>& notes, double on,
              double off)
{
  for (int note : notes)
  {
    events.push_back({on, kNoteOn, uint8_t(note), phrase.mVelocity});
    events.push_back({off + phrase.mOverlap, kNoteOff, uint8_t(note), 0});
  }
}

void addPhrase(std::vector<SongEvent>& events, const Phrase& phrase)
{
  events.push_back({phrase.mStart, kProgramChange, phrase.mProgram, 0});
  std::istringstream tokens(phrase.mPattern);
  std::vector<int> held;
  double heldFrom = 0.0;
  double beat = phrase.mStart;
  for (std::string token; tokens >> token; beat += phrase.mStep)
  {
    if (token == "-") continue;
    addNotes(events, phrase, held, heldFrom, beat);
    held = token == "." ? std::vector<int>() : chordNotes(token);
    heldFrom = beat;
  }
  addNotes(events, phrase, held, heldFrom, beat);
}

// At one instant: releases first, then program changes, then new notes.
int orderAtSameBeat(const SongEvent& event)
{
  switch (event.mStatus & 0xF0)
  {
  case kNoteOff:
    return 0;
  case kProgramChange:
    return 1;
  default:
    return 2;
  }
}
} // namespace

int noteNumber(const std::string& name)
{
  static const std::string kLetters = "C D EF G A B";
  const size_t letter = name.empty() ? std::string::npos : kLetters.find(name[0]);
  if (letter == std::string::npos || name[0] == ' ') return -1;
  size_t i = 1;
  int note = int(letter);
  if (i < name.size() && (name[i] == '#' || name[i] == 'b')) note += name[i++] == '#' ? 1 : -1;
  int octave = 0;
  std::istringstream rest(name.substr(i));
  if (!(rest >> octave) || !rest.eof()) return -1;
  note += (octave + 1) * 12;
  return note >= 0 && note <= 127 ? note : -1;
}

MidiSong demoSong()
{
  MidiSong song;
  song.mTempoMap = TempoMap(kTempo);
  for (const Phrase& phrase : kDemo)
    addPhrase(song.mEvents, phrase);
  std::stable_sort(song.mEvents.begin(), song.mEvents.end(),
                   [](const SongEvent& a, const SongEvent& b)
                   { return a.mBeat < b.mBeat || (a.mBeat == b.mBeat && orderAtSameBeat(a) < orderAtSameBeat(b)); });
  return song;
}
