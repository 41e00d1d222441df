// The factory bank as a host meets it: every program opens from the bank the
// build made and plays a held chord and a single note through the host model.

#include "FactoryProgramReader.h"
#include "HostModel.h"
#include "TessarynEntry.h"
#include "tessaryn.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <fstream>
#include <set>
#include <sstream>
#include <utility>
#include <vector>

namespace
{
using T = Tessaryn;

constexpr double kRate = 44100.0;
constexpr uint32_t kBlock = 512;
constexpr int kProgramNameField = 28; // bytes, with the terminator

struct Levels
{
  float mPeak = 0.0f;
  double mSquares = 0.0;
  size_t mCount = 0;
  bool mFinite = true;
  bool mChannelsAlike = true;

  double rms() const { return mCount ? std::sqrt(mSquares / double(mCount)) : 0.0; }
};

// One instance of the instrument opened from the built bank, on one program,
// holding the notes for the given time and letting them ring half a second.
class ProgramPlayer
{
public:
  ProgramPlayer(int program, const std::vector<int>& notes, double seconds)
  {
    EXPECT_TRUE(host.Open(registerTessarynComponent(FACTORY_RESOURCE_DIR)) == noErr &&
                host.SetSampleRate(kRate) == noErr && host.SetMaxFrames(kBlock) == noErr &&
                host.Initialize() == noErr && host.SelectPreset(program) == noErr)
        << "program " << program;
    HostTransport running;
    running.mPlaying = true;
    host.SetTransport(running);
    for (int note : notes)
      host.SendMidi(0x90, uint8_t(note), 100, 0);
    render(seconds);
    for (int note : notes)
      host.SendMidi(0x80, uint8_t(note), 0, 0);
    render(0.5);
  }

  Levels levels;

private:
  void render(double seconds)
  {
    const uint32_t frames = uint32_t(seconds * kRate);
    std::vector<float> left(kBlock), right(kBlock);
    for (uint32_t done = 0; done < frames; done += kBlock)
    {
      const uint32_t n = std::min(kBlock, frames - done);
      float* outputs[2] = {left.data(), right.data()};
      ASSERT_EQ(host.Render(outputs, 2, n), noErr);
      for (uint32_t i = 0; i < n; ++i)
      {
        levels.mFinite = levels.mFinite && std::isfinite(left[i]);
        levels.mChannelsAlike = levels.mChannelsAlike && left[i] == right[i];
        levels.mPeak = std::max(levels.mPeak, std::abs(left[i]));
        levels.mSquares += double(left[i]) * left[i];
      }
      levels.mCount += n;
    }
  }

  HostModel host;
};

std::vector<FactoryProgram> sourcePrograms()
{
  Tessaryn table{IPlugInstanceInfo{}};
  FactoryProgramReader reader(table);
  std::ifstream source(FACTORY_SOURCE);
  EXPECT_TRUE(reader.read(source, FACTORY_SOURCE)) << reader.error();
  return reader.programs();
}

TEST(FactoryBank, OpensWithItsSixtyFourProgramsAsTheHostsFactoryPresetsInSourceOrder)
{
  HostModel host;
  ASSERT_EQ(host.Open(registerTessarynComponent(FACTORY_RESOURCE_DIR)), noErr);
  const std::vector<HostPreset> presets = host.FactoryPresets();
  const std::vector<FactoryProgram> programs = sourcePrograms();
  ASSERT_EQ(presets.size(), 64u);
  ASSERT_EQ(programs.size(), 64u);
  std::set<std::string> names;
  for (size_t i = 0; i < presets.size(); ++i)
  {
    EXPECT_EQ(presets[i].mNumber, int32_t(i));
    EXPECT_EQ(presets[i].mName, programs[i].mName);
    EXPECT_LT(presets[i].mName.size(), size_t(kProgramNameField));
    names.insert(presets[i].mName);
  }
  EXPECT_EQ(names.size(), presets.size()) << "names repeat";
}

TEST(FactoryBank, EveryProgramSoundsStaysFiniteAndKeepsASingleNoteWithinFullScale)
{
  // scripts/factory-levels.sh collects these lines into a table.
  const auto dBFS = [](double level) { return 20.0 * std::log10(std::max(level, 1e-9)); };
  printf("[levels] %-3s %-24s %10s %10s %10s\n", "#", "program", "peak dBFS", "rms dBFS", "note peak");
  const std::vector<FactoryProgram> programs = sourcePrograms();
  for (int i = 0; i < int(programs.size()); ++i)
  {
    const std::string& name = programs[i].mName;
    // A held chord arpeggiates, fills the voices or sounds its newest key.
    const Levels phrase = ProgramPlayer(i, {48, 52, 55, 59}, 1.5).levels;
    const Levels note = ProgramPlayer(i, {48}, 1.0).levels;
    printf("[levels] %-3d %-24s %10.1f %10.1f %10.1f\n", i, name.c_str(), dBFS(phrase.mPeak), dBFS(phrase.rms()),
           dBFS(note.mPeak));
    EXPECT_TRUE(phrase.mFinite && note.mFinite) << name;
    EXPECT_TRUE(phrase.mChannelsAlike) << name;
    EXPECT_GT(phrase.rms(), 0.003) << name << " is nearly silent";
    EXPECT_LE(note.mPeak, 1.0f) << name << " clips on a single note";
  }
}

// Each fault in a one-program source, so a source that is otherwise sound fails on its program count.
TEST(FactoryProgramReader, NamesTheLineAndTheFaultOfABadSource)
{
  const std::pair<const char*, const char*> faults[] = {
      {"[Bass]\nCutof = 0.5\n", "src:2: no parameter is named \"Cutof\"."},
      {"[Bass]\nCutOff = 1.5\n", "src:2: \"CutOff\" ranges from 0 to 1; 1.5 is outside."},
      {"[Bass]\nCutOff 0.5\n", "src:2: expected \"[Program name]\" or \"Parameter = value\", found \"CutOff 0.5\"."},
      {"[Bass]\n", "src:1: the source holds 1 programs; a bank holds exactly 64."},
  };
  Tessaryn table{IPlugInstanceInfo{}};
  FactoryProgramReader reader(table);
  for (const auto& [text, message] : faults)
  {
    std::istringstream source(text);
    EXPECT_FALSE(reader.read(source, "src")) << text;
    EXPECT_EQ(reader.error(), message);
  }
}
} // namespace
