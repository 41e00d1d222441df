#include "Lv2TestHost.h"

#include "Lv2Instrument.h"

#include <lv2/atom/util.h>
#include <lv2/buf-size/buf-size.h>
#include <lv2/midi/midi.h>
#include <lv2/presets/presets.h>
#include <lv2/time/time.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>

Lv2TestHost::Lv2TestHost(const char* uri)
{
  setenv("LV2_PATH", TESSARYN_LV2_DIR ":/usr/lib/lv2", 1);
  mWorld = lilv_world_new();
  lilv_world_load_all(mWorld);
  LilvNode* node = lilv_new_uri(mWorld, uri);
  mPlugin = lilv_plugins_get_by_uri(lilv_world_get_all_plugins(mWorld), node);
  lilv_node_free(node);
  lv2_atom_forge_init(&mForge, &mMap);
}

Lv2TestHost::~Lv2TestHost()
{
  if (mInstance) lilv_instance_free(mInstance);
  lilv_world_free(mWorld);
}

LV2_URID Lv2TestHost::map(LV2_URID_Map_Handle handle, const char* uri)
{
  auto& uris = static_cast<Lv2TestHost*>(handle)->mUris;
  const auto found = std::find(uris.begin(), uris.end(), uri);
  if (found != uris.end()) return LV2_URID(found - uris.begin() + 1);
  uris.emplace_back(uri);
  return LV2_URID(uris.size());
}

const char* Lv2TestHost::unmap(LV2_URID_Unmap_Handle handle, LV2_URID urid)
{
  const auto& uris = static_cast<Lv2TestHost*>(handle)->mUris;
  return urid >= 1 && urid <= uris.size() ? uris[urid - 1].c_str() : nullptr;
}

bool Lv2TestHost::Instantiate(double sampleRate, int32_t maxBlock)
{
  if (!mPlugin) return false;
  mMaxBlock = maxBlock;
  const LV2_URID intType = Map(LV2_ATOM__Int);
  mOptions = {{LV2_OPTIONS_INSTANCE, 0, Map(LV2_BUF_SIZE__maxBlockLength), sizeof(int32_t), intType, &mMaxBlock},
              {LV2_OPTIONS_INSTANCE, 0, 0, 0, 0, nullptr}};
  mOptionsFeature.data = mOptions.data();
  mFeatures = {&mMapFeature, &mUnmapFeature, &mOptionsFeature, nullptr};
  mInstance = lilv_plugin_instantiate(mPlugin, sampleRate, mFeatures.data());
  if (!mInstance) return false;

  const uint32_t ports = lilv_plugin_get_num_ports(mPlugin);
  std::vector<float> defaults(ports);
  lilv_plugin_get_port_ranges_float(mPlugin, nullptr, nullptr, defaults.data());
  LilvNode* controlPort = lilv_new_uri(mWorld, LV2_CORE__ControlPort);
  uint32_t end = Lv2Instrument::kFirstControlPort;
  while (end < ports && lilv_port_is_a(mPlugin, lilv_plugin_get_port_by_index(mPlugin, end), controlPort))
    ++end;
  lilv_node_free(controlPort);
  mControls.assign(defaults.begin() + Lv2Instrument::kFirstControlPort, defaults.begin() + end);
  for (uint32_t i = 0; i < mControls.size(); ++i)
    lilv_instance_connect_port(mInstance, Lv2Instrument::kFirstControlPort + i, &mControls[i]);
  // The MIDI output follows the controls.
  if (end < ports) lilv_instance_connect_port(mInstance, end, mMidiOutBuffer.data());
  mBlockLeft.resize(maxBlock);
  mBlockRight.resize(maxBlock);
  lilv_instance_connect_port(mInstance, Lv2Instrument::kLeftPort, mBlockLeft.data());
  lilv_instance_connect_port(mInstance, Lv2Instrument::kRightPort, mBlockRight.data());
  lilv_instance_connect_port(mInstance, Lv2Instrument::kEventsPort, mEventBuffer.data());
  lilv_instance_activate(mInstance);
  BeginEvents();
  return true;
}

void Lv2TestHost::BeginEvents()
{
  lv2_atom_forge_set_buffer(&mForge, reinterpret_cast<uint8_t*>(mEventBuffer.data()),
                            mEventBuffer.size() * sizeof(uint64_t));
  lv2_atom_forge_sequence_head(&mForge, &mSequenceFrame, 0);
}

void* Lv2TestHost::EndEvents()
{
  lv2_atom_forge_pop(&mForge, &mSequenceFrame);
  return mEventBuffer.data();
}

void Lv2TestHost::Midi(int64_t frame, uint8_t status, uint8_t data1, uint8_t data2)
{
  const uint8_t bytes[] = {status, data1, data2};
  lv2_atom_forge_frame_time(&mForge, frame);
  lv2_atom_forge_atom(&mForge, sizeof bytes, Map(LV2_MIDI__MidiEvent));
  lv2_atom_forge_write(&mForge, bytes, sizeof bytes);
}

