#pragma once

// The picture button of both programs: one of four pictures (normal, hover,
// pressed, disabled) over the part of its window's background that lies
// under it, optional text on top, a hover state found by polling the cursor
// while the pointer is inside, an optional pointer cursor and an optional
// thin 3-D border. A completed click is the usual clicked() signal (its
// dialog turns it into a command); a press released outside is no click.
//
// The attributes are public: the windows set them right after creating the
// button and call update() when they change them later.
//
// User-interface thread only.

#include <QColor>
#include <QCursor>
#include <QImage>
#include <QPushButton>
#include <QString>
#include <array>
#include <memory>
#include <optional>

#include "DialogWindow.h"
#include "Layout.h"
#include "WindowTimers.h"

namespace ambrel {

class COrvikButton : public QPushButton, public BackgroundClient {
    Q_OBJECT
public:
    enum Style {
        kStyleText = 0,         // text only
        kStylePicture = 1,      // picture centred
        kStylePictureText = 2,  // picture with text beside or below it
        kStyleTwoState = 4,     // shows the pressed picture once clicked
        kStyleTriValue = 5,     // picture chosen by triValue, never hovers
    };
    enum State {
        kStateHover = 0,     // the pointer entered
        kStateNormal = 1,    // the pointer left
        kStateReleased = 2,  // the button came up
        kStatePressed = 3,
    };
    static constexpr int kHoverTimer = 1;
    static constexpr int kHoverPollMs = 10;
    // wParam of the mouse-move message a press released outside sends to
    // the parent.
    static constexpr WParam kReleasedOutsideKeys = kMkControl;

    explicit COrvikButton(QWidget* parent = nullptr);
    ~COrvikButton() override;

    // Replaces the four pictures (not owned; they must outlive the button,
    // as the image cache's do). Returns false and keeps the old ones unless
    // all four are given.
    bool SetButtonImages(const QImage* normal, const QImage* hover, const QImage* pressed,
                         const QImage* disabled);
    // Loads the four pictures by id (uncached, owned by the button), in the
    // order disabled, normal, hover, pressed. A missing picture is fatal.
    bool LoadButtonImages(int disabledId, int normalId, int hoverId, int pressedId,
                          const QString& type = QStringLiteral("PNG"));

    // Takes the pixels of the window's background under the button.
    void CaptureParentBackground(const QImage& parentSurface) override;

    // Moves the button to (left, top, right, bottom): width right - left + 1,
    // height bottom - top + 1. The stacking order stays.
    void MoveTo(int left, int top, int right, int bottom);
    void MoveTo(const LayoutRect& rect) { MoveTo(rect.left, rect.top, rect.right, rect.bottom); }

    // The cursor shown over the button (none: the parent's).
    void SetPointerCursor(std::optional<QCursor> cursor);
    // The hand of the resource source (cursor 134); false when it is missing.
    bool UseHandCursor(int cursorId = 134);

    // The picture the button shows now (null when not all four are set).
    const QImage* CurrentPicture() const;
    // Where the picture is drawn (top-left corner), if it is drawn.
    std::optional<QPoint> PicturePosition() const;
    bool IsHoverPolling() const { return timers_.IsRunning(kHoverTimer); }

    // The hover poll: leaves the hover state once the cursor is outside.
    void OnTimer(int id);

    // ---- Attributes -------------------------------------------------------------
    int buttonStyle = kStylePicture;
    int state = kStateNormal;
    int previousState = kStateNormal;
    bool enabled = true;   // as last drawn
    bool focused = false;  // as last drawn
    bool drawBorder = false;
    bool flatBorder = true;
    bool mouseInside = false;
    bool backgroundCaptured = false;
    QColor normalTextColor;
    QColor highlightTextColor;
    int pointSize = 100;  // tenths of a point
    QString faceName = QStringLiteral("Arial");
    int textPosition = 0;  // style 2: 0 right of the picture, 1 below it
    int textAlign = 0;     // style 0: 1 centred, 2 right, otherwise left
    std::optional<QCursor> pointerCursor;
    bool checked = false;  // style 4
    int triValue = 0;      // style 5: 0 normal, 1 hover, 2 pressed
    const QImage* normalImage = nullptr;
    const QImage* hoverImage = nullptr;
    const QImage* pressedImage = nullptr;
    const QImage* disabledImage = nullptr;
    QImage background;

    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void timerEvent(QTimerEvent* event) override;
    void changeEvent(QEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;

private:
    void SetState(int next);
    void DrawBorder(QPainter& painter) const;
    void DrawPicture(QPainter& painter) const;
    void DrawText(QPainter& painter) const;
    QFont TextFont() const;

    WindowTimers timers_;
    std::array<std::unique_ptr<QImage>, 4> ownedImages_;
};

}  // namespace ambrel
