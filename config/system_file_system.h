#pragma once
// The operating system's file system behind the seam of file_system.h. The
// build links the implementation of its system (config/posix/ or
// config/win32/); callers name only this header.
#include "config/file_system.h"

namespace tamlo {

// The process's one instance; it holds no state.
FileSystem& SystemFileSystem();

// Makes the console's stop (Ctrl+C; on POSIX also SIGTERM, on Windows also
// Ctrl+Break and the closing of the console window) remove the temporary
// files of replacements still in progress before the process ends the way it
// would have: an interrupted save leaves neither a truncated target nor a
// stray temporary file beside it.
void InstallTemporaryFileCleanup();

}  // namespace tamlo
