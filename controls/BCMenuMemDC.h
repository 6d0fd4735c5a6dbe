#pragma once

// An off-screen surface for one menu item: drawing goes to a picture of the
// item's size (in the target's coordinates) and is copied to the target when
// the surface goes away. A printing target is drawn on directly.

#include <QImage>
#include <QPainter>
#include <QRect>
#include <optional>

namespace ambrel {

class BCMenuMemDC {
public:
    BCMenuMemDC(QPainter& target, const QRect& rect);
    ~BCMenuMemDC();

    BCMenuMemDC(const BCMenuMemDC&) = delete;
    BCMenuMemDC& operator=(const BCMenuMemDC&) = delete;

    // The painter to draw the item with, in the target's coordinates.
    QPainter& Painter();
    bool IsDirect() const { return direct_; }

private:
    QPainter& target_;
    QRect rect_;
    bool direct_ = false;
    QImage surface_;
    std::optional<QPainter> painter_;
};

}  // namespace ambrel
