// The main window driven as a user would: shows, tree selections, label
// clicks and shortcuts, with scripted dialogs and small test pages.
#include <gtest/gtest.h>

#include <QAccessible>

#include <QLabel>
#include <QMouseEvent>
#include <QTest>
#include <QTimer>
#include <QTreeWidget>

#include "app/main_window.h"
#include "app_test_support.h"
#include "config/config_files.h"
#include "config/system_file_system.h"
#include "support/temp_dir.h"

namespace tamlo {
namespace {

using testing::FakeDevicePage;
using testing::ScriptedDialogs;
using testing::TempDir;
using testing::TextPage;

class MainWindowTest : public ::testing::Test {
 protected:
  MainWindowTest() {
    general = new TextPage;
    input_l1 = new TextPage;
    device = new FakeDevicePage;
    window = std::make_unique<TF_Main>(MainWindowSeams{dialogs, SystemFileSystem(), clock, folder.path()});
    window->AttachPage(PageSlot::GeneralSettings, general);
    window->AttachPage(PageSlot::InputL1, input_l1);
    window->UsePageSet({{general}, {input_l1}});
    window->AttachDevicePage(device, device);
  }

  void ShowActive() {
    window->show();
    window->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(window.get()));
  }

  QTreeWidget* Tree() { return window->findChild<QTreeWidget*>(QStringLiteral("MainTree")); }

  void Select(const char* caption) {
    const auto found = Tree()->findItems(QString::fromUtf8(caption), Qt::MatchExactly | Qt::MatchRecursive);
    ASSERT_EQ(found.size(), 1) << caption;
    Tree()->setCurrentItem(found.front());
  }

  void Click(const char* label) {
    auto* widget = window->findChild<QLabel*>(QString::fromLatin1(label));
    ASSERT_NE(widget, nullptr) << label;
    QTest::mouseClick(widget, Qt::LeftButton);
  }

  std::string Path(const char* name) { return (folder / name).string(); }

  TempDir folder;  // the program's folder, without ademco.txt unless a test writes one
  ScriptedDialogs dialogs;
  link::ManualClock clock;
  TextPage* general;
  TextPage* input_l1;
  FakeDevicePage* device;
  std::unique_ptr<TF_Main> window;
};

TEST_F(MainWindowTest, FirstShow_BuildsTreeInOrderAndResetsPages_LaterShowsAddNothing) {
  EXPECT_EQ(Tree()->topLevelItemCount(), 0);
  window->show();
  window->hide();
  window->show();

  QStringList captions;
  for (QTreeWidgetItemIterator it(Tree()); *it; ++it)
    captions << QString((*it)->parent() ? "  " : "") + (*it)->text(0);
  EXPECT_EQ(captions, (QStringList{"Общие настройки", "  Периодические тесты", "Направления доставки",
                                   "  Параметры доставки", "Входы", "  Вход L1", "  Вход L2", "  Вход L3",
                                   "  Вход L4 (ретранслятор)", "Удаленные подключения", "Расширитель LAN",
                                   "Работа с прибором"}));
  EXPECT_EQ(general->resets, 1);
  EXPECT_EQ(input_l1->resets, 1);
  // Nothing is selected by the program: the pane is empty.
  EXPECT_FALSE(general->isVisible());
  EXPECT_FALSE(device->isVisible());
}

TEST_F(MainWindowTest, TreeSelection_ShowsOnePageAtPaneCorner_HeadingShowsNone_EditsSurviveSwitching) {
  window->show();
  Select("Общие настройки");
  EXPECT_TRUE(general->isVisible());
  EXPECT_EQ(general->pos(), QPoint(419, 42));
  EXPECT_EQ(general->parentWidget(), window.get());
  general->edit->setText("4321");

  Select("Вход L1");
  EXPECT_FALSE(general->isVisible());
  EXPECT_TRUE(input_l1->isVisible());

  Select("Входы");
  EXPECT_FALSE(input_l1->isVisible());
  EXPECT_FALSE(general->isVisible());
  EXPECT_FALSE(device->isVisible());

  Select("Периодические тесты");  // no page built for it yet: an empty pane
  EXPECT_FALSE(general->isVisible());

  Select("Общие настройки");
  EXPECT_EQ(general->edit->text(), "4321");
  // Switching pages neither stores nor loads nor resets anything.
  EXPECT_EQ(general->stores, 0);
  EXPECT_EQ(general->loads, 0);
  EXPECT_EQ(general->resets, 1);
}

TEST_F(MainWindowTest, Shortcuts_ReachMainWindowWhileDevicePageHidden_DevicePageFirstWhileShown) {
  ShowActive();
  device->takes = QKeySequence(Qt::CTRL | Qt::Key_S);

  // Device page hidden: Ctrl+O opens the dialog of the main window, and the
  // device page sees nothing.
  QTest::keyClick(window.get(), Qt::Key_O, Qt::ControlModifier);
  ASSERT_EQ(dialogs.requests.size(), 1u);
  EXPECT_FALSE(dialogs.requests[0].save);
  EXPECT_TRUE(device->seen.empty());
  EXPECT_EQ(device->modifier_strokes, 0);

  // Device page shown: it sees every key first. The key it takes goes no
  // further; the others still reach the main window's actions.
  Select("Работа с прибором");
  ASSERT_TRUE(device->isVisible());
  QTest::keyClick(window.get(), Qt::Key_S, Qt::ControlModifier);
  EXPECT_EQ(dialogs.requests.size(), 1u);
  QTest::keyClick(window.get(), Qt::Key_S, Qt::ControlModifier | Qt::ShiftModifier);
  ASSERT_EQ(dialogs.requests.size(), 2u);
  EXPECT_TRUE(dialogs.requests[1].save);
  EXPECT_EQ(device->seen, (std::vector<QKeySequence>{QKeySequence(Qt::CTRL | Qt::Key_S),
                                                      QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_S)}));

