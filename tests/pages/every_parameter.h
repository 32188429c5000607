#pragma once
// A configuration in which every parameter that the settings pages store is
// set away from its default, in the order the pages store them, so a load
// through the pages and a store give the very same bytes back. The end-to-end
// tests (console resave, the main window's open and save) share it.
#include <cstdint>
#include <vector>

#include "config/config_tree.h"

namespace tamlo::testing {

ConfigTree EveryParameterSet();

// The same as a .tamlo file: header and encoded data.
std::vector<uint8_t> EveryParameterFile();

}  // namespace tamlo::testing
