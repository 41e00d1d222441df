// What must survive saving and loading: files of earlier builds and of the
// original platform, programs after a failed bank load, Hold across program
// changes, the configuration written in one piece.

#include "TessarynRig.h"

#include "BigEndian.h"
#include "FileContents.h"
#include "HostModel.h"
#include "IPlugAUDictionary.h"
#include "ScopedConfigHome.h"
#include "TessarynEntry.h"

#include <gtest/gtest.h>

#include <sys/inotify.h>
#include <unistd.h>

#include <filesystem>
#include <string>
#include <utility>

namespace
{
namespace fs = std::filesystem;
using T = Tessaryn;

constexpr int kIdPos = 16; // after magic, size, form and format version

std::string programList(Tessaryn& synth)
{
  ByteChunk chunk;
  synth.SerializePresets(&chunk);
  synth.SerializeState(&chunk);
  return {reinterpret_cast<const char*>(chunk.GetBytes()), static_cast<size_t>(chunk.Size())};
}

struct TessarynPersistence : ::testing::Test
{
  ScopedConfigHome home;
  TessarynRig rig;
  WDL_String file{(home.root() / "file").c_str()};
};
} // namespace

TEST_F(TessarynPersistence, ProgramFilesCarryTheCodeAndLoadWithItOrTheFormerNumber)
{
  ASSERT_TRUE(rig.synth.SaveProgramAsFXP(&file));
  const std::string saved = readFile(file.Get());
  ASSERT_EQ(saved.substr(kIdPos, 4), "1416");
  const std::pair<int, bool> cases[] = {{FourCC("1416"), true}, {1416, true}, {FourCC("Tst1"), false}};
  for (const auto& [code, loads] : cases)
  {
    ByteChunk id;
    PutBigEndian(&id, code);
    writeFile(file.Get(), std::string(saved).replace(kIdPos, 4, reinterpret_cast<const char*>(id.GetBytes()), 4));
    EXPECT_EQ(rig.synth.loadTessarynProgramFromFXP(&file), loads) << std::hex << code;
  }
}

// A host project saved by an earlier build holds the former subtype.
TEST_F(TessarynPersistence, AHostStateSavedUnderTheFormerSubtypeLoads)
{
  HostModel host;
  ASSERT_EQ(host.Open(registerTessarynComponent("")), noErr);
  host.SetParameter(T::kCutOff, 0.25f);
  CFPropertyListRef state = nullptr;
  ASSERT_EQ(host.GetState(&state), noErr);
  PutNumberInDict(const_cast<CFMutableDictionaryRef>(AsDictionary(state)), "subtype", T::kFormerUniqueID);
  host.SetParameter(T::kCutOff, 0.75f);
  EXPECT_EQ(host.SetState(state), noErr);
  CFRelease(state);
  float cutOff = 0.0f;
  host.GetParameter(T::kCutOff, &cutOff);
  EXPECT_EQ(cutOff, 0.25f);
}

TEST_F(TessarynPersistence, ABankCutInHalfLeavesEveryProgramAsItWas)
{
  ASSERT_TRUE(rig.synth.SaveBankAsFXB(&file));
  for (int i = 0; i < T::kNumPrograms; ++i)
  {
    rig.synth.RestorePreset(i);
    rig.set(T::kCutOff, 0.1 + i % 5 * 0.2);
    rig.synth.ModifyCurrentPreset("changed");
  }
  rig.synth.RestorePreset(3);
  rig.set(T::kCutOff, 0.42);
  const std::string before = programList(rig.synth);
  const std::string bank = readFile(file.Get());
  writeFile(file.Get(), bank.substr(0, bank.size() / 2));
  EXPECT_FALSE(rig.synth.loadTessarynBankFromFXB(&file));
  EXPECT_EQ(rig.synth.GetCurrentPresetIdx(), 3);
  EXPECT_EQ(programList(rig.synth), before);
}

// ARPState comes after Hold in the parameter order, so a program change
// replays Hold while the arpeggiator still runs for the program before.
TEST_F(TessarynPersistence, HoldSurvivesAStateRestoreAndAProgramChange)
{
  rig.set(T::kARPState, T::kArpOn);
  rig.synth.ModifyCurrentPreset("arpeggio");
  rig.synth.RestorePreset(1);
  rig.set(T::kARPState, T::kArpOff);
  rig.set(T::kHold, 1);
  ByteChunk state;
  rig.synth.SerializeState(&state);
  rig.synth.ModifyCurrentPreset("held");

  rig.synth.RestorePreset(0);
  rig.synth.RestorePreset(1);
  EXPECT_EQ(rig.synth.GetParam(T::kHold)->Int(), 1);
  rig.set(T::kHold, 0);
  rig.synth.UnserializeState(&state, 0);
  EXPECT_EQ(rig.synth.GetParam(T::kHold)->Int(), 1);
  EXPECT_TRUE(rig.synth.hold);
}

// Each atomic write creates one temporary file of its own name in the folder.
TEST_F(TessarynPersistence, SavingTheConfigurationWritesTheFileOnce)
{
  const std::string ini = home.xdg() + "/Pellworth/tessaryn.ini";
  for (int controller : {1, 7, 74})
    rig.synth.mMidiControlParam[controller] = controller % T::kNumParams;
  const int watcher = inotify_init1(IN_NONBLOCK);
  ASSERT_GE(inotify_add_watch(watcher, fs::path(ini).parent_path().c_str(), IN_CREATE), 0);
  ASSERT_TRUE(rig.synth.saveConfig(false));
  int creations = 0;
  alignas(inotify_event) char events[4096];
  for (ssize_t size; (size = read(watcher, events, sizeof events)) > 0;)
    for (char* at = events; at < events + size; at += sizeof(inotify_event) + reinterpret_cast<inotify_event*>(at)->len)
      ++creations;
  close(watcher);
  EXPECT_EQ(creations, 1);
  EXPECT_NE(readFile(ini).find("CC74=" + std::to_string(74 % T::kNumParams)), std::string::npos);
}
