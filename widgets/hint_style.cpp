#include "widgets/hint_style.h"

#include <QApplication>
#include <QHelpEvent>
#include <QPalette>
#include <QStringList>
#include <QTextDocument>
#include <QToolTip>
#include <QWidget>

namespace tamlo {
namespace {

// Replaces the toolkit's own tooltip display so that the width limit and the
// display time hold for every widget, also for pages added later.
class HintFilter : public QObject {
 public:
  using QObject::QObject;

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override {
    if (event->type() != QEvent::ToolTip || !watched->isWidgetType()) return false;
    auto* widget = static_cast<QWidget*>(watched);
    const QString hint = widget->toolTip();
    if (hint.isEmpty() || Qt::mightBeRichText(hint)) return false;
    auto* help = static_cast<QHelpEvent*>(event);
    const QString text = WrapHintText(hint, QFontMetrics(QToolTip::font()), kHintMaxWidth);
    QToolTip::showText(help->globalPos(), text, widget, QRect(), static_cast<int>(kHintHidePause.count()));
    return true;
  }
};

}  // namespace

void InstallHintStyle(QApplication& app) {
  static const char* const kFilterName = "tamlo_hint_style";
  if (app.findChild<HintFilter*>(QLatin1String(kFilterName), Qt::FindDirectChildrenOnly)) return;
  QPalette palette = QToolTip::palette();
  palette.setColor(QPalette::ToolTipBase, QColor(0, 255, 255));
  palette.setColor(QPalette::ToolTipText, QColor(0, 0, 0));
  palette.setColor(QPalette::Window, QColor(0, 255, 255));
  palette.setColor(QPalette::WindowText, QColor(0, 0, 0));
  QToolTip::setPalette(palette);
  auto* filter = new HintFilter(&app);
  filter->setObjectName(QLatin1String(kFilterName));
  app.installEventFilter(filter);
}

QString WrapHintText(const QString& text, const QFontMetrics& metrics, int max_width) {
  QStringList out;
  for (const QString& paragraph : text.split(QLatin1Char('\n'))) {
    QString line;
    for (const QString& word : paragraph.split(QLatin1Char(' '))) {
      const QString candidate = line.isEmpty() ? word : line + QLatin1Char(' ') + word;
      if (line.isEmpty() || metrics.horizontalAdvance(candidate) <= max_width) {
        line = candidate;
      } else {
        out << line;
        line = word;
      }
    }
    out << line;
  }
  return out.join(QLatin1Char('\n'));
}

}  // namespace tamlo
