// The console tool's terminal on Windows: the UTF-8
// output code page, the console's own input (CONIN$) with its echo switched
// off for the password, console control handlers for Ctrl+C.
#include <windows.h>

#include <atomic>
#include <cstdio>

#include "cli/terminal.h"
#include "config/win32/wide_text.h"

#ifndef ENABLE_VIRTUAL_TERMINAL_PROCESSING
#define ENABLE_VIRTUAL_TERMINAL_PROCESSING 0x0004
#endif

namespace tamlo::cli {

std::string CommandLinePort(const std::string& value) { return value; }

std::string ProgramFolder() {
  std::wstring path(MAX_PATH, L'\0');
  for (;;) {
    const DWORD length = ::GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
    if (length == 0) return {};
    if (length < path.size()) {
      path.resize(length);
      break;
    }
    path.resize(path.size() * 2);  // cut short: the buffer was too small
  }
  const size_t slash = path.find_last_of(L"\\/");
  return slash == std::wstring::npos ? std::string() : Utf8Of(path.substr(0, slash));
}

void PrepareConsole() {
  ::SetConsoleOutputCP(CP_UTF8);
  // The progress bar's erase-line sequence.
  const HANDLE error = ::GetStdHandle(STD_ERROR_HANDLE);
  DWORD mode = 0;
  if (::GetConsoleMode(error, &mode)) ::SetConsoleMode(error, mode | ENABLE_VIRTUAL_TERMINAL_PROCESSING);
}

bool StderrIsTerminal() {
  DWORD mode = 0;
  return ::GetConsoleMode(::GetStdHandle(STD_ERROR_HANDLE), &mode) != 0;
}

namespace {

// The console input a prompt has switched the echo off on, for the control
// handler that puts it back.
HANDLE g_prompt_input = INVALID_HANDLE_VALUE;
HANDLE g_prompt_output = INVALID_HANDLE_VALUE;
DWORD g_prompt_saved = 0;
std::atomic<bool> g_prompt_quiet{false};

void WriteConsoleText(HANDLE output, const std::string& utf8) {
  const std::wstring wide = WideOf(utf8);
  DWORD written = 0;
  if (output != INVALID_HANDLE_VALUE)
    ::WriteConsoleW(output, wide.data(), static_cast<DWORD>(wide.size()), &written, nullptr);
}

// Ctrl+C at the prompt cancels the whole run at once; Ctrl+Break and the
// closing of the console go on to the handlers they would have met. Either
// way the echo comes back first.
BOOL WINAPI RestoreEchoAndStop(DWORD event) {
  if (g_prompt_quiet.exchange(false)) {
    ::SetConsoleMode(g_prompt_input, g_prompt_saved);
    WriteConsoleText(g_prompt_output, "\n");
  }
  if (event == CTRL_C_EVENT) ::ExitProcess(130);
  return FALSE;
}

std::atomic<bool> g_interrupted{false};

BOOL WINAPI OnInterrupt(DWORD event) {
  if (event != CTRL_C_EVENT) return FALSE;
  if (g_interrupted.exchange(true)) ::ExitProcess(130);  // a second Ctrl+C does not wait for the link
  return TRUE;
}

}  // namespace

std::optional<std::string> ReadPasswordFromTerminal(const std::string& prompt) {
  const HANDLE input = ::CreateFileW(L"CONIN$", GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                     nullptr, OPEN_EXISTING, 0, nullptr);
  if (input == INVALID_HANDLE_VALUE) return std::nullopt;
  DWORD saved = 0;
  if (!::GetConsoleMode(input, &saved)) {
    ::CloseHandle(input);
    return std::nullopt;
  }
  const HANDLE output = ::CreateFileW(L"CONOUT$", GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                      nullptr, OPEN_EXISTING, 0, nullptr);
  g_prompt_input = input;
  g_prompt_output = output;
  g_prompt_saved = saved;
  ::SetConsoleCtrlHandler(RestoreEchoAndStop, TRUE);
  g_prompt_quiet = true;  // set before the change, so an event in between restores
  ::SetConsoleMode(input, (saved & ~static_cast<DWORD>(ENABLE_ECHO_INPUT)) | ENABLE_LINE_INPUT |
                              ENABLE_PROCESSED_INPUT);
  WriteConsoleText(output, prompt);
  std::wstring line;
  bool ended = false;
  for (;;) {
    wchar_t c = 0;
    DWORD n = 0;
    if (!::ReadConsoleW(input, &c, 1, &n, nullptr) || n == 0 || c == 0x1A) {  // Ctrl+Z: end of input
      ended = line.empty();
      break;
    }
    if (c == L'\n') break;
    if (c != L'\r') line.push_back(c);
  }
  if (g_prompt_quiet.exchange(false)) ::SetConsoleMode(input, saved);
  WriteConsoleText(output, "\n");  // the Enter the hidden echo did not show
  ::SetConsoleCtrlHandler(RestoreEchoAndStop, FALSE);
  if (output != INVALID_HANDLE_VALUE) ::CloseHandle(output);
  ::CloseHandle(input);
  g_prompt_input = g_prompt_output = INVALID_HANDLE_VALUE;
  if (ended) return std::nullopt;
  return Utf8Of(line);
}

InterruptAsCancel::InterruptAsCancel() {
  g_interrupted = false;
  ::SetConsoleCtrlHandler(OnInterrupt, TRUE);
}

InterruptAsCancel::~InterruptAsCancel() { ::SetConsoleCtrlHandler(OnInterrupt, FALSE); }

bool TakeInterrupt() { return g_interrupted.exchange(false); }

std::string LogTimeStamp() {
  SYSTEMTIME now{};
  ::GetLocalTime(&now);
  char text[32];
  std::snprintf(text, sizeof text, "%02u.%02u.%04u %02u:%02u:%02u", now.wDay, now.wMonth, now.wYear, now.wHour,
                now.wMinute, now.wSecond);
  return text;
}

}  // namespace tamlo::cli
