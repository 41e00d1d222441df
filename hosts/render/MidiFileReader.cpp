// Standard MIDI Files through libsmf.

#include "MidiSong.h"

#include <smf.h>

#include <cerrno>
#include <cstring>
#include <fstream>
#include <memory>

namespace
{
constexpr double kMicrosecondsPerMinute = 60e6;
constexpr uint8_t kFirstChannelStatus = 0x80;
constexpr uint8_t kFirstSystemStatus = 0xF0;
constexpr char kSignature[] = "MThd";

// libsmf reports parse problems through GLib's log; the renderer says it in one line of its own.
class QuietGLibLog
{
public:
  QuietGLibLog() : mPrevious(g_log_set_default_handler(ignore, nullptr)) {}
  ~QuietGLibLog() { g_log_set_default_handler(mPrevious, nullptr); }
  QuietGLibLog(const QuietGLibLog&) = delete;
  QuietGLibLog& operator=(const QuietGLibLog&) = delete;

private:
  static void ignore(const gchar*, GLogLevelFlags, const gchar*, gpointer) {}
  GLogFunc mPrevious;
};

struct SmfDeleter
{
  void operator()(smf_t* smf) const { smf_delete(smf); }
};

bool isChannelMessage(const smf_event_t* event)
{
  return event->midi_buffer_length >= 1 && event->midi_buffer[0] >= kFirstChannelStatus &&
         event->midi_buffer[0] < kFirstSystemStatus;
}

void readTempoMap(smf_t* smf, TempoMap& map)
{
  for (int i = 0; smf_tempo_t* tempo = smf_get_tempo_by_number(smf, i); ++i)
    map.addChange(double(tempo->time_pulses) / smf->ppqn, kMicrosecondsPerMinute / tempo->microseconds_per_quarter_note,
                  tempo->numerator, tempo->denominator);
}

void readEvents(smf_t* smf, std::vector<SongEvent>& events)
{
  smf_rewind(smf);
  while (smf_event_t* event = smf_get_next_event(smf))
  {
    if (!isChannelMessage(event)) continue;
    const uint8_t* bytes = event->midi_buffer;
    const int length = event->midi_buffer_length;
    events.push_back({double(event->time_pulses) / smf->ppqn, bytes[0], length > 1 ? bytes[1] : uint8_t(0),
                      length > 2 ? bytes[2] : uint8_t(0)});
  }
}
} // namespace

RenderStatus readMidiFile(const std::string& path, MidiSong& song)
{
  std::ifstream file(path, std::ios::binary);
  if (!file)
    return RenderStatus::failure(kExitInput, "Cannot read the MIDI file '" + path + "': " + std::strerror(errno) +
                                                 ". Check the name and its permissions.");
  // libsmf leaks its record when parsing fails, so other files are turned away before it sees them.
  char signature[sizeof kSignature - 1] = {};
  if (!file.read(signature, sizeof signature) || std::memcmp(signature, kSignature, sizeof signature) != 0)
    return RenderStatus::failure(kExitInput, "The file '" + path +
                                                 "' is not a Standard MIDI File (it does not begin with MThd); "
                                                 "give a .mid file.");
  std::unique_ptr<smf_t, SmfDeleter> smf;
  {
    QuietGLibLog quiet;
    smf.reset(smf_load(path.c_str()));
  }
  if (!smf || smf->ppqn <= 0)
    return RenderStatus::failure(kExitInput, "The file '" + path +
                                                 "' is not a readable Standard MIDI File; give a .mid file "
                                                 "with beat-based timing.");
  song = MidiSong();
  readTempoMap(smf.get(), song.mTempoMap);
  readEvents(smf.get(), song.mEvents);
  return {};
}