void Lv2TestHost::Position(int64_t frame, const Lv2Position& position)
{
  LV2_Atom_Forge_Frame object;
  lv2_atom_forge_frame_time(&mForge, frame);
  lv2_atom_forge_object(&mForge, &object, 0, Map(LV2_TIME__Position));
  lv2_atom_forge_key(&mForge, Map(LV2_TIME__beatsPerMinute));
  lv2_atom_forge_double(&mForge, position.mTempo);
  lv2_atom_forge_key(&mForge, Map(LV2_TIME__bar));
  lv2_atom_forge_long(&mForge, position.mBar);
  lv2_atom_forge_key(&mForge, Map(LV2_TIME__barBeat));
  lv2_atom_forge_float(&mForge, position.mBarBeat);
  lv2_atom_forge_key(&mForge, Map(LV2_TIME__beatsPerBar));
  lv2_atom_forge_float(&mForge, position.mBeatsPerBar);
  lv2_atom_forge_key(&mForge, Map(LV2_TIME__beatUnit));
  lv2_atom_forge_int(&mForge, position.mBeatUnit);
  lv2_atom_forge_key(&mForge, Map(LV2_TIME__speed));
  lv2_atom_forge_float(&mForge, position.mSpeed);
  lv2_atom_forge_pop(&mForge, &object);
}

void Lv2TestHost::Run(uint32_t frames)
{
  EndEvents();
  auto* out = reinterpret_cast<LV2_Atom_Sequence*>(mMidiOutBuffer.data());
  out->atom = {uint32_t(mMidiOutBuffer.size() * sizeof(uint64_t) - sizeof(LV2_Atom)), Map(LV2_ATOM__Chunk)};
  lilv_instance_run(mInstance, frames);
  // What the plug-in did not write as a sequence reads as an empty one.
  if (out->atom.type != Map(LV2_ATOM__Sequence)) out->atom.size = sizeof(LV2_Atom_Sequence_Body);
  LV2_ATOM_SEQUENCE_FOREACH(out, event)
  {
    if (event->body.type != Map(LV2_MIDI__MidiEvent)) continue;
    const auto* bytes = static_cast<const uint8_t*>(LV2_ATOM_BODY_CONST(&event->body));
    mMidiOut.push_back({uint32_t(mLeft.size() + event->time.frames), bytes[0],
                        event->body.size > 1 ? bytes[1] : uint8_t(0), event->body.size > 2 ? bytes[2] : uint8_t(0)});
  }
  mLeft.insert(mLeft.end(), mBlockLeft.begin(), mBlockLeft.begin() + frames);
  mRight.insert(mRight.end(), mBlockRight.begin(), mBlockRight.begin() + frames);
  BeginEvents();
}

const LilvPort* Lv2TestHost::PortBySymbol(const char* symbol) const
{
  LilvNode* node = lilv_new_string(mWorld, symbol);
  const LilvPort* port = lilv_plugin_get_port_by_symbol(mPlugin, node);
  lilv_node_free(node);
  return port;
}

float* Lv2TestHost::controlBySymbol(const char* symbol)
{
  const LilvPort* port = PortBySymbol(symbol);
  if (!port) return nullptr;
  const uint32_t index = lilv_port_get_index(mPlugin, port);
  return index >= Lv2Instrument::kFirstControlPort ? &mControls[index - Lv2Instrument::kFirstControlPort] : nullptr;
}

const void* Lv2TestHost::portValue(const char* symbol, void* userData, uint32_t* size, uint32_t* type)
{
  auto* self = static_cast<Lv2TestHost*>(userData);
  const float* value = self->controlBySymbol(symbol);
  *size = value ? sizeof(float) : 0;
  *type = self->Map(LV2_ATOM__Float);
  return value;
}

void Lv2TestHost::setPortValue(const char* symbol, void* userData, const void* value, uint32_t size, uint32_t)
{
  float* control = static_cast<Lv2TestHost*>(userData)->controlBySymbol(symbol);
  if (control && size == sizeof(float)) std::memcpy(control, value, sizeof(float));
}

LilvState* Lv2TestHost::Save() const
{
  return lilv_state_new_from_instance(mPlugin, mInstance, const_cast<LV2_URID_Map*>(&mMap), nullptr, nullptr, nullptr,
                                      nullptr, portValue, const_cast<Lv2TestHost*>(this), 0, mFeatures.data());
}

void Lv2TestHost::Restore(const LilvState* state)
{
  lilv_state_restore(state, mInstance, setPortValue, this, 0, mFeatures.data());
}

std::vector<LilvState*> Lv2TestHost::presetStates() const
{
  std::vector<LilvState*> states;
  LilvNode* presetClass = lilv_new_uri(mWorld, LV2_PRESETS__Preset);
  LilvNodes* presets = lilv_plugin_get_related(mPlugin, presetClass);
  LILV_FOREACH(nodes, i, presets)
  {
    if (LilvState* state =
            lilv_state_new_from_world(mWorld, const_cast<LV2_URID_Map*>(&mMap), lilv_nodes_get(presets, i)))
      states.push_back(state);
  }
  lilv_nodes_free(presets);
  lilv_node_free(presetClass);
  return states;
}

std::vector<std::string> Lv2TestHost::PresetLabels() const
{
  std::vector<std::string> labels;
  for (LilvState* state : presetStates())
  {
    labels.emplace_back(lilv_state_get_label(state) ? lilv_state_get_label(state) : "");
    lilv_state_free(state);
  }
  std::sort(labels.begin(), labels.end());
  return labels;
}

LilvState* Lv2TestHost::Preset(const std::string& program) const
{
  const std::string suffix = ": " + program;
  LilvState* found = nullptr;
  for (LilvState* state : presetStates())
  {
    const std::string label = lilv_state_get_label(state);
    if (!found && label.size() > suffix.size() && label.ends_with(suffix))
      found = state;
    else
      lilv_state_free(state);
  }
  return found;
}
