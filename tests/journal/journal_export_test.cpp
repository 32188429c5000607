#include "device/journal/journal_export.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <memory>

#include "config/cp1251.h"
#include "config/system_file_system.h"
#include "journal_test_support.h"
#include "support/temp_dir.h"

namespace tamlo::journal {
namespace {

using testing::Entry;
using testing::RecordedErrors;
using testing::RecordPayload;
using tamlo::testing::ReadFileBytes;
using tamlo::testing::TempDir;
using tamlo::testing::WriteFileBytes;
namespace fs = std::filesystem;

JournalReader Delivers(const testing::Bytes& bytes) {
  return [bytes](std::string& journal) {
    journal.assign(bytes.begin(), bytes.end());
    return 0;
  };
}

JournalReader Fails() {
  return [](std::string& journal) {
    journal = "partial";
    return -1;
  };
}

size_t FilesIn(const fs::path& folder) {
  return static_cast<size_t>(std::distance(fs::directory_iterator(folder), fs::directory_iterator()));
}

TEST(JournalExport, HtmlByExtensionInAnyCase) {
  for (const char* name : {"j.htm", "j.HTML", "j.Htm", "dir.x/j.html"}) {
    SCOPED_TRACE(name);
    EXPECT_TRUE(IsHtmlJournalPath(name));
  }
  for (const char* name : {"j.txt", "j", "j.htm.txt", "j.xhtml", ".htm", "j.htm "}) {
    SCOPED_TRACE(name);
    EXPECT_FALSE(IsHtmlJournalPath(name));
  }
}

TEST(JournalExport, WritesTheTableWithCrLfAndNoLeftovers) {
  TempDir dir;
  RecordedErrors errors;
  const testing::Bytes journal = Entry(1, RecordPayload({.format = 0, .data = {0}}));

  EXPECT_EQ(ExportJournal((dir / "j.HTM").string(), Delivers(journal), {}, errors, SystemFileSystem()), 1);
  const std::string html = ReadFileBytes(dir / "j.HTM");
  EXPECT_TRUE(html.starts_with("<html>\r\n"));
  EXPECT_TRUE(html.ends_with(Utf8ToCp1251("Включение прибора") + "\r\n</pre>\r\n</body>\r\n</html>\r\n"));

  EXPECT_EQ(ExportJournal((dir / "j.txt").string(), Delivers(journal), {}, errors, SystemFileSystem()), 1);
  const std::string text = ReadFileBytes(dir / "j.txt");
  EXPECT_TRUE(text.starts_with(Utf8ToCp1251("   Статус  |")));
  EXPECT_EQ(std::count(text.begin(), text.end(), '\n'), 3);
  EXPECT_EQ(std::count(text.begin(), text.end(), '\r'), 3);
  EXPECT_TRUE(errors.messages.empty());
  EXPECT_EQ(FilesIn(dir.path()), 2u);  // no temporary file left behind
}

TEST(JournalExport, FailedRead_LeavesNoNewFileAndKeepsAnOldOne) {
  TempDir dir;
  RecordedErrors errors;
  EXPECT_EQ(ExportJournal((dir / "new.htm").string(), Fails(), {}, errors, SystemFileSystem()), -1);
  EXPECT_EQ(FilesIn(dir.path()), 0u);

  WriteFileBytes(dir / "old.txt", "previous export");
  EXPECT_EQ(ExportJournal((dir / "old.txt").string(), Fails(), {}, errors, SystemFileSystem()), -1);
  EXPECT_EQ(ReadFileBytes(dir / "old.txt"), "previous export");
  EXPECT_EQ(FilesIn(dir.path()), 1u);
  EXPECT_TRUE(errors.messages.empty());  // the link reports its own failure
}

// Nothing is created in the target's folder while the device is read: an
// exchange that takes minutes, or is interrupted, leaves no temporary file.
TEST(JournalExport, TemporaryFileOnlyAfterTheRead) {
  TempDir dir;
  RecordedErrors errors;
  WriteFileBytes(dir / "old.txt", "previous export");
  size_t files_while_reading = 0;
  const JournalReader reader = [&](std::string& journal) {
    files_while_reading = FilesIn(dir.path());
    journal = std::string(reinterpret_cast<const char*>(Entry(3, {}).data()), Entry(3, {}).size());
    return 0;
  };
  EXPECT_EQ(ExportJournal((dir / "old.txt").string(), reader, {}, errors, SystemFileSystem()), 1);
  EXPECT_EQ(files_while_reading, 1u);
  EXPECT_EQ(FilesIn(dir.path()), 1u);
  EXPECT_NE(ReadFileBytes(dir / "old.txt"), "previous export");
}

TEST(JournalExport, DamagedJournal_KeepsTheRowsBeforeTheDamage) {
  TempDir dir;
  RecordedErrors errors;
  testing::Bytes journal = Entry(3, {});
  journal.push_back(0x01);
  EXPECT_EQ(ExportJournal((dir / "j.txt").string(), Delivers(journal), {}, errors, SystemFileSystem()), -1);
  EXPECT_TRUE(ReadFileBytes(dir / "j.txt").ends_with(Utf8ToCp1251("Неверная запись (длина 0)") + "\r\n"));
  EXPECT_EQ(errors.messages.size(), 1u);
}

TEST(JournalExport, UnwritablePlace_ReportsThePathAndNeverReads) {
  TempDir dir;
  RecordedErrors errors;
  bool read = false;
  const JournalReader reader = [&](std::string&) {
    read = true;
    return 0;
  };
  fs::create_directory(dir / "folder.htm");
  for (const fs::path& path : {dir / "missing" / "j.htm", dir / "folder.htm"}) {
    SCOPED_TRACE(path.string());
    errors.messages.clear();
    EXPECT_EQ(ExportJournal(path.string(), reader, {}, errors, SystemFileSystem()), -1);
    EXPECT_EQ(errors.messages, std::vector<std::string>{"Не удается создать файл журнала \"" + path.string() + "\""});
  }
  EXPECT_FALSE(read);
}

// The real file system with a disk that fills up after `budget` bytes, or a
// commit (flush, rename) that fails.
class FailingFileSystem : public FileSystem {
 public:
  FailingFileSystem(size_t budget, bool fail_commit) : m_budget(budget), m_fail_commit(fail_commit) {}
  std::unique_ptr<InputFile> OpenRead(const std::string& path, FileProblem& problem) override {
    return SystemFileSystem().OpenRead(path, problem);
  }
  std::unique_ptr<ReplacementFile> CreateReplacement(const std::string& target, FileProblem& problem) override {
    auto real = SystemFileSystem().CreateReplacement(target, problem);
    return real ? std::make_unique<Replacement>(std::move(real), *this) : nullptr;
  }

