#include "link/gsm_status.h"

namespace tamlo::link {
namespace {

constexpr unsigned kLevelUnknownFrom = 57;
constexpr unsigned kLevelMax = 31;

}  // namespace

int GsmLevelDb(unsigned level) { return -113 + 2 * static_cast<int>(level); }

std::array<GsmSimStatus, 2> DecodeGsmStatus(const uint8_t* reply, size_t length) {
  std::array<GsmSimStatus, 2> sims;
  const unsigned records = length > 0 ? reply[0] : 0;
  for (unsigned i = 0; i < 2; ++i) {
    GsmSimStatus& sim = sims[i];
    if (i >= records || 3 + 2 * i >= length) continue;
    const unsigned status = reply[2 + 2 * i];
    const unsigned level = reply[3 + 2 * i];
    sim.present = true;
    sim.failed = (status & 0x40) != 0;
    sim.in_use = !sim.failed && (status & 0x80) != 0;
    sim.state = status & 0x3F;
    if (level < kLevelUnknownFrom) sim.level = level > kLevelMax ? kLevelMax : level;
  }
  return sims;
}

}  // namespace tamlo::link
