#include "config/whole_output.h"

#include <memory>
#include <utility>

namespace tamlo {

WholeOutputResult WriteWholeFile(FileSystem& fs, const std::string& path, std::span<const uint8_t> bytes) {
  return WriteWholeFile(fs, path,
                        [bytes](ReplacementFile& file) { return file.Write(bytes.data(), bytes.size()) == bytes.size(); });
}

WholeOutputResult WriteWholeFile(FileSystem& fs, const std::string& path,
                                 const std::function<bool(ReplacementFile& file)>& fill) {
  FileProblem problem;
  const std::unique_ptr<ReplacementFile> file = fs.CreateReplacement(path, problem);
  if (!file) return {WholeOutput::kCannotCreate, problem.text};
  if (!fill(*file)) {
    std::string why = file->Problem();
    file->Discard();
    return {WholeOutput::kWriteFailed, std::move(why)};
  }
  std::string why = file->Commit();
  if (!why.empty()) return {WholeOutput::kWriteFailed, std::move(why)};
  return {};
}

}  // namespace tamlo
