// Block framing: known frames, the receiver's three states and its log lines,
// every frame fed in chunks that cross each buffer boundary.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "link/frame.h"

namespace tamlo::link {
namespace {

using Bytes = std::vector<uint8_t>;

const Bytes kRebootBlock = {0x01, 0x00, 0x48, 0x00};
const Bytes kRebootFrame = {0x7E, 0x01, 0x00, 0x48, 0x00, 0x74, 0x7D, 0x5D, 0x58, 0xA1, 0x7E};

Bytes Frame(Bytes block) {
  block.resize(block.size() + 4);
  AppendBlockCrc(block.data(), block.size() - 4);
  Bytes frame(2 * block.size() + 2);
  frame.resize(EncodeFrame(block.data(), block.size(), frame.data()));
  return frame;
}

struct Received {
  std::vector<Bytes> blocks;  // header + payload of each good block
  std::vector<std::string> log;
};

// Feeds `wire` to one receiver in chunks of `chunk` bytes, as successive port
// reads would deliver it.
Received FeedInChunks(const Bytes& wire, size_t chunk) {
  Received out;
  FrameReceiver rx([&](const std::string& line) { out.log.push_back(line); });
  for (size_t pos = 0; pos < wire.size(); pos += chunk) {
    const size_t n = std::min(chunk, wire.size() - pos);
    size_t at = 0;
    while (at < n) {
      size_t consumed = 0;
      const size_t len = rx.Feed(wire.data() + pos + at, n - at, consumed);
      at += consumed;
      if (len > 0) out.blocks.emplace_back(rx.block(), rx.block() + len);
    }
  }
  return out;
}

const size_t kChunks[] = {1, 2, 3, 5, 7, 13, 32, 1024};

TEST(FrameEncode, RebootBlock_EscapesCrcByteLikeAnyOther) {
  EXPECT_EQ(Frame(kRebootBlock), kRebootFrame);
}

TEST(FrameEncode, AllEscapedMaximalBlock_Is530Bytes) {
  // The worst case the transmit buffer must hold: 264 block bytes that all
  // need escaping. The receiver takes all 264 (no overflow) and checks the CRC.
  Bytes block(264);
  const uint8_t specials[] = {0x11, 0x13, 0x7D, 0x7E};
  for (size_t i = 0; i < block.size(); ++i) block[i] = specials[i % 4];
  Bytes frame(kFrameBufferSize);
  frame.resize(EncodeFrame(block.data(), block.size(), frame.data()));
  EXPECT_EQ(frame.size(), kMaxFrame);
  EXPECT_EQ(frame[1], 0x7D);
  EXPECT_EQ(frame[2], 0x31);
  const Received r = FeedInChunks(frame, 7);
  EXPECT_EQ(r.log, std::vector<std::string>{"Ошибка CRC блока"});
}

TEST(FrameEncode, EscapedMaximalPayload_RoundTripsInEveryChunking) {
  Bytes block = {0x11, 0x13, 0x7D, 0x7E};  // block number 0x1311, code 0x7D, reserved 0x7E
  const uint8_t specials[] = {0x7E, 0x7D, 0x13, 0x11};
  for (size_t i = 0; i < kMaxPayload; ++i) block.push_back(specials[i % 4]);
  const Bytes frame = Frame(block);
  EXPECT_GE(frame.size(), kMaxFrame - 8);
  for (size_t chunk : kChunks) {
    SCOPED_TRACE(chunk);
    const Received r = FeedInChunks(frame, chunk);
    ASSERT_EQ(r.blocks.size(), 1u);
    EXPECT_EQ(r.blocks[0], block);
    EXPECT_TRUE(r.log.empty());
  }
}

TEST(FrameEncode, AppendedCrcLeavesResidue) {
  Bytes block = {0x05, 0x00, 0x80, 0x00, 'a', 'b', 'c', 0, 0, 0, 0};
  AppendBlockCrc(block.data(), 7);
  EXPECT_TRUE(BlockCrcValid(block.data(), block.size()));
  block[5] ^= 1;
  EXPECT_FALSE(BlockCrcValid(block.data(), block.size()));
}

TEST(FrameReceive, StreamOfFramesAndNoise_SameResultForEveryChunking) {
  // Garbage before the first flag, three frames back to back sharing flags,
  // an idle double flag, a short block, a CRC error, a double escape, and a
  // last good block: every chunking must give the same blocks and log.
  Bytes wire = {0x00, 0x55, 0x11};
  const Bytes a = Frame({0x01, 0x00, 0x80, 0x00, 0x7E, 0x11, 0x13, 0x7D});
  Bytes b = Frame({0x02, 0x00, 0x80, 0x00});
  b.erase(b.begin());  // shares the closing flag of `a`
  wire.insert(wire.end(), a.begin(), a.end());
  wire.insert(wire.end(), b.begin(), b.end());
  wire.insert(wire.end(), {0x7E, 0x7E});                    // idle: no message
  wire.insert(wire.end(), {0x01, 0x02, 0x03, 0x04, 0x05, 0x7E});  // 5 bytes
  Bytes bad = Frame({0x03, 0x00, 0x80, 0x00, 0x42});
  bad[6] ^= 0x01;
  wire.insert(wire.end(), bad.begin(), bad.end());
  wire.insert(wire.end(), {0x7E, 0x01, 0x7D, 0x7D, 0x02, 0x03});  // double escape: hunt again
  const Bytes c = Frame({0x04, 0x00, 0x80, 0x00, 0x99});
  wire.insert(wire.end(), c.begin(), c.end());

  const std::vector<std::string> expected_log = {"Слишком короткий блок (5)", "Ошибка CRC блока",
                                                 "Некорректный Escape-код в блоке"};
  for (size_t chunk : kChunks) {
    SCOPED_TRACE(chunk);
    const Received r = FeedInChunks(wire, chunk);
    ASSERT_EQ(r.blocks.size(), 3u);
    EXPECT_EQ(r.blocks[0], (Bytes{0x01, 0x00, 0x80, 0x00, 0x7E, 0x11, 0x13, 0x7D}));
    EXPECT_EQ(r.blocks[1], (Bytes{0x02, 0x00, 0x80, 0x00}));
    EXPECT_EQ(r.blocks[2], (Bytes{0x04, 0x00, 0x80, 0x00, 0x99}));
    EXPECT_EQ(r.log, expected_log);
  }
}

TEST(FrameReceive, TooLongBlock_DroppedAtClosingFlagThenNextBlockWorks) {
  Bytes wire = {0x7E};
  wire.insert(wire.end(), 265, 0x20);
  const Bytes good = Frame(kRebootBlock);
  wire.insert(wire.end(), good.begin(), good.end());  // its opening flag closes the long one
  std::vector<std::string> log;
  FrameReceiver rx([&](const std::string& line) { log.push_back(line); });
  size_t consumed = 0;
  EXPECT_EQ(rx.Feed(wire.data(), 266, consumed), 0u);
  EXPECT_EQ(rx.state(), FrameReceiver::State::Overflow);
  size_t at = 266;
  EXPECT_EQ(rx.Feed(wire.data() + at, wire.size() - at, consumed), 0u);  // the overflow's close
  EXPECT_EQ(log, std::vector<std::string>{"Слишком длинный блок"});
  at += consumed;
  EXPECT_EQ(rx.Feed(wire.data() + at, wire.size() - at, consumed), 4u);
  EXPECT_EQ(Bytes(rx.block(), rx.block() + 4), kRebootBlock);
}

TEST(FrameReceive, BlockOf264BytesIsKeptAnd265IsTooLong) {
  Bytes payload(256, 0x41);
  Bytes block = {0x09, 0x00, 0x80, 0x00};
  block.insert(block.end(), payload.begin(), payload.end());
  const Received ok = FeedInChunks(Frame(block), 1024);
  ASSERT_EQ(ok.blocks.size(), 1u);
  EXPECT_EQ(ok.blocks[0].size(), 260u);
  block.push_back(0x41);
  const Received too_long = FeedInChunks(Frame(block), 1024);
  EXPECT_TRUE(too_long.blocks.empty());
  EXPECT_EQ(too_long.log, std::vector<std::string>{"Слишком длинный блок"});
}

TEST(FrameReceive, EscapeBeforeClosingFlag_LogsAndKeepsReceiving) {
  Bytes wire = {0x7E, 0x01, 0x02, 0x7D, 0x7E};
  const Bytes good = Frame(kRebootBlock);
  wire.insert(wire.end(), good.begin() + 1, good.end());
  const Received r = FeedInChunks(wire, 3);
  EXPECT_EQ(r.log, std::vector<std::string>{"Некорректный Escape-код в конце блока"});
  ASSERT_EQ(r.blocks.size(), 1u);
  EXPECT_EQ(r.blocks[0], kRebootBlock);
}

TEST(FrameReceive, PartialBlockSurvivesAcrossCalls) {
  FrameReceiver rx;
  size_t consumed = 0;
  EXPECT_EQ(rx.Feed(kRebootFrame.data(), 6, consumed), 0u);
  EXPECT_EQ(consumed, 6u);
  EXPECT_EQ(rx.state(), FrameReceiver::State::InBlock);
  EXPECT_EQ(rx.Feed(kRebootFrame.data() + 6, 5, consumed), 4u);
  EXPECT_EQ(consumed, 5u);
  rx.Reset();
  EXPECT_EQ(rx.state(), FrameReceiver::State::Hunting);
}

}  // namespace
}  // namespace tamlo::link