 private:
  class Replacement : public ReplacementFile {
   public:
    Replacement(std::unique_ptr<ReplacementFile> real, FailingFileSystem& fs) : m_real(std::move(real)), m_fs(fs) {}
    size_t Write(const uint8_t* data, size_t size) override {
      const size_t allowed = std::min(size, m_fs.m_budget);
      m_fs.m_budget -= allowed;
      return m_real->Write(data, allowed);
    }
    std::string Commit() override {
      if (!m_fs.m_fail_commit) return m_real->Commit();
      m_real->Discard();
      return "Input/output error";
    }
    std::string Problem() const override { return "No space left on device"; }
    void Discard() override { m_real->Discard(); }

   private:
    std::unique_ptr<ReplacementFile> m_real;
    FailingFileSystem& m_fs;
  };
  size_t m_budget;
  bool m_fail_commit;
};

TEST(JournalExport, FailedWriteOrCommit_ReportsAndKeepsTheOldFile) {
  testing::Bytes journal;
  for (int i = 0; i < 1000; ++i) {
    const testing::Bytes entry = Entry(1, RecordPayload({.format = 0, .data = {0}}));
    journal.insert(journal.end(), entry.begin(), entry.end());
  }
  struct Case {
    const char* name;
    size_t budget;
    bool fail_commit;
  };
  for (const Case& c : {Case{"disk full midway", 70000, false}, Case{"disk full at once", 0, false},
                        Case{"commit fails", SIZE_MAX, true}}) {
    SCOPED_TRACE(c.name);
    TempDir dir;
    RecordedErrors errors;
    WriteFileBytes(dir / "j.txt", "previous export");
    FailingFileSystem fs(c.budget, c.fail_commit);
    EXPECT_EQ(ExportJournal((dir / "j.txt").string(), Delivers(journal), {}, errors, fs), -1);
    EXPECT_EQ(errors.messages,
              std::vector<std::string>{"Ошибка записи файла журнала \"" + (dir / "j.txt").string() + "\""});
    EXPECT_EQ(ReadFileBytes(dir / "j.txt"), "previous export");
    EXPECT_EQ(FilesIn(dir.path()), 1u);
  }
}

}  // namespace
}  // namespace tamlo::journal
