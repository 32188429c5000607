// The progress bar: plain stdio with the ANSI erase-line sequence (the
// Windows console takes it once PrepareConsole() has switched on its virtual
// terminal processing). The system's side of the terminal is in posix/ and
// win32/.
#include "cli/terminal.h"

#include <cstdio>

namespace tamlo::cli {

void ProgressBar::Stage(const std::string& text, uint32_t maximum) {
  m_text = text;
  m_maximum = maximum == 0 ? 100 : maximum;
  m_value = 0;
  m_drawn_permille = -1;
  Redraw();
}

void ProgressBar::Position(uint32_t value) {
  m_value = value;
  Redraw();
}

void ProgressBar::Clear() {
  if (!m_enabled || !m_shown) return;
  std::fputs("\r\033[K", stderr);
  m_shown = false;
  m_drawn_permille = -1;
}

void ProgressBar::Redraw() {
  if (!m_enabled || m_text.empty()) return;
  const uint32_t value = m_value > m_maximum ? m_maximum : m_value;
  const int permille = static_cast<int>(static_cast<uint64_t>(value) * 1000 / m_maximum);
  if (m_shown && permille == m_drawn_permille) return;  // nothing visible changed
  constexpr int kWidth = 30;
  char bar[kWidth + 1];
  const int filled = permille * kWidth / 1000;
  for (int i = 0; i < kWidth; ++i) bar[i] = i < filled ? '#' : '.';
  bar[kWidth] = '\0';
  std::fprintf(stderr, "\r\033[K[%s] %3d%% %s", bar, permille / 10, m_text.c_str());
  std::fflush(stderr);
  m_shown = true;
  m_drawn_permille = permille;
}

void ProgressBar::Finish() {
  Clear();
  m_text.clear();
}

}  // namespace tamlo::cli
