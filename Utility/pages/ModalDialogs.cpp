#include "ModalDialogs.h"

#include <QBitmap>
#include <QGuiApplication>
#include <QImage>
#include <QRegion>
#include <QScreen>

#include "DialogWindow.h"
#include "UiState.h"

namespace ambrel {

std::vector<QRect> MainWindowDragAreas() {
    MainLayout layout = TheMainLayout();
    if (layout.title == LayoutRect{} && layout.body == LayoutRect{})
        layout = ComputeMainLayout();  // opened without a main window
    return {layout.title.ToQRect(), layout.body.ToQRect()};
}

QPoint ScreenCentredOrigin(const QSize& size) {
    const QScreen* screen = QGuiApplication::primaryScreen();
    if (screen == nullptr)
        return {0, 0};
    const QRect area = screen->availableGeometry();
    return {area.x() + (area.width() - size.width()) / 2,
            area.y() + (area.height() - size.height()) / 2};
}

void ShapeToPicture(DialogWindow& dialog, const QImage& background) {
    const QRect whole(QPoint(0, 0), dialog.size());
    dialog.SetRoundedRegion(whole, 3, 3);
    if (!background.hasAlphaChannel())
        return;
    const QImage opaque =
        background.scaled(dialog.size()).createAlphaMask(Qt::ThresholdAlphaDither);
    dialog.setMask(dialog.mask().intersected(QRegion(QBitmap::fromImage(opaque))));
}

}  // namespace ambrel
