#pragma once
// The temporary files of replacements still in progress, by name, so that the
// handler that ends the program on Ctrl+C (a signal handler on POSIX, a
// console control handler on Windows) can remove them: an interrupted save
// leaves neither a truncated target nor a stray temporary file beside it.
//
// The names sit in a fixed table filled outside the handler; walking it takes
// no lock and no allocation, so a walk is async-signal-safe when its removal
// is (unlink()). A name that does not fit (table full, name longer than the
// slot) is simply not listed: that save still works, it is only not cleaned
// up on an interrupt.
#include <cstddef>

namespace tamlo {

inline constexpr int kTemporaryFileSlots = 8;
inline constexpr size_t kTemporaryFileNameMax = 4096;

// Lists `path`; the slot to forget it by, or -1 when it could not be listed.
int ListTemporaryFile(const char* path);
// Takes a listed name off the table (after its rename or removal); -1 is ignored.
void ForgetTemporaryFile(int slot);
// Calls `remove` with every listed name; the table stays as it is.
void ForEachTemporaryFile(void (*remove)(const char* path));

// Removes every listed file, with the system's removal (config/posix/,
// config/win32/). Safe in the handler that ends the program.
void RemoveTemporaryFilesNow();

}  // namespace tamlo
