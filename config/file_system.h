#pragma once
// The file operations the configuration files need, behind a seam so a test
// can fail a write halfway. The real one is SystemFileSystem()
// (config/system_file_system.h); callers get it through their
// constructors or arguments, never by default.
//
// Replacing a file is atomic: the new bytes go to a fresh temporary file in
// the target's folder, which is flushed to the disk and then renamed over the
// target. Until the rename the previous file stays exactly as it was; a
// replacement that is discarded (or destroyed uncommitted) leaves no
// temporary file behind. A target that is not a regular file (a device node,
// a FIFO, /dev/stdout) is written directly instead: see output_target.h.
#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace tamlo {

// Size() of an input that has no size to trust: a pipe, a FIFO, a terminal
// or a device. Such an input is read to its end.
inline constexpr uint64_t kUnknownInputSize = UINT64_MAX;

// Why a file could not be opened, in the system's words.
struct FileProblem {
  std::string text;      // "" when nothing failed
  bool missing = false;  // there is no such file (some callers take that as "nothing there yet")
};

class InputFile {
 public:
  virtual ~InputFile() = default;
  // Bytes read into `buffer` (fewer than `size` at the end or on an error).
  virtual size_t Read(uint8_t* buffer, size_t size) = 0;
  // The size of a regular file, else kUnknownInputSize.
  virtual uint64_t Size() const = 0;
  // "" while every read has succeeded (reaching the end is no failure); after
  // a failed read, why.
  virtual std::string Problem() const { return {}; }
};

class ReplacementFile {
 public:
  virtual ~ReplacementFile() = default;
  // Bytes written (fewer than `size` when the disk is full or failing).
  virtual size_t Write(const uint8_t* data, size_t size) = 0;
  // Flushes to the disk and renames over the target. "" when replaced; else
  // why, and the temporary file is gone, the target untouched.
  virtual std::string Commit() = 0;
  // After a short Write: why it was short ("No space left on device"); "" if
  // unknown.
  virtual std::string Problem() const { return {}; }
  // Closes and removes the temporary file; the target is untouched.
  virtual void Discard() = 0;
};

class FileSystem {
 public:
  virtual ~FileSystem() = default;
  // nullptr when the file cannot be opened for reading (missing, no access,
  // a folder), with `problem` saying why. Opening never waits: a FIFO
  // without a writer opens and reads as empty.
  virtual std::unique_ptr<InputFile> OpenRead(const std::string& path, FileProblem& problem) = 0;
  // A temporary file beside `target` whose commit replaces it. nullptr, with
  // `problem` saying why, when it cannot be created there, when `target` is a
  // folder, or when an existing target may not be written.
  virtual std::unique_ptr<ReplacementFile> CreateReplacement(const std::string& target, FileProblem& problem) = 0;
  // Why `target` could not be written, in the system's words ("No such file
  // or directory" for a missing folder), or "" when it can. Asked before a
  // device exchange whose data goes there, so that a wrong name fails before
  // the exchange; the replacement itself is created only once there is
  // something to write. A seam that cannot tell says "".
  virtual std::string OutputProblem(const std::string& target) {
    (void)target;
    return {};
  }
  // Creates `folder` and the folders above it that are missing. "" when it
  // exists afterwards, else why not in the system's words. A seam without
  // folders says "".
  virtual std::string MakeFolders(const std::string& folder) {
    (void)folder;
    return {};
  }
  // The names of the regular files in `folder`, in no particular order;
  // empty when it is missing or cannot be read. A seam without folders has
  // none.
  virtual std::vector<std::string> RegularFileNames(const std::string& folder) {
    (void)folder;
    return {};
  }
};

}  // namespace tamlo
