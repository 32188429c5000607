#include "config/config_files.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "config/system_file_system.h"
#include "support/temp_dir.h"
#include "test_pages.h"

namespace tamlo {
namespace {

using testing::FakePage;
using testing::ReadFileBytes;
using testing::ScriptedDialogs;
using testing::TempDir;
using testing::WriteFileBytes;

// The real file system, except that a replacement's Write can be made to
// fall short, as on a full disk.
class ShortWriteFileSystem : public FileSystem {
 public:
  size_t short_by = 0;
  std::unique_ptr<InputFile> OpenRead(const std::string& path, FileProblem& problem) override {
    return SystemFileSystem().OpenRead(path, problem);
  }
  std::unique_ptr<ReplacementFile> CreateReplacement(const std::string& target, FileProblem& problem) override {
    struct Short : ReplacementFile {
      std::unique_ptr<ReplacementFile> inner;
      size_t short_by;
      size_t Write(const uint8_t* d, size_t n) override {
        const size_t part = n > short_by ? n - short_by : 0;
        return inner->Write(d, part);
      }
      std::string Commit() override { return inner->Commit(); }
      std::string Problem() const override { return "No space left on device"; }
      void Discard() override { inner->Discard(); }
    };
    auto inner = SystemFileSystem().CreateReplacement(target, problem);
    if (!inner) return nullptr;
    auto s = std::make_unique<Short>();
    s->inner = std::move(inner);
    s->short_by = short_by;
    return s;
  }
};

struct Fixture {
  TempDir dir;
  FakePage general;
  PageSet pages;
  ScriptedDialogs dialogs;
  ShortWriteFileSystem fs;
  ConfigFiles files{pages, dialogs, fs};
  Fixture() {
    general.takes = {257};
    pages.top = {&general};
  }
  std::string Path(const std::string& name) const { return (dir / name).string(); }
  size_t FilesInDir() const {
    return static_cast<size_t>(std::distance(std::filesystem::directory_iterator(dir.path()), {}));
  }
};

std::string Image(const std::vector<uint8_t>& data) {
  const auto h = ConfigImageHeader::For(data.data(), data.size()).Serialize();
  return std::string(h.begin(), h.end()) + std::string(data.begin(), data.end());
}

TEST(ConfigFiles, Open_LoadsTheChosenFileAndKeepsItsName) {
  Fixture f;
  const std::string path = f.Path("site.tamlo");
  std::string bytes = Image({0x90, 0x20, 0xB4, 0x24});
  bytes[12] ^= 0x55;        // a wrong checksum is not tested
  bytes += "trailing junk";  // nor are bytes after the data
  WriteFileBytes(path, bytes);
  f.dialogs.choices = {path};
  EXPECT_TRUE(f.files.OpenConfigFile());
  EXPECT_TRUE(f.dialogs.messages.empty());
  EXPECT_EQ(f.files.CurrentFileName(), path);
  ASSERT_EQ(f.general.seen.size(), 1u);
  EXPECT_EQ(f.general.seen[0].value, 4660);
  ASSERT_EQ(f.dialogs.requests.size(), 1u);
  EXPECT_FALSE(f.dialogs.requests[0].save);
  EXPECT_EQ(f.dialogs.requests[0].filter, "Файлы конфигурации (*.tamlo)|*.tamlo|Все файлы (*.*)|*");
  EXPECT_EQ(f.dialogs.requests[0].default_ext, "tamlo");
}

TEST(ConfigFiles, Open_ShowsEachMessageOnceAndForgetsTheName) {
  Fixture f;
  const std::string valid = Image({0x90, 0x20, 0x05});
  struct Case {
    std::string name;
    std::optional<std::string> content;  // nullopt: no such file
    std::string message;
  } cases[] = {
      {"missing.tamlo", std::nullopt, "Невозможно открыть файл \"" + f.Path("missing.tamlo") + "\""},
      {"short.tamlo", valid.substr(0, 31), "Ошибка чтения файла"},
      {"magic.tamlo", "TAM1" + valid.substr(4), "Файл " + f.Path("magic.tamlo") + " не является конфигурацией Tamlo"},
      {"long.tamlo", valid.substr(0, valid.size() - 1), "Некорректный заголовок файла. Возможно, файл поврежден."},
      {"unknown.tamlo", Image({0x90, 0x20, 0x05, 0xC0, 0x25, 0x01}),
       "Внимание: В конфигурации обнаружены неизвестные данные. Возможно, конфигурация была создана в "
       "несовместимой версии конфигуратора (1.13) или повреждена.\n\nЕсли вы запишете конфигурацию, эти данные "
       "будут потеряны."},
  };
  // Either length alone claiming one byte more than follows is refused as well.
  std::string long1 = valid, long2 = valid;
  long1[8] = 4;
  long2[16] = 4;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    if (c.content) WriteFileBytes(f.Path(c.name), *c.content);
    f.files.SetCurrentFileName("previous.tamlo");
    f.dialogs.messages.clear();
    f.dialogs.choices = {f.Path(c.name)};
    EXPECT_FALSE(f.files.OpenConfigFile());
    ASSERT_EQ(f.dialogs.messages.size(), 1u);
    EXPECT_EQ(f.dialogs.messages[0].text, c.message);
    EXPECT_EQ(f.dialogs.messages[0].caption, "Ошибка при загрузке конфигурации");
    EXPECT_EQ(f.dialogs.messages[0].icon, MessageIcon::Error);
    EXPECT_EQ(f.files.CurrentFileName(), "");
  }
  // The unrecognised field did not stop the known one before it.
  EXPECT_EQ(f.general.seen.size(), 1u);
  for (const std::string* image : {&long1, &long2}) {
    WriteFileBytes(f.Path("one-long.tamlo"), *image);
    try {
      ReadConfigImageFile(f.fs, f.Path("one-long.tamlo"));
      ADD_FAILURE() << "a length beyond the file was taken";
    } catch (const ConfigLoadError& e) {
      EXPECT_STREQ(e.what(), "Некорректный заголовок файла. Возможно, файл поврежден.");
    }
  }
}

TEST(ConfigFiles, OpenCancelled_ChangesNothing) {
  Fixture f;
  f.files.SetCurrentFileName("kept.tamlo");
  EXPECT_FALSE(f.files.OpenConfigFile());
  EXPECT_EQ(f.general.resets, 0);
  EXPECT_EQ(f.files.CurrentFileName(), "kept.tamlo");
  EXPECT_EQ(f.dialogs.requests.at(0).initial_name, "kept.tamlo");
}

TEST(ConfigFiles, SaveWithoutName_AsksAndWritesTheImage_CancelWritesNothing) {
  Fixture f;
  f.general.store = [](ConfigTree& t) { t.PutInt(257, 4660); };
  EXPECT_FALSE(f.files.Save());  // dialog cancelled
  EXPECT_EQ(f.FilesInDir(), 0u);
  EXPECT_TRUE(f.dialogs.requests.at(0).save);

  const std::string path = f.Path("new.tamlo");
  f.dialogs.choices = {path};
  EXPECT_TRUE(f.files.Save());
  EXPECT_EQ(f.files.CurrentFileName(), path);
  EXPECT_EQ(ReadFileBytes(path), Image({0x90, 0x20, 0xB4, 0x24}));
  EXPECT_TRUE(f.dialogs.messages.empty());
  // With a current name, save asks nothing.
  EXPECT_TRUE(f.files.Save());
  EXPECT_EQ(f.dialogs.requests.size(), 2u);
  EXPECT_EQ(f.FilesInDir(), 1u);
}

TEST(ConfigFiles, ShortWrite_KeepsThePreviousFileAndLeavesNoTemporary) {
  Fixture f;
  const std::string path = f.Path("site.tamlo");
  const std::string previous = Image({0x90, 0x20, 0x05});
  WriteFileBytes(path, previous);
  f.files.SetCurrentFileName(path);
  f.general.store = [](ConfigTree& t) { t.PutInt(257, 4660); };
  f.fs.short_by = 1;
  EXPECT_FALSE(f.files.Save());
  ASSERT_EQ(f.dialogs.messages.size(), 1u);
  EXPECT_EQ(f.dialogs.messages[0].text, "Ошибка записи файла (недостаточно места на диске?)");
  EXPECT_EQ(f.dialogs.messages[0].caption, "Ошибка при записи конфигурации");
  EXPECT_EQ(f.dialogs.messages[0].icon, MessageIcon::Error);
  EXPECT_EQ(ReadFileBytes(path), previous);
  EXPECT_EQ(f.FilesInDir(), 1u);
  EXPECT_EQ(f.files.CurrentFileName(), path);

  // A failed save as keeps the new name; a good save then replaces the file.
  const std::string other = f.Path("other.tamlo");
  f.dialogs.choices = {other};
  EXPECT_FALSE(f.files.SaveAs());
  EXPECT_EQ(f.files.CurrentFileName(), other);
  EXPECT_FALSE(std::filesystem::exists(other));
  f.fs.short_by = 0;
  f.files.SetCurrentFileName(path);
  EXPECT_TRUE(f.files.Save());
  EXPECT_EQ(ReadFileBytes(path), Image({0x90, 0x20, 0xB4, 0x24}));
  EXPECT_EQ(f.FilesInDir(), 1u);
  // A final rename that fails (the name became a folder meanwhile) leaves none either.
  FileProblem problem;
  std::unique_ptr<ReplacementFile> late = SystemFileSystem().CreateReplacement(other, problem);
  ASSERT_NE(late, nullptr);
  std::filesystem::create_directories(std::filesystem::path(other) / "inside");
  EXPECT_NE(late->Commit(), "");  // the system's words: "Is a directory" on POSIX
  EXPECT_EQ(f.FilesInDir(), 2u);
}

TEST(ConfigFiles, Replace_KeepsPermissionsAndSymbolicLinks) {
  Fixture f;
  if (!f.dir.KeepsModeBits()) GTEST_SKIP() << "no POSIX modes or symbolic links on this system";
  namespace fs = std::filesystem;
  const std::string real = f.Path("site7.tamlo");
  const std::string link = f.Path("current.tamlo");
  WriteFileBytes(real, "old");
  fs::permissions(real, fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
  fs::create_symlink(real, link);
  ASSERT_TRUE(f.files.SaveConfigFile(link));
  EXPECT_TRUE(fs::is_symlink(link));
  EXPECT_EQ(ReadFileBytes(real).size(), 32u);
  EXPECT_EQ(fs::status(real).permissions() & fs::perms::all,
            fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
  EXPECT_EQ(f.FilesInDir(), 2u);
  // A group- or world-writable file stays so although the umask would take
  // those bits from a new file; a new file gets what the umask leaves.
  const mode_t umask_before = ::umask(027);
  for (const mode_t mode : {0664, 0666}) {
    fs::permissions(real, fs::perms(mode));
    EXPECT_TRUE(f.files.SaveConfigFile(link));
    EXPECT_EQ(fs::status(real).permissions() & fs::perms::all, fs::perms(mode));
  }
  const std::string fresh = f.Path("new.tamlo");
  EXPECT_TRUE(f.files.SaveConfigFile(fresh));
  ::umask(umask_before);
  EXPECT_EQ(fs::status(fresh).permissions() & fs::perms::all, fs::perms(0640));
  // A file nobody may write is not replaced behind its back, by root neither.
  fs::permissions(real, fs::perms::owner_read);
  EXPECT_FALSE(f.files.SaveConfigFile(real));
  EXPECT_EQ(f.dialogs.messages.at(0).text, "Невозможно создать файл \"" + real + "\"");
}

TEST(ConfigFiles, CannotCreate_ShowsTheNameAndBuildsNothing) {
  Fixture f;
  int stores = 0;
  f.general.store = [&](ConfigTree&) { ++stores; };
  std::filesystem::create_directory(f.dir / "folder.tamlo");
  for (const std::string& target : {f.Path("folder.tamlo"), f.Path("no/such/dir.tamlo")}) {
    SCOPED_TRACE(target);
    f.dialogs.messages.clear();
    EXPECT_FALSE(f.files.SaveConfigFile(target));
    ASSERT_EQ(f.dialogs.messages.size(), 1u);
    EXPECT_EQ(f.dialogs.messages[0].text, "Невозможно создать файл \"" + target + "\"");
    EXPECT_EQ(f.dialogs.messages[0].caption, "Ошибка при записи конфигурации");
  }
  EXPECT_EQ(stores, 0);
}

TEST(ConfigFiles, SavedDefaultsReopenWithoutMessage) {
  Fixture f;
  const std::string path = f.Path("defaults.tamlo");
  ASSERT_TRUE(f.files.SaveConfigFile(path));
  EXPECT_EQ(ReadFileBytes(path).size(), 32u);
  f.dialogs.choices = {path};
  EXPECT_TRUE(f.files.OpenConfigFile());
  EXPECT_TRUE(f.dialogs.messages.empty());
  EXPECT_EQ(f.general.resets, 1);
}

}  // namespace
}  // namespace tamlo
