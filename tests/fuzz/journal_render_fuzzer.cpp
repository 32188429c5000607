// Fuzzes journal rendering. The first byte chooses text or HTML; the rest is
// the journal. A code list with awkward lines (quotes, missing fields,
// lowercase codes, markup) is always loaded so the look-up path runs.
// Checks: no crash, the result is 1 or -1, every line ends with CR LF, and in
// HTML no "<" reaches the page between the wrapper lines.
#include <cstdint>
#include <cstdlib>
#include <span>
#include <string>

#include "device/journal/journal_render.h"

namespace {

class NoErrors : public tamlo::journal::JournalErrors {
 public:
  void ReportError(std::string_view) override {}
};

const tamlo::journal::EventCodeList& Codes() {
  static const tamlo::journal::EventCodeList codes = {
      "130;Alarm;Restore", "131;\"Quoted; field\"", "132;", "133", "13a;lower", "13A;upper;<b>&</b>",
      "100;;\"\"",         "",                        ";;;", "FFF;max;max restore", "000;zero",
  };
  return codes;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, size_t size) {
  if (size == 0) return 0;
  const bool html = data[0] & 1;
  tamlo::journal::StringJournalOutput out;
  NoErrors errors;
  const int result = tamlo::journal::RenderJournal(std::span(data + 1, size - 1), out, html, Codes(), errors);
  if (result != 1 && result != -1) std::abort();

  const std::string& text = out.text();
  if (text.size() < 2 || text.compare(text.size() - 2, 2, "\r\n") != 0) std::abort();
  for (size_t i = 0; i < text.size(); ++i)
    if (text[i] == '\n' && (i == 0 || text[i - 1] != '\r')) std::abort();
  if (html) {
    const size_t begin = text.find("<pre>\r\n") + 7;
    const size_t end = text.rfind("</pre>\r\n");
    if (end == std::string::npos || text.find('<', begin) != end) std::abort();
  }
  return 0;
}
