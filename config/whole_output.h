#pragma once
// Writing a file whole through the file seam: the bytes go to a replacement
// that is committed only when every byte was written, so a failed write
// leaves the previous file as it was and no temporary file behind.
#include <cstdint>
#include <functional>
#include <span>
#include <string>

#include "config/file_system.h"

namespace tamlo {

enum class WholeOutput {
  kOk,
  kCannotCreate,  // no replacement could be made beside the target
  kWriteFailed,   // a write or the commit failed; the target is untouched
};

struct WholeOutputResult {
  WholeOutput status = WholeOutput::kOk;
  std::string problem;  // why not, in the system's words; "" on kOk and when the seam cannot tell
  bool ok() const { return status == WholeOutput::kOk; }
};

WholeOutputResult WriteWholeFile(FileSystem& fs, const std::string& path, std::span<const uint8_t> bytes);

// The same for bytes that are produced piece by piece, so that they are never
// all in memory at once: `fill` writes them into the replacement and returns
// false as soon as a write fell short. It is called only once the
// replacement exists.
WholeOutputResult WriteWholeFile(FileSystem& fs, const std::string& path,
                                 const std::function<bool(ReplacementFile& file)>& fill);

}  // namespace tamlo
