#pragma once
// Device time: unsigned 32-bit seconds since 2012-01-01 00:00:00 local time,
// every year divisible by 4 counted as a leap year (true for 2012..2099, the
// counter's whole range of 136 years notwithstanding).
//
// Example: 2013-03-01 00:00:00 is 36720000; 0 prints as "01.01.12 00:00:00".
#include <cstdint>
#include <string>

#include "link/clock.h"

namespace tamlo::link {

// The device time of a local date and time; 0 for years before 2012.
uint32_t DeviceTimeFromLocal(const LocalDateTime& local);
// The PC's local time as device time, or 0 when its year is before 2012.
inline uint32_t DeviceTimeNow(const Clock& clock) { return DeviceTimeFromLocal(clock.LocalNow()); }
// "DD.MM.YY hh:mm:ss".
std::string FormatDeviceTime(uint32_t seconds);

}  // namespace tamlo::link
