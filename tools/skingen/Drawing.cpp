#include "Drawing.h"

#include <QBuffer>
#include <QColor>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>

namespace skingen {

QByteArray Png(const QImage& image) {
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG");
    return bytes;
}

QImage Blank(QSize size) {
    QImage image(size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    return image;
}

void DrawIconGround(QPainter& p, int size, const QColor& from, const QColor& to) {
    QLinearGradient gradient(0, 0, size, size);
    gradient.setColorAt(0, from);
    gradient.setColorAt(1, to);
    p.setPen(Qt::NoPen);
    p.setBrush(gradient);
    p.drawRoundedRect(QRectF(0, 0, size, size), size * 0.22, size * 0.22);
}

QImage HandCursor() {
    const double u = kCursorSize / 32.0;
    QImage image = Blank(QSize(kCursorSize, kCursorSize));
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    QPainterPath hand;
    hand.addRoundedRect(QRectF(10 * u, 2 * u, 5 * u, 17 * u), 2.5 * u, 2.5 * u);  // index finger
    hand.addRoundedRect(QRectF(15 * u, 10 * u, 4.5 * u, 10 * u), 2.2 * u, 2.2 * u);
    hand.addRoundedRect(QRectF(19.5 * u, 11 * u, 4.5 * u, 9 * u), 2.2 * u, 2.2 * u);
    hand.addRoundedRect(QRectF(24 * u, 12.5 * u, 4.5 * u, 8 * u), 2.2 * u, 2.2 * u);
    hand.addRoundedRect(QRectF(5 * u, 14 * u, 6 * u, 4.5 * u), 2.2 * u, 2.2 * u);  // thumb
    hand.addRoundedRect(QRectF(9 * u, 15 * u, 19.5 * u, 15 * u), 5 * u, 5 * u);    // palm
    hand = hand.simplified();
    p.setPen(QPen(Qt::black, 1.4 * u));
    p.setBrush(Qt::white);
    p.drawPath(hand);
    image.setText(QStringLiteral("hotspot"), QStringLiteral("12,2"));
    return image;
}

}  // namespace skingen
