#pragma once
// The lowest layer of the device link: port set-up, byte moves that keep the
// user interface responsive and cancellable, and the fixed frame buffers.
//
// One SerialCore serves the whole program (one exchange at a time). Its
// buffers are fixed and reused: nothing is allocated per block.
//
// Waiting is "pump messages, then block briefly": a port read blocks for at
// most kReadWaitMs, so every loop re-checks its deadline and the cancel flag
// at least ten times a second.
#include <cstddef>
#include <cstdint>
#include <string>

#include "link/clock.h"
#include "link/frame.h"
#include "link/link_callback.h"
#include "link/serial_port.h"

namespace tamlo::link {

inline constexpr uint32_t kLinkBaud = 115200;
inline constexpr size_t kReceiveBufferSize = 256;
inline constexpr uint32_t kWriteTimeoutMs = 30000;

class SerialCore {
 public:
  SerialCore(SerialPort& port, const Clock& clock, MessagePump& pump);
  SerialCore(const SerialCore&) = delete;
  SerialCore& operator=(const SerialCore&) = delete;

  SerialPort& port() { return m_port; }
  const Clock& clock() const { return m_clock; }

  // Start of every exchange: TX MTU 256, cancel and carrier-check flags off.
  void ResetForExchange();

  // Reads the driver's settings, sets baud, 8N1 raw, DTR on, no software or
  // DSR flow control, and RTS/CTS handshake or a raised RTS; logs the
  // driver's XON/XOFF limits where the platform has them. Returns "" or the
  // failing step's text.
  std::string SetPortParams(bool handshake, uint32_t baud, LinkCallback& callback);
  // SetPortParams at 115200 Bd, purge, time-outs, empty receive buffer.
  std::string SetupPort(bool handshake, LinkCallback& callback);

  // 0, or -2 (cancel) / -3 (read failed, reported) / -7 (carrier lost).
  int FillReceiveBuffer(LinkCallback& callback);
  // 0, or -2 / -4 (write failed, reported) / -5 (not done in 30 s) / -7.
  int WritePort(const uint8_t* data, size_t size, LinkCallback& callback);
  bool CarrierDetected() { return m_port.CarrierDetected(); }

  // Dispatches pending messages; -2 (and the request cleared) when a cancel
  // was requested, else 0.
  int ProcessPendingMessages();
  // Pumps messages for `ms` milliseconds; 0, or -2 as soon as a cancel is seen.
  int WaitPumping(uint32_t ms);
  // Sets the cancel request unless the link is disconnecting. Safe to call
  // from anything the pump dispatches (cancel button, closing a window).
  void RequestCancel();

  // Transmit block: the command layer writes header and payload here.
  uint8_t* tx_block() { return m_tx_block; }
  uint8_t* tx_payload() { return m_tx_block + kBlockHeaderSize; }
  // Computes the CRC over header and payload and escapes the block into the
  // transmit frame.
  void BuildFrame(size_t payload_length);
  int SendFrame(LinkCallback& callback) { return WritePort(m_tx_frame, m_tx_frame_length, callback); }
  const uint8_t* tx_frame() const { return m_tx_frame; }
  // Zeros the transmit block and frame.
  void WipeTransmitBuffers();
  size_t tx_frame_length() const { return m_tx_frame_length; }

  // Back to hunting; the caller does this before each send.
  void ResetReceiver() { m_receiver.Reset(); }
  // FillReceiveBuffer, then feeds buffered bytes to the receiver: a negative
  // code, 0 when the bytes ran out (or a damaged block was dropped), or the
  // header-plus-payload length of a good block, which lies in rx_block().
  int ReceiveBlock(LinkCallback& callback);
  const uint8_t* rx_block() const { return m_receiver.block(); }
  const uint8_t* rx_payload() const { return m_receiver.block() + kBlockHeaderSize; }
  // Drops unread input (set-up, transfers that restart).
  void ClearReceiveBuffer() { m_rx_pos = m_rx_fill = 0; }
  // Takes the next unread byte of the receive buffer, for the byte-wise
  // readers (modem replies, bootloader); false when the buffer is used up.
  bool TakeBufferedByte(uint8_t& byte) {
    if (m_rx_pos >= m_rx_fill) return false;
    byte = m_rx_buffer[m_rx_pos++];
    return true;
  }

  uint32_t tx_mtu() const { return m_tx_mtu; }
  void LowerTxMtu(uint32_t size) {
    if (size < m_tx_mtu) m_tx_mtu = size;
  }
  void set_carrier_check(bool on) { m_carrier_check = on; }
  bool carrier_check() const { return m_carrier_check; }
  void set_disconnecting(bool on) { m_disconnecting = on; }
  bool disconnecting() const { return m_disconnecting; }

 private:
  SerialPort& m_port;
  const Clock& m_clock;
  MessagePump& m_pump;

  uint8_t m_rx_buffer[kReceiveBufferSize]{};
  size_t m_rx_pos = 0;
  size_t m_rx_fill = 0;
  uint8_t m_tx_block[kMaxBlock]{};
  uint8_t m_tx_frame[kFrameBufferSize]{};
  size_t m_tx_frame_length = 0;
  FrameReceiver m_receiver;
  LinkCallback* m_log_target = nullptr;  // receives the receiver's log lines during ReceiveBlock

  uint32_t m_tx_mtu = kMaxPayload;
  bool m_cancel = false;
  bool m_disconnecting = false;
  bool m_carrier_check = false;
};

}  // namespace tamlo::link
