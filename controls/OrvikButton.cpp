#include "OrvikButton.h"

#include <qdrawutil.h>
#include <QApplication>
#include <QFontMetrics>
#include <QMouseEvent>
#include <QPainter>
#include <QPalette>
#include <QStyleOptionFocusRect>
#include <QTimerEvent>

#include "Cursors.h"
#include "ImageCache.h"

namespace ambrel {

COrvikButton::COrvikButton(QWidget* parent) : QPushButton(parent) {
    normalTextColor = QApplication::palette().color(QPalette::WindowText);
    highlightTextColor = QApplication::palette().color(QPalette::Highlight);
    setMouseTracking(true);
    setFlat(true);
}

COrvikButton::~COrvikButton() = default;

bool COrvikButton::SetButtonImages(const QImage* normal, const QImage* hover, const QImage* pressed,
                                   const QImage* disabled) {
    if (normal == nullptr || hover == nullptr || pressed == nullptr || disabled == nullptr)
        return false;
    normalImage = normal;
    hoverImage = hover;
    pressedImage = pressed;
    disabledImage = disabled;
    // Pictures loaded by id earlier are no longer shown.
    for (auto& owned : ownedImages_) {
        const QImage* picture = owned.get();
        if (picture != normal && picture != hover && picture != pressed && picture != disabled)
            owned.reset();
    }
    update();
    return true;
}

bool COrvikButton::LoadButtonImages(int disabledId, int normalId, int hoverId, int pressedId,
                                    const QString& type) {
    std::array<std::unique_ptr<QImage>, 4> loaded = {
        LoadImageResource(normalId, type), LoadImageResource(hoverId, type),
        LoadImageResource(pressedId, type), LoadImageResource(disabledId, type)};
    backgroundCaptured = false;
    for (const auto& picture : loaded) {
        if (!picture)
            return false;
    }
    normalImage = loaded[0].get();
    hoverImage = loaded[1].get();
    pressedImage = loaded[2].get();
    disabledImage = loaded[3].get();
    ownedImages_ = std::move(loaded);
    update();
    return true;
}

void COrvikButton::CaptureParentBackground(const QImage& parentSurface) {
    background = parentSurface.copy(geometry());
    backgroundCaptured = true;
    update();
}

void COrvikButton::MoveTo(int left, int top, int right, int bottom) {
    setGeometry(left, top, right - left + 1, bottom - top + 1);
}

void COrvikButton::SetPointerCursor(std::optional<QCursor> cursor) {
    pointerCursor = std::move(cursor);
    if (pointerCursor)
        setCursor(*pointerCursor);
    else
        unsetCursor();
}

bool COrvikButton::UseHandCursor(int cursorId) {
    std::optional<QCursor> hand = LoadCursorResource(cursorId);
    if (!hand)
        return false;
    SetPointerCursor(std::move(hand));
    return true;
}

// ---- Picture and drawing --------------------------------------------------------

const QImage* COrvikButton::CurrentPicture() const {
    if (normalImage == nullptr || hoverImage == nullptr || pressedImage == nullptr ||
        disabledImage == nullptr)
        return nullptr;
    if (!isEnabled())
        return disabledImage;
    if (buttonStyle == kStyleTwoState) {
        if (checked)
            return pressedImage;
        return state == kStateHover ? hoverImage : normalImage;
    }
    if (buttonStyle == kStyleTriValue) {
        if (triValue == 1)
            return hoverImage;
        if (triValue == 2)
            return pressedImage;
        return normalImage;
    }
    switch (state) {
        case kStateHover:
            return previousState == kStatePressed ? pressedImage : hoverImage;
        case kStateNormal:
            return previousState == kStatePressed ? pressedImage : normalImage;
        case kStateReleased:
            return previousState == kStateNormal ? normalImage : hoverImage;
        case kStatePressed:
            return previousState == kStateNormal ? normalImage : pressedImage;
        default:
            return normalImage;
    }
}

std::optional<QPoint> COrvikButton::PicturePosition() const {
    const QImage* picture = CurrentPicture();
    if (picture == nullptr)
        return std::nullopt;
    const QSize area = size();
    const QSize own = picture->size();
    QPoint at;
    if (buttonStyle == kStylePicture || buttonStyle == kStyleTwoState ||
        buttonStyle == kStyleTriValue) {
        at = QPoint((area.width() - own.width()) / 2, (area.height() - own.height()) / 2);
    } else if (buttonStyle == kStylePictureText && !text().isEmpty()) {
        at = textPosition == 0 ? QPoint(1, (area.height() - own.height()) / 2)
                               : QPoint((area.width() - own.width()) / 2, 1);
    } else {
        return std::nullopt;
    }
    if (state == kStatePressed || (state == kStateNormal && previousState == kStatePressed))
        at += QPoint(1, 1);
    return at;
}

QFont COrvikButton::TextFont() const {
    QFont font(faceName);
    font.setStyleHint(QFont::SansSerif);
    font.setPointSizeF(pointSize > 0 ? pointSize / 10.0 : 10.0);
    return font;
}

void COrvikButton::DrawBorder(QPainter& painter) const {
    const QRect box = rect();
    if (!flatBorder) {
        qDrawWinButton(&painter, box, palette(), state == kStatePressed);
        if (focused) {
            painter.setPen(Qt::black);
            painter.setBrush(Qt::NoBrush);
            painter.drawRect(box.adjusted(0, 0, -1, -1));
            painter.drawLine(box.right() - 2, box.top() + 2, box.right() - 2, box.bottom() - 2);
            painter.drawLine(box.left() + 2, box.bottom() - 2, box.right() - 2, box.bottom() - 2);
            QPen dotted(Qt::black, 1, Qt::DotLine);
            painter.setPen(dotted);
            painter.drawRect(box.adjusted(4, 4, -5, -5));
        }
        return;
    }
    if (!enabled)
        return;
    if (state == kStateHover || state == kStateReleased)
        qDrawShadeRect(&painter, box, palette(), false, 1);
    else if (state == kStatePressed)
        qDrawShadeRect(&painter, box, palette(), true, 1);
}

void COrvikButton::DrawPicture(QPainter& painter) const {
    std::optional<QPoint> at = PicturePosition();
    if (!at)
        return;
    painter.setCompositionMode(QPainter::CompositionMode_SourceOver);
    painter.drawImage(*at, *CurrentPicture());
}

void COrvikButton::DrawText(QPainter& painter) const {
    const QString caption = text();
    if (caption.isEmpty())
        return;
    if (buttonStyle != kStyleText && buttonStyle != kStylePictureText)
        return;
    const QFont font = TextFont();
    const QFontMetrics metrics(font);
    const int textWidth = metrics.horizontalAdvance(caption);
    const int textHeight = metrics.height();
    const int w = width();
    const int h = height();
    QPoint at;
    if (buttonStyle == kStyleText) {
        int x = textAlign == 1 ? (w - textWidth) / 2 : textAlign == 2 ? w - textWidth - 1 : 1;
        at = QPoint(x, (h - textHeight) / 2);
    } else {
        const QImage* picture = CurrentPicture();
        const QSize own = picture != nullptr ? picture->size() : QSize(0, 0);
        if (textPosition == 1) {
            const int top = 1 + own.height();
            at = QPoint((w - textWidth) / 2, top + (h - top - textHeight) / 2);
        } else {
            const int left = 1 + own.width();
            at = QPoint(left + (w - left - textWidth) / 2, (h - textHeight) / 2);
        }
    }
    if (state == kStatePressed)
        at += QPoint(1, 1);
    const bool highlighted = enabled && (state == kStateHover || state == kStatePressed);
    painter.setPen(highlighted ? highlightTextColor : normalTextColor);
    painter.setFont(font);
    painter.drawText(QRect(at, QSize(textWidth, textHeight)), Qt::AlignLeft | Qt::AlignTop,
                     caption);
}

void COrvikButton::paintEvent(QPaintEvent*) {
    // The owner-draw item state.
    enabled = isEnabled();
    focused = hasFocus();
    // Composed off-screen over the captured background, then copied in one
    // step. Before the window has handed over its background the button is
    // drawn straight over whatever the window painted under it.
    QImage surface(size(), QImage::Format_ARGB32_Premultiplied);
    surface.fill(Qt::transparent);
    {
        QPainter painter(&surface);
        painter.setRenderHint(QPainter::TextAntialiasing);
        if (backgroundCaptured && !background.isNull())
            painter.drawImage(0, 0, background);
        if (drawBorder)
            DrawBorder(painter);
        DrawPicture(painter);
        DrawText(painter);
    }
    QPainter screen(this);
    screen.drawImage(0, 0, surface);
}

QSize COrvikButton::sizeHint() const {
    if (normalImage != nullptr)
        return normalImage->size();
    return QPushButton::sizeHint();
}

// ---- Mouse and timer ----------------------------------------------------------------

void COrvikButton::SetState(int next) {
    previousState = state;
    state = next;
    update();
}

void COrvikButton::mouseMoveEvent(QMouseEvent* event) {
    if (!(event->buttons() & Qt::LeftButton) && !mouseInside && isEnabled() &&
        buttonStyle != kStyleTriValue) {
        SetState(kStateHover);
        mouseInside = true;
        timers_.Set(this, kHoverTimer, kHoverPollMs);
    }
    QPushButton::mouseMoveEvent(event);
}

void COrvikButton::OnTimer(int id) {
    if (id != kHoverTimer)
        return;
    const QRect onScreen(mapToGlobal(QPoint(0, 0)), size());
    if (!onScreen.contains(QCursor::pos()) && mouseInside && isEnabled()) {
        timers_.Kill(kHoverTimer);
        SetState(kStateNormal);
        mouseInside = false;
    }
}

void COrvikButton::timerEvent(QTimerEvent* event) {
    if (std::optional<int> id = timers_.IdOf(event->timerId())) {
        OnTimer(*id);
        return;
    }
    QPushButton::timerEvent(event);
}

void COrvikButton::mousePressEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton)
        SetState(kStatePressed);
    QPushButton::mousePressEvent(event);
}

void COrvikButton::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) {
        QPushButton::mouseReleaseEvent(event);
        return;
    }
    SetState(kStateReleased);
    const QPoint at = event->position().toPoint();
    if (previousState == kStateNormal) {
        // The pointer left the button while it was down: no click. The
        // parent hears of the release point as a mouse move.
        const LParam point = ((at.y() & 0xFF) << 8) | (at.x() & 0xFF);
        SendWindowMessage(parentWidget(), kWmMouseMove, kReleasedOutsideKeys, point);
        setDown(false);
        event->accept();
        return;
    }
    // Only a release inside completes the click (and checks a two-state button).
    if (hitButton(at))
        checked = true;
    QPushButton::mouseReleaseEvent(event);
}

void COrvikButton::changeEvent(QEvent* event) {
    if (event->type() == QEvent::EnabledChange)
        update();
    QPushButton::changeEvent(event);
}

void COrvikButton::focusInEvent(QFocusEvent* event) {
    QPushButton::focusInEvent(event);
    update();
}

void COrvikButton::focusOutEvent(QFocusEvent* event) {
    QPushButton::focusOutEvent(event);
    update();
}

}  // namespace ambrel
