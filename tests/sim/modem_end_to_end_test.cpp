// Remote work through the simulated GSM modem and the firmware update through
// the simulated bootloader, driven by serial_process on the fake clock.
#include <gtest/gtest.h>

#include "link/bootloader_entry.h"
#include "sim_fixture.h"

namespace tamlo::sim::testing {
namespace {

using namespace tamlo::link;

class MemoryFile final : public FirmwareFile {
 public:
  explicit MemoryFile(std::vector<uint8_t> bytes) : data(std::move(bytes)) {}
  uint64_t Length() override { return data.size(); }
  bool Read(uint8_t* buffer, size_t capacity, size_t& got) override {
    got = std::min(capacity, data.size() - pos);
    std::copy(data.begin() + long(pos), data.begin() + long(pos + got), buffer);
    pos += got;
    return true;
  }
  std::vector<uint8_t> data;
  size_t pos = 0;
};

std::vector<uint8_t> Firmware(size_t n) {
  std::vector<uint8_t> b(n);
  uint32_t x = 7;
  for (uint8_t& v : b) v = uint8_t((x = x * 1103515245u + 12345u) >> 16);
  return b;
}

class ModemLink : public ::testing::Test {
 protected:
  explicit ModemLink(ModemSettings modem = {}) { sim.device->AttachModem(std::move(modem)); }
  int Dial(const char* number = "+79001234567", bool fast = true) {
    sim.cb = RecordingCallback{};
    ActionInput in;
    in.text = number;
    in.fast_connect = fast;
    return sim.link.serial_process(std::string("COM3"), MODEM_DIAL, in, sim.cb);
  }
  int Cached(unsigned action) {
    sim.cb = RecordingCallback{};
    return sim.link.serial_process(std::nullopt, action, {}, sim.cb);
  }
  SimModem& modem() { return *sim.device->modem(); }

