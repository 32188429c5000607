#include "config/whole_input.h"

#include <algorithm>
#include <utility>

namespace tamlo {

WholeInput ReadWholeInput(FileSystem& fs, const std::string& path, size_t limit, std::string& bytes,
                          FileProblem& problem) {
  bytes.clear();
  const std::unique_ptr<InputFile> file = fs.OpenRead(path, problem);
  if (!file) return WholeInput::kCannotOpen;
  const uint64_t size = file->Size();
  if (size != kUnknownInputSize && size > limit) return WholeInput::kTooLarge;
  // A regular file in one piece; anything else in blocks, never holding more
  // than the limit and one block.
  constexpr size_t kBlock = 64 * 1024;
  const size_t step = size != kUnknownInputSize ? static_cast<size_t>(size) + 1 : kBlock;
  for (;;) {
    const size_t had = bytes.size();
    const size_t wanted = std::min(step, limit + 1 - had);
    bytes.resize(had + wanted);
    // Read() stops short only at the end of the input (or on an error).
    const size_t got = file->Read(reinterpret_cast<uint8_t*>(bytes.data() + had), wanted);
    bytes.resize(had + got);
    if (bytes.size() > limit) {
      bytes.clear();
      return WholeInput::kTooLarge;
    }
    if (std::string why = file->Problem(); !why.empty()) {
      bytes.clear();
      problem = {std::move(why), false};
      return WholeInput::kReadFailed;
    }
    if (got < wanted) return WholeInput::kOk;
  }
}

}  // namespace tamlo
