#pragma once
// Serves a SimDevice on a pseudo-terminal (POSIX): the host opens the
// terminal's slave side like any serial port. Both ends are raw (no echo, no
// line editing, no character translation), and the device side keeps its own
// slave descriptor open so the terminal survives the host closing and
// reopening it between exchanges.
//
// Timing: bytes reach the device and the host when the line model says they
// have travelled (10 bits per byte at the device's baud rate). The loop
// blocks in ppoll() until the next byte is due, handing bytes over at most
// once per millisecond, like a serial adapter's latency timer.
#include <csignal>
#include <string>

#include "sim/sim_device.h"

namespace tamlo::sim {

class PtyServer {
 public:
  explicit PtyServer(SimDevice& device) : m_device(device) {}
  ~PtyServer();
  PtyServer(const PtyServer&) = delete;
  PtyServer& operator=(const PtyServer&) = delete;

  // Creates the terminal; on failure `error` says why.
  bool Open(std::string& error);
  const std::string& slave_path() const { return m_slave_path; }
  // Serves until `stop` becomes non-zero (set by a signal handler) or the
  // terminal fails. SIGINT and SIGTERM must be blocked by the caller; they
  // are let through only while the loop waits. Returns 0, or 1 on failure.
  int Serve(const volatile std::sig_atomic_t& stop, std::string& error);

 private:
  SimDevice& m_device;
  int m_master = -1;
  int m_slave = -1;
  std::string m_slave_path;
};

}  // namespace tamlo::sim
