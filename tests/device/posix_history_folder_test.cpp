// The history folder on the real file system: exclusive creation, nested
// folders, listing, removal, the root under the user's data folder.
#include "device/posix/posix_history_folder.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <sys/stat.h>
#include <unistd.h>

#include "support/temp_dir.h"
#include "tamlo_version.h"

namespace tamlo::device {
namespace {

using tamlo::testing::ReadFileBytes;
using tamlo::testing::TempDir;
using tamlo::testing::WriteFileBytes;

TEST(PosixHistoryFolder, KeepsFilesOwnerOnly_NeverWritesThroughAnExistingName) {
  TempDir temp;
  HistoryFolder& folder = PosixHistoryFolder();
  const std::string dir = (temp / "a/b/port-COM3").string();
  ASSERT_TRUE(folder.MakeFolders(dir));
  ASSERT_TRUE(folder.MakeFolders(dir));  // already there

  const std::string file = dir + "/2026-12-08_17-48-02_001_read.tamlo";
  EXPECT_EQ(folder.WriteNewFile(file, {'T', 'A'}), HistoryFolder::NewFile::Written);
  EXPECT_EQ(folder.WriteNewFile(file, {'X'}), HistoryFolder::NewFile::NameTaken);
  EXPECT_EQ(ReadFileBytes(file), "TA");
  struct stat info {};
  ASSERT_EQ(::stat(file.c_str(), &info), 0);
  EXPECT_EQ(info.st_mode & 0777, 0600u);

  // A link planted under the next name is not followed.
  WriteFileBytes(temp / "victim", "keep");
  const std::string planted = dir + "/2026-12-08_17-48-02_002_read.tamlo";
  ASSERT_EQ(::symlink((temp / "victim").c_str(), planted.c_str()), 0);
  EXPECT_EQ(folder.WriteNewFile(planted, {'X'}), HistoryFolder::NewFile::NameTaken);
  EXPECT_EQ(ReadFileBytes(temp / "victim"), "keep");

  std::vector<std::string> names = folder.ListNames(dir);
  std::sort(names.begin(), names.end());
  EXPECT_EQ(names, (std::vector<std::string>{"2026-12-08_17-48-02_001_read.tamlo",
                                             "2026-12-08_17-48-02_002_read.tamlo"}));
  EXPECT_TRUE(folder.RemoveFile(file));
  EXPECT_EQ(folder.ListNames(dir).size(), 1u);
  EXPECT_TRUE(folder.ListNames((temp / "missing").string()).empty());
  // A file where a folder should be.
  EXPECT_FALSE(folder.MakeFolders(planted));
}

TEST(PosixHistoryFolder, RootUnderTheUserDataFolder) {
  const std::string tail = std::string("/Velmora/") + kApplicationTitle + "/history";
  const struct Case {
    const char* xdg;
    const char* home;
    std::optional<std::string> root;
  } cases[] = {
      {"/x/data", "/home/u", "/x/data" + tail},
      {nullptr, "/home/u", "/home/u/.local/share" + tail},
      {"relative", "/home/u", "/home/u/.local/share" + tail},  // not absolute: ignored
      {"", "/home/u", "/home/u/.local/share" + tail},
      {nullptr, nullptr, std::nullopt},
      {nullptr, "", std::nullopt},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.root.value_or("none"));
    EXPECT_EQ(DefaultHistoryRoot(c.xdg, c.home), c.root);
  }
  // The environment both programs read (no other test here reads it).
  ::setenv("XDG_DATA_HOME", "relative", 1);
  ::setenv("HOME", "/home/u", 1);
  EXPECT_EQ(UserHistoryRoot(), "/home/u/.local/share" + tail);
}

}  // namespace
}  // namespace tamlo::device
