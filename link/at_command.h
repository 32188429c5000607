#pragma once
// The modem's command side: AT command lines out, V.250 result codes in.
//
// Replies are read byte by byte and matched against a fixed table of result
// code patterns; each pattern keeps its own match progress between reads, so
// a reply split across reads (or across calls) is still recognised. Every
// received byte also goes into the reply log line, which is logged as
// "<= text" at each CR or LF and at 127 characters.
//
// Pattern table (index: bytes, "\n" LF, "\r" CR):
//   0 "\nOK\r"   1 "\nCONNECT" (any speed suffix)   2 "\nERROR\r"
//   3 "\n+CME ERROR:"   4 "\n+CMS ERROR:"   5 "\nNO DIALTONE\r"   6 "\nBUSY\r"
//   7 "\nNO CARRIER\r"  8 "\nNO ANSWER\r"   9 "\nRING\r"
//   10 "\n+IFC:"  11 "\n+CBST:"  (both followed by reply fields)
#include <cstddef>
#include <cstdint>
#include <string>

#include "link/function_ref.h"
#include "link/serial_core.h"

namespace tamlo::link {

enum ModemReply : int {
  kReplyOk = 0,
  kReplyConnect = 1,
  kReplyError = 2,
  kReplyCmeError = 3,
  kReplyCmsError = 4,
  kReplyNoDialtone = 5,
  kReplyBusy = 6,
  kReplyNoCarrier = 7,
  kReplyNoAnswer = 8,
  kReplyRing = 9,
  kReplyIfc = 10,
  kReplyCbst = 11,
};
inline constexpr int kReplyPatternCount = 12;

// An AT command line is built in a buffer as large as the longest frame and
// may not exceed it, carriage return included.
inline constexpr size_t kMaxAtCommand = kMaxFrame;  // 530
inline constexpr size_t kReplyLogMax = 127;
inline constexpr uint32_t kAtCommandPauseMs = 200;  // before every command; the guard time before "+++"
inline constexpr uint32_t kReplyFieldsWaitMs = 1000;

class ModemChannel;

// Called with each matched pattern index and the wait's result variable; may
// change the result; returns true to end the wait.
using ReplyHandler = FunctionRef<bool(ModemChannel& channel, LinkCallback& callback, int index, int& result)>;
// Called with each number of a reply line and its field index (0 first).
using FieldVisitor = FunctionRef<void(int field, uint32_t number, uint32_t& value)>;

class ModemChannel {
 public:
  explicit ModemChannel(SerialCore& core) : m_core(core) {}

  SerialCore& core() { return m_core; }

  // Pauses 200 ms pumping messages (-2 on cancel), then writes
  // prefix + middle + suffix, and a CR when a suffix is given (even an empty
  // one). A line longer than 530 bytes with its CR is refused with
  // "AtWriteCommand(): Command too long!" and -9, nothing sent. Logs
  // "=> text" (without the CR). 0 or a negative code.
  int AtWriteCommand(const char* prefix, const std::string& middle, const char* suffix, LinkCallback& callback);

  // Reads replies until the handler ends the wait or `limit_ms` pass; returns
  // the result variable (started at `initial`), or the negative code of a
  // failed read. A wait ended by "+CME ERROR:" or "+CMS ERROR:" first reads
  // the rest of that line (the error's number) into the reply log line. With a progress text, reports a stage with the limit as its
  // maximum and then the elapsed milliseconds.
  int WaitModemReply(uint32_t limit_ms, LinkCallback& callback, ReplyHandler handler, int initial,
                     const char* progress_text);

  // AtWriteCommand(command, "", "") and WaitModemReply without progress, then
  // the reply log line is flushed.
  int AtCommand(const char* command, uint32_t limit_ms, LinkCallback& callback, ReplyHandler handler, int initial);

  // Parses the rest of a reply line after a pattern with fields, up to its
  // CR or for at most 1000 ms: comma-separated fields, leading spaces
  // skipped; numbers go to the visitor, quoted and bare texts are skipped.
  // Returns the value (started at `initial`).
  uint32_t ReadReplyFields(LinkCallback& callback, FieldVisitor visitor, uint32_t initial);

  // Logs a non-empty reply log line as "<= text" and empties it.
  void FlushReplyLog(LinkCallback& callback);

  // Forgets the pattern progress and the log line (a fresh connection).
  void Reset();

 private:
  // Logs the byte into the reply line; CR and LF end the line.
  void LogByte(uint8_t byte, LinkCallback& callback);
  // The pattern index this byte completes, or -1.
  int MatchByte(uint8_t byte);

  SerialCore& m_core;
  uint8_t m_progress[kReplyPatternCount]{};
  char m_log[kReplyLogMax + 1]{};
  size_t m_log_length = 0;
  int m_pending_error = 0;  // a read failure met while parsing fields, handed to the next wait
};

}  // namespace tamlo::link