  // Hidden again: back to the main window alone.
  Select("Входы");
  QTest::keyClick(window.get(), Qt::Key_S, Qt::ControlModifier);
  EXPECT_EQ(dialogs.requests.size(), 3u);
  EXPECT_EQ(device->seen.size(), 2u);
}

TEST_F(MainWindowTest, ConnectionClock_ShowsHundredHoursAcrossTickWrap_HidesAndStopsAfterHangUp) {
  window->show();
  auto* label = window->findChild<QLabel*>(QStringLiteral("L_ConnectDuration"));
  auto* timer = window->findChild<QTimer*>(QStringLiteral("TMR_OneSecTick"));
  ASSERT_NE(label, nullptr);
  ASSERT_NE(timer, nullptr);
  EXPECT_FALSE(label->isVisible());
  EXPECT_FALSE(timer->isActive());

  device->connected = true;
  device->start_tick = 0xFFFFF000u;  // the tick count wraps during the call
  clock.Advance(device->start_tick + (100u * 3600 + 2 * 60 + 3) * 1000u + 999u - clock.NowMs());
  window->StartConnectionClock();
  EXPECT_TRUE(timer->isActive());
  EXPECT_TRUE(label->isVisible());
  EXPECT_EQ(label->text(), "Длительность соединения: 100:02:03");

  device->connected = false;
  window->TMR_OneSecTickTimer();
  EXPECT_FALSE(label->isVisible());
  EXPECT_FALSE(timer->isActive());
}

TEST_F(MainWindowTest, SaveWithoutName_ActsAsSaveAs_ThenSavesToCurrentFileWithoutDialog) {
  window->show();
  general->edit->setText("1234");

  dialogs.choices.push_back(std::nullopt);  // cancelled: nothing written
  Click("L_Save");
  ASSERT_EQ(dialogs.requests.size(), 1u);
  const FileDialogRequest& request = dialogs.requests[0];
  EXPECT_TRUE(request.save);
  EXPECT_EQ(request.filter, kConfigFileFilter);
  EXPECT_EQ(request.default_ext, "tamlo");
  EXPECT_EQ(request.initial_name, "");
  EXPECT_EQ(window->Files().CurrentFileName(), "");

  dialogs.choices.push_back(Path("first.tamlo"));
  Click("L_Save");
  EXPECT_EQ(window->Files().CurrentFileName(), Path("first.tamlo"));
  const std::string first = testing::ReadFileBytes(folder / "first.tamlo");
  EXPECT_NE(first.find("1234"), std::string::npos);

  general->edit->setText("5678");
  Click("L_Save");
  EXPECT_EQ(dialogs.requests.size(), 2u);
  EXPECT_NE(testing::ReadFileBytes(folder / "first.tamlo").find("5678"), std::string::npos);
  EXPECT_TRUE(dialogs.messages.empty());
}

