#pragma once
// The look the settings pages share, and the windows drawn the same way:
// a teal background with white bold Tahoma text, and teal bold text inside
// edits and drop-down lists on their white field. The main window keeps its
// own painted look.
#include <QColor>
#include <QString>

class QWidget;

namespace tamlo {

inline const QColor kPageTeal(0, 128, 128);
// The exchange windows (progress, GSM levels): a darker sea blue with the
// same white text.
inline const QColor kExchangeBlue(31, 111, 138);
// The pages' fixed layouts were drawn for Tahoma at 8 points, 11 pixels high
// on a 96 dpi screen.
inline constexpr int kPageFontPixels = 11;

// Gives `page` and everything inside it the look above (the children inherit
// palette and font, including controls added later). `background` is teal for
// the pages; some windows use another colour with the same text colours.
void ApplyPageLook(QWidget& page, const QColor& background = kPageTeal);

// The exchange windows: ApplyPageLook on kExchangeBlue, white text on their
// flat buttons, and white progress bars in a groove darker than the
// background, so that a bar reads on both sides of its position.
void ApplyExchangeLook(QWidget& window);

// "Конфигуратор Тамло": the caption of the pages' warning boxes and the
// application's name.
QString ApplicationTitle();

}  // namespace tamlo
