// The phone book file: its bytes, its place, loading that never fails and
// saving that never loses the previous book.
#include <gtest/gtest.h>

#include "config/system_file_system.h"
#include "config/utf8_path.h"
#include "link/phone_book.h"
#include "support/temp_dir.h"

namespace tamlo::link {
namespace {

using tamlo::testing::ReadFileBytes;
using tamlo::testing::TempDir;
using tamlo::testing::WriteFileBytes;

// The real file system, except that a replacement's Write falls short, as
// on a full disk.
class FullDisk : public FileSystem {
 public:
  std::unique_ptr<InputFile> OpenRead(const std::string& path, FileProblem& problem) override {
    return SystemFileSystem().OpenRead(path, problem);
  }
  std::unique_ptr<ReplacementFile> CreateReplacement(const std::string& target, FileProblem& problem) override {
    struct Short : ReplacementFile {
      std::unique_ptr<ReplacementFile> inner;
      size_t Write(const uint8_t* d, size_t n) override { return inner->Write(d, n / 2); }
      std::string Commit() override { return inner->Commit(); }
      std::string Problem() const override { return "No space left on device"; }
      void Discard() override { inner->Discard(); }
    };
    auto s = std::make_unique<Short>();
    s->inner = SystemFileSystem().CreateReplacement(target, problem);
    if (!s->inner) return nullptr;
    return s;
  }
};

TEST(PhoneBook, SavedAsWindows1251LinesWithCrLfAndLoadedBack) {
  TempDir dir;
  const std::string path = (dir / kPhoneBookFileName).string();
  const std::vector<PhoneBookRow> rows = {
      {"812", "Магазин на углу"}, {"+7 (900) 123-45-67", "склад = ворота 2"}, {"", ""}, {"8 (1) 2", ""}};
  std::string error;
  ASSERT_TRUE(SavePhoneBook(path, rows, error, SystemFileSystem())) << error;
  EXPECT_EQ(ReadFileBytes(path),
            "812=\xCC\xE0\xE3\xE0\xE7\xE8\xED \xED\xE0 \xF3\xE3\xEB\xF3\r\n"
            "+7 (900) 123-45-67=\xF1\xEA\xEB\xE0\xE4 = \xE2\xEE\xF0\xEE\xF2\xE0 2\r\n"
            "=\r\n"
            "8 (1) 2=\r\n");
  EXPECT_EQ(LoadPhoneBook(path, SystemFileSystem()).rows, rows);  // an "=" in the comment stays in the comment
}

TEST(PhoneBook, LoadingToleratesMissingFilesAndForeignLineEnds) {
  TempDir dir;
  EXPECT_EQ(LoadPhoneBook((dir / "missing.ini").string(), SystemFileSystem()).problem, "");  // the first run
  const std::string path = (dir / "book.ini").string();
  WriteFileBytes(path, "812=a\n\n555\r\n+1=b");  // LF only, an empty line, no "=", no final line end
  EXPECT_EQ(LoadPhoneBook(path, SystemFileSystem()).rows,
            (std::vector<PhoneBookRow>{{"812", "a"}, {"555", ""}, {"+1", "b"}}));
  // A file that is there but cannot be read whole (above the limit, a folder): no rows, and why.
  WriteFileBytes(path, std::string(kMaxPhoneBookBytes + 1, '1'));
  for (const std::string& unread : {path, dir.path().string()})
    EXPECT_NE(LoadPhoneBook(unread, SystemFileSystem()).problem.find(unread), std::string::npos) << unread;
}

TEST(PhoneBook, FailedSaveKeepsThePreviousFile) {
  TempDir dir;
  const std::string path = (dir / kPhoneBookFileName).string();
  WriteFileBytes(path, "812=old\r\n");
  FullDisk disk;
  std::string error;
  EXPECT_FALSE(SavePhoneBook(path, {{"999", "new row that does not fit"}}, error, disk));
  EXPECT_EQ(error, "Не удается сохранить файл \"" + path + "\": No space left on device");  // the seam's reason
  EXPECT_EQ(ReadFileBytes(path), "812=old\r\n");
  size_t files = 0;
  for (const auto& entry : std::filesystem::directory_iterator(dir.path())) files += entry.is_regular_file();
  EXPECT_EQ(files, 1u);  // no temporary file left behind

  // A folder where the file should be cannot be replaced either.
  std::filesystem::create_directory(dir / "blocked");
  const std::string blocked = (dir / "blocked").string();
  EXPECT_FALSE(SavePhoneBook(blocked, {{"1", ""}}, error, SystemFileSystem()));
  EXPECT_TRUE(std::filesystem::is_directory(blocked));
}

TEST(PhoneBook, PathInUserFolderOrBesideTheProgram) {
  TempDir dir;
  const std::filesystem::path user = dir.path() / u8"Настройки";  // UTF-8 on Windows too
  const std::string path = PhoneBookPath(Utf8OfPath(user), "/opt/tamlocfg", SystemFileSystem());
  EXPECT_EQ(path, Utf8OfPath(user / "Velmora" / "TamloCfg_PhoneBook.ini"));
  EXPECT_TRUE(std::filesystem::is_directory(user / "Velmora"));  // created for the first save
  EXPECT_EQ(PhoneBookPath("", "/opt/программа", SystemFileSystem()),
            Utf8OfPath(PathOfUtf8("/opt/программа") / "TamloCfg_PhoneBook.ini"));
}

TEST(PhoneBook, UsableNumberKeepsPlusAndDigits) {
  EXPECT_EQ(UsableNumber("+7 (1) 2"), "+712");
  EXPECT_EQ(UsableNumber("8 (1) 2"), "812");
  EXPECT_EQ(UsableNumber("Shop"), "");
  EXPECT_EQ(UsableNumber("тел. 8-900"), "8900");
  EXPECT_EQ(UsableNumber(""), "");
}

}  // namespace
}  // namespace tamlo::link
