#pragma once
// A configuration image read from the device, checked by the device window's
// own check (CheckDeviceImage, device/session/device_image.h): at least the
// 32-byte header, the "TAM0" magic, both data lengths within the bytes read.
// A header with the device's own number and time logs when it was stored.
#include <cstdint>
#include <optional>
#include <vector>

#include "cli/device_session.h"

namespace tamlo::cli {

// The encoded data of `image` (the header's decoded length of bytes after
// it); none, with the reason in the service log, when a check fails.
std::optional<std::vector<uint8_t>> CheckedDeviceData(DeviceSession& session, const std::vector<uint8_t>& image);

}  // namespace tamlo::cli
