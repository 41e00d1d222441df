// What reaches the instrument before the first block: files, program and
// parameters in their order, and what the listings show.

#include "RenderTestSupport.h"
#include "StepInstrument.h"

#include <gtest/gtest.h>

#include <fstream>

namespace
{
struct RenderSetupTest : StepRenderTest
{
  void SetUp() override
  {
    writeMidiFile(song, 480, 120.0, {{0, {0x90, 60, 127}}, {480, {0x80, 60, 0}}});
    StepInstrument::sLoadedFiles.clear();
  }

  // The first sample of a float render of the song with these extra options.
  float firstSample(std::vector<std::string> options)
  {
    options.insert(options.end(), {"--format", "float", "--frames", "16"});
    const WavContents wav = render(options);
    return wav.mSamples.empty() ? -99.0f : wav.mSamples[0];
  }
};
} // namespace

TEST_F(RenderSetupTest, ProgramsByNumberOrNameThenSettingsInCommandLineOrderAndListsByText)
{
  EXPECT_FLOAT_EQ(firstSample({"--set", "Level=0.2", "--set", "Level=0.25"}), 0.25f);
  EXPECT_FLOAT_EQ(firstSample({"--set", "Shape=negated"}), -1.0f);
  EXPECT_FLOAT_EQ(firstSample({"--program", "1"}), 0.5f);
  EXPECT_FLOAT_EQ(firstSample({"--set", "Level=0.75", "--program", "Half Level"}), 0.75f);
}

TEST_F(RenderSetupTest, TheBankThenTheProgramFileReachTheInstrumentsReaders)
{
  const std::string bank = folder.path("b.fxb"), program = folder.path("p.fxp");
  std::ofstream(bank) << "bank";
  std::ofstream(program) << "program";
  firstSample({"--fxp", program, "--bank", bank});
  EXPECT_EQ(StepInstrument::sLoadedFiles, (std::vector<std::string>{"bank:" + bank, "program:" + program}));
}

TEST_F(RenderSetupTest, ListingsShowRangesDefaultsTextsAndPrograms)
{
  CommandResult params = runCommand(StepInstrumentComponent(), {"--program", "1", "--set", "Shape=1", "--list-params"});
  EXPECT_EQ(params.mExitCode, 0);
  EXPECT_EQ(params.mOut,
            "Level  0 to 1, default 1.00, current 0.50\nShape  flat | negated, default flat, current negated\n");
  CommandResult programs = runCommand(StepInstrumentComponent(), {"--list-programs"});
  EXPECT_EQ(programs.mOut, " 0  Full\n 1  Half Level\n");
  EXPECT_FALSE(std::filesystem::exists("tessaryn-demo.wav")) << "listing renders nothing";
}
