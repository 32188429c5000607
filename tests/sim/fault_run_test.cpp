// Line noise against the whole link: configuration writes and reads, over
// and over, either succeed or fail with a reported error, and no read ever
// hands the caller a byte that was not written.
#include <gtest/gtest.h>

#include "sim_fixture.h"

namespace tamlo::sim::testing {
namespace {

using namespace tamlo::link;

struct NoiseCase {
  double corrupt;
  double drop;
  uint32_t seed;
};

class NoiseRun : public ::testing::TestWithParam<NoiseCase> {};

TEST_P(NoiseRun, WritesAndReads_SucceedExactlyOrFailReported) {
  const NoiseCase c = GetParam();
  Faults f;
  f.corrupt_probability = c.corrupt;
  f.drop_probability = c.drop;
  f.seed = c.seed;
  DeviceSettings s;
  s.write_chunk = 128;
  SimLink sim(s, f);

  int writes_ok = 0, reads_ok = 0;
  std::vector<uint8_t> stored = WithoutDeviceFields(sim.engine().image());
  for (uint32_t round = 0; round < 6; ++round) {
    SCOPED_TRACE("round " + std::to_string(round));
    const std::vector<uint8_t> image = TestImage(1500 + 97 * round, c.seed * 100 + round);
    const int w = sim.Write(image);
    const std::vector<uint8_t> now_stored = WithoutDeviceFields(sim.engine().image());
    if (w == 0) {
      ++writes_ok;
      EXPECT_EQ(now_stored, image);
    } else {
      EXPECT_EQ(w, -1);
      EXPECT_FALSE(sim.cb.errors.empty());
      // A broken write leaves the old image, or the new one when only the
      // steps after the last chunk failed; never a mixture.
      EXPECT_TRUE(now_stored == stored || now_stored == image);
    }
    stored = now_stored;

    const int r = sim.Run(CONFIG_READ);
    const std::vector<uint8_t>& device_image = sim.engine().image();
    // Whatever was delivered is the device's image from its start, in order.
    ASSERT_LE(sim.cb.data_bytes.size(), device_image.size());
    EXPECT_TRUE(std::equal(sim.cb.data_bytes.begin(), sim.cb.data_bytes.end(), device_image.begin()));
    size_t expected_position = 0;
    for (size_t i = 0; i + 1 < sim.cb.positions.size(); ++i) {
      EXPECT_EQ(sim.cb.positions[i], expected_position);
      expected_position = sim.cb.positions[i + 1];
    }
    if (r == 0) {
      ++reads_ok;
      EXPECT_EQ(sim.cb.data_bytes, device_image);
      EXPECT_TRUE(sim.cb.errors.empty());
    } else {
      EXPECT_EQ(r, -1);
      EXPECT_EQ(sim.cb.errors.size(), 1u);
    }
  }
  if (c.corrupt + c.drop <= 0.001) {
    EXPECT_GT(writes_ok, 3);
    EXPECT_GT(reads_ok, 3);
  }
}

INSTANTIATE_TEST_SUITE_P(Noise, NoiseRun,
                         ::testing::Values(NoiseCase{0.0002, 0.0002, 1}, NoiseCase{0.0005, 0.0, 2},
                                           NoiseCase{0.0, 0.0005, 3}, NoiseCase{0.0004, 0.0004, 4},
                                           NoiseCase{0.004, 0.004, 5}, NoiseCase{0.01, 0.005, 6}));

}  // namespace
}  // namespace tamlo::sim::testing
