// The device window's operations against the in-process simulated device,
// modem and bootloader, on the fake clock.
#include <gtest/gtest.h>
#include <filesystem>

#include "config/config_image.h"
#include "device/device_window_rig.h"
#include "pages/every_parameter.h"
#include "support/temp_dir.h"

namespace tamlo::device::testing {
namespace {

using tamlo::testing::ReadFileBytes;
using tamlo::testing::TempDir;
using tamlo::testing::WriteFileBytes;

bool LogHas(const DeviceWindowModel& m, const std::string& part) {
  for (const std::string& line : m.log_lines())
    if (line.find(part) != std::string::npos) return true;
  return false;
}

TEST(DeviceWindowSim, WriteThenReadBack_ResetPagesGetTheSameSettings) {
  Rig rig;
  rig.Start();
  const std::vector<uint8_t> file = tamlo::testing::EveryParameterFile();
  LoadConfigData(rig.pages.Set(), file.data() + ConfigImageHeader::kSize, file.size() - ConfigImageHeader::kSize,
                 ConfigImageHeader::Parse(file.data()));
  const auto written = rig.pages.ListSettings();
  rig.dialogs.answers = {MessageResult::Ok, MessageResult::Cancel};
  rig.model.L_ConfigWriteClick();
  ASSERT_EQ(rig.TakeBoxes().size(), 2u) << ::testing::PrintToString(rig.model.log_lines());

  ResetAllPages(rig.pages.Set());
  ASSERT_NE(rig.pages.ListSettings(), written);
  rig.model.L_ConfigReadClick();
  EXPECT_EQ(rig.TakeBoxes(), std::vector<std::string>{"Конфигурация успешно считана из устройства"});
  EXPECT_EQ(rig.pages.ListSettings(), written);
  // The device numbers what it stores and says when it stored it.
  EXPECT_TRUE(LogHas(rig.model, "Конфигурация была записана"));
}

TEST(DeviceWindowSim, RefusedPassword_AskedAgainPrefilled_ThenReusedSilently) {
  sim::DeviceSettings settings;
  settings.password = "2468";
  Rig rig(settings);
  rig.Start();
  rig.prompt.answers = {"1111", "2468"};
  rig.model.N_SetTimeClick();
  EXPECT_EQ(rig.TakeBoxes(), std::vector<std::string>{"Время передано в устройство"});
  ASSERT_EQ(rig.prompt.requests.size(), 2u);
  EXPECT_EQ(rig.prompt.requests[0].prefill, "");
  EXPECT_EQ(rig.prompt.requests[1].prefill, "1111");

  rig.model.N_RebootClick();  // the next command: the device asks, the window answers alone
  EXPECT_EQ(rig.TakeBoxes(), std::vector<std::string>{"Устройство перезагружается"});
  EXPECT_EQ(rig.prompt.requests.size(), 2u);
}

TEST(DeviceWindowSim, CancelInTheProgressWindow_EndsASlowRead_PagesAsTheyWere) {
  sim::DeviceSettings settings;
  const std::vector<uint8_t> file = tamlo::testing::EveryParameterFile();
  settings.image = file;
  Rig rig(settings, 1200);  // about two minutes for the whole image
  rig.Start();
  const auto before = rig.pages.ListSettings();
  rig.pump.PostAt(rig.clock.NowMs() + 5000, [&] {
    ASSERT_TRUE(rig.progress.cancel);
    rig.progress.cancel();
  });
  const uint32_t started = rig.clock.NowMs();
  rig.model.L_ConfigReadClick();
  EXPECT_LT(rig.clock.NowMs() - started, 30000u);
  EXPECT_EQ(rig.TakeBoxes(), std::vector<std::string>{"Операция отменена пользователем (код ошибки -2)"});
  EXPECT_EQ(rig.pages.ListSettings(), before);
  EXPECT_EQ(rig.progress.events.back(), "end");
  EXPECT_EQ(rig.main_window.events.back(), "enable");
}

// A silent device: from the first resend on, the progress window says how
// long the handshake has waited against its 30 s limit, a second at a time.
TEST(DeviceWindowSim, SilentDevice_ProgressCountsTheWaitUpToItsLimit) {
  Rig rig;
  rig.device->faults().silent_requests = -1;
  rig.Start();
  rig.model.L_FW_ShowVerClick();
  EXPECT_EQ(rig.TakeBoxes(), std::vector<std::string>{"Нет ответа от устройства (код ошибки -1)"});
  std::vector<std::string> expected;
  for (int s = 4; s <= 30; ++s) expected.push_back("Ожидание ответа: " + std::to_string(s) + " из 30 с");
  EXPECT_EQ(rig.progress.wait_texts, expected);

  // Each answer after 4.5 s: the text goes when the answer comes.
  rig.device->faults().silent_requests = 0;
  rig.device->faults().answer_delay_ms = 4500;
  rig.progress.wait_texts.clear();
  rig.model.L_FW_ShowVerClick();
  EXPECT_TRUE(rig.TakeBoxes().empty());
  ASSERT_GE(rig.progress.wait_texts.size(), 3u);
  EXPECT_EQ(std::vector<std::string>(rig.progress.wait_texts.begin(), rig.progress.wait_texts.begin() + 3),
            (std::vector<std::string>{expected[0], "", expected[0]}));
}

TEST(DeviceWindowSim, GsmStatus_WindowReplacesProgress_ClosedWhenItsCancelEndsThePoll) {
  Rig rig;
  rig.Start();
  rig.pump.PostAt(rig.clock.NowMs() + 5500, [&] {
    ASSERT_TRUE(rig.gsm.cancel);
    rig.gsm.cancel();
  });
  rig.model.L_Show_GSM_StatusClick();
  ASSERT_GE(rig.gsm.events.size(), 4u);
  EXPECT_EQ(rig.gsm.events.front(), "show");
  EXPECT_EQ(rig.gsm.events[1], "status");
  EXPECT_EQ(rig.gsm.events.back(), "close");
  EXPECT_NE(std::find(rig.progress.events.begin(), rig.progress.events.end(), "hide"), rig.progress.events.end());
  EXPECT_EQ(rig.model.gsm_window_state(), DeviceWindowModel::GsmWindowState::Idle);
  EXPECT_TRUE(rig.TakeBoxes().empty());
}

TEST(DeviceWindowSim, RemoteMode_DialWorkHangUp) {
  Rig rig;
  rig.device->AttachModem({.connect_delay_ms = 3000});
  rig.settings.values[kConnectTypeValue] = uint32_t(1);
  rig.Start({"COM3", "COM4"});
  rig.model.CmbBx_PortListChange(1);

  rig.model.L_PortChkClick();  // the phone book closed without a choice
  EXPECT_FALSE(rig.model.connected_via_modem());
  EXPECT_EQ(rig.progress.Exchanges(), 0);

  rig.phone_book.choice = DialTarget{"+7 (900) 123-45-67", false};
  rig.model.L_PortChkClick();
  ASSERT_TRUE(rig.model.connected_via_modem()) << ::testing::PrintToString(rig.model.log_lines());
  EXPECT_EQ(rig.device->modem()->dialled(), "+79001234567");
  EXPECT_EQ(rig.model.connection_start_ms(), rig.clock.NowMs());
  EXPECT_EQ(rig.main_window.events,
            (std::vector<std::string>{"hide", "show", "hide", "show", "disable", "enable", "clock"}));

  rig.ports.names = {"COM9"};
  rig.model.FormShow();  // the list stays while the call is up
  EXPECT_EQ(rig.model.ports(), (std::vector<std::string>{"COM3", "COM4"}));

  rig.model.L_FW_UpdateClick();  // never through the modem
  EXPECT_TRUE(rig.dialogs.file_requests.empty());
  rig.model.L_ConfigReadClick();
  EXPECT_EQ(rig.TakeBoxes(), std::vector<std::string>{"Конфигурация успешно считана из устройства"});

  rig.model.L_PortChkClick();
  EXPECT_FALSE(rig.model.connected_via_modem());
  EXPECT_FALSE(rig.port.IsOpen());
  EXPECT_EQ(rig.model.control(DeviceControl::L_PortChk).caption, "Подключиться");
  EXPECT_EQ(rig.model.ports(), (std::vector<std::string>{"COM3", "COM4"}));
  EXPECT_EQ(rig.model.selected_port(), 1);
  rig.model.Save();
  EXPECT_EQ(rig.settings.values[kLastModemPortValue], (std::variant<std::string, uint32_t>(std::string("COM4"))));
}

TEST(DeviceWindowSim, FirmwareUpdate_FileToTheBootloader_MissingFileReported) {
  TempDir dir;
  const std::string image(3000, '\x5A');
  WriteFileBytes(dir / "new.fmw", image);
  Rig rig;
  rig.Start();
  rig.dialogs.files = {std::nullopt, (dir / "gone.fmw").string(), (dir / "new.fmw").string()};
  rig.model.L_FW_UpdateClick();
  EXPECT_EQ(rig.progress.Exchanges(), 0);
  rig.model.L_FW_UpdateClick();
  const std::string gone = (dir / "gone.fmw").string();
  EXPECT_EQ(rig.TakeBoxes(), std::vector<std::string>{"Невозможно открыть файл \"" + gone + "\""});
  rig.model.L_FW_UpdateClick();
  EXPECT_EQ(rig.TakeBoxes(), std::vector<std::string>{"Обновление прошивки завершено. Устройство перезагружается."});
  EXPECT_EQ(rig.device->bootloader().transfers(), 1);
  ASSERT_EQ(rig.dialogs.file_requests.size(), 3u);
  EXPECT_EQ(rig.dialogs.file_requests[2].initial_name, gone);  // the last one chosen
}

TEST(DeviceWindowSim, JournalSave_CancelReadsNothing_ChosenNameKept) {
  TempDir dir;
  Rig rig;
  rig.Start();
  const std::string path = (dir / "journal.txt").string();
  rig.dialogs.files = {std::nullopt, path};
  rig.model.L_ReadJournalClick();
  EXPECT_EQ(rig.progress.Exchanges(), 0);
  rig.model.L_ReadJournalClick();
  EXPECT_EQ(rig.TakeBoxes(), std::vector<std::string>{"Журнал работы был успешно считан с прибора"});
  EXPECT_EQ(rig.model.last_journal_file(), path);
  EXPECT_NE(ReadFileBytes(path).find("\r\n"), std::string::npos);
  EXPECT_TRUE(rig.dialogs.file_requests.back().save);
}

TEST(DeviceWindowSim, JournalView_NewPrivateFileEachTime_OpenedInTheBrowser) {
  TempDir dir;
  Rig rig;
  rig.Start();
  rig.model.L_ViewJournalClick();  // no temporary folder
  EXPECT_EQ(rig.TakeBoxes(), std::vector<std::string>{"Невозможно определить каталог для временных файлов"});
  EXPECT_EQ(rig.progress.Exchanges(), 0);

  rig.desktop.folder = dir.path().string();
  rig.model.L_ViewJournalClick();
  rig.model.L_ViewJournalClick();
  EXPECT_TRUE(rig.TakeBoxes().empty());
  EXPECT_EQ(rig.desktop.templates.back(), "tmp_XXXXXX.htm");
  ASSERT_EQ(rig.desktop.created.size(), 2u);
  EXPECT_EQ(rig.desktop.opened, rig.desktop.created);  // two files, the first not reused
  namespace fs = std::filesystem;
  constexpr fs::perms kOwnerOnly = fs::perms::owner_read | fs::perms::owner_write;
  const bool modes = dir.KeepsModeBits();
  for (const std::string& path : rig.desktop.created) {
    SCOPED_TRACE(path);
    EXPECT_TRUE(fs::is_regular_file(fs::symlink_status(path)));
    if (modes) {
      EXPECT_EQ(fs::status(path).permissions(), kOwnerOnly);  // still the owner's alone after the journal went in
    }
    EXPECT_NE(ReadFileBytes(path).find("<html"), std::string::npos);
  }

  // No program to open it: a warning says so and names the file.
  rig.desktop.viewer = false;
  rig.model.L_ViewJournalClick();
  ASSERT_EQ(rig.dialogs.boxes.size(), 1u);
  EXPECT_EQ(rig.dialogs.boxes[0].icon, MessageIcon::Warning);
  const std::string& shown = rig.dialogs.boxes[0].text;
  EXPECT_NE(shown.find("Не удалось открыть журнал"), std::string::npos) << shown;
  EXPECT_NE(shown.find("\"" + rig.desktop.created.back() + "\""), std::string::npos) << shown;
  EXPECT_NE(ReadFileBytes(rig.desktop.created.back()).find("<html"), std::string::npos);
}

}  // namespace
}  // namespace tamlo::device::testing
