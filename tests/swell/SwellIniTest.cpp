#include "swell-ini-cache.h"
#include "swell-ini.h"

#include "FileContents.h"
#include "TemporaryFolder.h"

#include <gtest/gtest.h>

#include <array>
#include <cstdlib>
#include <filesystem>
#include <regex>
#include <sys/stat.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>
#include <utime.h>
#include <vector>

namespace
{
namespace fs = std::filesystem;

void setModTime(const std::string& path, time_t seconds)
{
  const utimbuf times{seconds, seconds};
  ASSERT_EQ(utime(path.c_str(), &times), 0);
}

std::string get(const char* section, const char* key, const std::string& file, const char* defaultValue = "<none>")
{
  char out[256];
  GetPrivateProfileString(section, key, defaultValue, out, sizeof out, file.c_str());
  return out;
}

// Every test gets its own folder, so the process-wide cache never serves one
// test's file to another and the user's own settings are never touched.
class IniStore : public ::testing::Test
{
protected:
  TemporaryFolder mFolder;
  const std::string mDir = mFolder.root().string();
  const std::string mFile = mFolder.path("tessaryn.ini");
};

TEST_F(IniStore, ValuesAreStrippedOfBlanksAndOfOneMatchingPairOfQuotes)
{
  const std::pair<const char*, const char*> cases[] = {
      {"  'abc'  ", "abc"},
      {"'abc", "'abc"},
      {"'abc\"", "'abc\""},
      {"'", "'"},
  };
  time_t stamp = 1000000000;
  for (const auto& [stored, read] : cases)
  {
    writeFile(mFile, std::string("[S]\nk=") + stored + "\n");
    setModTime(mFile, ++stamp); // a new stamp, however fast the test runs
    EXPECT_EQ(get("S", "k", mFile), read) << "stored: " << stored;
  }
}

TEST_F(IniStore, ResultsAreCutToTheBufferAndMissingSectionsAndKeysGiveTheDefaultAsItIs)
{
  writeFile(mFile, "[S]\nk=true\n");
  char out[8] = "xxxxxxx";
  EXPECT_EQ(GetPrivateProfileString("S", "k", "", out, 4, mFile.c_str()), 3);
  EXPECT_STREQ(out, "tru");
  strcpy(out, "keep");
  EXPECT_EQ(GetPrivateProfileString("S", "k", "", out, 0, mFile.c_str()), 0);
  EXPECT_STREQ(out, "keep");

  EXPECT_EQ(get("T", "k", mFile, "  d  "), "  d  ");
  EXPECT_EQ(get("S", "other", mFile, nullptr), "");
  char shared[16] = "'quoted'";
  GetPrivateProfileString("S", "other", shared, shared, sizeof shared, mFile.c_str());
  EXPECT_STREQ(shared, "'quoted'");
}

TEST_F(IniStore, EditsMatchNamesWithoutRegardToCaseAndRewriteTheFileSorted)
{
  const char* file = mFile.c_str();
  writeFile(mFile, "[midi global]\nmidi thru=true\n[S]\nold=1\n[T]\nc=3\n[U]\nd=4\n");
  EXPECT_EQ(get("MIDI Global", "MIDI Thru", mFile), "true");
  EXPECT_TRUE(WritePrivateProfileString("MIDI Global", "MIDI Thru", "false", file));
  EXPECT_TRUE(WritePrivateProfileSection("s", "b=2\0a=1\0no equals\0bad\nkey=3\0", file));
  EXPECT_TRUE(WritePrivateProfileString("T", "C", nullptr, file));
  EXPECT_TRUE(WritePrivateProfileString("u", nullptr, nullptr, file));
  EXPECT_EQ(readFile(mFile), "[midi global]\nmidi thru=false\n\n[S]\na=1\nb=2\n\n[T]\n\n");
}

TEST_F(IniStore, TextThatWouldNotReadBackAsWrittenIsRefused)
{
  const char* file = mFile.c_str();
  // Section, key, value and file.
  const std::array<const char*, 4> cases[] = {
      {nullptr, "k", "v", file}, {"S", "k", "v", nullptr},   {"a]b", "k", "v", file},
      {"S", "k=x", "v", file},   {"S", "k", "a\n[T]", file},
  };
  writeFile(mFile, "[S]\nk=old\n");
  for (const auto& [section, key, value, path] : cases)
    EXPECT_FALSE(WritePrivateProfileString(section, key, value, path));
  EXPECT_EQ(readFile(mFile), "[S]\nk=old\n");
}

TEST_F(IniStore, ChangesByAnotherProgramAreNoticedBySizeOrBySecond)
{
  const time_t written = 1000000000;
  WritePrivateProfileString("S", "k", "1", mFile.c_str());
  setModTime(mFile, written);
  EXPECT_EQ(get("S", "k", mFile), "1");
  writeFile(mFile, "[S]\nk=22\n\n");
  setModTime(mFile, written);
  EXPECT_EQ(get("S", "k", mFile), "22");
  writeFile(mFile, "[S]\nk=33\n\n");
  setModTime(mFile, written + 1);
  EXPECT_EQ(get("S", "k", mFile), "33");
}

TEST_F(IniStore, AnUnwritableFileKeepsTheChangeInMemoryAndAnEmptySectionNeverCreatesTheFile)
{
  const std::string file = mDir + "/missing/tessaryn.ini";
  EXPECT_TRUE(WritePrivateProfileString("S", "k", "v", file.c_str()));
  EXPECT_EQ(get("S", "k", file), "v");
  EXPECT_FALSE(fs::exists(file));
  EXPECT_TRUE(WritePrivateProfileSection("Startup Bank", "", mFile.c_str()));
  EXPECT_FALSE(fs::exists(mFile));
}

TEST_F(IniStore, RewritingKeepsTheFilesPermissions)
{
  writeFile(mFile, "[S]\nk=v\n");
  chmod(mFile.c_str(), 0600);
  WritePrivateProfileString("S", "k", "w", mFile.c_str());
  struct stat status;
  ASSERT_EQ(stat(mFile.c_str(), &status), 0);
  EXPECT_EQ(status.st_mode & 0777, 0600u);
}

TEST_F(IniStore, MoreFilesThanCacheSlotsEachKeepTheirOwnValues)
{
  const int files = IniFileCache::kSlotCount + 8;
  auto pathOf = [&](int i) { return mDir + "/" + std::to_string(i) + ".ini"; };
  for (int i = 0; i < files; ++i)
    WritePrivateProfileString("S", "k", std::to_string(i).c_str(), pathOf(i).c_str());
  for (int i = files - 1; i >= 0; --i)
    EXPECT_EQ(get("S", "k", pathOf(i)), std::to_string(i));
}

TEST_F(IniStore, ThreadsWritingOneFileLoseNoKey)
{
  constexpr int kThreads = 4;
  constexpr int kKeysEach = 25;
  std::vector<std::thread> writers;
  for (int t = 0; t < kThreads; ++t)
    writers.emplace_back(
        [&, t]
        {
          for (int k = 0; k < kKeysEach; ++k)
            WritePrivateProfileString("S", ("T" + std::to_string(t) + "K" + std::to_string(k)).c_str(), "v",
                                      mFile.c_str());
        });
  for (std::thread& writer : writers)
    writer.join();
  const std::string text = readFile(mFile);
  EXPECT_EQ(std::count(text.begin(), text.end(), '\n'), kThreads * kKeysEach + 2);
}

// Writers in other processes share only the file and its locks. A reader
// must only ever see whole files: a writer that truncated another's temporary
// file mid-write would let an empty or torn file take the real one's place.
TEST_F(IniStore, ReadersSeeOnlyWholeFilesWhileOtherProcessesWrite)
{
  std::string filler = "[T]\n"; // big enough that a torn write has room to show
  for (int i = 0; i < 1000; ++i)
    filler += "k" + std::to_string(i) + "=v\n";
  writeFile(mFile, filler + "\n");
  const std::regex whole(
      "\\[S\\]\n(a=1\\d{3}\n)?(b=1\\d{3}\n)?\n\\[T\\]\n(k\\d+=v\n){1000}\n|\\[T\\]\n(k\\d+=v\n){1000}\n");
  std::vector<pid_t> writers;
  for (const char* key : {"a", "b"})
  {
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0)
    {
      for (int i = 1000; i < 1300; ++i)
        WritePrivateProfileString("S", key, std::to_string(i).c_str(), mFile.c_str());
      _exit(0);
    }
    writers.push_back(child);
  }
  int tornReads = 0;
  for (int running = 2; running > 0;)
  {
    tornReads += !std::regex_match(readFile(mFile), whole);
    running = 0;
    for (pid_t writer : writers)
      running += waitpid(writer, nullptr, WNOHANG) == 0;
  }
  EXPECT_EQ(tornReads, 0);
}

TEST_F(IniStore, ABatchWritesItsChangesOnceAtItsEndAndReadsThemMeanwhile)
{
  writeFile(mFile, "[S]\na=1\n");
  {
    IniWriteBatch batch(mFile.c_str());
    WritePrivateProfileSection("S", "", mFile.c_str());
    WritePrivateProfileString("S", "b", "2", mFile.c_str());
    EXPECT_EQ(readFile(mFile), "[S]\na=1\n");
    EXPECT_EQ(get("S", "b", mFile), "2");
    EXPECT_TRUE(batch.end());
  }
  EXPECT_EQ(readFile(mFile), "[S]\nb=2\n\n");
}
} // namespace
