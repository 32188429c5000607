#pragma once
// What the console tool needs of its terminal: the console in UTF-8,
// whether standard error is a terminal (for the progress bar), a password
// prompt without echo, Ctrl+C as the cancel of an exchange,
// and the service log's time stamp. One implementation per system:
// cli/posix/console.cpp, cli/win32/console.cpp.
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace tamlo::cli {

// A --port or --modem value as the system's port opens it: on POSIX a
// relative path is taken from the current folder (link::CommandLinePortPath);
// on Windows a bare name ("COM3") is a device, passed on unchanged.
std::string CommandLinePort(const std::string& value);

// The folder of the running program (UTF-8), where its "ademco.txt" is
// looked for; "" when the system cannot tell.
std::string ProgramFolder();

// Makes the console show UTF-8 output as text (Windows: the console's output
// code page). Nothing to do on POSIX.
void PrepareConsole();

bool StderrIsTerminal();

// Asks on the controlling terminal (the console on Windows) with echo
// switched off. Nothing when there is no terminal, or at end of input. The
// echo is back whatever ends the prompt: Ctrl+C ends the program at once with
// exit status 130, SIGTERM ends it as it would have.
std::optional<std::string> ReadPasswordFromTerminal(const std::string& prompt);

// While one lives, Ctrl+C does not end the program: it is a cancel request
// that TakeInterrupt() reports once. A second Ctrl+C before the first was
// taken ends the program at once with exit status 130 (the link may be
// waiting in a read). Not nested.
class InterruptAsCancel {
 public:
  InterruptAsCancel();
  ~InterruptAsCancel();
  InterruptAsCancel(const InterruptAsCancel&) = delete;
  InterruptAsCancel& operator=(const InterruptAsCancel&) = delete;
};

// True once per Ctrl+C seen while an InterruptAsCancel lives.
bool TakeInterrupt();

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
