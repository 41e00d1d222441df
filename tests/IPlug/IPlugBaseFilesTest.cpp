#include "BigEndian.h"
#include "FileContents.h"
#include "TemporaryFolder.h"
#include "TestPlug.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <string>
#include <tuple>
#include <vector>

namespace
{
using Bytes = std::string;

Bytes bytesOf(const ByteChunk& chunk)
{
  return Bytes(reinterpret_cast<const char*>(chunk.GetBytes()), size_t(chunk.Size()));
}

constexpr int kPlugID = 0x54737279;
constexpr int kOtherID = 0x4f746872;

// A plug-in whose parameters keep their values exactly through normalised
// floats, with the readers an instrument builds from the shared ones.
struct FilePlug : TestPlug
{
  explicit FilePlug(bool doesChunks = true, int nParams = 4, int nPresets = 3)
      : TestPlug(nParams, "0-2", nPresets, "Effect", doesChunks)
  {
    for (int i = 0; i < nParams; ++i)
      GetParam(i)->InitDouble("p", 0.0, 0.0, 8.0, 0.125);
  }

  void InformHostOfProgramChange() override { ++mProgramChanges; }

  bool loadProgramAsInstrument(WDL_String* pFile) { return LoadProgramFromFXP(pFile, instrumentOptions()); }
  FileReadOptions instrumentOptions() { return {NParams() - 1, NParams(), true, {}, {}}; }

  void setValues(const std::vector<double>& values)
  {
    for (int i = 0; i < NParams(); ++i)
      GetParam(i)->Set(values[static_cast<size_t>(i) % values.size()]);
  }

  // Everything a reader may change: the live values, the program list and the current index.
  struct Snapshot
  {
    std::vector<double> values;
    Bytes programs;
    int currentIdx;
    bool operator==(const Snapshot&) const = default;
  };
  Snapshot snapshot()
  {
    ByteChunk programs;
    SerializePresets(&programs);
    return {values(), bytesOf(programs), GetCurrentPresetIdx()};
  }

  int mProgramChanges = 0;
};

class FileTest : public testing::Test
{
protected:
  WDL_String path(const char* name) const { return WDL_String(mFolder.path(name).c_str()); }

  static void setIntAt(Bytes* pBytes, size_t pos, int value)
  {
    ByteChunk chunk;
    PutBigEndian(&chunk, value);
    pBytes->replace(pos, 4, bytesOf(chunk));
  }

  // A program block or parameter-form program file, built by hand.
  static Bytes programBlock(int nParams, const std::string& name, float value)
  {
    ByteChunk chunk;
    for (int field : {FourCC("CcnK"), 0, FourCC("FxCk"), 1, kPlugID, 20301, nParams})
      PutBigEndian(&chunk, field);
    std::string field = name;
    field.resize(28, '\0');
    chunk.PutBytes(field.data(), 28);
    for (int i = 0; i < nParams; ++i)
      PutBigEndian(&chunk, value);
    return bytesOf(chunk);
  }

  // The file saved by a plug-in holding distinct values and programs.
  Bytes savedBytes(const char* name, bool bank, bool doesChunks)
  {
    FilePlug source(doesChunks);
    source.setValues({1.0, 2.5, 7.875});
    source.RestorePreset(0);
    source.ModifyCurrentPreset("first");
    source.RestorePreset(2);
    source.setValues({4.0, 0.125});
    source.ModifyCurrentPreset("second");
    WDL_String file = path(name);
    EXPECT_TRUE(bank ? source.SaveBankAsFXB(&file) : source.SaveProgramAsFXP(&file));
    return readFile(file.Get());
  }

  TemporaryFolder mFolder;
};
} // namespace

TEST_F(FileTest, AProgramFileIsABigEndianHeaderAroundTheVersionedState)
{
  FilePlug plug;
  plug.setValues({0.5});
  plug.RestorePreset(1);
  plug.ModifyCurrentPreset("lead");
  WDL_String file = path("layout.fxp");
  ASSERT_TRUE(plug.SaveProgramAsFXP(&file));

  const Bytes bytes = readFile(file.Get());
  ASSERT_EQ(bytes.size(), 60u + 8u + 4u * 8u);
  ByteChunk header; // magic, size, form, format version, ID, version 2.3.1, parameters
  for (int field : {FourCC("CcnK"), 100, FourCC("FPCh"), 1, kPlugID, 20301, 4})
    PutBigEndian(&header, field);
  EXPECT_EQ(bytes.substr(0, 28), bytesOf(header));
  EXPECT_EQ(bytes.substr(28, 28), std::string("lead") + std::string(24, '\0'));
  EXPECT_EQ(bytes.substr(56, 4), Bytes("\0\0\0\x28", 4)) << "the chunk's 40 bytes";
  EXPECT_EQ(bytes.substr(60, 8), Bytes("tffp\0\0\1\0", 8));
  double first = 0.0;
  memcpy(&first, bytes.data() + 68, sizeof first);
  EXPECT_EQ(first, 0.5);
}

