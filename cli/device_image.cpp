#include "cli/device_image.h"

#include "device/session/device_image.h"

namespace tamlo::cli {

std::optional<std::vector<uint8_t>> CheckedDeviceData(DeviceSession& session, const std::vector<uint8_t>& image) {
  device::DeviceImage checked = device::CheckDeviceImage(image);
  if (!checked.accepted()) {
    session.LogInfo(checked.refusal);
    return std::nullopt;
  }
  if (const std::optional<std::string> line = device::StoredByDeviceLine(checked.header)) session.LogInfo(*line);
  return std::move(checked.data);
}

}  // namespace tamlo::cli
