#include "Lv2Urids.h"

#include <lv2/atom/atom.h>
#include <lv2/buf-size/buf-size.h>
#include <lv2/midi/midi.h>
#include <lv2/time/time.h>

void Lv2Urids::Map(const LV2_URID_Map& map, const std::string& stateUri)
{
  const auto id = [&map](const char* uri) { return map.map(map.handle, uri); };
  mAtomChunk = id(LV2_ATOM__Chunk);
  mAtomDouble = id(LV2_ATOM__Double);
  mAtomFloat = id(LV2_ATOM__Float);
  mAtomInt = id(LV2_ATOM__Int);
  mAtomLong = id(LV2_ATOM__Long);
  mAtomBlank = id(LV2_ATOM__Blank);
  mAtomObject = id(LV2_ATOM__Object);
  mAtomSequence = id(LV2_ATOM__Sequence);
  mMidiEvent = id(LV2_MIDI__MidiEvent);
  mTimePosition = id(LV2_TIME__Position);
  mTimeBar = id(LV2_TIME__bar);
  mTimeBarBeat = id(LV2_TIME__barBeat);
  mTimeBeatUnit = id(LV2_TIME__beatUnit);
  mTimeBeatsPerBar = id(LV2_TIME__beatsPerBar);
  mTimeBeatsPerMinute = id(LV2_TIME__beatsPerMinute);
  mTimeFrame = id(LV2_TIME__frame);
  mTimeSpeed = id(LV2_TIME__speed);
  mMaxBlockLength = id(LV2_BUF_SIZE__maxBlockLength);
  mNominalBlockLength = id(LV2_BUF_SIZE__nominalBlockLength);
  mState = id(stateUri.c_str());
}
