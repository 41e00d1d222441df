#include "TestJackClient.h"

#include <jack/midiport.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <thread>

TestJackClient::TestJackClient()
{
  mClient = jack_client_open("tester", JackNoStartServer, nullptr);
  if (!mClient) return;
  mMidi = jack_port_register(mClient, "midi_out", JACK_DEFAULT_MIDI_TYPE, JackPortIsOutput, 0);
  mInput = jack_port_register(mClient, "in", JACK_DEFAULT_AUDIO_TYPE, JackPortIsInput, 0);
  jack_set_process_callback(mClient, process, this);
  jack_activate(mClient);
}

TestJackClient::~TestJackClient()
{
  if (mClient) jack_client_close(mClient);
}

int TestJackClient::process(jack_nframes_t frames, void* self)
{
  TestJackClient& client = *static_cast<TestJackClient*>(self);
  void* midi = jack_port_get_buffer(client.mMidi, frames);
  jack_midi_clear_buffer(midi);
  const jack_midi_data_t noteOn[] = {0x90, 60, 100};
  if (client.mPlayNote.exchange(false)) jack_midi_event_write(midi, 0, noteOn, sizeof noteOn);
  const float* input = static_cast<const float*>(jack_port_get_buffer(client.mInput, frames));
  float peak = 0.0f;
  for (jack_nframes_t i = 0; i < frames; ++i)
    peak = std::max(peak, std::fabs(input[i]));
  for (float seen = client.mPeak.load(); peak > seen && !client.mPeak.compare_exchange_weak(seen, peak);)
  {
  }
  return 0;
}

bool TestJackClient::waitForSound(float level, bool replayNote)
{
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
  while (std::chrono::steady_clock::now() < deadline)
  {
    if (replayNote) playNote();
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
    if (takePeak() > level) return true;
  }
  return false;
}
