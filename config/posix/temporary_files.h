#pragma once
// The temporary files of replacements still in progress, by name, so that a
// signal handler that ends the program can remove them: an interrupted save
// leaves neither a truncated target nor a stray temporary file beside it.
//
// The names sit in a fixed table filled outside the handler; removing them
// takes only unlink(), so RemoveTemporaryFilesNow() is async-signal-safe. A
// name that does not fit (table full, name longer than the slot) is simply
// not listed: that save still works, it is only not cleaned up on a signal.
#include <cstddef>

namespace tamlo {

inline constexpr int kTemporaryFileSlots = 8;
inline constexpr size_t kTemporaryFileNameMax = 4096;

// Lists `path`; the slot to forget it by, or -1 when it could not be listed.
int ListTemporaryFile(const char* path);
// Takes a listed name off the table (after its rename or removal); -1 is ignored.
void ForgetTemporaryFile(int slot);
// Removes every listed file. Async-signal-safe; the table stays as it is.
void RemoveTemporaryFilesNow();

// Makes SIGINT and SIGTERM remove the listed files before they end the
// process the way they would have ended it (the handler puts the default
// action back and raises the signal again, so the parent sees the signal).
// A handler installed later for a while (Ctrl+C as the cancel of a device
// exchange) takes over until it puts this one back.
void InstallTemporaryFileCleanup();

}  // namespace tamlo
