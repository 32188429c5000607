#include "sim/sim_device.h"

#include <algorithm>
#include <cstring>

#include "config/byte_order.h"

namespace tamlo::sim {

SimDevice::SimDevice(DeviceSettings settings, Faults faults, uint32_t baud)
    : m_engine(std::move(settings)),
      m_faults(std::move(faults)),
      m_baud(baud),
      m_byte_ns(baud == 0 ? 0 : 10'000'000'000ull / baud),
      m_random(m_faults.seed),
      m_bootloader({}, [this](const uint8_t* data, size_t size, uint64_t at_ns) {
        m_bytes_to_host += size;
        Transmit(data, size, at_ns, m_device_line_free_ns, m_to_host);
      }) {}

uint64_t SimDevice::ByteNs() const {
  if (m_baud == 0 || !m_in_bootloader) return m_byte_ns;
  return 10'000'000'000ull / kBootloaderBaud;
}

void SimDevice::AttachModem(ModemSettings settings) {
  m_modem = std::make_unique<SimModem>(std::move(settings), [this](const std::string& text, uint64_t at_ns) {
    Transmit(reinterpret_cast<const uint8_t*>(text.data()), text.size(), at_ns, m_device_line_free_ns, m_to_host);
  });
}

bool SimDevice::CarrierDetected(uint64_t now_ns) {
  Advance(now_ns);
  return !m_modem || m_modem->carrier();
}

void SimDevice::StartInBootloader(bool receive_at_once) {
  m_in_bootloader = true;
  m_bootloader.Start(0, receive_at_once);
}

uint64_t SimDevice::NextTimerNs() const {
  uint64_t next = m_in_bootloader ? m_bootloader.NextTimerNs() : UINT64_MAX;
  if (m_modem) next = std::min(next, m_modem->NextTimerNs());
  return next;
}

void SimDevice::RunTimers(uint64_t now_ns) {
  if (m_modem) m_modem->OnTimer(now_ns);
  if (m_in_bootloader) m_bootloader.OnTimer(now_ns);
}

void SimDevice::Transmit(const uint8_t* data, size_t size, uint64_t start_ns, uint64_t& line_free_ns,
                         std::deque<TimedByte>& queue) {
  std::uniform_real_distribution<double> chance(0.0, 1.0);
  uint64_t t = std::max(start_ns, line_free_ns);
  const uint64_t byte_ns = ByteNs();
  for (size_t i = 0; i < size; ++i) {
    t += byte_ns;
    uint8_t byte = data[i];
    if (m_faults.drop_probability > 0 && chance(m_random) < m_faults.drop_probability) continue;
    if (m_faults.corrupt_probability > 0 && chance(m_random) < m_faults.corrupt_probability) {
      byte ^= uint8_t(1u << (m_random() % 8));
    }
    queue.push_back({t, byte});
  }
  line_free_ns = t;
}

void SimDevice::HostSend(const uint8_t* data, size_t size, uint64_t now_ns) {
  Advance(now_ns);
  m_bytes_from_host += size;
  Transmit(data, size, now_ns, m_host_line_free_ns, m_to_device);
}

void SimDevice::Advance(uint64_t now_ns) {
  // Host bytes and the modem's and bootloader's own timers, in time order.
  for (;;) {
    const uint64_t byte_at = m_to_device.empty() ? UINT64_MAX : m_to_device.front().at_ns;
    const uint64_t timer_at = NextTimerNs();
    if (std::min(byte_at, timer_at) > now_ns) return;
    if (timer_at <= byte_at) {
      RunTimers(timer_at);
      continue;
    }
    const TimedByte b = m_to_device.front();
    m_to_device.pop_front();
    DeliverToDevice(b.byte, b.at_ns);
  }
}

void SimDevice::DeliverToDevice(uint8_t byte, uint64_t at_ns) {
  if (m_modem) {
    if (!m_modem->FromHost(byte, at_ns)) return;  // a command to the modem, or no call
  } else if (m_host_baud != 0 && m_host_baud != (m_in_bootloader ? kBootloaderBaud : kDefaultBaud)) {
    return;  // framing errors at the device: the byte is lost
  }
  if (m_in_bootloader) {
    m_bootloader.OnByte(byte, at_ns);
    if (m_bootloader.TakeFinished()) {
      // The new firmware starts after its final ACK.
      m_in_bootloader = false;
      m_receiver = link::FrameReceiver();
      if (on_firmware_received) on_firmware_received(m_bootloader.image());
    }
    return;
  }
  size_t consumed = 0;
  const size_t length = m_receiver.Feed(&byte, 1, consumed);
  if (length > 0) OnBlock(length, at_ns);
}

size_t SimDevice::HostAvailable(uint64_t now_ns) {
  Advance(now_ns);
  size_t n = 0;
  while (n < m_to_host.size() && m_to_host[n].at_ns <= now_ns) ++n;
  return n;
}

size_t SimDevice::HostReceive(uint8_t* buffer, size_t capacity, uint64_t now_ns) {
  Advance(now_ns);
  size_t n = 0;
  while (n < capacity && !m_to_host.empty() && m_to_host.front().at_ns <= now_ns) {
    buffer[n++] = m_to_host.front().byte;
    m_to_host.pop_front();
  }
  return n;
}

void SimDevice::HostPurge(uint64_t now_ns) {
  Advance(now_ns);
  while (!m_to_host.empty() && m_to_host.front().at_ns <= now_ns) m_to_host.pop_front();
}

uint64_t SimDevice::NextEventNs() const {
  uint64_t next = NextTimerNs();
  if (!m_to_device.empty()) next = m_to_device.front().at_ns;
  if (!m_to_host.empty()) next = std::min(next, m_to_host.front().at_ns);
  return next;
}

bool SimDevice::FaultRefusal(uint8_t command, uint8_t& code) {
  for (Refusal& r : m_faults.refusals) {
    if (r.command != command || r.count == 0) continue;
    if (r.count > 0) --r.count;
    code = r.code;
    return true;
  }
  return false;
}

void SimDevice::OnBlock(size_t length, uint64_t at_ns) {
  ++m_requests;
  if (m_faults.silent_requests != 0) {
    if (m_faults.silent_requests > 0) --m_faults.silent_requests;
    return;
  }
  const uint8_t* block = m_receiver.block();
  const uint16_t number = ReadLe16(block);
  const uint8_t command = block[2];
  Block answer;
  uint8_t refusal = 0;
  if (number != 0 && m_faults.retry_later_answers > 0) {
    --m_faults.retry_later_answers;
    answer = Block{number, kAnsRetryLater, {}};
  } else if (number != 0 && FaultRefusal(command, refusal)) {
    answer = Block{number, refusal, {}};
  } else {
    answer = m_engine.Handle(number, command, block + link::kBlockHeaderSize,
                             length - link::kBlockHeaderSize, at_ns / 1'000'000);
  }
  const uint64_t start = at_ns + uint64_t(m_faults.answer_delay_ms) * 1'000'000;
  if (m_faults.stale_answers > 0 && m_have_previous) {
    --m_faults.stale_answers;
    SendAnswer(m_previous_answer, start);
  }
  SendAnswer(answer, start);
  m_previous_answer = std::move(answer);
  m_have_previous = true;
  if (m_modem) m_modem->OnDeviceAnswer(start);
  if (m_engine.TakeBootloaderRequest()) {
    // The device restarts into its bootloader once the answer is out.
    m_in_bootloader = true;
    m_bootloader.Start(m_device_line_free_ns, false);
  }
}

void SimDevice::SendAnswer(const Block& answer, uint64_t start_ns) {
  uint8_t block[link::kMaxBlock];
  const size_t payload = std::min(answer.payload.size(), link::kMaxPayload);
  WriteLe16(block, answer.number);
  block[2] = answer.code;
  block[3] = 0;
  if (payload > 0) std::memcpy(block + link::kBlockHeaderSize, answer.payload.data(), payload);
  const size_t length = link::AppendBlockCrc(block, link::kBlockHeaderSize + payload);
  uint8_t frame[link::kFrameBufferSize];
  const size_t frame_length = link::EncodeFrame(block, length, frame);
  m_bytes_to_host += frame_length;
  Transmit(frame, frame_length, start_ns, m_device_line_free_ns, m_to_host);
}

}  // namespace tamlo::sim
