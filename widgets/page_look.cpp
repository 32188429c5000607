#include "widgets/page_look.h"

#include <QPalette>
#include <QWidget>

#include "tamlo_version.h"
#include "widgets/ui_fonts.h"

namespace tamlo {

void ApplyPageLook(QWidget& page, const QColor& background) {
  QPalette palette = page.palette();
  for (QPalette::ColorGroup group : {QPalette::Active, QPalette::Inactive}) {
    palette.setColor(group, QPalette::Window, background);
    palette.setColor(group, QPalette::WindowText, Qt::white);
    // Inside edits, drop-down lists and their pop-up lists.
    palette.setColor(group, QPalette::Base, Qt::white);
    palette.setColor(group, QPalette::Text, kPageTeal);
    palette.setColor(group, QPalette::ButtonText, kPageTeal);
  }
  page.setPalette(palette);
  page.setAutoFillBackground(true);
  page.setFont(UiFont(kPageFontPixels, true));
}

void ApplyExchangeLook(QWidget& window) {
  ApplyPageLook(window, kExchangeBlue);
  QPalette palette = window.palette();
  for (QPalette::ColorGroup group : {QPalette::Active, QPalette::Inactive}) {
    palette.setColor(group, QPalette::ButtonText, Qt::white);
    palette.setColor(group, QPalette::Highlight, Qt::white);
    palette.setColor(group, QPalette::Base, kExchangeBlue.darker(160));
  }
  window.setPalette(palette);
}

QString ApplicationTitle() { return QString::fromUtf8(kApplicationTitle); }

}  // namespace tamlo
