// Modem replies, the dial sequence and the hang-up against a scripted modem
// on the fake port and clock.
#include <gtest/gtest.h>

#include "link/at_command.h"
#include "link/link_codes.h"
#include "link/modem_dialer.h"
#include "recording_callback.h"
#include "scripted_modem.h"

namespace tamlo::link::testing {
namespace {

class ModemTest : public ::testing::Test {
 protected:
  ModemTest() { port.Open("COM4"); }

  int Dial(const std::string& number = "812", bool fast = true) {
    return DialDevice(channel, DialInput{number, fast}, cb);
  }
  bool Logged(const std::string& line) const {
    return std::find(cb.log.begin(), cb.log.end(), line) != cb.log.end();
  }
  // The commands after the initialisation, for checking what the dial decided.
  std::vector<std::string> Commands() const { return modem.commands; }

  ManualClock clock{5000};
  ManualPump pump{clock};
  FakePort port{clock};
  SerialCore core{port, clock, pump};
  ModemChannel channel{core};
  ScriptedModem modem{port};
  RecordingCallback cb;
};

// A handler that records every matched pattern and never ends the wait.
struct Matches {
  std::vector<int> indexes;
  bool operator()(ModemChannel&, LinkCallback&, int index, int&) {
    indexes.push_back(index);
    return false;
  }
};

TEST_F(ModemTest, Patterns_MatchAcrossReadsAndOnlyAfterLineFeed) {
  port.read_chunk = 1;  // every byte its own read
  port.Feed(Bytes{'O', 'K', '\r', '\n'});
  port.Feed(Bytes{'\r', '\n', 'O', 'K', '\r', '\n'}, 50);
  port.Feed(Bytes{'\r', '\n', 'C', 'O', 'N', 'N', 'E', 'C', 'T', ' ', '9', '6', '0', '0', '\r', '\n'}, 100);
  port.Feed(Bytes{'\n', 'N', 'O', ' ', 'C', 'A', 'R', 'R', 'I', 'E', 'R', '\r'}, 150);
  Matches matches;
  EXPECT_EQ(channel.WaitModemReply(1000, cb, matches, 7, nullptr), 7);  // nothing ended it: the initial result
  EXPECT_EQ(matches.indexes, (std::vector<int>{kReplyOk, kReplyConnect, kReplyNoCarrier}));
  channel.FlushReplyLog(cb);
  EXPECT_EQ(cb.log, (std::vector<std::string>{"<= OK", "<= OK", "<= CONNECT 9600", "<= NO CARRIER"}));
}

TEST_F(ModemTest, Connect_MatchesAsSoonAsItsWordArrived) {
  port.Feed(Bytes{'\r', '\n', 'C', 'O', 'N', 'N', 'E', 'C', 'T'});
  port.Feed(Bytes{' ', '9', '6', '0', '0', '\r', '\n'}, 60000);  // the speed comes much later
  const uint32_t start = clock.NowMs();
  int seen = -1;
  auto handler = [&](ModemChannel&, LinkCallback&, int index, int& result) {
    seen = index;
    result = index;
    return true;
  };
  EXPECT_EQ(channel.WaitModemReply(120000, cb, handler, -1, "Ожидание соединения"), kReplyConnect);
  EXPECT_LT(clock.NowMs() - start, 1000u);
  EXPECT_EQ(cb.stages, std::vector<std::string>{"Ожидание соединения/120000"});
}

TEST_F(ModemTest, ReplyLog_LongLineInPiecesOf127) {
  std::string line(300, 'x');
  line[126] = 'a';
  line[253] = 'b';
  const std::string reply = "\r\n" + line + "\r\n";
  port.Feed(Bytes(reply.begin(), reply.end()));
  Matches matches;
  channel.WaitModemReply(500, cb, matches, 0, nullptr);
  ASSERT_EQ(cb.log.size(), 3u);
  EXPECT_EQ(cb.log[0], "<= " + line.substr(0, 127));
  EXPECT_EQ(cb.log[1], "<= " + line.substr(127, 127));
  EXPECT_EQ(cb.log[2], "<= " + line.substr(254));
}

TEST_F(ModemTest, AtWriteCommand_LimitOf530BytesWithCarriageReturn) {
  const std::string longest(530 - 4, '1');  // "ATD" + number + CR = 530
  EXPECT_EQ(channel.AtWriteCommand("ATD", longest, "", cb), 0);
  EXPECT_EQ(port.written().size(), 530u);
  EXPECT_EQ(port.written().back(), '\r');
  EXPECT_EQ(cb.log.back(), "=> ATD" + longest);

  const size_t before = port.written().size();
  EXPECT_EQ(channel.AtWriteCommand("ATD", longest + "1", "", cb), LINK_FAILED_REPORTED);
  EXPECT_EQ(cb.errors, std::vector<std::string>{"AtWriteCommand(): Command too long!"});
  EXPECT_EQ(port.written().size(), before);  // nothing sent

  // Without a suffix no CR follows: "+++" is three bytes.
  EXPECT_EQ(channel.AtWriteCommand("+++", "", nullptr, cb), 0);
  EXPECT_EQ(Bytes(port.written().end() - 3, port.written().end()), (Bytes{'+', '+', '+'}));
}

TEST_F(ModemTest, AtWriteCommand_PausesFirstAndHonoursCancel) {
  const uint32_t start = clock.NowMs();
  EXPECT_EQ(channel.AtWriteCommand("AT", "", "", cb), 0);
  EXPECT_GE(clock.NowMs() - start, kAtCommandPauseMs);
  pump.PostAt(clock.NowMs() + 100, [&] { core.RequestCancel(); });
  EXPECT_EQ(channel.AtWriteCommand("AT", "", "", cb), LINK_CANCELLED);
  EXPECT_EQ(port.written().size(), 3u);  // only the first command
}

TEST_F(ModemTest, Dial_HealthyModemConnectsWithoutChangingAnything) {
  EXPECT_EQ(Dial("+7 812"), 0);
  EXPECT_EQ(Commands(), (std::vector<std::string>{"AT", "AT+IFC?", "AT+CBST?", "ATD+7 812"}));
  EXPECT_TRUE(Logged("Набор номера '+7 812'"));
  EXPECT_TRUE(Logged("<= +IFC: 2,2"));
  EXPECT_TRUE(cb.errors.empty());
  ASSERT_FALSE(cb.stages.empty());
  EXPECT_EQ(cb.stages.front(), "Инициализация модема/0");
  EXPECT_EQ(cb.stages.back(), "Ожидание соединения/120000");
}

TEST_F(ModemTest, Dial_FlowControlAndBearerDecisions) {
  struct Case {
    const char* ifc;
    const char* cbst;
    bool fast;
    std::vector<std::string> settings;  // commands between the queries and ATD
  } cases[] = {
      {"0,0", "71,0,1", true, {"AT+IFC=2,2"}},
      {"2,2", "71,0,1", true, {}},
      {"2,2", "7,0,1", true, {"AT+CBST=71"}},
      {"2,2", "71,0,1", false, {"AT+CBST=7"}},
      {"2,2", "0,0,1", false, {}},
      {"2,2", "7,0,1", false, {}},
      {"2,0", "0,0,1", true, {"AT+IFC=2,2", "AT+CBST=71"}},
      {"\"x\", 2, 2", "71 ,0", true, {"AT+IFC=2,2"}},  // a text field shifts the numbers
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.ifc) + " / " + c.cbst + (c.fast ? " fast" : " v32"));
    modem.commands.clear();
    cb = RecordingCallback();
    modem.reply = [&](const std::string& command) -> std::string {
      if (command == "AT+IFC?") return std::string("\r\n+IFC: ") + c.ifc + "\r\n\r\nOK\r\n";
      if (command == "AT+CBST?") return std::string("\r\n+CBST: ") + c.cbst + "\r\n\r\nOK\r\n";
      return ScriptedModem::Default(command);
    };
    EXPECT_EQ(Dial("5", c.fast), 0);
    std::vector<std::string> expected{"AT", "AT+IFC?"};
    for (const std::string& s : c.settings)
      if (s.rfind("AT+IFC=", 0) == 0) expected.push_back(s);
    expected.push_back("AT+CBST?");
    for (const std::string& s : c.settings)
      if (s.rfind("AT+CBST=", 0) == 0) expected.push_back(s);
    expected.push_back("ATD5");
    EXPECT_EQ(modem.commands, expected);
  }
}

