// The test bundle as a host library sees it: its description, ports, presets
// and exported symbols.

#include "Lv2TestHost.h"
#include "Lv2TurtleWriter.h"

#include <gtest/gtest.h>

#include <lv2/atom/atom.h>
#include <lv2/core/lv2.h>
#include <lv2/midi/midi.h>
#include <lv2/time/time.h>

#include <dlfcn.h>

#include <cstdlib>
#include <map>
#include <string>

namespace
{
constexpr const char* kUri = "urn:example:tessaryn-test-instrument";
const std::string kBundle = std::string(TESSARYN_LV2_DIR) + "/tessaryn_test_instrument.lv2/";
constexpr const char* kType = "http://www.w3.org/1999/02/22-rdf-syntax-ns#type";

struct Lv2BundleTest : ::testing::Test
{
  Lv2TestHost host{kUri};
  void SetUp() override { ASSERT_NE(host.Plugin(), nullptr); }

  bool portIs(uint32_t index, const char* classUri) const { return portHas(index, kType, classUri); }
  bool portHas(uint32_t index, const char* predicate, const char* object) const
  {
    LilvNode* value = lilv_new_uri(host.World(), object);
    LilvNode* property = lilv_new_uri(host.World(), predicate);
    LilvNodes* values =
        lilv_port_get_value(host.Plugin(), lilv_plugin_get_port_by_index(host.Plugin(), index), property);
    const bool has = values && lilv_nodes_contains(values, value);
    lilv_nodes_free(values);
    lilv_node_free(property);
    lilv_node_free(value);
    return has;
  }

  std::string symbol(uint32_t index) const
  {
    return lilv_node_as_string(
        lilv_port_get_symbol(host.Plugin(), lilv_plugin_get_port_by_index(host.Plugin(), index)));
  }
};
} // namespace

TEST_F(Lv2BundleTest, TheHostFindsTheInstrumentWithItsEventPortsTwoAudioOutputsAndPresets)
{
  EXPECT_TRUE(lilv_plugin_verify(host.Plugin()));
  ASSERT_EQ(lilv_plugin_get_num_ports(host.Plugin()), 3u + 5u + 1u);
  EXPECT_TRUE(portIs(0, LV2_ATOM__AtomPort));
  EXPECT_TRUE(portHas(0, LV2_ATOM__supports, LV2_MIDI__MidiEvent));
  EXPECT_TRUE(portHas(0, LV2_ATOM__supports, LV2_TIME__Position));
  for (uint32_t index : {1u, 2u})
  {
    EXPECT_TRUE(portIs(index, LV2_CORE__OutputPort)) << index;
    EXPECT_TRUE(portIs(index, LV2_CORE__AudioPort)) << index;
  }
  EXPECT_TRUE(portIs(8, LV2_CORE__OutputPort));
  EXPECT_TRUE(portHas(8, LV2_ATOM__supports, LV2_MIDI__MidiEvent));
  EXPECT_EQ(host.PresetLabels(), (std::vector<std::string>{"00: Init", "01: Loud"}));
}

TEST_F(Lv2BundleTest, EachParameterIsAControlPortWithItsRangeDefaultAndShape)
{
  struct Expected
  {
    const char* mSymbol;
    float mMin, mMax, mDefault;
    bool mInteger, mEnumeration, mToggled;
  };
  const Expected table[] = {
      {"level", 0.0f, 1.0f, 0.5f, false, false, false},
      {"wave", 0.0f, 2.0f, 0.0f, true, true, false},
      {"sync", 0.0f, 1.0f, 0.0f, true, true, true},
      {"cutoff_frequency_of_the_filter", 20.0f, 20000.0f, 1000.0f, false, false, false},
  };
  const uint32_t ports = lilv_plugin_get_num_ports(host.Plugin());
  std::vector<float> mins(ports), maxs(ports), defaults(ports);
  lilv_plugin_get_port_ranges_float(host.Plugin(), mins.data(), maxs.data(), defaults.data());
  for (uint32_t i = 0; i < std::size(table); ++i)
  {
    const uint32_t index = 3 + i;
    const Expected& expected = table[i];
    EXPECT_TRUE(portIs(index, LV2_CORE__ControlPort)) << index;
    EXPECT_EQ(symbol(index), expected.mSymbol);
    EXPECT_EQ(mins[index], expected.mMin) << expected.mSymbol;
    EXPECT_EQ(maxs[index], expected.mMax) << expected.mSymbol;
    EXPECT_EQ(defaults[index], expected.mDefault) << expected.mSymbol;
    EXPECT_EQ(portHas(index, LV2_CORE__portProperty, LV2_CORE__integer), expected.mInteger) << expected.mSymbol;
    EXPECT_EQ(portHas(index, LV2_CORE__portProperty, LV2_CORE__enumeration), expected.mEnumeration);
    EXPECT_EQ(portHas(index, LV2_CORE__portProperty, LV2_CORE__toggled), expected.mToggled) << expected.mSymbol;
  }
}

TEST_F(Lv2BundleTest, DisplayTextsAreScalePointsAtTheirValues)
{
  LilvScalePoints* points = lilv_port_get_scale_points(host.Plugin(), lilv_plugin_get_port_by_index(host.Plugin(), 4));
  std::map<float, std::string> byValue;
  LILV_FOREACH(scale_points, i, points)
  {
    const LilvScalePoint* point = lilv_scale_points_get(points, i);
    byValue[lilv_node_as_float(lilv_scale_point_get_value(point))] =
        lilv_node_as_string(lilv_scale_point_get_label(point));
  }
  lilv_scale_points_free(points);
  EXPECT_EQ(byValue, (std::map<float, std::string>{{0.0f, "tri"}, {1.0f, "saw"}, {2.0f, "pulse"}}));
}

TEST_F(Lv2BundleTest, TheLibraryExportsOnlyItsDescriptor)
{
  void* library = dlopen((kBundle + "tessaryn_test_instrument.so").c_str(), RTLD_NOW | RTLD_LOCAL);
  ASSERT_NE(library, nullptr) << dlerror();
  auto descriptor = reinterpret_cast<const LV2_Descriptor* (*)(uint32_t)>(dlsym(library, "lv2_descriptor"));
  ASSERT_NE(descriptor, nullptr);
  EXPECT_STREQ(descriptor(0)->URI, kUri);
  EXPECT_EQ(descriptor(1), nullptr);
  EXPECT_EQ(dlsym(library, "Lv2BindingOf"), nullptr);
  dlclose(library);
}

TEST(Lv2PortSymbols, NamesBecomeUniqueLowerCaseSymbols)
{
  EXPECT_EQ(Lv2PortSymbols({"2nd Level!", "events", "2nd  Level"}),
            (std::vector<std::string>{"p_2nd_level", "events_1", "p_2nd_level_2"}));
}

TEST(Lv2TurtleString, QuotesBackslashesAndControlCharactersAreEscaped)
{
  EXPECT_EQ(Lv2TurtleString("Saw \"Lead\"\\1\n"), "\"Saw \\\"Lead\\\"\\\\1\\u000A\"");
}
