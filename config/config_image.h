#pragma once
// The configuration image: a 32-byte header followed by the encoded
// configuration. A .tamlo file is exactly one image; the device stores and
// returns the same layout.
//
// Header, every field unsigned 32-bit little-endian:
//   0  magic "TAM0" (54 41 4D 30)       refused on reading when different
//   4  configurator version, major << 16 | minor (0001000D = 1.13)
//   8  data length                      must not exceed the bytes after the header
//  12  checksum of the data: the CRC-32 register without the final complement
//      (no data -> FF FF FF FF); not tested on reading
//  16  data length again; this one is decoded
//  20  reserved (0)
//  24  configuration number in the device (0 when written by the program)
//  28  time the device stored it, device seconds since 2012-01-01 (0 likewise)
// Bytes after header + data length are read but not decoded.
#include <array>
#include <cstddef>
#include <cstdint>
#include <stdexcept>
#include <string>
#include <vector>

#include "config/config_page.h"
#include "tamlo_version.h"

namespace tamlo {

struct ConfigImageHeader {
  static constexpr size_t kSize = 32;
  static constexpr uint32_t kMagic = 0x304D4154;  // "TAM0" read little-endian
  static constexpr uint32_t kConfiguratorVersion = kImageVersion;  // this program's, 0001000D for 1.13

  uint32_t magic = kMagic;
  uint32_t version = kConfiguratorVersion;
  uint32_t length = 0;
  uint32_t checksum = 0;
  uint32_t length2 = 0;
  uint32_t reserved = 0;
  uint32_t device_number = 0;
  uint32_t device_time = 0;

  // `bytes` holds at least kSize bytes.
  static ConfigImageHeader Parse(const uint8_t* bytes);
  std::array<uint8_t, kSize> Serialize() const;
  bool MagicOk() const { return magic == kMagic; }
  // The header of an image holding `data`.
  static ConfigImageHeader For(const uint8_t* data, size_t size);
};

// A configuration that did not load cleanly; what() is the Russian message
// (UTF-8) that the operation which started the load shows once. Whatever the
// walk delivered before the fault stays in the pages.
class ConfigLoadError : public std::runtime_error {
 public:
  // A file or header refused before any field was walked.
  static constexpr int kNotWalked = 2;

  explicit ConfigLoadError(const std::string& message, int walk_result = kNotWalked)
      : std::runtime_error(message), m_walkResult(walk_result) {}

  // The walk's result when the fields were walked (0 unrecognised data, -1
  // malformed, -2 unknown coding), kNotWalked when nothing was loaded.
  int walk_result() const { return m_walkResult; }

 private:
  int m_walkResult;
};

// "1.13": upper 16 bits, ".", lower 16 bits with two digits.
std::string FormatConfiguratorVersion(uint32_t version);

// The three messages of LoadConfigData.
std::string UnknownDataMessage(uint32_t configurator_version);      // walk result 0
std::string UnknownEncodingMessage(uint32_t configurator_version);  // walk result -2
std::string ParseErrorMessage();                                    // -1 and anything else

// Every page's ResetToDefaults: the top pages in order, then the input pages.
void ResetAllPages(PageSet& pages);

// Empties the settings registry, lets the pages store into a fresh tree in
// order, encodes it and puts the header in front.
std::vector<uint8_t> BuildConfigImage(PageSet& pages);

// The top-level visitor of a load; `user` is the PageSet. Offers the field to
// the top pages in order; the first answer other than 0 wins.
int TopLevelVisitor(uint32_t code, int32_t value, const uint8_t* data, size_t length, uint32_t repeat, void* user);

// Resets every page, walks data[0, header.length2) with TopLevelVisitor, lets
// every top page finish (AfterLoad), then throws ConfigLoadError unless the
// walk returned 1. A length2 beyond `size` is refused as a parse error before
// anything is walked (the pages are still reset).
void LoadConfigData(PageSet& pages, const uint8_t* data, size_t size, const ConfigImageHeader& header);

}  // namespace tamlo