TEST_F(FileTest, FilesThatFailTheHeaderChecksChangeNothing)
{
  const Bytes program = savedBytes("valid.fxp", false, true);
  const Bytes bank = savedBytes("valid.fxb", true, true);
  const std::tuple<const char*, bool, size_t, int> cases[] = {
      {"program of another plug-in", false, 16, kOtherID},
      {"program of format version 2", false, 12, 2},
      {"bank of another plug-in", true, 16, kOtherID},
  };
  for (const auto& [what, isBank, pos, value] : cases)
  {
    SCOPED_TRACE(what);
    Bytes bytes = isBank ? bank : program;
    setIntAt(&bytes, pos, value);
    WDL_String file = path("changed");
    writeFile(file.Get(), bytes);
    FilePlug plug;
    const FilePlug::Snapshot before = plug.snapshot();
    EXPECT_FALSE(isBank ? plug.LoadBankFromFXB(&file) : plug.LoadProgramFromFXP(&file));
    EXPECT_EQ(plug.snapshot(), before);
    EXPECT_EQ(plug.mProgramChanges, 0);
  }
}

TEST_F(FileTest, MissingFilesAndPathsAreRefused)
{
  FilePlug plug;
  WDL_String empty;
  WDL_String missing = path("no/such/file.fxp");
  for (WDL_String* pFile : {static_cast<WDL_String*>(nullptr), &empty, &missing})
  {
    EXPECT_FALSE(plug.SaveProgramAsFXP(pFile));
    EXPECT_FALSE(plug.SaveBankAsFXB(pFile));
    EXPECT_FALSE(plug.LoadProgramFromFXP(pFile));
    EXPECT_FALSE(plug.LoadBankFromFXB(pFile));
  }
}

TEST_F(FileTest, TheInstrumentsProgramReaderReadsNoMoreValuesThanThePlugInHas)
{
  WDL_String file = path("count.fxp");
  writeFile(file.Get(), programBlock(1000, "n", 0.25f));
  FilePlug plug(false);
  ASSERT_TRUE(plug.loadProgramAsInstrument(&file));
  EXPECT_EQ(plug.values(), (std::vector<double>{2.0, 2.0, 2.0, 2.0}));
}

TEST_F(FileTest, ValuesOutsideTheNormalisedRangeAreClampedAndNaNIgnored)
{
  Bytes bytes = programBlock(4, "odd", 0.0f);
  setIntAt(&bytes, 56, std::bit_cast<int>(-3.0f));
  setIntAt(&bytes, 60, std::bit_cast<int>(7.0f));
  setIntAt(&bytes, 64, std::bit_cast<int>(std::nanf("")));
  setIntAt(&bytes, 68, std::bit_cast<int>(INFINITY));
  WDL_String file = path("odd.fxp");
  writeFile(file.Get(), bytes);
  FilePlug plug;
  plug.setValues({5.0});
  ASSERT_TRUE(plug.LoadProgramFromFXP(&file));
  EXPECT_EQ(plug.values(), (std::vector<double>{0.0, 8.0, 5.0, 8.0}));
}

TEST_F(FileTest, CutOffFilesAreRefusedOrLoadOnlyWhatIsWhole)
{
  for (bool doesChunks : {true, false})
    for (bool bank : {false, true})
    {
      const Bytes whole = savedBytes("whole", bank, doesChunks);
      for (size_t length = 0; length < whole.size(); ++length)
      {
        SCOPED_TRACE(testing::Message() << (bank ? "bank" : "program") << " chunks " << doesChunks << " length "
                                        << length);
        WDL_String file = path("cut");
        writeFile(file.Get(), whole.substr(0, length));
        FilePlug plug(doesChunks);
        const FilePlug::Snapshot before = plug.snapshot();
        EXPECT_FALSE(bank ? plug.LoadBankFromFXB(&file) : plug.LoadProgramFromFXP(&file));
        // A failed load leaves every program and the current state as they were.
        EXPECT_EQ(plug.snapshot(), before);
        for (double value : plug.values())
          EXPECT_TRUE(value >= 0.0 && value <= 8.0);
      }
    }
}

TEST_F(FileTest, BlocksBeyondTheProgramListAreNotRead)
{
  ByteChunk header; // a bank of three parameter-form programs, the first current
  for (int field : {FourCC("CcnK"), 0, FourCC("FxBk"), 2, kPlugID, 20301, 3, 0})
    PutBigEndian(&header, field);
  Bytes bank = bytesOf(header);
  bank.resize(156, '\0');
  WDL_String file = path("long.fxb");
  writeFile(file.Get(), bank + programBlock(4, "a", 0.25f) + programBlock(4, "b", 0.5f) + programBlock(4, "c", 1.f));
  FilePlug plug(false, 4, 2);
  ASSERT_TRUE(plug.LoadBankFromFXB(&file));
  EXPECT_STREQ(plug.GetPresetName(1), "b");
  ASSERT_TRUE(plug.RestorePreset(1));
  EXPECT_EQ(plug.values(), (std::vector<double>{4.0, 4.0, 4.0, 4.0}));
}

TEST_F(FileTest, NamesAreCutToKeepATerminatorAndReadToTheFieldsEnd)
{
  const std::string name(28, 'n');
  FilePlug plug;
  plug.RestorePreset(0);
  plug.ModifyCurrentPreset(name.c_str());
  WDL_String file = path("name.fxp");
  ASSERT_TRUE(plug.SaveProgramAsFXP(&file));
  EXPECT_EQ(readFile(file.Get()).substr(28, 28), name.substr(0, 27) + std::string(1, '\0'));

  // A name that fills the field, as other writers leave it.
  writeFile(file.Get(), programBlock(4, name, 0.0f));
  ASSERT_TRUE(plug.LoadProgramFromFXP(&file));
  EXPECT_EQ(std::string(plug.GetPresetName(0)), name);
}
