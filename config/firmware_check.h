#pragma once
// After a configuration was written to a device: which of its settings the
// device's firmware does not understand. Reads the settings registry, which
// describes the image built last (the one just written), and reports one
// service log line per minimal firmware version, ascending, each holding all
// names of that version, after one warning box. It changes nothing: the
// configuration is already in the device.
#include <cstdint>
#include <string>

#include "config/user_interface.h"

namespace tamlo {

// "3.04" for 304: major = version / 100, minor with two digits.
std::string FormatFirmwareVersion(uint32_t version);

// firmware_version: major * 100 + minor as the device reported it, 0 when the
// exchange did not report one.
void CheckFirmwareCompatibility(uint32_t firmware_version, ServiceLog& log, UserDialogs& dialogs);

// Reports one line "names: X.YY"; before the first line of a check (warned
// false) the warning box and the heading line. Empty names report nothing.
// true when something was reported.
bool ReportUnsupportedGroup(const std::string& names, uint32_t version, bool warned, ServiceLog& log,
                            UserDialogs& dialogs);

}  // namespace tamlo
