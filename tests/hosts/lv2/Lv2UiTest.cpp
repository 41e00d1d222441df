// The instrument's LV2 UI loaded by suil from the built bundle, as a host
// embeds it, on a private X server: drawing, knobs and ports both ways.
#include <gtest/gtest.h> // ahead of Xlib's macros

#include "Lv2TestHost.h"
#include "Lv2Ui.h"
#include "tessaryn.h"

#include "X11TestDriver.h"
#include "XvfbServer.h"

#include <lv2/instance-access/instance-access.h>
#include <suil/suil.h>

namespace
{
constexpr const char* kUri = "urn:pellworth:tessaryn";
constexpr uint32_t kVolumePort = Lv2Instrument::kFirstControlPort + Tessaryn::kVolume;

// One host's UI of one instance, through suil; records what the UI tells the host.
class SuilUi
{
public:
  using Touch = std::pair<uint32_t, bool>; // port, grabbed

  SuilUi(Lv2TestHost& plugin, Window parent, float scale) : mPlugin(plugin), mScale(scale)
  {
    mHost = suil_host_new(write, nullptr, nullptr, nullptr);
    suil_host_set_touch_func(mHost, touch);
    LilvUIs* uis = lilv_plugin_get_uis(plugin.Plugin());
    const LilvUI* ui = lilv_uis_get(uis, lilv_uis_begin(uis));
    char* bundle = lilv_file_uri_parse(lilv_node_as_uri(lilv_ui_get_bundle_uri(ui)), nullptr);
    char* binary = lilv_file_uri_parse(lilv_node_as_uri(lilv_ui_get_binary_uri(ui)), nullptr);
    mOptions = {
        {LV2_OPTIONS_INSTANCE, 0, plugin.Map(LV2_UI__scaleFactor), sizeof(float), plugin.Map(LV2_ATOM__Float), &mScale},
        {LV2_OPTIONS_INSTANCE, 0, 0, 0, 0, nullptr}};
    const LV2_Feature instance{LV2_INSTANCE_ACCESS_URI, lilv_instance_get_handle(plugin.Instance())};
    const LV2_Feature window{LV2_UI__parent, reinterpret_cast<void*>(parent)};
    const LV2_Feature options{LV2_OPTIONS__options, mOptions.data()};
    const LV2_Feature map{LV2_URID__map, plugin.MapFeature()};
    const LV2_Feature resize{LV2_UI__resize, &mResize};
    const LV2_Feature* features[] = {&instance, &window, &resize, &options, &map, nullptr};
    mUi = suil_instance_new(mHost, this, LV2_UI__X11UI, kUri, lilv_node_as_uri(lilv_ui_get_uri(ui)), LV2_UI__X11UI,
                            bundle, binary, features);
    lilv_free(bundle);
    lilv_free(binary);
    lilv_uis_free(uis);
    if (mUi) mIdle = static_cast<const LV2UI_Idle_Interface*>(suil_instance_extension_data(mUi, LV2_UI__idleInterface));
  }
  ~SuilUi()
  {
    if (mUi) suil_instance_free(mUi);
    suil_host_free(mHost);
  }

  bool IsOpen() const { return mUi && mIdle; }
  Window Widget() const { return Window(reinterpret_cast<uintptr_t>(suil_instance_get_widget(mUi))); }
  int Idle() { return mIdle->idle(suil_instance_get_handle(mUi)); }
  void PortEvent(uint32_t port, float value) { suil_instance_port_event(mUi, port, sizeof value, 0, &value); }

  std::map<uint32_t, float> mWrites; // the last value per port
  std::vector<Touch> mTouches;
  std::pair<int, int> mSize; // as the UI last asked for it

private:
  static void write(SuilController controller, uint32_t port, uint32_t size, uint32_t protocol, const void* buffer)
  {
    auto* self = static_cast<SuilUi*>(controller);
    ASSERT_TRUE(size == sizeof(float) && protocol == 0);
    const float value = *static_cast<const float*>(buffer);
    self->mWrites[port] = value;
    self->mPlugin.SetControl(port - Lv2Instrument::kFirstControlPort, value);
  }
  static void touch(SuilController controller, uint32_t port, bool grabbed)
  {
    static_cast<SuilUi*>(controller)->mTouches.push_back({port, grabbed});
  }
  static int resize(LV2UI_Feature_Handle handle, int width, int height)
  {
    static_cast<SuilUi*>(handle)->mSize = {width, height};
    return 0;
  }

  Lv2TestHost& mPlugin;
  SuilHost* mHost = nullptr;
  SuilInstance* mUi = nullptr;
  const LV2UI_Idle_Interface* mIdle = nullptr;
  float mScale;
  std::vector<LV2_Options_Option> mOptions;
  LV2UI_Resize mResize{this, resize};
};

class Lv2UiTest : public testing::Test
{
protected:
  static void SetUpTestSuite() { sServer = new XvfbServer(2400, 1000); }
  static void TearDownTestSuite() { delete sServer; }

