#pragma once
// Where an output file goes on Windows.
//
// A file on a disk is replaced as a whole: the bytes go to a temporary file
// beside it that is moved over it once complete (config/file_system.h).
// Devices are written in place, because moving a file over them is
// impossible: the reserved device names in any folder and with any extension
// (NUL, CON, CONOUT$, PRN, AUX, COM1 to COM9, LPT1 to LPT9) and the device
// namespace ("\\.\pipe\name", "\\.\COM12"). A direct output cannot be taken
// back: a failure part-way leaves what was written.
#include <memory>
#include <string>

#include "config/file_system.h"

namespace tamlo {

// True when `path` is written directly rather than replaced.
bool IsDirectOutput(const std::string& path);

// Why `path` cannot be written, in the system's words, or "" when it can.
std::string OutputTargetProblem(const std::string& path);

// A system error as the seam reports an open that failed.
FileProblem FileProblemOf(uint32_t error);

// Opens a direct output for writing; nullptr, with `problem` saying why, when
// it cannot be opened. Commit() closes it and says why not every byte got
// out ("" when all did); Discard() only closes it.
std::unique_ptr<ReplacementFile> OpenDirectOutput(const std::string& path, FileProblem& problem);

// Writes every byte to `handle`, again after a short write. The number
// written: less than `size` only after a failure (GetLastError() says why).
size_t WriteAll(void* handle, const uint8_t* data, size_t size);

}  // namespace tamlo
