// The frame receiver on arbitrary line noise, in arbitrary read sizes: it
// never reads or writes outside its buffers, every block it delivers passes
// the CRC and fits the block limits, and a block framed by the encoder inside
// the noise comes through unchanged.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "link/frame.h"

using namespace tamlo::link;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 2) return 0;
  const size_t chunk = 1 + data[0] % 64;       // read size
  const size_t payload = data[1] % (kMaxPayload + 1);
  data += 2;
  size -= 2;

  // A known block, framed, put after the noise.
  std::vector<uint8_t> block(kBlockHeaderSize + payload + kBlockCrcSize);
  for (size_t i = 0; i < kBlockHeaderSize + payload; ++i) block[i] = size ? data[i % size] : static_cast<uint8_t>(i);
  AppendBlockCrc(block.data(), kBlockHeaderSize + payload);
  uint8_t frame[kFrameBufferSize];
  const size_t frame_length = EncodeFrame(block.data(), block.size(), frame);
  if (frame_length > kMaxFrame) std::abort();

  std::vector<uint8_t> wire(data, data + size);
  wire.push_back(kFrameFlag);  // ends whatever the noise left open
  wire.insert(wire.end(), frame, frame + frame_length);

  FrameReceiver rx([](const std::string&) {});
  bool known_seen = false;
  for (size_t pos = 0; pos < wire.size(); pos += chunk) {
    const size_t n = std::min(chunk, wire.size() - pos);
    for (size_t at = 0; at < n;) {
      size_t consumed = 0;
      const size_t length = rx.Feed(wire.data() + pos + at, n - at, consumed);
      if (consumed == 0 || consumed > n - at) std::abort();
      at += consumed;
      if (length == 0) continue;
      if (length < kBlockHeaderSize || length > kMaxBlock - kBlockCrcSize) std::abort();
      if (!BlockCrcValid(rx.block(), length + kBlockCrcSize)) std::abort();
      known_seen = length == kBlockHeaderSize + payload &&
                   std::memcmp(rx.block(), block.data(), length) == 0;
    }
  }
  if (!known_seen) std::abort();  // the last block must be the known one
  return 0;
}
