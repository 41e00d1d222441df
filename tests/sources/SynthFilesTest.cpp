// The instrument's program and bank files, the banks it loads when it opens,
// and the state a host saves and restores.

#include "FileContents.h"
#include "HostModel.h"
#include "ScopedConfigHome.h"
#include "TessarynEntry.h"
#include "TessarynRig.h"
#include "swell-ini.h"

#include <gtest/gtest.h>

#include <bit>
#include <cstring>
#include <filesystem>
#include <string>
#include <tuple>
#include <vector>

namespace
{
using T = Tessaryn;

// A file built field by field, with the big-endian integers of FXP and FXB.
struct FileBytes
{
  FileBytes& i32(int32_t value)
  {
    for (int shift = 24; shift >= 0; shift -= 8)
      bytes.push_back(char(uint32_t(value) >> shift));
    return *this;
  }
  FileBytes& text(const char* text, size_t size)
  {
    std::string field(text, strnlen(text, size));
    field.resize(size, '\0');
    bytes += field;
    return *this;
  }
  // The parameter list before 2.2.0 ended before PtmDrift: 69 values, all 0
  // but Volume's a quarter (normalised floats, or doubles with their count).
  FileBytes& olderFloats()
  {
    for (int i = 0; i < T::kPtmDrift; ++i)
      i32(std::bit_cast<int32_t>(i == T::kVolume ? 0.25f : 0.0f));
    return *this;
  }
  FileBytes& olderDoubles()
  {
    i32(T::kPtmDrift * 8);
    for (int i = 0; i < T::kPtmDrift; ++i)
    {
      const double value = i == T::kVolume ? 0.25 : 0.0;
      bytes.append(reinterpret_cast<const char*>(&value), sizeof value);
    }
    return *this;
  }
  FileBytes& header(const char* form, int formatVersion, int version, int count)
  {
    return text("CcnK", 4).i32(0).text(form, 4).i32(formatVersion).i32(1416).i32(version).i32(count);
  }
  void write(const std::string& path) const { writeFile(path, bytes); }

  std::string bytes;
};

// Programs named as given, each with its own volume; the rest uninitialised.
void writeBank(const std::string& path, const std::vector<std::string>& names)
{
  TessarynProbe synth;
  for (int i = 0; i < int(names.size()); ++i)
  {
    synth.RestorePreset(i);
    synth.GetParam(T::kVolume)->Set(0.1 * (i + 1));
    synth.ModifyCurrentPreset(names[i].c_str());
  }
  WDL_String file(path.c_str());
  ASSERT_TRUE(synth.SaveBankAsFXB(&file));
}

// Registers a folder of its own as the instrument's resource folder.
struct SynthFiles : ::testing::Test
{
  SynthFiles()
  {
    std::filesystem::create_directories(home.root() / "resources");
    RegisterBundle(Synth::kBundleIdentifier, (home.root() / "resources").c_str());
  }
  ~SynthFiles() override { RegisterBundle(Synth::kBundleIdentifier, previousResources.c_str()); }
  std::string path(const char* name) const { return (home.root() / name).string(); }
  std::string factoryBank() const { return path("resources/init.fxb"); }

  ScopedConfigHome home;
  // Registered before the folder: the first registration names its own.
  Component tessaryn = registerTessarynComponent("");
  std::string previousResources = GetBundleResourcePath(Synth::kBundleIdentifier);
};

} // namespace

TEST_F(SynthFiles, TheInstrumentsReadersTakeOlderFilesTheGenericReadersRefuse)
{
  FileBytes bank, olderState, shortProgram;
  bank.header("FxBk", 2, 20104, 2).i32(1).text("", 124);
  for (const char* name : {"Old A", "Old B"})
    bank.header("FxCk", 1, 20104, T::kPtmDrift).text(name, 28).olderFloats();
  olderState.header("FPCh", 1, 20104, T::kPtmDrift).text("Old Chunk", 28).olderDoubles();
  shortProgram.header("FxCk", 1, 20301, T::kPtmDrift).text("Old Floats", 28).olderFloats();

  // The last column is PtmDrift: chunks of older data lack it; floats leave it as it was.
  const std::tuple<const FileBytes&, bool, const char*, double> cases[] = {
      {bank, true, "Old B", 2.0}, {olderState, false, "Old Chunk", 0.0}, {shortProgram, false, "Old Floats", 2.0}};
  for (const auto& [bytes, isBank, name, ptmDrift] : cases)
  {
    bytes.write(path("file"));
    WDL_String file(path("file").c_str());
    TessarynProbe generic, instrument;
    EXPECT_FALSE(isBank ? generic.LoadBankFromFXB(&file) : generic.LoadProgramFromFXP(&file)) << name;
    instrument.GetParam(T::kPtmDrift)->Set(2.0);
    instrument.RestorePreset(0); // as after opening: the current program is initialised
    ASSERT_TRUE(isBank ? instrument.loadTessarynBankFromFXB(&file) : instrument.loadTessarynProgramFromFXP(&file))
        << name;
    EXPECT_EQ(instrument.mDataVersion, Synth::kDataVersion);
    EXPECT_STREQ(instrument.GetPresetName(instrument.GetCurrentPresetIdx()), name);
    EXPECT_EQ(instrument.GetParam(T::kVolume)->Value(), 0.25) << name;
    EXPECT_EQ(instrument.GetParam(T::kPtmDrift)->Value(), ptmDrift) << name;
  }
}

