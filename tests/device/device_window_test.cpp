// The device window's rules: connection states, the port choice per mode, the
// remembered settings, the questions before an exchange and the shortcut.
#include "device/device_window.h"

#include <gtest/gtest.h>

#include "device/device_window_rig.h"

namespace tamlo::device::testing {
namespace {

using C = DeviceControl;

std::string Selected(const DeviceWindowModel& m) {
  return m.selected_port() < 0 ? "-" : m.ports()[static_cast<size_t>(m.selected_port())];
}

// One row of the state table: captions, then each control's enabled flag.
std::string StateRow(const DeviceWindowModel& m) {
  std::string row = m.control(C::L_PortList).caption + " " + m.control(C::L_PortChk).caption + " ";
  for (C id : {C::RB_Local, C::RB_Remote, C::L_PortList, C::CmbBx_PortList, C::L_PortChk, C::L_ConfigRead,
               C::L_ConfigWrite, C::L_OtherActions, C::L_ReadJournal, C::L_ViewJournal, C::L_Show_GSM_Status,
               C::L_FW_ShowVer, C::L_FW_Update, C::N_Keys, C::N_SetTime, C::N_Reboot})
    row += m.control(id).enabled ? '1' : '0';
  return row;
}

TEST(DeviceWindow, ConnectionStates_CaptionsAndEnabledControls) {
  Rig rig;
  rig.device->AttachModem({});
  rig.Start({"COM3"});
  //                                                        RRLCLCCOLVGFFNNN
  EXPECT_EQ(StateRow(rig.model), "Выбор COM порта: Проверить 1111111111111111");
  rig.model.RB_LocalClick(true);
  EXPECT_EQ(StateRow(rig.model), "COM-порт модема: Подключиться 1111100000000111");
  rig.phone_book.choice = DialTarget{"+7 900 123-45-67", true};
  rig.model.L_PortChkClick();
  ASSERT_TRUE(rig.model.connected_via_modem()) << ::testing::PrintToString(rig.model.log_lines());
  EXPECT_EQ(StateRow(rig.model), "COM-порт модема: Отключиться 0000111111110111");
  rig.model.L_PortChkClick();
  EXPECT_FALSE(rig.model.connected_via_modem());
  EXPECT_EQ(StateRow(rig.model), "COM-порт модема: Подключиться 1111100000000111");
  rig.model.RB_LocalClick(false);
  EXPECT_EQ(StateRow(rig.model), "Выбор COM порта: Проверить 1111111111111111");
}

TEST(DeviceWindow, PortChoice_RememberedPerMode_FirstWhenGoneOrNone) {
  const struct Case {
    const char* name;
    std::vector<std::string> ports;
    const char* local;
    const char* modem;
    bool remote;
    const char* selected;
    const char* list;
  } cases[] = {
      {"first start: first of the sorted list", {"COM9", "COM10", "COM3"}, "", "", false, "COM3", "COM3 COM9 COM10"},
      {"remembered local port", {"COM9", "COM3"}, "COM9", "COM3", false, "COM9", "COM3 COM9"},
      {"remembered modem port", {"COM9", "COM3"}, "COM9", "COM3", true, "COM3", "COM3 COM9"},
      {"remembered port gone", {"ttyUSB0", "ttyUSB1"}, "ttyUSB7", "", false, "ttyUSB0", "ttyUSB0 ttyUSB1"},
      {"no ports at all", {}, "COM3", "COM4", false, "-", ""},
      {"numbers by value, twins once", {"ttyUSB10", "ttyUSB2", "ttyACM0", "ttyUSB2", "COM1", "ttyUSB10"}, "", "",
       false, "COM1", "COM1 ttyACM0 ttyUSB2 ttyUSB10"},
      {"zeros and case", {"com2", "COM10", "COM2", "COM02", "COM2"}, "", "", false, "COM02", "COM02 COM2 COM10 com2"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Rig rig;
    if (*c.local) rig.settings.values[kLastLocalPortValue] = std::string(c.local);
    if (*c.modem) rig.settings.values[kLastModemPortValue] = std::string(c.modem);
    rig.settings.values[kConnectTypeValue] = uint32_t(c.remote ? 1 : 0);
    rig.Start(c.ports);
    EXPECT_EQ(Selected(rig.model), c.selected);
    std::string list;
    for (const std::string& port : rig.model.ports()) list += (list.empty() ? "" : " ") + port;
    EXPECT_EQ(list, c.list);
  }
}

TEST(DeviceWindow, PortChoice_GonePortStaysRemembered_ModesKeepTheirOwn) {
  Rig rig;
  rig.settings.values[kLastLocalPortValue] = std::string("COM7");
  rig.Start({"COM3", "COM4"});
  EXPECT_EQ(Selected(rig.model), "COM3");
  EXPECT_EQ(rig.model.last_local_port(), "COM7");  // until the user picks another
  rig.ports.names = {"COM3", "COM4", "COM7"};
  rig.model.FormShow();
  EXPECT_EQ(Selected(rig.model), "COM7");  // plugged in again

  rig.model.RB_LocalClick(true);
  EXPECT_EQ(Selected(rig.model), "COM3");
  rig.model.CmbBx_PortListChange(1);
  EXPECT_EQ(rig.model.last_modem_port(), "COM4");
  rig.model.RB_LocalClick(false);
  EXPECT_EQ(Selected(rig.model), "COM7");
  rig.model.RB_LocalClick(true);
  EXPECT_EQ(Selected(rig.model), "COM4");
  EXPECT_EQ(rig.model.last_local_port(), "COM7");
}

TEST(DeviceWindow, NoPortSelected_ExchangesDoNothing) {
  Rig rig;
  rig.desktop.folder = "/nonexistent";
  rig.Start({});
  EXPECT_EQ(rig.model.RunDeviceAction(link::SERIAL_READ, {}), -1);
  rig.model.L_ReadJournalClick();
  rig.model.L_ViewJournalClick();
  rig.model.L_PortChkClick();
  EXPECT_TRUE(rig.dialogs.file_requests.empty());
  EXPECT_TRUE(rig.desktop.templates.empty());
  EXPECT_TRUE(rig.progress.events.empty());
  EXPECT_TRUE(rig.dialogs.boxes.empty());
  EXPECT_TRUE(rig.model.log_lines().empty());
}

TEST(DeviceWindow, Settings_ReadOnlyWhatFits_WrittenBack) {
  using Values = std::map<std::string, std::variant<std::string, uint32_t>, std::less<>>;
  const std::string port63(63, 'p');
  const std::string port64(64, 'p');
  const struct Case {
    const char* name;
    Values stored;
    bool remote;
    std::string local, modem;
    Values saved;
  } cases[] = {
      {"nothing stored", {}, false, "", "", {{kConnectTypeValue, 0u}}},
      {"everything stored",
       {{kLastLocalPortValue, "COM3"}, {kLastModemPortValue, "COM5"}, {kConnectTypeValue, 7u}},
       true,
       "COM3",
       "COM5",
       {{kLastLocalPortValue, "COM3"}, {kLastModemPortValue, "COM5"}, {kConnectTypeValue, 1u}}},
      {"wrong types", {{kLastLocalPortValue, 3u}, {kConnectTypeValue, "1"}}, false, "", "", {{kConnectTypeValue, 0u}}},
      {"names that do not fit or are empty",
       {{kLastLocalPortValue, port64}, {kLastModemPortValue, ""}},
       false,
       "",
       "",
       {{kConnectTypeValue, 0u}}},
      {"longest name that fits",
       {{kLastModemPortValue, port63}},
       false,
       "",
       port63,
       {{kLastModemPortValue, port63}, {kConnectTypeValue, 0u}}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Rig rig;
    rig.settings.values = c.stored;
    rig.model.FormCreate();
    EXPECT_EQ(rig.model.remote_selected(), c.remote);
    EXPECT_EQ(rig.model.last_local_port(), c.local);
    EXPECT_EQ(rig.model.last_modem_port(), c.modem);
    rig.settings.values.clear();
    rig.model.Save();
    EXPECT_EQ(rig.settings.values, c.saved);
  }
}

TEST(DeviceWindow, ConfigWrite_DeclinedSendsNothing_RebootOnlyWhenAccepted) {
  const struct Case {
    const char* name;
    std::vector<MessageResult> answers;
    int exchanges;
    bool written;
  } cases[] = {
      // Written: the backup's identification and read, the write, and the
      // reboot when accepted.
      {"write declined", {MessageResult::Cancel}, 0, false},
      {"reboot declined", {MessageResult::Ok, MessageResult::Cancel}, 3, true},
      {"reboot accepted", {MessageResult::Ok, MessageResult::Ok}, 4, true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Rig rig;
    rig.Start();
    const std::vector<uint8_t> before = rig.device->engine().image();
    rig.dialogs.answers.assign(c.answers.begin(), c.answers.end());
    rig.model.L_ConfigWriteClick();
    EXPECT_EQ(rig.progress.Exchanges(), c.exchanges);
    EXPECT_EQ(rig.device->engine().image() != before, c.written);
    ASSERT_FALSE(rig.dialogs.boxes.empty());
    EXPECT_EQ(rig.dialogs.boxes[0].default_button, MessageResult::Cancel);  // Enter does not write
    EXPECT_EQ(rig.dialogs.boxes.back().text == "Устройство перезагружается", c.exchanges == 4);
  }
}

TEST(DeviceWindow, SerialNumberShortcut_OnlyCtrlAltW_OnlyWithADevice) {
  Rig rig;
  rig.Start();
  EXPECT_FALSE(rig.model.FormShortCut('W', true, true, true));
  EXPECT_FALSE(rig.model.FormShortCut('W', true, false, false));
  EXPECT_FALSE(rig.model.FormShortCut('Q', true, true, false));
  EXPECT_TRUE(rig.prompt.requests.empty());

  rig.model.RB_LocalClick(true);  // remote, no call: nothing to write to
  EXPECT_TRUE(rig.model.FormShortCut('W', true, true, false));
  EXPECT_TRUE(rig.prompt.requests.empty());

  rig.model.RB_LocalClick(false);
  rig.prompt.answers = {std::nullopt, "460123456789"};
  EXPECT_TRUE(rig.model.FormShortCut('W', true, true, false));  // given up: nothing sent
  EXPECT_EQ(rig.progress.Exchanges(), 0);
  EXPECT_TRUE(rig.model.FormShortCut('W', true, true, false));
  ASSERT_EQ(rig.prompt.requests.size(), 2u);
  EXPECT_EQ(rig.prompt.requests[1].mode, EntryMode::SerialNumber);
  EXPECT_EQ(rig.device->engine().serial_number(), "460123456789");
  EXPECT_EQ(rig.model.log_lines().back(), "08.12.2026 17:35:02: Записан серийный номер 460123456789");
}

TEST(DeviceWindow, PortCheck_ShowsVersionUntilAModemCallStartsOrEnds) {
  Rig rig;
  rig.Start();
  int changes = 0;
  int nested = 0;
  rig.model.SetChangeListener([&](DeviceWindowChange) {
    ++changes;
    if (rig.model.exchange_running()) nested += rig.model.RunDeviceAction(link::REBOOT, {}) == -1;
  });
  rig.model.L_PortChkClick();
  EXPECT_EQ(rig.model.control(C::L_FW_ShowVer).caption, "3.11");
  EXPECT_GT(changes, 3);  // log lines came while the exchange ran
  EXPECT_EQ(nested, changes);  // and no second exchange could start meanwhile
  rig.model.SetChangeListener(nullptr);
  rig.model.RB_LocalClick(true);
  rig.model.RB_LocalClick(false);
  EXPECT_EQ(rig.model.control(C::L_FW_ShowVer).caption, "3.11");
  rig.model.SetConnectionControlsEnabled(true);
  EXPECT_EQ(rig.model.control(C::L_FW_ShowVer).caption, "Показать версию");
  EXPECT_EQ(rig.main_window.events, (std::vector<std::string>{"disable", "enable"}));
  EXPECT_EQ(rig.progress.events.front(), "begin");
  EXPECT_EQ(rig.progress.events.back(), "end");
}

}  // namespace
}  // namespace tamlo::device::testing
