#include "fake_port.h"

#include <algorithm>

namespace tamlo::link::testing {

Bytes FrameBlock(uint16_t number, uint8_t code, const Bytes& payload) {
  Bytes block = {static_cast<uint8_t>(number), static_cast<uint8_t>(number >> 8), code, 0};
  block.insert(block.end(), payload.begin(), payload.end());
  block.resize(block.size() + 4);
  AppendBlockCrc(block.data(), block.size() - 4);
  Bytes frame(2 * block.size() + 2);
  frame.resize(EncodeFrame(block.data(), block.size(), frame.data()));
  return frame;
}

void FakePort::Answer(uint16_t number, uint8_t code, const Bytes& payload, uint32_t delay_ms) {
  Feed(FrameBlock(number, code, payload), delay_ms);
}

void FakePort::Feed(const Bytes& bytes, uint32_t delay_ms) {
  const uint32_t at = m_clock.NowMs() + delay_ms;
  for (uint8_t b : bytes) m_inbound.emplace_back(at, b);
  std::stable_sort(m_inbound.begin(), m_inbound.end(),
                   [](const auto& a, const auto& b) { return static_cast<int32_t>(a.first - b.first) < 0; });
}

bool FakePort::Check(bool ok) {
  if (ok) {
    m_error = 0;
    m_error_text.clear();
  } else {
    m_error = 5;
    m_error_text = "Отказано в доступе.";
  }
  return ok;
}

bool FakePort::Open(const std::string& name) {
  opened_name = name;
  if (!Check(!refuse_open)) return false;
  ++open_count;
  m_open = true;
  return true;
}

void FakePort::Close() {
  if (m_open) ++close_count;
  m_open = false;
}

bool FakePort::GetSettings(PortSettings& settings) {
  if (!Check(!fail_get_settings)) return false;
  settings = driver_settings;
  return true;
}

bool FakePort::SetSettings(const PortSettings& settings) {
  if (!Check(!fail_set_settings)) return false;
  m_applied = settings;
  return true;
}

bool FakePort::Purge() {
  if (!Check(!fail_purge)) return false;
  ++purge_count;
  const uint32_t now = m_clock.NowMs();
  while (!m_inbound.empty() && static_cast<int32_t>(now - m_inbound.front().first) >= 0) m_inbound.pop_front();
  return true;
}

std::optional<PortQueues> FakePort::Queues() {
  if (!queues_known) return std::nullopt;
  return PortQueues{0, 4096, 0, 4096};
}

bool FakePort::Read(uint8_t* buffer, size_t capacity, size_t& got) {
  got = 0;
  if (!Check(!fail_read)) return false;
  auto arrived = [&] {
    return !m_inbound.empty() && static_cast<int32_t>(m_clock.NowMs() - m_inbound.front().first) >= 0;
  };
  if (!arrived()) {
    // Block like the real port: until the first byte or the read wait.
    uint32_t wait = kReadWaitMs;
    if (!m_inbound.empty()) wait = std::min<uint32_t>(wait, m_inbound.front().first - m_clock.NowMs());
    m_clock.Advance(wait);
  }
  while (got < capacity && got < read_chunk && arrived()) {
    buffer[got++] = m_inbound.front().second;
    m_inbound.pop_front();
  }
  return true;
}

bool FakePort::Write(const uint8_t* data, size_t size, size_t& written) {
  written = 0;
  if (!Check(!fail_write)) return false;
  if (stall_write) {
    m_clock.Advance(kWriteWaitMs);
    return true;
  }
  written = size;
  m_written.insert(m_written.end(), data, data + size);
  if (on_bytes) on_bytes(data, size);
  for (size_t at = 0; at < size;) {
    size_t consumed = 0;
    const size_t length = m_device_rx.Feed(data + at, size - at, consumed);
    at += consumed;
    if (length == 0) continue;
    const uint8_t* b = m_device_rx.block();
    Request r;
    r.number = static_cast<uint16_t>(b[0] | (b[1] << 8));
    r.command = b[2];
    r.payload.assign(b + 4, b + length);
    r.at_ms = m_clock.NowMs();
    m_requests.push_back(r);
    if (m_responder) m_responder(m_requests.back(), *this);
  }
  return true;
}

}  // namespace tamlo::link::testing
