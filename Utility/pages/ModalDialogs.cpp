#include "ModalDialogs.h"

#include <QBitmap>
#include <QGuiApplication>
#include <QImage>
#include <QRegion>
#include <QScreen>

#include "DialogWindow.h"
#include "ImageCache.h"
#include "Layout.h"
#include "OrvikButton.h"
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

void AttachButtons(DialogWindow& dialog, std::span<const res::ButtonSkin> skins) {
    for (const res::ButtonSkin& skin : skins) {
        auto* button = dialog.Attach<COrvikButton>(skin.controlId);
        button->SetButtonImages(
            &LoadPngResource(skin.images.normal), &LoadPngResource(skin.images.hover),
            &LoadPngResource(skin.images.pressed), &LoadPngResource(skin.images.disabled));
        button->UseHandCursor(res::kCursorHand);
        MoveToLayout(button, skin.layoutId);
    }
}

void ShapeAsModalDialog(DialogWindow& dialog, int backgroundId) {
    const QImage& background = LoadPngResource(backgroundId);
    dialog.resize(background.size());
    dialog.move(ScreenCentredOrigin(background.size()));
    ShapeToPicture(dialog, background);
    dialog.SetDragAreas(MainWindowDragAreas());
}

}  // namespace ambrel
