#pragma once
// Time and the message pump, the link's two other windows on the world.
//
// Every wait of the link is "dispatch pending messages, then block a little":
// the block is a port read (at most kReadWaitMs) or MessagePump::IdleWait().
// Under ManualClock nothing blocks: the fake port, the simulator and
// ManualPump advance the clock instead, so a 30-second retry ladder runs in
// microseconds and no test depends on the real clock.
#include <cstdint>
#include <functional>
#include <utility>
#include <vector>

namespace tamlo::link {

// The local calendar time (year as written, month 1-12, day 1-31).
struct LocalDateTime {
  int year = 2012;
  int month = 1;
  int day = 1;
  int hour = 0;
  int minute = 0;
  int second = 0;
};

class Clock {
 public:
  virtual ~Clock() = default;
  // Millisecond tick count; wraps around after 2^32 ms like the system's.
  virtual uint32_t NowMs() const = 0;
  // The PC's local date and time.
  virtual LocalDateTime LocalNow() const = 0;
};

class MessagePump {
 public:
  virtual ~MessagePump() = default;
  // Runs every message already queued for this thread (repaints, the cancel
  // button, a window being closed) and returns.
  virtual void DispatchPending() = 0;
  // Blocks for at most `ms` milliseconds or until a message arrives. Never spins.
  virtual void IdleWait(uint32_t ms) = 0;
};

// A span of time from a start tick. Tick arithmetic is unsigned, so a tick
// count that wraps during the span still gives the right answers.
struct Deadline {
  uint32_t start = 0;
  uint32_t duration = 0;

  static Deadline After(const Clock& clock, uint32_t ms) { return {clock.NowMs(), ms}; }
  uint32_t Elapsed(const Clock& clock) const { return clock.NowMs() - start; }
  bool Expired(const Clock& clock) const { return Elapsed(clock) >= duration; }
  uint32_t Remaining(const Clock& clock) const {
    const uint32_t e = Elapsed(clock);
    return e >= duration ? 0 : duration - e;
  }
};

// The system's clocks: a steady millisecond counter and the local time.
class SystemClock final : public Clock {
 public:
  uint32_t NowMs() const override;
  LocalDateTime LocalNow() const override;
};

// The console's pump: there are no window messages, waiting is sleeping.
class SleepingPump final : public MessagePump {
 public:
  void DispatchPending() override {}
  void IdleWait(uint32_t ms) override;
};

// A clock that moves only when told to. Tests and the in-process simulator
// share one; whoever "waits" advances it.
class ManualClock final : public Clock {
 public:
  explicit ManualClock(uint32_t start_ms = 0) : m_now(start_ms) {}
  uint32_t NowMs() const override { return m_now; }
  LocalDateTime LocalNow() const override { return m_local; }
  void Advance(uint32_t ms) { m_now += ms; }
  void SetLocal(const LocalDateTime& local) { m_local = local; }

 private:
  uint32_t m_now;
  LocalDateTime m_local{2024, 6, 15, 12, 0, 0};
};

// A pump on a ManualClock. IdleWait advances the clock; tasks posted with
// PostAt() run from DispatchPending() once the clock has reached their time,
// which is how a test presses "cancel" at second 9 of an exchange.
class ManualPump final : public MessagePump {
 public:
  explicit ManualPump(ManualClock& clock) : m_clock(clock) {}
  void PostAt(uint32_t at_ms, std::function<void()> task) { m_tasks.emplace_back(at_ms, std::move(task)); }
  void DispatchPending() override {
    // Tasks may post further tasks, so take the due ones out first.
    std::vector<std::function<void()>> due;
    for (auto it = m_tasks.begin(); it != m_tasks.end();) {
      if (static_cast<int32_t>(m_clock.NowMs() - it->first) >= 0) {
        due.push_back(std::move(it->second));
        it = m_tasks.erase(it);
      } else {
        ++it;
      }
    }
    for (auto& task : due) task();
    ++m_dispatches;
  }
  void IdleWait(uint32_t ms) override { m_clock.Advance(ms == 0 ? 1 : ms); }
  int dispatches() const { return m_dispatches; }

 private:
  ManualClock& m_clock;
  std::vector<std::pair<uint32_t, std::function<void()>>> m_tasks;
  int m_dispatches = 0;
};

}  // namespace tamlo::link
