#include "config/config_image.h"

#include <cstdio>

#include "config/byte_order.h"
#include "config/config_tree.h"
#include "config/crc32.h"
#include "config/settings_registry.h"
#include "config/tagged_encoding.h"

namespace tamlo {
namespace {


}  // namespace

ConfigImageHeader ConfigImageHeader::Parse(const uint8_t* bytes) {
  ConfigImageHeader h;
  h.magic = ReadLe32(bytes + 0);
  h.version = ReadLe32(bytes + 4);
  h.length = ReadLe32(bytes + 8);
  h.checksum = ReadLe32(bytes + 12);
  h.length2 = ReadLe32(bytes + 16);
  h.reserved = ReadLe32(bytes + 20);
  h.device_number = ReadLe32(bytes + 24);
  h.device_time = ReadLe32(bytes + 28);
  return h;
}

std::array<uint8_t, ConfigImageHeader::kSize> ConfigImageHeader::Serialize() const {
  std::array<uint8_t, kSize> out{};
  WriteLe32(&out[0], magic);
  WriteLe32(&out[4], version);
  WriteLe32(&out[8], length);
  WriteLe32(&out[12], checksum);
  WriteLe32(&out[16], length2);
  WriteLe32(&out[20], reserved);
  WriteLe32(&out[24], device_number);
  WriteLe32(&out[28], device_time);
  return out;
}

ConfigImageHeader ConfigImageHeader::For(const uint8_t* data, size_t size) {
  ConfigImageHeader h;
  h.length = static_cast<uint32_t>(size);
  h.length2 = h.length;
  h.checksum = Crc32Register(data, size);
  return h;
}

std::string FormatConfiguratorVersion(uint32_t version) {
  char text[32];
  std::snprintf(text, sizeof text, "%u.%02u", version >> 16, version & 0xFFFF);
  return text;
}

std::string UnknownDataMessage(uint32_t configurator_version) {
  return "Внимание: В конфигурации обнаружены неизвестные данные. Возможно, конфигурация была создана в "
         "несовместимой версии конфигуратора (" +
         FormatConfiguratorVersion(configurator_version) +
         ") или повреждена.\n\nЕсли вы запишете конфигурацию, эти данные будут потеряны.";
}

std::string UnknownEncodingMessage(uint32_t configurator_version) {
  return "Неизвестный способ кодирования данных в конфигурации. Возможно, конфигурация была создана в "
         "несовместимой версии конфигуратора (" +
         FormatConfiguratorVersion(configurator_version) + ") или повреждена.";
}

std::string ParseErrorMessage() { return "Ошибка при разборе конфигурации. Возможно, она повреждена."; }

void ResetAllPages(PageSet& pages) {
  for (ConfigPage* page : pages.top) page->ResetToDefaults();
  for (ConfigPage* page : pages.inputs) page->ResetToDefaults();
}

std::vector<uint8_t> BuildConfigImage(PageSet& pages) {
  ClearNotedSettings();
  std::vector<uint8_t> data;
  {
    ConfigTree tree;
    for (ConfigPage* page : pages.top) page->StoreToConfig(tree);
    data = EncodeConfig(tree);
  }
  const auto header = ConfigImageHeader::For(data.data(), data.size()).Serialize();
  data.insert(data.begin(), header.begin(), header.end());
  return data;
}

int TopLevelVisitor(uint32_t code, int32_t value, const uint8_t* data, size_t length, uint32_t repeat, void* user) {
  const auto& pages = *static_cast<const PageSet*>(user);
  for (ConfigPage* page : pages.top) {
    const int taken = page->LoadFromConfig(FieldCodeKind(code), FieldCodeId(code), value, data, length, repeat);
    if (taken != 0) return taken;
  }
  return 0;
}

void LoadConfigData(PageSet& pages, const uint8_t* data, size_t size, const ConfigImageHeader& header) {
  ResetAllPages(pages);
  // A header that claims more than there is (an image from a faulty device)
  // must not make the walk read past the buffer.
  const int result = header.length2 <= size ? WalkConfig(data, header.length2, &TopLevelVisitor, &pages)
                                            : kWalkMalformed;
  for (ConfigPage* page : pages.top) page->AfterLoad();
  switch (result) {
    case kWalkOk:
      return;
    case kWalkUnrecognised:
      throw ConfigLoadError(UnknownDataMessage(header.version), result);
    case kWalkUnknownCoding:
      throw ConfigLoadError(UnknownEncodingMessage(header.version), result);
    default:
      throw ConfigLoadError(ParseErrorMessage(), result < 0 ? result : kWalkMalformed);
  }
}

}  // namespace tamlo
