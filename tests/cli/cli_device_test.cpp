// tamlocfg-cli's device commands as a user runs them: the tool as its own
// process, against tamlo-sim on a pseudo-terminal (through the POSIX
// terminal port) or the in-process demo device. Exit statuses, what goes to standard
// output, and the password handling without a terminal.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>

#include "cli_run.h"
#include "config/config_image.h"
#include "config/config_tree.h"
#include "config/tagged_encoding.h"
#include "support/temp_dir.h"
#include "tamlo_version.h"

namespace tamlo::link::testing {
namespace {

namespace fs = std::filesystem;
using tamlo::testing::CliRun;
using tamlo::testing::ConfigImageOf;
using tamlo::testing::Contains;
using tamlo::testing::PtySim;
using tamlo::testing::ReadFileBytes;
using tamlo::testing::RunCli;
using tamlo::testing::TempDir;
using tamlo::testing::WriteFileBytes;

// A .tamlo image with the autotest on (a setting of firmware 3.03), a device
// password (3.04), an encrypting direction (3.11) and the passes before a SIM
// change at their default, which the pages do not store.
std::string ImageWithNewerSettings(int32_t autotest = 1) {
  ConfigTree tree;
  tree.PutInt(258, autotest);
  tree.PutInt(263, 3);
  tree.PutString(265, "1234");
  ConfigTree direction;
  direction.PutInt(1, 3);
  direction.PutInt(8, 1);
  tree.PutGroup(2, std::move(direction));
  const std::vector<uint8_t> data = EncodeConfig(tree);
  const auto header = ConfigImageHeader::For(data.data(), data.size()).Serialize();
  std::string bytes(header.begin(), header.end());
  bytes.append(data.begin(), data.end());
  return bytes;
}




TEST(CliDevice, PtyDevice_ConfigWriteReportsOldFirmwareAndReadsBackSameBytes) {
  TempDir dir;
  PtySim sim(dir / "tty", {"--baud", "0", "--id", "Tamlo 3.02", "--password", "pw", "--config",
                           (dir / "device.tamlo").string()});
  ASSERT_TRUE(sim.ready());
  const std::string image = ImageWithNewerSettings();
  WriteFileBytes(dir / "in.tamlo", image);
  const std::string port = "--port " + (dir / "tty").string() + " --password pw ";

  CliRun w = RunCli(dir, port + "config-write " + (dir / "in.tamlo").string());
  EXPECT_EQ(w.status, 0) << w.err;
  EXPECT_TRUE(Contains(w.out, "Периодический автотест (3.03)")) << w.out;
  EXPECT_TRUE(Contains(w.out, "Пароль доступа к устройству (3.04)")) << w.out;
  EXPECT_TRUE(Contains(w.out, "Шифрование (3.11)")) << w.out;
  EXPECT_FALSE(Contains(w.out, "Кол-во проходов")) << w.out;
  EXPECT_TRUE(Contains(w.err, ": Подключено устройство: Tamlo 3.02")) << w.err;

  CliRun r = RunCli(dir, port + "config-read " + (dir / "back.tamlo").string());
  EXPECT_EQ(r.status, 0) << r.err;
  // The device stamps its configuration number and time into header bytes 24..31.
  std::string back = ReadFileBytes(dir / "back.tamlo");
  ASSERT_EQ(back.size(), image.size());
  EXPECT_EQ(back.substr(0, 24), image.substr(0, 24));
  EXPECT_EQ(back.substr(32), image.substr(32));
  EXPECT_TRUE(Contains(r.err, "Конфигурация была записана ")) << r.err;

  CliRun id = RunCli(dir, port + "identify");
  EXPECT_EQ(id.status, 0);
  EXPECT_TRUE(Contains(id.out, "firmware: 3.02\n")) << id.out;
}

// The history files of one device folder, oldest first.
std::vector<std::string> HistoryFiles(const TempDir& dir, const std::string& device) {
  std::vector<std::string> names;
  const fs::path folder = dir / "data" / "Velmora" / kApplicationTitle / "history" / device;
  if (!fs::exists(folder)) return names;
  for (const auto& entry : fs::directory_iterator(folder)) names.push_back(entry.path().filename().string());
  std::sort(names.begin(), names.end());
  return names;
}

TEST(CliDevice, ConfigWrite_KeepsTheDeviceConfigurationFirst_VerifyCatchesADeviceThatChangesIt) {
  TempDir dir;
  const std::string image = ImageWithNewerSettings();
  WriteFileBytes(dir / "in.tamlo", image);
  // The one data byte in which the autotest choice 1 and 2 differ: the
  // device below turns what it is given into the other choice.
  const std::string other = ImageWithNewerSettings(2);
  const std::vector<uint8_t> changed(other.begin() + ConfigImageHeader::kSize, other.end());
  const std::string data = image.substr(ConfigImageHeader::kSize);
  ASSERT_EQ(changed.size(), data.size());
  size_t at = 0;
  while (at < data.size() && uint8_t(data[at]) == changed[at]) ++at;
  ASSERT_LT(at, data.size());
  char alteration[32];
  std::snprintf(alteration, sizeof alteration, "%zu:%x", at, unsigned(uint8_t(data[at]) ^ changed[at]));
  std::string beyond = ConfigImageOf("");  // decodes 9 bytes where there are none
  beyond[16] = 9;

  const struct Case {
    const char* name;
    std::vector<std::string> sim;
    std::string options;
    int status;
    const char* folder;   // where the backups go
    size_t kept;          // files there afterwards
    bool device_written;  // the device holds the file's data
    const char* err;      // part of standard error
    std::string stored;   // the device's configuration file before the run, if any
  } cases[] = {
      {"backup and verify", {"--serial", "460123456789"}, " --verify", 0, "serial-460123456789", 2, true,
       "Проверка записи пройдена"},
      {"no backup", {}, " --no-backup", 0, "port-tty", 0, true, "Запись конфигурации"},
      {"device changes it", {"--alter-stored", alteration}, " --verify", 1, "port-tty", 2, true,
       "Проверка записи не пройдена: в приборе другое значение настройки tests."},
      {"backup read refused", {"--refuse", "02:84"}, "", 1, "port-tty", 0, false, "запись отменена"},
      {"new device", {"--refuse", "02:94"}, "", 0, "port-tty", 1, true,
       "Резервная копия не нужна: в устройстве нет конфигурации"},
      {"backup read no configuration", {}, "", 1, "port-tty", 0, false,
       "Резервная копия не сохранена: Некорректная длина данных в заголовке.", beyond},
      {"queue clear refused after the image", {"--refuse", "4A:86"}, " --verify", 4, "port-tty", 2, true,
       "Конфигурация записана в прибор, но шаг \"Очистка очереди извещений\" не завершен."},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    TempDir run;
    if (!c.stored.empty()) WriteFileBytes(run / "device.tamlo", c.stored);
    std::vector<std::string> options = {"--baud", "0", "--config", (run / "device.tamlo").string()};
    options.insert(options.end(), c.sim.begin(), c.sim.end());
    PtySim sim(run / "tty", options);
    ASSERT_TRUE(sim.ready());
    CliRun w = RunCli(run, "--port " + (run / "tty").string() + " config-write " + (dir / "in.tamlo").string() +
                               c.options);
    EXPECT_EQ(w.status, c.status) << w.err;
    EXPECT_TRUE(Contains(w.err, c.err)) << w.err;
    const std::vector<std::string> kept = HistoryFiles(run, c.folder);
    ASSERT_EQ(kept.size(), c.kept) << w.out;
    if (c.kept == 2) {
      EXPECT_TRUE(kept[0].find("_read.tamlo") != std::string::npos && kept[1].find("_written.tamlo") != std::string::npos);
      EXPECT_TRUE(Contains(w.out, "backup: " + (run / "data").string())) << w.out;
      const fs::path folder = run / "data" / "Velmora" / kApplicationTitle / "history" / c.folder;
      EXPECT_EQ(ReadFileBytes(folder / kept[1]), image);
    }
    const std::string stored = fs::exists(run / "device.tamlo") ? ReadFileBytes(run / "device.tamlo") : "";
    EXPECT_EQ(stored.size() > ConfigImageHeader::kSize && stored.substr(0, 24) == image.substr(0, 24),
              c.device_written);
  }
}

TEST(CliDevice, NoTerminalOrRefusedPasswordOption_FailsWithoutSendingAPasswordAgain) {
  TempDir dir;
  PtySim sim(dir / "tty", {"--baud", "0", "--password", "pw"});
  ASSERT_TRUE(sim.ready());
  for (const std::string& password : {std::string(), std::string("--password wrong ")}) {
    SCOPED_TRACE(password);
    CliRun r = RunCli(dir, "--port " + (dir / "tty").string() + " " + password + "reboot");
    EXPECT_EQ(r.status, 1);
    // With --password the tool never asks, so it never looks for a terminal;
    // the shared password rule sends a refused one only once.
    EXPECT_EQ(Contains(r.err, "no terminal to ask for the device password"), password.empty()) << r.err;
    const size_t sent = r.err.find("Передача пароля...");
    EXPECT_EQ(sent != std::string::npos, !password.empty()) << r.err;
    EXPECT_EQ(r.err.find("Передача пароля...", sent + 1), std::string::npos) << r.err;
    EXPECT_TRUE(Contains(r.err, "Неверный пароль доступа к устройству")) << r.err;
    EXPECT_TRUE(r.out.empty());
  }
}

TEST(CliDevice, FailedReadLeavesExistingFileAlone) {
  TempDir dir;
  PtySim sim(dir / "tty", {"--baud", "0", "--refuse", "02:94"});
  ASSERT_TRUE(sim.ready());
  WriteFileBytes(dir / "keep.tamlo", "previous");
  CliRun r = RunCli(dir, "--port " + (dir / "tty").string() + " config-read " + (dir / "keep.tamlo").string());
  EXPECT_EQ(r.status, 1);
  EXPECT_TRUE(Contains(r.err, "Код ответа 0x94: В устройстве нет конфигурации")) << r.err;
  EXPECT_EQ(ReadFileBytes(dir / "keep.tamlo"), "previous");
}

TEST(CliDevice, DemoDevice_GsmKeysAndSerial) {
  TempDir dir;
  CliRun gsm = RunCli(dir, "--demo gsm-status --count 2");
  EXPECT_EQ(gsm.status, 0) << gsm.err;
  size_t lines = 0;
  for (char c : gsm.out) lines += c == '\n';
  EXPECT_EQ(lines, 4u) << gsm.out;  // two replies of two SIM lines
  EXPECT_TRUE(Contains(gsm.out, "SIM 2")) << gsm.out;

  CliRun keys = RunCli(dir, "--demo key-write 00112233445566778899AABBCCDDEEFF");
  EXPECT_EQ(keys.status, 0) << keys.err;
  EXPECT_TRUE(Contains(keys.out, "Ключ №1: Установлен"));
  EXPECT_TRUE(Contains(keys.out, "Ключ записан в прибор"));
}

// Both exchanges of one command (backup read, write) reach the one demo
// device with the sample site, directly or through the demo's modem (each
// waits on the real clock); its history folder is named, as in the window,
// by the demo's port entry, or by the dialled number.
TEST(CliDevice, Demo_EveryExchangeOfACommandReachesTheSampleSite_KeptInThePlacesFolder) {
  TempDir dir;
  WriteFileBytes(dir / "in.tamlo", ConfigImageOf(""));
  for (const auto& [dial, folder] : {std::pair{"", "port-Демо-прибор"}, {"--dial +79001234567 ", "port-_79001234567"}}) {
    SCOPED_TRACE(dial);
    CliRun w = RunCli(dir, std::string("--demo ") + dial + "config-write " + (dir / "in.tamlo").string(),
                      "</dev/null", "", 120);
    EXPECT_EQ(w.status, 0) << w.err;
    const size_t at = w.out.find("backup: ");
    ASSERT_NE(at, std::string::npos) << w.out;
    const std::string backup = w.out.substr(at + 8, w.out.find('\n', at) - at - 8);
    EXPECT_TRUE(Contains(backup, std::string("/history/") + folder + "/")) << backup;
    EXPECT_GT(ReadFileBytes(backup).size(), 32u);  // the sample site, not an empty device
  }
}

TEST(CliDevice, UsageErrorsAndMissingPort) {
  TempDir dir;
  EXPECT_EQ(RunCli(dir, "identify").status, 2);
  EXPECT_EQ(RunCli(dir, "--demo key-write 0011").status, 2);
  EXPECT_EQ(RunCli(dir, "--demo key-write 00112233445566778899AABBCCDDEEFG").status, 2);
  EXPECT_EQ(RunCli(dir, "--demo gsm-status --count 0").status, 2);
  EXPECT_EQ(RunCli(dir, "--demo config-read").status, 2);
  EXPECT_EQ(RunCli(dir, "--demo serial-write 123456789012345678901234567890123").status, 2);
  CliRun missing = RunCli(dir, "--port " + (dir / "no-such-tty").string() + " identify");
  EXPECT_EQ(missing.status, 1);
  EXPECT_TRUE(Contains(missing.err, "Невозможно открыть порт")) << missing.err;
  // Refused before anything is dialled or opened.
  for (const char* args : {"--demo --dial \"\" identify", "--demo --dial \"\" --v32 reboot",
                           "--demo gsm-status --count 99999999999999999999", "--demo gsm-status --count 2147483648",
                           "--demo gsm-status --count -1"}) {
    SCOPED_TRACE(args);
    CliRun r = RunCli(dir, args);
    EXPECT_EQ(r.status, 2);
    EXPECT_FALSE(Contains(r.err, "Подключ")) << r.err;
  }
}

// A relative --port is a path from the current folder, like any other file
// argument, and not a name under /dev.
TEST(CliDevice, RelativePortPath_UsedAsGiven) {
  TempDir dir;
  PtySim sim(dir / "tty", {"--baud", "0"});
  ASSERT_TRUE(sim.ready());
  const std::string command = "cd " + dir.path().string() + " && setsid -w " + tamlo::testing::BinDir() +
                              "/tamlocfg-cli --port tty identify >out.txt 2>err.txt </dev/null";
  const int raw = std::system(command.c_str());
  EXPECT_EQ(WIFEXITED(raw) ? WEXITSTATUS(raw) : -1, 0) << ReadFileBytes(dir / "err.txt");
  EXPECT_TRUE(Contains(ReadFileBytes(dir / "out.txt"), "firmware: 3.11")) << ReadFileBytes(dir / "out.txt");
}

// What would be refused on loading is refused before anything is sent: a
// malformed encoding always (exit 3), unrecognised data unless --force
// (exit 2).
TEST(CliDevice, ConfigWrite_RefusesWhatLoadingWouldRefuse) {
  TempDir dir;
  const fs::path stored = dir / "device.tamlo";
  PtySim sim(dir / "tty", {"--baud", "0", "--config", stored.string()});
  ASSERT_TRUE(sim.ready());
  const std::string port = "--port " + (dir / "tty").string() + " ";
  const struct {
    const char* name;
    std::string data;
    int status;
    std::string message;
  } cases[] = {
      {"malformed", std::string("\x90\x20\x05\x80", 4), 3, "Ошибка при разборе конфигурации. Возможно, она повреждена."},
      {"unknown coding", std::string("\x18", 1), 3, "Неизвестный способ кодирования данных в конфигурации."},
      {"unrecognised", std::string("\x90\x20\x05\xC4\x25\x02\xAB\x01", 8), 2,
       "Внимание: В конфигурации обнаружены неизвестные данные."},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    WriteFileBytes(dir / "in.tamlo", ConfigImageOf(c.data));
    CliRun r = RunCli(dir, port + "config-write " + (dir / "in.tamlo").string());
    EXPECT_EQ(r.status, c.status);
    EXPECT_TRUE(Contains(r.err, c.message)) << r.err;
    EXPECT_FALSE(Contains(r.err, "Подключено устройство")) << r.err;
    EXPECT_FALSE(fs::exists(stored));
  }
  CliRun forced = RunCli(dir, port + "config-write " + (dir / "in.tamlo").string() + " --force");
  EXPECT_EQ(forced.status, 0) << forced.err;
  EXPECT_EQ(ReadFileBytes(stored).substr(32), std::string("\x90\x20\x05\xC4\x25\x02\xAB\x01", 8));
}

// The serial number as the device window takes it from a scanner: an EAN-13
// number whose check digit is sent without it, or the 12 digits alone.
TEST(CliDevice, SerialWrite_Ean13OrTwelveDigitsElseRefusedBeforeTheExchange) {
  TempDir dir;
  PtySim sim(dir / "tty", {"--baud", "0"});
  ASSERT_TRUE(sim.ready());
  const std::string port = "--port " + (dir / "tty").string() + " ";
  const struct {
    const char* number;
    int status;
    const char* stored;  // what identify reads back, or the refusal
  } cases[] = {
      {"4006381333931", 0, "serial: 400638133393\n"},
      {"123456789012", 0, "serial: 123456789012\n"},
      {"4006381333932", 2, "Неверный серийный номер"},
      {"40063813339", 2, "Серийный номер должен быть 13 цифр"},
      {"40063813339311", 2, "Серийный номер должен быть 13 цифр"},
      {"400638133393x", 2, "Неверный серийный номер"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.number);
    CliRun w = RunCli(dir, port + "serial-write " + c.number);
    EXPECT_EQ(w.status, c.status) << w.err;
    if (c.status != 0) {
      EXPECT_TRUE(Contains(w.err, c.stored)) << w.err;
      EXPECT_FALSE(Contains(w.err, "Подключ")) << w.err;
      continue;
    }
    CliRun id = RunCli(dir, port + "identify");
    EXPECT_TRUE(Contains(id.out, c.stored)) << id.out;
  }
}

// What the device says is shown as text: 1251 converted, control characters
// escaped, and a serial number it has not got named so.
TEST(CliDevice, Identify_DeviceTextsEscapedAndUnsetSerialNamed) {
  TempDir dir;
  {
    PtySim sim(dir / "tty", {"--baud", "0", "--id", "Tamlo 3.11\x1b[2J"});
    ASSERT_TRUE(sim.ready());
    CliRun r = RunCli(dir, "--port " + (dir / "tty").string() + " identify");
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out, "firmware: 3.11\\x1B[2J\nserial: not set\n");
    EXPECT_FALSE(Contains(r.err, "\x1b")) << r.err;
  }
  PtySim old(dir / "tty2", {"--baud", "0", "--old-firmware"});
  ASSERT_TRUE(old.ready());
  CliRun r = RunCli(dir, "--port " + (dir / "tty2").string() + " identify");
  EXPECT_EQ(r.out, "firmware: 3.11\nserial: not supported\n");
}

// The firmware file is checked before the device is switched into its
// bootloader; a transfer that fails afterwards says where the device is.
TEST(CliDevice, FirmwareUpdate_FileCheckedFirstFailureAfterSwitchExplained) {
  TempDir dir;
  fs::create_directory(dir / "folder");
  WriteFileBytes(dir / "empty.fmw", "");
  const struct {
    std::string file;
    const char* reason;
  } cases[] = {
      {(dir / "missing.fmw").string(), "No such file or directory"},
      {(dir / "folder").string(), "not a regular file"},
      {"/dev/null", "not a regular file"},
      {(dir / "empty.fmw").string(), "empty"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.file);
    CliRun r = RunCli(dir, "--demo fw-update " + c.file);
    EXPECT_EQ(r.status, 1);
    EXPECT_TRUE(Contains(r.err, c.reason)) << r.err;
    EXPECT_FALSE(Contains(r.err, "Вход в загрузчик")) << r.err;
  }

  PtySim sim(dir / "tty", {"--baud", "0", "--cancel-block", "2"});
  ASSERT_TRUE(sim.ready());
  WriteFileBytes(dir / "fw.fmw", std::string(300, 'f'));
  CliRun r = RunCli(dir, "--port " + (dir / "tty").string() + " fw-update " + (dir / "fw.fmw").string());
  EXPECT_EQ(r.status, 1);
  EXPECT_TRUE(Contains(r.err, "Передача прервана удаленной стороной")) << r.err;
  EXPECT_TRUE(Contains(r.err, "waits in its bootloader")) << r.err;
  EXPECT_TRUE(Contains(r.err, "fw-update")) << r.err;
}

}  // namespace
}  // namespace tamlo::link::testing
