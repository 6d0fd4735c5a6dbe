#pragma once

// The gallery window: the skinned controls in each of their states, on the
// look of the loaded bundle. Each family of controls has a section function
// that places its samples from `top` down and returns the y below them.

#include <QColor>
#include <QRect>
#include <QString>
#include <vector>

#include "DialogWindow.h"

namespace gallery {

// The colours of the skin the samples sit on.
struct Palette {
    QColor surface{0xF3, 0xF5, 0xF9};
    QColor card{0xFF, 0xFF, 0xFF};
    QColor border{0xD8, 0xDE, 0xE7};
    QColor text{0x1F, 0x29, 0x37};
    QColor mutedText{0x8A, 0x96, 0xA8};
    QColor accent{0x1F, 0x74, 0xD6};
    QColor accentLight{0x3A, 0x8A, 0xE6};
    QColor dark{0x24, 0x36, 0x55};
};

class GalleryWindow : public ambrel::DialogWindow {
    Q_OBJECT
public:
    static constexpr int kWidth = 640;
    static constexpr int kMargin = 16;

    GalleryWindow();

    const Palette& Colours() const { return colours_; }

    // Background decorations, painted once with the window's background.
    void AddCard(const QRect& rect, const QString& title);
    void AddCaption(const QRect& rect, const QString& text, int flags);
    void AddStrip(const QRect& rect, const QColor& colour);

protected:
    void PaintBackground(QPainter& painter) override;
    // Escape or closing ends the gallery.
    void OnCancel() override;

private:
    struct Card {
        QRect rect;
        QString title;
    };
    struct Caption {
        QRect rect;
        QString text;
        int flags;
    };
    struct Strip {
        QRect rect;
        QColor colour;
    };

    Palette colours_;
    std::vector<Card> cards_;
    std::vector<Caption> captions_;
    std::vector<Strip> strips_;
};

// The title and tab bar of the main window, with its window buttons.
int AddWindowHeader(GalleryWindow& window, int top);
// COrvikButton: every picture group in its four states, then the styles.
int AddButtonSection(GalleryWindow& window, int top);
// COrvikStatic: alignment, backgrounds, effects and links.
int AddStaticSection(GalleryWindow& window, int top);
// The busy animation and the tray menu.
int AddPictureMenuSection(GalleryWindow& window, int top);

// Builds every section and sizes the window to them.
void BuildGallery(GalleryWindow& window);

}  // namespace gallery
