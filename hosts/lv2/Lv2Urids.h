#pragma once
// The URIDs the plug-in compares against on the audio thread, mapped once at
// instantiation so that run() never calls the host's map.

#include <lv2/urid/urid.h>

#include <string>

struct Lv2Urids
{
  LV2_URID mAtomChunk = 0;
  LV2_URID mAtomDouble = 0;
  LV2_URID mAtomFloat = 0;
  LV2_URID mAtomInt = 0;
  LV2_URID mAtomLong = 0;
  LV2_URID mAtomBlank = 0;
  LV2_URID mAtomObject = 0;
  LV2_URID mAtomSequence = 0;
  LV2_URID mMidiEvent = 0;
  LV2_URID mTimePosition = 0;
  LV2_URID mTimeBar = 0;
  LV2_URID mTimeBarBeat = 0;
  LV2_URID mTimeBeatUnit = 0;
  LV2_URID mTimeBeatsPerBar = 0;
  LV2_URID mTimeBeatsPerMinute = 0;
  LV2_URID mTimeFrame = 0;
  LV2_URID mTimeSpeed = 0;
  LV2_URID mMaxBlockLength = 0;
  LV2_URID mNominalBlockLength = 0;
  LV2_URID mState = 0; // the plug-in's one state property

  // Instantiation thread.
  void Map(const LV2_URID_Map& map, const std::string& stateUri);
};
