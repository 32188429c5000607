// The console tool's journal commands, run as processes.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdlib>
#include <filesystem>
#include <string>

#include "support/temp_dir.h"

namespace {

using tamlo::testing::ReadFileBytes;
using tamlo::testing::TempDir;
using tamlo::testing::WriteFileBytes;
namespace fs = std::filesystem;

const std::string kDataDir = TAMLO_JOURNAL_DATA;  // the journal tests' golden files

int RunCli(const std::string& args) {
  const char* bin = std::getenv("TAMLO_BIN_DIR");
  if (!bin) return -1;
  const std::string command = std::string(bin) + "/tamlocfg-cli " + args + " 2>/dev/null";
  const int status = std::system(command.c_str());
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

TEST(CliRenderJournal, WritesByExtensionWithTheChosenCodeList) {
  TempDir dir;
  WriteFileBytes(dir / "codes.txt", "130;\xD2\xF0\xE5\xE2\xEE\xE3\xE0\r\n");  // "Тревога" in 1251
  WriteFileBytes(dir / "empty.txt", "");
  const std::string raw = kDataDir + "/examples.bin";

  EXPECT_EQ(RunCli("--codes " + (dir / "codes.txt").string() + " render-journal " + raw + " " +
                   (dir / "a.txt").string()), 0);
  EXPECT_EQ(ReadFileBytes(dir / "a.txt"), ReadFileBytes(kDataDir + "/examples_described.txt"));

  EXPECT_EQ(RunCli("--codes " + (dir / "empty.txt").string() + " render-journal " + raw + " " +
                   (dir / "b.HTM").string()), 0);
  EXPECT_EQ(ReadFileBytes(dir / "b.HTM"), ReadFileBytes(kDataDir + "/examples.htm"));

  // Without --codes the list beside the executable describes code 130.
  EXPECT_EQ(RunCli("render-journal " + raw + " " + (dir / "c.txt").string()), 0);
  EXPECT_NE(ReadFileBytes(dir / "c.txt"), ReadFileBytes(kDataDir + "/examples.txt"));
}

TEST(CliRenderJournal, FailuresGiveTheirExitStatus) {
  TempDir dir;
  const std::string raw = kDataDir + "/examples.bin";
  std::string damaged = ReadFileBytes(raw);
  damaged.pop_back();
  WriteFileBytes(dir / "damaged.bin", damaged);

  EXPECT_EQ(RunCli("render-journal " + (dir / "damaged.bin").string() + " " + (dir / "d.txt").string()), 1);
  EXPECT_TRUE(fs::exists(dir / "d.txt"));  // the rows before the damage are kept

  EXPECT_EQ(RunCli("render-journal " + (dir / "missing.bin").string() + " " + (dir / "e.txt").string()), 1);
  EXPECT_EQ(RunCli("--codes " + (dir / "missing.txt").string() + " render-journal " + raw + " " +
                   (dir / "f.txt").string()), 1);
  EXPECT_EQ(RunCli("render-journal " + raw), 2);
  EXPECT_FALSE(fs::exists(dir / "e.txt"));
  EXPECT_FALSE(fs::exists(dir / "f.txt"));
}

// The in-process simulated device delivers its demo journal.
TEST(CliJournal, ReadsTheDeviceJournalOrLeavesNoFile) {
  TempDir dir;
  EXPECT_EQ(RunCli("--demo journal " + (dir / "j.htm").string()), 0);
  const std::string html = ReadFileBytes(dir / "j.htm");
  EXPECT_TRUE(html.starts_with("<html>\r\n"));
  EXPECT_TRUE(html.ends_with("</html>\r\n"));
  EXPECT_NE(html.find("\xC2\xEA\xEB\xFE\xF7\xE5\xED\xE8\xE5 \xEF\xF0\xE8\xE1\xEE\xF0\xE0"),  // "Включение прибора"
            std::string::npos);

  WriteFileBytes(dir / "old.txt", "previous export");
  EXPECT_EQ(RunCli("--port " + (dir / "no-such-port").string() + " journal " + (dir / "old.txt").string()), 1);
  EXPECT_EQ(RunCli("--port " + (dir / "no-such-port").string() + " journal " + (dir / "new.txt").string()), 1);
  EXPECT_EQ(ReadFileBytes(dir / "old.txt"), "previous export");
  EXPECT_FALSE(fs::exists(dir / "new.txt"));
  EXPECT_EQ(RunCli("--demo journal"), 2);
}

}  // namespace
