#pragma once
// Named failure modes of the simulated device, each one switch away, so a
// test of a recovery path is one line: "answer 0x87 twice", "drop 1% of the
// bytes", "refuse the key change with 0x96", "stay silent".
#include <cstdint>
#include <vector>

namespace tamlo::sim {

struct Refusal {
  uint8_t command = 0;  // refused command code
  uint8_t code = 0;     // answer code sent instead of the real answer
  int count = -1;       // how many times; -1: every time
};

struct Faults {
  // Line noise, both directions, per byte: a corrupted byte has one bit
  // flipped, a dropped byte takes its time on the line but never arrives.
  // The same seed gives the same damage for the same traffic.
  double corrupt_probability = 0;
  double drop_probability = 0;
  uint32_t seed = 1;

  // Time between a request's last byte and the first byte of its answer.
  uint32_t answer_delay_ms = 0;
  // The next N commands are answered 0x87 (repeat later) and not executed.
  int retry_later_answers = 0;
  // The next N answers are each preceded by a late copy of the previous
  // answer, which carries the previous block number.
  int stale_answers = 0;
  // Commands answered with a chosen refusal code instead of being executed.
  std::vector<Refusal> refusals;
  // The next N requests (the handshake included) get no answer; -1: none ever.
  int silent_requests = 0;
};

}  // namespace tamlo::sim
