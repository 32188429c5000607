// serial_process against a scripted device: port handling, misuse messages,
// and each action's command sequence, data flow and refusals.
#include <gtest/gtest.h>

#include <algorithm>
#include <numeric>

#include "fake_port.h"
#include "link/exchange_dispatcher.h"
#include "link/link_codes.h"
#include "recording_callback.h"
#include "scripted_device.h"

namespace tamlo::link::testing {
namespace {

class DispatcherTest : public ::testing::Test {
 protected:
  DispatcherTest() : port(clock), pump(clock), device(port), link(port, clock, pump) {}

  int Run(unsigned action, const ActionInput& input = {}) {
    return link.serial_process(std::string("\\\\.\\COM3"), action, input, cb);
  }
  std::vector<uint8_t> Commands() const {
    std::vector<uint8_t> c;
    for (const Request& r : port.requests())
      if (r.command != CMD_CONNECT && r.command != CMD_GET_VERSION) c.push_back(r.command);
    return c;
  }
  std::vector<size_t> PayloadSizes(uint8_t command) const {
    std::vector<size_t> s;
    for (const Request& r : port.requests())
      if (r.command == command) s.push_back(r.payload.size());
    return s;
  }

  ManualClock clock{5000};
  FakePort port;
  ManualPump pump;
  ScriptedDevice device;
  ExchangeDispatcher link;
  RecordingCallback cb;
};

TEST_F(DispatcherTest, SerialRead_IdentifiesLogsSerialAndClosesPort) {
  device.on[CMD_SERIAL_READ] = [](const Request&) {
    const std::string s = "000123456789";
    return Reply{ANS_OK, Bytes(s.begin(), s.end())};
  };
  EXPECT_EQ(Run(SERIAL_READ), 0);
  EXPECT_EQ(port.opened_name, "\\\\.\\COM3");
  EXPECT_EQ(port.close_count, 1);
  EXPECT_EQ(cb.versions, std::vector<std::string>{"3.11"});
  EXPECT_EQ(cb.log, (std::vector<std::string>{"cpr: MaxTxQueue=0 MaxRxQueue=4096 CurrentTxQueue=0 CurrentRxQueue=4096",
                                              "Подключение установлено, TX MTU=256",
                                              "Подключено устройство: Tamlo 3.11", "Серийный номер: 000123456789"}));
  EXPECT_EQ(cb.serials, std::vector<std::optional<std::string>>{"000123456789"});
  EXPECT_EQ(cb.stages, (std::vector<std::string>{"Подключение к устройству/30000", "Чтение версии прошивки/30000",
                                                 "Чтение серийного номера/30000"}));
  EXPECT_TRUE(cb.errors.empty());
}

TEST_F(DispatcherTest, OptionalCommandsUnknownToOldFirmware_Succeed) {
  device.on[CMD_SERIAL_READ] = [](const Request&) { return Reply{ANS_UNKNOWN_COMMAND}; };
  device.on[CMD_KEYS_STATUS] = [](const Request&) { return Reply{ANS_UNKNOWN_COMMAND}; };
  EXPECT_EQ(Run(SERIAL_READ), 0);
  EXPECT_EQ(cb.log.back(), "Серийный номер: не поддерживается");
  EXPECT_EQ(Run(KEYS_STATUS), 0);
  EXPECT_EQ(cb.keys, std::vector<Bytes>{Bytes({0, 0})});
  EXPECT_TRUE(cb.errors.empty());
  device.on[CMD_SERIAL_READ] = [](const Request&) { return Reply{}; };
  EXPECT_EQ(Run(SERIAL_READ), 0);
  EXPECT_EQ(cb.log.back(), "Серийный номер: НЕ ЗАДАН");
  EXPECT_EQ(cb.serials, (std::vector<std::optional<std::string>>{std::nullopt, ""}));
}

TEST_F(DispatcherTest, ForeignDevice_RefusedOnceWithItsName) {
  device.version = "Other 1.0";
  EXPECT_EQ(Run(SERIAL_READ), -1);
  EXPECT_EQ(cb.errors, std::vector<std::string>{
                           "Устройство или прошивка \"Other 1.0\" не поддерживаются в данной версии конфигуратора"});
  EXPECT_TRUE(cb.versions.empty());
  EXPECT_EQ(port.close_count, 1);
}

TEST_F(DispatcherTest, BusyPort_MessageShowsNameWithoutDevicePrefix) {
  port.refuse_open = true;
  EXPECT_EQ(Run(SERIAL_READ), -1);
  EXPECT_EQ(cb.errors, std::vector<std::string>{"Невозможно открыть порт \"COM3\". Возможно, он уже используется "
                                                "другой программой.\n\nОшибка 5: Отказано в доступе."});
  cb.errors.clear();
  EXPECT_EQ(link.serial_process(std::string("/dev/ttyUSB0"), SERIAL_READ, {}, cb), -1);
  EXPECT_NE(cb.errors[0].find("\"/dev/ttyUSB0\""), std::string::npos);
}

TEST_F(DispatcherTest, SetupFailure_ReportedAndPortClosed) {
  port.fail_purge = true;
  EXPECT_EQ(Run(SERIAL_READ), -1);
  EXPECT_EQ(cb.errors, std::vector<std::string>{"Неожиданная ошибка при настройке порта: PurgeComm() failed"});
  EXPECT_EQ(port.close_count, 1);
  EXPECT_TRUE(port.requests().empty());
}

TEST_F(DispatcherTest, SilentDevice_NoAnswerReportedAfter30s) {
  port.SetResponder(nullptr);
  const uint32_t start = clock.NowMs();
  EXPECT_EQ(Run(REBOOT), -1);
  EXPECT_EQ(cb.errors, std::vector<std::string>{"Нет ответа от устройства (код ошибки -1)"});
  EXPECT_GE(clock.NowMs() - start, 30000u);
  EXPECT_LT(clock.NowMs() - start, 32500u);
  EXPECT_EQ(port.close_count, 1);
}

TEST_F(DispatcherTest, ConfigWrite_ChunksOfDeviceSizeThenTimeAndQueue) {
  Bytes image(1000);
  std::iota(image.begin(), image.end(), 0);
  Bytes received;
  device.on[CMD_CONFIG_WRITE_BEGIN] = [&](const Request& r) {
    received = r.payload;
    return Reply{ANS_OK, ScriptedDevice::U16(200)};
  };
  device.on[CMD_CONFIG_WRITE_CHUNK] = [&](const Request& r) {
    received.insert(received.end(), r.payload.begin(), r.payload.end());
    return Reply{};
  };
  EXPECT_EQ(Run(CONFIG_WRITE, {image.data(), image.size(), nullptr}), 0);
  EXPECT_EQ(PayloadSizes(CMD_CONFIG_WRITE_CHUNK), (std::vector<size_t>{200, 200, 200, 200, 200}));
  // The header goes first on its own, then the whole image again, header included.
  EXPECT_EQ(Bytes(received.begin() + 32, received.end()), image);
  EXPECT_EQ(Bytes(received.begin(), received.begin() + 32), Bytes(image.begin(), image.begin() + 32));
  EXPECT_EQ(Commands(), (std::vector<uint8_t>{CMD_CONFIG_WRITE_BEGIN, 0x43, 0x43, 0x43, 0x43, 0x43, CMD_SET_TIME,
                                              CMD_CLEAR_EVENT_QUEUE}));
  EXPECT_EQ(cb.stages, (std::vector<std::string>{"Подключение к устройству/30000", "Чтение версии прошивки/30000",
                                                 "Подготовка к записи конфигурации/30000", "Запись конфигурации/1000",
                                                 "Установка времени в приборе/30000",
                                                 "Очистка очереди извещений/30000"}));
  EXPECT_EQ(cb.last_position["Запись конфигурации"], 1000u);
}

TEST_F(DispatcherTest, ConfigWrite_ImageSizeAndChunkSizeLimits) {
  Bytes image(32, 0x55);
  device.on[CMD_CONFIG_WRITE_BEGIN] = [](const Request&) { return Reply{ANS_OK, ScriptedDevice::U16(200)}; };
  EXPECT_EQ(Run(CONFIG_WRITE, {image.data(), 32, nullptr}), 0);
  EXPECT_EQ(PayloadSizes(CMD_CONFIG_WRITE_CHUNK), std::vector<size_t>{32});

  EXPECT_EQ(Run(CONFIG_WRITE, {image.data(), 31, nullptr}), -1);
  EXPECT_EQ(Run(CONFIG_WRITE, {}), -1);
  EXPECT_EQ(cb.errors, (std::vector<std::string>{"SerialCore: bad params for CONFIG_WRITE",
                                                 "SerialCore: bad params for CONFIG_WRITE"}));
  cb.errors.clear();
  for (uint16_t chunk : {300, 0}) {
    device.on[CMD_CONFIG_WRITE_BEGIN] = [chunk](const Request&) { return Reply{ANS_OK, ScriptedDevice::U16(chunk)}; };
    EXPECT_EQ(Run(CONFIG_WRITE, {image.data(), 32, nullptr}), -1);
  }
  device.size_b = 64;  // the device's own limit is the ceiling, too
  device.on[CMD_CONFIG_WRITE_BEGIN] = [](const Request&) { return Reply{ANS_OK, ScriptedDevice::U16(65)}; };
  EXPECT_EQ(Run(CONFIG_WRITE, {image.data(), 32, nullptr}), -1);
  device.on[CMD_CONFIG_WRITE_BEGIN] = [](const Request&) { return Reply{ANS_OK, {64}}; };
  EXPECT_EQ(Run(CONFIG_WRITE, {image.data(), 32, nullptr}), -1);
  const std::string params = "Не удалось согласовать параметры передачи данных (код ошибки -13)";
  EXPECT_EQ(cb.errors, (std::vector<std::string>{params, params, params,
                                                 "От устройства получен некорректный ответ на команду (код ошибки -12)"}));
}

TEST_F(DispatcherTest, ConfigWrite_ClockBefore2012_SkipsTimeButClearsQueue) {
  clock.SetLocal({2011, 12, 31, 23, 59, 59});
  device.on[CMD_CONFIG_WRITE_BEGIN] = [](const Request&) { return Reply{ANS_OK, ScriptedDevice::U16(64)}; };
  Bytes image(40, 1);
  EXPECT_EQ(Run(CONFIG_WRITE, {image.data(), image.size(), nullptr}), 0);
  EXPECT_EQ(cb.errors, std::vector<std::string>{
                           "Время в приборе не установлено, т.к. год на часах компьютера меньше 2012"});
  EXPECT_EQ(PayloadSizes(CMD_SET_TIME).size(), 0u);
  EXPECT_EQ(Commands().back(), CMD_CLEAR_EVENT_QUEUE);
}

TEST_F(DispatcherTest, SetTime_SendsLocalTimeAsDeviceTime) {
  clock.SetLocal({2013, 3, 1, 0, 0, 0});
  EXPECT_EQ(Run(SET_TIME), 0);
  ASSERT_EQ(PayloadSizes(CMD_SET_TIME), std::vector<size_t>{4});
  EXPECT_EQ(port.requests().back().payload, ScriptedDevice::U32(36720000));
}

class ReadTest : public DispatcherTest {
 protected:
  // The device announces `announced` and then hands out `chunks` in order
  // (an empty chunk once they run out).
  void Script(uint8_t begin, uint8_t chunk, uint32_t announced, std::vector<Bytes> chunks) {
    m_chunks = std::move(chunks);
    device.on[begin] = [announced](const Request&) { return Reply{ANS_OK, ScriptedDevice::U32(announced)}; };
    device.on[chunk] = [this](const Request&) {
      if (m_next >= m_chunks.size()) return Reply{};
      return Reply{ANS_OK, m_chunks[m_next++]};
    };
  }
  std::vector<Bytes> m_chunks;
  size_t m_next = 0;
};

TEST_F(ReadTest, ConfigRead_DeliversChunksInOrderWithPositions) {
  Script(CMD_CONFIG_READ_BEGIN, CMD_CONFIG_READ_CHUNK, 300, {Bytes(256, 1), Bytes(44, 2)});
  EXPECT_EQ(Run(CONFIG_READ), 0);
  EXPECT_EQ(cb.data_bytes.size(), 300u);
  EXPECT_EQ(cb.positions, (std::vector<size_t>{0, 256}));
  EXPECT_EQ(cb.stages.back(), "Чтение конфигурации/300");
}

TEST_F(ReadTest, ConfigRead_ChunkBeyondRemainingOrEmptyIsBadAnswer) {
  Script(CMD_CONFIG_READ_BEGIN, CMD_CONFIG_READ_CHUNK, 100, {Bytes(60, 1), Bytes(41, 2)});
  EXPECT_EQ(Run(CONFIG_READ), -1);
  EXPECT_EQ(cb.errors, std::vector<std::string>{"От устройства получен некорректный ответ на команду (код ошибки -12)"});
  m_next = 0;
  Script(CMD_CONFIG_READ_BEGIN, CMD_CONFIG_READ_CHUNK, 100, {Bytes(60, 1)});  // then an empty chunk
  EXPECT_EQ(Run(CONFIG_READ), -1);
  device.on[CMD_CONFIG_READ_BEGIN] = [](const Request&) { return Reply{ANS_OK, {1, 0, 0}}; };
  EXPECT_EQ(Run(CONFIG_READ), -1);
  EXPECT_EQ(cb.errors.size(), 3u);
}

TEST_F(ReadTest, ConfigRead_EmptyConfigurationSucceedsWithNothing) {
  Script(CMD_CONFIG_READ_BEGIN, CMD_CONFIG_READ_CHUNK, 0, {});
  EXPECT_EQ(Run(CONFIG_READ), 0);
  EXPECT_TRUE(cb.data_bytes.empty());
  EXPECT_TRUE(PayloadSizes(CMD_CONFIG_READ_CHUNK).empty());
}

TEST_F(ReadTest, JournalRead_OverAndUnderDeliveryEndAtFirstEmptyChunk) {
  Script(CMD_JOURNAL_READ_BEGIN, CMD_JOURNAL_READ_CHUNK, 100, {Bytes(100, 1), Bytes(50, 2)});
  EXPECT_EQ(Run(JOURNAL_READ), 0);
  EXPECT_EQ(cb.data_bytes.size(), 150u);
  EXPECT_EQ(cb.positions, (std::vector<size_t>{0, 100}));
  EXPECT_EQ(PayloadSizes(CMD_JOURNAL_READ_CHUNK).size(), 3u);

  cb = RecordingCallback();
  m_next = 0;
  Script(CMD_JOURNAL_READ_BEGIN, CMD_JOURNAL_READ_CHUNK, 100, {Bytes(40, 3)});
  EXPECT_EQ(Run(JOURNAL_READ), 0);
  EXPECT_EQ(cb.data_bytes, Bytes(40, 3));

  cb = RecordingCallback();
  m_next = 0;
  Script(CMD_JOURNAL_READ_BEGIN, CMD_JOURNAL_READ_CHUNK, 0, {Bytes(40, 3)});
  EXPECT_EQ(Run(JOURNAL_READ), 0);
  EXPECT_TRUE(cb.data_bytes.empty());  // an announced 0 reads nothing
}

TEST_F(ReadTest, ReadAboveTheFileLimits_RefusedBeforeAnyChunkAndEndlessJournalStopped) {
  // A file's limits: an image of 32 bytes and 1 MiB of data, 64 MiB of journal.
  struct {
    uint8_t begin, chunk;
    unsigned action;
    uint32_t announced;
    const char* error;
  } cases[] = {
      {CMD_CONFIG_READ_BEGIN, CMD_CONFIG_READ_CHUNK, CONFIG_READ, 1024 * 1024 + 33,
       "Конфигурация прибора больше допустимых 1 МБ (1048609 байт): чтение прервано"},
      {CMD_JOURNAL_READ_BEGIN, CMD_JOURNAL_READ_CHUNK, JOURNAL_READ, 0xFFFFFFFF,
       "Журнал прибора больше допустимых 64 МБ (4294967295 байт): чтение прервано"},
  };
  for (const auto& c : cases) {
    cb = RecordingCallback();
    Script(c.begin, c.chunk, c.announced, {Bytes(10, 1)});
    EXPECT_EQ(Run(c.action), -1);
    EXPECT_EQ(cb.errors, std::vector<std::string>{c.error});
    EXPECT_TRUE(PayloadSizes(c.chunk).empty());
  }
  // A journal that never ends stops before the chunk that would pass the limit.
  link.set_read_limits({.config = kMaxConfigReadBytes, .journal = 1000});
  cb = RecordingCallback();
  Script(CMD_JOURNAL_READ_BEGIN, CMD_JOURNAL_READ_CHUNK, 100, std::vector<Bytes>(9, Bytes(256, 7)));
  EXPECT_EQ(Run(JOURNAL_READ), -1);
  EXPECT_EQ(cb.data_bytes.size(), 768u);
  EXPECT_EQ(cb.errors.size(), 1u);
}

TEST_F(DispatcherTest, Reboot_ReconnectAnswerIsSuccessOtherRefusalsAreNot) {
  device.on[CMD_REBOOT] = [](const Request&) { return Reply{ANS_RECONNECT}; };
  EXPECT_EQ(Run(REBOOT), 0);
  EXPECT_TRUE(cb.errors.empty());
  device.on[CMD_REBOOT] = [](const Request&) { return Reply{0x86}; };
  EXPECT_EQ(Run(REBOOT), -1);
  EXPECT_EQ(cb.errors, std::vector<std::string>{"Команда 0x48 отвергнута устройством.\n\nКод ответа 0x86: Команда "
                                                "недопустима для текущего состояния прибора"});
}

TEST_F(DispatcherTest, SerialWrite_LengthLimits) {
  const std::string max(32, '7');
  EXPECT_EQ(Run(SERIAL_WRITE, {nullptr, 0, max.c_str()}), 0);
  EXPECT_EQ(PayloadSizes(CMD_SERIAL_WRITE), std::vector<size_t>{32});
  const std::string too_long(33, '7');
  EXPECT_EQ(Run(SERIAL_WRITE, {nullptr, 0, too_long.c_str()}), -1);
  EXPECT_EQ(Run(SERIAL_WRITE, {nullptr, 0, ""}), -1);
  EXPECT_EQ(cb.errors, (std::vector<std::string>{"SerialCore: bad params for SERIAL_WRITE (len=33)",
                                                 "SerialCore: bad params for SERIAL_WRITE (len=0)"}));
}

// The device's version and serial number reach the log as text: 1251
// converted, control characters escaped so they cannot drive a terminal.
TEST_F(DispatcherTest, DeviceTexts_ConvertedAndEscaped) {
  device.version = "Tamlo 3.11\x1b]0;x\x07";
  device.on[CMD_SERIAL_READ] = [](const Request&) {
    const std::string s = "\xC0\xC1\r\n12";
    return Reply{ANS_OK, Bytes(s.begin(), s.end())};
  };
  EXPECT_EQ(Run(SERIAL_READ), 0);
  EXPECT_EQ(cb.versions, std::vector<std::string>{"3.11\\x1B]0;x\\x07"});
  EXPECT_EQ(cb.log[2], "Подключено устройство: Tamlo 3.11\\x1B]0;x\\x07");
  EXPECT_EQ(cb.log[3], "Серийный номер: АБ\\r\\n12");

  device.version = "\xCF\xF0\xE8\xE1\xEE\xF0\x1b";
  cb = RecordingCallback();
  EXPECT_EQ(Run(SERIAL_READ), -1);
  EXPECT_EQ(cb.errors, std::vector<std::string>{
                           "Устройство или прошивка \"Прибор\\x1B\" не поддерживаются в данной версии конфигуратора"});
}

TEST_F(DispatcherTest, KeyChange_WriteDeleteAndTheTwoSpecialRefusals) {
  device.on[CMD_KEYS_STATUS] = [](const Request&) { return Reply{ANS_OK, {4, 0x01}}; };
  Bytes write = {2, 16};
  for (int i = 0; i < 16; ++i) write.push_back(static_cast<uint8_t>(0xA0 + i));
  EXPECT_EQ(Run(KEY_CHANGE, {write.data(), write.size(), nullptr}), 0);
  const Request& change = port.requests()[port.requests().size() - 2];
  EXPECT_EQ(change.command, CMD_KEY_CHANGE);
  Bytes expected = {2};  // the key number, then the key; the length byte stays home
  expected.insert(expected.end(), write.begin() + 2, write.end());
  EXPECT_EQ(change.payload, expected);
  EXPECT_EQ(cb.keys, std::vector<Bytes>{Bytes({4, 0x01})});  // status shown after the change

  const Bytes remove = {2, 0};
  EXPECT_EQ(Run(KEY_CHANGE, {remove.data(), remove.size(), nullptr}), 0);
  EXPECT_EQ(PayloadSizes(CMD_KEY_CHANGE).back(), 1u);

  device.on[CMD_KEY_CHANGE] = [](const Request&) { return Reply{ANS_REBOOT_REQUIRED}; };
  EXPECT_EQ(Run(KEY_CHANGE, {remove.data(), remove.size(), nullptr}), -1);
  device.on[CMD_KEY_CHANGE] = [](const Request&) { return Reply{ANS_NO_SPACE}; };
  EXPECT_EQ(Run(KEY_CHANGE, {remove.data(), remove.size(), nullptr}), -1);
  ASSERT_EQ(cb.errors.size(), 2u);  // each reported once, in its own words
  EXPECT_EQ(cb.errors[0].rfind("В устройство записана новая конфигурация", 0), 0u);
  EXPECT_EQ(cb.errors[1].rfind("Недостаточно свободного места", 0), 0u);

  const Bytes truncated = {2, 16, 1, 2};
  EXPECT_EQ(Run(KEY_CHANGE, {truncated.data(), truncated.size(), nullptr}), -1);
  EXPECT_EQ(cb.errors.back(), "SerialCore: bad params for KEY_CHANGE (len=4)");
}

TEST_F(DispatcherTest, KeyChange_KeyMustLeaveRoomForItsNumberInTheMtu) {
  device.size_b = 40;  // TX MTU 40: the number and 39 key bytes fit
  device.on[CMD_KEYS_STATUS] = [](const Request&) { return Reply{ANS_OK, {4, 0x01}}; };
  for (const uint8_t length : {39, 40}) {
    SCOPED_TRACE(length);
    Bytes request = {0, length};
    request.resize(2 + length, 0x5A);
    cb.errors.clear();
    const int r = Run(KEY_CHANGE, {request.data(), request.size(), nullptr});
    if (length == 39) {
      EXPECT_EQ(r, 0);
      EXPECT_EQ(PayloadSizes(CMD_KEY_CHANGE).back(), 40u);
    } else {
      EXPECT_EQ(r, -1);
      EXPECT_EQ(cb.errors, std::vector<std::string>{"SerialCore: bad params for KEY_CHANGE (len=42)"});
    }
  }
  EXPECT_EQ(PayloadSizes(CMD_KEY_CHANGE).size(), 1u);
}

TEST_F(DispatcherTest, GsmStatus_PollsEverySecondUntilCancelled) {
  int polls = 0;
  device.on[CMD_GSM_STATUS] = [&](const Request&) {
    ++polls;
    return Reply{ANS_OK, {2, 0, 0xA1, static_cast<uint8_t>(polls), 0x01, 99}};
  };
  pump.PostAt(clock.NowMs() + 3500, [&] { link.RequestCancel(); });
  EXPECT_EQ(Run(GSM_STATUS), 0);
  EXPECT_TRUE(cb.errors.empty());
  ASSERT_GE(cb.gsm.size(), 3u);
  EXPECT_LE(cb.gsm.size(), 4u);
  std::vector<uint32_t> at;
  for (const Request& r : port.requests())
    if (r.command == CMD_GSM_STATUS) at.push_back(r.at_ms);
  for (size_t i = 1; i < at.size(); ++i) {
    EXPECT_GE(at[i] - at[i - 1], 1000u);
    EXPECT_LT(at[i] - at[i - 1], 1100u);
  }
}

// The link's transmit buffers live for the whole run; a key written to the
// device must not stay in them, also when a password was asked in between.
TEST_F(DispatcherTest, KeyChange_LeavesNoKeyBytesInTheTransmitBuffers) {
  bool authorised = false;
  device.on[CMD_PASSWORD] = [&](const Request&) {
    authorised = true;
    return Reply{ANS_OK};
  };
  device.on[CMD_KEY_CHANGE] = [&](const Request&) { return Reply{authorised ? ANS_OK : ANS_BAD_PASSWORD}; };
  device.on[CMD_KEYS_STATUS] = [](const Request&) { return Reply{ANS_OK, {4, 0x01}}; };
  cb.passwords = {"4711"};
  Bytes write = {0, 16};
  for (int i = 0; i < 16; ++i) write.push_back(static_cast<uint8_t>(0xC3 + i));
  ASSERT_EQ(Run(KEY_CHANGE, {write.data(), write.size(), nullptr}), 0);
  ASSERT_EQ(PayloadSizes(CMD_KEY_CHANGE), (std::vector<size_t>{17, 17}));  // resent after the password
  const Bytes key(write.begin() + 2, write.end());
  const auto holds_key_part = [&key](const uint8_t* buffer, size_t size) {
    // Any 4 key bytes in a row (the frame escapes some bytes, not these).
    for (size_t k = 0; k + 4 <= key.size(); ++k)
      if (std::search(buffer, buffer + size, key.begin() + k, key.begin() + k + 4) != buffer + size) return true;
    return false;
  };
  EXPECT_FALSE(holds_key_part(link.core().tx_block(), kMaxBlock));
  EXPECT_FALSE(holds_key_part(link.core().tx_frame(), kFrameBufferSize));
}

TEST_F(DispatcherTest, GsmStatus_ShortReplyEndsWithBadAnswer) {
  device.on[CMD_GSM_STATUS] = [](const Request&) { return Reply{ANS_OK, {2, 0, 0xA1, 10, 0x01}}; };
  EXPECT_EQ(Run(GSM_STATUS), -1);
  EXPECT_TRUE(cb.gsm.empty());
  EXPECT_EQ(cb.errors.size(), 1u);
}

TEST_F(DispatcherTest, CancelDuringConfigRead_ReportedAsCancelled) {
  device.on[CMD_CONFIG_READ_BEGIN] = [](const Request&) { return Reply{ANS_OK, ScriptedDevice::U32(100000)}; };
  device.on[CMD_CONFIG_READ_CHUNK] = [](const Request&) { return Reply{ANS_OK, Bytes(100, 1)}; };
  pump.PostAt(clock.NowMs() + 2000, [&] { link.RequestCancel(); });
  EXPECT_EQ(Run(CONFIG_READ), -1);
  EXPECT_EQ(cb.errors, std::vector<std::string>{"Операция отменена пользователем (код ошибки -2)"});
  EXPECT_EQ(port.close_count, 1);
}

TEST_F(DispatcherTest, Misuse_EnglishMessagesAndNoExchange) {
  struct Case {
    bool with_port;
    bool cached;
    unsigned action;
    const char* message;
  } cases[] = {
      {false, false, SERIAL_READ, "serial_process(): no device, no cached handle!"},
      {true, true, SERIAL_READ, "serial_process(): cached handle still active!"},
      {false, true, MODEM_DIAL, "serial_process(): double dial???"},
      {true, false, MODEM_HANGUP, "serial_process(): disconnect must be done on cached handle"},
      {false, true, FW_UPDATE, "serial_process(): FOTA not supported"},
      {true, false, FW_UPDATE, "SerialCore: bad params for FW_UPDATE"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.message);
    cb = RecordingCallback();
    link.set_cached_connection(c.cached);
    const int opens = port.open_count, closes = port.close_count;
    const std::optional<std::string> name = c.with_port ? std::optional<std::string>("COM3") : std::nullopt;
    EXPECT_EQ(link.serial_process(name, c.action, {}, cb), -1);
    EXPECT_EQ(cb.errors, std::vector<std::string>{c.message});
    EXPECT_EQ(port.open_count - opens, port.close_count - closes);  // whatever was opened is closed
  }
  EXPECT_TRUE(port.requests().empty());
  link.set_cached_connection(false);
  cb = RecordingCallback();
  EXPECT_EQ(Run(13), -1);
  EXPECT_EQ(cb.errors, std::vector<std::string>{"SerialCore: unknown action 13"});
}

TEST_F(DispatcherTest, CachedConnection_RunsWithoutPortAndChecksCarrier) {
  ASSERT_TRUE(port.Open("COM5"));  // as the dialer leaves it
  link.set_cached_connection(true);
  EXPECT_EQ(link.serial_process(std::nullopt, SERIAL_READ, {}, cb), 0);
  EXPECT_EQ(port.close_count, 0);  // the connection stays open
  port.carrier = false;
  EXPECT_EQ(link.serial_process(std::nullopt, SERIAL_READ, {}, cb), -1);
  EXPECT_EQ(cb.errors, std::vector<std::string>{"Модемное соединение разорвано (код ошибки -7)"});
  EXPECT_TRUE(link.has_cached_connection());
}

TEST_F(DispatcherTest, PasswordAskedForIdentification_ThenActionGoesThrough) {
  bool unlocked = false;
  device.on[CMD_GET_VERSION] = [&](const Request&) {
    const std::string v = "Tamlo 3.11";
    return unlocked ? Reply{ANS_OK, Bytes(v.begin(), v.end())} : Reply{ANS_BAD_PASSWORD};
  };
  device.on[CMD_PASSWORD] = [&](const Request& r) {
    unlocked = std::string(r.payload.begin(), r.payload.end()) == "secret";
    return Reply{unlocked ? ANS_OK : ANS_BAD_PASSWORD};
  };
  cb.passwords = {"wrong", "secret"};
  EXPECT_EQ(Run(REBOOT), 0);
  EXPECT_EQ(cb.password_attempts, (std::vector<unsigned>{0, 1}));
  EXPECT_EQ(cb.versions, std::vector<std::string>{"3.11"});
}

}  // namespace
}  // namespace tamlo::link::testing
