#pragma once
// Folder chains on Windows, shared by the file seam and the history folder.
#include <cstdint>
#include <string>

namespace tamlo {

// Creates `path` (UTF-8, '\' or '/' between the names) and the folders above
// it that are missing. 0 when it is a folder afterwards, else the system
// error of the first refusal other than "exists" (ERROR_DIRECTORY when a file
// stands in the way).
uint32_t MakeFolderChain(const std::string& path);

}  // namespace tamlo
