#include "device/answer_wait.h"

#include <algorithm>

namespace tamlo::device {

std::string AnswerWaitText(uint32_t waited_ms, uint32_t limit_ms) {
  if (waited_ms < link::kAnswerWaitMs) return {};
  const uint32_t waited_s = std::min(waited_ms, limit_ms) / 1000;
  return "Ожидание ответа: " + std::to_string(waited_s) + " из " + std::to_string(limit_ms / 1000) + " с";
}

void AnswerWaitPump::DispatchPending() {
  // Before the dispatch, so that the new text is painted by it.
  std::string text;
  if (m_protocol && m_protocol->answer_wait()) {
    const link::Deadline& wait = *m_protocol->answer_wait();
    text = AnswerWaitText(wait.Elapsed(m_clock), wait.duration);
  }
  if (text != m_shown) {
    m_shown = std::move(text);
    m_progress.SetWaitText(m_shown);
  }
  m_pump.DispatchPending();
}

}  // namespace tamlo::device
