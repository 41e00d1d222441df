#include "Hosts.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>

TEST(Hosts, TheFirstSearchKeyFoundInTheLowerCasedNameWins)
{
  const std::pair<const char*, EHost> cases[] = {
      {"Steinberg Nuendo with cubase engine", kHostCubase},
      {"com.apple.logic.live", kHostAbletonLive},
      {"com.apple.Logic10", kHostLogic},
      {nullptr, kHostUnknown},
      {"com.example.somethingelse", kHostUnknown},
  };
  for (const auto& [name, host] : cases)
    EXPECT_EQ(LookUpHost(name), host) << (name ? name : "null");
}

TEST(Hosts, AnOverlongNameIsSearchedOnlyInItsFirst255Characters)
{
  const std::string padding(255, 'x');
  EXPECT_EQ(LookUpHost((padding + "reaper").c_str()), kHostUnknown);
  EXPECT_EQ(LookUpHost((std::string(249, 'x') + "reaper" + padding).c_str()), kHostReaper);
}
