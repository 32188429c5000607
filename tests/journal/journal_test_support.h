#pragma once
// Builders for journal bytes and a recorder of error reports, shared by the
// journal tests.
#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "device/journal/journal_errors.h"

namespace tamlo::journal::testing {

using Bytes = std::vector<std::uint8_t>;

struct RecordFields {
  std::uint32_t received = 0;
  std::uint32_t sent = 0;
  std::uint8_t direction = 0x02;
  std::uint8_t source = 0;
  std::uint8_t format = 1;
  Bytes data;
  Bytes trailing;  // bytes after the data, inside the payload
};

inline Bytes RecordPayload(const RecordFields& r) {
  Bytes p;
  for (std::uint32_t v : {r.received, r.sent})
    for (int i = 0; i < 4; ++i) p.push_back(static_cast<std::uint8_t>(v >> (8 * i)));
  p.push_back(r.direction);
  p.push_back(r.source);
  p.push_back(r.format);
  p.push_back(static_cast<std::uint8_t>(r.data.size()));
  p.insert(p.end(), r.data.begin(), r.data.end());
  p.insert(p.end(), r.trailing.begin(), r.trailing.end());
  return p;
}

inline Bytes Entry(std::uint8_t kind, const Bytes& payload) {
  Bytes e = {kind, static_cast<std::uint8_t>(payload.size()), static_cast<std::uint8_t>(payload.size() >> 8)};
  e.insert(e.end(), payload.begin(), payload.end());
  return e;
}

inline Bytes Concat(std::initializer_list<Bytes> parts) {
  Bytes all;
  for (const Bytes& p : parts) all.insert(all.end(), p.begin(), p.end());
  return all;
}

class RecordedErrors : public JournalErrors {
 public:
  void ReportError(std::string_view text) override { messages.emplace_back(text); }
  std::vector<std::string> messages;
};

}  // namespace tamlo::journal::testing
