// Any sequence of well-framed requests, however wrong their order, numbers,
// lengths or contents, must leave the simulated device answering sanely: no
// crash, answers within a block's payload limit, the stored image always a
// whole image.
//
// Input: records of u8 command, u8 flags (bit 0 handshake first, bit 1 repeat
// the previous block number, bits 2-7 seconds to wait), u8 length, payload.
#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "sim/device_engine.h"
#include "sim/stored_image.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace tamlo::sim;
  DeviceSettings settings;
  settings.password = (size > 0 && data[0] & 1) ? "pw" : "";
  settings.image_capacity = 2048;
  // The generated journal is costly to build; most inputs use a small one.
  if (size > 0 && (data[0] & 6) != 0) settings.journal = std::vector<uint8_t>(data[0], 0x5A);
  DeviceEngine device(settings);
  uint16_t number = 0;
  uint64_t now = 0;
  size_t pos = 0;
  while (pos + 3 <= size) {
    const uint8_t command = data[pos];
    const uint8_t flags = data[pos + 1];
    size_t length = data[pos + 2];
    pos += 3;
    if (length > size - pos) length = size - pos;
    now += uint64_t(flags >> 2) * 1000;
    if (flags & 1) {
      const uint8_t hello[8] = {1, 2, 3, 4, 0, 1, 0, 1};
      device.Handle(0, kCmdConnect, hello, sizeof hello, now);
      number = 0;
    }
    if (!(flags & 2)) number = uint16_t(number == 0xFFFF ? 1 : number + 1);
    const Block answer = device.Handle(number, command, data + pos, length, now);
    if (answer.payload.size() > 256 || answer.code < 0x80) std::abort();
    const std::vector<uint8_t>& image = device.image();
    uint32_t data_length = 0;
    if (image.size() < kImageHeaderSize || image.size() > settings.image_capacity ||
        !ImageDataLength(image.data(), data_length) || data_length > image.size() - kImageHeaderSize)
      std::abort();
    pos += length;
  }
  return 0;
}
