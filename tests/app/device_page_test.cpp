// The page "Работа с прибором" in the main window with the real settings
// pages, started as `tamlocfg --demo` starts it: the demo entry selected, the
// demo device behind the port router, on the fake clock. What the user does
// through the page's link labels reaches the device and the pages.
#include "device/qt/device_window_view.h"

#include <gtest/gtest.h>

#include <set>

#include <QAccessible>
#include <QComboBox>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QTableWidget>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QTreeWidget>

#include "app/main_window.h"
#include "app/main_window_control.h"
#include "app/port_router.h"
#include "app/settings_views.h"
#include "app/start_ports.h"
#include "app_test_support.h"
#include "config/system_file_system.h"
#include "device/device_window_rig.h"
#include "device/qt/crypto_keys_window.h"
#include "device/qt/gsm_status_window.h"
#include "device/qt/difference_window.h"
#include "device/qt/progress_window.h"
#include "link/fake_port.h"
#include "sim/demo_site.h"
#include "support/temp_dir.h"
#include "widgets/label_button.h"
#include "widgets/page_look.h"

namespace tamlo {
namespace {

using namespace device::testing;

class DevicePageTest : public ::testing::Test {
 protected:
  explicit DevicePageTest(std::string password = {}) {
    sim::DeviceSettings settings = sim::DemoDeviceSettings(clock);
    settings.password = std::move(password);
    auto demo = std::make_unique<sim::SimPort>(std::make_shared<sim::SimDevice>(std::move(settings)), clock);
    device = &demo->device();
    port = std::make_unique<PortRouter>(std::make_unique<link::testing::FakePort>(clock), std::move(demo));
    desktop.folder = folder.path().string();

    window = std::make_unique<TF_Main>(MainWindowSeams{dialogs, SystemFileSystem(), clock, folder.path()});
    gsm = std::make_unique<TF_GSM_Status>(window.get());
    views = new SettingsViews(*window, dialogs);
    model = std::make_unique<device::DeviceWindowModel>(device::DeviceWindowSeams{
        .dialogs = dialogs,
        .files = SystemFileSystem(),
        .port = *port,
        .clock = clock,
        .pump = pump,
        .ports = port_list,
        .settings = port_settings,
        .desktop = desktop,
        .progress = progress,
        .prompt = prompt,
        .phone_book = phone_book,
        .main_window = main_control,
        .gsm_status = *gsm,
        .pages = window->Pages(),
        .event_codes = window->EventCodeList(),
        .history = history,
        .differences = differences,
        .log_time_text = [] { return std::string("08.12.2026 17:35:02"); },
    });
    port->SetRemoteMode([this] { return model->remote_selected(); });
    page = new TF_TamloDev(*model);
    window->AttachDevicePage(page, page);
    QObject::connect(page, &TF_TamloDev::PagesChanged, window.get(), &TF_Main::PagesChanged);
    model->FormCreate();
    window->show();
    auto* tree = window->findChild<QTreeWidget*>(QStringLiteral("MainTree"));
    tree->setCurrentItem(tree->findItems(QStringLiteral("Работа с прибором"), Qt::MatchExactly).front());
  }
  // The page goes with the window, before the model it shows.
  ~DevicePageTest() override {
    gsm.reset();
    window.reset();
  }

  void Click(const char* link) {
    auto* label = page->findChild<LabelButton*>(QString::fromLatin1(link));
    ASSERT_NE(label, nullptr) << link;
    ASSERT_TRUE(label->isEnabled()) << link;
    label->click();
  }
  std::vector<std::string> TakeBoxes() {
    std::vector<std::string> texts = dialogs.Texts();
    dialogs.boxes.clear();
    return texts;
  }
  std::vector<uint8_t> StoredData() {
    const std::vector<uint8_t>& image = device->engine().image();
    return std::vector<uint8_t>(image.begin() + 32, image.end());
  }

