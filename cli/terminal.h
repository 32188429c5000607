#pragma once
// What the console tool needs of its terminal: whether standard error is
// one (for the progress bar), a password prompt without echo, and the
// service log's time stamp.
#include <cstdint>
#include <optional>
#include <string>

namespace tamlo::cli {

bool StderrIsTerminal();

// Asks on the controlling terminal with echo switched off. Nothing when
// there is no terminal, or at end of input. The echo is back whatever ends
// the prompt: Ctrl+C (SIGINT) ends the program at once with exit status 130,
// SIGTERM ends it as it would have.
std::optional<std::string> ReadPasswordFromTerminal(const std::string& prompt);

// "08.12.2026 00:10:42": the local date and time as the service log shows them.
std::string LogTimeStamp();

// A one-line progress bar on standard error, redrawn in place. Silent when
// standard error is not a terminal.
class ProgressBar {
 public:
  ProgressBar() : m_enabled(StderrIsTerminal()) {}
  void Stage(const std::string& text, uint32_t maximum);
  void Position(uint32_t value);
  // Removes the bar so a log line can take its place; Redraw() puts it back.
  void Clear();
  void Redraw();
  void Finish();

 private:
  bool m_enabled;
  bool m_shown = false;
  std::string m_text;
  uint32_t m_maximum = 100;
  uint32_t m_value = 0;
  int m_drawn_permille = -1;
};

}  // namespace tamlo::cli
