#pragma once
// A minimal device for the dispatcher's tests: answers the handshake and the
// identification, and whatever a test puts into `on`. A command without a
// handler is answered 0x80 with no payload.
#include <cstdint>
#include <functional>
#include <map>
#include <string>

#include "fake_port.h"
#include "link/link_codes.h"

namespace tamlo::link::testing {

struct Reply {
  uint8_t code = ANS_OK;
  Bytes payload;
  bool silent = false;
};

class ScriptedDevice {
 public:
  explicit ScriptedDevice(FakePort& port) {
    port.SetResponder([this](const Request& r, FakePort& p) { Respond(r, p); });
  }

  uint16_t size_a = 256;
  uint16_t size_b = 256;
  std::string version = "Tamlo 3.11";
  std::map<uint8_t, std::function<Reply(const Request&)>> on;

  static Bytes U16(uint16_t v) { return {static_cast<uint8_t>(v), static_cast<uint8_t>(v >> 8)}; }
  static Bytes U32(uint32_t v) {
    return {static_cast<uint8_t>(v), static_cast<uint8_t>(v >> 8), static_cast<uint8_t>(v >> 16),
            static_cast<uint8_t>(v >> 24)};
  }

 private:
  void Respond(const Request& r, FakePort& p) {
    if (r.command == CMD_CONNECT && r.number == 0) {
      uint32_t challenge = 0;
      for (int i = 0; i < 4; ++i) challenge |= static_cast<uint32_t>(r.payload[i]) << (8 * i);
      Bytes a = U32(~challenge);
      for (uint16_t v : {size_a, size_b}) {
        const Bytes s = U16(v);
        a.insert(a.end(), s.begin(), s.end());
      }
      p.Answer(0, ANS_OK, a);
      return;
    }
    Reply reply;
    if (auto it = on.find(r.command); it != on.end()) {
      reply = it->second(r);
    } else if (r.command == CMD_GET_VERSION) {
      reply.payload.assign(version.begin(), version.end());
    }
    if (!reply.silent) p.Answer(r.number, reply.code, reply.payload);
  }
};

}  // namespace tamlo::link::testing
