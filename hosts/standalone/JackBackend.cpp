#include "JackBackend.h"

#include "MidiPortMatch.h"
#include "StandaloneSynth.h"

#include <jack/midiport.h>

#include <algorithm>
#include <chrono>
#include <iostream>
#include <thread>

namespace
{
constexpr uint8_t kFirstChannelStatus = 0x80;
constexpr uint8_t kFirstSystemStatus = 0xF0;

struct JackPortList
{
  explicit JackPortList(const char** names) : mNames(names) {}
  ~JackPortList() { jack_free(mNames); }
  JackPortList(const JackPortList&) = delete;
  JackPortList& operator=(const JackPortList&) = delete;
  const char** mNames;
};

void quiet(const char*) {}

void reportJackError(const char* message)
{
  std::cerr << "tessaryn-standalone: JACK: " << message << "\n";
}

bool isChannelMessage(const jack_midi_event_t& event)
{
  return event.size >= 1 && event.size <= 3 && event.buffer[0] >= kFirstChannelStatus &&
         event.buffer[0] < kFirstSystemStatus;
}
} // namespace

JackBackend::~JackBackend()
{
  stop();
  if (mClient) jack_client_close(mClient);
}

RenderStatus JackBackend::open(const StandaloneOptions& options)
{
  // Without a server the library explains it at length; the one line below says it all.
  jack_set_error_function(quiet);
  jack_set_info_function(quiet);
  jack_status_t status{};
  mClient = jack_client_open(options.mClientName.c_str(), JackNoStartServer, &status);
  jack_set_error_function(reportJackError);
  if (!mClient) return audioFailure("no JACK server is running; start one (e.g. with qjackctl) or use --backend alsa.");
  jack_set_process_callback(mClient, process, this);
  jack_on_shutdown(mClient, shutdown, this);
  mLeft = jack_port_register(mClient, "out_left", JACK_DEFAULT_AUDIO_TYPE, JackPortIsOutput | JackPortIsTerminal, 0);
  mRight = jack_port_register(mClient, "out_right", JACK_DEFAULT_AUDIO_TYPE, JackPortIsOutput | JackPortIsTerminal, 0);
  mMidi = jack_port_register(mClient, "midi_in", JACK_DEFAULT_MIDI_TYPE, JackPortIsInput | JackPortIsTerminal, 0);
  if (!mLeft || !mRight || !mMidi) return audioFailure("the JACK server refused the client's ports.");
  return {};
}

uint32_t JackBackend::sampleRate() const
{
  return jack_get_sample_rate(mClient);
}

uint32_t JackBackend::bufferFrames() const
{
  return jack_get_buffer_size(mClient);
}

std::string JackBackend::description() const
{
  return std::string("JACK as '") + jack_get_client_name(mClient) + "'";
}

RenderStatus JackBackend::start(StandaloneSynth& synth, const StandaloneOptions& options)
{
  mSynth = &synth;
  if (jack_activate(mClient) != 0) return audioFailure("the JACK server would not run the client.");
  mActive = true;
  connectOutputs();
  if (!options.mMidiIn.empty()) connectMidi(options.mMidiIn);
  return {};
}

// JACK ends its process thread by cancelling it, which can strike at any
// instruction: the instrument must not be in its render then (it may hold the
// instrument's lock, which saving the sound needs next). So the callback goes
// quiet first, and a quiet cycle shows that the last render has ended.
void JackBackend::stop()
{
  if (!mActive) return;
  mQuiet = true;
  waitForAQuietCycle();
  jack_deactivate(mClient);
  mActive = false;
}

void JackBackend::waitForAQuietCycle() const
{
  // A server that stopped calling the client gives up the wait.
  constexpr auto kPatience = std::chrono::seconds(1);
  const uint32_t before = mQuietCycles;
  const auto deadline = std::chrono::steady_clock::now() + kPatience;
  while (mQuietCycles == before && !mLost && std::chrono::steady_clock::now() < deadline)
    std::this_thread::sleep_for(std::chrono::milliseconds(1));
}

// The system's first two playback ports, as a user expects from an instrument.
void JackBackend::connectOutputs()
{
  const JackPortList playback(
      jack_get_ports(mClient, nullptr, JACK_DEFAULT_AUDIO_TYPE, JackPortIsPhysical | JackPortIsInput));
  if (!playback.mNames || !playback.mNames[0]) return;
  jack_connect(mClient, jack_port_name(mLeft), playback.mNames[0]);
  jack_connect(mClient, jack_port_name(mRight), playback.mNames[1] ? playback.mNames[1] : playback.mNames[0]);
}

void JackBackend::connectMidi(const std::string& wanted)
{
  const JackPortList sources(jack_get_ports(mClient, nullptr, JACK_DEFAULT_MIDI_TYPE, JackPortIsOutput));
  bool connected = false;
  for (const char** name = sources.mNames; name && *name; ++name)
    if (jack_port_by_name(mClient, *name) && !jack_port_is_mine(mClient, jack_port_by_name(mClient, *name)) &&
        midiPortMatches(*name, wanted))
      connected |= jack_connect(mClient, *name, jack_port_name(mMidi)) == 0;
  if (!connected) std::cerr << "tessaryn-standalone: " << noMidiPortMessage(wanted) << "\n";
}

int JackBackend::process(jack_nframes_t frames, void* self)
{
  JackBackend& backend = *static_cast<JackBackend*>(self);
  if (backend.mQuiet) return backend.writeSilence(frames);
  void* midi = jack_port_get_buffer(backend.mMidi, frames);
  const uint32_t count = jack_midi_get_event_count(midi);
  for (uint32_t i = 0; i < count; ++i)
  {
    jack_midi_event_t event;
    if (jack_midi_event_get(&event, midi, i) != 0 || !isChannelMessage(event)) continue;
    backend.mSynth->receiveMidi({event.buffer[0], event.size > 1 ? event.buffer[1] : uint8_t(0),
                                 event.size > 2 ? event.buffer[2] : uint8_t(0)},
                                event.time);
  }
  backend.mSynth->renderBlock(static_cast<float*>(jack_port_get_buffer(backend.mLeft, frames)),
                              static_cast<float*>(jack_port_get_buffer(backend.mRight, frames)), frames);
  return 0;
}

int JackBackend::writeSilence(jack_nframes_t frames)
{
  for (jack_port_t* port : {mLeft, mRight})
  {
    auto* samples = static_cast<float*>(jack_port_get_buffer(port, frames));
    std::fill(samples, samples + frames, 0.0f);
  }
  ++mQuietCycles;
  return 0;
}

void JackBackend::shutdown(void* self)
{
  static_cast<JackBackend*>(self)->mLost = true;
}
