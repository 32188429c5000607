#pragma once
// The file seam of config/file_system.h on a POSIX system. Replacements are
// written to a temporary file in the target's folder, fsync'ed and renamed
// over the target; an existing target's permissions are kept and a symbolic
// link is replaced at the file it points to.
#include "config/file_system.h"

namespace tamlo {

// The process's one instance; it holds no state.
FileSystem& PosixFileSystem();

}  // namespace tamlo
