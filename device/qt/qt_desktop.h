#pragma once
// The desktop through Qt: private temporary files (QTemporaryFile in the
// user's temporary location) and opening a file with its default program
// (QDesktopServices).
#include "device/device_seams.h"

namespace tamlo {

class QtDesktop final : public device::Desktop {
 public:
  // Created with O_CREAT | O_EXCL, so a name planted in the folder beforehand
  // (a file or a link to one) is never opened; mode 0600; kept after return.
  std::optional<std::string> CreatePrivateTempFile(std::string_view name_template) override;
  bool OpenWithDefaultHandler(const std::string& path) override;
};

}  // namespace tamlo
