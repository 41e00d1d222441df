// Files replaced whole or not at all.

#include "AtomicFile.h"
#include "FileContents.h"
#include "TemporaryFolder.h"

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>

namespace
{
namespace fs = std::filesystem;

struct AtomicFileTest : ::testing::Test
{
  TemporaryFolder temporary;
  const fs::path folder = temporary.root();
};
} // namespace

// A second link to the old file shows whether it was overwritten in place.
TEST_F(AtomicFileTest, TheTargetIsReplacedByRenameKeepingItsModeAndAnAbandonedWriteChangesNothing)
{
  const fs::path target = folder / "bank.fxb";
  std::ofstream(target) << "old";
  chmod(target.c_str(), 0640);
  fs::create_hard_link(target, folder / "old-link");
  {
    AtomicFile abandoned;
    ASSERT_TRUE(abandoned.open(target));
    ASSERT_TRUE(abandoned.write("half", 4));
  }
  EXPECT_EQ(readFile(target), "old");

  ASSERT_TRUE(writeFileAtomically(target, "new", 3));
  EXPECT_EQ(readFile(target), "new");
  EXPECT_EQ(readFile(folder / "old-link"), "old");
  EXPECT_EQ(fs::status(target).permissions(), fs::perms(0640));
  EXPECT_EQ(std::distance(fs::directory_iterator(folder), fs::directory_iterator()), 2) << "no temporary file left";
}

TEST_F(AtomicFileTest, AFolderThatTakesNoFileFailsNamingIt)
{
  std::string error;
  EXPECT_FALSE(writeFileAtomically(folder / "missing" / "x.ini", "x", 1, &error));
  EXPECT_EQ(error.rfind("cannot create a file in '" + (folder / "missing").string() + "' (", 0), 0u) << error;
}
