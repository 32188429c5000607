#pragma once
// Block framing, shared by the host link and the simulated device.
//
// Block (before escaping), requests and answers alike:
//   offset 0  u16 block number, little-endian
//   offset 2  u8  command code (request) / answer code (answer)
//   offset 3  u8  reserved: 0 in requests, ignored in answers
//   offset 4  n   payload, 0..256 bytes
//   offset 4+n u32 CRC-32 (complemented register) of bytes 0..3+n, LSB first
// Frame on the wire: 0x7E, the block with 0x11 0x13 0x7D 0x7E each sent as
// 0x7D followed by the byte XOR 0x20, 0x7E.
//
// Worked example: block 01 00 48 00 (number 1, command 0x48, no payload) has
// the CRC 0xA1587D74 and goes out as 7E 01 00 48 00 74 7D 5D 58 A1 7E.
#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>

namespace tamlo::link {

inline constexpr size_t kBlockHeaderSize = 4;
inline constexpr size_t kBlockCrcSize = 4;
inline constexpr size_t kMaxPayload = 256;
inline constexpr size_t kMaxBlock = kBlockHeaderSize + kMaxPayload + kBlockCrcSize;  // 264
inline constexpr size_t kMinBlock = kBlockHeaderSize + kBlockCrcSize;                // 8
inline constexpr size_t kMaxFrame = 2 + 2 * kMaxBlock;                               // 530
inline constexpr size_t kFrameBufferSize = 532;
inline constexpr uint8_t kFrameFlag = 0x7E;
inline constexpr uint8_t kFrameEscape = 0x7D;

inline bool NeedsEscape(uint8_t b) { return b == 0x11 || b == 0x13 || b == 0x7D || b == 0x7E; }

// Writes the CRC of block[0..length) after it, LSB first; returns length + 4.
size_t AppendBlockCrc(uint8_t* block, size_t length);
// True when the register over the whole block, CRC included, leaves the residue.
bool BlockCrcValid(const uint8_t* block, size_t length);

// Escapes block[0..length) between two flags into `frame`, which must hold
// 2 * length + 2 bytes. Returns the frame length.
size_t EncodeFrame(const uint8_t* block, size_t length, uint8_t* frame);

// The receiver: hunts for a flag, collects one block, checks it at the
// closing flag. Damaged blocks are dropped with a log line; recovery is the
// sender's retransmission.
class FrameReceiver {
 public:
  enum class State { Hunting = 0, InBlock = 1, Overflow = 2 };
  // Receives the receiver's log lines ("Ошибка CRC блока", ...), UTF-8.
  using LogSink = std::function<void(const std::string& line)>;

  explicit FrameReceiver(LogSink log = {}) : m_log(std::move(log)) {}
  void SetLogSink(LogSink log) { m_log = std::move(log); }

  // Back to hunting; the partial block is forgotten.
  void Reset() { m_state = State::Hunting; m_escape = false; m_length = 0; }

  // Feeds bytes until a closing flag or the end of the input, whichever comes
  // first; `consumed` tells how many were taken (the rest belong to the next
  // call). Returns the header-plus-payload length (block length - 4) of a good
  // block, which then lies in block(); 0 when the input ran out or a block was
  // dropped at its closing flag.
  size_t Feed(const uint8_t* data, size_t size, size_t& consumed);

  State state() const { return m_state; }
  const uint8_t* block() const { return m_block; }

 private:
  void Log(const std::string& line) {
    if (m_log) m_log(line);
  }
  size_t CloseBlock();

  LogSink m_log;
  State m_state = State::Hunting;
  bool m_escape = false;
  size_t m_length = 0;
  uint8_t m_block[kMaxBlock]{};
};

}  // namespace tamlo::link
