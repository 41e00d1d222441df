// Restoring state in a lilv host: what the state says wins, and projects saved
// under the instrument's former identity still open.

#include "HostModel.h"
#include "IPlugAUDictionary.h"
#include "Lv2TestHost.h"
#include "TessarynEntry.h"
#include "tessaryn.h"

#include <lv2/atom/atom.h>
#include <lv2/state/state.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace
{
constexpr double kRate = 48000.0;
constexpr uint32_t kFrames = 512;
const std::string kBundle = std::string(TESSARYN_LV2_DIR) + "/tessaryn.lv2/";

Lv2TestHost* instantiated(Lv2TestHost& host)
{
  EXPECT_TRUE(host.Instantiate(kRate, 4096));
  return &host;
}

std::vector<uint8_t> bytesOf(CFPropertyListRef state)
{
  CFDataRef data = PropertyListCreateData(state);
  std::vector<uint8_t> bytes(CFDataGetBytePtr(data), CFDataGetBytePtr(data) + CFDataGetLength(data));
  CFRelease(data);
  return bytes;
}

// The blob handed to the plug-in's state interface as its one property.
LV2_State_Status restoreBlob(Lv2TestHost& host, const std::vector<uint8_t>& blob)
{
  struct Source
  {
    const std::vector<uint8_t>* mBlob;
    LV2_URID mChunk;
  } source{&blob, host.Map(LV2_ATOM__Chunk)};
  const LV2_State_Retrieve_Function retrieve = [](LV2_State_Handle handle, uint32_t, size_t* size, uint32_t* type,
                                                  uint32_t* flags) -> const void*
  {
    const auto* from = static_cast<const Source*>(handle);
    *size = from->mBlob->size();
    *type = from->mChunk;
    *flags = LV2_STATE_IS_POD | LV2_STATE_IS_PORTABLE;
    return from->mBlob->data();
  };
  const auto* state =
      static_cast<const LV2_State_Interface*>(lilv_instance_get_extension_data(host.Instance(), LV2_STATE__interface));
  return state->restore(lilv_instance_get_handle(host.Instance()), retrieve, &source, 0, nullptr);
}
} // namespace

// The state holds a level (0.25) other than its port's (0.75), as after a
// program change inside the instrument; the reopened instance's ports start
// from yet another value.
TEST(Lv2State, TheRestoredStateWinsOverPortValuesKeptFromBeforeIt)
{
  constexpr const char* kProbe = "urn:example:tessaryn-test-instrument";
  Lv2TestHost quiet(kProbe), host(kProbe), reopened(kProbe);
  instantiated(quiet)->SetControl(0, 0.25f);
  quiet.Run(16);
  LilvState* quietState = quiet.Save();
  instantiated(host)->SetControl(0, 0.75f);
  host.Run(16);
  lilv_state_restore(quietState, host.Instance(), nullptr, nullptr, 0, nullptr);
  host.Run(16);
  LilvState* saved = host.Save();

  instantiated(reopened)->Restore(saved);
  reopened.Midi(0, 0x90, 99, 100);
  reopened.Run(16);
  EXPECT_EQ(reopened.Left()[3], 0.25f * 100.0f / 128.0f);
  lilv_state_free(saved);
  lilv_state_free(quietState);
}

TEST(Lv2State, AProjectSavedUnderTheFormerSubtypeReopensWithItsSound)
{
  HostModel model;
  ASSERT_EQ(model.Open(registerTessarynComponent(kBundle.c_str())), noErr);
  model.SetParameter(Tessaryn::kCutOff, 0.3f);
  CFPropertyListRef state = nullptr;
  ASSERT_EQ(model.GetState(&state), noErr);
  const std::vector<uint8_t> current = bytesOf(state);
  PutNumberInDict(const_cast<CFMutableDictionaryRef>(AsDictionary(state)), "subtype", Tessaryn::kFormerUniqueID);
  const std::vector<uint8_t> former = bytesOf(state);
  CFRelease(state);

  std::vector<std::vector<float>> sounds;
  for (const std::vector<uint8_t>& blob : {current, former})
  {
    Lv2TestHost host("urn:pellworth:tessaryn");
    EXPECT_EQ(restoreBlob(*instantiated(host), blob), LV2_STATE_SUCCESS);
    host.Midi(0, 0x90, 60, 100);
    host.Run(kFrames);
    sounds.push_back(host.Left());
  }
  EXPECT_EQ(sounds[0], sounds[1]);
}