TEST_F(SynthFiles, ABankSavedByTheInstrumentLoadsFromItsBytesAndAShortBlobChangesNothing)
{
  writeBank(path("bank.fxb"), {"Lead", "Bass", "Pad"});
  const std::string bytes = readFile(path("bank.fxb"));
  TessarynProbe fromBlob, fromShortBlob;
  fromBlob.loadFXBfromBlob(bytes.data(), int(bytes.size()));
  fromShortBlob.loadFXBfromBlob(bytes.data(), 159);
  for (int i = 0; const char* name : {"Lead", "Bass", "Pad", "empty"})
    EXPECT_STREQ(fromBlob.GetPresetName(i++), name);
  fromBlob.RestorePreset(2);
  EXPECT_DOUBLE_EQ(fromBlob.GetParam(T::kVolume)->Value(), 0.3);
  EXPECT_EQ(fromShortBlob.GetPresetName(0), std::string("empty"));
}

// The startup bank comes from the configuration; one that is gone is
// forgotten and the factory bank stands in.
TEST_F(SynthFiles, OpeningLoadsTheStartupBankElseTheFactoryBank)
{
  writeBank(path("startup.fxb"), {"Startup 1"});
  writeBank(factoryBank(), {"Factory 1", "Factory 2"});
  const std::string ini = home.xdg() + "/Pellworth/tessaryn.ini";
  const std::tuple<std::string, const char*, std::string> cases[] = {
      {path("startup.fxb"), "Startup 1", path("startup.fxb")},
      {path("missing.fxb"), "Factory 1", ""},
      {"", "Factory 1", ""}};
  for (const auto& [startupBank, firstProgram, startupPathAfter] : cases)
  {
    std::filesystem::create_directories(home.xdg() + "/Pellworth");
    ASSERT_TRUE(WritePrivateProfileString("Startup Bank", "File", startupBank.c_str(), ini.c_str()));
    TessarynProbe synth;
    EXPECT_STREQ(synth.GetPresetName(0), firstProgram) << startupBank;
    EXPECT_EQ(synth.mStartupBankPath.Get(), startupPathAfter);
  }
}

// A program the fresh instance lacks (here one loaded from a file under its
// own name) still comes back under its name. The sound's own return is the
// state round trip's business in the host tests.
TEST_F(SynthFiles, AHostRestoresTheProgramNameAndValuesItSaved)
{
  writeBank(factoryBank(), {"Lead", "Bass", "Pad"});
  {
    TessarynProbe synth;
    synth.GetParam(T::kWave1)->Set(3.0);
    synth.ModifyCurrentPreset("Imported");
    WDL_String file(path("imported.fxp").c_str());
    ASSERT_TRUE(synth.SaveProgramAsFXP(&file));
  }
  std::vector<uint8_t> state;
  {
    HostModel before;
    ASSERT_EQ(before.Open(tessaryn), noErr);
    before.SelectPreset(1);
    ASSERT_EQ(before.LoadProgramFile(path("imported.fxp").c_str()), noErr);
    before.SetParameter(T::kCutOff, 0.4f);
    ASSERT_EQ(before.SaveState(state), noErr);
  }
  HostModel after;
  ASSERT_EQ(after.Open(tessaryn), noErr);
  ASSERT_EQ(after.LoadState(state.data(), state.size()), noErr);
  HostPreset preset;
  after.CurrentPreset(preset);
  EXPECT_EQ(preset.mName, "Imported");
  float cutOff = 0.0f, wave = 0.0f;
  after.GetParameter(T::kCutOff, &cutOff);
  after.GetParameter(T::kWave1, &wave);
  EXPECT_EQ(cutOff, 0.4f);
  EXPECT_EQ(wave, 3.0f);
}
