#include "link/serial_core.h"

#include <algorithm>

#include "link/secure_wipe.h"
#include "link/text_format.h"

namespace tamlo::link {

SerialCore::SerialCore(SerialPort& port, const Clock& clock, MessagePump& pump)
    : m_port(port), m_clock(clock), m_pump(pump) {
  m_receiver.SetLogSink([this](const std::string& line) {
    if (m_log_target != nullptr) m_log_target->OnLog(line);
  });
}

void SerialCore::ResetForExchange() {
  m_tx_mtu = kMaxPayload;
  m_cancel = false;
  m_carrier_check = false;
}

std::string SerialCore::SetPortParams(bool handshake, uint32_t baud, LinkCallback& callback) {
  PortSettings s;
  if (!m_port.GetSettings(s)) return "GetCommState() failed";
  s.baud = baud;
  s.raw_8n1 = true;
  s.dsr_flow = false;
  s.dtr_on = true;
  s.xon_xoff = false;
  // The modem connection runs with RTS/CTS; a local cable has no handshake
  // lines worth trusting, so RTS simply stays up.
  s.rts_cts = handshake;
  s.rts_on = !handshake;
  if (s.xon_limit && s.xoff_limit) callback.OnLog(Format("dcb: XonLim=%d XoffLim=%d", *s.xon_limit, *s.xoff_limit));
  if (!m_port.SetSettings(s)) return "SetCommState() failed";
  return {};
}

std::string SerialCore::SetupPort(bool handshake, LinkCallback& callback) {
  std::string error = SetPortParams(handshake, kLinkBaud, callback);
  if (!error.empty()) return error;
  if (!m_port.Purge()) return "PurgeComm() failed";
  if (!m_port.SetTimeouts()) return "SetCommTimeouts() failed";
  ClearReceiveBuffer();
  return {};
}

int SerialCore::ProcessPendingMessages() {
  m_pump.DispatchPending();
  if (m_cancel) {
    m_cancel = false;
    return -2;
  }
  return 0;
}

int SerialCore::WaitPumping(uint32_t ms) {
  const Deadline wait = Deadline::After(m_clock, ms);
  for (;;) {
    if (ProcessPendingMessages() != 0) return -2;
    const uint32_t left = wait.Remaining(m_clock);
    if (left == 0) return 0;
    // Short slices: a cancel pressed during the wait is seen within 50 ms.
    m_pump.IdleWait(std::min<uint32_t>(left, 50));
  }
}

void SerialCore::RequestCancel() {
  if (!m_disconnecting) m_cancel = true;
}

int SerialCore::FillReceiveBuffer(LinkCallback& callback) {
  if (ProcessPendingMessages() != 0) return -2;
  if (m_rx_pos < m_rx_fill) return 0;
  m_rx_pos = m_rx_fill = 0;
  if (m_carrier_check && !m_port.CarrierDetected()) return -7;
  size_t got = 0;
  if (!m_port.Read(m_rx_buffer, sizeof m_rx_buffer, got)) {
    callback.OnError(Format("Ошибка %lu при чтении из порта:\n\n%s", static_cast<unsigned long>(m_port.LastErrorCode()),
                            m_port.LastErrorText().c_str()));
    return -3;
  }
  m_rx_fill = std::min(got, sizeof m_rx_buffer);
  return 0;
}

int SerialCore::WritePort(const uint8_t* data, size_t size, LinkCallback& callback) {
  const Deadline limit = Deadline::After(m_clock, kWriteTimeoutMs);
  size_t done = 0;
  while (done < size) {
    if (ProcessPendingMessages() != 0) return -2;
    if (limit.Elapsed(m_clock) > kWriteTimeoutMs) return -5;
    if (m_carrier_check && !m_port.CarrierDetected()) return -7;
    size_t written = 0;
    if (!m_port.Write(data + done, size - done, written)) {
      callback.OnError(Format("Ошибка %lu при записи в порт:\n\n%s", static_cast<unsigned long>(m_port.LastErrorCode()),
                              m_port.LastErrorText().c_str()));
      return -4;
    }
    done += std::min(written, size - done);
  }
  return 0;
}

void SerialCore::WipeTransmitBuffers() {
  SecureWipe(m_tx_block, sizeof m_tx_block);
  SecureWipe(m_tx_frame, sizeof m_tx_frame);
}

void SerialCore::BuildFrame(size_t payload_length) {
  const size_t length = AppendBlockCrc(m_tx_block, kBlockHeaderSize + payload_length);
  m_tx_frame_length = EncodeFrame(m_tx_block, length, m_tx_frame);
}

int SerialCore::ReceiveBlock(LinkCallback& callback) {
  const int r = FillReceiveBuffer(callback);
  if (r < 0) return r;
  size_t consumed = 0;
  m_log_target = &callback;
  const size_t length = m_receiver.Feed(m_rx_buffer + m_rx_pos, m_rx_fill - m_rx_pos, consumed);
  m_log_target = nullptr;
  m_rx_pos += consumed;
  return static_cast<int>(length);
}

}  // namespace tamlo::link
