#pragma once
// One channel message as the front-end passes it to the audio thread.

#include <cstdint>

struct MidiEvent
{
  uint8_t mStatus = 0;
  uint8_t mData1 = 0;
  uint8_t mData2 = 0;
};
