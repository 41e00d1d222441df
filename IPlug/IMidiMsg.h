#pragma once
// Short MIDI messages and system-exclusive blocks, each stamped with the sample
// frame of the current block at which it takes effect. Plain values: building,
// copying and decoding them allocates nothing, so any thread may use them,
// the audio thread included.

#include <cstdint>

struct IMidiMsg
{
  enum EStatusMsg : int
  {
    kNone = 0,
    kNoteOff = 8,
    kNoteOn = 9,
    kPolyAftertouch = 10,
    kControlChange = 11,
    kProgramChange = 12,
    kChannelAftertouch = 13,
    kPitchWheel = 14
  };

  // Any controller number 0 to 127; the named ones are those the instrument
  // treats specially.
  enum EControlChangeMsg : int
  {
    kModWheel = 1,
    kAllSoundOff = 120,
    kAllNotesOff = 123
  };

  int mOffset = 0;
  uint8_t mStatus = 0;
  uint8_t mData1 = 0;
  uint8_t mData2 = 0;

  IMidiMsg() = default;
  IMidiMsg(int offset, uint8_t status, uint8_t data1, uint8_t data2)
      : mOffset(offset), mStatus(status), mData1(data1), mData2(data2)
  {
  }

  // Builders keep every data byte within 0..127 and the channel within 0..15,
  // so an out-of-range argument can never turn into a status byte or change
  // the message kind.
  void MakeNoteOnMsg(int noteNumber, int velocity, int offset, int channel);
  void MakeNoteOffMsg(int noteNumber, int offset, int channel);
  // value -1.0 .. +1.0, centre 0.0.
  void MakePitchWheelMsg(double value, int channel);
  // value 0.0 .. 1.0.
  void MakeControlChangeMsg(EControlChangeMsg idx, double value, int channel);
  void Clear();

  // Decoders read data bytes as 7-bit values, so bytes with the top bit set
  // (malformed input) still decode within the MIDI ranges. Those that do not
  // apply to the message's kind return -1 (PitchWheel: 0.0, ControlChange: -1.0).
  int Channel() const;
  EStatusMsg StatusMsg() const;
  int NoteNumber() const;
  int Velocity() const;
  int PolyAfterTouch() const;
  int ChannelAfterTouch() const;
  int Program() const;
  // -1.0 .. just below +1.0.
  double PitchWheel() const;
  EControlChangeMsg ControlChangeIdx() const;
  // 0.0 .. 1.0 for a control change on controller idx.
  double ControlChange(EControlChangeMsg idx) const;

  static const char* StatusMsgStr(EStatusMsg msg);

private:
  // Tests the high nibble directly, unlike StatusMsg(), which maps unknown kinds to kNone.
  bool isKind(EStatusMsg msg) const { return (mStatus & 0xF0) == msg << 4; }
  void set(int offset, int kindNibble, int channel, int data1, int data2);
};

// A system-exclusive block as the host delivers it. The data belongs to the
// caller and is valid only during the call that hands it over.
struct ISysEx
{
  int mOffset = 0;
  int mSize = 0;
  const uint8_t* mData = nullptr;

  ISysEx() = default;
  ISysEx(int offset, const uint8_t* data, int size) : mOffset(offset), mSize(size), mData(data) {}

  void Clear();
};

// Writes the bytes as upper-case hex pairs separated by blanks, as many as fit
// in maxlen (three characters per byte, the last blank becoming the
// terminator), and returns str.
char* SysExStr(char* str, int maxlen, const uint8_t* pData, int size);
