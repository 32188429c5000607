#pragma once
// How long the device has been waited for, shown in the progress window
// while a command gets no answer. An answer normally comes within a fraction
// of a second; the first resend goes out after 4 s without one, and from then
// on the window says how long the command has waited against its 30 s limit,
// so that a silent device does not look like a frozen program.
//
// The link runs the whole exchange inside the click handler and calls its
// message pump at least ten times a second while it waits, so the pump is
// where the waiting is seen: AnswerWaitPump passes every call on and, before
// each dispatch, reads the wait of the command under way.
#include <cstdint>
#include <string>

#include "device/device_seams.h"
#include "link/clock.h"
#include "link/command_protocol.h"

namespace tamlo::device {

// "Ожидание ответа: 12 из 30 с" once `waited_ms` has reached the first resend,
// in whole seconds and never past the limit; empty before.
std::string AnswerWaitText(uint32_t waited_ms, uint32_t limit_ms);

class AnswerWaitPump final : public link::MessagePump {
 public:
  // `pump` does the dispatching and waiting; `progress` gets the text of the
  // wait through SetWaitText whenever it changes. All three outlive this.
  AnswerWaitPump(link::MessagePump& pump, const link::Clock& clock, ProgressView& progress)
      : m_pump(pump), m_clock(clock), m_progress(progress) {}

  // The protocol whose waits are shown (it belongs to the dispatcher, which
  // is built on this pump).
  void Watch(const link::CommandProtocol& protocol) { m_protocol = &protocol; }
  // A new exchange: its progress window starts without a wait text.
  void Begin() { m_shown.clear(); }

  void DispatchPending() override;
  void IdleWait(uint32_t ms) override { m_pump.IdleWait(ms); }

 private:
  link::MessagePump& m_pump;
  const link::Clock& m_clock;
  ProgressView& m_progress;
  const link::CommandProtocol* m_protocol = nullptr;
  std::string m_shown;  // what the progress window was last told
};

}  // namespace tamlo::device
