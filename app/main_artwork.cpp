#include "app/main_artwork.h"

#include <QBitmap>
#include <QLinearGradient>
#include <QPainterPath>
#include <QPixmap>

#include "widgets/ui_fonts.h"

namespace tamlo {
namespace {

const QColor kTealLight(64, 196, 196);
const QColor kBodyTop(22, 78, 88);
const QColor kBodyBottom(8, 36, 44);

// Antialiased drawing blends the outline with whatever lies under it; over
// the see-through yellow that would leave a yellowish fringe. The body is
// drawn on a clear canvas and every pixel is then made either fully the body
// or exactly the see-through colour.
QImage Silhouette(const QImage& body) {
  QImage out(body.size(), QImage::Format_RGB32);
  for (int y = 0; y < body.height(); ++y) {
    const auto* src = reinterpret_cast<const QRgb*>(body.constScanLine(y));
    auto* dst = reinterpret_cast<QRgb*>(out.scanLine(y));
    for (int x = 0; x < body.width(); ++x) {
      const int alpha = qAlpha(src[x]);
      if (alpha < 128) {
        dst[x] = kTransparentColour;
      } else {
        // Premultiplied: undo the coverage so the edge keeps the body colour.
        dst[x] = qRgb(qRed(src[x]) * 255 / alpha, qGreen(src[x]) * 255 / alpha, qBlue(src[x]) * 255 / alpha);
      }
    }
  }
  return out;
}

void PaintDeviceSketch(QPainter& p, const QRectF& box) {
  // A stylised site terminal: an enclosure with an antenna, a name plate,
  // four input lamps and two SIM slots.
  p.save();
  p.setPen(QPen(QColor(150, 200, 205), 1.5));
  p.drawLine(QPointF(box.right() - 22, box.top() + 4), QPointF(box.right() - 22, box.top() - 26));
  p.setBrush(QColor(150, 200, 205));
  p.drawEllipse(QPointF(box.right() - 22, box.top() - 27), 3, 3);
  QLinearGradient shell(box.topLeft(), box.bottomLeft());
  shell.setColorAt(0, QColor(220, 232, 234));
  shell.setColorAt(1, QColor(150, 172, 176));
  p.setBrush(shell);
  p.setPen(QPen(QColor(60, 90, 96), 1.5));
  p.drawRoundedRect(box, 8, 8);
  const QRectF plate(box.left() + 10, box.top() + 12, box.width() - 20, 24);
  p.setBrush(QColor(30, 60, 68));
  p.setPen(Qt::NoPen);
  p.drawRoundedRect(plate, 3, 3);
  p.setPen(QColor(120, 230, 230));
  p.setFont(UiFont(12, true));
  p.drawText(plate, Qt::AlignCenter, QStringLiteral("TK208-2GSM"));
  const QColor lamps[4] = {QColor(40, 220, 90), QColor(40, 220, 90), QColor(240, 60, 50), QColor(40, 220, 90)};
  p.setFont(UiFont(9, true));
  for (int i = 0; i < 4; ++i) {
    const double x = box.left() + 16 + i * (box.width() - 32) / 3.0;
    p.setPen(Qt::NoPen);
    p.setBrush(lamps[i]);
    p.drawEllipse(QPointF(x, box.top() + 54), 4.5, 4.5);
    p.setPen(QColor(40, 60, 66));
    p.drawText(QRectF(x - 12, box.top() + 62, 24, 12), Qt::AlignCenter, QStringLiteral("L%1").arg(i + 1));
  }
  p.setPen(QPen(QColor(70, 96, 100), 1));
  p.setBrush(QColor(90, 110, 114));
  for (int i = 0; i < 2; ++i)
    p.drawRoundedRect(QRectF(box.left() + 14 + i * (box.width() - 28) / 2.0 + 2, box.bottom() - 26,
                             (box.width() - 28) / 2.0 - 4, 8), 2, 2);
  p.restore();
}

}  // namespace

QImage PaintMainBackground() {
  QImage body(kMainWidth, kMainHeight, QImage::Format_ARGB32_Premultiplied);
  body.fill(Qt::transparent);
  QPainter p(&body);
  p.setRenderHint(QPainter::Antialiasing);

  // Window body with rounded corners; the corners outside are see-through.
  QPainterPath outline;
  outline.addRoundedRect(QRectF(0, 0, kMainWidth, kMainHeight), 18, 18);
  QLinearGradient body_fill(0, 0, 0, kMainHeight);
  body_fill.setColorAt(0, kBodyTop);
  body_fill.setColorAt(1, kBodyBottom);
  p.fillPath(outline, body_fill);

  // Caption band.
  QPainterPath band;
  band.addRoundedRect(QRectF(0, 0, kMainWidth, 60), 18, 18);
  QPainterPath band_clip;
  band_clip.addRect(0, 0, kMainWidth, 38);
  QLinearGradient band_fill(0, 0, 0, 38);
  band_fill.setColorAt(0, QColor(40, 120, 130));
  band_fill.setColorAt(1, QColor(18, 70, 80));
  p.fillPath(band.intersected(band_clip), band_fill);
  p.setPen(QPen(kTealLight, 1));
  p.drawLine(QPointF(10, 38.5), QPointF(kMainWidth - 10, 38.5));

  // Column of commands on the left.
  const QRectF column(8, 46, 148, 436);
  p.setPen(QPen(QColor(255, 255, 255, 40), 1));
  p.setBrush(QColor(255, 255, 255, 14));
  p.drawRoundedRect(column, 10, 10);
  p.setPen(QPen(QColor(255, 255, 255, 50), 1));
  for (const int y : {104, 145, 231}) p.drawLine(QPointF(18, y + 0.5), QPointF(146, y + 0.5));
  PaintDeviceSketch(p, QRectF(26, 326, 112, 120));

  // Frame around the tree and the page pane.
  p.setBrush(Qt::NoBrush);
  p.setPen(QPen(QColor(0, 0, 0, 90), 3));
  p.drawRoundedRect(QRectF(160.5, 39.5, 796, 447), 4, 4);
  p.setPen(QPen(kTealLight, 1));
  p.drawRoundedRect(QRectF(161.5, 40.5, 794, 445), 3, 3);

  // Foot: the maker's logo at (18, 488) and a line above it.
  p.setPen(QPen(QColor(255, 255, 255, 40), 1));
  p.drawLine(QPointF(16, 486.5), QPointF(155, 486.5));
  PaintEmblem(p, QRectF(18, 488, 25, 25));
  p.setPen(QColor(235, 248, 248));
  QFont logo_font = UiFont(15, true);
  logo_font.setLetterSpacing(QFont::AbsoluteSpacing, 1.0);
  p.setFont(logo_font);
  p.drawText(QRectF(48, 488, 107, 25), Qt::AlignVCenter | Qt::AlignLeft, QStringLiteral("VELMORA"));
  p.end();
  return Silhouette(body);
}

QRegion ShapeFromArtwork(const QImage& picture) {
  // The image mask marks the see-through pixels; as a bitmap those are the
  // cleared ones, and the region is made of the set ones.
  const QImage rgb = picture.convertToFormat(QImage::Format_RGB32);
  return QRegion(QBitmap::fromImage(rgb.createMaskFromColor(kTransparentColour, Qt::MaskInColor)));
}

void PaintEmblem(QPainter& p, const QRectF& box) {
  p.save();
  p.setRenderHint(QPainter::Antialiasing);
  const double s = box.width();
  QLinearGradient tile(box.topLeft(), box.bottomLeft());
  tile.setColorAt(0, QColor(0, 168, 168));
  tile.setColorAt(1, QColor(0, 104, 110));
  p.setPen(QPen(QColor(200, 245, 245), s / 25.0));
  p.setBrush(tile);
  p.drawRoundedRect(box.adjusted(s / 50, s / 50, -s / 50, -s / 50), s * 0.22, s * 0.22);
  const QPointF source(box.center().x(), box.top() + s * 0.74);
  p.setPen(Qt::NoPen);
  p.setBrush(Qt::white);
  p.drawEllipse(source, s * 0.09, s * 0.09);
  p.setBrush(Qt::NoBrush);
  QPen wave(Qt::white, s * 0.075, Qt::SolidLine, Qt::RoundCap);
  p.setPen(wave);
  for (int i = 1; i <= 2; ++i) {
    const double r = s * (0.17 + 0.15 * i);
    p.drawArc(QRectF(source.x() - r, source.y() - r, 2 * r, 2 * r), 45 * 16, 90 * 16);
  }
  p.restore();
}

void PaintCaptionButton(QPainter& p, const QRect& box, CaptionGlyph glyph, bool hover, bool pressed) {
  p.save();
  p.setRenderHint(QPainter::Antialiasing);
  const QRectF face = QRectF(box).adjusted(0.5, 0.5, -0.5, -0.5);
  QColor fill = glyph == CaptionGlyph::Close ? QColor(150, 40, 40) : QColor(20, 96, 106);
  if (hover) fill = fill.lighter(135);
  if (pressed) fill = fill.darker(130);
  p.setPen(QPen(QColor(200, 240, 240), 1));
  p.setBrush(fill);
  p.drawRoundedRect(face, 4, 4);
  p.setPen(QPen(Qt::white, 2, Qt::SolidLine, Qt::RoundCap));
  const QPointF c = face.center() + (pressed ? QPointF(0.5, 0.5) : QPointF());
  if (glyph == CaptionGlyph::Close) {
    p.drawLine(c + QPointF(-4.5, -4.5), c + QPointF(4.5, 4.5));
    p.drawLine(c + QPointF(-4.5, 4.5), c + QPointF(4.5, -4.5));
  } else {
    p.drawLine(c + QPointF(-5, 5), c + QPointF(5, 5));
  }
  p.restore();
}

QIcon ApplicationIcon() {
  QIcon icon;
  for (const int size : {16, 32, 48, 64, 128}) {
    QPixmap pixmap(size, size);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    PaintEmblem(p, QRectF(0, 0, size, size));
    p.end();
    icon.addPixmap(pixmap);
  }
  return icon;
}

}  // namespace tamlo
