#pragma once
// Reading an input whole through the file seam, with a limit: a regular file
// by its size, anything else (a pipe such as "<(cat f)" or /dev/stdin, a
// FIFO, a device) to its end. An input above the limit is refused before its
// bytes are kept: a regular file by its size before anything is read, any
// other input as soon as one byte more than the limit has arrived, so
// /dev/zero ends too.
#include <cstddef>
#include <string>

#include "config/file_system.h"

namespace tamlo {

enum class WholeInput {
  kOk,
  kCannotOpen,  // missing, no access, a folder
  kTooLarge,    // above the limit
  kReadFailed,  // a read failed part-way
};

// On kOk `bytes` holds the input; otherwise it is empty. On kCannotOpen and
// kReadFailed `problem` says why, as the seam words it (its text may be ""
// when the seam cannot tell).
WholeInput ReadWholeInput(FileSystem& fs, const std::string& path, size_t limit, std::string& bytes,
                          FileProblem& problem);

}  // namespace tamlo
