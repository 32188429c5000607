// Fuzz target: whatever a modem (or line noise) answers, the dial reads it
// without overrunning anything and ends with a defined result. The input is
// fed as the modem's reply to every command, in pieces of varying size.
#include <cstddef>
#include <cstdint>
#include <string>

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
    // Characters of the reply: UTF-8 lead bytes, an escape ("\\", "\r")
    // counting as the one character it stands for and "\xNN" as the byte it
    // stands for (a C1 control is two of them, "\xC2\x98").
    size_t characters = 0;
    for (size_t i = 3; i < line.size(); ++i) {
      uint8_t byte = uint8_t(line[i]);
      if (line[i] == '\\' && i + 1 < line.size()) {
        if (line[i + 1] == 'x' && i + 3 < line.size()) {
          byte = uint8_t(std::stoi(line.substr(i + 2, 2), nullptr, 16));
          i += 3;
        } else {
          byte = uint8_t(line[++i]);
        }
      }
      characters += (byte & 0xC0) != 0x80;
    }
    if (characters > 127) __builtin_trap();  // a reply log line holds at most 127 characters
  }
  return 0;
}
