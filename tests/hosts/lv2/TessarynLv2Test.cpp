// The instrument's own bundle in a lilv host: its description against the
// host model's view of the instrument.

#include "HostModel.h"
#include "Lv2Instrument.h"
#include "Lv2TestHost.h"
#include "TessarynEntry.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <string>

namespace
{
constexpr const char* kUri = "urn:pellworth:tessaryn";
const std::string kBundle = std::string(TESSARYN_LV2_DIR) + "/tessaryn.lv2/";

} // namespace

TEST(TessarynLv2, TheBundleDescribesEveryParameterAndValidates)
{
  Lv2TestHost host(kUri);
  ASSERT_NE(host.Plugin(), nullptr);
  EXPECT_TRUE(lilv_plugin_verify(host.Plugin()));
  HostModel model;
  ASSERT_EQ(model.Open(registerTessarynComponent(kBundle.c_str())), noErr);
  EXPECT_EQ(lilv_plugin_get_num_ports(host.Plugin()), Lv2Instrument::kFirstControlPort + model.ParameterCount());
  EXPECT_EQ(host.PresetLabels().size(), model.FactoryPresets().size());
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