TEST_F(ModemTest, Dial_SilentModemTriedThreeTimes) {
  modem.reply = [](const std::string&) { return std::string(); };
  EXPECT_EQ(Dial(), LINK_NO_ANSWER);
  EXPECT_EQ(modem.commands, (std::vector<std::string>{"AT", "AT", "AT"}));
  EXPECT_TRUE(cb.errors.empty());  // the dispatcher reports -1
}

TEST_F(ModemTest, Dial_SecondAtAnsweredGoesOn) {
  int ats = 0;
  modem.reply = [&](const std::string& command) {
    if (command == "AT" && ++ats == 1) return std::string();
    return ScriptedModem::Default(command);
  };
  EXPECT_EQ(Dial(), 0);
  EXPECT_EQ(ats, 2);
}

TEST_F(ModemTest, Dial_RefusedSettingGivesMinus6) {
  for (const char* refusal : {"\r\nERROR\r\n", "\r\n+CME ERROR: 3\r\n", "\r\n+CMS ERROR: 500\r\n"}) {
    SCOPED_TRACE(refusal);
    modem.commands.clear();
    modem.reply = [&](const std::string& command) -> std::string {
      if (command == "AT+CBST=71") return refusal;
      if (command == "AT+CBST?") return "\r\n+CBST: 7,0,1\r\n\r\nOK\r\n";
      return ScriptedModem::Default(command);
    };
    EXPECT_EQ(Dial(), LINK_MODEM_REJECTED);
    EXPECT_EQ(modem.commands.back(), "AT+CBST=71");  // no dial
    // The error's number stays in the log line: it is what tells the causes apart.
    const std::string line = std::string(refusal).substr(2, std::string(refusal).size() - 4);
    EXPECT_TRUE(Logged("<= " + line)) << ::testing::PrintToString(cb.log);
  }
}

