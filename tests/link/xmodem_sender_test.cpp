// Bootloader entry and the XMODEM sender against a scripted bootloader on
// the fake port and clock.
#include <gtest/gtest.h>

#include <deque>

#include "link/bootloader_entry.h"
#include "link/link_codes.h"
#include "recording_callback.h"

namespace tamlo::link::testing {
namespace {

class MemoryFile final : public FirmwareFile {
 public:
  explicit MemoryFile(Bytes bytes) : data(std::move(bytes)) {}
  uint64_t Length() override { return data.size(); }
  bool Read(uint8_t* buffer, size_t capacity, size_t& got) override {
    if (fail_at >= 0 && pos >= size_t(fail_at)) return false;
    got = std::min(capacity, std::min<size_t>(data.size() - pos, 50));  // short reads, as a pipe gives
    std::copy(data.begin() + long(pos), data.begin() + long(pos + got), buffer);
    pos += got;
    return true;
  }
  Bytes data;
  size_t pos = 0;
  long fail_at = -1;
};

Bytes Pattern(size_t n) {
  Bytes b(n);
  for (size_t i = 0; i < n; ++i) b[i] = uint8_t(i * 7 + i / 256);
  return b;
}

// Plays the bootloader: the prompt after the wake string (at 19200 Bd only),
// NAK after "Y", then a verdict per block or EOT from `verdicts` (ACK when
// it runs out).
class ScriptedBootloader {
 public:
  explicit ScriptedBootloader(FakePort& port) : m_port(port) {
    port.on_bytes = [this](const uint8_t* data, size_t size) { OnBytes(data, size); };
  }
  Bytes prompt{' ', '(', 'Y', '/', 'N', ')', ' ', '?', ' '};
  std::deque<Bytes> verdicts;
  bool answer_y = true;  // start with NAK after "Y"
  std::vector<Bytes> blocks;
  int eots = 0, wakes = 0;

 private:
  void OnBytes(const uint8_t* data, size_t size) {
    Bytes in(data, data + size);
    if (size == sizeof kWakeString && std::equal(in.begin(), in.end(), kWakeString)) {
      ++wakes;
      if (m_port.applied_settings().baud == kBootloaderBaud) m_port.Feed(prompt, 20);
    } else if (in == Bytes{'Y'}) {
      if (answer_y) m_port.Feed(Bytes{kXmodemNak}, 20);
    } else if (in == Bytes{kXmodemEot}) {
      ++eots;
      Verdict();
    } else if (size == kXmodemBlock) {
      blocks.push_back(in);
      Verdict();
    }
  }
  void Verdict() {
    Bytes v{kXmodemAck};
    if (!verdicts.empty()) {
      v = verdicts.front();
      verdicts.pop_front();
    }
    if (!v.empty()) m_port.Feed(v, 10);
  }
  FakePort& m_port;
};

class XmodemTest : public ::testing::Test {
 protected:
  XmodemTest() { port.Open("COM1"); }
  int Send(MemoryFile& file) { return EnterBootloader(protocol, core, file, cb); }
  bool Logged(const std::string& line) const {
    return std::find(cb.log.begin(), cb.log.end(), line) != cb.log.end();
  }
  // The data bytes of every block sent, resends included once.
  static Bytes Data(const std::vector<Bytes>& blocks) {
    Bytes out;
    for (const Bytes& b : blocks) out.insert(out.end(), b.begin() + 3, b.begin() + 131);
    return out;
  }

