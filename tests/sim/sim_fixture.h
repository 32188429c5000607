#pragma once
// The device link against the in-process simulated device on a fake clock:
// nothing sleeps, a 30 s time-out costs microseconds, every run is the same.
#include <memory>
#include <string>

#include "config/byte_order.h"
#include "link/clock.h"
#include "link/exchange_dispatcher.h"
#include "link/recording_callback.h"
#include "sim/sim_device.h"
#include "sim/sim_port.h"
#include "sim/stored_image.h"

namespace tamlo::sim::testing {

using link::testing::RecordingCallback;

class SimLink {
 public:
  explicit SimLink(DeviceSettings settings = {}, Faults faults = {}, uint32_t baud = kDefaultBaud)
      : device(std::make_shared<SimDevice>(std::move(settings), std::move(faults), baud)),
        port(device, clock),
        link(port, clock, pump) {}

  // One serial_process call with a fresh callback record.
  int Run(unsigned action, const link::ActionInput& input = {}) {
    cb = RecordingCallback{};
    cb.passwords = passwords;
    return link.serial_process(std::string("\\\\.\\COM7"), action, input, cb);
  }
  int Write(const std::vector<uint8_t>& image) {
    return Run(link::CONFIG_WRITE, link::ActionInput{image.data(), image.size(), nullptr});
  }
  bool Logged(const std::string& line) const {
    for (const std::string& l : cb.log)
      if (l == line) return true;
    return false;
  }
  DeviceEngine& engine() { return device->engine(); }
  uint32_t DeviceNow() { return engine().DeviceTime(port.NowNs() / 1'000'000); }

  link::ManualClock clock{1000};
  link::ManualPump pump{clock};
  std::shared_ptr<SimDevice> device;
  SimPort port;
  link::ExchangeDispatcher link;
  RecordingCallback cb;
  std::deque<std::string> passwords;  // handed to every run's callback
};

// A configuration image with `length` bytes of data; every byte value occurs,
// flags and escapes included.
inline std::vector<uint8_t> TestImage(size_t length, uint32_t seed = 1) {
  std::vector<uint8_t> image = FactoryImage();
  uint32_t x = seed * 2654435761u + 1;
  for (size_t i = 0; i < length; ++i) {
    x = x * 1103515245u + 12345u;
    image.push_back(uint8_t(i % 7 == 0 ? 0x7E : x >> 16));
  }
  WriteLe32(&image[8], uint32_t(length));
  WriteLe32(&image[16], uint32_t(length));
  return image;
}

// The image as the device stores it: its number and store time filled in.
inline std::vector<uint8_t> WithoutDeviceFields(std::vector<uint8_t> image) {
  if (image.size() >= kImageHeaderSize) std::fill(image.begin() + 24, image.begin() + 32, 0);
  return image;
}

}  // namespace tamlo::sim::testing
