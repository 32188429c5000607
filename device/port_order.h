#pragma once
// The order of port names in lists: as people count, so COM2 comes before
// COM10 and ttyUSB2 before ttyUSB10.
#include <string_view>

namespace tamlo::device {

// A run of decimal digits compares by its number, everything else byte by
// byte (upper case before lower, as plain string order has it). Names equal
// in that order ("COM01", "COM1") fall back to plain order, so the order is
// total and equal names sit side by side.
bool PortNameLess(std::string_view a, std::string_view b);

}  // namespace tamlo::device
