#pragma once
// Each test gets a private JACK server, a fresh configuration folder and a
// DISPLAY that names no server, so nothing it runs could reach a screen.

#include "JackDummyServer.h"
#include "StandaloneProcess.h"
#include "TemporaryFolder.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <memory>

class StandaloneFixture : public ::testing::Test
{
protected:
  void SetUp() override
  {
    ASSERT_TRUE(mJack.running()) << "jackd with the dummy backend did not start";
    setenv("XDG_CONFIG_HOME", (mFolder + "/config").c_str(), 1);
    setenv("DISPLAY", ":9999", 1);
  }

  std::unique_ptr<StandaloneProcess> start(std::vector<std::string> args)
  {
    args.push_back("--no-gui");
    return std::make_unique<StandaloneProcess>(args, mFolder);
  }
  std::string statePath() const { return mFolder + "/config/Pellworth/tessaryn-standalone.state"; }
  std::string bankPath() const { return mFolder + "/config/Pellworth/tessaryn-standalone.fxb"; }

  static constexpr const char* kPlaying = "Tessaryn plays through";
  static constexpr auto kSettle = std::chrono::milliseconds(300);
  static constexpr float kAudible = 0.01f;
  JackDummyServer mJack;
  TemporaryFolder mTemporary;
  const std::string mFolder = mTemporary.root().string();
};
