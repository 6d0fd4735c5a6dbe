#include "Page.h"

#include <QPainter>

#include "ImageCache.h"

namespace ambrel {

CPage::CPage(int templateId, int backgroundId, QWidget* parent)
    : DialogWindow(templateId, parent, Kind::Child), backgroundId_(backgroundId) {}

CPage::~CPage() = default;

LResult CPage::OnMessage(uint32_t message, WParam wParam, LParam lParam) {
    if (message == kWmActivate) {
        OnActivatePage();
        return 0;
    }
    return DialogWindow::OnMessage(message, wParam, lParam);
}

void CPage::PaintBackground(QPainter& painter) {
    DialogWindow::PaintBackground(painter);
    painter.drawImage(0, 0, LoadPngResource(backgroundId_));
}

}  // namespace ambrel
