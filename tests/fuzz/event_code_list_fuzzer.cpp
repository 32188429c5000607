// Fuzzes the event code list: line and field splitting, the picker's rows
// and the journal's look-up over the parsed list.
// Checks: no crash; every row has a three-digit code; a line never has more
// fields than separators plus one.
#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "device/journal/event_code_list.h"
#include "device/journal/journal_render.h"

namespace {

class NoErrors : public tamlo::journal::JournalErrors {
 public:
  void ReportError(std::string_view) override {}
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, size_t size) {
  using namespace tamlo::journal;
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  const EventCodeList list = SplitEventCodeLines(bytes);
  for (const std::string& line : list) {
    if (line.find_first_of("\r\n") != std::string::npos) std::abort();
    const size_t separators = static_cast<size_t>(std::count(line.begin(), line.end(), ';'));
    if (SplitEventCodeFields(line).size() > separators + 1) std::abort();
  }
  for (const EventCodeRow& row : EventCodeRows(list))
    if (!IsEventCodeField(row.code) || row.value.empty()) std::abort();

  StringJournalOutput out;
  NoErrors errors;
  const JournalRenderer renderer(list, out, errors, false);
  for (unsigned qualifier : {1u, 3u})
    for (unsigned code = 0; code < 0x1000; code += 0x111) (void)renderer.LookupContactIdEvent(qualifier, code);
  return 0;
}