  ManualClock clock{1000};
  ManualPump pump{clock};
  FakePort port{clock};
  SerialCore core{port, clock, pump};
  CommandProtocol protocol{core};
  ScriptedBootloader boot{port};
  RecordingCallback cb;
};

TEST_F(XmodemTest, File300Bytes_ThreeBlocksPaddedThenEot) {
  MemoryFile file(Pattern(300));
  EXPECT_EQ(Send(file), 0);
  ASSERT_EQ(boot.blocks.size(), 3u);
  EXPECT_EQ(boot.eots, 1);
  EXPECT_TRUE(port.requests().empty());  // the bootloader answered at once: no handshake
  for (size_t i = 0; i < 3; ++i) {
    const Bytes& b = boot.blocks[i];
    EXPECT_EQ(b[0], kXmodemSoh);
    EXPECT_EQ(b[1], i + 1);
    EXPECT_EQ(b[2], 255 - (i + 1));
    uint8_t sum = 0;
    for (size_t k = 3; k < 131; ++k) sum = uint8_t(sum + b[k]);
    EXPECT_EQ(b[131], sum);
  }
  Bytes expected = file.data;
  expected.resize(384, 0x1A);  // 44 data bytes and 84 fill bytes (SUB) in the third block
  EXPECT_EQ(Data(boot.blocks), expected);
  EXPECT_EQ(cb.log, (std::vector<std::string>{"Обнаружен загрузчик", "Синхронизация с приемником", "Передается файл",
                                              "Файл передан"}));
  EXPECT_EQ(cb.stages, (std::vector<std::string>{"Вход в загрузчик/30000", "Передача файла/300"}));
  EXPECT_EQ(cb.last_position["Передача файла"], 384u);
  EXPECT_EQ(port.applied_settings().baud, kBootloaderBaud);
  EXPECT_FALSE(port.applied_settings().rts_cts);
}

TEST_F(XmodemTest, File256Bytes_TwoBlocksThenEot) {
  MemoryFile file(Pattern(256));
  EXPECT_EQ(Send(file), 0);
  EXPECT_EQ(boot.blocks.size(), 2u);
  EXPECT_EQ(boot.eots, 1);
  EXPECT_EQ(Data(boot.blocks), file.data);
}

TEST_F(XmodemTest, BlockNumbersWrapFrom255To0) {
  MemoryFile file(Pattern(33000));
  EXPECT_EQ(Send(file), 0);
  ASSERT_EQ(boot.blocks.size(), 258u);
  EXPECT_EQ(boot.blocks[254][1], 255);
  EXPECT_EQ(boot.blocks[255][1], 0);
  EXPECT_EQ(boot.blocks[255][2], 255);
  EXPECT_EQ(boot.blocks[256][1], 1);
  Bytes expected = file.data;
  expected.resize(258 * 128, 0x1A);
  EXPECT_EQ(Data(boot.blocks), expected);
}

TEST_F(XmodemTest, PromptInPiecesAfterOtherText) {
  boot.prompt = {};
  port.on_bytes = [this, inner = port.on_bytes](const uint8_t* data, size_t size) {
    if (size == sizeof kWakeString) {
      port.Feed(Bytes{'B', 'o', 'o', 't', ' ', '('}, 10);  // a false start of the prompt
      port.Feed(Bytes{' ', '(', 'Y', '/'}, 200);
      port.Feed(Bytes{'N', ')', ' ', '?'}, 400);
      port.Feed(Bytes{' '}, 600);
    }
    inner(data, size);
  };
  port.read_chunk = 3;
  MemoryFile file(Pattern(10));
  EXPECT_EQ(Send(file), 0);
  EXPECT_TRUE(Logged("Обнаружен загрузчик"));
  EXPECT_EQ(boot.wakes, 1);
}

TEST_F(XmodemTest, NakResendsTheBlockUpToTenTimes) {
  boot.verdicts = {Bytes{kXmodemNak}, Bytes{kXmodemAck}, Bytes{kXmodemNak}, Bytes{kXmodemNak}};
  MemoryFile file(Pattern(200));
  EXPECT_EQ(Send(file), 0);
  ASSERT_EQ(boot.blocks.size(), 5u);
  EXPECT_EQ(boot.blocks[0], boot.blocks[1]);
  EXPECT_EQ(boot.blocks[2], boot.blocks[3]);
  EXPECT_EQ(boot.blocks[3], boot.blocks[4]);
  EXPECT_EQ(boot.blocks[2][1], 2);
  EXPECT_TRUE(Logged("Перепосылка блока 1 (попытка 1/10)"));
  EXPECT_TRUE(Logged("Перепосылка блока 2 (попытка 1/10)"));
  EXPECT_TRUE(Logged("Перепосылка блока 2 (попытка 2/10)"));
}

TEST_F(XmodemTest, EleventhNakEndsWithMinus16) {
  boot.verdicts.assign(11, Bytes{kXmodemNak});
  MemoryFile file(Pattern(100));
  EXPECT_EQ(Send(file), LINK_TOO_MANY_ERRORS);
  EXPECT_EQ(boot.blocks.size(), 11u);
  EXPECT_TRUE(Logged("Перепосылка блока 1 (попытка 10/10)"));
}

TEST_F(XmodemTest, RefusedEotIsResent) {
  boot.verdicts = {Bytes{kXmodemAck}, Bytes{kXmodemNak}, Bytes{kXmodemAck}};
  MemoryFile file(Pattern(128));
  EXPECT_EQ(Send(file), 0);
  EXPECT_EQ(boot.eots, 2);
}

TEST_F(XmodemTest, ThreeCancelsInOneWait_Abort_FewerDoNot) {
  // Two CAN before the start NAK do not abort; a third in the same wait does.
  boot.answer_y = false;
  port.on_bytes = [this, inner = port.on_bytes](const uint8_t* data, size_t size) {
    if (size == 1 && data[0] == 'Y') port.Feed(Bytes{kXmodemCan, 'x', kXmodemCan, kXmodemNak}, 20);
    inner(data, size);
  };
  boot.verdicts = {Bytes{kXmodemCan, kXmodemCan}, Bytes{kXmodemCan}};
  MemoryFile file(Pattern(300));
  EXPECT_EQ(Send(file), LINK_NO_ANSWER);  // two CAN, then silence: the wait's count restarts per step
  EXPECT_EQ(boot.blocks.size(), 1u);

  cb = RecordingCallback();
  boot.blocks.clear();
  boot.verdicts = {Bytes{kXmodemAck}, Bytes{kXmodemCan, kXmodemCan, kXmodemCan}};
  file.pos = 0;
  EXPECT_EQ(Send(file), LINK_REMOTE_ABORT);
  EXPECT_EQ(boot.blocks.size(), 2u);
  EXPECT_TRUE(Logged("Передача прервана"));

  // Other bytes between the CAN bytes do not restart the count.
  cb = RecordingCallback();
  boot.blocks.clear();
  boot.verdicts = {Bytes{kXmodemCan, 'x', kXmodemCan, 'x', kXmodemCan}};
  file.pos = 0;
  EXPECT_EQ(Send(file), LINK_REMOTE_ABORT);
  EXPECT_EQ(boot.blocks.size(), 1u);
}

TEST_F(XmodemTest, FileReadErrorGivesMinus14) {
  MemoryFile file(Pattern(1000));
  file.fail_at = 300;
  EXPECT_EQ(Send(file), LINK_FILE_READ);
  EXPECT_EQ(boot.blocks.size(), 2u);
}

TEST_F(XmodemTest, SilentReceiverGivesMinus1After60s) {
  boot.verdicts = {Bytes{}};
  MemoryFile file(Pattern(1000));
  const uint32_t start = clock.NowMs();
  EXPECT_EQ(Send(file), LINK_NO_ANSWER);
  EXPECT_GE(clock.NowMs() - start, kXmodemSilenceMs);
  EXPECT_LT(clock.NowMs() - start, kXmodemSilenceMs + 5000);

  // A stray byte every 10 s but no verdict: the 60 s count from the block.
  boot.blocks.clear();
  boot.verdicts = {Bytes{}};
  file.pos = 0;
  uint32_t block_sent = 0;
  port.on_bytes = [&, inner = port.on_bytes](const uint8_t* data, size_t size) {
    inner(data, size);
    if (size != kXmodemBlock) return;
    block_sent = clock.NowMs();
    for (uint32_t at = 10000; at <= 3 * kXmodemSilenceMs; at += 10000) port.Feed(Bytes{'x'}, at);
  };
  EXPECT_EQ(Send(file), LINK_NO_ANSWER);
  EXPECT_LT(clock.NowMs() - block_sent, kXmodemSilenceMs + 5000);
}

TEST_F(XmodemTest, NothingAnswersFor30sGivesMinus1) {
  boot.prompt = {};
  MemoryFile file(Pattern(10));
  EXPECT_EQ(Send(file), LINK_NO_ANSWER);
  EXPECT_GE(boot.wakes, 5);  // wake string, 3 s prompt wait, quiet 4 s handshake, again
  EXPECT_FALSE(port.requests().empty());
  for (const Request& r : port.requests()) EXPECT_EQ(r.command, CMD_CONNECT);
}

TEST_F(XmodemTest, SpeedChangeFailureIsReported) {
  port.fail_set_settings = true;
  MemoryFile file(Pattern(10));
  EXPECT_EQ(Send(file), LINK_FAILED_REPORTED);
  ASSERT_EQ(cb.errors.size(), 1u);
  EXPECT_EQ(cb.errors[0].rfind("Неожиданная ошибка при смене скорости порта: SetCommState() failed", 0), 0u);
}

TEST_F(XmodemTest, CancelBeforeTheTransfer) {
  boot.prompt = {};
  pump.PostAt(clock.NowMs() + 5000, [&] { core.RequestCancel(); });
  MemoryFile file(Pattern(10));
  EXPECT_EQ(Send(file), LINK_CANCELLED);
}

}  // namespace
}  // namespace tamlo::link::testing