  testing::TempDir folder;
  link::ManualClock clock{1000};
  link::ManualPump pump{clock};
  sim::SimDevice* device = nullptr;
  std::unique_ptr<PortRouter> port;
  ScriptedDialogs dialogs;
  MemorySettings stored;
  FixedPorts system_ports;
  const CommandLine line = ParseCommandLine({"--demo"});
  StartPortList port_list{system_ports, line};
  StartPortSettings port_settings{stored, line};
  FolderDesktop desktop;
  RecordingProgress progress;
  ScriptedPrompt prompt;
  ScriptedPhoneBook phone_book;
  RecordingMainWindow main_control;
  MemoryHistoryFolder history_folder;
  device::ConfigHistory history{history_folder, kHistoryRoot};
  RecordingDifferences differences;
  std::unique_ptr<TF_Main> window;
  std::unique_ptr<TF_GSM_Status> gsm;
  SettingsViews* views = nullptr;  // children of the window
  TF_TamloDev* page = nullptr;
  std::unique_ptr<device::DeviceWindowModel> model;
};

TEST_F(DevicePageTest, StartsOnTheDemoEntry_ReadFillsThePages_WriteSendsTheSameSettingsBack) {
  auto* ports = page->findChild<QComboBox*>(QStringLiteral("CmbBx_PortList"));
  ASSERT_TRUE(page->isVisible());
  EXPECT_EQ(ports->currentText(), QString::fromUtf8(kDemoPortName));
  EXPECT_EQ(ports->accessibleName(), QStringLiteral("Выбор COM порта:"));

  const std::vector<uint8_t> site = StoredData();
  Click("L_ConfigRead");
  EXPECT_EQ(TakeBoxes(), std::vector<std::string>{"Конфигурация успешно считана из устройства"});
  // The loaded values reached the page views, not only the models.
  auto* account = window->findChild<QLineEdit*>(QStringLiteral("E_Account"));
  ASSERT_NE(account, nullptr);
  EXPECT_EQ(account->text(), QStringLiteral("2B17"));
  const std::vector<SettingValue> read = views->Pages().ListSettings();
  EXPECT_NE(read, SettingsPages(dialogs).ListSettings());
  // The service log shows the model's lines as they came, the store stamp among them.
  const QString info = page->findChild<QPlainTextEdit*>(QStringLiteral("Mm_Info"))->toPlainText();
  EXPECT_EQ(info.count(QLatin1Char('\n')) + 1, static_cast<qsizetype>(model->log_lines().size()));
  EXPECT_TRUE(info.contains(QStringLiteral("внутренний номер %1").arg(sim::kDemoSiteConfigNumber))) << info.toStdString();

  // Write (OK), decline the reboot: the device holds the same settings.
  dialogs.answers = {MessageResult::Ok, MessageResult::Cancel};
  Click("L_ConfigWrite");
  EXPECT_EQ(StoredData(), site);
  EXPECT_EQ(views->Pages().ListSettings(), read);

  // Read back into reset pages.
  ResetAllPages(window->Pages());
  dialogs.boxes.clear();
  Click("L_ConfigRead");
  EXPECT_EQ(views->Pages().ListSettings(), read);
}

TEST_F(DevicePageTest, OtherMenu_BackupBeforeWrite_VerifyAndCompareWithTheDemoDevice) {
  auto* menu = page->findChild<QMenu*>(QStringLiteral("MNU_OtherActions"));
  ASSERT_NE(menu, nullptr);
  const auto action = [menu](const char* name) { return menu->findChild<QAction*>(QString::fromLatin1(name)); };
  QStringList entries;
  for (const QAction* entry : menu->actions()) entries << (entry->isSeparator() ? "-" : entry->objectName());
  EXPECT_EQ(entries, (QStringList{"N_Keys", "-", "N_SetTime", "N_Reboot", "-", "N_Backup", "N_VerifyWrite",
                                  "N_Compare"}));
  bool key_window = false;
  QObject::connect(page, &TF_TamloDev::N_KeysClick, page, [&key_window] { key_window = true; });
  action("N_Keys")->trigger();
  EXPECT_TRUE(key_window);
  EXPECT_TRUE(action("N_Backup")->isChecked());
  EXPECT_FALSE(action("N_VerifyWrite")->isEnabled());

  Click("L_ConfigRead");
  dialogs.answers = {MessageResult::Ok, MessageResult::Cancel};
  Click("L_ConfigWrite");
  EXPECT_EQ(history_folder.Names(std::string("port-") + kDemoPortName).size(), 2u);
  TakeBoxes();

  ASSERT_TRUE(action("N_VerifyWrite")->isEnabled());
  action("N_VerifyWrite")->trigger();
  EXPECT_EQ(TakeBoxes(),
            std::vector<std::string>{"Проверка записи пройдена: конфигурация в приборе совпадает с записанной"});

  auto* account = window->findChild<QLineEdit*>(QStringLiteral("E_Account"));
  account->setText(QStringLiteral("2B18"));
  emit account->textEdited(account->text());  // as typed
  action("N_Compare")->trigger();
  ASSERT_EQ(differences.shown.size(), 1u);
  EXPECT_EQ(differences.shown[0],
            (std::vector<device::DifferenceRow>{{"Общие настройки › Номер объекта (Account)", "2B18", "2B17"}}));
  EXPECT_EQ(account->text(), QStringLiteral("2B18"));  // the device's value stays out of the page

  action("N_Backup")->trigger();
  EXPECT_FALSE(action("N_Backup")->isChecked());
  EXPECT_EQ(stored.ReadNumber(device::kBackupBeforeWriteValue), 0u);
}

TEST(DifferenceWindow, OneRowPerSetting_PagesThenDevice_EveryColumnWhole_InThePagesLook) {
  TF_Differences window(nullptr);
  window.Fill({{"general.E_Account", "0012", "0013"},
               {"remote.LIST_Phones.2", "-", "+7900 | дом"},
               {"Общие настройки › Заменять № объекта в ретранслируемых событиях", "да", "нет"},
               {"Удаленные подключения › Телефон 12", "+7 900 123-45-67 | дом", "-"}});
  auto* table = window.findChild<QTableWidget*>(QStringLiteral("TBL_Differences"));
  ASSERT_NE(table, nullptr);
  ASSERT_EQ(table->rowCount(), 4);
  EXPECT_EQ(table->horizontalHeaderItem(1)->text(), QStringLiteral("На страницах"));
  EXPECT_EQ(table->item(0, 0)->text(), QStringLiteral("general.E_Account"));
  EXPECT_EQ(table->item(0, 2)->text(), QStringLiteral("0013"));
  EXPECT_EQ(table->item(1, 2)->text(), QStringLiteral("+7900 | дом"));

  window.show();
  QApplication::processEvents();
  EXPECT_EQ(table->horizontalScrollBar()->maximum(), 0);  // nothing beyond the right edge
  for (int column = 0; column < 3; ++column) {
    SCOPED_TRACE(column);
    EXPECT_GE(table->columnWidth(column), static_cast<const QAbstractItemView*>(table)->sizeHintForColumn(column));
    EXPECT_LE(table->columnViewportPosition(column) + table->columnWidth(column), table->viewport()->width());
  }
  EXPECT_EQ(window.palette().color(QPalette::Window), kPageTeal);
  EXPECT_EQ(table->palette().color(QPalette::Text), kPageTeal);
  window.hide();
}

// The GSM window takes the progress window's place at the first reply, shows
// the demo device's levels as they change, and closing it ends the polling.
TEST_F(DevicePageTest, GsmWindowAppearsOnTheFirstReply_ClosingItEndsThePolling) {
  EXPECT_FALSE(gsm->isVisible());
  std::vector<int> sim1_bars;
  std::vector<QString> sim1_db;
  auto* gauge = gsm->findChild<QProgressBar*>(QStringLiteral("PB_GSM_Level_Gauge"));
  auto* level_db = gsm->findChild<QLabel*>(QStringLiteral("L_GSM_Level_dB"));
  ASSERT_NE(gauge, nullptr);
  // Once a second, between polls, look at the window as the user would.
  for (uint32_t at = 500; at <= 4500; at += 1000)
    pump.PostAt(clock.NowMs() + at, [&] {
      ASSERT_TRUE(gsm->isVisible());
      EXPECT_EQ(main_control.events.back(), "disable");
      sim1_bars.push_back(gauge->value());
      sim1_db.push_back(level_db->text());
    });
  bool closed = false;
  pump.PostAt(clock.NowMs() + 5000, [&] {
    gsm->findChild<QPushButton*>(QStringLiteral("B_GSM_Close"))->click();
    closed = true;
  });
  const uint32_t started = clock.NowMs();
  Click("L_Show_GSM_Status");
  ASSERT_TRUE(closed);
  EXPECT_LT(clock.NowMs() - started, 8000u);  // ended at the next wait after the close
  EXPECT_FALSE(gsm->isVisible());
  EXPECT_EQ(main_control.events.back(), "enable");
  EXPECT_EQ(model->gsm_window_state(), device::DeviceWindowModel::GsmWindowState::Idle);
  EXPECT_TRUE(TakeBoxes().empty());

  ASSERT_EQ(sim1_bars.size(), 5u);
  EXPECT_EQ(gsm->findChild<QGroupBox*>(QStringLiteral("GroupBox1"))->title(), QStringLiteral(" SIM 1: используется "));
  EXPECT_EQ(gsm->findChild<QLabel*>(QStringLiteral("L_TextState"))->text(), QStringLiteral("Активна"));
  // The demo device's level drifts: the window follows it.
  EXPECT_NE(std::set<int>(sim1_bars.begin(), sim1_bars.end()).size(), 1u) << ::testing::PrintToString(sim1_bars);
  for (const QString& db : sim1_db) EXPECT_TRUE(db.endsWith(QStringLiteral(" dB"))) << db.toStdString();
}

// The key window on the page's model: a write shows "Установлен" when the
// device has read the status again; a declined delete sends nothing.
TEST_F(DevicePageTest, KeyWriteThenStatusShowsSet_DeclinedDeleteSendsNothing) {
  device::CryptoKeysModel keys(*model, prompt, dialogs);
  model->SetKeyStatusListener([&keys](int count, unsigned mask) { keys.ShowKeyStatus(count, mask); });
  TF_CryptoKeys window_keys(keys, window.get());
  auto* status = window_keys.findChild<QLabel*>(QStringLiteral("L_KeyStatus"));
  ASSERT_NE(status, nullptr);
  EXPECT_EQ(status->text(), QStringLiteral("Обновите информацию"));
  // A screen reader hears the status, with the key it belongs to.
  const auto spoken = [status] { return QAccessible::queryAccessibleInterface(status)->text(QAccessible::Name); };
  EXPECT_EQ(spoken(), QStringLiteral("Ключ №1: Обновите информацию"));

  prompt.answers = {"0123456789ABCDEF0123456789abcdef"};
  window_keys.findChild<LabelButton*>(QStringLiteral("L_KeyWrite"))->click();
  EXPECT_EQ(TakeBoxes(), std::vector<std::string>{"Ключ записан в прибор"});
  EXPECT_EQ(status->text(), QStringLiteral("Установлен"));
  EXPECT_EQ(spoken(), QStringLiteral("Ключ №1: Установлен"));
  EXPECT_EQ(device->engine().key(0)[1], 0x23);

  const size_t log_lines = model->log_lines().size();
  dialogs.answers = {MessageResult::Cancel};
  window_keys.findChild<LabelButton*>(QStringLiteral("L_KeyDelete"))->click();
  EXPECT_EQ(TakeBoxes(), std::vector<std::string>{"Удалить ключ №1 из устройства?"});
  EXPECT_EQ(model->log_lines().size(), log_lines);
  EXPECT_EQ(device->engine().key_mask() & 1, 1);
  model->SetKeyStatusListener(nullptr);
}

TEST_F(DevicePageTest, EachJournalViewCreatesANewPrivateFileAndOpensIt) {
  Click("L_ViewJournal");
  Click("L_ViewJournal");
  ASSERT_EQ(desktop.created.size(), 2u);
  EXPECT_NE(desktop.created[0], desktop.created[1]);
  EXPECT_EQ(desktop.opened, desktop.created);
  for (const std::string& path : desktop.created) {
    namespace fs = std::filesystem;
    EXPECT_EQ(fs::symlink_status(path).type(), fs::file_type::regular);
    if (folder.KeepsModeBits()) {
      EXPECT_EQ(fs::status(path).permissions() & fs::perms::all, fs::perms::owner_read | fs::perms::owner_write);
    }
    EXPECT_GT(fs::file_size(path), 1000u);  // the rendered demo journal
  }
  EXPECT_TRUE(TakeBoxes().empty());
}

TEST_F(DevicePageTest, FirmwareGoesToTheBootloader_RemoteModeDialsTheDemoModemUpToTheHangUp) {
  const std::string firmware = (folder.path() / "tk208.fmw").string();
  testing::WriteFileBytes(firmware, std::string(3000, '\x5A'));
  dialogs.files = {firmware};
  Click("L_FW_Update");
  EXPECT_EQ(TakeBoxes(), std::vector<std::string>{"Обновление прошивки завершено. Устройство перезагружается."});
  EXPECT_EQ(device->bootloader().image().size(), 3072u);  // 24 XMODEM blocks of 128

  page->findChild<QRadioButton*>(QStringLiteral("RB_Remote"))->click();
  EXPECT_FALSE(page->findChild<LabelButton*>(QStringLiteral("L_ConfigRead"))->isEnabled());
  phone_book.choice = device::DialTarget{"+79001234567", true};
  Click("L_PortChk");
  ASSERT_TRUE(page->ConnectedViaModem()) << ::testing::PrintToString(TakeBoxes());
  ASSERT_NE(device->modem(), nullptr);
  EXPECT_EQ(device->modem()->dialled(), "+79001234567");
  EXPECT_EQ(page->findChild<LabelButton*>(QStringLiteral("L_PortChk"))->text(), QStringLiteral("Отключиться"));
  EXPECT_FALSE(page->findChild<LabelButton*>(QStringLiteral("L_FW_Update"))->isEnabled());
  Click("L_ConfigRead");
  EXPECT_EQ(TakeBoxes(), std::vector<std::string>{"Конфигурация успешно считана из устройства"});
  Click("L_PortChk");
  EXPECT_FALSE(page->ConnectedViaModem());
  EXPECT_EQ(page->findChild<LabelButton*>(QStringLiteral("L_PortChk"))->text(), QStringLiteral("Подключиться"));
}

class PasswordPageTest : public DevicePageTest {
 protected:
  PasswordPageTest() : DevicePageTest("4711") {}
};

TEST_F(PasswordPageTest, RefusedPasswordAsksAgainPrefilled_ThenTheShortcutAsksForTheSerialNumber) {
  prompt.answers = {"1234", "4711"};
  Click("L_FW_ShowVer");
  ASSERT_EQ(prompt.requests.size(), 2u);
  EXPECT_EQ(prompt.requests[0].prefill, "");
  EXPECT_EQ(prompt.requests[1].prefill, "1234");
  // The device's version stands in place of "Показать версию".
  EXPECT_EQ(page->findChild<LabelButton*>(QStringLiteral("L_FW_ShowVer"))->text(), QStringLiteral("3.11"));

  // Ctrl+Alt+W reaches the page through the main window's shortcut filter.
  const QKeyEvent press(QEvent::KeyPress, Qt::Key_W, Qt::ControlModifier | Qt::AltModifier);
  EXPECT_TRUE(page->FormShortCut(press));
  ASSERT_EQ(prompt.requests.size(), 3u);
  EXPECT_EQ(prompt.requests[2].mode, device::EntryMode::SerialNumber);
  const QKeyEvent shifted(QEvent::KeyPress, Qt::Key_W,
                          Qt::ControlModifier | Qt::AltModifier | Qt::ShiftModifier);
  EXPECT_FALSE(page->FormShortCut(shifted));
}

// The progress window shows (and may become active) just before the exchange
// disables the active window: the main window is disabled, never the
// progress window with its "Отмена". Afterwards the focus is back on the
// control that started the exchange, not on the window's first control.
TEST(MainWindowControl, ExchangeDisablesTheMainWindowEvenWhenTheProgressWindowIsActive_FocusReturns) {
  QWidget main;
  auto* first = new LabelButton(QStringLiteral("Открыть ..."), &main);
  auto* starter = new LabelButton(QStringLiteral("Прочитать"), &main);
  starter->move(0, 40);
  main.show();
  QApplication::setActiveWindow(&main);
  starter->setFocus(Qt::TabFocusReason);
  ASSERT_EQ(main.focusWidget(), starter);
  TF_UpdateProgress progress(&main);
  QtMainWindowControl control(main, [] {});
  control.IgnoreWhenActive(&progress);
  progress.Begin([] {});
  QApplication::setActiveWindow(&progress);
  control.SetActiveWindowEnabled(false);
  EXPECT_FALSE(main.isEnabled());
  EXPECT_TRUE(progress.isEnabled());
  control.SetActiveWindowEnabled(true);
  EXPECT_TRUE(main.isEnabled());
  progress.End();
  QApplication::setActiveWindow(&main);  // as when the result box has gone
  EXPECT_EQ(QApplication::focusWidget(), starter);
  EXPECT_NE(QApplication::focusWidget(), first);
}

}  // namespace
}  // namespace tamlo
