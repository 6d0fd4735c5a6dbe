#include "CorvixSkin.h"

#include <QFont>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <cstdio>
#include <map>

#include "BundleFormat.h"
#include "CorvixResourceIds.h"
#include "Drawing.h"
#include "SkinFiles.h"
#include "TextNumbers.h"

namespace skingen {
namespace {

namespace res = corvix::res;
using ambrel::bundle::StringTable;

// Label ids of labels.txt that are not pictures of their own.
constexpr int kLabelFooterHint = 1290;

struct CorvixColours {
    QColor titleTop{0x0E, 0x3A, 0x45};
    QColor titleBottom{0x15, 0x5B, 0x69};
    QColor accent{0x17, 0xA0, 0x8F};
    QColor accentHover{0x1F, 0xB8, 0xA5};
    QColor accentPressed{0x12, 0x7E, 0x71};
    QColor disabled{0xB9, 0xC6, 0xCB};
    QColor surface{0xEE, 0xF3, 0xF5};
    QColor card{0xFF, 0xFF, 0xFF};
    QColor border{0xD3, 0xDD, 0xE2};
    QColor headerStrip{0xE4, 0xED, 0xF0};
    QColor rowLine{0xEC, 0xF0, 0xF3};
    QColor rowHover{0xDD, 0xF3, 0xEF};
    QColor text{0x1D, 0x2A, 0x33};
    QColor mutedText{0x7D, 0x8D, 0x97};
    QColor error{0xD6, 0x45, 0x45};
};
const CorvixColours kColours;

enum class State { Normal, Hover, Pressed, Disabled };

// The list panel of the body, in window coordinates: the headers sit on its
// top strip, the rows below them, the scroll bar on its right edge.
constexpr int kTitleHeight = 57;
constexpr QRect kPanel(32, 98, 602, 379);
constexpr int kHeaderStripBottom = 130;  // the first row's top

QSize PictureSize(int id) {
    for (const res::PictureSize& picture : res::kPictureSizes) {
        if (picture.id == id)
            return QSize(picture.width, picture.height);
    }
    return QSize(1, 1);
}

QFont Font(int pixelSize, bool bold) {
    QFont font;
    font.setFamilies({QStringLiteral("DejaVu Sans"), QStringLiteral("WenQuanYi Micro Hei")});
    font.setStyleHint(QFont::SansSerif);
    font.setPixelSize(pixelSize);
    font.setWeight(bold ? QFont::DemiBold : QFont::Normal);
    return font;
}

QColor Fill(State state) {
    switch (state) {
        case State::Hover:
            return kColours.accentHover;
        case State::Pressed:
            return kColours.accentPressed;
        case State::Disabled:
            return kColours.disabled;
        case State::Normal:
            break;
    }
    return kColours.accent;
}

// A circular arrow: the rescan button's glyph.
void DrawRefreshGlyph(QPainter& p, QPointF centre, double radius, const QColor& colour) {
    QPen pen(colour, 1.8);
    pen.setCapStyle(Qt::RoundCap);
    p.setPen(pen);
    p.setBrush(Qt::NoBrush);
    QRectF circle(centre.x() - radius, centre.y() - radius, 2 * radius, 2 * radius);
    p.drawArc(circle, 60 * 16, 280 * 16);
    // The arrow head at the arc's start (60 degrees, counter-clockwise).
    const QPointF tip(centre.x() + radius * 0.5, centre.y() - radius * 0.866);
    QPolygonF head;
    head << tip + QPointF(-3.2, -2.2) << tip + QPointF(1.6, 0.4) << tip + QPointF(-1.6, 3.0);
    p.setPen(Qt::NoPen);
    p.setBrush(colour);
    p.drawPolygon(head);
}

QImage RescanButton(State state, const QString& label) {
    const QSize size = PictureSize(res::kImagesRescan.normal);
    QImage image = Blank(size);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(Qt::NoPen);
    p.setBrush(Fill(state));
    p.drawRoundedRect(QRectF(0.5, 0.5, size.width() - 1, size.height() - 1), 4, 4);
    const int shift = state == State::Pressed ? 1 : 0;
    const QFont font = Font(12, true);
    const int textWidth = QFontMetrics(font).horizontalAdvance(label);
    const int glyph = 14;
    const int left = (size.width() - textWidth - glyph - 4) / 2 + shift;
    DrawRefreshGlyph(p, QPointF(left + glyph / 2.0, size.height() / 2.0 + shift), 4.6, Qt::white);
    p.setPen(Qt::white);
    p.setFont(font);
    p.drawText(QRect(left + glyph + 4, shift, textWidth + 2, size.height()),
               Qt::AlignVCenter | Qt::AlignLeft, label);
    return image;
}

QImage ConnectButton(State state, const QString& label) {
    const QSize size = PictureSize(res::kImagesConnect.normal);
    QImage image = Blank(size);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    const QRectF box(0.5, 0.5, size.width() - 1, size.height() - 1);
    QColor text = Qt::white;
    if (state == State::Normal) {
        p.setPen(QPen(kColours.accent, 1));
        p.setBrush(kColours.card);
        text = kColours.accent;
    } else {
        p.setPen(Qt::NoPen);
        p.setBrush(Fill(state));
    }
    p.drawRoundedRect(box, size.height() / 2.0, size.height() / 2.0);
    const int shift = state == State::Pressed ? 1 : 0;
    p.setPen(text);
    p.setFont(Font(12, true));
    p.drawText(QRect(QPoint(shift, shift), size), Qt::AlignCenter, label);
    return image;
}

// The window buttons sit on the title banner. The close picture is wider
// than its button, which shows its middle: the glyph is drawn there.
QImage CloseButton(State state) {
    const QSize size = PictureSize(res::kImagesClose.normal);
    QImage image = Blank(size);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    const QRectF visible(7.5, 0.5, 26, size.height() - 1);
    if (state == State::Hover || state == State::Pressed) {
        p.setPen(Qt::NoPen);
        p.setBrush(state == State::Pressed ? kColours.error.darker(115) : kColours.error);
        p.drawRoundedRect(visible, 3, 3);
    }
    QPen pen(state == State::Disabled ? kColours.mutedText : QColor(Qt::white), 1.8);
    pen.setCapStyle(Qt::RoundCap);
    p.setPen(pen);
    const QPointF c = visible.center() + QPointF(state == State::Pressed ? 1 : 0, 0);
    const double r = 4;
    p.drawLine(c + QPointF(-r, -r), c + QPointF(r, r));
    p.drawLine(c + QPointF(-r, r), c + QPointF(r, -r));
    return image;
}

QImage MinimiseButton(State state) {
    const QSize size = PictureSize(res::kImagesMinimise.normal);
    QImage image = Blank(size);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    const QRectF visible(1.5, 0.5, size.width() - 3, size.height() - 1);
    if (state == State::Hover || state == State::Pressed) {
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(255, 255, 255, state == State::Pressed ? 70 : 40));
        p.drawRoundedRect(visible, 3, 3);
    }
    QPen pen(state == State::Disabled ? kColours.mutedText : QColor(Qt::white), 1.8);
    pen.setCapStyle(Qt::RoundCap);
    p.setPen(pen);
    const QPointF c = visible.center() + QPointF(0, state == State::Pressed ? 3 : 2);
    p.drawLine(c + QPointF(-5, 0), c + QPointF(5, 0));
    return image;
}

// Wireless waves over an access point.
void DrawAccessPoint(QPainter& p, const QRectF& area, const QColor& colour) {
    const double u = area.width() / 64.0;
    const QPointF origin = area.topLeft();
    auto at = [&](double x, double y) { return origin + QPointF(x * u, y * u); };
    QPen pen(colour, 4.2 * u);
    pen.setCapStyle(Qt::RoundCap);
    p.setPen(pen);
    p.setBrush(Qt::NoBrush);
    const QPointF centre = at(32, 36);
    for (double r : {9.0, 17.0}) {
        QRectF arc(centre.x() - r * u, centre.y() - r * u, 2 * r * u, 2 * r * u);
        p.drawArc(arc, 45 * 16, 90 * 16);
    }
    p.setPen(Qt::NoPen);
    p.setBrush(colour);
    p.drawEllipse(QRectF(at(28.5, 32.5), QSizeF(7 * u, 7 * u)));
    // The device under the waves.
    p.drawRoundedRect(QRectF(at(14, 44), QSizeF(36 * u, 10 * u)), 3 * u, 3 * u);
}

QImage TitleBanner(const QString& title) {
    const QSize size = PictureSize(res::kPngTitle);
    QImage image(size, QImage::Format_ARGB32_Premultiplied);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    QLinearGradient gradient(0, 0, size.width(), size.height());
    gradient.setColorAt(0, kColours.titleTop);
    gradient.setColorAt(1, kColours.titleBottom);
    p.fillRect(image.rect(), gradient);
    p.drawImage(QRect(16, 12, 32, 32), CorvixIcon(32));
    p.setPen(Qt::white);
    p.setFont(Font(17, true));
    p.drawText(QRect(60, 0, size.width() - 160, size.height()), Qt::AlignVCenter | Qt::AlignLeft,
               title);
    // A thin accent line where the banner meets the body.
    p.fillRect(QRect(0, size.height() - 2, size.width(), 2), kColours.accent);
    return image;
}

QImage Body(const QString& caption, const QString& hint) {
    const QSize size = PictureSize(res::kPngBody);
    QImage image(size, QImage::Format_ARGB32_Premultiplied);
    image.fill(kColours.surface);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.translate(0, -kTitleHeight);  // draw in window coordinates

    p.setPen(kColours.text);
    p.setFont(Font(14, true));
    p.drawText(QRect(kPanel.left() + 4, kTitleHeight + 8, 400, kPanel.top() - kTitleHeight - 10),
               Qt::AlignVCenter | Qt::AlignLeft, caption);

    QPainterPath panel;
    panel.addRoundedRect(QRectF(kPanel).adjusted(0.5, 0.5, -0.5, -0.5), 6, 6);
    p.setPen(QPen(kColours.border, 1));
    p.setBrush(kColours.card);
    p.drawPath(panel);
    p.save();
    p.setClipRect(
        QRect(kPanel.left(), kPanel.top(), kPanel.width(), kHeaderStripBottom - kPanel.top()));
    p.fillPath(panel, kColours.headerStrip);
    p.restore();
    p.setRenderHint(QPainter::Antialiasing, false);
    p.fillRect(QRect(kPanel.left() + 1, kHeaderStripBottom - 1, kPanel.width() - 2, 1),
               kColours.border);

    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(kColours.mutedText);
    p.setFont(Font(12, false));
    p.drawText(QRect(160, kPanel.bottom() + 4, kPanel.right() - 160, 26),
               Qt::AlignVCenter | Qt::AlignRight, hint);
    return image;
}

QImage Row(bool hover) {
    const QSize size = PictureSize(hover ? res::kPngRowHover : res::kPngRow);
    QImage image(size, QImage::Format_ARGB32_Premultiplied);
    image.fill(hover ? kColours.rowHover : kColours.card);
    QPainter p(&image);
    if (hover)
        p.fillRect(QRect(0, 0, 3, size.height()), kColours.accent);
    p.fillRect(QRect(0, size.height() - 1, size.width(), 1), kColours.rowLine);
    return image;
}

// Loaded by the window but never shown: a card with the program's mark.
QImage SparePicture(const QString& title) {
    const QSize size = PictureSize(res::kPngSpare);
    QImage image(size, QImage::Format_ARGB32_Premultiplied);
    image.fill(kColours.surface);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.drawImage(QRect(size.width() / 2 - 32, 50, 64, 64), CorvixIcon(64));
    p.setPen(kColours.text);
    p.setFont(Font(15, true));
    p.drawText(QRect(0, 130, size.width(), 40), Qt::AlignCenter, title);
    return image;
}

// ---- The mode ------------------------------------------------------------------------------

void CheckStrings(const StringTable& table, QStringList& problems) {
    for (const res::RequiredString& required : res::kRequiredStrings) {
        auto found = table.strings.find(required.id);
        if (found == table.strings.end() || found->second.empty()) {
            problems << QStringLiteral("string %1 is missing or empty").arg(required.id);
            continue;
        }
        int values[4] = {};
        bool ok = true;
        switch (required.kind) {
            case res::StringKind::Text:
                break;
            case res::StringKind::Int:
                ok = ambrel::ParseLeadingInt(found->second).has_value();
                break;
            case res::StringKind::Color:
                ok = ambrel::ParseIntList(found->second, values, 3).has_value();
                break;
            case res::StringKind::Rect:
                ok = ambrel::ParseIntList(found->second, values, 4).has_value();
                for (int v : values)
                    ok = ok && v >= 1 && v <= 10000;
                break;
        }
        if (!ok)
            problems << QStringLiteral("string %1 has the wrong form").arg(required.id);
    }
}

void CheckTemplates(const ambrel::bundle::Templates& templates, QStringList& problems) {
    const std::pair<int, std::vector<int>> dialogs[] = {
        {res::kDialogMain,
         {res::kButtonMinimise, res::kButtonClose, res::kButtonRescan, res::kHeaders[0],
          res::kHeaders[1], res::kHeaders[2], res::kHeaders[3], res::kHeaders[4], res::kScrollBar}},
        {res::kDialogRow,
         {res::kRowName, res::kRowModel, res::kRowIp, res::kRowMac, res::kRowConnect}},
    };
    for (const auto& [id, controls] : dialogs) {
        auto found = templates.dialogs.find(id);
        if (found == templates.dialogs.end()) {
            problems << QStringLiteral("dialog %1 is missing").arg(id);
            continue;
        }
        for (int control : controls) {
            if (found->second.Find(control) == nullptr)
                problems << QStringLiteral("dialog %1 lacks control %2").arg(id).arg(control);
        }
    }
    if (templates.menus.count(res::kMenuTray) == 0)
        problems << QStringLiteral("menu %1 is missing").arg(res::kMenuTray);
}

int DrawIcons(const QString& directory) {
    for (int size : {16, 24, 32, 48, 64, 128, 256}) {
        if (!WriteFile(QStringLiteral("%1/corvix-%2.png").arg(directory).arg(size),
                       Png(CorvixIcon(size)))) {
            return Fail(QStringLiteral("cannot write the icons into %1").arg(directory));
        }
    }
    return 0;
}

}  // namespace

