// The Qt adapters of the device window's seams: the settings' read rules by
// stored type, and private temporary files.
#include <QSettings>
#include <initializer_list>
#include <vector>

#include "device/qt/qt_desktop.h"
#include "device/qt/qt_settings_store.h"
#include "device_qt_test_app.h"
#include "support/temp_dir.h"

namespace tamlo {
namespace {

struct StoredCase {
  const char* name;
  std::optional<std::string> text;
  std::optional<uint32_t> number;
};

void ExpectReads(QtSettingsStore& store, std::initializer_list<StoredCase> cases) {
  for (const StoredCase& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(store.ReadText(c.name), c.text);
    EXPECT_EQ(store.ReadNumber(c.name), c.number);
  }
}

// A settings file as the next run finds it. An INI file keeps no types, so
// digits read as a text and as a number alike; lists, bytes, empty and
// over-long texts read as nothing.
TEST(QtSettingsStore, IniFileValuesReadByTheirForm) {
  tamlo::testing::TempDir dir;
  const std::filesystem::path file = dir / "TamloCfg.conf";
  tamlo::testing::WriteFileBytes(file,
                                 "[General]\nport=ttyUSB0\nempty=\nfits=" + std::string(63, 'x') +
                                     "\nlong=" + std::string(64, 'x') +
                                     "\ncyrillic=" + std::string(32, 'a') + "\xD1\x8F" +  // 33 characters, 34 bytes
                                     "\nlist=a, b\nbytes=@ByteArray(ab)\none=1\nbig=4294967295\nover=4294967296"
                                     "\nnegative=-1\nword=remote\n");
  QtSettingsStore store(std::make_unique<QSettings>(QString::fromStdString(file.string()), QSettings::IniFormat));
  ExpectReads(store, {
                         {"port", "ttyUSB0", std::nullopt},
                         {"empty", std::nullopt, std::nullopt},
                         {"fits", std::string(63, 'x'), std::nullopt},
                         {"long", std::nullopt, std::nullopt},
                         {"cyrillic", std::string(32, 'a') + "я", std::nullopt},
                         {"list", std::nullopt, std::nullopt},
                         {"bytes", std::nullopt, std::nullopt},
                         {"one", "1", 1u},
                         {"big", "4294967295", 4294967295u},
                         {"over", "4294967296", std::nullopt},
                         {"word", "remote", std::nullopt},
                         {"absent", std::nullopt, std::nullopt},
                     });

  store.WriteText("LastLocalPort", "ttyACM0");
  store.WriteNumber("ConnectType", 1);
  QtSettingsStore reopened(std::make_unique<QSettings>(QString::fromStdString(file.string()), QSettings::IniFormat));
  // Within one process the value keeps its type, as in the registry: a
  // number is no text.
  ExpectReads(reopened, {{"LastLocalPort", "ttyACM0", std::nullopt}, {"ConnectType", std::nullopt, 1u}});
}

TEST(QtDesktop, TempFilesAreNewPrivateAndNoLinks) {
  tamlo::testing::TempDir dir;
  // The temporary folder as POSIX (TMPDIR) and Windows (TMP) name it.
  const char* const variables[] = {"TMPDIR", "TMP"};
  std::vector<QByteArray> old_values;
  for (const char* variable : variables) {
    old_values.push_back(qgetenv(variable));
    qputenv(variable, QByteArray::fromStdString(dir.path().string()));
  }
  QtDesktop desktop;
  const auto first = desktop.CreatePrivateTempFile("tmp_XXXXXX.htm");
  const auto second = desktop.CreatePrivateTempFile("tmp_XXXXXX.htm");
  for (size_t i = 0; i < old_values.size(); ++i) qputenv(variables[i], old_values[i]);

  ASSERT_TRUE(first && second);
  EXPECT_NE(*first, *second);
  for (const std::string& path : {*first, *second}) {
    SCOPED_TRACE(path);
    const std::filesystem::path file(path);
    EXPECT_EQ(file.parent_path(), dir.path());
    EXPECT_TRUE(file.filename().string().starts_with("tmp_"));
    EXPECT_EQ(file.extension(), ".htm");
    namespace fs = std::filesystem;
    EXPECT_EQ(fs::symlink_status(file).type(), fs::file_type::regular);
    if (dir.KeepsModeBits()) {
      EXPECT_EQ(fs::status(file).permissions() & fs::perms::all, fs::perms::owner_read | fs::perms::owner_write);
    }
    EXPECT_EQ(fs::file_size(file), 0u);
  }
}

}  // namespace
}  // namespace tamlo
