#include "config/config_files.h"

#include <algorithm>
#include <new>

#include "config/whole_output.h"

namespace tamlo {
namespace {

std::string Quoted(const std::string& name) { return "\"" + name + "\""; }

const char* const kReadError = "Ошибка чтения файла";
const char* const kBadHeader = "Некорректный заголовок файла. Возможно, файл поврежден.";

}  // namespace

ConfigImageFile ReadConfigImageFile(FileSystem& fs, const std::string& name) {
  FileProblem problem;
  std::unique_ptr<InputFile> file = fs.OpenRead(name, problem);
  if (!file) throw ConfigLoadError("Невозможно открыть файл " + Quoted(name));

  uint8_t raw[ConfigImageHeader::kSize];
  if (file->Read(raw, sizeof raw) != sizeof raw) throw ConfigLoadError(kReadError);
  ConfigImageFile image;
  image.header = ConfigImageHeader::Parse(raw);
  if (!image.header.MagicOk())
    throw ConfigLoadError("Файл " + name + " не является конфигурацией Tamlo");

  const uint64_t size = file->Size();
  const bool sized = size != kUnknownInputSize;
  const uint64_t rest = size > ConfigImageHeader::kSize ? size - ConfigImageHeader::kSize : 0;
  if (sized && (rest < image.header.length2 || rest < image.header.length)) throw ConfigLoadError(kBadHeader);

  // Only the bytes the lengths cover are of use; anything after them is not
  // decoded, so a large tail is not read into memory.
  const size_t wanted = std::max(image.header.length, image.header.length2);
  if (wanted > kMaxConfigDataLength)
    throw ConfigLoadError("Файл слишком велик: данные конфигурации больше 1 МБ. Возможно, файл поврежден.");
  try {
    image.data.resize(wanted);
  } catch (const std::bad_alloc&) {
    throw ConfigLoadError("Недостаточно памяти для загрузки файла");
  }
  // A pipe that ends early was shorter than its header says.
  if (file->Read(image.data.data(), wanted) != wanted) throw ConfigLoadError(sized ? kReadError : kBadHeader);
  return image;
}

bool ConfigFiles::PromptConfigFileName(bool save) {
  FileDialogRequest request;
  request.save = save;
  request.filter = kConfigFileFilter;
  request.default_ext = kConfigFileExtension;
  request.initial_name = m_current;
  std::optional<std::string> chosen = m_dialogs.ChooseFile(request);
  if (!chosen) return false;
  m_current = std::move(*chosen);
  return true;
}

bool ConfigFiles::OpenConfigFile() {
  if (!PromptConfigFileName(false)) return false;
  return OpenNamedConfigFile(m_current);
}

bool ConfigFiles::OpenNamedConfigFile(const std::string& name) {
  m_current = name;
  try {
    const ConfigImageFile image = ReadConfigImageFile(m_fs, m_current);
    LoadConfigData(m_pages, image.data.data(), image.data.size(), image.header);
    return true;
  } catch (const ConfigLoadError& e) {
    m_dialogs.ShowMessage(e.what(), kLoadErrorCaption, MessageIcon::Error);
    m_current.clear();
    return false;
  }
}

bool ConfigFiles::SaveConfigFile(const std::string& name) {
  // The image is built only once the file can be created.
  const auto write_image = [this](ReplacementFile& file) {
    const std::vector<uint8_t> image = BuildConfigImage(m_pages);
    return file.Write(image.data(), image.size()) == image.size();
  };
  switch (WriteWholeFile(m_fs, name, write_image).status) {
    case WholeOutput::kOk: return true;
    case WholeOutput::kCannotCreate:
      m_dialogs.ShowMessage("Невозможно создать файл " + Quoted(name), kSaveErrorCaption, MessageIcon::Error);
      return false;
    case WholeOutput::kWriteFailed:
      m_dialogs.ShowMessage("Ошибка записи файла (недостаточно места на диске?)", kSaveErrorCaption,
                            MessageIcon::Error);
      return false;
  }
  return false;
}

bool ConfigFiles::Save() {
  if (m_current.empty()) return SaveAs();
  return SaveConfigFile(m_current);
}

bool ConfigFiles::SaveAs() {
  if (!PromptConfigFileName(true)) return false;
  return SaveConfigFile(m_current);
}

}  // namespace tamlo
