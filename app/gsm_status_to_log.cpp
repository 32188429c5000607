#include "app/gsm_status_to_log.h"

#include "device/gsm_status_text.h"

namespace tamlo {
namespace {

// " SIM 1: используется " -> "SIM 1: используется"
std::string Trimmed(const std::string& text) {
  const size_t first = text.find_first_not_of(' ');
  if (first == std::string::npos) return {};
  return text.substr(first, text.find_last_not_of(' ') - first + 1);
}

}  // namespace

void GsmStatusToLog::ShowStatus(const uint8_t* reply, size_t length) {
  if (m_log != nullptr)
    for (const device::GsmSimView& sim : device::GsmStatusText(reply, length))
      m_log->LogInfo(Trimmed(sim.caption) + " - " + sim.state + ", уровень " + sim.level_db + " (" +
                     sim.level_percent + ")");
  if (m_cancel) {
    const std::function<void()> cancel = std::move(m_cancel);
    m_cancel = nullptr;
    cancel();
  }
}

}  // namespace tamlo