QImage CorvixIcon(int size) {
    QImage image = Blank(QSize(size, size));
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    DrawIconGround(p, size, kColours.accentHover, kColours.titleBottom);
    DrawAccessPoint(p, QRectF(0, 0, size, size), Qt::white);
    return image;
}

int RunCorvix(const QStringList& arguments) {
    if (arguments.size() == 3 && arguments[1] == QStringLiteral("--corvix-icons"))
        return DrawIcons(arguments[2]);
    std::map<QString, QString> options;
    for (int i = 2; i + 1 < arguments.size(); i += 2)
        options[arguments[i]] = arguments[i + 1];
    for (const char* name : {"--strings", "--labels", "--templates", "--out"}) {
        if (options.count(QString::fromLatin1(name)) == 0)
            return Fail(QStringLiteral("missing option %1").arg(QString::fromLatin1(name)));
    }

    QStringList problems;
    const StringTable strings = ParseTableFile(options["--strings"], problems);
    const StringTable labels = ParseTableFile(options["--labels"], problems);
    const TemplateFile templates = ParseTemplateFile(options["--templates"], problems);
    CheckStrings(strings, problems);
    CheckTemplates(templates.templates, problems);
    auto label = [&](int id) -> QString {
        auto found = labels.strings.find(id);
        if (found == labels.strings.end() || found->second.empty()) {
            problems << QStringLiteral("label %1 is missing").arg(id);
            return {};
        }
        return QString::fromStdString(found->second);
    };

    std::map<QString, QByteArray> files;  // alias -> contents
    auto png = [&files](int id, const QImage& image) {
        files[QStringLiteral("PNG/%1").arg(id)] = Png(image);
    };
    png(res::kPngTitle, TitleBanner(label(res::kPngTitle)));
    png(res::kPngBody, Body(label(res::kPngBody), label(kLabelFooterHint)));
    png(res::kPngSpare, SparePicture(label(res::kPngTitle)));
    png(res::kPngRow, Row(false));
    png(res::kPngRowHover, Row(true));
    const std::pair<State, int res::ButtonImages::*> states[] = {
        {State::Normal, &res::ButtonImages::normal},
        {State::Hover, &res::ButtonImages::hover},
        {State::Pressed, &res::ButtonImages::pressed},
        {State::Disabled, &res::ButtonImages::disabled},
    };
    const QString rescan = label(res::kImagesRescan.normal);
    const QString connect = label(res::kImagesConnect.normal);
    for (const auto& [state, member] : states) {
        png(res::kImagesRescan.*member, RescanButton(state, rescan));
        png(res::kImagesConnect.*member, ConnectButton(state, connect));
    }
    // The close and minimise buttons show their hover picture when disabled.
    for (const auto& [state, member] : states) {
        if (state == State::Disabled)
            continue;
        png(res::kImagesClose.*member, CloseButton(state));
        png(res::kImagesMinimise.*member, MinimiseButton(state));
    }
    for (const res::PictureSize& picture : res::kPictureSizes) {
        const QString alias = QStringLiteral("PNG/%1").arg(picture.id);
        QImage drawn;
        if (files.count(alias) == 0 || !drawn.loadFromData(files[alias]) ||
            drawn.size() != QSize(picture.width, picture.height)) {
            problems << QStringLiteral("picture %1 is not drawn at %2x%3")
                            .arg(picture.id)
                            .arg(picture.width)
                            .arg(picture.height);
        }
    }
    files[QStringLiteral("ICON/%1").arg(res::kIconMain)] = Png(CorvixIcon(64));
    files[QStringLiteral("CURSOR/%1").arg(res::kCursorHand)] = Png(HandCursor());

    if (!problems.isEmpty()) {
        for (const QString& problem : problems)
            std::fprintf(stderr, "skingen: %s\n", qUtf8Printable(problem));
        return 1;
    }

    std::string table = "# Generated by skingen from Corvix/resources/strings.txt.\n";
    for (const auto& [id, text] : strings.strings)
        table += std::to_string(id) + "=" + ambrel::bundle::EscapeString(text) + "\n";
    files[QStringLiteral("strings.txt")] = QByteArray::fromStdString(table);
    files[QStringLiteral("dialogs.txt")] = templates.bytes;
    return WriteResources(options["--out"], QStringLiteral("corvix.qrc"), QStringLiteral("/corvix"),
                          files);
}

}  // namespace skingen
