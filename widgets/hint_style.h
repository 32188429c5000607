#pragma once
// The hint style of the whole program: every tooltip of every window has a
// cyan background, is at most 400 pixels wide and stays 10 seconds.
#include <QFontMetrics>
#include <QString>
#include <chrono>

class QApplication;

namespace tamlo {

inline constexpr int kHintMaxWidth = 400;
inline constexpr std::chrono::milliseconds kHintHidePause{10000};

// Installs the palette and an application-wide filter that shows each hint
// with the style above. Call once after the application exists.
void InstallHintStyle(QApplication& app);

// Breaks plain text into lines no wider than max_width pixels, at spaces
// where possible; a word wider than the limit stands on a line of its own.
// Existing line breaks are kept.
QString WrapHintText(const QString& text, const QFontMetrics& metrics, int max_width);

}  // namespace tamlo
