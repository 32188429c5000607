#pragma once
// The GUI's message pump for the link's waits: dispatches the thread's
// pending events, and idles by waiting for the next event (or a time-out)
// inside the event dispatcher instead of spinning.
#include "link/clock.h"

namespace tamlo::link {

class QtMessagePump final : public MessagePump {
 public:
  void DispatchPending() override;
  void IdleWait(uint32_t ms) override;
};

}  // namespace tamlo::link
