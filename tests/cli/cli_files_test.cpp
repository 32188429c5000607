// The console tool's inputs and outputs when they are not plain files: device
// nodes, FIFOs, pipes and folders; the size limits; output errors; and a
// wrong output target found before any device exchange.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <string>
#include <utility>

#include "cli_run.h"
#include "config/cp1251.h"

namespace tamlo::testing {
namespace {

namespace fs = std::filesystem;

const std::string kJournalData = TAMLO_JOURNAL_DATA;  // the journal tests' golden files


TEST(CliOutputs, StandardOutputAndDeviceNodes_WrittenInPlace) {
  TempDir dir;
  const std::string raw = kJournalData + "/examples.bin";
  const std::string table = ReadFileBytes(kJournalData + "/examples.txt");
  // "-" is the terminal: UTF-8. A path is a file, whatever it leads to: the
  // file's Windows-1251.
  for (const auto& [target, expected] : {std::pair<const char*, std::string>{"-", Cp1251ToUtf8(table)},
                                         {"/dev/stdout", table}, {"/dev/fd/1", table}}) {
    SCOPED_TRACE(target);
    CliRun r = RunCli(dir, "--codes /dev/null render-journal " + raw + " " + target);
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out, expected);
  }
  CliRun null = RunCli(dir, "--codes /dev/null render-journal " + raw + " /dev/null");
  EXPECT_EQ(null.status, 0) << null.err;
  EXPECT_TRUE(fs::is_character_file("/dev/null"));

  ASSERT_EQ(::mkfifo((dir / "fifo").c_str(), 0600), 0);
  CliRun fifo = RunCli(dir, "--codes /dev/null render-journal " + raw + " " + (dir / "fifo").string(),
                       // The reader's time limit only ends a failed run (a tool that never opens the FIFO).
                       "</dev/null & timeout 60 cat " + (dir / "fifo").string() + " >" +
                           (dir / "from-fifo").string() + "; wait; true");
  EXPECT_TRUE(fs::is_fifo(dir / "fifo"));
  EXPECT_EQ(ReadFileBytes(dir / "from-fifo"), table);

