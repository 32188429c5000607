#include "support/temp_dir.h"

#include <fstream>
#include <iterator>
#include <random>
#include <stdexcept>
#include <system_error>

namespace tamlo::testing {

// A new folder with a random name: create_directory() reports whether it
// made the folder, so a name another run holds is never shared.
TempDir::TempDir() {
  std::random_device random;
  const std::filesystem::path base = std::filesystem::temp_directory_path();
  for (int attempt = 0; attempt < 100; ++attempt) {
    const std::filesystem::path candidate = base / ("tamlo-test-" + std::to_string(random()));
    std::error_code ec;
    if (std::filesystem::create_directory(candidate, ec)) {
      std::filesystem::permissions(candidate, std::filesystem::perms::owner_all, ec);
      m_path = candidate;
      return;
    }
  }
  throw std::runtime_error("cannot create a test folder");
}

TempDir::~TempDir() {
  std::error_code ec;
  // Tests may leave read-only entries behind; give write access back first.
  std::filesystem::permissions(m_path, std::filesystem::perms::owner_all,
                               std::filesystem::perm_options::add, ec);
  std::filesystem::remove_all(m_path, ec);
}

bool TempDir::KeepsModeBits() const {
  namespace fs = std::filesystem;
  constexpr fs::perms kOwnerOnly = fs::perms::owner_read | fs::perms::owner_write;
  const fs::path probe = m_path / ".mode-probe";
  WriteFileBytes(probe, "");
  std::error_code ec;
  fs::permissions(probe, kOwnerOnly, ec);
  const bool kept = !ec && (fs::status(probe, ec).permissions() & fs::perms::all) == kOwnerOnly;
  fs::remove(probe, ec);
  return kept;
}

std::string ReadFileBytes(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) throw std::runtime_error("cannot open " + path.string());
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void WriteFileBytes(const std::filesystem::path& path, const std::string& bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  if (!out) throw std::runtime_error("cannot write " + path.string());
}

size_t EntriesIn(const std::filesystem::path& folder) {
  return static_cast<size_t>(
      std::distance(std::filesystem::directory_iterator(folder), std::filesystem::directory_iterator()));
}

}  // namespace tamlo::testing
