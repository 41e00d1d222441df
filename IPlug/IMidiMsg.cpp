#include "IMidiMsg.h"

#include <algorithm>

namespace
{
constexpr int kDataMask = 0x7F;
constexpr int kPitchWheelCentre = 8192;
constexpr int kPitchWheelMax = 16383;

uint8_t dataByte(int value)
{
  return static_cast<uint8_t>(std::clamp(value, 0, kDataMask));
}

// Truncates toward zero in double before converting, so that huge or
// non-finite arguments clamp instead of overflowing the int conversion.
int scaledTruncated(double value, double scale, int lo, int hi)
{
  const double scaled = value * scale;
  if (!(scaled > lo)) return lo; // also catches NaN
  if (scaled >= hi) return hi;
  return static_cast<int>(scaled);
}
} // namespace

void IMidiMsg::set(int offset, int kindNibble, int channel, int data1, int data2)
{
  mOffset = offset;
  mStatus = static_cast<uint8_t>((kindNibble << 4) | (channel & 0x0F));
  mData1 = dataByte(data1);
  mData2 = dataByte(data2);
}

void IMidiMsg::MakeNoteOnMsg(int noteNumber, int velocity, int offset, int channel)
{
  set(offset, kNoteOn, channel, noteNumber, velocity);
}

void IMidiMsg::MakeNoteOffMsg(int noteNumber, int offset, int channel)
{
  set(offset, kNoteOff, channel, noteNumber, 0);
}

void IMidiMsg::MakePitchWheelMsg(double value, int channel)
{
  const int i = kPitchWheelCentre +
                scaledTruncated(value, kPitchWheelCentre, -kPitchWheelCentre, kPitchWheelMax - kPitchWheelCentre);
  set(0, kPitchWheel, channel, i & kDataMask, i >> 7);
}

void IMidiMsg::MakeControlChangeMsg(EControlChangeMsg idx, double value, int channel)
{
  set(0, kControlChange, channel, idx, scaledTruncated(value, kDataMask, 0, kDataMask));
}

void IMidiMsg::Clear()
{
  *this = IMidiMsg();
}

int IMidiMsg::Channel() const
{
  return mStatus & 0x0F;
}

IMidiMsg::EStatusMsg IMidiMsg::StatusMsg() const
{
  const int nibble = mStatus >> 4;
  return nibble >= kNoteOff && nibble <= kPitchWheel ? static_cast<EStatusMsg>(nibble) : kNone;
}

int IMidiMsg::NoteNumber() const
{
  return isKind(kNoteOff) || isKind(kNoteOn) || isKind(kPolyAftertouch) ? mData1 & kDataMask : -1;
}

int IMidiMsg::Velocity() const
{
  return isKind(kNoteOff) || isKind(kNoteOn) ? mData2 & kDataMask : -1;
}

int IMidiMsg::PolyAfterTouch() const
{
  return isKind(kPolyAftertouch) ? mData2 & kDataMask : -1;
}

int IMidiMsg::ChannelAfterTouch() const
{
  return isKind(kChannelAftertouch) ? mData1 & kDataMask : -1;
}

int IMidiMsg::Program() const
{
  return isKind(kProgramChange) ? mData1 & kDataMask : -1;
}

double IMidiMsg::PitchWheel() const
{
  if (!isKind(kPitchWheel)) return 0.0;
  const int i = (mData2 & kDataMask) * 128 + (mData1 & kDataMask);
  return (i - kPitchWheelCentre) / static_cast<double>(kPitchWheelCentre);
}

IMidiMsg::EControlChangeMsg IMidiMsg::ControlChangeIdx() const
{
  return static_cast<EControlChangeMsg>(mData1 & kDataMask);
}

double IMidiMsg::ControlChange(EControlChangeMsg idx) const
{
  if (!isKind(kControlChange) || ControlChangeIdx() != idx) return -1.0;
  return (mData2 & kDataMask) / static_cast<double>(kDataMask);
}

const char* IMidiMsg::StatusMsgStr(EStatusMsg msg)
{
  switch (msg)
  {
  case kNone:
    return "none";
  case kNoteOff:
    return "noteoff";
  case kNoteOn:
    return "noteon";
  case kPolyAftertouch:
    return "aftertouch";
  case kControlChange:
    return "controlchange";
  case kProgramChange:
    return "programchange";
  case kChannelAftertouch:
    return "channelaftertouch";
  case kPitchWheel:
    return "pitchwheel";
  }
  return "unknown";
}

void ISysEx::Clear()
{
  *this = ISysEx();
}

char* SysExStr(char* str, int maxlen, const uint8_t* pData, int size)
{
  static constexpr char kHex[] = "0123456789ABCDEF";
  if (!str || maxlen < 1) return str;
  const int n = pData ? std::clamp(size, 0, maxlen / 3) : 0;
  char* out = str;
  for (int i = 0; i < n; ++i)
  {
    if (i > 0) *out++ = ' ';
    *out++ = kHex[pData[i] >> 4];
    *out++ = kHex[pData[i] & 0x0F];
  }
  *out = '\0';
  return str;
}