TEST_F(MainWindowTest, FailedSaveAs_KeepsNewNameAndPreviousFile) {
  window->show();
  general->edit->setText("1234");
  dialogs.choices.push_back(Path("first.tamlo"));
  Click("L_Save_as");
  const std::string saved = testing::ReadFileBytes(folder / "first.tamlo");

  // A folder cannot be written as a file.
  std::filesystem::create_directory(folder / "folder.tamlo");
  general->edit->setText("5678");
  dialogs.choices.push_back(Path("folder.tamlo"));
  Click("L_Save_as");
  EXPECT_EQ(dialogs.requests.back().initial_name, Path("first.tamlo"));
  ASSERT_EQ(dialogs.messages.size(), 1u);
  EXPECT_EQ(dialogs.messages[0].caption, kSaveErrorCaption);
  EXPECT_EQ(dialogs.messages[0].icon, MessageIcon::Error);
  EXPECT_EQ(window->Files().CurrentFileName(), Path("folder.tamlo"));
  EXPECT_EQ(testing::ReadFileBytes(folder / "first.tamlo"), saved);
  EXPECT_TRUE(std::filesystem::is_directory(folder / "folder.tamlo"));
}

TEST_F(MainWindowTest, Open_CancelChangesNothing_GoodFileLoadsPages_BadFileEmptiesCurrentName) {
  window->show();
  general->edit->setText("1234");
  dialogs.choices.push_back(Path("good.tamlo"));
  Click("L_Save_as");
  general->edit->setText("changed");
  const int resets_before = general->resets;

  dialogs.choices.push_back(std::nullopt);
  Click("L_Open");
  EXPECT_FALSE(dialogs.requests.back().save);
  EXPECT_EQ(dialogs.requests.back().initial_name, Path("good.tamlo"));
  EXPECT_EQ(general->edit->text(), "changed");
  EXPECT_EQ(general->resets, resets_before);
  EXPECT_EQ(window->Files().CurrentFileName(), Path("good.tamlo"));

  dialogs.choices.push_back(Path("good.tamlo"));
  Click("L_Open");
  EXPECT_EQ(general->edit->text(), "1234");
  EXPECT_EQ(general->resets, resets_before + 1);
  EXPECT_TRUE(dialogs.messages.empty());

  testing::WriteFileBytes(folder / "bad.tamlo", std::string(40, 'x'));
  dialogs.choices.push_back(Path("bad.tamlo"));
  Click("L_Open");
  ASSERT_EQ(dialogs.messages.size(), 1u);
  EXPECT_EQ(dialogs.messages[0].caption, kLoadErrorCaption);
  EXPECT_EQ(dialogs.messages[0].icon, MessageIcon::Error);
  EXPECT_EQ(window->Files().CurrentFileName(), "");
}

TEST_F(MainWindowTest, EventCodeList_MissingFileIsEmptyWithoutMessage_PresentFileIsLoaded) {
  EXPECT_TRUE(window->EventCodeList().empty());
  window->show();
  EXPECT_TRUE(dialogs.messages.empty());

  testing::WriteFileBytes(folder / "ademco.txt", "130;Alarm;Restore\r\n");
  TF_Main second(MainWindowSeams{dialogs, SystemFileSystem(), clock, folder.path()});
  ASSERT_EQ(second.EventCodeList().size(), 1u);
  EXPECT_EQ(second.EventCodeList()[0], "130;Alarm;Restore");
}

