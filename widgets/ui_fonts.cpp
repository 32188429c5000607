#include "widgets/ui_fonts.h"

#include <QApplication>
#include <QFontDatabase>

namespace tamlo {

void InstallUiFonts() {
  const QString family = QString::fromLatin1(kUiFontFamily);
  if (!QFontDatabase::families().contains(family, Qt::CaseInsensitive))
    QFont::insertSubstitution(family, QString::fromLatin1(kFallbackFontFamily));
  QFont font = QApplication::font();
  font.setFamily(family);
  QApplication::setFont(font);
}

QFont UiFont(int pixels, bool bold) {
  QFont font(QString::fromLatin1(kUiFontFamily));
  font.setPixelSize(pixels);
  font.setBold(bold);
  return font;
}

}  // namespace tamlo