  const CliRun help = RunCli(dir, "--help");
  EXPECT_TRUE(Contains(help.out, "(/dev/stdout, /dev/null, a named pipe) is written directly")) << help.out;
  EXPECT_TRUE(Contains(help.out, "FILE - prints the table on stdout in UTF-8")) << help.out;
}

// Commands that save what the device sends check the target first.
TEST(CliOutputs, UnwritableTarget_FailsBeforeTheExchange) {
  TempDir dir;
  fs::create_directory(dir / "folder");
  for (const char* command : {"config-read", "journal-raw", "journal"}) {
    for (const fs::path& target : {dir / "no-such-folder" / "out.bin", dir / "folder"}) {
      SCOPED_TRACE(std::string(command) + " " + target.string());
      CliRun r = RunCli(dir, std::string("--demo ") + command + " " + target.string());
      EXPECT_EQ(r.status, 1);
      EXPECT_TRUE(Contains(r.err, "cannot write " + target.string() + ": ")) << r.err;
      EXPECT_TRUE(Contains(r.err, "No such file or directory") || Contains(r.err, "Is a directory")) << r.err;
      EXPECT_FALSE(Contains(r.err, "Подключ")) << r.err;  // no exchange was started
    }
  }
}

TEST(CliInputs, FolderFifoPipeAndDevices_ReadOrRefusedNeverHung) {
  TempDir dir;
  fs::create_directory(dir / "folder");
  ASSERT_EQ(::mkfifo((dir / "fifo").c_str(), 0600), 0);
  const std::string image = ConfigImageOf(std::string("\x90\x20\x05", 3));
  WriteFileBytes(dir / "a.tamlo", image);
  const std::string shown = RunCli(dir, "show " + (dir / "a.tamlo").string()).out;
  ASSERT_TRUE(Contains(shown, "257[0] int 5")) << shown;

  // Pipes are read to their end, whatever size they claim.
  CliRun piped = RunCli(dir, "show /dev/stdin", "cat " + (dir / "a.tamlo").string() + " |");
  EXPECT_EQ(piped.status, 0) << piped.err;
  EXPECT_EQ(piped.out, shown);
  CliRun raw_piped = RunCli(dir, "--codes /dev/null render-journal /dev/stdin -",
                            "cat " + kJournalData + "/examples.bin |");
  EXPECT_EQ(raw_piped.status, 0) << raw_piped.err;
  EXPECT_EQ(raw_piped.out, Cp1251ToUtf8(ReadFileBytes(kJournalData + "/examples.txt")));

  // Everything else ends with a message and exit 1, at once: a FIFO without
  // a writer reads as empty, /dev/zero stops at the limit.
  const struct {
    std::string args;
    const char* message;
  } cases[] = {
      {"show " + (dir / "folder").string(), "Невозможно открыть файл"},
      {"show " + (dir / "fifo").string(), "Ошибка чтения файла"},
      {"show /dev/null", "Ошибка чтения файла"},
      {"show /dev/zero", "не является конфигурацией Tamlo"},
      {"render-journal " + (dir / "folder").string() + " -", "Is a directory"},
      {"render-journal /dev/zero -", "larger than 64 MiB"},
      {"--demo config-write " + (dir / "fifo").string(), "Ошибка чтения файла"},
      {"--demo fw-update " + (dir / "fifo").string(), "not a regular file"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.args);
    CliRun r = RunCli(dir, "--codes /dev/null " + c.args, "</dev/null", ">/dev/null");
    EXPECT_EQ(r.status, 1);
    EXPECT_TRUE(Contains(r.err, c.message)) << r.err;
  }
}

TEST(CliHarness, HungRun_EndsAtItsLimit_LaterRunsFailAtOnce) {
  TempDir dir;
  // Standard input stays open and silent: a background writer holds the pipe.
  CliRun hung = RunCli(dir, "show /dev/stdin", "(sleep 3 &) |", "", 1);
  EXPECT_EQ(hung.status, 124);
  CliRun later = RunCli(dir, "--help");
  ForgetHungRun();
  EXPECT_EQ(later.status, 124);
  EXPECT_TRUE(Contains(later.err, "an earlier run of this test program hung")) << later.err;
}

TEST(CliInputs, SizeLimits_RefusedNamingTheLimit) {
  TempDir dir;
  // Sparse: the size is what counts, not the bytes on the disk.
  const fs::path big = dir / "big.bin";
  WriteFileBytes(big, "");
  fs::resize_file(big, 64 * 1024 * 1024 + 1);
  CliRun r = RunCli(dir, "--codes /dev/null render-journal " + big.string() + " -");
  EXPECT_EQ(r.status, 1);
  EXPECT_TRUE(Contains(r.err, "larger than 64 MiB")) << r.err;
  EXPECT_TRUE(r.out.empty());

  const std::string above(1024 * 1024 + 1, '\0');
  WriteFileBytes(dir / "big.tamlo", ConfigImageOf(above));
  r = RunCli(dir, "show " + (dir / "big.tamlo").string());
  EXPECT_EQ(r.status, 1);
  EXPECT_TRUE(Contains(r.err, "больше 1 МБ")) << r.err;
}

// A crafted file of many tiny fields: the listing stops at its cap and says
// so, and the walk still gives the whole file's result.
TEST(CliShow, ManyFields_ListCappedAndSaidSo) {
  TempDir dir;
  std::string data;
  for (int i = 0; i < 30000; ++i) data += std::string("\x90\x20\x05", 3);  // 257 = 5, repeated
  WriteFileBytes(dir / "many.tamlo", ConfigImageOf(data));
  CliRun r = RunCli(dir, "show " + (dir / "many.tamlo").string());
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_TRUE(Contains(r.err, "only the first 10000 of 30000 fields are listed")) << r.err;
  EXPECT_TRUE(Contains(r.out, "257[9999] int 5")) << r.out.substr(0, 200);
  EXPECT_FALSE(Contains(r.out, "257[10000]"));
}

// A failed write to standard output is a failure of the command.
TEST(CliOutputs, FullStandardOutput_ExitOneWithMessage) {
  TempDir dir;
  WriteFileBytes(dir / "a.tamlo", ConfigImageOf(std::string("\x90\x20\x05", 3)));
  for (const std::string& args : {std::string("--help"), "show " + (dir / "a.tamlo").string(),
                                 "show " + (dir / "a.tamlo").string() + " --json",
                                 "--codes /dev/null render-journal " + kJournalData + "/examples.bin -",
                                 std::string("--demo identify"), std::string("--demo gsm-status --count 1")}) {
    SCOPED_TRACE(args);
    CliRun r = RunCli(dir, args, "</dev/null", ">/dev/full");
    EXPECT_EQ(r.status, 1);
    EXPECT_TRUE(Contains(r.err, "cannot write to standard output")) << r.err;
  }
}

// A code list that exists but cannot be read is as much an error as a
// missing one (this process's memory file fails its read even for root).
TEST(CliInputs, UnreadableCodeList_IsAnError) {
  TempDir dir;
  WriteFileBytes(dir / "locked.txt", "130;x\r\n");
  fs::permissions(dir / "locked.txt", fs::perms::none);
  std::vector<std::string> lists = {"/proc/self/mem", (dir / "folder-less" / "x.txt").string()};
  if (::access((dir / "locked.txt").c_str(), R_OK) != 0) lists.push_back((dir / "locked.txt").string());
  for (const std::string& list : lists) {
    SCOPED_TRACE(list);
    CliRun r = RunCli(dir, "--codes " + list + " render-journal " + kJournalData + "/examples.bin -");
    EXPECT_EQ(r.status, 1);
    EXPECT_TRUE(Contains(r.err, "cannot read the event code list " + list)) << r.err;
    EXPECT_TRUE(r.out.empty());
  }
}

}  // namespace
}  // namespace tamlo::testing
