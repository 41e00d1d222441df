// A stand-in for libMTS that honours its calling contract, built three ways
// (FAKE_MASTER_BEHAVIOUR): a master publishing equal temperament, the same
// master also filtering note 61, and a library with no master running.
// Channel 2 has its own table, an octave up, and filters note 60 there.

#include <cmath>

namespace
{
enum class Behaviour
{
  kEqualTemperament,
  kFiltersNote61,
  kNoMaster
};
constexpr Behaviour kBehaviour = static_cast<Behaviour>(FAKE_MASTER_BEHAVIOUR);
constexpr int kNotes = 128;
constexpr signed char kRetunedChannel = 2;

struct Tables
{
  double single[kNotes];
  double retunedChannel[kNotes];

  Tables()
  {
    for (int note = 0; note < kNotes; ++note)
    {
      single[note] = 440.0 * std::pow(2.0, (note - 69) / 12.0);
      retunedChannel[note] = 2.0 * single[note];
    }
  }
};

Tables gTables;
int gTableFetches = 0;
} // namespace

extern "C"
{
  void MTS_RegisterClient() {}
  void MTS_DeregisterClient() {}
  bool MTS_HasMaster()
  {
    return kBehaviour != Behaviour::kNoMaster;
  }
  bool MTS_ShouldFilterNote(signed char note, signed char)
  {
    return kBehaviour == Behaviour::kFiltersNote61 && note == 61;
  }
  bool MTS_ShouldFilterNoteMultiChannel(signed char note, signed char channel)
  {
    return channel == kRetunedChannel && note == 60;
  }
  const double* MTS_GetTuningTable()
  {
    ++gTableFetches;
    return gTables.single;
  }
  const double* MTS_GetMultiChannelTuningTable(signed char channel)
  {
    return channel == kRetunedChannel ? gTables.retunedChannel : nullptr;
  }
  bool MTS_UseMultiChannelTuning(signed char channel)
  {
    return channel == kRetunedChannel;
  }
  const char* MTS_GetScaleName()
  {
    return "12-TET";
  }

  // Controls for the tests, outside the library's contract.
  void FakeMaster_Retune(int note, double hz)
  {
    gTables.single[note] = hz;
  }
  int FakeMaster_TableFetches()
  {
    return gTableFetches;
  }
}
