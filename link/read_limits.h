#pragma once
// The most one device read may deliver: the same limits as the files that
// keep what was read, so a read never saves what opening the file refuses.
// A device announcing more is refused before anything is kept, and a journal
// that keeps coming is stopped at its limit.
#include <cstddef>

#include "config/config_files.h"
#include "config/config_image.h"

namespace tamlo::link {

// A configuration read delivers the whole image: its header and at most the
// data a configuration file may hold.
inline constexpr size_t kMaxConfigReadBytes = ConfigImageHeader::kSize + kMaxConfigDataLength;

// The largest journal: a device keeps a few megabytes, so anything far above
// is not a journal.
inline constexpr size_t kMaxJournalBytes = 64 * 1024 * 1024;

}  // namespace tamlo::link
