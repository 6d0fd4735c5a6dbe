#pragma once

// Layout values kept as strings of the resource source: rectangles
// "x,y,w,h", numbers, colours "r,g,b".

#include <QColor>
#include <QRect>

class QWidget;

namespace ambrel {

// A rectangle by its edges; right and bottom lie just outside it.
struct LayoutRect {
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;

    int Width() const { return right - left; }
    int Height() const { return bottom - top; }
    QRect ToQRect() const { return QRect(left, top, Width(), Height()); }
    static LayoutRect FromQRect(const QRect& rect) {
        return {rect.left(), rect.top(), rect.left() + rect.width(), rect.top() + rect.height()};
    }
    bool operator==(const LayoutRect&) const = default;
};

// (x, y, x + w, y + h) of string `id`; `fallback` when the string is missing
// or malformed, or any of the four numbers is below 1 or above 10000.
LayoutRect ReadLayoutRect(int id, const LayoutRect& fallback);

// The same as a QRect; `fallback` where ReadLayoutRect would fall back.
QRect LayoutQRect(int id, const QRect& fallback);

// Moves `control` to the rectangle of layout string `id`; where the string
// has none, the control keeps its place (the one its template gave it).
void MoveToLayout(QWidget* control, int id);

// The decimal number of string `id`; 0 when it is missing or not a number.
int ReadLayoutInt(int id);

// The colour of string `id`, the low 8 bits of each number as red, green and
// blue; black when the string is missing or malformed.
QColor ReadLayoutColor(int id);

}  // namespace ambrel
