#include "sim/stored_image.h"

#include <cstring>

#include "config/byte_order.h"
#include "config/config_image.h"
#include "config/crc32.h"
#include "config/whole_input.h"
#include "config/whole_output.h"
#include "link/read_limits.h"
#include "link/text_format.h"

namespace tamlo::sim {


std::vector<uint8_t> FactoryImage() {
  std::vector<uint8_t> image(kImageHeaderSize, 0);
  std::memcpy(image.data(), "TAM0", 4);
  WriteLe32(&image[4], ConfigImageHeader::kConfiguratorVersion);
  WriteLe32(&image[12], Crc32Register(nullptr, 0));
  return image;
}

bool ImageDataLength(const uint8_t* header, uint32_t& length) {
  if (std::memcmp(header, "TAM0", 4) != 0) return false;
  length = ReadLe32(header + 8);
  return true;
}

bool LoadImageFile(FileSystem& fs, const std::string& path, std::vector<uint8_t>& image, std::string& error) {
  std::string bytes;
  FileProblem problem;
  switch (ReadWholeInput(fs, path, link::kMaxConfigReadBytes, bytes, problem)) {
    case WholeInput::kOk: break;
    case WholeInput::kTooLarge:
      error = link::Format("Файл \"%s\" больше допустимых %u МБ конфигурации", path.c_str(),
                     static_cast<unsigned>(kMaxConfigDataLength / (1024 * 1024)));
      return false;
    case WholeInput::kCannotOpen:
    case WholeInput::kReadFailed:
      error = "Невозможно открыть файл \"" + path + "\"";
      return false;
  }
  const auto* data = reinterpret_cast<const uint8_t*>(bytes.data());
  uint32_t length = 0;
  if (bytes.size() < kImageHeaderSize || !ImageDataLength(data, length) || length > bytes.size() - kImageHeaderSize) {
    error = "Файл \"" + path + "\" не является файлом конфигурации";
    return false;
  }
  image.assign(data, data + bytes.size());
  return true;
}

bool SaveImageFile(FileSystem& fs, const std::string& path, const std::vector<uint8_t>& image, std::string& error) {
  switch (WriteWholeFile(fs, path, image).status) {
    case WholeOutput::kOk: return true;
    case WholeOutput::kCannotCreate: error = "Невозможно создать файл \"" + path + "\""; return false;
    case WholeOutput::kWriteFailed: error = "Ошибка записи файла \"" + path + "\""; return false;
  }
  return false;
}

}  // namespace tamlo::sim
