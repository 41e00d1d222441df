#include "libMTSClient.h"

#include "FakeTuningMasters.h"

#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <thread>

namespace
{
auto registerWith(const mtsclientglobal& library)
{
  return std::unique_ptr<MTSClient, void (*)(MTSClient*)>(MTS_RegisterClientWith(library), MTS_DeregisterClient);
}

const auto equalTemperedHz = [](int note) { return 440.0 * std::pow(2.0, (note - 69) / 12.0); };

constexpr char kNoChannel = -1;
constexpr char kRetunedChannel = 2; // the stand-in's channel with its own table
} // namespace

TEST(TuningLibraryLoader, TakesTheFirstCandidateThatOpens)
{
  const mtsclientglobal fallback({kMissingLibrary, kEqualTemperamentMaster, kMasterlessLibrary});
  EXPECT_TRUE(fallback.isLoaded());
  EXPECT_TRUE(fallback.isOnline());

  const mtsclientglobal first({kMasterlessLibrary, kEqualTemperamentMaster});
  EXPECT_TRUE(first.isLoaded());
  EXPECT_FALSE(first.isOnline());
}

TEST(TuningLibraryLoader, FetchesTheMastersTablesOnceAtLoad)
{
  const mtsclientglobal library({kEqualTemperamentMaster});
  ASSERT_NE(library.mTuningTable, nullptr);
  EXPECT_DOUBLE_EQ(library.mTuningTable[69], 440.0);

  const auto fetches = fakeMasterControl<int (*)()>(kEqualTemperamentMaster, "FakeMaster_TableFetches");
  const int fetchesAfterLoad = fetches();
  auto client = registerWith(library);
  for (int note = 0; note < 128; ++note)
    MTS_NoteToFrequency(client.get(), static_cast<char>(note), kNoChannel);
  EXPECT_EQ(fetches(), fetchesAfterLoad);

  const mtsclientglobal secondLoader({kEqualTemperamentMaster});
  EXPECT_EQ(fetches(), fetchesAfterLoad + 1);
}

TEST(TuningClient, WithoutAMasterAnswersEqualTemperamentAndFiltersNothing)
{
  const mtsclientglobal missing({kMissingLibrary});
  const mtsclientglobal masterless({kMasterlessLibrary});
  const mtsclientglobal withoutEntryPoints({kLibraryWithoutEntryPoints});
  ASSERT_TRUE(withoutEntryPoints.isLoaded());

  for (const mtsclientglobal* library : {&missing, &masterless, &withoutEntryPoints})
  {
    auto client = registerWith(*library);
    EXPECT_FALSE(MTS_HasMaster(client.get()));
    EXPECT_FALSE(MTS_ShouldFilterNote(client.get(), 61, kNoChannel));
    EXPECT_DOUBLE_EQ(MTS_NoteToFrequency(client.get(), 58, kNoChannel), equalTemperedHz(58));
  }
}

TEST(TuningClient, ANullClientAnswersLikeNoMasterAndNotesOutsideTheMidiRangeWrap)
{
  EXPECT_FALSE(MTS_HasMaster(nullptr));
  EXPECT_DOUBLE_EQ(MTS_NoteToFrequency(nullptr, static_cast<char>(69 + 128), kNoChannel), 440.0);
  MTS_DeregisterClient(nullptr);

  const mtsclientglobal library({kNote61FilteringMaster}); // notes outside the MIDI range wrap into it
  auto client = registerWith(library);
  EXPECT_TRUE(MTS_ShouldFilterNote(client.get(), static_cast<char>(61 + 128), kNoChannel));
  EXPECT_DOUBLE_EQ(MTS_NoteToFrequency(client.get(), static_cast<char>(69 + 128), kNoChannel), 440.0);
}

// Each case: an optional filter query first (its channel, or none), then the
// query under test. The master's per-channel answers count only once the
// caller has shown that it passes real channels to both kinds of query.
struct ChannelCase
{
  const char* what;
  bool filterFirst;
  char filterChannel;
  char channel;
  bool expectChannelAnswer;
};

TEST(TuningClient, AsksForPerChannelTuningOnlyWhenTheCallerPassesRealChannels)
{
  const ChannelCase cases[] = {
      {"no filter query yet", false, 0, kRetunedChannel, false},
      {"filter and frequency on the retuned channel", true, kRetunedChannel, kRetunedChannel, true},
      {"channel without its own table", true, 5, 5, false},
      {"filter query without a channel", true, kNoChannel, kRetunedChannel, false},
      {"frequency query without a channel", true, kRetunedChannel, kNoChannel, false},
  };
  const mtsclientglobal library({kEqualTemperamentMaster});
  for (const ChannelCase& c : cases)
  {
    auto client = registerWith(library);
    if (c.filterFirst) MTS_ShouldFilterNote(client.get(), 69, c.filterChannel);
    const double expected = c.expectChannelAnswer ? 880.0 : 440.0;
    EXPECT_DOUBLE_EQ(MTS_NoteToFrequency(client.get(), 69, c.channel), expected) << c.what;
  }
}

TEST(TuningClient, FiltersPerChannelOnlyUntilTheCallerShowsItsFrequencyQueriesLackChannels)
{
  const mtsclientglobal library({kEqualTemperamentMaster});
  // The stand-in filters note 60 only on its retuned channel, never on the single-channel path.
  auto fresh = registerWith(library);
  EXPECT_TRUE(MTS_ShouldFilterNote(fresh.get(), 60, kRetunedChannel));
  EXPECT_FALSE(MTS_ShouldFilterNote(fresh.get(), 60, kNoChannel));

  auto queriedWithoutChannel = registerWith(library);
  MTS_NoteToFrequency(queriedWithoutChannel.get(), 60, kNoChannel);
  EXPECT_FALSE(MTS_ShouldFilterNote(queriedWithoutChannel.get(), 60, kRetunedChannel));

  auto queriedWithChannel = registerWith(library);
  MTS_NoteToFrequency(queriedWithChannel.get(), 60, kRetunedChannel);
  EXPECT_TRUE(MTS_ShouldFilterNote(queriedWithChannel.get(), 60, kRetunedChannel));
}

// Meaningful under ThreadSanitizer: the audio thread and a host thread may
// query the same client at once.
TEST(TuningClient, AnswersQueriesFromTwoThreadsAtOnce)
{
  const mtsclientglobal library({kEqualTemperamentMaster});
  auto client = registerWith(library);
  auto query = [&client](char channel)
  {
    for (int note = 0; note < 128; ++note)
    {
      MTS_ShouldFilterNote(client.get(), static_cast<char>(note), channel);
      const double hz = MTS_NoteToFrequency(client.get(), static_cast<char>(note), channel);
      EXPECT_TRUE(hz == equalTemperedHz(note) || hz == 2.0 * equalTemperedHz(note));
    }
  };
  std::thread other(query, kRetunedChannel);
  query(kNoChannel);
  other.join();
}
