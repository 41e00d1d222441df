#include "TestPlug.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace
{
// Four parameters of every kind, so values travel through each argument type.
struct TypedPlug : TestPlug
{
  explicit TypedPlug(int nPresets = 8) : TestPlug(4, "0-2", nPresets)
  {
    GetParam(0)->InitBool("bool", false);
    GetParam(1)->InitInt("int", 0, -5, 5);
    GetParam(2)->InitEnum("enum", 0, 4);
    GetParam(3)->InitDouble("double", 0.0, 0.0, 1.0, 0.001);
  }
};

// One stored program as the list holds it: name, initialised flag, values.
void putProgram(ByteChunk& chunk, const char* name, double value)
{
  chunk.PutStr(name);
  chunk.PutBool(true);
  chunk.Put(&value);
}
} // namespace

TEST(VersionHeader, AChunkWithoutItIsReadFromWhereItWas)
{
  ByteChunk other;
  other.PutStr("data");
  int pos = 0;
  EXPECT_EQ(IPlugBase::GetIPlugVerFromChunk(&other, &pos), 0);
  EXPECT_EQ(pos, 0);

  ByteChunk magicOnly;
  magicOnly.Put(&IPlugBase::kMagic);
  pos = 0;
  EXPECT_EQ(IPlugBase::GetIPlugVerFromChunk(&magicOnly, &pos), 0);
  EXPECT_EQ(pos, -1);
}

TEST(ProgramList, ParametersReadUntilTheDataRunsOut)
{
  TypedPlug plug;
  for (int i = 0; i < 4; ++i)
    plug.GetParam(i)->Set(1.0);
  ByteChunk chunk;
  const double values[] = {0.0, 4.0};
  chunk.Put(&values[0]);
  chunk.Put(&values[1]);
  EXPECT_EQ(plug.UnserializeParams(&chunk, 0), -1);
  EXPECT_EQ(plug.values(), (std::vector<double>{0.0, 4.0, 0.0, 1.0}));
  EXPECT_EQ(plug.mChanged, (std::vector<int>{0, 1, 2, 3}));

  plug.mChanged.clear();
  EXPECT_EQ(plug.UnserializeParams(&chunk, -1), -1);
  EXPECT_EQ(plug.mChanged.size(), 4u);
}

TEST(ProgramList, InvalidSelectionsChangeNothing)
{
  TypedPlug plug;
  plug.RestorePreset(2);
  for (int idx : {-1, plug.NPresets()})
    EXPECT_FALSE(plug.RestorePreset(idx));
  for (const char* name : {static_cast<const char*>(nullptr), "", "nope"})
    EXPECT_FALSE(plug.RestorePreset(name));
  EXPECT_STREQ(plug.GetPresetName(plug.NPresets()), "");
  EXPECT_EQ(plug.GetCurrentPresetIdx(), 2);
  EXPECT_EQ(plug.mPresetsChanged, 1);
}

TEST(ProgramList, AProgramWhoseStateCannotBeReadIsNotSelected)
{
  TypedPlug plug;
  ByteChunk shortState;
  const double one = 1.0;
  shortState.Put(&one);
  plug.MakePresetFromChunk("broken", &shortState);
  EXPECT_FALSE(plug.RestorePreset(0));
  EXPECT_EQ(plug.mPresetsChanged, 0);
}

TEST(ProgramList, StoredNamesOfAnyLengthAreCutTo255Characters)
{
  TestPlug plug(1, "0-2", 2);
  const std::string longName(1000, 'n');
  ByteChunk chunk;
  putProgram(chunk, longName.c_str(), 0.5);
  plug.UnserializePresets(&chunk, 0);
  EXPECT_EQ(plug.GetPresetName(0), longName.substr(0, 255));

  plug.MakePreset(longName.c_str(), 0.0);
  plug.ModifyCurrentPreset(longName.c_str());
  EXPECT_EQ(std::string(plug.GetPresetName(0)).size(), 255u);
  EXPECT_EQ(std::string(plug.GetPresetName(1)).size(), 255u);
}

TEST(ProgramList, ATruncatedListStopsReadingAndBlanksTheBrokenName)
{
  TestPlug plug(1, "0-2", 2);
  ByteChunk chunk;
  putProgram(chunk, "ok", 0.5);
  const int length = 50;
  chunk.Put(&length);
  EXPECT_EQ(plug.UnserializePresets(&chunk, 0), -1);
  EXPECT_STREQ(plug.GetPresetName(0), "ok");
  EXPECT_STREQ(plug.GetPresetName(1), "");
}
