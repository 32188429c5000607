#include "sim/bootloader.h"

#include <cstring>

namespace tamlo::sim {
namespace {

constexpr uint8_t kSoh = 0x01, kEot = 0x04, kAck = 0x06, kNak = 0x15, kCan = 0x18;
constexpr uint8_t kWake[22] = {0x18, 0x18, 0x18, 0x18, 0x18, 0x18, 0x08, 0x08, 0x08, 0x08, 0x08,
                               0x08, 'S',  ' ',  'U',  'P',  'G',  'R',  'A',  'D',  'E',  0x0D};
constexpr char kPrompt[] = " (Y/N) ? ";
constexpr uint64_t kStartNakPeriodNs = 3'000'000'000ull;
constexpr uint64_t kBlockSilenceNs = 10'000'000'000ull;

}  // namespace

void SimBootloader::Send(uint8_t byte, uint64_t at_ns) {
  if (byte == kNak) ++m_naks;
  if (m_started) ++m_bytes_out;
  m_sink(&byte, 1, at_ns);
}

void SimBootloader::Start(uint64_t now_ns, bool receive_at_once) {
  m_wake_matched = 0;
  m_block_fill = 0;
  m_timer_ns = UINT64_MAX;
  m_state = State::kWaitWake;
  if (!receive_at_once) return;
  m_state = State::kReceive;
  m_expected = 1;
  m_good_blocks = 0;
  m_refusals_given = 0;
  m_started = false;
  m_receiving.clear();
  Send(kNak, now_ns);
  m_timer_ns = now_ns + kStartNakPeriodNs;
}

void SimBootloader::OnTimer(uint64_t now_ns) {
  if (m_timer_ns > now_ns) return;
  // Nothing came: ask again (the sender may have started late or lost a byte).
  m_block_fill = 0;
  if (m_state == State::kBlock) m_state = State::kReceive;
  Send(kNak, m_timer_ns);
  m_timer_ns += m_started ? kBlockSilenceNs : kStartNakPeriodNs;
}

void SimBootloader::OnByte(uint8_t byte, uint64_t at_ns) {
  if (m_started && (m_state == State::kReceive || m_state == State::kBlock)) ++m_bytes_in;
  switch (m_state) {
    case State::kWaitWake:
      if (byte == kWake[m_wake_matched]) {
        if (++m_wake_matched == sizeof kWake) {
          m_wake_matched = 0;
          m_sink(reinterpret_cast<const uint8_t*>(kPrompt), sizeof kPrompt - 1, at_ns);
          m_state = State::kWaitAnswer;
        }
      } else {
        m_wake_matched = byte == kWake[0] ? 1 : 0;
      }
      return;
    case State::kWaitAnswer:
      if (byte == 'Y') Start(at_ns, true);
      else m_state = State::kWaitWake;
      return;
    case State::kReceive:
      if (m_started) m_timer_ns = at_ns + kBlockSilenceNs;
      if (byte == kSoh) {
        m_block[0] = byte;
        m_block_fill = 1;
        m_state = State::kBlock;
        if (!m_started) {
          m_started = true;
          m_first_block_ns = at_ns;
          m_bytes_in = 1;
          m_bytes_out = 0;
          m_timer_ns = at_ns + kBlockSilenceNs;
        }
      } else if (byte == kEot && m_started) {
        Send(kAck, at_ns);
        m_final_ack_ns = at_ns;
        m_image = m_receiving;
        ++m_transfers;
        m_finished = true;
        m_timer_ns = UINT64_MAX;
        m_state = State::kWaitWake;
      }
      return;  // anything else is line noise between blocks
    case State::kBlock:
      m_timer_ns = at_ns + kBlockSilenceNs;
      m_block[m_block_fill++] = byte;
      if (m_block_fill == sizeof m_block) {
        m_state = State::kReceive;
        m_block_fill = 0;
        OnBlock(at_ns);
      }
      return;
  }
}

void SimBootloader::OnBlock(uint64_t at_ns) {
  const uint8_t number = m_block[1];
  uint8_t sum = 0;
  for (size_t i = 3; i < 131; ++i) sum = uint8_t(sum + m_block[i]);
  if (uint8_t(number + m_block[2]) != 0xFF || sum != m_block[131]) {
    Send(kNak, at_ns);
    return;
  }
  if (number == uint8_t(m_expected - 1) && m_good_blocks > 0) {
    Send(kAck, at_ns);  // our ACK was lost: the sender repeats a block we have
    return;
  }
  if (number != m_expected) {
    Send(kNak, at_ns);
    return;
  }
  const int index = m_good_blocks + 1;
  if (index == m_settings.cancel_at_block) {
    const uint8_t cancel[3] = {kCan, kCan, kCan};
    m_sink(cancel, 3, at_ns);
    m_timer_ns = UINT64_MAX;
    m_state = State::kWaitWake;
    return;
  }
  if (index == m_settings.nak_block && m_refusals_given < m_settings.nak_count) {
    ++m_refusals_given;
    Send(kNak, at_ns);
    return;
  }
  m_receiving.insert(m_receiving.end(), m_block + 3, m_block + 131);
  ++m_good_blocks;
  ++m_expected;
  m_refusals_given = 0;
  Send(kAck, at_ns);
}

bool SimBootloader::TakeFinished() {
  const bool finished = m_finished;
  m_finished = false;
  return finished;
}

}  // namespace tamlo::sim
