// The instrument's own bundle in a lilv host: its description against the
// host model's view of the instrument.

#include "HostModel.h"
#include "Lv2Instrument.h"
#include "Lv2TestHost.h"
#include "TessarynEntry.h"

#include "ScopedConfigHome.h"

#include <gtest/gtest.h>

#include <lv2/port-groups/port-groups.h>
#include <lv2/presets/presets.h>
#include <lv2/units/units.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <set>
#include <string>
#include <tuple>
#include <vector>

namespace
{
constexpr const char* kUri = "urn:pellworth:tessaryn";
const std::string kBundle = std::string(TESSARYN_LV2_DIR) + "/tessaryn.lv2/";
constexpr const char* kLabel = "http://www.w3.org/2000/01/rdf-schema#label";
constexpr const char* kComment = "http://www.w3.org/2000/01/rdf-schema#comment";

// The first value of a property of a resource, as text; empty when there is none.
std::string valueOf(const Lv2TestHost& host, const LilvNode* subject, const char* predicate)
{
  LilvNode* property = lilv_new_uri(host.World(), predicate);
  LilvNode* value = lilv_world_get(host.World(), subject, property, nullptr);
  std::string text = value ? lilv_node_as_string(value) : "";
  lilv_node_free(value);
  lilv_node_free(property);
  return text;
}

// A port's property as text, or with `label` the label of what it points at
// (its group, its unit); empty when there is none.
std::string portValue(const Lv2TestHost& host, const LilvPort* port, const char* predicate, bool label = true)
{
  LilvNode* property = lilv_new_uri(host.World(), predicate);
  LilvNode* target = lilv_port_get(host.Plugin(), port, property);
  std::string text = !target ? "" : label ? valueOf(host, target, kLabel) : lilv_node_as_string(target);
  lilv_node_free(target);
  lilv_node_free(property);
  return text;
}

// What the MIDI output sends during one block, with "MIDI Thru" set or not.
std::vector<Lv2TestMidi> midiOutWithThru(bool thru)
{
  ScopedConfigHome config;
  std::filesystem::create_directories(config.xdg() + "/Pellworth");
  std::ofstream(config.xdg() + "/Pellworth/tessaryn.ini")
      << "[MIDI Global]\nMIDI Thru=" << (thru ? "true" : "false") << "\n";
  Lv2TestHost host(kUri);
  if (!host.Instantiate(48000.0, 256)) return {};
  host.Midi(5, 0x90, 60, 100);
  host.Midi(90, 0xB1, 74, 20);
  host.Midi(200, 0x80, 60, 0);
  host.Run(256);
  return host.MidiOut();
}
} // namespace

TEST(TessarynLv2, TheBundleDescribesEveryParameterAndValidates)
{
  Lv2TestHost host(kUri);
  ASSERT_NE(host.Plugin(), nullptr);
  EXPECT_TRUE(lilv_plugin_verify(host.Plugin()));
  HostModel model;
  ASSERT_EQ(model.Open(registerTessarynComponent(kBundle.c_str())), noErr);
  EXPECT_EQ(lilv_plugin_get_num_ports(host.Plugin()), Lv2Instrument::kFirstControlPort + model.ParameterCount() + 1);
  if (std::system("command -v sord_validate >/dev/null 2>&1") != 0) GTEST_SKIP() << "sord_validate is not installed";
  const std::string command =
      "lv2_validate " + kBundle + "manifest.ttl " + kBundle + "tessaryn.ttl 2>&1 | grep -q '^error'";
  EXPECT_NE(std::system(command.c_str()), 0) << "lv2_validate reported errors";
}

// Hosts store control values by port index, so a saved session reopens with
// the same sound only while every port keeps its index and symbol; new ports
// go after the listed ones.
TEST(TessarynLv2, EveryListedPortKeepsItsIndexAndSymbol)
{
  Lv2TestHost host(kUri);
  ASSERT_NE(host.Plugin(), nullptr);
  std::ifstream list(TESSARYN_PORT_LIST);
  uint32_t index = 0, count = 0;
  for (std::string symbol; list >> index >> symbol; ++count)
  {
    ASSERT_EQ(index, count) << "the list is in index order";
    const LilvPort* port = lilv_plugin_get_port_by_index(host.Plugin(), index);
    ASSERT_NE(port, nullptr) << symbol;
    EXPECT_EQ(lilv_node_as_string(lilv_port_get_symbol(host.Plugin(), port)), symbol);
  }
  EXPECT_GT(count, Lv2Instrument::kFirstControlPort);
}