TEST_F(ModemTest, Dial_EveryOutcomeAndItsMessage) {
  struct Case {
    const char* reply;
    int result;
    const char* message;  // nullptr: none here
  } cases[] = {
      {"\r\nBUSY\r\n", LINK_FAILED_REPORTED, "Номер занят"},
      {"\r\nNO ANSWER\r\n", LINK_FAILED_REPORTED, "Номер не отвечает"},
      {"\r\nNO CARRIER\r\n", LINK_FAILED_REPORTED, "Номер не отвечает"},
      {"\r\nNO DIALTONE\r\n", LINK_FAILED_REPORTED,
       "Не удается совершить звонок. Возможно, модем не зарегистрирован в сети"},
      {"\r\nOK\r\n", LINK_FAILED_REPORTED, "Неизвестная ошибка при наборе номера (код 0)"},
      {"\r\nERROR\r\n", LINK_MODEM_REJECTED, nullptr},
      {"\r\n+CME ERROR: 30\r\n", LINK_MODEM_REJECTED, nullptr},
      {"\r\nRING\r\n\r\nRING\r\n\r\nCONNECT 9600/RLP\r\n", 0, nullptr},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.reply);
    cb = RecordingCallback();
    modem.commands.clear();
    modem.reply = [&](const std::string& command) -> std::string {
      return command.rfind("ATD", 0) == 0 ? c.reply : ScriptedModem::Default(command);
    };
    EXPECT_EQ(Dial(), c.result);
    EXPECT_EQ(cb.errors, c.message ? std::vector<std::string>{c.message} : std::vector<std::string>{});
    EXPECT_EQ(modem.commands.back().substr(0, 3), "ATD");  // no hang-up after a definite outcome
  }
  EXPECT_TRUE(Logged("<= RING"));
}

