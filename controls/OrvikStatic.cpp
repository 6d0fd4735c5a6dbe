#include "OrvikStatic.h"

#include <QApplication>
#include <QFontInfo>
#include <QFontMetrics>
#include <QImage>
#include <QMouseEvent>
#include <QPainter>
#include <QPalette>
#include <QTimerEvent>
#include <QUrl>
#include <algorithm>

#include "Cursors.h"
#include "Shell.h"
#include "WindowMessage.h"

namespace ambrel {
namespace {

constexpr int kMaxFaceName = 31;
constexpr int kBold = 700;
constexpr int kNormal = 400;

// The description of a font the label is given when it is attached.
LogFont DescribeFont(const QFont& font) {
    LogFont description;
    description.height = QFontInfo(font).pixelSize();
    description.weight = font.weight();
    description.italic = font.italic();
    description.underline = font.underline();
    description.strikeOut = font.strikeOut();
    description.faceName = font.family().left(kMaxFaceName);
    return description;
}

QColor Mix(const QColor& from, const QColor& to, int step, int steps) {
    if (steps <= 1)
        return from;
    auto channel = [step, steps](int a, int b) { return a + (b - a) * step / (steps - 1); };
    return QColor(channel(from.red(), to.red()), channel(from.green(), to.green()),
                  channel(from.blue(), to.blue()));
}

}  // namespace

COrvikStatic::COrvikStatic(QWidget* parent) : QLabel(parent) {
    foreColor_ = QApplication::palette().color(QPalette::WindowText);
    logFont_ = DescribeFont(font());
    workingFont_ = logFont_.ToQFont();
}

COrvikStatic::~COrvikStatic() = default;

void COrvikStatic::OnAttached(const bundle::ControlTemplate& entry) {
    logFont_ = DescribeFont(font());
    workingFont_ = logFont_.ToQFont();
    if (entry.HasStyle("center"))
        align_ = Align::Center;
    else if (entry.HasStyle("right"))
        align_ = Align::Right;
    else if (entry.HasStyle("nowrap"))
        align_ = Align::LeftNoWrap;
    update();
}

// ---- Repainting --------------------------------------------------------------------

void COrvikStatic::RepaintNow() {
    if (!isVisible())
        return;
    repaint();
    // The window's area under the label, so a transparent label leaves no
    // old text behind.
    if (QWidget* window = parentWidget())
        window->repaint(geometry());
}

void COrvikStatic::FontChanged() {
    workingFont_ = logFont_.ToQFont();
    RepaintNow();
}

// ---- Operations -------------------------------------------------------------------------

COrvikStatic& COrvikStatic::SetBackColor(const QColor& color, const QColor& gradientEnd,
                                         bool gradient) {
    gradientFrom_ = color;
    gradientTo_ = gradientEnd;
    gradient_ = gradient;
    if (!gradient)
        backBrush_ = color;
    RepaintNow();
    return *this;
}

COrvikStatic& COrvikStatic::SetForeColor(const QColor& color) {
    foreColor_ = color;
    RepaintNow();
    return *this;
}

COrvikStatic& COrvikStatic::SetCaption(const QString& text) {
    setText(text);
    RepaintNow();
    return *this;
}

COrvikStatic& COrvikStatic::SetBold(bool bold) {
    logFont_.weight = bold ? kBold : kNormal;
    FontChanged();
    return *this;
}

COrvikStatic& COrvikStatic::SetFaceName(const QString& faceName, uint8_t charSet) {
    logFont_.faceName = faceName.left(kMaxFaceName);
    logFont_.charSet = charSet;
    FontChanged();
    return *this;
}

COrvikStatic& COrvikStatic::SetUnderline(bool underline) {
    logFont_.underline = underline;
    FontChanged();
    return *this;
}

COrvikStatic& COrvikStatic::SetItalic(bool italic) {
    logFont_.italic = italic;
    FontChanged();
    return *this;
}

COrvikStatic& COrvikStatic::SetPointSize(int points) {
    // Scaled by 96 / (the screen's pixels per inch) first, so the height
    // comes out the same at every resolution.
    const int dpiX = std::max(1, logicalDpiX());
    const int dpiY = std::max(1, logicalDpiY());
    const int scaled = points * 96 / dpiX;
    logFont_.height = (scaled * dpiY + 36) / 72;
    logFont_.width = 0;
    FontChanged();
    return *this;
}

COrvikStatic& COrvikStatic::SetSunken(bool sunken) {
    if (sunken) {
        setFrameStyle(QFrame::WinPanel | QFrame::Sunken);
    } else if (frameShape() == QFrame::WinPanel) {
        setFrameStyle(QFrame::NoFrame);
    }
    return *this;
}

COrvikStatic& COrvikStatic::SetBorder(bool border) {
    if (border) {
        setFrameStyle(QFrame::Box | QFrame::Plain);
        setLineWidth(1);
    } else if (frameShape() == QFrame::Box) {
        setFrameStyle(QFrame::NoFrame);
    }
    return *this;
}

COrvikStatic& COrvikStatic::SetTransparent(bool transparent) {
    transparent_ = transparent;
    RepaintNow();
    return *this;
}

COrvikStatic& COrvikStatic::FlashText(bool flash) {
    timers_.Kill(kBlinkTimer);
    if (flash) {
        flashPhase_ = 0;
        timers_.Set(this, kBlinkTimer, kBlinkMs);
        flashMode_ = FlashMode::Text;
    } else {
        flashMode_ = FlashMode::None;
    }
    return *this;
}

COrvikStatic& COrvikStatic::FlashBackground(bool flash) {
    // The phase is kept for the background too, but nothing is drawn
    // differently for it: a blinking background is not wanted anywhere.
    timers_.Kill(kBlinkTimer);
    if (flash) {
        flashPhase_ = 0;
        timers_.Set(this, kBlinkTimer, kBlinkMs);
        flashMode_ = FlashMode::Background;
    }
    return *this;
}

COrvikStatic& COrvikStatic::SetLink(bool link, const int* notify) {
    linkType_ = link ? LinkType::Url : LinkType::None;
    linkNotify_ = notify;
    reportsClicks_ = link;
    UpdateLinkBehaviour();
    return *this;
}

COrvikStatic& COrvikStatic::SetMailLink(bool link, const int* notify) {
    linkType_ = link ? LinkType::Mail : LinkType::None;
    linkNotify_ = notify;
    reportsClicks_ = link;
    UpdateLinkBehaviour();
    return *this;
}

void COrvikStatic::UpdateLinkBehaviour() {
    setMouseTracking(linkType_ != LinkType::None);
}

COrvikStatic& COrvikStatic::SetLinkCursorId(int cursorId) {
    return SetLinkCursor(LoadCursorResource(cursorId));
}

COrvikStatic& COrvikStatic::SetLinkCursor(std::optional<QCursor> cursor) {
    cursor_ = std::move(cursor);
    if (cursor_)
        setCursor(*cursor_);
    else
        unsetCursor();
    return *this;
}

COrvikStatic& COrvikStatic::SetText3D(bool text3D, bool down) {
    text3D_ = text3D;
    text3DDown_ = down;
    RepaintNow();
    return *this;
}

COrvikStatic& COrvikStatic::SetRotation(int degrees, bool rotated) {
    logFont_.escapement = degrees * 10;
    logFont_.orientation = degrees * 10;
    rotated_ = rotated;
    FontChanged();
    return *this;
}

COrvikStatic& COrvikStatic::SetHighlightColor(const QColor& color) {
    highlightColor_ = color;
    RepaintNow();
    return *this;
}

COrvikStatic& COrvikStatic::SetLogFont(const LogFont& font) {
    logFont_ = font;
    FontChanged();
    return *this;
}

COrvikStatic& COrvikStatic::SetLinkUrl(const QString& url) {
    linkUrl_ = url;
    return *this;
}

QColor COrvikStatic::GetForeColor() const {
    return foreColor_;
}

LogFont COrvikStatic::GetLogFont() const {
    return logFont_;
}

COrvikStatic& COrvikStatic::SetAlign(Align align, bool centerImage) {
    align_ = align;
    centerImage_ = centerImage;
    RepaintNow();
    return *this;
}

std::optional<QColor> COrvikStatic::BackBrushColor() const {
    return backBrush_;
}

// ---- Links ------------------------------------------------------------------------------

QString COrvikStatic::LinkTarget() const {
    if (linkType_ == LinkType::Url) {
        // Web addresses only: a label's text never starts a local program
        // or opens a local file.
        const QString target = (linkUrl_.isEmpty() ? text() : linkUrl_).trimmed();
        const QUrl url = QUrl::fromUserInput(target);
        const QString scheme = url.scheme().toLower();
        if (!url.isValid() ||
            (scheme != QLatin1String("http") && scheme != QLatin1String("https") &&
             scheme != QLatin1String("mailto")))
            return {};
        return url.toString(QUrl::FullyEncoded);
    }
    if (linkType_ == LinkType::Mail) {
        // The whole text is the address: it cannot add a subject, a body or
        // attachments to the mail.
        const QString address = text().trimmed();
        if (address.isEmpty())
            return {};
        QUrl url;
        url.setScheme(QStringLiteral("mailto"));
        url.setPath(address, QUrl::DecodedMode);
        return url.toString(QUrl::FullyEncoded);
    }
    return {};
}

void COrvikStatic::mousePressEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) {
        QLabel::mousePressEvent(event);
        return;
    }
    if (linkNotify_ != nullptr && *linkNotify_ != 0) {
        NotifyHeader header{this, ControlId(this), kLinkClicked};
        SendWindowMessage(parentWidget(), kWmNotify, static_cast<WParam>(header.controlId),
                          reinterpret_cast<LParam>(&header));
        event->accept();
        return;
    }
    if (linkType_ != LinkType::None) {
        const QString target = LinkTarget();
        if (!target.isEmpty())
            OpenUrl(QUrl(target, QUrl::StrictMode));
    }
    // A label that reports no clicks lets them through to its window (which
    // may be dragged by it).
    if (reportsClicks_)
        event->accept();
    else
        event->ignore();
}

