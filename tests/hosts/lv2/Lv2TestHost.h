#pragma once
// A small LV2 host on lilv for the tests: loads the bundles under the build
// tree's LV2 folder, instantiates a plug-in with urid:map and block-length
// options, forges MIDI and time positions into its event port, runs it,
// collects what its MIDI output sends, and saves and restores its state the
// way hosts do.

#include "ComponentManager.h"

#include <lilv/lilv.h>
#include <lv2/atom/forge.h>
#include <lv2/options/options.h>
#include <lv2/urid/urid.h>

#include <cstdint>
#include <string>
#include <vector>

struct Lv2TestMidi
{
  uint32_t mFrame;
  uint8_t mStatus, mData1, mData2;
  bool operator==(const Lv2TestMidi&) const = default;
};

struct Lv2Position
{
  double mTempo;
  int64_t mBar;
  float mBarBeat;
  float mBeatsPerBar;
  int32_t mBeatUnit;
  float mSpeed;
};

class Lv2TestHost
{
public:
  explicit Lv2TestHost(const char* uri);
  ~Lv2TestHost();
  Lv2TestHost(const Lv2TestHost&) = delete;
  Lv2TestHost& operator=(const Lv2TestHost&) = delete;

  LilvWorld* World() const { return mWorld; }
  const LilvPlugin* Plugin() const { return mPlugin; }
  LilvInstance* Instance() const { return mInstance; }
  const LilvPort* PortBySymbol(const char* symbol) const;

  // Instantiates and activates with the ports at their defaults.
  bool Instantiate(double sampleRate, int32_t maxBlock);
  void SetControl(uint32_t parameter, float value) { mControls[parameter] = value; }

  // Events for the next Run, in frame order. A test that runs an instance of
  // its own forges them between BeginEvents and EndEvents, which gives the
  // sequence for its event port.
  void BeginEvents();
  void* EndEvents();
  void Midi(int64_t frame, uint8_t status, uint8_t data1, uint8_t data2);
  void Position(int64_t frame, const Lv2Position& position);
  // Runs one block and appends it to Left() and Right().
  void Run(uint32_t frames);
  const std::vector<float>& Left() const { return mLeft; }
  const std::vector<float>& Right() const { return mRight; }
  // Frames counted from the first Run.
  const std::vector<Lv2TestMidi>& MidiOut() const { return mMidiOut; }
  void ClearOutput()
  {
    mLeft.clear();
    mRight.clear();
  }

  // The instance's state with the port values, as a host stores it.
  LilvState* Save() const;
  // Applies a state: properties through the instance, port values to the ports.
  void Restore(const LilvState* state);
  std::vector<std::string> PresetLabels() const;
  // The preset of the named program: its label is the number, ": ", the name.
  LilvState* Preset(const std::string& program) const;

  LV2_URID Map(const char* uri) { return map(this, uri); }
  LV2_URID_Map* MapFeature() { return &mMap; }
  LV2_URID_Unmap* Unmap() { return &mUnmap; }

private:
  static LV2_URID map(LV2_URID_Map_Handle handle, const char* uri);
  static const char* unmap(LV2_URID_Unmap_Handle handle, LV2_URID urid);
  static const void* portValue(const char* symbol, void* userData, uint32_t* size, uint32_t* type);
  static void setPortValue(const char* symbol, void* userData, const void* value, uint32_t size, uint32_t type);
  // Every preset of the plug-in, loaded; the caller frees them.
  std::vector<LilvState*> presetStates() const;
  float* controlBySymbol(const char* symbol);

  LilvWorld* mWorld = nullptr;
  const LilvPlugin* mPlugin = nullptr;
  LilvInstance* mInstance = nullptr;
  std::vector<std::string> mUris;
  LV2_URID_Map mMap{this, map};
  LV2_URID_Unmap mUnmap{this, unmap};
  int32_t mMaxBlock = 0;
  std::vector<LV2_Options_Option> mOptions;
  std::vector<const LV2_Feature*> mFeatures;
  LV2_Feature mMapFeature{LV2_URID__map, &mMap};
  LV2_Feature mUnmapFeature{LV2_URID__unmap, &mUnmap};
  LV2_Feature mOptionsFeature{LV2_OPTIONS__options, nullptr};
  LV2_Atom_Forge mForge{};
  LV2_Atom_Forge_Frame mSequenceFrame{};
  std::vector<uint64_t> mEventBuffer = std::vector<uint64_t>(8192);
  std::vector<uint64_t> mMidiOutBuffer = std::vector<uint64_t>(1024);
  std::vector<Lv2TestMidi> mMidiOut;
  std::vector<float> mControls;
  std::vector<float> mLeft, mRight;
  std::vector<float> mBlockLeft, mBlockRight;
};
