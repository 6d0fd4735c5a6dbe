#include "Cursors.h"

#include <QImage>
#include <QPixmap>
#include <QStringList>

#include "ResourceBundle.h"

namespace ambrel {

std::optional<QCursor> LoadCursorResource(int id) {
    std::optional<QByteArray> data = FindResource(QStringLiteral("CURSOR"), id);
    if (!data)
        return std::nullopt;
    QImage picture;
    if (!picture.loadFromData(*data) || picture.isNull())
        return std::nullopt;
    int x = 0;
    int y = 0;
    const QStringList hotspot = picture.text(QStringLiteral("hotspot")).split(QLatin1Char(','));
    if (hotspot.size() == 2) {
        bool okX = false;
        bool okY = false;
        int hx = hotspot[0].trimmed().toInt(&okX);
        int hy = hotspot[1].trimmed().toInt(&okY);
        if (okX && okY && picture.rect().contains(hx, hy)) {
            x = hx;
            y = hy;
        }
    }
    return QCursor(QPixmap::fromImage(picture), x, y);
}

}  // namespace ambrel
