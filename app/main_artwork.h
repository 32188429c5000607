#pragma once
// The main window's artwork, drawn in code: the background picture with the
// maker's logo, the glyphs of the caption buttons and the program icon.
// Pure yellow (255, 255, 0) in the background is the see-through colour: the
// window is shaped to the rest of the picture.
#include <QIcon>
#include <QImage>
#include <QPainter>
#include <QRegion>
#include <QRgb>

namespace tamlo {

inline constexpr QRgb kTransparentColour = qRgb(255, 255, 0);
inline constexpr int kMainWidth = 957;
inline constexpr int kMainHeight = 534;

// The 957 x 534 background in Format_RGB32.
QImage PaintMainBackground();

// The part of the picture that is not the see-through colour.
QRegion ShapeFromArtwork(const QImage& picture);

// The maker's emblem (a teal tile with a transmitter's waves) in `box`.
void PaintEmblem(QPainter& painter, const QRectF& box);

enum class CaptionGlyph { Close, Minimize };
// A caption button face, hover and pressed shown lighter and darker.
void PaintCaptionButton(QPainter& painter, const QRect& box, CaptionGlyph glyph, bool hover, bool pressed);

QIcon ApplicationIcon();

}  // namespace tamlo
