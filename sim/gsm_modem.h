#pragma once
// A GSM modem in front of the simulated device, as the configurator sees it
// on its serial port: V.250 commands in command mode, result codes framed
// with CR LF ("\r\nOK\r\n"), no echo. "ATD<number>" places the data call:
// after the connect delay "CONNECT 9600" comes with the carrier (DCD) up, and
// from then on the host's bytes go through the call to the device. "+++"
// between two guard times of silence returns to command mode with the call
// still up; "ATH" ends the call. When the far end ends the call the modem
// says "NO CARRIER" and the carrier drops.
//
// Scenarios: every dial outcome (BUSY, NO ANSWER, NO CARRIER, NO DIALTONE,
// ERROR), RING lines while dialling, ERROR or "+CME ERROR: n" on a chosen
// command, a silent modem, a call dropped by the far end after the device
// has answered a number of requests.
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace tamlo::sim {

enum class DialOutcome { kConnect, kBusy, kNoAnswer, kNoCarrier, kNoDialtone, kError };

struct ModemSettings {
  uint32_t connect_delay_ms = 5000;  // from ATD to the outcome
  DialOutcome outcome = DialOutcome::kConnect;
  int rings = 0;                     // RING lines while dialling
  bool silent = false;               // answers nothing at all
  std::string error_command;         // this command line is answered with error_reply
  std::string error_reply = "ERROR";
  int ifc_by_dte = 0;                // "+IFC: <by DTE>,<by DCE>" until set
  int ifc_by_dce = 0;
  int bearer = 7;                    // "+CBST: <bearer>,0,1" until set
  uint32_t guard_ms = 1000;          // escape guard time (S12)
  int drop_after_answers = -1;       // the far end hangs up after this many device answers in a call
};

class SimModem {
 public:
  // Puts modem text on the line towards the host, starting at `at_ns`.
  using Sink = std::function<void(const std::string& text, uint64_t at_ns)>;

  SimModem(ModemSettings settings, Sink sink);

  // A byte from the host at `at_ns`. True when it goes on to the device (the
  // call is up and the modem is in data mode).
  bool FromHost(uint8_t byte, uint64_t at_ns);
  // The device answered a request through the call.
  void OnDeviceAnswer(uint64_t at_ns);
  // The far end ends the call.
  void DropCall(uint64_t at_ns);

  bool carrier() const { return m_call_up; }
  bool online() const { return m_call_up && m_data_mode; }
  // The next moment the modem acts on its own; UINT64_MAX when nothing is due.
  uint64_t NextTimerNs() const;
  void OnTimer(uint64_t now_ns);

  ModemSettings& settings() { return m_settings; }
  // Every command line received, in order ("AT+CBST=71", "ATD812", ...).
  const std::vector<std::string>& commands() const { return m_commands; }
  const std::string& dialled() const { return m_dialled; }
  int calls() const { return m_calls; }
  // Device answers that went through the current (or last) call.
  int answers_in_call() const { return m_answers_in_call; }

 private:
  void OnCommand(const std::string& line, uint64_t at_ns);
  void Reply(const std::string& text, uint64_t at_ns);

  ModemSettings m_settings;
  Sink m_sink;
  std::string m_line;
  std::vector<std::string> m_commands;
  std::string m_dialled;
  int m_calls = 0;

  bool m_call_up = false;
  bool m_data_mode = false;
  int m_answers_in_call = 0;
  uint64_t m_dial_due_ns = UINT64_MAX;  // the dial outcome
  uint64_t m_escape_due_ns = UINT64_MAX;  // end of the guard time after "+++"
  uint64_t m_last_host_byte_ns = 0;
  int m_pluses = 0;
};

}  // namespace tamlo::sim
