#pragma once
// serial_process: the single entry point of the device link. One call runs
// one device action: open and set up the port (or take the open modem
// connection), handshake, identify the device, carry out the action as a
// sequence of commands, report the outcome once, close the port.
//
// Every failure is reported through the callback (kind 1) before the call
// returns -1; callers only test the sign. Messages about misuse by the caller
// are English and begin with "serial_process(): " or "SerialCore: ".
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>

#include "link/at_command.h"
#include "link/command_protocol.h"
#include "link/read_limits.h"
#include "link/serial_core.h"
#include "link/xmodem_sender.h"

namespace tamlo::link {

enum Action : unsigned {
  SERIAL_READ = 0,
  CONFIG_WRITE = 1,
  CONFIG_READ = 2,
  JOURNAL_READ = 3,
  MODEM_DIAL = 4,
  MODEM_HANGUP = 5,
  GSM_STATUS = 6,
  FW_UPDATE = 7,
  SET_TIME = 8,
  REBOOT = 9,
  SERIAL_WRITE = 10,
  KEYS_STATUS = 11,
  KEY_CHANGE = 12,
};

// The action's input; which field is read depends on the action:
// CONFIG_WRITE: data/length = the configuration image (header included);
// SERIAL_WRITE: text = the serial number; KEY_CHANGE: data/length = key
// number, key length L (16 to write, 0 to delete), L key bytes;
// MODEM_DIAL: text = the phone number, fast_connect = V.110 instead of V.32;
// FW_UPDATE: firmware = the open firmware file; CONFIG_READ:
// no_configuration_ok = the device's refusal 0x94 ("В устройстве нет
// конфигурации") of the read is an answer, not a failure: the read succeeds
// with no data and found_no_configuration() is set (the backup before a
// write, which has nothing to keep then).
struct ActionInput {
  const uint8_t* data = nullptr;
  size_t length = 0;
  const char* text = nullptr;
  bool fast_connect = true;
  FirmwareFile* firmware = nullptr;
  bool no_configuration_ok = false;
};

class ExchangeDispatcher {
 public:
  ExchangeDispatcher(SerialPort& port, const Clock& clock, MessagePump& pump);

  // `port_name`: the device form "\\.\COM3", a plain port name or a device
  // path; nothing to run over the cached modem connection. 0 or -1.
  int serial_process(const std::optional<std::string>& port_name, unsigned action, const ActionInput& input,
                     LinkCallback& callback);

  // Ends the running exchange at its next wait (cancel button, closing the GSM window).
  void RequestCancel() { m_core.RequestCancel(); }

  // The open modem connection between a dial and its hang-up. The dialer sets
  // it after a successful dial; while it is set every action runs over that
  // port with the carrier checked before each read and write.
  bool has_cached_connection() const { return m_cached_connection; }
  void set_cached_connection(bool open) { m_cached_connection = open; }

  // Of the last CONFIG_READ: the device said it holds no configuration and
  // the input took that as an answer.
  bool found_no_configuration() const { return m_found_no_configuration; }
  // Of the last CONFIG_WRITE: the device accepted every chunk of the image,
  // so it holds the new configuration even when a later step (the clock,
  // the notification queue) failed. That failure is reported as such: the
  // configuration written, which step did not finish and why.
  bool image_stored() const { return m_image_stored; }

  SerialCore& core() { return m_core; }
  CommandProtocol& protocol() { return m_protocol; }

  // The most a configuration or journal read takes; tests lower them.
  struct ReadLimits {
    size_t config = kMaxConfigReadBytes;
    size_t journal = kMaxJournalBytes;
  };
  void set_read_limits(ReadLimits limits) { m_read_limits = limits; }

 private:
  int Identify(LinkCallback& callback);
  int RunAction(unsigned action, const ActionInput& input, LinkCallback& callback);
  int SerialRead(LinkCallback& callback);
  int ConfigWrite(const ActionInput& input, LinkCallback& callback);
  int ConfigRead(const ActionInput& input, LinkCallback& callback);
  int ReadTransfer(uint8_t begin, uint8_t chunk, const char* prepare_text, const char* stage_text, bool journal,
                   LinkCallback& callback);
  int GsmStatus(LinkCallback& callback);
  int SetTime(LinkCallback& callback);
  int Reboot(LinkCallback& callback);
  int SerialWrite(const ActionInput& input, LinkCallback& callback);
  int KeysStatus(LinkCallback& callback);
  int KeyChange(const ActionInput& input, LinkCallback& callback);

  int ModemDial(const ActionInput& input, LinkCallback& callback);

  SerialCore m_core;
  CommandProtocol m_protocol;
  ModemChannel m_modem{m_core};
  bool m_cached_connection = false;
  bool m_found_no_configuration = false;
  bool m_image_stored = false;
  ReadLimits m_read_limits;
};

}  // namespace tamlo::link
