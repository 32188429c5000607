// The command protocol over a scripted port and a manual clock: handshake
// rules, the retransmission ladder, block numbering, refusals, the password
// dialogue, and the byte-moving layer's failures.
#include <gtest/gtest.h>

#include "fake_port.h"
#include "link/command_protocol.h"
#include "link/link_codes.h"
#include "recording_callback.h"
#include "scripted_device.h"

namespace tamlo::link::testing {
namespace {

class ProtocolTest : public ::testing::Test {
 protected:
  ProtocolTest() : port(clock), pump(clock), core(port, clock, pump), protocol(core) {
    port.Open("COM1");
    core.ResetForExchange();
  }
  // Sends times relative to the first request, in ms.
  std::vector<uint32_t> SendTimes() const {
    std::vector<uint32_t> t;
    for (const Request& r : port.requests()) t.push_back(r.at_ms - port.requests().front().at_ms);
    return t;
  }

  ManualClock clock{1000};
  FakePort port;
  ManualPump pump;
  SerialCore core;
  CommandProtocol protocol;
  RecordingCallback cb;
};

TEST_F(ProtocolTest, Handshake_IgnoresForeignAnswersAndResendsEvery4sUntil30s) {
  port.SetResponder([](const Request& r, FakePort& p) {
    uint32_t challenge = 0;
    for (int i = 0; i < 4; ++i) challenge |= static_cast<uint32_t>(r.payload[i]) << (8 * i);
    Bytes good = ScriptedDevice::U32(~challenge);
    good.insert(good.end(), {0, 1, 0, 1});
    Bytes wrong = ScriptedDevice::U32(challenge);
    wrong.insert(wrong.end(), {0, 1, 0, 1});
    p.Answer(0, ANS_OK, wrong);       // wrong complement
    p.Answer(1, ANS_OK, good);        // non-zero block number
    p.Answer(0, 0x83, good);          // not accepted
    p.Answer(0, ANS_OK, {1, 2, 3});   // too short
  });
  EXPECT_EQ(protocol.Connect(cb, false), LINK_NO_ANSWER);
  // A read blocks up to 100 ms, so each resend comes 4000..4100 ms after the last.
  const std::vector<uint32_t> t = SendTimes();
  ASSERT_EQ(t.size(), 8u);
  for (size_t i = 1; i < t.size(); ++i) {
    EXPECT_GE(t[i] - t[i - 1], 4000u);
    EXPECT_LT(t[i] - t[i - 1], 4100u);
  }
  for (const Request& r : port.requests()) EXPECT_EQ(r.payload, port.requests()[0].payload);  // same frame
  EXPECT_EQ(cb.stages, std::vector<std::string>{"Подключение к устройству/30000"});
  EXPECT_TRUE(cb.errors.empty());  // reporting is the caller's
}

TEST_F(ProtocolTest, Handshake_SizesSetMtuOrFail) {
  struct Case {
    uint16_t a, b;
    int result;
    uint32_t mtu;
  } cases[] = {{256, 256, 0, 256}, {256, 64, 0, 64}, {32, 300, 0, 256}, {31, 256, LINK_CONNECT_PARAMS, 256},
               {256, 31, LINK_CONNECT_PARAMS, 256}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.b);
    ScriptedDevice device(port);
    device.size_a = c.a;
    device.size_b = c.b;
    core.ResetForExchange();
    EXPECT_EQ(protocol.Connect(cb, false), c.result);
    EXPECT_EQ(core.tx_mtu(), c.mtu);
  }
}

TEST_F(ProtocolTest, QuietHandshake_OneAttemptNoProgress) {
  EXPECT_EQ(protocol.Connect(cb, true), LINK_NO_ANSWER);
  EXPECT_EQ(port.requests().size(), 1u);
  EXPECT_TRUE(cb.stages.empty());
}

TEST_F(ProtocolTest, SilentDevice_EightSendsSameNumberThenNoAnswer) {
  ScriptedDevice device(port);
  ASSERT_EQ(protocol.Connect(cb, false), 0);
  device.on[CMD_REBOOT] = [](const Request&) { return Reply{ANS_OK, {}, true}; };
  const size_t before = port.requests().size();
  EXPECT_EQ(protocol.Exchange(CMD_REBOOT, 0, "Перезагрузка устройства", nullptr, cb), LINK_NO_ANSWER);
  std::vector<uint32_t> times;
  for (size_t i = before; i < port.requests().size(); ++i) {
    EXPECT_EQ(port.requests()[i].number, 1);
    times.push_back(port.requests()[i].at_ms - port.requests()[before].at_ms);
  }
  EXPECT_EQ(times, (std::vector<uint32_t>{0, 4000, 8000, 12000, 16000, 20000, 24000, 28000}));
  ASSERT_EQ(cb.log.size(), 7u);
  EXPECT_EQ(cb.log.front(), "Повтор команды (попытка 1)");
  EXPECT_EQ(cb.log.back(), "Повтор команды (попытка 7)");
  EXPECT_EQ(protocol.ReportLinkResult(LINK_NO_ANSWER, cb), LINK_NO_ANSWER);
  EXPECT_EQ(cb.errors, std::vector<std::string>{"Нет ответа от устройства (код ошибки -1)"});
}

TEST_F(ProtocolTest, RetryLaterThenSilence_NewNumberAfter1sAndGivesUpAt30s) {
  ScriptedDevice device(port);
  ASSERT_EQ(protocol.Connect(cb, false), 0);
  int answers = 0;
  device.on[CMD_SET_TIME] = [&](const Request&) {
    return ++answers == 1 ? Reply{ANS_RETRY_LATER} : Reply{ANS_OK, {}, true};
  };
  core.tx_payload()[0] = 0xAB;
  const uint32_t start = clock.NowMs();
  EXPECT_EQ(protocol.Exchange(CMD_SET_TIME, 1, "Установка времени в приборе", nullptr, cb), LINK_NO_ANSWER);
  EXPECT_LE(clock.NowMs() - start, 34000u);
  std::vector<Request> sent(port.requests().begin() + 1, port.requests().end());
  ASSERT_GE(sent.size(), 2u);
  EXPECT_EQ(sent[0].number, 1);
  EXPECT_EQ(sent[1].number, 2);
  EXPECT_GE(sent[1].at_ms - sent[0].at_ms, 1000u);
  EXPECT_LT(sent[1].at_ms - sent[0].at_ms, 1100u);
  for (const Request& r : sent) {
    EXPECT_EQ(r.payload, Bytes{0xAB});
    EXPECT_LT(r.at_ms - start, 30000u);  // the 0x87 does not extend the 30 s
  }
  EXPECT_EQ(cb.log[0], "Повтор команды (попытка 1)");
}

TEST_F(ProtocolTest, RetryLaterOnFourthSend_KeepsTheFirstSendsDeadline) {
  ScriptedDevice device(port);
  ASSERT_EQ(protocol.Connect(cb, false), 0);
  int sends = 0;
  device.on[CMD_REBOOT] = [&](const Request&) {
    return ++sends == 4 ? Reply{ANS_RETRY_LATER} : Reply{ANS_OK, {}, true};
  };
  const size_t before = port.requests().size();
  EXPECT_EQ(protocol.Exchange(CMD_REBOOT, 0, nullptr, nullptr, cb), LINK_NO_ANSWER);
  std::vector<uint32_t> times;
  for (size_t i = before; i < port.requests().size(); ++i)
    times.push_back(port.requests()[i].at_ms - port.requests()[before].at_ms);
  // 0, 4, 8, 12 s; the 0x87 at 12 s brings the next send 1 s later, then every
  // 4 s until 30 s after the first: nine sends. A restarted limit would go on
  // to 41 s.
  const std::vector<uint32_t> expected = {0, 4000, 8000, 12000, 13000, 17000, 21000, 25000, 29000};
  ASSERT_EQ(times.size(), expected.size());
  for (size_t i = 0; i < times.size(); ++i) {
    SCOPED_TRACE(i);
    EXPECT_GE(times[i], expected[i]);
    EXPECT_LT(times[i], expected[i] + 600);  // a read blocks up to 100 ms
  }
  EXPECT_EQ(port.requests()[before + 4].number, port.requests()[before + 3].number + 1);
}

TEST_F(ProtocolTest, LinkFailureTexts_EachCodeItsOwnMessage) {
  const struct {
    int code;
    const char* text;
  } cases[] = {
      {-1, "Нет ответа от устройства (код ошибки -1)"},
      {-2, "Операция отменена пользователем (код ошибки -2)"},
      {-5, "Не удается записать данные в COM-порт (код ошибки -5)"},
      {-6, "Модем отверг команду инициализации (код ошибки -6)"},
      {-7, "Модемное соединение разорвано (код ошибки -7)"},
      {-10, "Не удалось согласовать параметры подключения к устройству (код ошибки -10)"},
      {-12, "От устройства получен некорректный ответ на команду (код ошибки -12)"},
      {-13, "Не удалось согласовать параметры передачи данных (код ошибки -13)"},
      {-14, "Ошибка чтения файла (код ошибки -14)"},
      {-15, "Передача прервана удаленной стороной (код ошибки -15)"},
      {-16, "Слишком много ошибок при передаче (код ошибки -16)"},
      {-17, "Неизвестная ошибка (код ошибки -17)"},
  };
  for (const auto& c : cases) {
    cb.errors.clear();
    EXPECT_EQ(protocol.ReportLinkResult(c.code, cb), c.code);
    EXPECT_EQ(cb.errors, std::vector<std::string>{c.text});
  }
}

TEST_F(ProtocolTest, LateAnswerWithOldNumber_LoggedAndIgnored) {
  ScriptedDevice device(port);
  ASSERT_EQ(protocol.Connect(cb, false), 0);
  ASSERT_EQ(protocol.Exchange(CMD_REBOOT, 0, nullptr, nullptr, cb), 0);  // block 1
  device.on[CMD_REBOOT] = [&](const Request&) {
    port.Answer(1, ANS_OK, {}, 1);  // the previous answer, repeated late
    return Reply{ANS_OK, {}};
  };
  EXPECT_EQ(protocol.Exchange(CMD_REBOOT, 0, nullptr, nullptr, cb), 0);
  EXPECT_EQ(cb.log, std::vector<std::string>{"Неверный номер блока: 1 вместо 2"});
}

TEST_F(ProtocolTest, AnswerToFirstCopyArrivingAfterResend_StillMatches) {
  ScriptedDevice device(port);
  ASSERT_EQ(protocol.Connect(cb, false), 0);
  device.on[CMD_REBOOT] = [&](const Request&) {
    return port.requests().size() == 2 ? Reply{ANS_OK, {}, true} : Reply{ANS_OK, {}};
  };
  EXPECT_EQ(protocol.Exchange(CMD_REBOOT, 0, nullptr, nullptr, cb), 0);
  EXPECT_EQ(port.requests().size(), 3u);
  EXPECT_EQ(port.requests()[2].number, 1);
}

TEST_F(ProtocolTest, BlockNumbers_StartAt1AfterHandshakeAndWrapTo1) {
  ScriptedDevice device(port);
  ASSERT_EQ(protocol.Connect(cb, false), 0);
  ASSERT_EQ(protocol.Exchange(CMD_REBOOT, 0, nullptr, nullptr, cb), 0);
  EXPECT_EQ(port.requests().back().number, 1);
  protocol.set_block_number(65534);
  ASSERT_EQ(protocol.Exchange(CMD_REBOOT, 0, nullptr, nullptr, cb), 0);
  EXPECT_EQ(port.requests().back().number, 65535);
  ASSERT_EQ(protocol.Exchange(CMD_REBOOT, 0, nullptr, nullptr, cb), 0);
  EXPECT_EQ(port.requests().back().number, 1);
  ASSERT_EQ(protocol.Connect(cb, false), 0);
  ASSERT_EQ(protocol.Exchange(CMD_REBOOT, 0, nullptr, nullptr, cb), 0);
  EXPECT_EQ(port.requests().back().number, 1);
}

TEST_F(ProtocolTest, Refusal_BecomesCodeMinus512AndItsReportNamesCommandAndText) {
  ScriptedDevice device(port);
  ASSERT_EQ(protocol.Connect(cb, false), 0);
  device.on[CMD_CONFIG_READ_BEGIN] = [](const Request&) { return Reply{0x83}; };
  const int r = protocol.Exchange(CMD_CONFIG_READ_BEGIN, 0, nullptr, nullptr, cb);
  EXPECT_EQ(r, -381);
  protocol.ReportLinkResult(r, cb);
  EXPECT_EQ(cb.errors, std::vector<std::string>{"Команда 0x02 отвергнута устройством.\n\nКод ответа 0x83: "
                                                "Команда выдана в неправильной последовательности"});
  cb.errors.clear();
  protocol.ReportLinkResult(RefusalCode(0x8C), cb);
  EXPECT_EQ(cb.errors[0], "Команда 0x02 отвергнута устройством.\n\nКод ответа 0x8C: Неизвестная ошибка");
  cb.errors.clear();
  for (int quiet : {-3, -4, -9, -11, 0}) protocol.ReportLinkResult(quiet, cb);
  EXPECT_TRUE(cb.errors.empty());
  protocol.ReportLinkResult(-8, cb);
  EXPECT_EQ(cb.errors, std::vector<std::string>{"Неизвестная ошибка (код ошибки -8)"});
}

TEST_F(ProtocolTest, HandlerZeroKeepsWaitingNegativeEnds) {
  ScriptedDevice device(port);
  ASSERT_EQ(protocol.Connect(cb, false), 0);
  device.on[CMD_GSM_STATUS] = [&](const Request& r) {
    port.Answer(r.number, ANS_OK, {2}, 20);
    return Reply{ANS_OK, {1}};
  };
  int calls = 0;
  auto keep_first = [&](size_t, LinkCallback&) { return ++calls == 1 ? 0 : 1; };
  EXPECT_EQ(protocol.Exchange(CMD_GSM_STATUS, 0, nullptr, keep_first, cb), 0);
  EXPECT_EQ(calls, 2);
  EXPECT_EQ(core.rx_payload()[0], 2);
  auto reject = [](size_t, LinkCallback&) { return LINK_BAD_ANSWER; };
  EXPECT_EQ(protocol.Exchange(CMD_GSM_STATUS, 0, nullptr, reject, cb), LINK_BAD_ANSWER);
}

class PasswordTest : public ProtocolTest {
 protected:
  PasswordTest() : device(port) {
    device.on[CMD_PASSWORD] = [this](const Request& r) {
      if (std::string(r.payload.begin(), r.payload.end()) == "1234") unlocked = true;
      return Reply{unlocked ? ANS_OK : ANS_BAD_PASSWORD};
    };
    device.on[CMD_SERIAL_WRITE] = [this](const Request& r) {
      serial_payloads.push_back(r.payload);
      return Reply{unlocked ? ANS_OK : ANS_BAD_PASSWORD};
    };
    EXPECT_EQ(protocol.Connect(cb, false), 0);
    cb.stages.clear();
    const std::string serial = "000000000042";
    serial.copy(reinterpret_cast<char*>(core.tx_payload()), serial.size());
  }
  ScriptedDevice device;
  bool unlocked = false;
  std::vector<Bytes> serial_payloads;
};

TEST_F(PasswordTest, UserCancelsPrompt_BadPasswordReportedWithInterruptedCommand) {
  const int r = protocol.ExchangeWithPassword(CMD_SERIAL_WRITE, 12, "Запись серийного номера", nullptr, cb);
  EXPECT_EQ(r, -376);
  EXPECT_EQ(cb.password_attempts, std::vector<unsigned>{0});
  protocol.ReportLinkResult(r, cb);
  EXPECT_EQ(cb.errors[0], "Команда 0x4B отвергнута устройством.\n\nКод ответа 0x88: Неверный пароль доступа к устройству");
}

TEST_F(PasswordTest, WrongThenRight_CommandResentWithItsPayload) {
  cb.passwords = {"9999", "1234"};
  EXPECT_EQ(protocol.ExchangeWithPassword(CMD_SERIAL_WRITE, 12, "Запись серийного номера", nullptr, cb), 0);
  EXPECT_EQ(cb.password_attempts, (std::vector<unsigned>{0, 1}));
  EXPECT_EQ(cb.max_lengths[0], 256u);
  ASSERT_EQ(serial_payloads.size(), 2u);
  EXPECT_EQ(serial_payloads[1], serial_payloads[0]);
  EXPECT_EQ(std::string(serial_payloads[1].begin(), serial_payloads[1].end()), "000000000042");
  EXPECT_EQ(cb.stages, (std::vector<std::string>{"Запись серийного номера/30000", "Передача пароля/30000",
                                                 "Передача пароля/30000", "Запись серийного номера/30000"}));
}

TEST_F(PasswordTest, WrongThenGiveUp_ReportNamesPasswordCommand) {
  cb.passwords = {"9999", ""};
  const int r = protocol.ExchangeWithPassword(CMD_SERIAL_WRITE, 12, nullptr, nullptr, cb);
  EXPECT_EQ(r, -376);
  protocol.ReportLinkResult(r, cb);
  EXPECT_EQ(cb.errors[0].rfind("Команда 0x08 отвергнута", 0), 0u);
}

// A device that keeps refusing: three wrong passwords typed in a row, or one
// password it accepts while it goes on refusing the command, which would
// otherwise repeat without end (the cached password goes out at attempt 0).
TEST_F(PasswordTest, ThreeRefusals_EndTheExchangeWithTheRefusal) {
  cb.passwords = {"1", "2", "3", "4"};
  EXPECT_EQ(protocol.ExchangeWithPassword(CMD_SERIAL_WRITE, 12, nullptr, nullptr, cb), -376);
  EXPECT_EQ(cb.password_attempts, (std::vector<unsigned>{0, 1, 2}));

  RecordingCallback same;
  device.on[CMD_PASSWORD] = [](const Request&) { return Reply{ANS_OK}; };
  same.passwords.assign(10, "1234");
  const size_t before = serial_payloads.size();
  const int r = protocol.ExchangeWithPassword(CMD_SERIAL_WRITE, 12, nullptr, nullptr, same);
  EXPECT_EQ(r, -376);
  EXPECT_EQ(same.password_attempts, (std::vector<unsigned>{0, 0, 0}));
  EXPECT_EQ(serial_payloads.size() - before, 4u);  // the command, then once after each accepted password
  protocol.ReportLinkResult(r, same);
  EXPECT_EQ(same.errors.back(),
            "Команда 0x4B отвергнута устройством.\n\nКод ответа 0x88: Неверный пароль доступа к устройству");
}

TEST_F(PasswordTest, PasswordIsCutAtTxMtu) {
  device.size_b = 40;
  ASSERT_EQ(protocol.Connect(cb, false), 0);
  std::vector<Bytes> sent;
  device.on[CMD_PASSWORD] = [&](const Request& r) {
    sent.push_back(r.payload);
    return Reply{ANS_BAD_PASSWORD};
  };
  cb.passwords = {std::string(100, 'x')};
  protocol.ExchangeWithPassword(CMD_SERIAL_WRITE, 12, nullptr, nullptr, cb);
  EXPECT_EQ(cb.max_lengths[0], 40u);
  ASSERT_EQ(sent.size(), 1u);
  EXPECT_EQ(sent[0].size(), 40u);
}

// --- the byte-moving layer ---

TEST_F(ProtocolTest, CancelDuringWrite_EndsBeforeNextWriteCall) {
  port.stall_write = true;
  pump.PostAt(clock.NowMs() + 250, [&] { core.RequestCancel(); });
  const uint8_t bytes[3] = {1, 2, 3};
  EXPECT_EQ(core.WritePort(bytes, 3, cb), LINK_CANCELLED);
  EXPECT_LT(clock.NowMs(), 1000u + 400u);
  // While disconnecting, cancel requests are ignored.
  core.set_disconnecting(true);
  core.RequestCancel();
  EXPECT_EQ(core.ProcessPendingMessages(), 0);
}

TEST_F(ProtocolTest, StalledWrite_GivesUpAfter30s) {
  port.stall_write = true;
  const uint8_t bytes[3] = {1, 2, 3};
  const uint32_t start = clock.NowMs();
  EXPECT_EQ(core.WritePort(bytes, 3, cb), LINK_WRITE_TIMEOUT);
  EXPECT_GE(clock.NowMs() - start, 30000u);
  EXPECT_LE(clock.NowMs() - start, 30200u);
}

TEST_F(ProtocolTest, FailingReadAndWrite_ReportedOnceWithSystemText) {
  port.fail_write = true;
  const uint8_t bytes[1] = {1};
  EXPECT_EQ(core.WritePort(bytes, 1, cb), LINK_WRITE_FAILED);
  port.fail_write = false;
  port.fail_read = true;
  EXPECT_EQ(core.ReceiveBlock(cb), LINK_READ_FAILED);
  EXPECT_EQ(cb.errors, (std::vector<std::string>{"Ошибка 5 при записи в порт:\n\nОтказано в доступе.",
                                                 "Ошибка 5 при чтении из порта:\n\nОтказано в доступе."}));
}

TEST_F(ProtocolTest, CarrierCheck_LostCarrierEndsReadAndWrite) {
  core.set_carrier_check(true);
  port.carrier = false;
  const uint8_t bytes[1] = {1};
  EXPECT_EQ(core.WritePort(bytes, 1, cb), LINK_CARRIER_LOST);
  EXPECT_EQ(core.ReceiveBlock(cb), LINK_CARRIER_LOST);
  EXPECT_TRUE(port.written().empty());
  core.ResetForExchange();  // a local exchange does not look at the carrier
  EXPECT_EQ(core.WritePort(bytes, 1, cb), 0);
}

TEST_F(ProtocolTest, WaitPumping_ReturnsOnTimeOrAtCancel) {
  const uint32_t start = clock.NowMs();
  EXPECT_EQ(core.WaitPumping(1000), 0);
  EXPECT_EQ(clock.NowMs() - start, 1000u);
  pump.PostAt(clock.NowMs() + 120, [&] { core.RequestCancel(); });
  EXPECT_EQ(core.WaitPumping(1000), LINK_CANCELLED);
  EXPECT_LE(clock.NowMs() - start, 1000u + 170u);
  EXPECT_EQ(core.ProcessPendingMessages(), 0);  // the request was consumed
}

TEST_F(ProtocolTest, SetupPort_AppliesLineSettingsAndReportsFailingStep) {
  port.driver_settings.xon_xoff = true;
  port.driver_settings.dsr_flow = true;
  EXPECT_EQ(core.SetupPort(false, cb), "");
  const PortSettings& s = port.applied_settings();
  EXPECT_EQ(s.baud, 115200u);
  EXPECT_TRUE(s.raw_8n1 && s.dtr_on && s.rts_on);
  EXPECT_FALSE(s.xon_xoff || s.dsr_flow || s.rts_cts);
  EXPECT_TRUE(cb.log.empty());  // no XON/XOFF limits on this platform: no dcb line
  EXPECT_EQ(core.SetupPort(true, cb), "");
  EXPECT_TRUE(port.applied_settings().rts_cts);
  EXPECT_FALSE(port.applied_settings().rts_on);

  port.driver_settings.xon_limit = 2048;
  port.driver_settings.xoff_limit = 512;
  EXPECT_EQ(core.SetupPort(false, cb), "");
  EXPECT_EQ(cb.log, std::vector<std::string>{"dcb: XonLim=2048 XoffLim=512"});

  port.fail_timeouts = true;
  EXPECT_EQ(core.SetupPort(false, cb), "SetCommTimeouts() failed");
  port.fail_purge = true;
  EXPECT_EQ(core.SetupPort(false, cb), "PurgeComm() failed");
  port.fail_set_settings = true;
  EXPECT_EQ(core.SetupPort(false, cb), "SetCommState() failed");
  port.fail_get_settings = true;
  EXPECT_EQ(core.SetupPort(false, cb), "GetCommState() failed");
}

TEST_F(ProtocolTest, SplitAnswerFrames_AssembledInAnyReadSize) {
  for (size_t chunk : {1, 2, 3, 5, 7, 13, 32, 1024}) {
    SCOPED_TRACE(chunk);
    port.read_chunk = chunk;
    ScriptedDevice device(port);
    device.on[CMD_KEYS_STATUS] = [](const Request&) { return Reply{ANS_OK, {4, 0x7E, 0x7D, 0x11, 0x13}}; };
    ASSERT_EQ(protocol.Connect(cb, false), 0);
    size_t got = 0;
    auto take = [&](size_t n, LinkCallback&) {
      got = n;
      return 1;
    };
    ASSERT_EQ(protocol.Exchange(CMD_KEYS_STATUS, 0, nullptr, take, cb), 0);
    EXPECT_EQ(Bytes(core.rx_payload(), core.rx_payload() + got), (Bytes{4, 0x7E, 0x7D, 0x11, 0x13}));
  }
}

}  // namespace
}  // namespace tamlo::link::testing