void COrvikStatic::mouseMoveEvent(QMouseEvent* event) {
    if (linkType_ != LinkType::None && !logFont_.underline) {
        logFont_.underline = true;
        logFont_.weight = kBold;
        FontChanged();
    }
    QLabel::mouseMoveEvent(event);
}

// ---- Blinking --------------------------------------------------------------------------

void COrvikStatic::OnTimer(int id) {
    if (id != kBlinkTimer)
        return;
    flashPhase_ ^= 1;
    RepaintNow();
}

void COrvikStatic::timerEvent(QTimerEvent* event) {
    if (std::optional<int> id = timers_.IdOf(event->timerId())) {
        OnTimer(*id);
        return;
    }
    QLabel::timerEvent(event);
}

// ---- Painting ------------------------------------------------------------------------------

int COrvikStatic::TextFlags() const {
    const QString caption = text();
    int flags = 0;
    if (centerImage_) {
        flags = caption.contains(QLatin1Char('\n')) ? (Qt::AlignHCenter | Qt::AlignTop)
                                                    : (Qt::AlignCenter | Qt::TextSingleLine);
    } else {
        switch (align_) {
            case Align::Center:
                flags = Qt::AlignHCenter | Qt::AlignTop | Qt::TextWordWrap;
                break;
            case Align::Right:
                flags = Qt::AlignRight | Qt::AlignTop | Qt::TextWordWrap;
                break;
            case Align::LeftNoWrap:
                flags = Qt::AlignLeft | Qt::AlignTop;
                break;
            case Align::Left:
                flags = Qt::AlignLeft | Qt::AlignTop | Qt::TextWordWrap;
                break;
        }
    }
    if (caption.contains(QLatin1Char('\t')))
        flags |= Qt::TextExpandTabs;
    return flags;
}

