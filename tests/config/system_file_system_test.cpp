// The system's file seam, the same cases on every system it is built for
// (POSIX, and Windows under wine): UTF-8 names reach the disk as the names
// they spell, a failed replacement keeps the old file and leaves no temporary
// file, temporaries are created new, the null device is written in place,
// and the Ctrl+C cleanup removes only replacements in progress.
#include "config/system_file_system.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <memory>
#include <span>
#include <string>

#include "config/temporary_file_list.h"
#include "config/whole_input.h"
#include "config/whole_output.h"
#include "support/temp_dir.h"

namespace tamlo {
namespace {

namespace fs = std::filesystem;
using testing::EntriesIn;
using testing::ReadFileBytes;
using testing::TempDir;
using testing::WriteFileBytes;

std::span<const uint8_t> Bytes(const std::string& text) {
  return {reinterpret_cast<const uint8_t*>(text.data()), text.size()};
}

// The path of `name` (UTF-8) in `dir`, as the program hands paths to the seam.
std::string PathIn(const TempDir& dir, const std::string& name) {
  const std::u8string path = (dir.path() / fs::path(std::u8string(name.begin(), name.end()))).u8string();
  return std::string(path.begin(), path.end());
}

TEST(SystemFileSystem, Utf8NamesAreTheNamesOnTheDisk) {
  TempDir dir;
  FileSystem& files = SystemFileSystem();
  for (const std::string name : {"Объект №1.tamlo", "журнал событий.htm", "plain.txt"}) {
    SCOPED_TRACE(name);
    const std::string path = PathIn(dir, name);
    ASSERT_TRUE(WriteWholeFile(files, path, Bytes("данные " + name)).ok());
    EXPECT_TRUE(fs::exists(dir.path() / fs::path(std::u8string(name.begin(), name.end()))));
    std::string read;
    FileProblem problem;
    EXPECT_EQ(ReadWholeInput(files, path, 1024, read, problem), WholeInput::kOk);
    EXPECT_EQ(read, "данные " + name);
    const std::vector<std::string> names = files.RegularFileNames(dir.path().string());
    EXPECT_NE(std::find(names.begin(), names.end(), name), names.end());
  }
  EXPECT_EQ(EntriesIn(dir.path()), 3u);
}

TEST(SystemFileSystem, FailedReplacement_KeepsTheOldFile_LeavesNoTemporary) {
  TempDir dir;
  FileProblem problem;
  FileSystem& files = SystemFileSystem();
  const std::string path = (dir / "site.tamlo").string();
  WriteFileBytes(path, "previous");

  std::unique_ptr<ReplacementFile> discarded = files.CreateReplacement(path, problem);
  ASSERT_TRUE(discarded);
  EXPECT_EQ(discarded->Write(Bytes("new").data(), 3), 3u);
  discarded->Discard();
  EXPECT_EQ(ReadFileBytes(path), "previous");
  EXPECT_EQ(EntriesIn(dir.path()), 1u);

  // The target turns into a folder with a file in it before the commit: the
  // move fails, reported as such, and takes the temporary file with it.
  std::unique_ptr<ReplacementFile> blocked = files.CreateReplacement(path, problem);
  ASSERT_TRUE(blocked);
  EXPECT_EQ(blocked->Write(Bytes("new").data(), 3), 3u);
  fs::remove(path);
  fs::create_directory(path);
  WriteFileBytes(fs::path(path) / "inside", "kept");
  EXPECT_NE(blocked->Commit(), "");
  EXPECT_EQ(ReadFileBytes(fs::path(path) / "inside"), "kept");
  EXPECT_EQ(EntriesIn(dir.path()), 1u);

  EXPECT_EQ(files.CreateReplacement(path, problem), nullptr) << "a folder is never replaced";
  EXPECT_NE(problem.text, "");
  EXPECT_NE(files.OutputProblem(path), "");
  EXPECT_NE(files.OutputProblem((dir / "no-such-folder" / "j.htm").string()), "");
  EXPECT_EQ(files.OutputProblem((dir / "new.htm").string()), "");
}

TEST(SystemFileSystem, TemporariesAreNewFiles_LastCommitWins) {
  TempDir dir;
  FileProblem problem;
  FileSystem& files = SystemFileSystem();
  const std::string path = (dir / "site.tamlo").string();
  std::unique_ptr<ReplacementFile> first = files.CreateReplacement(path, problem);
  std::unique_ptr<ReplacementFile> second = files.CreateReplacement(path, problem);
  ASSERT_TRUE(first && second);
  EXPECT_EQ(EntriesIn(dir.path()), 2u);  // two temporaries, neither shared
  EXPECT_EQ(first->Write(Bytes("first").data(), 5), 5u);
  EXPECT_EQ(second->Write(Bytes("second").data(), 6), 6u);
  EXPECT_EQ(first->Commit(), "");
  EXPECT_EQ(second->Commit(), "");
  EXPECT_EQ(ReadFileBytes(path), "second");
  EXPECT_EQ(EntriesIn(dir.path()), 1u);
}

TEST(SystemFileSystem, NullDeviceIsWrittenInPlace) {
  TempDir dir;
  FileProblem problem;
  FileSystem& files = SystemFileSystem();
  EXPECT_EQ(files.OutputProblem(TAMLO_NULL_DEVICE), "");
  std::unique_ptr<ReplacementFile> null_output = files.CreateReplacement(TAMLO_NULL_DEVICE, problem);
  ASSERT_TRUE(null_output);
  EXPECT_EQ(null_output->Write(Bytes("gone").data(), 4), 4u);
  EXPECT_EQ(null_output->Commit(), "");
  std::string read = "x";
  EXPECT_EQ(ReadWholeInput(files, TAMLO_NULL_DEVICE, 16, read, problem), WholeInput::kOk);
  EXPECT_EQ(read, "");
}

// A save interrupted by Ctrl+C: the cleanup removes the temporary file of a
// replacement in progress and nothing else.
TEST(SystemFileSystem, CleanupRemovesPendingReplacementsOnly) {
  TempDir dir;
  FileProblem problem;
  WriteFileBytes(dir / "a.tamlo", "previous");
  std::unique_ptr<ReplacementFile> pending = SystemFileSystem().CreateReplacement((dir / "a.tamlo").string(), problem);
  std::unique_ptr<ReplacementFile> done = SystemFileSystem().CreateReplacement((dir / "b.tamlo").string(), problem);
  ASSERT_TRUE(pending && done);
  EXPECT_EQ(pending->Write(Bytes("new").data(), 3), 3u);
  EXPECT_EQ(done->Write(Bytes("b").data(), 1), 1u);
  ASSERT_EQ(done->Commit(), "");
  EXPECT_EQ(EntriesIn(dir.path()), 3u);  // a, b and a's temporary file

  RemoveTemporaryFilesNow();
  EXPECT_NE(pending->Commit(), "");
  EXPECT_EQ(EntriesIn(dir.path()), 2u);
  EXPECT_EQ(ReadFileBytes(dir / "a.tamlo"), "previous");
  EXPECT_EQ(ReadFileBytes(dir / "b.tamlo"), "b");
}

}  // namespace
}  // namespace tamlo