TEST(TessarynLv2, PortsShowTheirSectionUnitAndUseAndPresetsKeepTheBankOrder)
{
  Lv2TestHost host(kUri);
  ASSERT_NE(host.Plugin(), nullptr);
  for (uint32_t i = Lv2Instrument::kFirstControlPort; i + 1 < lilv_plugin_get_num_ports(host.Plugin()); ++i)
  {
    const LilvPort* port = lilv_plugin_get_port_by_index(host.Plugin(), i);
    EXPECT_FALSE(portValue(host, port, LV2_PORT_GROUPS__group).empty()) << i;
    EXPECT_FALSE(portValue(host, port, kComment, false).empty()) << i;
  }
  const std::tuple<const char*, const char*, const char*> sections[] = {
      {"keyassgn", "Key Assign", ""},
      {"chord_3", "Key Assign", "semitones"},
      {"portamnt", "Oscillators", "seconds"},
      {"tune_4", "Oscillator 4", "st/128"},
      {"ptmdrift", "Tweaks", ""},
  };
  for (const auto& [symbol, group, unit] : sections)
  {
    const LilvPort* port = host.PortBySymbol(symbol);
    ASSERT_NE(port, nullptr) << symbol;
    EXPECT_EQ(portValue(host, port, LV2_PORT_GROUPS__group), group) << symbol;
    EXPECT_EQ(portValue(host, port, LV2_UNITS__unit), unit) << symbol;
  }
  LilvScalePoints* points = lilv_port_get_scale_points(host.Plugin(), host.PortBySymbol("chord_4"));
  ASSERT_EQ(points ? lilv_scale_points_size(points) : 0u, 1u);
  const LilvScalePoint* off = lilv_scale_points_get(points, lilv_scale_points_begin(points));
  EXPECT_STREQ(lilv_node_as_string(lilv_scale_point_get_label(off)), "off");
  EXPECT_EQ(lilv_node_as_float(lilv_scale_point_get_value(off)), 128.0f);
  lilv_scale_points_free(points);

  // Sorted by label, the presets come in program order, all in one bank.
  HostModel model;
  ASSERT_EQ(model.Open(registerTessarynComponent(kBundle.c_str())), noErr);
  std::vector<std::string> inBankOrder;
  for (const HostPreset& preset : model.FactoryPresets())
  {
    char number[8];
    std::snprintf(number, sizeof number, "%02d: ", int(preset.mNumber));
    inBankOrder.push_back(number + preset.mName);
  }
  EXPECT_EQ(host.PresetLabels(), inBankOrder);
  LilvNode* presetClass = lilv_new_uri(host.World(), LV2_PRESETS__Preset);
  LilvNodes* presets = lilv_plugin_get_related(host.Plugin(), presetClass);
  std::set<std::string> banks;
  LILV_FOREACH(nodes, i, presets)
  banks.insert(valueOf(host, lilv_nodes_get(presets, i), LV2_PRESETS__bank));
  lilv_nodes_free(presets);
  lilv_node_free(presetClass);
  EXPECT_EQ(banks.size(), 1u);
}

// With "MIDI Thru" set, hosts that route plug-in MIDI get the input back on
// its frames, controllers included; without it, nothing.
TEST(TessarynLv2, MidiThruPassesTheInputOnThroughTheMidiOutput)
{
  EXPECT_EQ(midiOutWithThru(true),
            (std::vector<Lv2TestMidi>{{5, 0x90, 60, 100}, {90, 0xB1, 74, 20}, {200, 0x80, 60, 0}}));
  EXPECT_TRUE(midiOutWithThru(false).empty());
}
