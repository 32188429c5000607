// The main window with its real settings pages: every tree node shows its own
// page, a configuration opened and saved through the GUI comes out byte for
// byte, and what the user types reaches the saved file.
#include "app/settings_views.h"

#include <gtest/gtest.h>

#include <QLineEdit>
#include <QTest>
#include <QTreeWidget>

#include "app/main_window.h"
#include "app_test_support.h"
#include "config/system_file_system.h"
#include "pages/qt/page_view.h"
#include "support/temp_dir.h"
#include "tests/pages/every_parameter.h"

namespace tamlo {
namespace {

using testing::EveryParameterFile;
using testing::ReadFileBytes;
using testing::ScriptedDialogs;
using testing::TempDir;
using testing::WriteFileBytes;

std::string Bytes(const std::vector<uint8_t>& v) { return std::string(v.begin(), v.end()); }

class SettingsViewsTest : public ::testing::Test {
 protected:
  SettingsViewsTest() {
    window = std::make_unique<TF_Main>(MainWindowSeams{dialogs, SystemFileSystem(), clock, folder.path()});
    views = new SettingsViews(*window, dialogs);
  }

  void Select(const char* caption) {
    auto* tree = window->findChild<QTreeWidget*>(QStringLiteral("MainTree"));
    const auto found = tree->findItems(QString::fromUtf8(caption), Qt::MatchExactly | Qt::MatchRecursive);
    ASSERT_EQ(found.size(), 1) << caption;
    tree->setCurrentItem(found.front());
  }

  // The one page the pane shows.
  PageView* Shown() {
    PageView* shown = nullptr;
    for (PageView* page : window->findChildren<PageView*>()) {
      if (!page->isVisible()) continue;
      EXPECT_EQ(shown, nullptr) << "two pages shown";
      shown = page;
    }
    return shown;
  }

  QLineEdit* ShownEdit(const char* name) {
    PageView* page = Shown();
    return page ? page->findChild<QLineEdit*>(QString::fromLatin1(name)) : nullptr;
  }

  std::string Path(const char* name) { return (folder / name).string(); }

  TempDir folder;
  ScriptedDialogs dialogs;
  link::ManualClock clock;
  std::unique_ptr<TF_Main> window;
  SettingsViews* views;  // a child of the window
};

TEST_F(SettingsViewsTest, OpenThenSaveAs_EveryParameterByteIdentical_AndEveryNodeShowsItsOwnPage) {
  WriteFileBytes(folder / "in.tamlo", Bytes(EveryParameterFile()));
  window->show();
  dialogs.choices.push_back(Path("in.tamlo"));
  window->L_OpenClick();
  ASSERT_TRUE(dialogs.messages.empty());

  // The loaded values reached the widgets of the page each node shows.
  const struct {
    const char* node;
    const char* edit;
    const char* text;
  } shown[] = {
      {"Общие настройки", "E_Account", "1BCD"}, {"Вход L1", "E_Zone", "010"},
      {"Вход L2", "E_Zone", "CDE"},             {"Вход L3", "E_Event", "12345"},
      {"Вход L4 (ретранслятор)", "E_Partition", "BC"},
      {"Параметры доставки", "E_OneSimLoops", "7"},
      {"Удаленные подключения", "E_MaxPhoneLen", "12"},
  };
  for (const auto& s : shown) {
    SCOPED_TRACE(s.node);
    Select(s.node);
    QLineEdit* edit = ShownEdit(s.edit);
    ASSERT_NE(edit, nullptr);
    EXPECT_EQ(edit->text().toStdString(), s.text);
  }
  Select("Работа с прибором");  // no device window yet: an empty pane
  EXPECT_EQ(Shown(), nullptr);

  dialogs.choices.push_back(Path("out.tamlo"));
  window->L_Save_asClick();
  EXPECT_TRUE(dialogs.messages.empty());
  EXPECT_EQ(ReadFileBytes(folder / "out.tamlo"), Bytes(EveryParameterFile()));
}

TEST_F(SettingsViewsTest, TypedAccountReachesTheSavedFile_OpenAtStartComesAfterTheReset) {
  window->show();
  Select("Общие настройки");
  QLineEdit* account = ShownEdit("E_Account");
  ASSERT_NE(account, nullptr);
  account->setFocus();
  QTest::keyClicks(account, "12");
  dialogs.choices.push_back(Path("typed.tamlo"));
  window->L_Save_asClick();
  EXPECT_EQ(views->Pages().ListChangedSettings(), (std::vector<SettingValue>{{"general.E_Account", "12"}}));

  // A second window given the file before its first show: the reset comes
  // first, then the file, and the page shows what was saved.
  TF_Main second(MainWindowSeams{dialogs, SystemFileSystem(), clock, folder.path()});
  auto* second_views = new SettingsViews(second, dialogs);
  second.OpenAtStart(Path("typed.tamlo"));
  second.show();
  EXPECT_EQ(second.Files().CurrentFileName(), Path("typed.tamlo"));
  // The account number is loaded as the device keeps it: four digits.
  EXPECT_EQ(second_views->Pages().ListChangedSettings(),
            (std::vector<SettingValue>{{"general.E_Account", "0012"}}));
  auto* shown_account = second.findChild<QLineEdit*>(QStringLiteral("E_Account"));
  ASSERT_NE(shown_account, nullptr);
  EXPECT_EQ(shown_account->text(), "0012");

  // A file that cannot be opened gives Open's message and no current name.
  WriteFileBytes(folder / "bad.tamlo", std::string(40, 'x'));
  second.OpenAtStart(Path("bad.tamlo"));
  ASSERT_EQ(dialogs.messages.size(), 1u);
  EXPECT_EQ(dialogs.messages[0].caption, kLoadErrorCaption);
  EXPECT_EQ(second.Files().CurrentFileName(), "");
}

// The first Tab from the tree lands on the directions page's first field,
// not on the scroll area that holds the six directions.
TEST_F(SettingsViewsTest, TabFromTheTree_ReachesTheFirstDirectionsField) {
  window->show();
  QApplication::setActiveWindow(window.get());
  Select("Направления доставки");
  window->findChild<QTreeWidget*>(QStringLiteral("MainTree"))->setFocus(Qt::TabFocusReason);
  QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
  ASSERT_NE(QApplication::focusWidget(), nullptr);
  EXPECT_EQ(QApplication::focusWidget()->objectName(), QStringLiteral("C_Proto"));
}

}  // namespace
}  // namespace tamlo
