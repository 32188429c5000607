#pragma once
// The small input rules the settings pages share, as pure functions so the
// Qt edits only call them (key press filters, leaving an edit, the HH:MM time
// fields, the hexadecimal account number).
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace tamlo {

// Key press filters: true when the typed character passes. Control codes
// (below 32: Backspace, Tab, Enter...) always pass.
bool DigitsOnlyFilter(char32_t ch);      // "0".."9"
bool ContactIdDigitFilter(char32_t ch);  // "0".."9", "B".."F", "b".."f"; "A" is no Contact ID digit

// The integer an edit holds: the text without surrounding blanks as a signed
// decimal number; an empty, non-numeric or out-of-range text gives `fallback`.
int32_t EditIntValue(std::string_view text, int32_t fallback);

// Leaving an edit: its text when its integer value is not 0, otherwise the
// default text (empty, "0" and non-numeric text alike).
std::string ZeroToDefault(std::string_view text, std::string_view default_text);

// A time field "HH:MM" as minutes: the number at the start plus the number
// from the fourth character on, without range checks ("00:75" is 75); a
// blank field "  :  " is 0.
int ParseTimeField(std::string_view text);

// Minutes as "HH:MM"; 100 hours or more show as "99:59", and a negative
// count as "00:00" (the field cannot show it).
std::string FormatTimeField(int minutes);

// The hexadecimal number at the start of the trimmed text; an empty text,
// or one that does not start with a hexadecimal digit, gives the default.
// More than 8 digits saturate at FFFFFFFF.
uint32_t ParseHexField(std::string_view text, uint32_t default_value);

// A walked text field's Windows-1251 bytes as the UTF-8 an edit holds. The
// text ends at the first zero byte, the terminating one or an embedded one,
// as the device reads it.
std::string FieldText(const uint8_t* data, size_t length);

}  // namespace tamlo