TEST_F(MainWindowTest, LabelButtons_UnderlineOnHoverAndHelpIsHidden) {
  window->show();
  auto* open = window->findChild<QLabel*>(QStringLiteral("L_Open"));
  QEnterEvent enter(QPointF(1, 1), QPointF(1, 1), QPointF(1, 1));
  QApplication::sendEvent(open, &enter);
  EXPECT_TRUE(open->font().underline());
  EXPECT_TRUE(open->font().bold());
  QEvent leave(QEvent::Leave);
  QApplication::sendEvent(open, &leave);
  EXPECT_FALSE(open->font().underline());
  EXPECT_TRUE(open->font().bold());
  EXPECT_FALSE(window->findChild<QLabel*>(QStringLiteral("L_Help"))->isVisible());
}

TEST_F(MainWindowTest, ScreenReaders_NameTheTreeAndThePictureButtons) {
  const std::pair<const char*, const char*> named[] = {
      {"MainTree", "Разделы"}, {"BitBtn_Minimize", "Свернуть"}, {"BitBtn_Close", "Закрыть"}};
  for (const auto& [control, name] : named) {
    auto* widget = window->findChild<QWidget*>(QString::fromLatin1(control));
    ASSERT_NE(widget, nullptr) << control;
    EXPECT_EQ(QAccessible::queryAccessibleInterface(widget)->text(QAccessible::Name), QString::fromUtf8(name));
  }
}

TEST_F(MainWindowTest, LeftDragOnBackgroundTitleOrClockMovesWindow_OtherButtonsDoNot) {
  window->show();
  // No platform window move here, so the window follows the mouse.
  for (const char* name : {"Image_Background", "L_TitleText", "L_ConnectDuration"}) {
    SCOPED_TRACE(name);
    auto* grip = window->findChild<QWidget*>(QString::fromLatin1(name));
    ASSERT_NE(grip, nullptr);
    const QPoint start = window->pos();
    QTest::mousePress(grip, Qt::RightButton, {}, QPoint(5, 5));
    QTest::mouseMove(grip, QPoint(35, 25));
    QTest::mouseRelease(grip, Qt::RightButton, {}, QPoint(35, 25));
    EXPECT_EQ(window->pos(), start);

    QTest::mousePress(grip, Qt::LeftButton, {}, QPoint(5, 5));
    QMouseEvent move(QEvent::MouseMove, QPointF(35, 25), grip->mapToGlobal(QPointF(35, 25)), Qt::NoButton,
                     Qt::LeftButton, {});
    QApplication::sendEvent(grip, &move);
    QTest::mouseRelease(grip, Qt::LeftButton, {}, QPoint(35, 25));
    EXPECT_EQ(window->pos(), start + QPoint(30, 20));
  }
}

TEST_F(MainWindowTest, ExitLabelAndCloseButton_CloseTheWindowAndEndTheProgram) {
  for (const char* name : {"L_Exit", "BitBtn_Close"}) {
    SCOPED_TRACE(name);
    int closed = 0;
    const auto connection = QObject::connect(window.get(), &TF_Main::Closed, [&] { ++closed; });
    window->show();
    auto* control = window->findChild<QWidget*>(QString::fromLatin1(name));
    ASSERT_NE(control, nullptr);
    QTest::mouseClick(control, Qt::LeftButton, {}, QPoint(3, 3));
    EXPECT_FALSE(window->isVisible());
    EXPECT_EQ(closed, 1);
    QObject::disconnect(connection);
  }
}

TEST(ConnectionDurationTest, HoursAreNotLimitedToTwoDigits) {
  EXPECT_EQ(FormatConnectionDuration(0), "Длительность соединения: 00:00:00");
  EXPECT_EQ(FormatConnectionDuration(3599999), "Длительность соединения: 00:59:59");
  EXPECT_EQ(FormatConnectionDuration(360000000u), "Длительность соединения: 100:00:00");
  EXPECT_EQ(FormatConnectionDuration(0xFFFFFFFFu), "Длительность соединения: 1193:02:47");
}

}  // namespace
}  // namespace tamlo
