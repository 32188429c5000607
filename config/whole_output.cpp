#include "config/whole_output.h"

#include <memory>

namespace tamlo {

WholeOutput WriteWholeFile(FileSystem& fs, const std::string& path, std::span<const uint8_t> bytes) {
  const std::unique_ptr<ReplacementFile> file = fs.CreateReplacement(path);
  if (!file) return WholeOutput::kCannotCreate;
  if (file->Write(bytes.data(), bytes.size()) != bytes.size()) {
    file->Discard();
    return WholeOutput::kWriteFailed;
  }
  return file->Commit() ? WholeOutput::kOk : WholeOutput::kWriteFailed;
}

}  // namespace tamlo
