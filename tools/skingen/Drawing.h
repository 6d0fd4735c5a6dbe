#pragma once

// The drawing helpers both skins use (Ambrel's in Skin.h, Corvix's in
// CorvixSkin.h): pictures to draw on, their PNG files and the hand cursor
// the buttons show.

#include <QByteArray>
#include <QImage>
#include <QSize>

class QColor;
class QPainter;

namespace skingen {

// The size of the hand cursor's picture.
inline constexpr int kCursorSize = 32;

// The PNG file of `image`.
QByteArray Png(const QImage& image);

// A transparent picture of `size` to draw on.
QImage Blank(QSize size);

// The ground of a program icon `size` pixels square, drawn with `p`: a
// rounded square filled with a gradient from `from` at the top left to `to`
// at the bottom right. Leaves `p` without a pen, with that gradient as brush.
void DrawIconGround(QPainter& p, int size, const QColor& from, const QColor& to);

// The hand cursor: a white hand outlined in black, kCursorSize pixels
// square, with its hot spot at the tip of the index finger (text "hotspot").
QImage HandCursor();

}  // namespace skingen
