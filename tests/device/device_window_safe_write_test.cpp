// Safe configuration writes in the device window against the simulated
// device: the backup before a write, the check of what the device stored,
// the comparison of the device with the pages.
#include <gtest/gtest.h>

#include <algorithm>

#include "config/config_image.h"
#include "device/device_window_rig.h"
#include "sim/device_engine.h"

namespace tamlo::device::testing {
namespace {

bool LogHas(const DeviceWindowModel& m, const std::string& part) {
  for (const std::string& line : m.log_lines())
    if (line.find(part) != std::string::npos) return true;
  return false;
}

std::vector<uint8_t> DataOf(const std::vector<uint8_t>& image) {
  return std::vector<uint8_t>(image.begin() + ConfigImageHeader::kSize, image.end());
}

// The change a device makes when it turns the account "0012" of otherwise
// reset pages into "0013": the one data byte in which the two encodings
// differ.
sim::DeviceSettings::StoredAlteration AccountChange() {
  ScriptedDialogs dialogs;
  SettingsPages pages(dialogs);
  std::vector<uint8_t> data[2];
  for (int i = 0; i < 2; ++i) {
    pages.General().SetText(GeneralEdit::E_Account, i == 0 ? "0012" : "0013");
    data[i] = DataOf(BuildConfigImage(pages.Set()));
  }
  EXPECT_EQ(data[0].size(), data[1].size());
  const auto at = std::mismatch(data[0].begin(), data[0].end(), data[1].begin()).first;
  const size_t offset = static_cast<size_t>(at - data[0].begin());
  EXPECT_LT(offset, data[0].size());
  return {static_cast<uint32_t>(offset), static_cast<uint8_t>(data[0][offset] ^ data[1][offset])};
}

// The write's questions answered: write, no reboot.
void Write(Rig& rig) {
  rig.dialogs.answers = {MessageResult::Ok, MessageResult::Cancel};
  rig.model.L_ConfigWriteClick();
}

TEST(DeviceWindowSafeWrite, Write_KeepsTheDeviceImageThenTheWrittenOne_InTheSerialNumbersFolder) {
  sim::DeviceSettings settings;
  settings.serial_number = "460123456789";
  Rig rig(settings);
  rig.Start();
  const std::vector<uint8_t> before = rig.device->engine().image();
  rig.pages.General().SetText(GeneralEdit::E_Account, "0012");
  Write(rig);
  const std::vector<std::string> names = rig.history_folder.Names("serial-460123456789");
  ASSERT_EQ(names, (std::vector<std::string>{"2026-12-08_17-48-02_001_read.tamlo",
                                             "2026-12-08_17-48-03_001_written.tamlo"}));
  const std::string folder = std::string(kHistoryRoot) + "/serial-460123456789/";
  EXPECT_EQ(rig.history_folder.files.at(folder + names[0]), before);
  const std::vector<uint8_t>& written = rig.history_folder.files.at(folder + names[1]);
  EXPECT_EQ(DataOf(written), DataOf(rig.device->engine().image()));
  EXPECT_TRUE(LogHas(rig.model, "Резервная копия конфигурации прибора: " + folder + names[0]));
  EXPECT_TRUE(LogHas(rig.model, "Записанная конфигурация сохранена в " + folder + names[1]));
}

// A backup that cannot be kept stops the write, the box naming why and where
// backups are turned off; with backups off, or for a new device (nothing to
// keep), the write goes ahead.
TEST(DeviceWindowSafeWrite, FailedBackupStopsTheWrite_UnlessBackupsAreOffOrTheDeviceIsNew) {
  ScriptedDialogs dialogs;
  SettingsPages pages(dialogs);
  std::vector<uint8_t> beyond = BuildConfigImage(pages.Set());
  beyond[16] = 9;  // decodes 9 bytes of none
  const struct Case {
    const char* name;
    std::vector<uint8_t> stored;  // empty: the factory image
    uint8_t refusal;              // of the backup read; 0: none
    bool backups_off;
    const char* stop;  // the box's reason; nullptr: written
    size_t kept;
  } cases[] = {
      {"read refused", {}, sim::kAnsBadParameters, false,
       "Не удалось прочитать конфигурацию из прибора для резервной копии.", 0},
      {"backups off, read refused", {}, sim::kAnsBadParameters, true, nullptr, 0},
      {"no configuration", {}, sim::kAnsNoConfiguration, false, nullptr, 1},
      {"length beyond the bytes", beyond, 0, false,
       "Резервная копия не сохранена: Некорректная длина данных в заголовке. Возможно, данные повреждены.", 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    sim::DeviceSettings settings;
    settings.image = c.stored;
    Rig rig(settings);
    rig.Start();
    if (c.refusal != 0) rig.device->faults().refusals.push_back({sim::kCmdConfigReadBegin, c.refusal});
    if (c.backups_off) rig.model.N_BackupClick();
    const std::vector<uint8_t> before = rig.device->engine().image();
    rig.pages.General().SetText(GeneralEdit::E_Account, "0012");
    Write(rig);
    const std::vector<std::string> boxes = rig.TakeBoxes();
    EXPECT_EQ(rig.device->engine().image() != before, c.stop == nullptr);
    const std::vector<std::string> names = rig.history_folder.Names("port-COM3");
    ASSERT_EQ(names.size(), c.kept);
    if (c.stop) {
      EXPECT_EQ(boxes.back(),
                std::string(c.stop) + "\nЗапись отменена. Резервное копирование отключается в меню \"Прочее\".");
      continue;
    }
    if (c.kept == 1) {
      EXPECT_NE(names[0].find("_written"), std::string::npos);  // nothing before the image written
    }
    ASSERT_EQ(boxes.size(), 2u);  // the two questions of the write, no error
    EXPECT_EQ(boxes[1].rfind("Конфигурация успешно записана.", 0), 0u);
  }
}

// After the last chunk the device holds the new image: a cancel or a failure
// of the clock or the queue step is not a failed write.
TEST(DeviceWindowSafeWrite, StepAfterTheImageFails_WriteKeptAndSaidSo) {
  const struct Case {
    const char* step;
    bool cancel;  // else the device refuses the step
    const char* reason;
  } cases[] = {
      {"Установка времени в приборе", true, "Операция отменена пользователем (код ошибки -2)"},
      {"Очистка очереди извещений", false,
       "Команда 0x4A отвергнута устройством.\n\nКод ответа 0x86: Команда недопустима для текущего состояния прибора"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.step);
    Rig rig;
    rig.Start();
    if (c.cancel) {
      rig.progress.on_step = [&](const std::string& text) {
        if (text == c.step) rig.progress.cancel();
      };
    } else {
      rig.device->faults().refusals.push_back({sim::kCmdClearEventQueue, 0x86});
    }
    const std::vector<uint8_t> before = rig.device->engine().image();
    rig.pages.General().SetText(GeneralEdit::E_Account, "0012");
    rig.dialogs.answers = {MessageResult::Ok};
    rig.model.L_ConfigWriteClick();
    EXPECT_NE(rig.device->engine().image(), before);
    EXPECT_FALSE(rig.model.written_image().empty());
    EXPECT_TRUE(rig.model.control(DeviceControl::N_VerifyWrite).enabled);
    EXPECT_EQ(rig.history_folder.Names("port-COM3").size(), 2u);
    const std::vector<std::string> boxes = rig.TakeBoxes();
    ASSERT_EQ(boxes.size(), 2u);  // the question, the report; no reboot offered
    EXPECT_EQ(boxes[1], std::string("Конфигурация записана в прибор, но шаг \"") + c.step + "\" не завершен.\n\n" +
                            c.reason + "\n\nДля использования новой конфигурации устройство необходимо перезагрузить.");
  }
}

TEST(DeviceWindowSafeWrite, BackupTick_RememberedAcrossRuns) {
  Rig rig;
  rig.Start();
  EXPECT_TRUE(rig.model.backup_enabled());
  rig.model.N_BackupClick();
  EXPECT_FALSE(rig.model.backup_enabled());
  EXPECT_EQ(std::get<uint32_t>(rig.settings.values.at(kBackupBeforeWriteValue)), 0u);

  Rig next;
  next.settings.values = rig.settings.values;
  next.Start();
  EXPECT_FALSE(next.model.backup_enabled());
  Write(next);
  EXPECT_EQ(next.progress.Exchanges(), 1);  // the write alone
}

TEST(DeviceWindowSafeWrite, VerifyWrite_PassesOnTheSameData_NamesASettingTheDeviceChanged) {
  for (const bool device_alters : {false, true}) {
    SCOPED_TRACE(device_alters ? "device alters" : "device keeps");
    sim::DeviceSettings settings;
    if (device_alters) settings.alter_after_write = AccountChange();
    Rig rig(settings);
    rig.Start();
    EXPECT_FALSE(rig.model.control(DeviceControl::N_VerifyWrite).enabled);  // nothing written yet
    rig.pages.General().SetText(GeneralEdit::E_Account, "0012");
    Write(rig);
    EXPECT_TRUE(rig.model.control(DeviceControl::N_VerifyWrite).enabled);
    rig.TakeBoxes();
    rig.model.N_VerifyWriteClick();
    ASSERT_FALSE(rig.dialogs.boxes.empty());
    EXPECT_EQ(rig.dialogs.boxes.back().icon, device_alters ? MessageIcon::Error : MessageIcon::Information);
    const std::vector<std::string> boxes = rig.TakeBoxes();
    ASSERT_EQ(boxes.size(), 1u);
    if (device_alters) {
      EXPECT_EQ(boxes[0],
                "Проверка записи не пройдена: в приборе другое значение настройки general.E_Account: 0012 -> 0013");
    } else {
      EXPECT_EQ(boxes[0], "Проверка записи пройдена: конфигурация в приборе совпадает с записанной");
    }
  }
}

TEST(DeviceWindowSafeWrite, Compare_SaysEqual_OrShowsTheDifferingSettings) {
  Rig rig;
  rig.Start();
  rig.pages.General().SetText(GeneralEdit::E_Account, "0012");
  Write(rig);
  rig.TakeBoxes();
  const std::vector<SettingValue> pages_before = rig.pages.ListSettings();

  rig.model.N_CompareClick();
  EXPECT_EQ(rig.TakeBoxes(), std::vector<std::string>{"Конфигурация в приборе совпадает с настройками на страницах"});
  EXPECT_TRUE(rig.differences.shown.empty());

  rig.pages.General().SetText(GeneralEdit::E_Account, "0099");
  rig.model.N_CompareClick();
  ASSERT_EQ(rig.differences.shown.size(), 1u);
  EXPECT_EQ(rig.differences.shown[0],
            (std::vector<DifferenceRow>{{"Общие настройки › Номер объекта (Account)", "0099", "0012"}}));
  // The device's configuration did not reach the pages.
  EXPECT_EQ(rig.pages.General().state().E_Account, "0099");
  EXPECT_NE(rig.pages.ListSettings(), pages_before);
}

}  // namespace
}  // namespace tamlo::device::testing
