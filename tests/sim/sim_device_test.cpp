// The simulated line: bytes take their time at the baud rate, noise is
// reproducible from its seed, and the in-process port waits on the fake clock
// instead of the real one.
#include <gtest/gtest.h>

#include <algorithm>
#include <memory>

#include "link/frame.h"
#include "sim/sim_device.h"
#include "sim/sim_port.h"
#include "sim/stored_image.h"

namespace tamlo::sim {
namespace {

std::vector<uint8_t> Frame(uint16_t number, uint8_t command, const std::vector<uint8_t>& payload = {}) {
  uint8_t block[link::kMaxBlock] = {uint8_t(number), uint8_t(number >> 8), command, 0};
  std::copy(payload.begin(), payload.end(), block + 4);
  const size_t length = link::AppendBlockCrc(block, 4 + payload.size());
  uint8_t frame[link::kFrameBufferSize];
  return std::vector<uint8_t>(frame, frame + link::EncodeFrame(block, length, frame));
}

const std::vector<uint8_t> kHandshake = Frame(0, kCmdConnect, {0x78, 0x56, 0x34, 0x12, 0, 1, 0, 1});

TEST(SimDevice, Handshake_AnswerArrivesAfterBothFramesCrossedTheWire) {
  SimDevice device({}, {}, 115200);
  device.HostSend(kHandshake.data(), kHandshake.size(), 0);
  const uint64_t byte_ns = 10'000'000'000ull / 115200;
  const uint64_t request_done = kHandshake.size() * byte_ns;
  uint8_t buf[64];
  EXPECT_EQ(device.HostReceive(buf, sizeof buf, request_done), 0u);
  EXPECT_EQ(device.NextEventNs(), request_done + byte_ns);  // the answer's first byte
  // The answer frame (18 bytes here) is complete one frame time later.
  const size_t answer = device.bytes_to_host();
  EXPECT_EQ(answer, 18u);
  EXPECT_EQ(device.HostReceive(buf, sizeof buf, request_done + (answer - 1) * byte_ns), answer - 1);
  EXPECT_EQ(device.HostReceive(buf, sizeof buf, request_done + answer * byte_ns), 1u);
  EXPECT_EQ(buf[0], 0x7E);
  EXPECT_EQ(device.NextEventNs(), UINT64_MAX);
}

TEST(SimDevice, Noise_SameSeedSameDamage_DifferentSeedDifferentDamage) {
  auto run = [](uint32_t seed) {
    Faults f;
    f.corrupt_probability = 0.02;
    f.drop_probability = 0.01;
    f.seed = seed;
    SimDevice device({}, f, 0);
    std::vector<uint8_t> got;
    for (int i = 0; i < 20; ++i) {
      device.HostSend(kHandshake.data(), kHandshake.size(), 0);
      uint8_t buf[600];
      const size_t n = device.HostReceive(buf, sizeof buf, 0);
      got.insert(got.end(), buf, buf + n);
    }
    return std::make_pair(got, device.requests());
  };
  const auto a = run(7);
  EXPECT_EQ(a, run(7));
  EXPECT_NE(a, run(8));
  EXPECT_LT(a.second, 20);  // some requests were damaged beyond recognition
}

TEST(SimDevice, HostPurge_DropsOnlyArrivedBytes) {
  SimDevice device({}, {}, 115200);
  device.HostSend(kHandshake.data(), kHandshake.size(), 0);
  const uint64_t byte_ns = 10'000'000'000ull / 115200;
  const uint64_t mid = (kHandshake.size() + 9) * byte_ns;
  device.HostPurge(mid);
  uint8_t buf[64];
  EXPECT_EQ(device.HostReceive(buf, sizeof buf, mid + 100 * byte_ns), 9u);
}

TEST(SimPort, WaitingReadAdvancesFakeClock_ToArrivalOrReadWait) {
  link::ManualClock clock(5000);
  auto device = std::make_shared<SimDevice>(DeviceSettings{}, Faults{}, 9600);
  SimPort port(device, clock);
  ASSERT_TRUE(port.Open("COM1"));
  EXPECT_FALSE(port.Open("COM1"));  // exclusive
  EXPECT_EQ(port.LastErrorCode(), 16u);
  EXPECT_TRUE(port.CarrierDetected());

  uint8_t buf[256];
  size_t got = 99;
  ASSERT_TRUE(port.Read(buf, sizeof buf, got));
  EXPECT_EQ(got, 0u);
  EXPECT_EQ(clock.NowMs(), 5000 + link::kReadWaitMs);

  size_t written = 0;
  ASSERT_TRUE(port.Write(kHandshake.data(), kHandshake.size(), written));
  EXPECT_EQ(written, kHandshake.size());
  // 18 bytes each way at 9600 Bd: the answer starts after 18.75 ms.
  ASSERT_TRUE(port.Read(buf, sizeof buf, got));
  EXPECT_GE(got, 1u);
  EXPECT_EQ(clock.NowMs(), 5100u + 20);
  size_t total = got;
  while (total < 18) {
    ASSERT_TRUE(port.Read(buf, sizeof buf, got));
    ASSERT_GT(got, 0u);
    total += got;
  }
  EXPECT_EQ(clock.NowMs(), 5100u + 38);  // 36 bytes x 1.0417 ms
  port.SetCarrier(false);
  EXPECT_FALSE(port.CarrierDetected());
}

TEST(SimDevice, DemoSettings_StartTheDeviceClockAtTheGivenClocksLocalTime_InsideTheDeviceCalendar) {
  struct Case {
    link::LocalDateTime local;
    uint32_t device_time;
  } cases[] = {
      {{2024, 6, 1, 9, 0, 0}, kDefaultDeviceTime},
      {{2012, 1, 1, 0, 0, 0}, 0},
      {{2099, 12, 31, 23, 59, 59}, DeviceTimeOf(2099, 12, 31, 23, 59, 59)},
      {{2011, 12, 31, 23, 59, 59}, kDefaultDeviceTime},  // before the calendar: the default time
      {{2100, 1, 1, 0, 0, 0}, kDefaultDeviceTime},       // after it
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.local.year);
    link::ManualClock clock;
    clock.SetLocal(c.local);
    EXPECT_EQ(DemoDeviceSettings(clock).device_time, c.device_time);
  }
}

}  // namespace
}  // namespace tamlo::sim

