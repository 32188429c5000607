#include "link/command_protocol.h"

#include <cstring>

#include "config/byte_order.h"
#include "link/link_codes.h"
#include "link/secure_wipe.h"
#include "link/text_format.h"

namespace tamlo::link {
namespace {


// Holds the running command's wait in `slot` until the command returns,
// however it returns.
class AnswerWaitScope {
 public:
  AnswerWaitScope(std::optional<Deadline>& slot, Deadline wait) : m_slot(slot) { m_slot = wait; }
  ~AnswerWaitScope() { m_slot.reset(); }
  AnswerWaitScope(const AnswerWaitScope&) = delete;
  AnswerWaitScope& operator=(const AnswerWaitScope&) = delete;

 private:
  std::optional<Deadline>& m_slot;
};

}  // namespace

void CommandProtocol::PutHeader(uint16_t number, uint8_t command) {
  uint8_t* h = m_core.tx_block();
  WriteLe16(h, number);
  h[2] = command;
  h[3] = 0;
}

int CommandProtocol::Connect(LinkCallback& callback, bool quiet) {
  const Clock& clock = m_core.clock();
  m_block_number = 0;
  // The challenge is the tick count: it differs between attempts of a run, so
  // an answer left over from an earlier handshake cannot pass.
  const uint32_t challenge = clock.NowMs();
  PutHeader(0, CMD_CONNECT);
  uint8_t* p = m_core.tx_payload();
  WriteLe32(p, challenge);
  WriteLe16(p + 4, kHostSizeLimit);
  WriteLe16(p + 6, kHostSizeLimit);
  m_core.BuildFrame(8);
  m_last_command = CMD_CONNECT;

  if (!quiet) callback.OnProgress("Подключение к устройству", kExchangeLimitMs);
  const Deadline total = Deadline::After(clock, kExchangeLimitMs);
  // A quiet handshake is one attempt: its limit is the one answer wait.
  const AnswerWaitScope waiting(m_answer_wait, quiet ? Deadline{total.start, kAnswerWaitMs} : total);
  for (;;) {
    int r = m_core.SendFrame(callback);
    if (r < 0) return r;
    m_core.ResetReceiver();
    const Deadline wait = Deadline::After(clock, kAnswerWaitMs);
    while (!wait.Expired(clock)) {
      if (!quiet) callback.OnProgress(nullptr, total.Elapsed(clock));
      r = m_core.ReceiveBlock(callback);
      if (r < 0) return r;
      if (r < 12) continue;
      const uint8_t* b = m_core.rx_block();
      const uint8_t* a = m_core.rx_payload();
      if (ReadLe16(b) != 0 || b[2] != ANS_OK || ReadLe32(a) != ~challenge) continue;
      const uint16_t size_a = ReadLe16(a + 4);
      const uint16_t size_b = ReadLe16(a + 6);
      if (size_a < kMinDeviceSize || size_b < kMinDeviceSize) return LINK_CONNECT_PARAMS;
      m_core.LowerTxMtu(size_b);
      return LINK_OK;
    }
    if (quiet || total.Expired(clock)) return LINK_NO_ANSWER;
  }
}

int CommandProtocol::Exchange(uint8_t command, size_t payload_length, const char* progress_text,
                              AnswerHandler handler, LinkCallback& callback) {
  const Clock& clock = m_core.clock();
  if (payload_length > kMaxPayload) {
    callback.OnError(Format("SerialCore: payload of %u bytes too long", static_cast<unsigned>(payload_length)));
    return LINK_FAILED_REPORTED;
  }
  if (progress_text != nullptr) callback.OnProgress(progress_text, kExchangeLimitMs);
  const Deadline total = Deadline::After(clock, kExchangeLimitMs);
  const AnswerWaitScope waiting(m_answer_wait, total);
  unsigned attempts = 0;
  for (;;) {  // a new block number
    m_block_number = m_block_number == 0xFFFF ? 1 : static_cast<uint16_t>(m_block_number + 1);
    PutHeader(m_block_number, command);
    m_core.BuildFrame(payload_length);
    bool new_number = false;
    while (!new_number) {  // the same frame again
      if (attempts > 0) callback.OnLog(Format("Повтор команды (попытка %u)", attempts));
      ++attempts;
      int r = m_core.SendFrame(callback);
      m_last_command = command;
      if (r < 0) return r;
      m_core.ResetReceiver();
      const Deadline wait = Deadline::After(clock, kAnswerWaitMs);
      while (!new_number && !wait.Expired(clock)) {
        if (progress_text != nullptr) callback.OnProgress(nullptr, total.Elapsed(clock));
        r = m_core.ReceiveBlock(callback);
        if (r < 0) return r;
        if (r == 0) continue;
        const uint8_t* b = m_core.rx_block();
        const uint16_t number = ReadLe16(b);
        if (number != m_block_number) {
          callback.OnLog(Format("Неверный номер блока: %u вместо %u", static_cast<unsigned>(number), static_cast<unsigned>(m_block_number)));
          continue;
        }
        const uint8_t answer = b[2];
        if (answer == ANS_OK) {
          if (!handler) return LINK_OK;
          const int h = handler(static_cast<size_t>(r) - kBlockHeaderSize, callback);
          if (h < 0) return h;
          if (h > 0) return LINK_OK;
          continue;
        }
        if (answer == ANS_RETRY_LATER) {
          if (m_core.WaitPumping(kRetryLaterPauseMs) != 0) return LINK_CANCELLED;
          new_number = true;
          continue;
        }
        return RefusalCode(answer);
      }
      if (!new_number && total.Expired(clock)) return LINK_NO_ANSWER;
    }
  }
}

int CommandProtocol::ExchangeWithPassword(uint8_t command, size_t payload_length, const char* progress_text,
                                          AnswerHandler handler, LinkCallback& callback) {
  constexpr int kBadPassword = RefusalCode(ANS_BAD_PASSWORD);
  // Refusals after a password went out: a wrong password, or the command
  // refused again although its password was accepted.
  unsigned refusals = 0;
  bool password_sent = false;
  for (;;) {
    int r = Exchange(command, payload_length, progress_text, handler, callback);
    if (r != kBadPassword) return r;
    if (password_sent && ++refusals >= kMaxPasswordRefusals) return r;
    // The password goes out in the same transmit payload: keep the command's.
    if (payload_length != 0) std::memcpy(m_saved_payload, m_core.tx_payload(), payload_length);
    char* buffer = reinterpret_cast<char*>(m_core.tx_payload());
    const size_t max_length = m_core.tx_mtu();
    for (unsigned attempt = 0;; ++attempt) {
      // The block has room for the terminator after TX MTU payload bytes.
      std::memset(buffer, 0, max_length + 1);
      callback.OnPasswordRequest(buffer, max_length, attempt);
      buffer[max_length] = '\0';
      if (buffer[0] == '\0') {
        r = kBadPassword;
        break;
      }
      r = Exchange(CMD_PASSWORD, std::strlen(buffer), "Передача пароля", nullptr, callback);
      password_sent = true;
      if (r != kBadPassword || ++refusals >= kMaxPasswordRefusals) break;
    }
    if (payload_length != 0) std::memcpy(m_core.tx_payload(), m_saved_payload, payload_length);
    if (r != LINK_OK) return r;
  }
}

void CommandProtocol::WipeSentPayload() {
  SecureWipe(m_saved_payload, sizeof m_saved_payload);
  m_core.WipeTransmitBuffers();
}

std::string CommandProtocol::LinkResultText(int code) const {
  if (code == LINK_OK) return {};
  if (IsRefusal(code)) {
    const uint8_t answer = static_cast<uint8_t>(code + kRefusalBase);
    return Format("Команда 0x%02X отвергнута устройством.\n\nКод ответа 0x%02X: %s", m_last_command, answer,
                  AnswerText(answer));
  }
  const char* text = LinkErrorText(code);
  return text != nullptr ? Format("%s (код ошибки %d)", text, code) : std::string();
}

int CommandProtocol::ReportLinkResult(int code, LinkCallback& callback) const {
  const std::string text = LinkResultText(code);
  if (!text.empty()) callback.OnError(text);
  return code;
}

}  // namespace tamlo::link
