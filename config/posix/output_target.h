#pragma once
// Where an output file goes.
//
// A regular file, or a symbolic link to one, is replaced as a whole: the
// bytes go to a temporary file beside it that is renamed over it once
// complete (config/file_system.h). Everything else that can be written is written
// directly, because renaming a file over it would put a regular file in its
// place: a device node (/dev/null, a terminal), a FIFO, a link to either, and
// the names of open descriptors (/dev/stdout, /dev/stderr, /dev/fd/N,
// /proc/self/fd/N), which stand for whatever the descriptor is, a file the
// shell redirected to included. A direct output cannot be taken back: a
// failure part-way leaves what was written.
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

#include "config/file_system.h"

namespace tamlo {

// Writes `size` bytes to `fd`, again after an interrupted or short write.
// The number written: less than `size` only after a write error.
size_t WriteAll(int fd, const uint8_t* data, size_t size);
// WriteAll that, when it writes less, puts the reason into `problem`.
size_t WriteAllOrTell(int fd, const uint8_t* data, size_t size, std::string& problem);

// The system's words for an errno value; `missing` for ENOENT.
FileProblem FileProblemOf(int error);

// True when `path` is written directly rather than replaced.
bool IsDirectOutput(const std::string& path);

// Why `path` cannot be written, as the system words it ("No such file or
// directory" for a missing folder, "Is a directory" for a folder), or "" when
// it can. Commands that fetch their data from a device ask this first, so a
// wrong name fails before the exchange rather than after it.
std::string OutputTargetProblem(const std::string& path);

// Opens a direct output for writing (a FIFO waits for its reader, as a shell
// redirection does). nullptr, with `problem` saying why, when it cannot be
// opened. Commit() closes it and says why not every byte got out ("" when
// they all did); Discard() only closes it.
std::unique_ptr<ReplacementFile> OpenDirectOutput(const std::string& path, FileProblem& problem);

}  // namespace tamlo