  SimLink sim;
};

TEST_F(ModemLink, DialReadConfigurationLoseCarrierInJournalReadHangUp) {
  ASSERT_EQ(Dial(), 0) << (sim.cb.errors.empty() ? "" : sim.cb.errors[0]);
  EXPECT_TRUE(sim.link.has_cached_connection());
  EXPECT_TRUE(sim.port.IsOpen());
  EXPECT_TRUE(sim.port.CarrierDetected());
  EXPECT_TRUE(sim.port.settings().rts_cts);
  EXPECT_EQ(modem().dialled(), "+79001234567");
  EXPECT_EQ(modem().settings().bearer, 71);
  EXPECT_TRUE(sim.Logged("=> AT+IFC=2,2"));  // the simulated modem starts without flow control
  EXPECT_TRUE(sim.Logged("<= CONNECT"));

  // The configuration over the call, the carrier checked on every read and write.
  ASSERT_EQ(Cached(CONFIG_READ), 0) << (sim.cb.errors.empty() ? "" : sim.cb.errors[0]);
  EXPECT_EQ(sim.cb.data_bytes, sim.engine().image());

  // The far end drops the call in the middle of a journal read.
  ASSERT_GT(sim.engine().journal().size(), 3 * 256u);
  // After the handshake, version, begin and two chunks of this action.
  modem().settings().drop_after_answers = modem().answers_in_call() + 5;
  EXPECT_EQ(Cached(JOURNAL_READ), -1);
  EXPECT_EQ(sim.cb.errors, std::vector<std::string>{"Модемное соединение разорвано (код ошибки -7)"});
  EXPECT_FALSE(sim.cb.data_bytes.empty());
  EXPECT_TRUE(sim.link.has_cached_connection());  // kept until the user hangs up
  EXPECT_TRUE(sim.port.IsOpen());

  EXPECT_EQ(Cached(MODEM_HANGUP), 0);
  EXPECT_FALSE(sim.link.has_cached_connection());
  EXPECT_FALSE(sim.port.IsOpen());
  EXPECT_TRUE(sim.cb.errors.empty());
  EXPECT_TRUE(sim.Logged("=> ATH"));
  EXPECT_FALSE(sim.Logged("=> +++"));  // the carrier was already gone
}

TEST_F(ModemLink, HangUpEscapesWithGuardTimes) {
  ASSERT_EQ(Dial("812", false), 0);
  EXPECT_EQ(modem().settings().bearer, 7);  // the modem's V.32 bearer was kept
  ASSERT_EQ(Cached(SERIAL_READ), 0);
  EXPECT_EQ(Cached(MODEM_HANGUP), 0);
  EXPECT_TRUE(sim.Logged("=> +++"));
  EXPECT_TRUE(sim.cb.errors.empty()) << sim.cb.errors[0];
  EXPECT_FALSE(modem().carrier());
  EXPECT_EQ(modem().commands().back(), "ATH");
  // A new dial after the hang-up works.
  EXPECT_EQ(Dial(), 0);
  EXPECT_EQ(modem().calls(), 2);
}

TEST_F(ModemLink, Misuse_SecondDialFirmwareUpdateAndPortWhileCached) {
  ASSERT_EQ(Dial(), 0);
  EXPECT_EQ(Cached(MODEM_DIAL), -1);
  EXPECT_EQ(sim.cb.errors, std::vector<std::string>{"serial_process(): double dial???"});
  EXPECT_EQ(Cached(FW_UPDATE), -1);
  EXPECT_EQ(sim.cb.errors, std::vector<std::string>{"serial_process(): FOTA not supported"});
  EXPECT_EQ(sim.Run(SERIAL_READ), -1);
  EXPECT_EQ(sim.cb.errors, std::vector<std::string>{"serial_process(): cached handle still active!"});
  EXPECT_TRUE(sim.link.has_cached_connection());
  EXPECT_EQ(Cached(SERIAL_READ), 0);  // the call is still usable
}

TEST(ModemScenarios, EveryFailedDialReportedOnceAndPortClosed) {
  struct Case {
    const char* name;
    ModemSettings modem;
    const char* message;
  } cases[] = {
      {"busy", {.outcome = DialOutcome::kBusy}, "Номер занят"},
      {"no answer", {.outcome = DialOutcome::kNoAnswer}, "Номер не отвечает"},
      {"no carrier", {.outcome = DialOutcome::kNoCarrier}, "Номер не отвечает"},
      {"no dialtone", {.outcome = DialOutcome::kNoDialtone},
       "Не удается совершить звонок. Возможно, модем не зарегистрирован в сети"},
      {"dial error", {.outcome = DialOutcome::kError}, "Модем отверг команду инициализации (код ошибки -6)"},
      {"cme on bearer", {.error_command = "AT+CBST=71", .error_reply = "+CME ERROR: 4", .bearer = 0},
       "Модем отверг команду инициализации (код ошибки -6)"},
      {"silent", {.silent = true}, "Нет ответа от устройства (код ошибки -1)"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    SimLink sim;
    sim.device->AttachModem(c.modem);
    ActionInput in;
    in.text = "812";
    EXPECT_EQ(sim.link.serial_process(std::string("COM3"), MODEM_DIAL, in, sim.cb), -1);
    EXPECT_EQ(sim.cb.errors, std::vector<std::string>{c.message});
    EXPECT_FALSE(sim.link.has_cached_connection());
    EXPECT_FALSE(sim.port.IsOpen());
  }
}

TEST(ModemScenarios, RingWhileDiallingIsIgnored) {
  SimLink sim;
  sim.device->AttachModem({.rings = 2});
  ActionInput in;
  in.text = "812";
  EXPECT_EQ(sim.link.serial_process(std::string("COM3"), MODEM_DIAL, in, sim.cb), 0);
  EXPECT_TRUE(sim.Logged("<= RING"));
  EXPECT_TRUE(sim.cb.errors.empty());
}

TEST(ModemScenarios, CancelDuringTheDialHangsUp) {
  SimLink sim;
  sim.device->AttachModem({.connect_delay_ms = 60000});
  sim.pump.PostAt(sim.clock.NowMs() + 10000, [&] { sim.link.RequestCancel(); });
  ActionInput in;
  in.text = "812";
  EXPECT_EQ(sim.link.serial_process(std::string("COM3"), MODEM_DIAL, in, sim.cb), -1);
  EXPECT_EQ(sim.cb.errors, std::vector<std::string>{"Операция отменена пользователем (код ошибки -2)"});
  EXPECT_EQ(sim.device->modem()->commands().back(), "ATH");
  EXPECT_FALSE(sim.port.IsOpen());
}

// Firmware update.

TEST(FirmwareUpdate, RunningFirmwareRestartsIntoBootloaderWhichHoldsTheFile) {
  SimLink sim;
  MemoryFile file(Firmware(5000));
  ActionInput in;
  in.firmware = &file;
  ASSERT_EQ(sim.Run(FW_UPDATE), -1);  // no file given
  sim.cb = RecordingCallback{};
  ASSERT_EQ(sim.link.serial_process(std::string("COM3"), FW_UPDATE, in, sim.cb), 0)
      << (sim.cb.errors.empty() ? "" : sim.cb.errors[0]);
  EXPECT_TRUE(sim.Logged("Переход в режим загрузчика"));
  EXPECT_TRUE(sim.Logged("Обнаружен загрузчик"));
  EXPECT_EQ(sim.cb.bootloader_entered, 2);  // told to restart, then its bootloader answered
  EXPECT_TRUE(sim.Logged("Файл передан"));
  std::vector<uint8_t> expected = file.data;
  expected.resize(40 * 128, 0x1A);
  EXPECT_EQ(sim.device->bootloader().image(), expected);
  EXPECT_FALSE(sim.device->in_bootloader());  // restarted into its firmware
  EXPECT_FALSE(sim.port.IsOpen());
  EXPECT_EQ(sim.Run(SERIAL_READ), 0);
}

TEST(FirmwareUpdate, PasswordAskedBeforeTheRestart) {
  DeviceSettings settings;
  settings.password = "1234";
  SimLink sim(settings);
  sim.passwords = {"1234"};
  MemoryFile file(Firmware(200));
  ActionInput in;
  in.firmware = &file;
  sim.cb.passwords = sim.passwords;
  ASSERT_EQ(sim.link.serial_process(std::string("COM3"), FW_UPDATE, in, sim.cb), 0)
      << (sim.cb.errors.empty() ? "" : sim.cb.errors[0]);
  EXPECT_EQ(sim.cb.password_attempts, std::vector<unsigned>{0});
  EXPECT_EQ(sim.device->bootloader().transfers(), 1);

  // Without the password the firmware stays where it is: the refusal is the result.
  MemoryFile again(Firmware(200));
  in.firmware = &again;
  sim.cb = RecordingCallback{};
  EXPECT_EQ(sim.link.serial_process(std::string("COM3"), FW_UPDATE, in, sim.cb), -1);
  EXPECT_FALSE(sim.device->in_bootloader());
  EXPECT_EQ(sim.device->bootloader().transfers(), 1);
}

TEST(FirmwareUpdate, DeviceWaitingInBootloaderWithRefusalsAndCancel) {
  SimLink sim;
  sim.device->StartInBootloader();
  sim.device->bootloader().settings() = {.nak_block = 3, .nak_count = 4};
  MemoryFile file(Firmware(1024));
  ActionInput in;
  in.firmware = &file;
  ASSERT_EQ(sim.link.serial_process(std::string("COM3"), FW_UPDATE, in, sim.cb), 0);
  EXPECT_FALSE(sim.Logged("Переход в режим загрузчика"));
  EXPECT_TRUE(sim.Logged("Перепосылка блока 3 (попытка 4/10)"));
  EXPECT_EQ(sim.device->bootloader().image(), file.data);

  sim.device->StartInBootloader();
  sim.device->bootloader().settings() = {.cancel_at_block = 2};
  file.pos = 0;
  sim.cb = RecordingCallback{};
  EXPECT_EQ(sim.link.serial_process(std::string("COM3"), FW_UPDATE, in, sim.cb), -1);
  EXPECT_EQ(sim.cb.errors, std::vector<std::string>{"Передача прервана удаленной стороной (код ошибки -15)"});

  sim.device->StartInBootloader();
  sim.device->bootloader().settings() = {.nak_block = 1, .nak_count = 11};
  file.pos = 0;
  sim.cb = RecordingCallback{};
  EXPECT_EQ(sim.link.serial_process(std::string("COM3"), FW_UPDATE, in, sim.cb), -1);
  EXPECT_EQ(sim.cb.errors, std::vector<std::string>{"Слишком много ошибок при передаче (код ошибки -16)"});
}

}  // namespace
}  // namespace tamlo::sim::testing
