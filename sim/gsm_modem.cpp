#include "sim/gsm_modem.h"

#include <algorithm>
#include <cctype>
#include <cstdio>

namespace tamlo::sim {
namespace {

constexpr uint64_t kNsPerMs = 1'000'000;

std::string Upper(std::string text) {
  for (char& c : text) c = char(std::toupper(static_cast<unsigned char>(c)));
  return text;
}

const char* OutcomeText(DialOutcome outcome) {
  switch (outcome) {
    case DialOutcome::kConnect: return "CONNECT 9600";
    case DialOutcome::kBusy: return "BUSY";
    case DialOutcome::kNoAnswer: return "NO ANSWER";
    case DialOutcome::kNoCarrier: return "NO CARRIER";
    case DialOutcome::kNoDialtone: return "NO DIALTONE";
    case DialOutcome::kError: return "ERROR";
  }
  return "ERROR";
}

}  // namespace

SimModem::SimModem(ModemSettings settings, Sink sink) : m_settings(std::move(settings)), m_sink(std::move(sink)) {}

void SimModem::Reply(const std::string& text, uint64_t at_ns) {
  if (!m_settings.silent) m_sink("\r\n" + text + "\r\n", at_ns);
}

bool SimModem::FromHost(uint8_t byte, uint64_t at_ns) {
  const uint64_t guard = uint64_t(m_settings.guard_ms) * kNsPerMs;
  if (online()) {
    // "+++" counts only after a guard time of silence, its three bytes in a row.
    const bool quiet_before = at_ns - m_last_host_byte_ns >= guard;
    m_last_host_byte_ns = at_ns;
    if (byte == '+' && (m_pluses > 0 || quiet_before) && m_pluses < 3) {
      if (++m_pluses == 3) m_escape_due_ns = at_ns + guard;
    } else {
      m_pluses = 0;
      m_escape_due_ns = UINT64_MAX;
    }
    return true;
  }
  m_last_host_byte_ns = at_ns;
  if (byte == '\n') return false;
  if (byte != '\r') {
    if (m_line.size() >= 1024) m_line.erase(0, 512);
    m_line += char(byte);
    return false;
  }
  // Everything before the last "AT" is noise (the tail of a frame after the
  // call dropped, a stray byte): a command line starts with "AT".
  std::string line;
  line.swap(m_line);
  const std::string upper = Upper(line);
  const size_t first = upper.rfind("AT");
  if (first == std::string::npos) return false;
  OnCommand(line.substr(first), at_ns);
  return false;
}

void SimModem::OnCommand(const std::string& line, uint64_t at_ns) {
  m_commands.push_back(line);
  const std::string command = Upper(line);
  if (!m_settings.error_command.empty() && command == Upper(m_settings.error_command)) {
    Reply(m_settings.error_reply, at_ns);
    return;
  }
  if (command.rfind("AT", 0) != 0) {
    Reply("ERROR", at_ns);
    return;
  }
  const std::string rest = command.substr(2);
  int a = 0, b = 0;
  if (rest.empty() || rest == "Z" || rest == "E0" || rest == "&F") {
    Reply("OK", at_ns);
  } else if (rest == "+IFC?") {
    Reply("+IFC: " + std::to_string(m_settings.ifc_by_dte) + "," + std::to_string(m_settings.ifc_by_dce), at_ns);
    Reply("OK", at_ns);
  } else if (std::sscanf(rest.c_str(), "+IFC=%d,%d", &a, &b) == 2 && a >= 0 && a <= 2 && b >= 0 && b <= 2) {
    m_settings.ifc_by_dte = a;
    m_settings.ifc_by_dce = b;
    Reply("OK", at_ns);
  } else if (rest == "+CBST?") {
    Reply("+CBST: " + std::to_string(m_settings.bearer) + ",0,1", at_ns);
    Reply("OK", at_ns);
  } else if (std::sscanf(rest.c_str(), "+CBST=%d", &a) == 1 && (a == 0 || a == 7 || a == 71)) {
    m_settings.bearer = a;
    Reply("OK", at_ns);
  } else if (rest[0] == 'D' && !m_call_up && m_dial_due_ns == UINT64_MAX) {
    m_dialled = line.substr(3);
    ++m_calls;
    const uint64_t delay = uint64_t(m_settings.connect_delay_ms) * kNsPerMs;
    for (int i = 1; i <= m_settings.rings; ++i) Reply("RING", at_ns + delay * uint64_t(i) / uint64_t(m_settings.rings + 1));
    m_dial_due_ns = at_ns + delay;
  } else if (rest == "H" || rest == "H0") {
    m_call_up = false;
    m_data_mode = false;
    Reply("OK", at_ns);
  } else if (rest == "O" && m_call_up) {
    m_data_mode = true;
    Reply("CONNECT 9600", at_ns);
  } else {
    Reply("ERROR", at_ns);
  }
}

uint64_t SimModem::NextTimerNs() const { return std::min(m_dial_due_ns, m_escape_due_ns); }

void SimModem::OnTimer(uint64_t now_ns) {
  if (m_dial_due_ns <= now_ns) {
    const uint64_t at = m_dial_due_ns;
    m_dial_due_ns = UINT64_MAX;
    if (m_settings.outcome == DialOutcome::kConnect) {
      m_call_up = true;
      m_data_mode = true;
      m_answers_in_call = 0;
      m_pluses = 0;
      m_last_host_byte_ns = at;
    }
    Reply(OutcomeText(m_settings.outcome), at);
  }
  if (m_escape_due_ns <= now_ns) {
    const uint64_t at = m_escape_due_ns;
    m_escape_due_ns = UINT64_MAX;
    m_pluses = 0;
    if (online()) {
      m_data_mode = false;
      Reply("OK", at);
    }
  }
}

void SimModem::OnDeviceAnswer(uint64_t at_ns) {
  if (!m_call_up) return;
  ++m_answers_in_call;
  if (m_settings.drop_after_answers >= 0 && m_answers_in_call >= m_settings.drop_after_answers) DropCall(at_ns);
}

void SimModem::DropCall(uint64_t at_ns) {
  if (!m_call_up) return;
  m_call_up = false;
  m_data_mode = false;
  m_escape_due_ns = UINT64_MAX;
  Reply("NO CARRIER", at_ns);
}

}  // namespace tamlo::sim
