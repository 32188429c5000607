#pragma once
// The configuration image as the device stores it, and its .tamlo file.
//
// Image layout (all fields u32 little-endian): "TAM0", configurator version,
// data length, CRC register of the data (not complemented), data length
// again, reserved, the device's number of this configuration, the device time
// it was stored; then the encoded configuration. The device fills the last two
// fields itself when a write completes; it keeps every other byte as written.
#include <cstdint>
#include <string>
#include <vector>

#include "config/config_image.h"
#include "config/file_system.h"

namespace tamlo::sim {

inline constexpr size_t kImageHeaderSize = ConfigImageHeader::kSize;
inline constexpr size_t kImageNumberOffset = 24;
inline constexpr size_t kImageTimeOffset = 28;

// A header with no configuration data: what a device holds from the factory.
std::vector<uint8_t> FactoryImage();

// The data length a header announces (offset 8), or nothing when the first 32
// bytes are not an image header (wrong magic).
bool ImageDataLength(const uint8_t* header, uint32_t& length);


// Whole-file load and save of an image. Load takes at most what a
// configuration read may deliver (link/read_limits.h), so /dev/zero or a
// huge file is refused instead of read without end. Save replaces the file
// through the seam (flushed to the disk before the rename), so a failed or
// interrupted save leaves the old file whole. On failure `error` says why in
// the user's language.
bool LoadImageFile(FileSystem& fs, const std::string& path, std::vector<uint8_t>& image, std::string& error);
bool SaveImageFile(FileSystem& fs, const std::string& path, const std::vector<uint8_t>& image, std::string& error);

}  // namespace tamlo::sim
