#include "Skin.h"

#include <QPainter>
#include <QPainterPath>
#include <QtMath>
#include <set>

#include "Drawing.h"
#include "GifWriter.h"
#include "ResourceIds.h"
#include "TextNumbers.h"

namespace skingen {
namespace {

using ambrel::res::ButtonSkin;

QString PngName(int id) {
    return QStringLiteral("PNG/%1").arg(id);
}

}  // namespace

Skin::Skin(const ambrel::bundle::StringTable& strings, const ambrel::bundle::StringTable& labels)
    : strings_(strings), labels_(labels) {}

QFont Skin::LabelFont(int pixelSize, bool bold) const {
    // The bundle's bold font (entry 1025) names the face of the language.
    auto face = strings_.strings.find(1025);
    QFont font(face == strings_.strings.end() ? QStringLiteral("DejaVu Sans")
                                              : QString::fromStdString(face->second));
    font.setStyleHint(QFont::SansSerif);
    font.setPixelSize(pixelSize);
    font.setWeight(bold ? QFont::DemiBold : QFont::Normal);
    return font;
}

QImage Skin::Button(ButtonKind kind, State state, QSize size, const QString& label) const {
    QImage image = Blank(size);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    QRectF box = QRectF(QPointF(0, 0), size).adjusted(0.5, 0.5, -0.5, -0.5);
    const int shift = state == State::Pressed ? 1 : 0;
    QColor textColour = Qt::white;

    switch (kind) {
        case ButtonKind::Primary: {
            QColor fill = state == State::Hover      ? colours_.accentHover
                          : state == State::Pressed  ? colours_.accentPressed
                          : state == State::Disabled ? colours_.disabled
                                                     : colours_.accent;
            p.setPen(Qt::NoPen);
            p.setBrush(fill);
            p.drawRoundedRect(box, 6, 6);
            break;
        }
        case ButtonKind::Secondary: {
            QColor fill = state == State::Hover     ? QColor(0xEE, 0xF2, 0xF8)
                          : state == State::Pressed ? QColor(0xDD, 0xE4, 0xEE)
                                                    : colours_.card;
            p.setPen(QPen(colours_.border, 1));
            p.setBrush(fill);
            p.drawRoundedRect(box, 6, 6);
            textColour = state == State::Disabled ? colours_.mutedText : colours_.text;
            break;
        }
        case ButtonKind::Tab: {
            textColour = colours_.tabText;
            if (state == State::Hover) {
                p.setPen(Qt::NoPen);
                p.setBrush(QColor(255, 255, 255, 28));
                p.drawRoundedRect(box, 6, 6);
                textColour = Qt::white;
            } else if (state == State::Pressed) {
                // The selected tab joins the body below it.
                QPainterPath path;
                path.addRoundedRect(QRectF(0, 0, size.width(), size.height() + 8), 8, 8);
                p.setClipRect(QRect(QPoint(0, 0), size));
                p.fillPath(path, colours_.surface);
                textColour = colours_.accentPressed;
            } else if (state == State::Disabled) {
                textColour = colours_.mutedText;
            }
            break;
        }
        case ButtonKind::Close:
        case ButtonKind::Minimise: {
            if (state == State::Hover || state == State::Pressed) {
                p.setPen(Qt::NoPen);
                p.setBrush(
                    kind == ButtonKind::Close
                        ? (state == State::Pressed ? colours_.error.darker(115) : colours_.error)
                        : QColor(255, 255, 255, state == State::Pressed ? 60 : 36));
                p.drawEllipse(box);
            }
            QPen pen(state == State::Disabled ? colours_.mutedText : QColor(Qt::white), 2);
            pen.setCapStyle(Qt::RoundCap);
            p.setPen(pen);
            QPointF c = box.center() + QPointF(shift, shift);
            double r = size.width() * 0.2;
            if (kind == ButtonKind::Close) {
                p.drawLine(c + QPointF(-r, -r), c + QPointF(r, r));
                p.drawLine(c + QPointF(-r, r), c + QPointF(r, -r));
            } else {
                p.drawLine(c + QPointF(-r, 0), c + QPointF(r, 0));
            }
            return image;
        }
        case ButtonKind::Edit: {
            QColor fill = state == State::Hover      ? colours_.accentHover
                          : state == State::Pressed  ? colours_.accentPressed
                          : state == State::Disabled ? colours_.disabled
                                                     : colours_.accent;
            p.setPen(Qt::NoPen);
            p.setBrush(fill);
            p.drawRoundedRect(box, 5, 5);
            // A pencil.
            p.translate(box.center() + QPointF(shift, shift));
            p.rotate(-45);
            double w = size.width() * 0.55;
            p.setBrush(Qt::white);
            p.drawRect(QRectF(-w / 2, -1.8, w * 0.75, 3.6));
            QPolygonF tip;
            tip << QPointF(w / 4 + 1, -1.8) << QPointF(w / 2, 0) << QPointF(w / 4 + 1, 1.8);
            p.drawPolygon(tip);
            return image;
        }
    }
    if (!label.isEmpty()) {
        p.setPen(textColour);
        p.setFont(LabelFont(qMax(11, size.height() * 2 / 5), true));
        p.drawText(QRect(QPoint(shift, shift), size), Qt::AlignCenter, label);
    }
    return image;
}

QImage Skin::Card(QSize size, const QString& title) const {
    QImage image = Blank(size);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    QRectF box = QRectF(QPointF(0, 0), size).adjusted(0.5, 0.5, -0.5, -0.5);
    p.setPen(QPen(colours_.border, 1));
    p.setBrush(colours_.card);
    p.drawRoundedRect(box, 8, 8);
    if (!title.isEmpty()) {
        QPainterPath header;
        header.addRoundedRect(box, 8, 8);
        p.save();
        p.setClipRect(QRectF(0, 0, size.width(), 40));
        QLinearGradient gradient(0, 0, 0, 40);
        gradient.setColorAt(0, colours_.titleTop);
        gradient.setColorAt(1, colours_.titleBottom);
        p.fillPath(header, gradient);
        p.restore();
        p.drawImage(QRect(12, 8, 24, 24), AppIcon(24));
        p.setPen(Qt::white);
        p.setFont(LabelFont(15, true));
        p.drawText(QRect(44, 0, size.width() - 56, 40), Qt::AlignVCenter | Qt::AlignLeft, title);
    } else {
        p.setPen(Qt::NoPen);
        p.setBrush(colours_.accent);
        QPainterPath band;
        band.addRoundedRect(box, 8, 8);
        p.setClipRect(QRectF(0, 0, size.width(), 4));
        p.fillPath(band, colours_.accent);
    }
    return image;
}

QImage Skin::StatusIcon(QColor colour, int glyph) const {
    const int s = Metrics::kStatusIcon;
    QImage image = Blank(QSize(s, s));
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(Qt::NoPen);
    p.setBrush(colour);
    // A margin inside the picture keeps the circle clear of a text placed
    // right of it.
    p.drawEllipse(QRectF(5, 5, s - 10, s - 10));
    QPen pen(Qt::white, 4);
    pen.setCapStyle(Qt::RoundCap);
    pen.setJoinStyle(Qt::RoundJoin);
    p.setPen(pen);
    const double c = s / 2.0;
    if (glyph == 0) {  // check
        QPolygonF check;
        check << QPointF(c - 10, c + 1) << QPointF(c - 3, c + 8) << QPointF(c + 11, c - 8);
        p.drawPolyline(check);
    } else if (glyph == 1) {  // cross
        p.drawLine(QPointF(c - 8, c - 8), QPointF(c + 8, c + 8));
        p.drawLine(QPointF(c - 8, c + 8), QPointF(c + 8, c - 8));
    } else {  // exclamation mark
        p.drawLine(QPointF(c, c - 11), QPointF(c, c + 3));
        p.drawPoint(QPointF(c, c + 11));
    }
    return image;
}

QImage Skin::AppIcon(int size) const {
    QImage image = Blank(QSize(size, size));
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    DrawIconGround(p, size, colours_.accentHover, colours_.accentPressed);
    // A wave travelling along a line: data over the power wiring.
    const double u = size / 64.0;
    QPen pen(Qt::white, 4 * u);
    pen.setCapStyle(Qt::RoundCap);
    p.setPen(pen);
    p.drawLine(QPointF(12 * u, 44 * u), QPointF(52 * u, 44 * u));
    QPainterPath wave;
    wave.moveTo(12 * u, 30 * u);
    wave.cubicTo(19 * u, 14 * u, 25 * u, 14 * u, 32 * u, 30 * u);
    wave.cubicTo(39 * u, 46 * u, 45 * u, 46 * u, 52 * u, 30 * u);
    p.setBrush(Qt::NoBrush);
    p.drawPath(wave);
    return image;
}

QByteArray Skin::BusyAnimation() const {
    constexpr int kFrames = 12;
    constexpr int kDots = 12;
    const int s = Metrics::kSpinner;
    const QColor background = colours_.card;
    std::vector<GifFrame> frames;
    for (int f = 0; f < kFrames; ++f) {
        QImage image(s, s, QImage::Format_RGB32);
        image.fill(background);
        QPainter p(&image);
        p.setRenderHint(QPainter::Antialiasing);
        p.translate(s / 2.0, s / 2.0);
        for (int d = 0; d < kDots; ++d) {
            // The head of the tail is the darkest dot; it moves one step a frame.
            int age = (f - d + kDots) % kDots;
            double strength = 1.0 - age / static_cast<double>(kDots);
            QColor colour = colours_.accent;
            colour.setAlphaF(static_cast<float>(0.15 + 0.85 * strength));
            p.save();
            p.rotate(360.0 * d / kDots);
            p.setPen(Qt::NoPen);
            p.setBrush(colour);
            p.drawRoundedRect(QRectF(-1.6, -s / 2.0 + 2, 3.2, 8), 1.6, 1.6);
            p.restore();
        }
        p.end();
        frames.push_back({image, 8});
    }
    // Every colour is a mix of the background and the accent.
    std::vector<QRgb> palette;
    for (int i = 0; i < 256; ++i) {
        double t = i / 255.0;
        auto mix = [t](int a, int b) { return static_cast<int>(std::lround(a + (b - a) * t)); };
        palette.push_back(qRgb(mix(background.red(), colours_.accent.red()),
                               mix(background.green(), colours_.accent.green()),
                               mix(background.blue(), colours_.accent.blue())));
    }
    return WriteAnimatedGif(frames, palette);
}

void Skin::Draw(std::map<QString, QByteArray>& files, QStringList& problems) {
    auto label = [&](int id) -> QString {
        auto found = labels_.strings.find(id);
        if (found == labels_.strings.end() || found->second.empty()) {
            problems << QStringLiteral("label %1 is missing").arg(id);
            return {};
        }
        return QString::fromStdString(found->second);
    };
    auto layoutSize = [&](int id) -> QSize {
        int v[4] = {};
        auto found = strings_.strings.find(id);
        if (found == strings_.strings.end() || !ambrel::ParseIntList(found->second, v, 4)) {
            problems << QStringLiteral("layout string %1 is missing").arg(id);
            return QSize(1, 1);
        }
        return QSize(qMax(1, v[2]), qMax(1, v[3]));
    };

    // Buttons: one set of pictures per group, the size of its layout rectangle.
    std::map<int, QSize> groupSize;  // by the normal picture
    for (std::span<const ButtonSkin> group : ambrel::res::kAllButtonGroups) {
        for (const ButtonSkin& button : group) {
            QSize size = layoutSize(button.layoutId);
            auto [it, added] = groupSize.emplace(button.images.normal, size);
            if (!added && it->second != size) {
                problems << QStringLiteral("button pictures %1 are used at sizes %2x%3 and %4x%5")
                                .arg(button.images.normal)
                                .arg(it->second.width())
                                .arg(it->second.height())
                                .arg(size.width())
                                .arg(size.height());
            }
            if (!added)
                continue;
            ButtonKind kind = ButtonKind::Primary;
            switch (button.controlId == 1001   ? -1
                    : button.controlId == 1000 ? -2
                                               : button.images.normal) {
                case -1:
                    kind = ButtonKind::Close;
                    break;
                case -2:
                    kind = ButtonKind::Minimise;
                    break;
                case 164:
                case 170:
                case 175:
                case 180:
                    kind = ButtonKind::Tab;
                    break;
                case 201:
                    kind = ButtonKind::Edit;
                    break;
                case 156:
                case 160:
                    kind = ButtonKind::Secondary;
                    break;
                default:
                    break;
            }
            bool hasLabel = kind != ButtonKind::Close && kind != ButtonKind::Minimise &&
                            kind != ButtonKind::Edit;
            QString text = hasLabel ? label(button.images.normal) : QString();
            const std::pair<int, State> states[] = {{button.images.normal, State::Normal},
                                                    {button.images.hover, State::Hover},
                                                    {button.images.pressed, State::Pressed},
                                                    {button.images.disabled, State::Disabled}};
            for (const auto& [id, state] : states) {
                // A group may reuse its normal picture for another state.
                if (files.count(PngName(id)) != 0 && id == button.images.normal)
                    continue;
                files[PngName(id)] = Png(Button(kind, state, size, text));
            }
        }
    }

    // The main window.
    const int w = Metrics::kWindowWidth;
    {
        QImage title = Blank(QSize(w, Metrics::kTitleHeight));
        QPainter p(&title);
        p.setRenderHint(QPainter::Antialiasing);
        QLinearGradient gradient(0, 0, 0, Metrics::kTitleHeight);
        gradient.setColorAt(0, colours_.titleTop);
        gradient.setColorAt(1, colours_.titleBottom);
        p.fillRect(title.rect(), gradient);
        p.drawImage(QRect(16, 12, 24, 24), AppIcon(24));
        p.setPen(Qt::white);
        p.setFont(LabelFont(16, true));
        p.drawText(QRect(50, 0, w - 150, Metrics::kTitleHeight), Qt::AlignVCenter, label(133));
        p.end();
        files[PngName(ambrel::res::kPngTitle)] = Png(title);

        QImage tabBar(w, Metrics::kTabBarHeight, QImage::Format_ARGB32_Premultiplied);
        tabBar.fill(colours_.titleBottom);
        files[PngName(ambrel::res::kPngTabBar)] = Png(tabBar);

        QImage body(w, Metrics::kBodyHeight, QImage::Format_ARGB32_Premultiplied);
        body.fill(colours_.surface);
        files[PngName(ambrel::res::kPngBody)] = Png(body);
    }
    for (int page : {ambrel::res::kPngNetworkPage, ambrel::res::kPngAdvancedPage,
                     ambrel::res::kPngStatusPage, ambrel::res::kPngQosPage}) {
        files[PngName(page)] = Png(Card(Metrics::kPage, QString()));
    }
    {
        QImage row(Metrics::kRow, QImage::Format_ARGB32_Premultiplied);
        row.fill(colours_.card);
        QPainter p(&row);
        p.fillRect(QRect(0, row.height() - 1, row.width(), 1), colours_.rowLine);
        p.end();
        files[PngName(ambrel::res::kPngRow)] = Png(row);
        QImage hover(Metrics::kRow, QImage::Format_ARGB32_Premultiplied);
        hover.fill(colours_.card);
        QPainter h(&hover);
        h.setRenderHint(QPainter::Antialiasing);
        h.setPen(Qt::NoPen);
        h.setBrush(colours_.rowHover);
        h.drawRoundedRect(QRectF(1, 1, hover.width() - 2, hover.height() - 2), 6, 6);
        h.end();
        files[PngName(ambrel::res::kPngRowHover)] = Png(hover);
    }
    files[PngName(ambrel::res::kPngMessageBoxBackground)] =
        Png(Card(Metrics::kMessageBox, QString()));
    files[PngName(ambrel::res::kPngAddDeviceBackground)] =
        Png(Card(Metrics::kDialog, label(ambrel::res::kPngAddDeviceBackground)));
    files[PngName(ambrel::res::kPngResetBackground)] =
        Png(Card(Metrics::kDialog, label(ambrel::res::kPngResetBackground)));
    files[PngName(ambrel::res::kPngUpgradeBackground)] =
        Png(Card(Metrics::kDialog, label(ambrel::res::kPngUpgradeBackground)));
    files[PngName(ambrel::res::kPngAboutBackground)] =
        Png(Card(Metrics::kAbout, label(ambrel::res::kPngAboutBackground)));
    files[PngName(ambrel::res::kPngInformation)] = Png(StatusIcon(colours_.success, 0));
    files[PngName(ambrel::res::kPngError)] = Png(StatusIcon(colours_.error, 1));
    files[PngName(ambrel::res::kPngWarning)] = Png(StatusIcon(colours_.warning, 2));

    files[QStringLiteral("ICON/%1").arg(ambrel::res::kIconMain)] = Png(AppIcon(Metrics::kAppIcon));
    files[QStringLiteral("CURSOR/%1").arg(ambrel::res::kCursorHand)] = Png(HandCursor());
    files[QStringLiteral("ORVIKGIF/%1").arg(ambrel::res::kGifBusy)] = BusyAnimation();
}

}  // namespace skingen
