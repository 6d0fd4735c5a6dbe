#pragma once

// The look of Ambrel: every picture of the language bundle, drawn with
// QPainter from the values below and the layout strings (button pictures
// take the size of their layout rectangles), with the labels of the
// language. Changing the look means changing this file.

#include <QByteArray>
#include <QColor>
#include <QImage>
#include <QSize>
#include <QString>
#include <QStringList>
#include <map>

#include "BundleFormat.h"

namespace skingen {

// Sizes of the backgrounds; the dialog templates have the same sizes.
struct Metrics {
    static constexpr int kWindowWidth = 640;
    static constexpr int kTitleHeight = 48;
    static constexpr int kTabBarHeight = 44;
    static constexpr int kBodyHeight = 400;
    static constexpr QSize kPage{620, 388};
    static constexpr QSize kRow{580, 40};
    static constexpr QSize kMessageBox{322, 193};
    static constexpr QSize kDialog{480, 260};
    static constexpr QSize kAbout{400, 300};
    static constexpr int kStatusIcon = 48;
    static constexpr int kSpinner = 32;
    static constexpr int kAppIcon = 64;
};

// The colours of the skin.
struct Colours {
    QColor titleTop{0x1B, 0x26, 0x3B};
    QColor titleBottom{0x24, 0x36, 0x55};
    QColor accent{0x1F, 0x74, 0xD6};
    QColor accentHover{0x3A, 0x8A, 0xE6};
    QColor accentPressed{0x17, 0x5C, 0xAE};
    QColor disabled{0xC3, 0xCA, 0xD5};
    QColor surface{0xF3, 0xF5, 0xF9};
    QColor card{0xFF, 0xFF, 0xFF};
    QColor border{0xD8, 0xDE, 0xE7};
    QColor rowLine{0xEC, 0xEF, 0xF4};
    QColor rowHover{0xE8, 0xF1, 0xFC};
    QColor text{0x1F, 0x29, 0x37};
    QColor mutedText{0x8A, 0x96, 0xA8};
    QColor tabText{0xC5, 0xD2, 0xE6};
    QColor success{0x2E, 0x9E, 0x5B};
    QColor warning{0xE0, 0x98, 0x1E};
    QColor error{0xD6, 0x45, 0x45};
};

class Skin {
public:
    Skin(const ambrel::bundle::StringTable& strings, const ambrel::bundle::StringTable& labels);

    // Adds "PNG/<id>", "ORVIKGIF/212", "ICON/128", "CURSOR/134" to `files`;
    // problems (a label missing, button sizes that disagree) go to `problems`.
    void Draw(std::map<QString, QByteArray>& files, QStringList& problems);

    // The program's icon at any size (window, tray and desktop icons).
    QImage AppIcon(int size) const;

private:
    enum class ButtonKind { Primary, Secondary, Tab, Close, Minimise, Edit };
    enum class State { Normal, Hover, Pressed, Disabled };

    QImage Button(ButtonKind kind, State state, QSize size, const QString& label) const;
    QImage Card(QSize size, const QString& title) const;
    QImage StatusIcon(QColor colour, int glyph) const;
    QByteArray BusyAnimation() const;
    QFont LabelFont(int pixelSize, bool bold) const;

    const ambrel::bundle::StringTable& strings_;
    const ambrel::bundle::StringTable& labels_;
    Colours colours_;
};

}  // namespace skingen
