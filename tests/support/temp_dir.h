#pragma once
// A fresh folder for one test, removed with everything in it when the object
// goes out of scope.
#include <cstddef>
#include <filesystem>
#include <string>

namespace tamlo::testing {

class TempDir {
 public:
  TempDir();
  ~TempDir();
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;

  const std::filesystem::path& path() const { return m_path; }
  std::filesystem::path operator/(const std::string& name) const { return m_path / name; }
  // Whether files here keep POSIX mode bits (owner-only and the like);
  // Windows has none, the folder's access list decides there.
  bool KeepsModeBits() const;

 private:
  std::filesystem::path m_path;
};

// Whole-file helpers for golden data.
std::string ReadFileBytes(const std::filesystem::path& path);
void WriteFileBytes(const std::filesystem::path& path, const std::string& bytes);
// How many entries `folder` holds (a temporary file left behind shows here).
size_t EntriesIn(const std::filesystem::path& folder);

}  // namespace tamlo::testing
