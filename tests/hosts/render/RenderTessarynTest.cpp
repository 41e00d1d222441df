// The real instrument through the renderer: the demo plays.

#include "RenderTestSupport.h"
#include "TessarynEntry.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

TEST(RenderTessarynTest, TheDemoPlaysForAboutHalfAMinuteAndStaysFinite)
{
  TemporaryFolder folder;
  const std::string out = folder.path("demo.wav");
  CommandResult result =
      runCommand(registerTessarynComponent("/nonexistent"), {"-o", out, "--format", "float", "--rate", "22050"});
  ASSERT_EQ(result.mExitCode, 0) << result.mErr;
  EXPECT_NE(result.mOut.find("Wrote " + out), std::string::npos);
  WavContents wav = readWav(out);
  const double seconds = double(wav.mSamples.size()) / 2 / wav.mSampleRate;
  EXPECT_GT(seconds, 29.0);
  EXPECT_LT(seconds, 41.0);
  float peak = 0.0f;
  for (float x : wav.mSamples)
  {
    ASSERT_TRUE(std::isfinite(x));
    peak = std::max(peak, std::fabs(x));
  }
  EXPECT_GT(peak, 0.05f);
}
