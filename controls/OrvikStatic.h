#pragma once

// The text label of both programs. It draws its text itself, by default
// straight over whatever its window painted, with its own font description,
// colour, alignment and effects (solid or gradient background, a 3-D copy
// of the text, rotation, blinking), and it can be a hyperlink: a click opens
// a URL or a mail address (through OpenUrl of Shell.h), or is reported to
// the window as a LINK_CLICKED notification.
//
// Every setter returns the label, so calls chain. The setters that change
// what is drawn repaint the label and the part of its window under it at
// once, so a transparent label never leaves old text behind.
//
// User-interface thread only.

#include <QBrush>
#include <QColor>
#include <QCursor>
#include <QLabel>
#include <QString>
#include <cstdint>
#include <optional>

#include "BundleFormat.h"
#include "Fonts.h"
#include "WindowTimers.h"

namespace ambrel {

class COrvikStatic : public QLabel {
    Q_OBJECT
public:
    // Notification code of a link click reported to the window.
    static constexpr uint32_t kLinkClicked = 0x8200;
    static constexpr int kBlinkTimer = 1;
    static constexpr int kBlinkMs = 500;
    // Gradients are drawn in at most this many vertical bands.
    static constexpr int kMaxGradientBands = 100;

    enum class Align {
        Left,        // word wrap
        Center,      // centred, word wrap
        Right,       // right-aligned, word wrap
        LeftNoWrap,  // one line per line break, no wrap
    };
    enum class LinkType { None = 0, Url = 1, Mail = 2 };
    enum class FlashMode { None = 0, Text = 1, Background = 2 };

    explicit COrvikStatic(QWidget* parent = nullptr);
    ~COrvikStatic() override;

    // Takes the template's alignment styles ("center", "right", "nowrap").
    void OnAttached(const bundle::ControlTemplate& entry);

    // ---- The operations ------------------------------------------------------------
    virtual COrvikStatic& SetBackColor(const QColor& color, const QColor& gradientEnd = QColor(),
                                       bool gradient = false);
    virtual COrvikStatic& SetForeColor(const QColor& color);
    virtual COrvikStatic& SetCaption(const QString& text);
    virtual COrvikStatic& SetBold(bool bold);
    virtual COrvikStatic& SetFaceName(const QString& faceName, uint8_t charSet = 0);
    virtual COrvikStatic& SetUnderline(bool underline);
    virtual COrvikStatic& SetItalic(bool italic);
    // A height that does not depend on the screen's resolution: that of
    // `points` at 96 pixels per inch.
    virtual COrvikStatic& SetPointSize(int points);
    virtual COrvikStatic& SetSunken(bool sunken);
    virtual COrvikStatic& SetBorder(bool border);
    virtual COrvikStatic& SetTransparent(bool transparent);
    virtual COrvikStatic& FlashText(bool flash);
    virtual COrvikStatic& FlashBackground(bool flash);
    // A URL link (the link URL, or the text when it is empty). With `notify`
    // pointing to a non-zero flag a click is reported instead of opened; the
    // flag belongs to the caller and must outlive the label.
    virtual COrvikStatic& SetLink(bool link, const int* notify = nullptr);
    virtual COrvikStatic& SetLinkCursorId(int cursorId);
    virtual COrvikStatic& SetLinkCursor(std::optional<QCursor> cursor);
    virtual COrvikStatic& SetText3D(bool text3D, bool down = false);
    virtual COrvikStatic& SetRotation(int degrees, bool rotated);
    virtual COrvikStatic& SetHighlightColor(const QColor& color);
    virtual COrvikStatic& SetLogFont(const LogFont& font);
    // A mail link: a click opens "mailto:" followed by the text.
    virtual COrvikStatic& SetMailLink(bool link, const int* notify = nullptr);
    virtual COrvikStatic& SetLinkUrl(const QString& url);
    virtual QColor GetForeColor() const;
    virtual LogFont GetLogFont() const;

    // Alignment of the text, and the centre-image style (a single line
    // centred both ways, or lines centred horizontally).
    COrvikStatic& SetAlign(Align align, bool centerImage = false);

    // The blink timer: every tick toggles the phase and repaints.
    void OnTimer(int id);

    // State, for the windows that look at it and for tests.
    bool IsTransparent() const { return transparent_; }
    FlashMode Flash() const { return flashMode_; }
    int FlashPhase() const { return flashPhase_; }
    bool IsBlinkTimerRunning() const { return timers_.IsRunning(kBlinkTimer); }
    LinkType Link() const { return linkType_; }
    QString LinkTarget() const;  // what a click opens, empty when it opens nothing
    std::optional<QColor> BackBrushColor() const;

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void timerEvent(QTimerEvent* event) override;

private:
    void RepaintNow();
    void FontChanged();
    void Draw(QPainter& painter);
    void DrawBackground(QPainter& painter) const;
    int TextFlags() const;
    void UpdateLinkBehaviour();

    QColor foreColor_;
    LogFont logFont_;
    QFont workingFont_;
    bool transparent_ = true;
    std::optional<QColor> backBrush_;
    bool gradient_ = false;
    QColor gradientFrom_;
    QColor gradientTo_;
    FlashMode flashMode_ = FlashMode::None;
    int flashPhase_ = 0;
    LinkType linkType_ = LinkType::None;
    QString linkUrl_;
    const int* linkNotify_ = nullptr;
    bool reportsClicks_ = false;
    std::optional<QCursor> cursor_;
    bool text3D_ = false;
    bool text3DDown_ = false;
    QColor highlightColor_ = QColor(0xFF, 0xFF, 0xFF);
    bool rotated_ = false;
    Align align_ = Align::Left;
    bool centerImage_ = false;
    WindowTimers timers_;
};

}  // namespace ambrel
