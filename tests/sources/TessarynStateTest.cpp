// The instrument's state chunk: its layout, the older layouts it still
// reads, what it rejects, and older program lists.

#include "TessarynRig.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <string>
#include <tuple>
#include <vector>

namespace
{
using T = Tessaryn;

constexpr int kHeaderSize = 22; // magic, program index, name length
constexpr int kValuesSize = T::kNumParams * 8;

// Values inside every parameter's range, different for each and from its default.
void setDistinctValues(Tessaryn& synth)
{
  for (int i = 0; i < T::kNumParams; ++i)
  {
    IParam* param = synth.GetParam(i);
    const double value = param->GetMin() + (0.25 + 0.5 * (i % 7) / 7.0) * (param->GetMax() - param->GetMin());
    param->Set(param->Type() == kTypeDouble ? value : std::floor(value));
  }
}

std::vector<double> values(const Tessaryn& synth)
{
  std::vector<double> all;
  for (int i = 0; i < T::kNumParams; ++i)
    all.push_back(synth.GetParam(i)->Value());
  return all;
}

void putValues(ByteChunk* chunk, const std::vector<double>& values, int count)
{
  for (int i = 0; i < count; ++i)
    chunk->Put(&values[i]);
}

int intAt(const ByteChunk& chunk, int pos)
{
  int value = 0;
  chunk.Get(&value, pos);
  return value;
}

struct TessarynState : ::testing::Test
{
  TessarynProbe synth;
};
} // namespace

TEST_F(TessarynState, AStateReadBackReturnsItsLengthAndRestoresEveryValue)
{
  for (const char* name : {"Brass Swell", ""})
  {
    TessarynProbe source;
    if (*name)
    {
      source.RestorePreset(3);
      source.ModifyCurrentPreset(name);
    }
    else
      source.PruneUninitializedPresets(); // no program, no name
    setDistinctValues(source);
    ByteChunk chunk;
    ASSERT_TRUE(source.SerializeState(&chunk));
    const int nameLength = int(strlen(name));
    ASSERT_EQ(chunk.Size(), kHeaderSize + nameLength + kValuesSize) << name;
    EXPECT_EQ(memcmp(chunk.GetBytes(), "Tessaryn_2.3.1", 14), 0);
    EXPECT_EQ(intAt(chunk, 14), *name ? 3 : 0);
    EXPECT_EQ(intAt(chunk, 18), nameLength);
    EXPECT_EQ(memcmp(chunk.GetBytes() + kHeaderSize, name, nameLength), 0);

    EXPECT_EQ(synth.UnserializeState(&chunk, 0), chunk.Size());
    EXPECT_EQ(values(synth), values(source)) << name;
  }
}

// Older data holds the values alone; before 2.2.0 it ended before PtmDrift.
TEST_F(TessarynState, ValuesWithoutTheHeaderAreReadAsTheOlderLayout)
{
  const std::tuple<int, int, int> cases[] = {
      {T::kNumParams, 20301, kValuesSize}, {T::kNumParams - 1, 20301, -1}, {T::kNumParams - 1, 20104, kValuesSize - 8}};
  TessarynProbe source;
  setDistinctValues(source);
  source.GetParam(T::kPtmDrift)->Set(2.0);
  const std::vector<double> stored = values(source);
  for (const auto& [count, dataVersion, result] : cases)
  {
    ByteChunk chunk;
    putValues(&chunk, stored, count);
    synth.GetParam(T::kPtmDrift)->Set(1.0);
    synth.mDataVersion = dataVersion;
    EXPECT_EQ(synth.UnserializeState(&chunk, 0), result) << count << " at " << dataVersion;
    synth.mDataVersion = Synth::kDataVersion;
    std::vector<double> expected = stored;
    if (count < T::kNumParams) expected[T::kPtmDrift] = 0.0; // "Off"
    EXPECT_EQ(values(synth), expected) << count << " at " << dataVersion;
  }
}

TEST_F(TessarynState, ADamagedHeaderIsRejectedWithoutChangingAParameter)
{
  ByteChunk full;
  synth.SerializeState(&full);
  const std::tuple<const char*, int, int> cases[] = {{"a name longer than the rest", full.Size(), full.Size()},
                                                     {"a negative name length", -kHeaderSize, full.Size()},
                                                     {"a cut magic", 0, 7}};
  setDistinctValues(synth);
  const std::vector<double> before = values(synth);
  for (const auto& [what, nameLength, size] : cases)
  {
    ByteChunk chunk;
    chunk.PutChunk(&full);
    memcpy(chunk.GetBytes() + 18, &nameLength, sizeof nameLength);
    chunk.Resize(size);
    EXPECT_EQ(synth.UnserializeState(&chunk, 0), -1) << what;
    EXPECT_EQ(values(synth), before) << what;
  }
}

TEST_F(TessarynState, StoredValuesOutsideTheirRangeAreClamped)
{
  const std::tuple<int, double, double> cases[] = {
      {T::kVolume, 200.0, 1.0}, {T::kDetune, -5.0, 0.0}, {T::kCutOff, NAN, 1.0 /* default */}};
  std::vector<double> stored = values(synth);
  for (const auto& [param, value, restored] : cases)
    stored[param] = value;
  ByteChunk chunk;
  putValues(&chunk, stored, T::kNumParams);
  synth.GetParam(T::kCutOff)->Set(0.3);
  EXPECT_EQ(synth.UnserializeState(&chunk, 0), kValuesSize);
  for (const auto& [param, value, restored] : cases)
    EXPECT_EQ(synth.GetParam(param)->Value(), restored) << synth.GetParam(param)->GetNameForHost();
}

// Lists written before 2.2.0 hold 69 values per program; the first reading
// fails and the second, as older data, upgrades every program.
TEST_F(TessarynState, AProgramListOfOlderProgramsLoadsWithPtmDriftOff)
{
  ByteChunk list;
  std::vector<double> stored = values(synth);
  for (int i = 0; i < T::kNumPrograms; ++i)
  {
    list.PutStr(("Old " + std::to_string(i)).c_str());
    list.PutBool(true);
    stored[T::kVolume] = i / 100.0;
    putValues(&list, stored, T::kNumParams - 1);
  }
  synth.GetParam(T::kPtmDrift)->Set(2.0);
  EXPECT_EQ(synth.UnserializePresets(&list, 0), list.Size());
  EXPECT_EQ(synth.mDataVersion, Synth::kDataVersion);
  for (int i : {0, 40, 63})
  {
    EXPECT_STREQ(synth.GetPresetName(i), ("Old " + std::to_string(i)).c_str());
    ASSERT_TRUE(synth.RestorePreset(i));
    EXPECT_EQ(synth.GetParam(T::kVolume)->Value(), i / 100.0);
    EXPECT_EQ(synth.GetParam(T::kPtmDrift)->Value(), 0.0);
  }
}
