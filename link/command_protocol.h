#pragma once
// The request/answer protocol over the framed link: handshake, numbered
// commands with retransmission, the password dialogue, result reporting.
//
// Timing: a request is resent every 4 s while no answer ends it, and the
// exchange gives up 30 s after it began, so a request goes out at most eight
// times (0, 4, ..., 28 s). An answer 0x87 ("later") is obeyed after 1 s with
// a fresh block number and does not extend the 30 s.
//
// Password: on answer 0x88 the caller is asked for a password, which goes out
// with CMD_PASSWORD before the command is sent again. The third 0x88 after a
// password went out (a wrong one, or the command refused again although its
// password was taken) ends the exchange with that refusal: a device that
// refuses whatever it is sent would otherwise be asked for ever.
//
// Block numbers: 0 belongs to the handshake, which resets the counter; each
// new command takes the next number, 65535 being followed by 1. A resend keeps
// its number, so a late answer to the first copy still matches; an answer
// with another number is logged and ignored.
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>

#include "link/function_ref.h"
#include "link/serial_core.h"

namespace tamlo::link {

inline constexpr uint32_t kAnswerWaitMs = 4000;
inline constexpr uint32_t kExchangeLimitMs = 30000;
inline constexpr uint32_t kRetryLaterPauseMs = 1000;
inline constexpr uint16_t kHostSizeLimit = 256;
inline constexpr uint16_t kMinDeviceSize = 32;
inline constexpr unsigned kMaxPasswordRefusals = 3;

// Called with an accepted answer's payload length; the payload lies in
// SerialCore::rx_payload(). Returns > 0 to accept, 0 to keep waiting, or a
// negative code that ends the exchange.
using AnswerHandler = FunctionRef<int(size_t payload_length, LinkCallback& callback)>;

class CommandProtocol {
 public:
  explicit CommandProtocol(SerialCore& core) : m_core(core) {}

  // Handshake; lowers the TX MTU to the device's limit. Quiet: no progress and
  // one attempt only.
  int Connect(LinkCallback& callback, bool quiet);
  // One command; the payload must already be in core.tx_payload().
  int Exchange(uint8_t command, size_t payload_length, const char* progress_text, AnswerHandler handler,
               LinkCallback& callback);
  // Exchange plus the password dialogue on answer 0x88.
  int ExchangeWithPassword(uint8_t command, size_t payload_length, const char* progress_text,
                           AnswerHandler handler, LinkCallback& callback);
  // Shows the message of a non-zero result; returns the code unchanged.
  int ReportLinkResult(int code, LinkCallback& callback) const;
  // That message, or "" for 0 and for failures reported where they happened.
  std::string LinkResultText(int code) const;
  // Zeros every buffer a sent payload passed through (the transmit block and
  // frame, the payload kept across a password dialogue): after a command
  // that carried a secret.
  void WipeSentPayload();

  // The command (or handshake) waiting for its answer now: since its first
  // request went out, against its 30 s limit; nothing between commands. The
  // device window reads it from inside the message pump to show how long a
  // silent device has been waited for.
  const std::optional<Deadline>& answer_wait() const { return m_answer_wait; }

  uint16_t block_number() const { return m_block_number; }
  uint8_t last_command() const { return m_last_command; }
  // For tests that start near the wrap of the counter.
  void set_block_number(uint16_t number) { m_block_number = number; }

 private:
  void PutHeader(uint16_t number, uint8_t command);

  SerialCore& m_core;
  uint16_t m_block_number = 0;
  uint8_t m_last_command = 0;
  uint8_t m_saved_payload[kMaxPayload]{};
  std::optional<Deadline> m_answer_wait;
};

}  // namespace tamlo::link
