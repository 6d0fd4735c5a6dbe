#pragma once

#include <QRect>
#include <QWidget>

#include "Layout.h"

namespace corvix {

// A button's own rectangle as the edges that COrvikButton::MoveTo turns back
// into it (MoveTo makes a button one pixel wider and higher than the
// rectangle of a layout string): the fallback when that string is missing.
inline ambrel::LayoutRect ButtonFallback(const QWidget* button) {
    const QRect place = button->geometry();
    return {place.left(), place.top(), place.left() + place.width() - 1,
            place.top() + place.height() - 1};
}

}  // namespace corvix
