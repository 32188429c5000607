#include "link/at_command.h"

#include <cstring>

#include "config/cp1251.h"
#include "link/link_codes.h"
#include "link/text_format.h"

namespace tamlo::link {
namespace {

constexpr const char* kPatterns[kReplyPatternCount] = {
    "\nOK\r",         "\nCONNECT",    "\nERROR\r",     "\n+CME ERROR:", "\n+CMS ERROR:", "\nNO DIALTONE\r",
    "\nBUSY\r",       "\nNO CARRIER\r", "\nNO ANSWER\r", "\nRING\r",      "\n+IFC:",       "\n+CBST:",
};

size_t PatternLength(int index) { return std::strlen(kPatterns[index]); }

}  // namespace

void ModemChannel::Reset() {
  std::memset(m_progress, 0, sizeof m_progress);
  m_log_length = 0;
  m_pending_error = 0;
}

int ModemChannel::AtWriteCommand(const char* prefix, const std::string& middle, const char* suffix,
                                 LinkCallback& callback) {
  const int paused = m_core.WaitPumping(kAtCommandPauseMs);
  if (paused != 0) return paused;
  std::string text = std::string(prefix) + middle;
  if (suffix != nullptr) text += suffix;
  const size_t total = text.size() + (suffix != nullptr ? 1 : 0);
  if (total > kMaxAtCommand) {
    callback.OnError("AtWriteCommand(): Command too long!");
    return LINK_FAILED_REPORTED;
  }
  callback.OnLog(Format("=> %s", tamlo::Cp1251ToUtf8(text).c_str()));
  if (suffix != nullptr) text += '\r';
  return m_core.WritePort(reinterpret_cast<const uint8_t*>(text.data()), text.size(), callback);
}

void ModemChannel::FlushReplyLog(LinkCallback& callback) {
  if (m_log_length == 0) return;
  callback.OnLog(Format("<= %s", tamlo::DeviceText(std::string_view(m_log, m_log_length)).c_str()));
  m_log_length = 0;
}

void ModemChannel::LogByte(uint8_t byte, LinkCallback& callback) {
  if (byte == '\r' || byte == '\n') {
    FlushReplyLog(callback);
    return;
  }
  m_log[m_log_length++] = char(byte);
  if (m_log_length >= kReplyLogMax) FlushReplyLog(callback);
}

int ModemChannel::MatchByte(uint8_t byte) {
  for (int i = 0; i < kReplyPatternCount; ++i) {
    const char* pattern = kPatterns[i];
    if (byte == uint8_t(pattern[m_progress[i]])) {
      if (++m_progress[i] == PatternLength(i)) {
        m_progress[i] = 0;
        // The byte completes this pattern and goes no further down the table.
        return i;
      }
    } else {
      m_progress[i] = byte == uint8_t(pattern[0]) ? 1 : 0;
    }
  }
  return -1;
}

int ModemChannel::WaitModemReply(uint32_t limit_ms, LinkCallback& callback, ReplyHandler handler, int initial,
                                 const char* progress_text) {
  int result = initial;
  const Deadline limit = Deadline::After(m_core.clock(), limit_ms);
  if (progress_text != nullptr) callback.OnProgress(progress_text, limit_ms);
  for (;;) {
    if (m_pending_error != 0) {
      const int error = m_pending_error;
      m_pending_error = 0;
      return error;
    }
    const int filled = m_core.FillReceiveBuffer(callback);
    if (filled < 0) return filled;
    uint8_t byte = 0;
    int ended_by = -1;
    while (ended_by < 0 && m_core.TakeBufferedByte(byte)) {
      LogByte(byte, callback);
      const int index = MatchByte(byte);
      if (index >= 0 && handler(*this, callback, index, result)) ended_by = index;
    }
    if (ended_by == kReplyCmeError || ended_by == kReplyCmsError) {
      // The error's number follows its pattern: read the line to its end so
      // the log line says which error it was.
      ReadReplyFields(callback, [](int, uint32_t, uint32_t&) {}, 0);
    }
    if (ended_by >= 0) return result;
    if (m_pending_error != 0) continue;
    if (limit.Elapsed(m_core.clock()) > limit_ms) return result;
    if (progress_text != nullptr) callback.OnProgress(nullptr, limit.Elapsed(m_core.clock()));
  }
}

int ModemChannel::AtCommand(const char* command, uint32_t limit_ms, LinkCallback& callback, ReplyHandler handler,
                            int initial) {
  const int written = AtWriteCommand(command, "", "", callback);
  if (written < 0) return written;
  const int result = WaitModemReply(limit_ms, callback, handler, initial, nullptr);
  FlushReplyLog(callback);
  return result;
}

uint32_t ModemChannel::ReadReplyFields(LinkCallback& callback, FieldVisitor visitor, uint32_t initial) {
  enum class State { kFieldStart, kNumber, kQuoted, kAfterQuote, kBare };
  uint32_t value = initial;
  State state = State::kFieldStart;
  int field = 0;
  uint32_t number = 0;
  const Deadline limit = Deadline::After(m_core.clock(), kReplyFieldsWaitMs);
  while (!limit.Expired(m_core.clock())) {
    const int filled = m_core.FillReceiveBuffer(callback);
    if (filled < 0) {
      // Handed to the wait that asked for the fields, so a cancel is not lost.
      m_pending_error = filled;
      return value;
    }
    uint8_t byte = 0;
    while (m_core.TakeBufferedByte(byte)) {
      LogByte(byte, callback);
      const bool cr = byte == '\r';
      switch (state) {
        case State::kFieldStart:
          if (cr) return value;
          if (byte == ' ') break;
          if (byte == ',') {
            ++field;
          } else if (byte >= '0' && byte <= '9') {
            number = byte - '0';
            state = State::kNumber;
          } else if (byte == '"') {
            state = State::kQuoted;
          } else {
            state = State::kBare;
          }
          break;
        case State::kNumber:
          if (byte >= '0' && byte <= '9') {
            number = number * 10 + (byte - '0');
            break;
          }
          visitor(field, number, value);
          if (byte != ' ' && byte != ',') return value;  // CR, or anything a number cannot end with
          ++field;
          state = State::kFieldStart;
          break;
        case State::kQuoted:
          if (byte == '"') state = State::kAfterQuote;
          else if (cr) return value;
          break;
        case State::kAfterQuote:
        case State::kBare:
          if (cr) return value;
          if (byte == ',') {
            ++field;
            state = State::kFieldStart;
          }
          break;
      }
    }
  }
  return value;
}

}  // namespace tamlo::link
