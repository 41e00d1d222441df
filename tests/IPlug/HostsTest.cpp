#include "Hosts.h"

#include <gtest/gtest.h>

#include <string>

TEST(Hosts, TheFirstSearchKeyFoundInTheLowerCasedNameWins)
{
  const struct
  {
    const char* name;
    EHost host;
  } cases[] = {
      {"Steinberg Nuendo with cubase engine", kHostCubase},
      {"com.apple.logic.live", kHostAbletonLive},
      {"com.apple.Logic10", kHostLogic},
      {nullptr, kHostUnknown},
      {"com.example.somethingelse", kHostUnknown},
  };
  for (const auto& c : cases)
    EXPECT_EQ(LookUpHost(c.name), c.host) << (c.name ? c.name : "null");
}

TEST(Hosts, AnOverlongNameIsSearchedOnlyInItsFirst255Characters)
{
  const std::string padding(255, 'x');
  EXPECT_EQ(LookUpHost((padding + "reaper").c_str()), kHostUnknown);
  EXPECT_EQ(LookUpHost((std::string(249, 'x') + "reaper" + padding).c_str()), kHostReaper);
}
