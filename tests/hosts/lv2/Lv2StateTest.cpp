// Restoring state in a lilv host: what the state says wins, and saving again
// gives the same state.

#include "Lv2TestHost.h"

#include <gtest/gtest.h>

// The saved state holds a level (0.25) other than its port's (0.75), as after
// a program change inside the instrument; the reopened instance's ports start
// from yet another value.
TEST(Lv2State, TheRestoredStateWinsOverPortValuesKeptFromBeforeIt)
{
  constexpr const char* kProbe = "urn:example:tessaryn-test-instrument";
  Lv2TestHost quiet(kProbe), host(kProbe), reopened(kProbe);
  for (Lv2TestHost* each : {&quiet, &host, &reopened})
    ASSERT_TRUE(each->Instantiate(48000.0, 4096));
  quiet.SetControl(0, 0.25f);
  quiet.Run(16);
  LilvState* quietState = quiet.Save();
  host.SetControl(0, 0.75f);
  host.Run(16);
  lilv_state_restore(quietState, host.Instance(), nullptr, nullptr, 0, nullptr); // the properties alone
  host.Run(16);
  LilvState* saved = host.Save();

  reopened.Restore(saved);
  reopened.Midi(0, 0x90, 99, 100);
  reopened.Run(16);
  EXPECT_EQ(reopened.Left()[3], 0.25f * 100.0f / 128.0f);
  // Each host maps its own URIDs, so the states compare as Turtle.
  LilvState* again = reopened.Save();
  char* before = lilv_state_to_string(host.World(), host.MapFeature(), host.Unmap(), saved, "urn:state", nullptr);
  char* after =
      lilv_state_to_string(reopened.World(), reopened.MapFeature(), reopened.Unmap(), again, "urn:state", nullptr);
  EXPECT_STREQ(before, after) << "program name, chunk and port values survive the round trip";
  lilv_free(before);
  lilv_free(after);
  lilv_state_free(again);
  lilv_state_free(saved);
  lilv_state_free(quietState);
}
