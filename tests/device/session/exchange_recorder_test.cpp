// The exchange recorder both front ends share: the report kinds, the password
// cache and its rules.
#include "device/session/exchange_recorder.h"

#include <gtest/gtest.h>

#include <cstring>

#include "device/device_window_rig.h"

namespace tamlo::device::testing {
namespace {

class RecordingReports final : public ExchangeReports {
 public:
  std::vector<std::string> events;
  void LogInfo(std::string_view text) override { events.push_back("log " + std::string(text)); }
  void ShowExchangeError(const std::string& text) override { events.push_back("box " + text); }
  void ShowFirmwareVersion(const std::string& text) override { events.push_back("version " + text); }
  void GsmStatus(const uint8_t*, size_t length) override { events.push_back("gsm " + std::to_string(length)); }
  void KeyStatus(unsigned count, unsigned mask) override {
    events.push_back("keys " + std::to_string(count) + "/" + std::to_string(mask));
  }
};

struct ExchangeRig {
  RecordingReports reports;
  RecordingProgress progress;
  ScriptedPrompt prompt;
  ExchangeRecorder exchange{reports, progress, prompt};

  // One password request; what the dispatcher finds in its buffer.
  std::string Password(unsigned attempt, size_t max_length = 16) {
    std::vector<char> buffer(max_length + 1, '\0');
    exchange.OnPasswordRequest(buffer.data(), max_length, attempt);
    EXPECT_EQ(buffer[max_length], '\0');
    return std::string(buffer.data());
  }
};

TEST(ExchangeRecorder, ReportKinds_ReachLogBoxesProgressAndWindows) {
  ExchangeRig r;
  r.exchange.OnLog("Серийный номер: 123");
  r.exchange.OnBootloaderEntered();
  r.exchange.OnError("Нет ответа от устройства");
  r.exchange.OnProgress("Чтение конфигурации", 0);
  r.exchange.OnProgress(nullptr, 40);
  r.exchange.OnProgress("Запись", 7);
  r.exchange.OnFirmwareVersion("");
  r.exchange.OnFirmwareVersion("3.11 (сборка 5)");
  const uint8_t gsm[] = {2, 0, 0xA1, 0x0F, 1, 0x63};
  r.exchange.OnGsmStatus(gsm, sizeof gsm);
  const uint8_t keys[] = {4, 0x0A};
  r.exchange.OnKeyStatus(keys, sizeof keys);
  r.exchange.OnKeyStatus(keys, 1);  // too short to mean anything
  EXPECT_EQ(r.reports.events, (std::vector<std::string>{
                                  "log Серийный номер: 123",
                                  "log Нет ответа от устройства",
                                  "box Нет ответа от устройства",
                                  "log Чтение конфигурации...",
                                  "log Запись...",
                                  "version 3.11 (сборка 5)",
                                  "gsm 6",
                                  "log Всего ключей: 4, маска заданных: 0A",
                                  "keys 4/10",
                              }));
  EXPECT_EQ(r.progress.events,
            (std::vector<std::string>{"step Чтение конфигурации/100", "step Запись/7"}));
  EXPECT_EQ(r.progress.positions, std::vector<uint32_t>{40});
  EXPECT_EQ(r.exchange.firmware_version(), "3.11 (сборка 5)");
  EXPECT_FALSE(r.exchange.reported_serial_number());  // a log line is no report of the number
  EXPECT_TRUE(r.exchange.bootloader_entered());
  r.exchange.Begin();
  EXPECT_EQ(r.exchange.firmware_version(), "");
  EXPECT_FALSE(r.exchange.bootloader_entered());
}

TEST(ExchangeRecorder, FirmwareVersionNumber_ParsedFromMajorMinor_ResetPerExchange) {
  const struct {
    const char* text;
    uint32_t number;
  } cases[] = {
      {"3.11", 311}, {"3.04 beta", 304}, {"10.2", 1002}, {"3", 0}, {"x3.11", 0}, {"", 0},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.text);
    ExchangeRig r;
    r.exchange.OnFirmwareVersion(c.text);
    EXPECT_EQ(r.exchange.firmware_version_number(), c.number);
  }
  ExchangeRig r;
  r.exchange.OnFirmwareVersion("3.11");
  r.exchange.Begin();
  EXPECT_EQ(r.exchange.firmware_version_number(), 0u);
}

TEST(ExchangeRecorder, DataChunks_AppendedEvenAtAWrongPosition_WhichIsLogged) {
  ExchangeRig r;
  const uint8_t a[] = {1, 2, 3}, b[] = {4, 5};
  r.exchange.OnDataChunk(a, 3, 0);
  r.exchange.OnDataChunk(b, 2, 7);
  EXPECT_EQ(r.exchange.receive_buffer(), (std::vector<uint8_t>{1, 2, 3, 4, 5}));
  EXPECT_EQ(r.reports.events, std::vector<std::string>{"log Error: Buffer position must be 3, passed 7)"});
  r.exchange.ClearReceiveBuffer();
  r.exchange.OnDataChunk(b, 2, 0);
  EXPECT_EQ(r.reports.events.size(), 1u);
}

TEST(ExchangeRecorder, Password_AskedOnce_ReusedSilently_ReaskedPrefilledAfterRefusal) {
  ExchangeRig r;
  r.prompt.answers = {"1111", "2468"};
  EXPECT_EQ(r.Password(0), "1111");  // first request of the run: asked
  ASSERT_EQ(r.prompt.requests.size(), 1u);
  EXPECT_EQ(r.prompt.requests[0].mode, EntryMode::Password);
  EXPECT_EQ(r.prompt.requests[0].prefill, "");
  EXPECT_EQ(r.prompt.requests[0].max_length, 16u);

  EXPECT_EQ(r.Password(1), "2468");  // refused: asked again with the old one in the edit
  ASSERT_EQ(r.prompt.requests.size(), 2u);
  EXPECT_EQ(r.prompt.requests[1].prefill, "1111");

  EXPECT_EQ(r.Password(0), "2468");  // the next command: not asked
  EXPECT_EQ(r.prompt.requests.size(), 2u);
  EXPECT_EQ(r.exchange.cached_password(), "2468");
}

TEST(ExchangeRecorder, Password_CancelOrEmptyGivesUp_KeepsCache_LongOneCut) {
  ExchangeRig r;
  r.prompt.answers = {std::nullopt};
  EXPECT_EQ(r.Password(0), "");
  r.prompt.answers = {"abcdefgh"};
  EXPECT_EQ(r.Password(0, 4), "abcd");  // cut to what the device takes
  EXPECT_EQ(r.exchange.cached_password(), "abcdefgh");
  r.prompt.answers = {""};
  EXPECT_EQ(r.Password(2, 8), "");  // an empty entry is no password
  EXPECT_EQ(r.exchange.cached_password(), "abcdefgh");
}

TEST(ExchangeRecorder, SerialNumberOfTheIdentification_ReportedTypedForgottenPerExchange) {
  const struct Case {
    const char* number;
    bool supported;
  } cases[] = {{"460123456789", true}, {"", true}, {"", false}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.number);
    ExchangeRig r;
    r.exchange.OnSerialNumber(c.number, c.supported);
    EXPECT_EQ(r.exchange.reported_serial_number(), std::optional<std::string>(c.number));
    EXPECT_EQ(r.exchange.serial_number_supported(), c.supported);
    r.exchange.Begin();
    EXPECT_FALSE(r.exchange.reported_serial_number());
    EXPECT_TRUE(r.exchange.serial_number_supported());
  }
}

}  // namespace
}  // namespace tamlo::device::testing
