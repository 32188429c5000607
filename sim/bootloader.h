#pragma once
// The simulated device's bootloader: a plain byte protocol at 19200 Bd.
//
// It waits for the wake string (0x18 x6, 0x08 x6, "S UPGRADE", CR), answers
// with the prompt " (Y/N) ? " and takes "Y" (any other byte: back to waiting
// for the wake string). Then it receives the firmware by XMODEM with the
// 8-bit checksum: NAK to start (repeated every 3 s until the first block
// comes), ACK or NAK per 132-byte block, a repeated block ACKed and dropped,
// EOT ACKed to end. The received image (padding included) is kept; after the
// final ACK the device restarts into its firmware.
//
// Faults on request: NAK one block a number of times, or cancel (three CAN)
// when a given block arrives.
#include <cstdint>
#include <functional>
#include <vector>

namespace tamlo::sim {

inline constexpr uint32_t kBootloaderBaud = 19200;

struct BootloaderSettings {
  int nak_block = 0;        // the block (1 = first) refused nak_count times before it is taken
  int nak_count = 0;
  int cancel_at_block = 0;  // answer this block with CAN CAN CAN
};

class SimBootloader {
 public:
  using Sink = std::function<void(const uint8_t* data, size_t size, uint64_t at_ns)>;

  SimBootloader(BootloaderSettings settings, Sink sink) : m_settings(settings), m_sink(std::move(sink)) {}

  // Starts waiting for the wake string, or (receive_at_once) straight in the
  // XMODEM receive state, as after "Y".
  void Start(uint64_t now_ns, bool receive_at_once);
  void OnByte(uint8_t byte, uint64_t at_ns);
  uint64_t NextTimerNs() const { return m_timer_ns; }
  void OnTimer(uint64_t now_ns);

  // True once after a completed transfer: the device restarts into its firmware.
  bool TakeFinished();
  BootloaderSettings& settings() { return m_settings; }
  // The last completed image, 128 bytes per block, padding included.
  const std::vector<uint8_t>& image() const { return m_image; }
  // Transfer statistics of the last transfer.
  uint64_t first_block_ns() const { return m_first_block_ns; }
  uint64_t final_ack_ns() const { return m_final_ack_ns; }
  int naks_sent() const { return m_naks; }
  // Bytes received and sent from the first block to the final ACK (included).
  uint64_t transfer_bytes_in() const { return m_bytes_in; }
  uint64_t transfer_bytes_out() const { return m_bytes_out; }
  int transfers() const { return m_transfers; }

 private:
  enum class State { kWaitWake, kWaitAnswer, kReceive, kBlock };
  void Send(uint8_t byte, uint64_t at_ns);
  void OnBlock(uint64_t at_ns);

  BootloaderSettings m_settings;
  Sink m_sink;
  State m_state = State::kWaitWake;
  size_t m_wake_matched = 0;
  uint8_t m_block[132]{};
  size_t m_block_fill = 0;
  uint8_t m_expected = 1;      // next block number
  int m_good_blocks = 0;       // blocks taken in this transfer
  int m_refusals_given = 0;
  bool m_started = false;      // a block has arrived in this transfer
  uint64_t m_timer_ns = UINT64_MAX;
  std::vector<uint8_t> m_receiving;
  std::vector<uint8_t> m_image;
  bool m_finished = false;
  uint64_t m_first_block_ns = 0;
  uint64_t m_final_ack_ns = 0;
  int m_naks = 0;
  uint64_t m_bytes_in = 0;
  uint64_t m_bytes_out = 0;
  int m_transfers = 0;
};

}  // namespace tamlo::sim
