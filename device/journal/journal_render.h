#pragma once
// The device's event journal as a fixed-width table, plain text or wrapped in
// a minimal HTML page.
//
// Journal bytes: entries back to back, no header, numbers little-endian.
//   entry:  u8 kind (0 queued, 1 processed, 3 invalid record, other values
//           unrecognised), u16 payload length N, N bytes payload.
//   record (payload of kinds 0 and 1, at least 12 bytes):
//     0  u32 received  device time, 0xFFFFFFFF = no time
//     4  u32 sent      device time, 0xFFFFFFFF = no time
//     8  u8  direction 0xFE deleted, 0xFF none, else protocol index << 4 |
//                      (direction number - 1)
//     9  u8  source    0..3 input 1..4, 16 the device, 17 relay
//     10 u8  format    0 internal event, 1 Contact ID, 2 autotest
//     11 u8  data length L, 12 + L <= N
//     12 L bytes data; bytes after 12 + L are not interpreted (a hex dump
//        shows them all)
// Contact ID data, as nibbles: AA AA QE EE GG ZZ Z- (account, qualifier,
// event code, group, zone or user).
//
// Example: entry 01 13 00 | 48 AA F8 05 4F AA F8 05 02 00 01 07 12 34 11 30
// 01 00 50 renders as
//   Обработано | 05.03.15 12:30:00 |    Вход 1    | 05.03.15 12:30:07 | 3 (Ademco GSM)   | Contact ID | 1234 1 130 01 005
//
// The output is Windows-1251 bytes; every line ends with CR LF (an LF the
// device put into a caller number becomes CR LF too, as it would in a file
// written in text mode). In HTML the table's "&", "<" and ">" are written as
// entities so device data cannot become markup; the text output is the
// table unchanged.
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <unordered_map>

#include "device/journal/event_code_list.h"
#include "device/journal/journal_errors.h"
#include "link/read_limits.h"

namespace tamlo::journal {

// The largest journal taken from a file, the same as from a device: it is
// refused before it is read into memory.
using link::kMaxJournalBytes;

// Where the rendered bytes go. Write is called with whole lines (or the
// HTML wrapper), already in their final form.
class JournalOutput {
 public:
  virtual ~JournalOutput() = default;
  virtual void Write(std::string_view bytes) = 0;
};

class StringJournalOutput : public JournalOutput {
 public:
  void Write(std::string_view bytes) override { m_text.append(bytes); }
  const std::string& text() const { return m_text; }

 private:
  std::string m_text;
};

// "%d (%s)" with the direction number and the protocol name, or
// "%d (тип %d)" for protocol indexes without a name. Windows-1251.
std::string DirectionText(std::uint8_t direction);

class JournalRenderer {
 public:
  // `codes` must outlive the renderer.
  JournalRenderer(const EventCodeList& codes, JournalOutput& out, JournalErrors& errors, bool html);

  // Writes the whole table. 1 when every byte was consumed as whole entries;
  // -1 when the journal ends inside an entry header or payload (reported
  // once; the rows before stay and the HTML page is still closed).
  int RenderJournal(std::span<const std::uint8_t> journal);

  // One entry: one line, or nothing (and an error report) for a record of
  // kind 0 or 1 that is shorter than 12 bytes or whose data length does not
  // fit its payload.
  void RenderJournalRecord(std::uint8_t kind, std::span<const std::uint8_t> payload);

  // The description of a Contact ID event from the code list (Windows-1251):
  // the first line starting with the code as "%03X;" decides; qualifier 1
  // gives its field 2, qualifier 3 (restoral) field 3 or else field 2; other
  // qualifiers and lines without field 2 give nothing.
  std::optional<std::string> LookupContactIdEvent(unsigned qualifier, unsigned code) const;

 private:
  // Writes with every LF as CR LF; table text gets its HTML entities.
  void Emit(std::string_view text, bool table);
  void AppendData(std::string& line, std::span<const std::uint8_t> payload);
  bool AppendInternalEvent(std::string& line, std::span<const std::uint8_t> data);

  const EventCodeList& m_codes;
  JournalOutput& m_out;
  JournalErrors& m_errors;
  bool m_html = false;
  std::unordered_map<unsigned, std::size_t> m_first_line_of_code;  // code -> index in m_codes
};

// Convenience for one call.
int RenderJournal(std::span<const std::uint8_t> journal, JournalOutput& out, bool html, const EventCodeList& codes,
                  JournalErrors& errors);

}  // namespace tamlo::journal
