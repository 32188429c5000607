#pragma once
// The sample site the demo device starts with, so that a newcomer's first
// configuration read shows a device in real use rather than empty pages:
// an account with its own service messages, both SIM cards with their
// operators' access points, three delivery directions (a receiver over GPRS,
// a backup over the second SIM, a CSD channel), the three wired inputs in
// use, periodic tests and a list of phones allowed to connect remotely.
#include <cstdint>
#include <vector>

namespace tamlo::sim {

// The number the device gave the sample configuration and how long before
// the device's start it was stored (offsets 24 and 28 of the image header).
inline constexpr uint32_t kDemoSiteConfigNumber = 12;
inline constexpr uint32_t kDemoSiteStoredAgo = 3 * 24 * 3600 + 2 * 3600 + 17 * 60;

// The configuration image of the sample site as the device stores it,
// stamped as stored kDemoSiteStoredAgo seconds before `device_time`.
std::vector<uint8_t> DemoSiteImage(uint32_t device_time);

}  // namespace tamlo::sim
