// The Qt adapters of the device window's seams: the settings' read rules by
// stored type, and private temporary files.
#include <sys/stat.h>

#include <QSettings>
#include <QStringList>

#include "device/qt/qt_desktop.h"
#include "device/qt/qt_settings_store.h"
#include "device_qt_test_app.h"
#include "support/temp_dir.h"

namespace tamlo {
namespace {

TEST(QtSettingsStore, ReadsOnlyValuesOfTheirOwnType) {
  testing::DeviceQtTestApp();
  tamlo::testing::TempDir dir;
  const QString file = QString::fromStdString((dir / "TamloCfg.ini").string());
  struct Case {
    const char* name;
    QVariant stored;
    std::optional<std::string> text;
    std::optional<uint32_t> number;
  } cases[] = {
      {"port", QStringLiteral("ttyUSB0"), "ttyUSB0", std::nullopt},
      {"empty", QString(), std::nullopt, std::nullopt},
      {"fits", QString(63, u'x'), std::string(63, 'x'), std::nullopt},
      {"long", QString(64, u'x'), std::nullopt, std::nullopt},
      // 32 two-byte letters: 64 bytes, more than the buffer takes.
      {"cyrillic", QString(32, u'я'), std::nullopt, std::nullopt},
      {"list", QStringList{"a", "b"}, std::nullopt, std::nullopt},
      {"bytes", QByteArray("\x01\x02", 2), std::nullopt, std::nullopt},
      {"one", 1, "1", 1u},  // an INI file keeps no types: digits read either way
      {"big", 4294967295u, "4294967295", 4294967295u},
      {"over", QStringLiteral("4294967296"), "4294967296", std::nullopt},
      {"negative", -1, "-1", std::nullopt},
      {"word", QStringLiteral("remote"), "remote", std::nullopt},
      {"spaced", QStringLiteral(" 1"), " 1", std::nullopt},
  };
  {
    QSettings settings(file, QSettings::IniFormat);
    for (const Case& c : cases) settings.setValue(c.name, c.stored);
  }
  QtSettingsStore store(std::make_unique<QSettings>(file, QSettings::IniFormat));
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(store.ReadText(c.name), c.text);
    EXPECT_EQ(store.ReadNumber(c.name), c.number);
  }
  EXPECT_EQ(store.ReadText("absent"), std::nullopt);
  EXPECT_EQ(store.ReadNumber("absent"), std::nullopt);

  store.WriteText("LastLocalPort", "ttyACM0");
  store.WriteNumber("ConnectType", 1);
  QtSettingsStore reopened(std::make_unique<QSettings>(file, QSettings::IniFormat));
  EXPECT_EQ(reopened.ReadText("LastLocalPort"), "ttyACM0");
  EXPECT_EQ(reopened.ReadNumber("ConnectType"), 1u);
}

TEST(QtDesktop, TempFilesAreNewPrivateAndNoLinks) {
  testing::DeviceQtTestApp();
  tamlo::testing::TempDir dir;
  const QByteArray old_tmpdir = qgetenv("TMPDIR");
  qputenv("TMPDIR", QByteArray::fromStdString(dir.path().string()));
  QtDesktop desktop;
  const auto first = desktop.CreatePrivateTempFile("tmp_XXXXXX.htm");
  const auto second = desktop.CreatePrivateTempFile("tmp_XXXXXX.htm");
  qputenv("TMPDIR", old_tmpdir);

  ASSERT_TRUE(first && second);
  EXPECT_NE(*first, *second);
  for (const std::string& path : {*first, *second}) {
    SCOPED_TRACE(path);
    const std::filesystem::path file(path);
    EXPECT_EQ(file.parent_path(), dir.path());
    EXPECT_TRUE(file.filename().string().starts_with("tmp_"));
    EXPECT_EQ(file.extension(), ".htm");
    struct stat info {};
    ASSERT_EQ(lstat(path.c_str(), &info), 0);
    EXPECT_TRUE(S_ISREG(info.st_mode));
    EXPECT_EQ(info.st_mode & 0777, 0600u);
    EXPECT_EQ(info.st_size, 0);
  }
}

}  // namespace
}  // namespace tamlo
