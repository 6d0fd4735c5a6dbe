#include "Layout.h"

#include <QWidget>

#include "ResourceBundle.h"
#include "TextNumbers.h"

namespace ambrel {
namespace {

constexpr int kMaxCoordinate = 10000;

std::string StringBytes(int id) {
    std::optional<QString> text = FindString(id);
    return text ? text->toStdString() : std::string();
}

}  // namespace

LayoutRect ReadLayoutRect(int id, const LayoutRect& fallback) {
    int v[4];
    if (!FindString(id) || !ParseIntList(StringBytes(id), v, 4))
        return fallback;
    for (int value : v) {
        if (value <= 0 || value > kMaxCoordinate)
            return fallback;
    }
    return {v[0], v[1], v[0] + v[2], v[1] + v[3]};
}

QRect LayoutQRect(int id, const QRect& fallback) {
    return ReadLayoutRect(id, LayoutRect::FromQRect(fallback)).ToQRect();
}

void MoveToLayout(QWidget* control, int id) {
    control->setGeometry(LayoutQRect(id, control->geometry()));
}

int ReadLayoutInt(int id) {
    return ParseLeadingInt(StringBytes(id)).value_or(0);
}

QColor ReadLayoutColor(int id) {
    int v[3];
    if (!ParseIntList(StringBytes(id), v, 3))
        return QColor(0, 0, 0);
    return QColor(v[0] & 0xFF, v[1] & 0xFF, v[2] & 0xFF);
}

}  // namespace ambrel
