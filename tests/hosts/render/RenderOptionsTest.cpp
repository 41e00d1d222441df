// The command line: what each option sets, and the one line and exit code
// every bad input gets.

#include "RenderOptions.h"
#include "RenderTestSupport.h"
#include "StepInstrument.h"
#include "TestPlugins.h"

#include <gtest/gtest.h>

#include <fstream>
#include <tuple>
#include <utility>

TEST(RenderOptionsTest, DefaultsFollowTheMidiFileOrTheDemo)
{
  RenderOptions demo;
  ASSERT_TRUE(parseRenderOptions({}, demo).ok());
  EXPECT_EQ(demo.mOutput, "tessaryn-demo.wav");
  RenderOptions song;
  ASSERT_TRUE(parseRenderOptions({"songs/tune.mid"}, song).ok());
  EXPECT_EQ(song.mOutput, "songs/tune.wav");
}

TEST(RenderOptionsTest, NumbersAreWholeTextsAndFinite)
{
  for (auto [text, accepted] :
       {std::pair{"-1e2", true}, {"0.5x", false}, {" 1", false}, {"nan", false}, {"1e999", false}})
  {
    double value = 0.0;
    EXPECT_EQ(parseStrictNumber(text, value), accepted) << "'" << text << "'";
  }
}

TEST(RenderOptionsTest, EveryBadInputGetsOneLineAndItsExitCode)
{
  TemporaryFolder folder;
  const std::string song = folder.path("song.mid");
  writeMidiFile(song, 480, 120.0, {{0, {0x90, 60, 100}}, {480, {0x80, 60, 0}}});
  const std::string text = folder.path("notes.txt");
  std::ofstream(text) << "not a MIDI file\n";
  const std::string otherBank = folder.path("other.bad");
  std::ofstream(otherBank) << "bank";
  const std::string out = folder.path("out.wav");

  const std::tuple<std::vector<std::string>, int, const char*> cases[] = {
      {{"--frobnicate"}, kExitUsage, "option '--frobnicate' is unknown"},
      {{"--rate"}, kExitUsage, "--rate needs a value"},
      {{"--rate", "100"}, kExitUsage, "from 8000 to 384000"},
      {{"--format", "32"}, kExitUsage, "format '32' is unknown; use 16, 24 or float"},
      {{"--frames", "10", "--tail", "1"}, kExitUsage, "give only one of them"},
      {{"--set", "Level"}, kExitUsage, "must have the form NAME=VALUE"},
      {{"a.mid", "b.mid"}, kExitUsage, "Only one MIDI file"},
      {{"-o", out, "--set", "Cutoff=1"}, kExitUsage, "no parameter named 'Cutoff'"},
      {{"-o", out, "--set", "Level=2"}, kExitUsage, "outside its range 0 to 1"},
      {{"-o", out, "--program", "7"}, kExitUsage, "no program '7'"},
      {{folder.path("missing.mid")}, kExitInput, "Cannot read the MIDI file"},
      {{text, "-o", out}, kExitInput, "is not a Standard MIDI File"},
      {{"-o", out, "--bank", otherBank}, kExitInput, "rejected the bank file"},
      {{song, "-o", folder.path("no/such/folder/out.wav")}, kExitOutput, "Cannot write the output file"},
  };
  for (const auto& [args, exitCode, message] : cases)
  {
    CommandResult result = runCommand(StepInstrumentComponent(), args);
    EXPECT_EQ(result.mExitCode, exitCode) << args[0];
    EXPECT_NE(result.mErr.find(message), std::string::npos) << result.mErr;
    EXPECT_EQ(std::count(result.mErr.begin(), result.mErr.end(), '\n'), 1) << result.mErr;
    EXPECT_EQ(result.mErr.back(), '\n');
  }
  EXPECT_FALSE(std::filesystem::exists(out)) << "no failed render leaves an output file";
}

TEST(RenderOptionsTest, AnInstrumentWithoutFileReadersSaysSo)
{
  TemporaryFolder folder;
  const std::string file = folder.path("sound.fxb");
  std::ofstream(file) << "bank";
  CommandResult result = runCommand(TestInstrumentComponent(), {"-o", folder.path("out.wav"), "--fxp", file});
  EXPECT_EQ(result.mExitCode, kExitInstrument);
  EXPECT_NE(result.mErr.find("cannot read"), std::string::npos) << result.mErr;
}
