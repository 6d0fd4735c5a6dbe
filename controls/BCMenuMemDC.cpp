#include "BCMenuMemDC.h"

#include <QPaintDevice>

namespace ambrel {

BCMenuMemDC::BCMenuMemDC(QPainter& target, const QRect& rect) : target_(target), rect_(rect) {
    QPaintDevice* device = target.device();
    direct_ = device == nullptr || device->devType() == QInternal::Printer ||
              device->devType() == QInternal::Picture || rect.isEmpty();
    if (direct_)
        return;
    const qreal ratio = device->devicePixelRatioF();
    surface_ = QImage(rect.size() * ratio, QImage::Format_ARGB32_Premultiplied);
    if (surface_.isNull()) {
        direct_ = true;
        return;
    }
    surface_.setDevicePixelRatio(ratio);
    surface_.fill(Qt::transparent);
    painter_.emplace(&surface_);
    painter_->setFont(target.font());
    painter_->translate(-rect.topLeft());
}

BCMenuMemDC::~BCMenuMemDC() {
    if (direct_)
        return;
    painter_.reset();
    target_.drawImage(rect_.topLeft(), surface_);
}

QPainter& BCMenuMemDC::Painter() {
    return direct_ ? target_ : *painter_;
}

}  // namespace ambrel
