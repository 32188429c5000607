// Every action of serial_process against the simulated device, on a fake
// clock at 115200 Bd: the link and the device agree byte for byte, and the
// device's state shows the effect of each action.
#include <gtest/gtest.h>

#include "sim/device_settings.h"
#include "sim/journal_generator.h"
#include "sim_fixture.h"

namespace tamlo::sim::testing {
namespace {

using namespace tamlo::link;

TEST(EndToEnd, SerialRead_IdentifiesDevice_AndLogsSerialNumber) {
  DeviceSettings s;
  s.serial_number = "4607001234567";
  SimLink sim(s);
  ASSERT_EQ(sim.Run(SERIAL_READ), 0) << (sim.cb.errors.empty() ? "" : sim.cb.errors[0]);
  EXPECT_EQ(sim.cb.versions, std::vector<std::string>{"3.11"});
  EXPECT_TRUE(sim.Logged("Подключено устройство: Tamlo 3.11"));
  EXPECT_TRUE(sim.Logged("Серийный номер: 4607001234567"));
  EXPECT_TRUE(sim.Logged("Подключение установлено, TX MTU=256"));

  SimLink unset;
  ASSERT_EQ(unset.Run(SERIAL_READ), 0);
  EXPECT_TRUE(unset.Logged("Серийный номер: НЕ ЗАДАН"));

  DeviceSettings old;
  old.old_firmware = true;
  old.identification = "Tamlo 2.07";
  SimLink legacy(old);
  ASSERT_EQ(legacy.Run(SERIAL_READ), 0);
  EXPECT_EQ(legacy.cb.versions, std::vector<std::string>{"2.07"});
  EXPECT_TRUE(legacy.Logged("Серийный номер: не поддерживается"));
  EXPECT_TRUE(legacy.cb.errors.empty());

  DeviceSettings foreign;
  foreign.identification = "Other 1.0";
  SimLink other(foreign);
  EXPECT_EQ(other.Run(SERIAL_READ), -1);
  ASSERT_EQ(other.cb.errors.size(), 1u);
  EXPECT_NE(other.cb.errors[0].find("\"Other 1.0\" не поддерживаются"), std::string::npos);
}

TEST(EndToEnd, ConfigWriteThenRead_8KiB_RoundTripsAtWireSpeed) {
  DeviceSettings s;
  s.write_chunk = 200;
  s.size_b = 240;
  SimLink sim(s);
  const std::vector<uint8_t> image = TestImage(8192);
  const uint32_t start = sim.clock.NowMs();
  ASSERT_EQ(sim.Write(image), 0) << (sim.cb.errors.empty() ? "" : sim.cb.errors[0]);
  EXPECT_EQ(sim.cb.stages, (std::vector<std::string>{"Подключение к устройству/30000", "Чтение версии прошивки/30000",
                                                     "Подготовка к записи конфигурации/30000",
                                                     "Запись конфигурации/8224", "Установка времени в приборе/30000",
                                                     "Очистка очереди извещений/30000"}));
  EXPECT_EQ(WithoutDeviceFields(sim.engine().image()), image);
  // The device's clock now runs from the PC's local time.
  EXPECT_EQ(sim.DeviceNow() / 60, DeviceTimeOf(2024, 6, 15, 12, 0, 0) / 60);

  // Time passes as on the cable: never below the bytes' travel time, and
  // without idle gaps beyond the per-request turnaround.
  const double bound_ms = double(sim.device->bytes_from_host() + sim.device->bytes_to_host()) * 10 / 115.2;
  const double took_ms = sim.clock.NowMs() - start;
  EXPECT_GE(took_ms, bound_ms);
  EXPECT_LE(took_ms, bound_ms * 1.3 + 50);

  ASSERT_EQ(sim.Run(CONFIG_READ), 0);
  EXPECT_EQ(sim.cb.data_bytes, sim.engine().image());
  EXPECT_EQ(WithoutDeviceFields(sim.cb.data_bytes), image);
  EXPECT_EQ(sim.cb.positions.front(), 0u);
  EXPECT_EQ(sim.cb.positions.back(), 8192u);  // 32 chunks of 256, then 32 bytes
}

TEST(EndToEnd, ConfigWrite_ChunkAboveMtu_AndShortImage_Fail) {
  DeviceSettings s;
  s.write_chunk = 300;
  SimLink sim(s);
  const std::vector<uint8_t> image = TestImage(100);
  EXPECT_EQ(sim.Write(image), -1);
  ASSERT_EQ(sim.cb.errors.size(), 1u);
  EXPECT_EQ(sim.cb.errors[0], "Не удалось согласовать параметры передачи данных (код ошибки -13)");
  EXPECT_EQ(sim.engine().image(), FactoryImage());

  SimLink plain;
  EXPECT_EQ(plain.Write(std::vector<uint8_t>(image.begin(), image.begin() + 31)), -1);
  ASSERT_EQ(plain.cb.errors.size(), 1u);
  EXPECT_EQ(plain.cb.errors[0], "SerialCore: bad params for CONFIG_WRITE");
}

TEST(EndToEnd, JournalRead_DeliversWholeJournal_EvenBeyondAnnouncedLength) {
  SimLink sim;
  ASSERT_EQ(sim.Run(JOURNAL_READ), 0);
  EXPECT_EQ(sim.cb.data_bytes, sim.engine().journal());
  EXPECT_GT(sim.cb.data_bytes.size(), 500u);

  DeviceSettings s;
  s.journal = std::vector<uint8_t>(1500, 0x11);
  s.announced_journal_length = 100;
  s.read_chunk = 64;
  SimLink over(s);
  ASSERT_EQ(over.Run(JOURNAL_READ), 0);
  EXPECT_EQ(over.cb.data_bytes, *s.journal);
  EXPECT_EQ(over.cb.stages.back(), "Чтение журнала/100");
}

TEST(EndToEnd, GsmStatus_PollsOncePerSecondUntilCancelled) {
  SimLink sim;
  sim.pump.PostAt(sim.clock.NowMs() + 10500, [&sim] { sim.link.RequestCancel(); });
  ASSERT_EQ(sim.Run(GSM_STATUS), 0);
  EXPECT_TRUE(sim.cb.errors.empty());
  ASSERT_GE(sim.cb.gsm.size(), 10u);
  ASSERT_LE(sim.cb.gsm.size(), 11u);
  std::set<uint8_t> levels;
  for (const auto& reply : sim.cb.gsm) {
    ASSERT_EQ(reply.size(), 6u);
    EXPECT_EQ(reply[0], 2);
    levels.insert(reply[3]);
  }
  EXPECT_GT(levels.size(), 3u);  // the level moves while the window is open
}

TEST(EndToEnd, SetTimeAndReboot_DeviceTakesTheTimeRebootsAndAnswersAgain) {
  SimLink sim;
  sim.clock.SetLocal({2025, 12, 31, 23, 59, 58});
  ASSERT_EQ(sim.Run(SET_TIME), 0);
  EXPECT_EQ(sim.DeviceNow() / 10, DeviceTimeOf(2025, 12, 31, 23, 59, 58) / 10);

  ASSERT_EQ(sim.Run(REBOOT), 0);
  EXPECT_TRUE(sim.cb.errors.empty());
  EXPECT_EQ(sim.engine().reboots(), 1);
  // The next exchange finds the rebooted device as usual.
  ASSERT_EQ(sim.Run(SERIAL_READ), 0);
}

TEST(EndToEnd, SerialWrite_StoresNumber_BadLengthNeverSent) {
  SimLink sim;
  ASSERT_EQ(sim.Run(SERIAL_WRITE, ActionInput{nullptr, 0, "2900000123457"}), 0);
  EXPECT_EQ(sim.engine().serial_number(), "2900000123457");
  const std::string long_number(33, '1');
  EXPECT_EQ(sim.Run(SERIAL_WRITE, ActionInput{nullptr, 0, long_number.c_str()}), -1);
  EXPECT_EQ(sim.cb.errors, std::vector<std::string>{"SerialCore: bad params for SERIAL_WRITE (len=33)"});
  EXPECT_EQ(sim.engine().serial_number(), "2900000123457");
}

TEST(EndToEnd, KeysStatusAndKeyChange_FollowTheDevice) {
  DeviceSettings s;
  s.key_slots = 2;
  SimLink sim(s);
  ASSERT_EQ(sim.Run(KEYS_STATUS), 0);
  EXPECT_EQ(sim.cb.keys, (std::vector<std::vector<uint8_t>>{{2, 0}}));

  std::vector<uint8_t> request{0, 16};
  for (uint8_t i = 0; i < 16; ++i) request.push_back(uint8_t(0x11 * i));
  ASSERT_EQ(sim.Run(KEY_CHANGE, ActionInput{request.data(), request.size(), nullptr}), 0);
  EXPECT_EQ(sim.cb.keys, (std::vector<std::vector<uint8_t>>{{2, 1}}));  // read again after the change
  EXPECT_TRUE(std::equal(request.begin() + 2, request.end(), sim.engine().key(0).begin()));

  const std::vector<uint8_t> remove{0, 0};
  ASSERT_EQ(sim.Run(KEY_CHANGE, ActionInput{remove.data(), remove.size(), nullptr}), 0);
  EXPECT_EQ(sim.cb.keys, (std::vector<std::vector<uint8_t>>{{2, 0}}));

  DeviceSettings old;
  old.old_firmware = true;
  SimLink legacy(old);
  ASSERT_EQ(legacy.Run(KEYS_STATUS), 0);
  EXPECT_EQ(legacy.cb.keys, (std::vector<std::vector<uint8_t>>{{0, 0}}));
}

TEST(EndToEnd, KeyChange_AfterConfigWrite_AsksForReboot_NoSpaceHasItsOwnMessage) {
  SimLink sim;
  ASSERT_EQ(sim.Write(TestImage(50)), 0);
  const std::vector<uint8_t> remove{0, 0};
  EXPECT_EQ(sim.Run(KEY_CHANGE, ActionInput{remove.data(), remove.size(), nullptr}), -1);
  ASSERT_EQ(sim.cb.errors.size(), 1u);
  EXPECT_EQ(sim.cb.errors[0].rfind("В устройство записана новая конфигурация, но устройство не было перезагружено.", 0),
            0u);
  ASSERT_EQ(sim.Run(REBOOT), 0);
  EXPECT_EQ(sim.Run(KEY_CHANGE, ActionInput{remove.data(), remove.size(), nullptr}), 0);

  sim.device->faults().refusals.push_back({kCmdKeyChange, kAnsNoSpace, 1});
  EXPECT_EQ(sim.Run(KEY_CHANGE, ActionInput{remove.data(), remove.size(), nullptr}), -1);
  ASSERT_EQ(sim.cb.errors.size(), 1u);
  EXPECT_EQ(sim.cb.errors[0].rfind("Недостаточно свободного места в блоке хранения", 0), 0u);
}

TEST(EndToEnd, Password_WrongThenRight_RunsTheCommand_GivingUpFails) {
  DeviceSettings s;
  s.password = "2468";
  SimLink sim(s);
  sim.passwords = {"1111", "2468"};
  ASSERT_EQ(sim.Run(SERIAL_WRITE, ActionInput{nullptr, 0, "77"}), 0);
  EXPECT_EQ(sim.cb.password_attempts, (std::vector<unsigned>{0, 1}));
  EXPECT_EQ(sim.engine().serial_number(), "77");

  sim.passwords = {};
  EXPECT_EQ(sim.Run(SERIAL_WRITE, ActionInput{nullptr, 0, "88"}), -1);
  ASSERT_EQ(sim.cb.errors.size(), 1u);
  EXPECT_NE(sim.cb.errors[0].find("Неверный пароль доступа к устройству"), std::string::npos);
  EXPECT_EQ(sim.engine().serial_number(), "77");
}

TEST(EndToEnd, Faults_RetryLaterStaleAnswersAndDelay_AreRecoveredByTheLink) {
  Faults f;
  f.retry_later_answers = 3;
  f.stale_answers = 2;
  SimLink sim({}, f);
  ASSERT_EQ(sim.Run(SERIAL_READ), 0) << (sim.cb.errors.empty() ? "" : sim.cb.errors[0]);
  EXPECT_TRUE(sim.Logged("Повтор команды (попытка 3)"));
  bool wrong_number = false;
  for (const std::string& l : sim.cb.log) wrong_number |= l.rfind("Неверный номер блока: ", 0) == 0;
  EXPECT_TRUE(wrong_number);

  Faults slow;
  slow.answer_delay_ms = 5000;  // beyond the 4 s wait: the link repeats, the device answers twice
  SimLink late({}, slow);
  ASSERT_EQ(late.Run(SERIAL_READ), 0);
  EXPECT_TRUE(late.Logged("Повтор команды (попытка 1)"));
}

TEST(EndToEnd, SilentDevice_TimesOutAfter30Seconds) {
  Faults f;
  f.silent_requests = -1;
  SimLink sim({}, f);
  const uint32_t start = sim.clock.NowMs();
  EXPECT_EQ(sim.Run(SERIAL_READ), -1);
  EXPECT_EQ(sim.cb.errors, std::vector<std::string>{"Нет ответа от устройства (код ошибки -1)"});
  const uint32_t took = sim.clock.NowMs() - start;
  EXPECT_GE(took, 30000u);
  EXPECT_LE(took, 32500u);
  EXPECT_EQ(sim.device->requests(), 8);  // the handshake sent at 0, 4, ..., 28 s
}

TEST(EndToEnd, RefusedCommand_ReportsCodeAndText) {
  Faults f;
  f.refusals.push_back({kCmdSetTime, 0x85, -1});
  SimLink sim({}, f);
  EXPECT_EQ(sim.Run(SET_TIME), -1);
  EXPECT_EQ(sim.cb.errors, std::vector<std::string>{"Команда 0x46 отвергнута устройством.\n\nКод ответа 0x85: "
                                                    "Неисправность аппаратуры"});
}

}  // namespace
}  // namespace tamlo::sim::testing