void COrvikStatic::DrawBackground(QPainter& painter) const {
    const QRect area(QPoint(0, 0), contentsRect().size());
    if (!gradient_) {
        painter.fillRect(area, backBrush_ ? QBrush(*backBrush_) : palette().button());
        return;
    }
    // Vertical bands from left to right, at most kMaxGradientBands of them,
    // sharing the width evenly so the last one ends at the right edge.
    const int width = area.width();
    const int bands = std::min(width, kMaxGradientBands);
    for (int band = 0; band < bands; ++band) {
        const int left = band * width / bands;
        const int right = (band + 1) * width / bands;
        painter.fillRect(QRect(left, 0, right - left, area.height()),
                         Mix(gradientFrom_, gradientTo_, band, bands));
    }
}

void COrvikStatic::Draw(QPainter& painter) {
    const QRect area(QPoint(0, 0), contentsRect().size());
    if (!transparent_)
        DrawBackground(painter);
    QColor colour = foreColor_;
    // Blinking text takes the background's colour every other phase.
    if (flashMode_ == FlashMode::Text && backBrush_ && flashPhase_ == 0)
        colour = *backBrush_;
    painter.setFont(workingFont_);
    painter.setPen(colour);
    const QString caption = text();
    if (rotated_) {
        // About the centre, on the text's baseline.
        painter.save();
        painter.translate(QPointF(area.width() / 2.0, area.height() / 2.0));
        painter.rotate(-logFont_.escapement / 10.0);
        const int advance = QFontMetrics(workingFont_).horizontalAdvance(caption);
        painter.drawText(QPointF(-advance / 2.0, 0), caption);
        painter.restore();
        return;
    }
    const int flags = TextFlags();
    painter.drawText(area, flags, caption);
    if (text3D_) {
        const int offset = text3DDown_ ? 1 : -1;
        painter.setPen(highlightColor_);
        painter.drawText(area.translated(offset, offset), flags, caption);
    }
}

void COrvikStatic::paintEvent(QPaintEvent*) {
    QPainter screen(this);
    const QRect client = contentsRect();
    if (transparent_) {
        screen.save();
        screen.translate(client.topLeft());
        screen.setClipRect(QRect(QPoint(0, 0), client.size()));
        Draw(screen);
        screen.restore();
    } else if (!client.isEmpty()) {
        // Drawn into a memory picture first and copied in one step.
        QImage memory(client.size(), QImage::Format_ARGB32_Premultiplied);
        memory.fill(Qt::transparent);
        {
            QPainter painter(&memory);
            painter.setRenderHint(QPainter::TextAntialiasing);
            Draw(painter);
        }
        screen.drawImage(client.topLeft(), memory);
    }
    drawFrame(&screen);
}

}  // namespace ambrel
