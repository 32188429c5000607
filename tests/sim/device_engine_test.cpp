// The simulated device's firmware at the command level: the session rules a
// host relies on and the stored data each command changes.
#include <gtest/gtest.h>

#include <cstring>
#include <set>
#include <string>

#include "config/byte_order.h"
#include "sim/device_engine.h"
#include "sim/journal_generator.h"
#include "sim/stored_image.h"

namespace tamlo::sim {
namespace {

std::vector<uint8_t> Bytes(const std::string& s) { return {s.begin(), s.end()}; }

std::vector<uint8_t> ImageWithData(size_t data_length, uint8_t fill) {
  std::vector<uint8_t> image = FactoryImage();
  image.resize(kImageHeaderSize + data_length, fill);
  WriteLe32(&image[8], uint32_t(data_length));
  WriteLe32(&image[16], uint32_t(data_length));
  return image;
}

class Host {
 public:
  explicit Host(DeviceEngine& device) : m_device(device) {}

  Block Connect(uint32_t challenge = 0x12345678) {
    std::vector<uint8_t> p(8, 0);
    WriteLe32(p.data(), challenge);
    m_number = 0;
    return m_device.Handle(0, kCmdConnect, p.data(), p.size(), m_now);
  }
  Block Send(uint8_t command, const std::vector<uint8_t>& payload = {}) {
    m_number = m_number == 0xFFFF ? 1 : m_number + 1;
    return Resend(command, payload);
  }
  Block Resend(uint8_t command, const std::vector<uint8_t>& payload = {}) {
    return m_device.Handle(m_number, command, payload.data(), payload.size(), m_now);
  }
  void Wait(uint64_t ms) { m_now += ms; }
  uint64_t now() const { return m_now; }

  // Begin and chunks of a whole configuration write; the last answer.
  Block WriteImage(const std::vector<uint8_t>& image, size_t chunk) {
    Block b = Send(kCmdConfigWriteBegin, {image.begin(), image.begin() + kImageHeaderSize});
    if (b.code != kAnsOk) return b;
    for (size_t off = 0; off < image.size(); off += chunk) {
      const size_t n = std::min(chunk, image.size() - off);
      b = Send(kCmdConfigWriteChunk, {image.begin() + ptrdiff_t(off), image.begin() + ptrdiff_t(off + n)});
      if (b.code != kAnsOk) return b;
    }
    return b;
  }
  std::vector<uint8_t> ReadImage() {
    Block b = Send(kCmdConfigReadBegin);
    EXPECT_EQ(b.code, kAnsOk);
    uint32_t left = ReadLe32(b.payload.data());
    std::vector<uint8_t> out;
    while (left > 0) {
      b = Send(kCmdConfigReadChunk);
      EXPECT_EQ(b.code, kAnsOk);
      if (b.payload.empty() || b.payload.size() > left) break;
      out.insert(out.end(), b.payload.begin(), b.payload.end());
      left -= uint32_t(b.payload.size());
    }
    return out;
  }