  void SetUp() override
  {
    ASSERT_TRUE(sServer->Running() && mUser.isOpen());
    for (Lv2TestHost& plugin : mPlugins)
      ASSERT_TRUE(plugin.Instantiate(48000.0, 256));
  }

  void idle(std::initializer_list<SuilUi*> uis)
  {
    for (int i = 0; i < 10; ++i)
    {
      mUser.waitForEvent(20);
      for (SuilUi* ui : uis)
        EXPECT_EQ(ui->Idle(), 0);
    }
  }
  float parameter(int plugin, int id)
  {
    std::vector<float> values;
    static_cast<Lv2Instrument*>(lilv_instance_get_handle(mPlugins[plugin].Instance()))->ReadParameters(values);
    return values[id];
  }
  static inline XvfbServer* sServer = nullptr;
  X11TestDriver mUser;
  Lv2TestHost mPlugins[2] = {Lv2TestHost(kUri), Lv2TestHost(kUri)};
};

TEST_F(Lv2UiTest, EmbedsDrawsAndKeepsThePortsInStepBothWays)
{
  const Window parent = mUser.createWindow(0, 0, 1200, 450, true);
  SuilUi ui(mPlugins[0], parent, 1.0f);
  ASSERT_TRUE(ui.IsOpen());
  idle({&ui});
  EXPECT_EQ(ui.mSize, std::make_pair(1096, 395));
  EXPECT_EQ(mUser.childCount(parent), 1);
  EXPECT_GT(mUser.colours(ui.Widget(), 1096, 395, 16), 30u);

  // A knob dragged on the panel: written to its port, framed by a touch pair.
  const float before = parameter(0, Tessaryn::kVolume);
  mUser.drag(ui.Widget(), 40, 110, 40, 170);
  idle({&ui});
  const float dragged = parameter(0, Tessaryn::kVolume);
  EXPECT_NE(dragged, before);
  EXPECT_EQ(ui.mWrites[kVolumePort], dragged);
  EXPECT_EQ(ui.mTouches, (std::vector<SuilUi::Touch>{{kVolumePort, true}, {kVolumePort, false}}));
  // The run takes the UI's value as the port's own, yet the host's later
  // values apply, also one equal to the UI's.
  for (const float value : {dragged, before, dragged})
  {
    mPlugins[0].SetControl(Tessaryn::kVolume, value);
    mPlugins[0].Run(256);
    EXPECT_EQ(parameter(0, Tessaryn::kVolume), value);
  }

  // The host's automation reaches the instrument, and with it the knob.
  ui.PortEvent(kVolumePort, before);
  idle({&ui});
  EXPECT_EQ(parameter(0, Tessaryn::kVolume), before);

  // A program chosen on the panel reaches every port that changed.
  ui.mWrites.clear();
  mUser.click(ui.Widget(), 588, 348); // previous program
  idle({&ui});
  EXPECT_GT(ui.mWrites.size(), 5u);
  for (const auto& [port, value] : ui.mWrites)
    EXPECT_EQ(value, parameter(0, port - Lv2Instrument::kFirstControlPort)) << port;
}

TEST_F(Lv2UiTest, OpensAndClosesAgainAndAgainBesideAScaledSecondInstanceWhileTheSoundGoesOn)
{
  const Window parents[2] = {mUser.createWindow(0, 0, 1200, 450, true), mUser.createWindow(0, 500, 1200, 450, true)};
  mPlugins[0].Midi(0, 0x90, 60, 100);
  mPlugins[0].Run(256);
  for (int cycle = 0; cycle < 4; ++cycle)
  {
    {
      SuilUi first(mPlugins[0], parents[0], 1.0f), second(mPlugins[1], parents[1], 2.0f);
      ASSERT_TRUE(first.IsOpen() && second.IsOpen()) << cycle;
      EXPECT_EQ(second.mSize, std::make_pair(2 * 1096, 2 * 395)) << "the host's scale factor";
      idle({&first, &second});
      for (const SuilUi* ui : {&first, &second})
        EXPECT_GT(mUser.colours(ui->Widget(), 1096, 395, 16), 30u) << cycle;
      // One editor per instance.
      EXPECT_FALSE(SuilUi(mPlugins[0], parents[1], 1.0f).IsOpen());
    }
    EXPECT_EQ(mUser.childCount(parents[0]) + mUser.childCount(parents[1]), 0);
    mPlugins[0].ClearOutput();
    mPlugins[0].Run(256);
    EXPECT_GT(*std::max_element(mPlugins[0].Left().begin(), mPlugins[0].Left().end()), 0.01f) << cycle;
  }
}
} // namespace