TEST_F(ModemTest, Dial_NoOutcomeIn120sHangsUpAndGivesMinus1) {
  port.carrier = false;
  modem.reply = [&](const std::string& command) -> std::string {
    return command.rfind("ATD", 0) == 0 ? "" : ScriptedModem::Default(command);
  };
  const uint32_t start = clock.NowMs();
  EXPECT_EQ(Dial(), LINK_NO_ANSWER);
  EXPECT_GE(clock.NowMs() - start, kDialWaitMs);
  EXPECT_EQ(modem.commands.back(), "ATH");
  EXPECT_TRUE(cb.errors.empty());
}

TEST_F(ModemTest, Dial_CancelWhileWaitingHangsUpAndGivesMinus2) {
  port.carrier = false;
  modem.reply = [&](const std::string& command) -> std::string {
    if (command.rfind("ATD", 0) == 0) {
      pump.PostAt(clock.NowMs() + 9000, [&] { core.RequestCancel(); });
      return "";
    }
    return ScriptedModem::Default(command);
  };
  EXPECT_EQ(Dial(), LINK_CANCELLED);
  EXPECT_EQ(modem.commands.back(), "ATH");
}

TEST_F(ModemTest, HangUp_EscapesAndHangsUpAndCarrierDrops) {
  modem.reply = [&](const std::string& command) -> std::string {
    if (command == "ATH") port.carrier = false;
    return ScriptedModem::Default(command);
  };
  EXPECT_EQ(HangUp(channel, cb), 0);
  EXPECT_EQ(modem.commands, (std::vector<std::string>{"+++", "ATH"}));
  EXPECT_TRUE(cb.errors.empty());
  EXPECT_EQ(cb.stages, std::vector<std::string>{"Завершение связи/0"});
}

TEST_F(ModemTest, HangUp_DeviceEndsTheCallItself) {
  port.Feed(Bytes{'\r', '\n', 'N', 'O', ' ', 'C', 'A', 'R', 'R', 'I', 'E', 'R', '\r', '\n'}, 1000);
  pump.PostAt(clock.NowMs() + 900, [&] { port.carrier = false; });  // DCD drops, then the result code
  EXPECT_EQ(HangUp(channel, cb), 0);
  EXPECT_EQ(modem.commands, std::vector<std::string>{"ATH"});  // no "+++" needed
}

TEST_F(ModemTest, HangUp_CarrierThatWillNotDropIsReported) {
  EXPECT_EQ(HangUp(channel, cb), 0);
  EXPECT_EQ(modem.commands, (std::vector<std::string>{"+++", "ATH"}));
  EXPECT_EQ(cb.errors, std::vector<std::string>{"Не удается разорвать соединение!"});
}

TEST_F(ModemTest, HangUp_CancelHasNoEffect) {
  modem.reply = [&](const std::string& command) -> std::string {
    if (command == "ATH") port.carrier = false;
    return ScriptedModem::Default(command);
  };
  pump.PostAt(clock.NowMs() + 100, [&] { core.RequestCancel(); });
  pump.PostAt(clock.NowMs() + 3300, [&] { core.RequestCancel(); });
  EXPECT_EQ(HangUp(channel, cb), 0);
  EXPECT_EQ(modem.commands, (std::vector<std::string>{"+++", "ATH"}));
  // After the hang-up a cancel works again.
  core.RequestCancel();
  EXPECT_EQ(core.ProcessPendingMessages(), LINK_CANCELLED);
}

}  // namespace
}  // namespace tamlo::link::testing