 private:
  DeviceEngine& m_device;
  uint16_t m_number = 0;
  uint64_t m_now = 1000;
};

TEST(DeviceEngine, Handshake_AnswersComplementAndSizes_AndCommandsBeforeItNeedReconnect) {
  DeviceSettings s;
  s.size_a = 64;
  s.size_b = 100;
  DeviceEngine device(s);
  Host host(device);
  EXPECT_EQ(host.Send(kCmdGetVersion).code, kAnsReconnect);
  const Block b = host.Connect(0x0000FFFF);
  EXPECT_EQ(b.number, 0);
  EXPECT_EQ(b.code, kAnsOk);
  EXPECT_EQ(b.payload, (std::vector<uint8_t>{0x00, 0x00, 0xFF, 0xFF, 64, 0, 100, 0}));
  const Block v = host.Send(kCmdGetVersion);
  EXPECT_EQ(v.number, 1);
  EXPECT_EQ(v.payload, Bytes("Tamlo 3.11"));
  // A request above size B is refused, one at the limit is not.
  EXPECT_EQ(host.Send(kCmdSerialWrite, std::vector<uint8_t>(101, '1')).code, kAnsBadParameters);
  EXPECT_EQ(host.Send(kCmdSetTime, {1, 2, 3, 4}).code, kAnsOk);
}

TEST(DeviceEngine, Retransmission_RepeatsAnswerWithoutExecutingTwice) {
  DeviceEngine device({});
  Host host(device);
  host.Connect();
  const std::vector<uint8_t> image = ImageWithData(10, 0xAB);
  ASSERT_EQ(host.Send(kCmdConfigWriteBegin, {image.begin(), image.begin() + 32}).code, kAnsOk);
  ASSERT_EQ(host.Send(kCmdConfigWriteChunk, {image.begin(), image.begin() + 20}).code, kAnsOk);
  // The answer was lost: the same block number comes again.
  ASSERT_EQ(host.Resend(kCmdConfigWriteChunk, {image.begin(), image.begin() + 20}).code, kAnsOk);
  ASSERT_EQ(host.Send(kCmdConfigWriteChunk, {image.begin() + 20, image.end()}).code, kAnsOk);
  std::vector<uint8_t> stored = device.image();
  ASSERT_EQ(stored.size(), image.size());
  EXPECT_TRUE(std::equal(image.begin(), image.begin() + 24, stored.begin()));
  EXPECT_TRUE(std::equal(image.begin() + 32, image.end(), stored.begin() + 32));
  // The stored image carries the device's number and store time.
  EXPECT_EQ(ReadLe32(&stored[kImageNumberOffset]), 1u);
  EXPECT_EQ(ReadLe32(&stored[kImageTimeOffset]), device.DeviceTime(host.now()));
}

TEST(DeviceEngine, ConfigWriteThenRead_ReturnsImage_InReadChunks) {
  DeviceSettings s;
  s.write_chunk = 200;
  s.read_chunk = 100;
  DeviceEngine device(s);
  Host host(device);
  host.Connect();
  const std::vector<uint8_t> image = ImageWithData(968, 0x7E);
  const Block begin = host.Send(kCmdConfigWriteBegin, {image.begin(), image.begin() + 32});
  EXPECT_EQ(begin.payload, (std::vector<uint8_t>{200, 0}));
  ASSERT_EQ(host.WriteImage(image, 200).code, kAnsOk);
  // A chunk above the announced size is refused.
  host.Send(kCmdConfigWriteBegin, {image.begin(), image.begin() + 32});
  EXPECT_EQ(host.Send(kCmdConfigWriteChunk, std::vector<uint8_t>(201, 0)).code, kAnsBadParameters);

  std::vector<uint8_t> read = host.ReadImage();
  ASSERT_EQ(read.size(), 1000u);
  std::memset(&read[24], 0, 8);
  EXPECT_EQ(read, image);
}

TEST(DeviceEngine, ConfigWrite_BadHeaderTooLargeOrOutOfSequence_Refused_AndStoredImageKept) {
  DeviceSettings s;
  s.image_capacity = 100;
  DeviceEngine device(s);
  Host host(device);
  host.Connect();
  const std::vector<uint8_t> before = device.image();
  std::vector<uint8_t> bad = ImageWithData(10, 1);
  bad[0] = 'X';
  EXPECT_EQ(host.Send(kCmdConfigWriteBegin, {bad.begin(), bad.begin() + 32}).code, kAnsBadHeader);
  const std::vector<uint8_t> big = ImageWithData(69, 1);
  EXPECT_EQ(host.Send(kCmdConfigWriteBegin, {big.begin(), big.begin() + 32}).code, kAnsTooLarge);
  EXPECT_EQ(host.Send(kCmdConfigWriteChunk, {1, 2, 3}).code, kAnsOutOfSequence);
  // A write interrupted by another command leaves the stored image alone.
  const std::vector<uint8_t> image = ImageWithData(40, 2);
  host.Send(kCmdConfigWriteBegin, {image.begin(), image.begin() + 32});
  host.Send(kCmdConfigWriteChunk, {image.begin(), image.begin() + 50});
  host.Send(kCmdGetVersion);
  EXPECT_EQ(host.Send(kCmdConfigWriteChunk, {image.begin() + 50, image.end()}).code, kAnsOutOfSequence);
  EXPECT_EQ(device.image(), before);
  EXPECT_EQ(host.Send(kCmdConfigReadChunk).code, kAnsOutOfSequence);
}

TEST(DeviceEngine, Password_GuardsEverythingButVersion_UntilGivenInThisSession) {
  DeviceSettings s;
  s.password = "1234";
  DeviceEngine device(s);
  Host host(device);
  host.Connect();
  EXPECT_EQ(host.Send(kCmdGetVersion).code, kAnsOk);
  EXPECT_EQ(host.Send(kCmdKeysStatus).code, kAnsBadPassword);
  EXPECT_EQ(host.Send(kCmdPassword, Bytes("123")).code, kAnsBadPassword);
  EXPECT_EQ(host.Send(kCmdPassword, Bytes("1234")).code, kAnsOk);
  EXPECT_EQ(host.Send(kCmdKeysStatus).code, kAnsOk);
  host.Connect();
  EXPECT_EQ(host.Send(kCmdKeysStatus).code, kAnsBadPassword);

  DeviceEngine open({});
  Host guest(open);
  guest.Connect();
  EXPECT_EQ(guest.Send(kCmdPassword, Bytes("anything")).code, kAnsOk);
  EXPECT_EQ(guest.Send(kCmdKeysStatus).code, kAnsOk);
}

TEST(DeviceEngine, OldFirmware_DoesNotKnowSerialAndKeyCommands) {
  DeviceSettings s;
  s.old_firmware = true;
  DeviceEngine device(s);
  Host host(device);
  host.Connect();
  for (uint8_t c : {kCmdSerialRead, kCmdSerialWrite, kCmdKeysStatus, kCmdKeyChange}) {
    EXPECT_EQ(host.Send(c, {0}).code, kAnsUnknownCommand) << int(c);
  }
  EXPECT_EQ(host.Send(0x77).code, kAnsUnknownCommand);
  // Every firmware can restart into its bootloader; the session ends with it.
  EXPECT_EQ(host.Send(kCmdEnterBootloader).code, kAnsOk);
  EXPECT_TRUE(device.TakeBootloaderRequest());
  EXPECT_EQ(host.Send(kCmdGetVersion).code, kAnsReconnect);
}

TEST(DeviceEngine, SerialNumberAndKeys_WriteReadDelete) {
  DeviceEngine device({});
  Host host(device);
  host.Connect();
  EXPECT_TRUE(host.Send(kCmdSerialRead).payload.empty());
  EXPECT_EQ(host.Send(kCmdSerialWrite, {}).code, kAnsBadParameters);
  EXPECT_EQ(host.Send(kCmdSerialWrite, std::vector<uint8_t>(33, '7')).code, kAnsBadParameters);
  ASSERT_EQ(host.Send(kCmdSerialWrite, Bytes("4600000000017")).code, kAnsOk);
  EXPECT_EQ(host.Send(kCmdSerialRead).payload, Bytes("4600000000017"));

  EXPECT_EQ(host.Send(kCmdKeysStatus).payload, (std::vector<uint8_t>{4, 0}));
  std::vector<uint8_t> change{1};
  for (uint8_t i = 0; i < 16; ++i) change.push_back(uint8_t(0xA0 + i));
  ASSERT_EQ(host.Send(kCmdKeyChange, change).code, kAnsOk);
  EXPECT_EQ(host.Send(kCmdKeysStatus).payload, (std::vector<uint8_t>{4, 0x02}));
  EXPECT_EQ(device.key(1)[15], 0xAF);
  ASSERT_EQ(host.Send(kCmdKeyChange, {1}).code, kAnsOk);
  EXPECT_EQ(device.key_mask(), 0);
  EXPECT_EQ(host.Send(kCmdKeyChange, {4}).code, kAnsBadParameters);      // no such slot
  EXPECT_EQ(host.Send(kCmdKeyChange, {0, 1, 2}).code, kAnsBadParameters);  // neither delete nor 16 bytes
}

TEST(DeviceEngine, KeyChangeAfterConfigWrite_NeedsRebootFirst_RebootAnswers0x81AndEndsSession) {
  DeviceEngine device({});
  Host host(device);
  host.Connect();
  ASSERT_EQ(host.WriteImage(ImageWithData(4, 9), 256).code, kAnsOk);
  EXPECT_EQ(host.Send(kCmdKeyChange, {0}).code, kAnsRebootRequired);
  EXPECT_EQ(host.Send(kCmdReboot).code, kAnsReconnect);
  EXPECT_EQ(device.reboots(), 1);
  // A retransmitted reboot meets a device that wants a handshake first.
  EXPECT_EQ(host.Resend(kCmdReboot).code, kAnsReconnect);
  EXPECT_EQ(device.reboots(), 1);
  host.Connect();
  EXPECT_EQ(host.Send(kCmdKeyChange, {0}).code, kAnsOk);
}

TEST(DeviceEngine, Clock_SetTimeRunsOn_AndJournalRecordsDeviceEvents) {
  EXPECT_EQ(DeviceTimeOf(2013, 3, 1, 0, 0, 0), 36720000u);
  EXPECT_EQ(DeviceTimeOf(2024, 6, 1, 9, 0, 0), kDefaultDeviceTime);
  DeviceEngine device({});
  Host host(device);
  host.Connect();
  const size_t before = device.journal().size();
  const uint32_t t = DeviceTimeOf(2025, 3, 1, 0, 0, 0);
  ASSERT_EQ(host.Send(kCmdSetTime, {uint8_t(t), uint8_t(t >> 8), uint8_t(t >> 16), uint8_t(t >> 24)}).code, kAnsOk);
  host.Wait(61500);
  EXPECT_EQ(device.DeviceTime(host.now()), t + 61);
  ASSERT_EQ(host.Send(kCmdClearEventQueue).code, kAnsOk);

  // Appended: clock set (1, time) and queue cleared (3), both processed internal events.
  const std::vector<uint8_t>& j = device.journal();
  ASSERT_EQ(j.size(), before + 3 + 17 + 3 + 13);
  EXPECT_EQ(j[before], kProcessed);
  EXPECT_EQ(j[before + 3 + 12], 1);
  EXPECT_EQ(ReadLe32(&j[before + 3 + 13]), t);
  EXPECT_EQ(j[before + 20 + 3 + 12], 3);
  EXPECT_EQ(ReadLe32(&j[before + 20 + 3]), t + 61);
  // No queued record is left after the clearing.
  size_t pos = 0;
  while (pos < j.size()) {
    EXPECT_NE(j[pos], kQueued) << "entry at " << pos;
    pos += 3 + (j[pos + 1] | j[pos + 2] << 8);
  }
  EXPECT_EQ(pos, j.size());
}

TEST(DeviceEngine, JournalRead_DeliversSnapshotThenEmptyChunk_LoadedJournalServedUnchanged) {
  DeviceSettings s;
  s.journal = std::vector<uint8_t>(300);
  for (size_t i = 0; i < 300; ++i) (*s.journal)[i] = uint8_t(i);
  s.announced_journal_length = 100;
  s.read_chunk = 128;
  DeviceEngine device(s);
  Host host(device);
  host.Connect();
  EXPECT_EQ(host.Send(kCmdJournalReadBegin).payload, (std::vector<uint8_t>{100, 0, 0, 0}));
  std::vector<uint8_t> got;
  for (int i = 0; i < 10; ++i) {
    const Block b = host.Send(kCmdJournalReadChunk);
    ASSERT_EQ(b.code, kAnsOk);
    if (b.payload.empty()) break;
    EXPECT_LE(b.payload.size(), 128u);
    got.insert(got.end(), b.payload.begin(), b.payload.end());
  }
  EXPECT_EQ(got, *s.journal);
  host.Send(kCmdClearEventQueue);
  EXPECT_EQ(device.journal(), *s.journal);
}

TEST(DeviceEngine, GsmStatus_TwoSims_LevelsChangeOverTime) {
  DeviceEngine device({});
  std::set<int> levels1, states2;
  for (uint64_t ms = 0; ms < 60000; ms += 1000) {
    const std::vector<uint8_t> g = device.GsmStatus(ms);
    ASSERT_EQ(g.size(), 6u);
    ASSERT_EQ(g[0], 2);
    EXPECT_EQ(g[2], 0x80 | 33);
    EXPECT_GE(g[3], 12);
    EXPECT_LE(g[3], 27);
    levels1.insert(g[3]);
    states2.insert(g[4]);
    EXPECT_TRUE(g[5] <= 31 || g[5] == 99);
  }
  EXPECT_GT(levels1.size(), 5u);
  EXPECT_EQ(states2, (std::set<int>{32, 33}));
}

}  // namespace
}  // namespace tamlo::sim
