// The instrument's own bundle in a lilv host: its description against the
// host model's view of the instrument.

#include "HostModel.h"
#include "Lv2Instrument.h"
#include "Lv2TestHost.h"
#include "TessarynEntry.h"

#include <gtest/gtest.h>

#include <cstdlib>
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
