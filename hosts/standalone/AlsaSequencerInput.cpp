#include "AlsaSequencerInput.h"

#include "AlsaQuietErrors.h"
#include "MidiPortMatch.h"

#include <poll.h>

#include <iostream>
#include <vector>

namespace
{
constexpr int kPollMilliseconds = 100;
constexpr int kSystemClient = 0;
constexpr unsigned kReadable = SND_SEQ_PORT_CAP_READ | SND_SEQ_PORT_CAP_SUBS_READ;
constexpr uint8_t kFirstChannelStatus = 0x80;
constexpr uint8_t kFirstSystemStatus = 0xF0;
constexpr long kDecodeBytes = 16;
} // namespace

AlsaSequencerInput::~AlsaSequencerInput()
{
  stop();
}

bool AlsaSequencerInput::start(const std::string& clientName, const std::string& wanted,
                               StandaloneSynth::MidiQueue& queue)
{
  {
    AlsaQuietErrors quiet;
    if (snd_seq_open(&mSequencer, "default", SND_SEQ_OPEN_INPUT, SND_SEQ_NONBLOCK) < 0) return false;
  }
  snd_seq_set_client_name(mSequencer, clientName.c_str());
  mPort = snd_seq_create_simple_port(mSequencer, "midi_in", SND_SEQ_PORT_CAP_WRITE | SND_SEQ_PORT_CAP_SUBS_WRITE,
                                     SND_SEQ_PORT_TYPE_MIDI_GENERIC | SND_SEQ_PORT_TYPE_APPLICATION);
  if (mPort < 0)
  {
    stop();
    return false;
  }
  if (!wanted.empty()) connectSources(wanted);
  mQueue = &queue;
  mRunning = true;
  mThread = std::thread(&AlsaSequencerInput::run, this);
  return true;
}

void AlsaSequencerInput::stop()
{
  mRunning = false;
  if (mThread.joinable()) mThread.join();
  if (mSequencer) snd_seq_close(mSequencer);
  mSequencer = nullptr;
}

void AlsaSequencerInput::connectSources(const std::string& wanted)
{
  const int self = snd_seq_client_id(mSequencer);
  snd_seq_client_info_t* client = nullptr;
  snd_seq_port_info_t* port = nullptr;
  snd_seq_client_info_alloca(&client);
  snd_seq_port_info_alloca(&port);
  bool connected = false;
  snd_seq_client_info_set_client(client, -1);
  while (snd_seq_query_next_client(mSequencer, client) >= 0)
  {
    const int id = snd_seq_client_info_get_client(client);
    if (id == self || id == kSystemClient) continue;
    snd_seq_port_info_set_client(port, id);
    snd_seq_port_info_set_port(port, -1);
    while (snd_seq_query_next_port(mSequencer, port) >= 0)
    {
      const std::string name =
          std::string(snd_seq_client_info_get_name(client)) + ":" + snd_seq_port_info_get_name(port);
      if ((snd_seq_port_info_get_capability(port) & kReadable) == kReadable && midiPortMatches(name, wanted))
        connected |= snd_seq_connect_from(mSequencer, mPort, id, snd_seq_port_info_get_port(port)) == 0;
    }
  }
  if (!connected) std::cerr << "tessaryn-standalone: " << noMidiPortMessage(wanted) << "\n";
}

void AlsaSequencerInput::run()
{
  snd_midi_event_t* decoder = nullptr;
  if (snd_midi_event_new(kDecodeBytes, &decoder) < 0) return;
  snd_midi_event_no_status(decoder, 1);
  std::vector<pollfd> fds(size_t(snd_seq_poll_descriptors_count(mSequencer, POLLIN)));
  snd_seq_poll_descriptors(mSequencer, fds.data(), unsigned(fds.size()), POLLIN);
  while (mRunning)
    if (poll(fds.data(), fds.size(), kPollMilliseconds) > 0) readPending(decoder);
  snd_midi_event_free(decoder);
}

void AlsaSequencerInput::readPending(snd_midi_event_t* decoder)
{
  snd_seq_event_t* event = nullptr;
  while (snd_seq_event_input(mSequencer, &event) >= 0 && event)
  {
    unsigned char bytes[kDecodeBytes];
    const long length = snd_midi_event_decode(decoder, bytes, kDecodeBytes, event);
    if (length < 1 || length > 3 || bytes[0] < kFirstChannelStatus || bytes[0] >= kFirstSystemStatus) continue;
    mQueue->push({bytes[0], length > 1 ? bytes[1] : uint8_t(0), length > 2 ? bytes[2] : uint8_t(0)});
  }
}
