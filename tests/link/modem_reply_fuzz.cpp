// Fuzz target: whatever a modem (or line noise) answers, the dial reads it
// without overrunning anything and ends with a defined result. The input is
// fed as the modem's reply to every command, in pieces of varying size.
#include <cstddef>
#include <cstdint>

#include "fake_port.h"
#include "link/modem_dialer.h"
#include "recording_callback.h"

using namespace tamlo::link;
using namespace tamlo::link::testing;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size == 0) return 0;
  ManualClock clock;
  ManualPump pump(clock);
  FakePort port(clock);
  port.Open("COM1");
  port.read_chunk = 1 + data[0] % 64;
  const Bytes reply(data + 1, data + size);
  port.on_bytes = [&](const uint8_t*, size_t) { port.Feed(reply, 10); };
  SerialCore core(port, clock, pump);
  ModemChannel channel(core);
  RecordingCallback cb;
  const int result = DialDevice(channel, DialInput{"812", (data[0] & 0x80) != 0}, cb);
  if (result > 0) __builtin_trap();  // a dial ends connected (0) or failed (negative)
  for (const std::string& line : cb.log) {
    if (line.rfind("<= ", 0) != 0) continue;
    // Received characters: UTF-8 lead bytes, and each escape (a doubled
    // backslash, \n, \r, \t or \xNN) as the one character it stands for.
    size_t characters = 0;
    for (size_t i = 3; i < line.size(); ++i) {
      if (line[i] == '\\') {
        i += line[i + 1] == 'x' ? 3 : 1;
        ++characters;
      } else {
        characters += (uint8_t(line[i]) & 0xC0) != 0x80;
      }
    }
    if (characters > 127) __builtin_trap();  // a reply log line holds at most 127 characters
  }
  return 0;
}