namespace tamlo::sim {
namespace {

// tamlo-sim keeps what the configurator wrote through the file seam, so the
// image is on the disk before it replaces the old one, and a failed write
// replaces nothing.
TEST(StoredImage, SavedThroughTheSeam_AShortWriteCommitsNothingAndSaysSo) {
  struct Files final : FileSystem {
    std::string committed;
    size_t accept = SIZE_MAX;
    std::unique_ptr<InputFile> OpenRead(const std::string&, FileProblem& problem) override {
      problem = {"No such file or directory", true};
      return nullptr;
    }
    std::unique_ptr<ReplacementFile> CreateReplacement(const std::string&, FileProblem&) override {
      struct File final : ReplacementFile {
        Files& fs;
        std::string bytes;
        explicit File(Files& f) : fs(f) {}
        size_t Write(const uint8_t* d, size_t n) override {
          n = std::min(n, fs.accept);
          bytes.append(reinterpret_cast<const char*>(d), n);
          return n;
        }
        std::string Commit() override {
          fs.committed = bytes;
          return {};
        }
        std::string Problem() const override { return "No space left on device"; }
        void Discard() override {}
      };
      return std::make_unique<File>(*this);
    }
  } files;
  const std::vector<uint8_t> image = FactoryImage();
  std::string error;
  ASSERT_TRUE(SaveImageFile(files, "dev.tamlo", image, error)) << error;
  EXPECT_EQ(files.committed, std::string(image.begin(), image.end()));
  files.committed.clear();
  files.accept = 4;
  EXPECT_FALSE(SaveImageFile(files, "dev.tamlo", image, error));
  EXPECT_EQ(error, "Ошибка записи файла \"dev.tamlo\"");
  EXPECT_EQ(files.committed, "");
}

}  // namespace
}  // namespace tamlo::sim
