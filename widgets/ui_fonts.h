#pragma once
// Fonts of the program. Windows and pages ask for "Tahoma" with sizes in
// pixels; where Tahoma is not installed it is substituted by Liberation Sans,
// which has the same metrics class and carries Cyrillic, so the fixed layouts
// keep their proportions.
#include <QFont>
#include <QString>

namespace tamlo {

inline constexpr const char* kUiFontFamily = "Tahoma";
inline constexpr const char* kFallbackFontFamily = "Liberation Sans";

// Registers the substitution when Tahoma is missing and makes Tahoma the
// application's default family. Call once after the application exists.
void InstallUiFonts();

// Tahoma (or its substitute) of the given pixel height.
QFont UiFont(int pixels, bool bold);

}  // namespace tamlo
