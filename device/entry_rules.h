#pragma once
// What the device window accepts from its entry dialog: the serial number as
// a barcode scanner delivers it.
#include <optional>
#include <string>
#include <string_view>

namespace tamlo::device {

inline constexpr const char* kSerialLengthMessage = "Серийный номер должен быть 13 цифр";
inline constexpr const char* kSerialCheckMessage = "Неверный серийный номер";

// The EAN-13 check: 13 decimal digits whose sum, weighted 1 at the odd
// places (1st, 3rd, ... 13th) and 3 at the even ones, is a multiple of 10.
bool IsValidSerialNumber(std::string_view text);

// The serial number to write from a scanned text: spaces and control
// characters around it are dropped, then it must be a valid EAN-13 number,
// whose first 12 digits are written (the check digit is not stored).
// Nothing, with `error` set to the message to show, otherwise.
std::optional<std::string> SerialNumberFromScan(std::string_view text, std::string& error);

}  // namespace tamlo::device
