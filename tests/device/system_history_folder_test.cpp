// The system's history folder, the same cases on every system (POSIX, and
// Windows under wine): nested and Cyrillic folders, exclusive creation that
// never writes over an existing name, listing, removal, and where the one
// history of the user lies.
#include "device/system_history_folder.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>

#include "support/temp_dir.h"

namespace tamlo::device {
namespace {

namespace fs = std::filesystem;
using testing::ReadFileBytes;
using testing::TempDir;
using testing::WriteFileBytes;

std::string Utf8(const fs::path& path) {
  const std::u8string text = path.u8string();
  return std::string(text.begin(), text.end());
}

TEST(SystemHistoryFolder, NestedFolders_ExclusiveFiles_ListedAndRemoved) {
  TempDir dir;
  HistoryFolder& folder = SystemHistoryFolder();
  const fs::path device = dir.path() / u8"история" / u8"port-Демо-прибор";
  ASSERT_TRUE(folder.MakeFolders(Utf8(device))) << folder.LastError();
  EXPECT_TRUE(fs::is_directory(device));

  const std::string file = Utf8(device / u8"снимок.tamlo");
  EXPECT_EQ(folder.WriteNewFile(file, {'o', 'l', 'd'}), HistoryFolder::NewFile::Written);
  EXPECT_EQ(folder.WriteNewFile(file, {'n', 'e', 'w'}), HistoryFolder::NewFile::NameTaken);
  EXPECT_EQ(ReadFileBytes(device / u8"снимок.tamlo"), "old");
  EXPECT_EQ(folder.ListNames(Utf8(device)), std::vector<std::string>{"снимок.tamlo"});
  EXPECT_TRUE(folder.RemoveFile(file));
  EXPECT_TRUE(folder.ListNames(Utf8(device)).empty());

  WriteFileBytes(dir / "file", "x");
  EXPECT_FALSE(folder.MakeFolders(Utf8(dir / "file" / "port-COM3")));
  EXPECT_NE(folder.LastError(), "");
  EXPECT_EQ(folder.WriteNewFile(Utf8(dir / "missing" / "a.tamlo"), {1}), HistoryFolder::NewFile::Failed);
  EXPECT_NE(folder.LastError(), "");

  // The paths the history makes use the system's one separator.
  ConfigHistory history(folder, Utf8(dir.path() / u8"история"));
  const std::optional<std::string> kept = history.Keep("port-COM3", "read", {1});
  ASSERT_TRUE(kept.has_value()) << history.last_error();
  EXPECT_EQ(*kept, Utf8(dir.path() / u8"история" / "port-COM3" / history.List("port-COM3").at(0)));

  const UtcDateTime now = folder.UtcNow();
  EXPECT_GE(now.year, 2024);
  EXPECT_TRUE(now.month >= 1 && now.month <= 12 && now.day >= 1 && now.day <= 31);
}

TEST(SystemHistoryFolder, UserHistoryUnderTheUserDataFolder) {
  const std::optional<std::string> root = UserHistoryRoot();
  ASSERT_TRUE(root.has_value());
  const std::string tail = HistoryRootUnder("");
  ASSERT_GE(root->size(), tail.size());
  EXPECT_EQ(root->substr(root->size() - tail.size()), tail);
  EXPECT_TRUE(fs::path(std::u8string(root->begin(), root->end())).is_absolute()) << *root;
}

}  // namespace
}  // namespace tamlo::device
