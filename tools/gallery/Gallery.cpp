#include "Gallery.h"

#include "PictureMenuSamples.h"

#include <QApplication>
#include <QPainter>
#include <QPainterPath>

#include "Fonts.h"
#include "ImageCache.h"
#include "Layout.h"
#include "OrvikButton.h"
#include "OrvikStatic.h"
#include "ResourceBundle.h"
#include "ResourceIds.h"

namespace gallery {
namespace {

using ambrel::COrvikButton;
using ambrel::COrvikStatic;
namespace res = ambrel::res;

constexpr int kCardPadding = 14;
constexpr int kCardTitle = 34;
constexpr int kRowLabelWidth = 118;
constexpr int kStateColumn = 116;

// The four states as the button shows them: (state, previousState, enabled).
struct StateSample {
    const char* name;
    int state;
    int previous;
    bool enabled;
};
constexpr StateSample kStates[] = {
    {"Normal", COrvikButton::kStateNormal, COrvikButton::kStateNormal, true},
    {"Hover", COrvikButton::kStateHover, COrvikButton::kStateNormal, true},
    {"Pressed", COrvikButton::kStatePressed, COrvikButton::kStateHover, true},
    {"Disabled", COrvikButton::kStateNormal, COrvikButton::kStateNormal, false},
};

QFont CaptionFont(int pixels, bool bold) {
    QFont font(QStringLiteral("DejaVu Sans"));
    font.setPixelSize(pixels);
    font.setBold(bold);
    return font;
}

COrvikButton* MakeButton(GalleryWindow& window, const res::ButtonImages& images, QPoint centre) {
    auto* button = new COrvikButton(&window);
    button->SetButtonImages(
        &ambrel::LoadPngResource(images.normal), &ambrel::LoadPngResource(images.hover),
        &ambrel::LoadPngResource(images.pressed), &ambrel::LoadPngResource(images.disabled));
    const QSize size = button->normalImage->size();
    button->setGeometry(QRect(centre - QPoint(size.width() / 2, size.height() / 2), size));
    button->UseHandCursor(res::kCursorHand);
    return button;
}

void ShowState(COrvikButton* button, const StateSample& sample) {
    button->state = sample.state;
    button->previousState = sample.previous;
    button->setEnabled(sample.enabled);
}

COrvikStatic* MakeLabel(GalleryWindow& window, const QRect& rect, const QString& text) {
    auto* label = new COrvikStatic(&window);
    label->setGeometry(rect);
    label->SetLogFont(ambrel::MakeLogFont(1004));
    label->SetForeColor(window.Colours().text);
    label->SetCaption(text);
    return label;
}

}  // namespace

// ---- The window ---------------------------------------------------------------------------

GalleryWindow::GalleryWindow() : DialogWindow(0) {
    setWindowTitle(QStringLiteral("Ambrel control gallery"));
}

void GalleryWindow::OnCancel() {
    QApplication::quit();
}

void GalleryWindow::AddCard(const QRect& rect, const QString& title) {
    cards_.push_back({rect, title});
}

void GalleryWindow::AddCaption(const QRect& rect, const QString& text, int flags) {
    captions_.push_back({rect, text, flags});
}

void GalleryWindow::AddStrip(const QRect& rect, const QColor& colour) {
    strips_.push_back({rect, colour});
}

void GalleryWindow::PaintBackground(QPainter& painter) {
    painter.fillRect(rect(), colours_.surface);
    painter.setRenderHint(QPainter::Antialiasing);
    for (const Card& card : cards_) {
        painter.setPen(QPen(colours_.border, 1));
        painter.setBrush(colours_.card);
        painter.drawRoundedRect(QRectF(card.rect).adjusted(0.5, 0.5, -0.5, -0.5), 8, 8);
        painter.setPen(colours_.text);
        painter.setFont(CaptionFont(14, true));
        painter.drawText(
            card.rect.adjusted(kCardPadding, 0, -kCardPadding, 0).topLeft() + QPoint(0, 23),
            card.title);
        painter.setPen(QPen(colours_.border, 1));
        painter.drawLine(card.rect.left() + 1, card.rect.top() + kCardTitle, card.rect.right() - 1,
                         card.rect.top() + kCardTitle);
    }
    painter.setRenderHint(QPainter::Antialiasing, false);
    for (const Strip& strip : strips_)
        painter.fillRect(strip.rect, strip.colour);
    for (const Caption& caption : captions_) {
        painter.setPen(colours_.mutedText);
        painter.setFont(CaptionFont(11, false));
        painter.drawText(caption.rect, caption.flags, caption.text);
    }
    // The title and tab bar pictures of the main window.
    const QImage& title = ambrel::LoadPngResource(res::kPngTitle);
    const QImage& tabBar = ambrel::LoadPngResource(res::kPngTabBar);
    painter.drawImage(0, 0, title);
    painter.drawImage(0, title.height(), tabBar);
}

// ---- Sections --------------------------------------------------------------------------------

int AddWindowHeader(GalleryWindow& window, int top) {
    const QImage& title = ambrel::LoadPngResource(res::kPngTitle);
    const QImage& tabBar = ambrel::LoadPngResource(res::kPngTabBar);
    // The window buttons and the tabs at their places in the main window,
    // the Network tab selected and the Status tab hovered.
    for (const res::ButtonSkin& skin : res::kMainButtons) {
        ambrel::LayoutRect place = ambrel::ReadLayoutRect(skin.layoutId, {});
        auto* button = MakeButton(window, skin.images, place.ToQRect().center());
        if (skin.controlId == 1012)
            ShowState(button, kStates[2]);
        else if (skin.controlId == 1013)
            ShowState(button, kStates[1]);
        if (skin.controlId == 1001)
            QObject::connect(button, &QAbstractButton::clicked, qApp, &QApplication::quit);
    }
    return top + title.height() + tabBar.height();
}

int AddButtonSection(GalleryWindow& window, int top) {
    const Palette& colours = window.Colours();
    const int left = GalleryWindow::kMargin;
    const int width = GalleryWindow::kWidth - 2 * GalleryWindow::kMargin;
    int y = top + kCardTitle + 8;
    const int firstColumn = left + kCardPadding + kRowLabelWidth;

    // Column heads.
    for (int c = 0; c < 4; ++c) {
        window.AddCaption(QRect(firstColumn + c * kStateColumn, y, kStateColumn, 16),
                          QString::fromLatin1(kStates[c].name), Qt::AlignCenter);
    }
    y += 22;

    struct Row {
        const char* name;
        res::ButtonImages images;
        bool dark;
    };
    const Row rows[] = {
        {"Primary", res::kImagesOk, false},
        {"Secondary", res::kImagesCancel, false},
        {"Small", res::ImageGroup(219), false},
        {"Row edit", res::kNetworkRowButton.images, false},
        {"Tab", res::kMainButtons[2].images, true},
        {"Close", res::kMainButtons[4].images, true},
        {"Minimise", res::kMainButtons[5].images, true},
    };
    for (const Row& row : rows) {
        const QSize size = ambrel::LoadPngResource(row.images.normal).size();
        const int height = std::max(size.height() + 12, 34);
        window.AddCaption(QRect(left + kCardPadding, y, kRowLabelWidth, height),
                          QString::fromLatin1(row.name), Qt::AlignVCenter | Qt::AlignLeft);
        if (row.dark) {
            window.AddStrip(QRect(firstColumn, y, 4 * kStateColumn, height), colours.dark);
        }
        for (int c = 0; c < 4; ++c) {
            QPoint centre(firstColumn + c * kStateColumn + kStateColumn / 2, y + height / 2);
            ShowState(MakeButton(window, row.images, centre), kStates[c]);
        }
        y += height + 6;
    }

    // The styles: two-state, three-value, text only with borders, picture
    // with text.
    y += 8;
    window.AddCaption(QRect(left + kCardPadding, y, kRowLabelWidth, 34),
                      QStringLiteral("Two-state"), Qt::AlignVCenter | Qt::AlignLeft);
    for (int c = 0; c < 2; ++c) {
        QPoint centre(firstColumn + c * kStateColumn + kStateColumn / 2, y + 17);
        auto* button = MakeButton(window, res::kImagesOk, centre);
        button->buttonStyle = COrvikButton::kStyleTwoState;
        button->checked = c == 1;
    }
    window.AddCaption(QRect(firstColumn + 2 * kStateColumn, y, 2 * kStateColumn, 34),
                      QStringLiteral("unchecked, then checked by a click"),
                      Qt::AlignVCenter | Qt::AlignLeft);
    y += 40;
    window.AddCaption(QRect(left + kCardPadding, y, kRowLabelWidth, 34),
                      QStringLiteral("Three-value"), Qt::AlignVCenter | Qt::AlignLeft);
    for (int c = 0; c < 3; ++c) {
        QPoint centre(firstColumn + c * kStateColumn + kStateColumn / 2, y + 17);
        auto* button = MakeButton(window, res::kImagesYes, centre);
        button->buttonStyle = COrvikButton::kStyleTriValue;
        button->triValue = c;
    }
    window.AddCaption(QRect(firstColumn + 3 * kStateColumn, y, kStateColumn, 34),
                      QStringLiteral("values 0, 1, 2"), Qt::AlignCenter);
    y += 40;

    window.AddCaption(QRect(left + kCardPadding, y, kRowLabelWidth, 34),
                      QStringLiteral("Text, borders"), Qt::AlignVCenter | Qt::AlignLeft);
    struct TextSample {
        const char* text;
        bool flat;
        int state;
        bool focus;
    };
    const TextSample texts[] = {
        {"Flat", true, COrvikButton::kStateNormal, false},
        {"Flat hover", true, COrvikButton::kStateHover, false},
        {"Raised", false, COrvikButton::kStateNormal, false},
        {"Sunken", false, COrvikButton::kStatePressed, false},
    };
    for (int c = 0; c < 4; ++c) {
        auto* button = new COrvikButton(&window);
        button->setGeometry(firstColumn + c * kStateColumn + 8, y + 2, kStateColumn - 16, 30);
        button->buttonStyle = COrvikButton::kStyleText;
        button->textAlign = 1;
        button->drawBorder = true;
        button->flatBorder = texts[c].flat;
        button->state = texts[c].state;
        button->previousState = COrvikButton::kStateHover;
        button->faceName = QStringLiteral("DejaVu Sans");
        button->pointSize = 90;
        button->normalTextColor = colours.text;
        button->highlightTextColor = colours.accent;
        button->setText(QString::fromLatin1(texts[c].text));
    }
    y += 40;

    window.AddCaption(QRect(left + kCardPadding, y, kRowLabelWidth, 34),
                      QStringLiteral("Picture and text"), Qt::AlignVCenter | Qt::AlignLeft);
    for (int c = 0; c < 2; ++c) {
        auto* button = MakeButton(window, res::kNetworkRowButton.images, QPoint());
        button->buttonStyle = COrvikButton::kStylePictureText;
        button->textPosition = 0;
        button->setGeometry(firstColumn + c * kStateColumn + 8, y + 2, kStateColumn - 16, 30);
        button->faceName = QStringLiteral("DejaVu Sans");
        button->pointSize = 90;
        button->normalTextColor = colours.text;
        button->highlightTextColor = colours.accent;
        button->setText(QStringLiteral("Rename"));
        ShowState(button, kStates[c]);
    }
    {
        auto* button = MakeButton(window, res::kNetworkRowButton.images, QPoint());
        button->buttonStyle = COrvikButton::kStylePictureText;
        button->textPosition = 1;
        button->setGeometry(firstColumn + 2 * kStateColumn + 8, y - 4, kStateColumn - 16, 44);
        button->faceName = QStringLiteral("DejaVu Sans");
        button->pointSize = 80;
        button->normalTextColor = colours.text;
        button->setText(QStringLiteral("Below"));
    }
    y += 40 + kCardPadding;

    window.AddCard(QRect(left, top, width, y - top), QStringLiteral("Buttons"));
    return y;
}

int AddStaticSection(GalleryWindow& window, int top) {
    const Palette& colours = window.Colours();
    const int left = GalleryWindow::kMargin;
    const int width = GalleryWindow::kWidth - 2 * GalleryWindow::kMargin;
    const int inner = left + kCardPadding;
    const int columnWidth = (width - 3 * kCardPadding) / 2;
    const int second = inner + columnWidth + kCardPadding;
    int y = top + kCardTitle + 12;

    // Left column: alignment and fonts.
    int ly = y;
    auto place = [&](int x, int& row, int height) {
        QRect rect(x, row, columnWidth, height);
        row += height + 8;
        return rect;
    };
    MakeLabel(window, place(inner, ly, 26), QStringLiteral("Page title"))
        ->SetLogFont(ambrel::MakeLogFont(1022));
    MakeLabel(window, place(inner, ly, 20), QStringLiteral("Left-aligned label"));
    MakeLabel(window, place(inner, ly, 20), QStringLiteral("Centred label"))
        ->SetAlign(COrvikStatic::Align::Center);
    MakeLabel(window, place(inner, ly, 20), QStringLiteral("Right-aligned label"))
        ->SetAlign(COrvikStatic::Align::Right);
    MakeLabel(window, place(inner, ly, 20), QStringLiteral("Bold, italic and underlined"))
        ->SetBold(true)
        .SetItalic(true)
        .SetUnderline(true);
    MakeLabel(window, place(inner, ly, 36),
              QStringLiteral("A longer text wraps at word boundaries inside its rectangle."));
    {
        auto* link = MakeLabel(
            window, place(inner, ly, 20),
            ambrel::FindString(10006).value_or(QStringLiteral("https://www.example.com/ambrel")));
        link->SetForeColor(colours.accent).SetLink(true).SetLinkCursorId(res::kCursorHand);
    }
    {
        auto* hovered =
            MakeLabel(window, place(inner, ly, 20), QStringLiteral("Link under the pointer"));
        hovered->SetForeColor(colours.accent).SetLink(true).SetUnderline(true).SetBold(true);
    }
    MakeLabel(window, place(inner, ly, 20), QStringLiteral("support@example.com"))
        ->SetForeColor(colours.accent)
        .SetMailLink(true);

    // Right column: backgrounds and effects.
    int ry = y;
    MakeLabel(window, place(second, ry, 26), QStringLiteral("Solid background"))
        ->SetBackColor(colours.accent)
        .SetForeColor(Qt::white)
        .SetTransparent(false)
        .SetAlign(COrvikStatic::Align::Left, true);
    MakeLabel(window, place(second, ry, 26), QStringLiteral("Gradient background"))
        ->SetBackColor(colours.dark, colours.accentLight, true)
        .SetForeColor(Qt::white)
        .SetTransparent(false)
        .SetAlign(COrvikStatic::Align::Left, true);
    MakeLabel(window, place(second, ry, 26), QStringLiteral("Blinking text, visible phase"))
        ->SetBackColor(colours.card)
        .SetTransparent(false)
        .SetAlign(COrvikStatic::Align::Left, true)
        .FlashText(false);
    {
        auto* raised = MakeLabel(window, place(second, ry, 26), QStringLiteral("3-D text"));
        raised->SetLogFont(ambrel::MakeLogFont(1022));
        raised->SetForeColor(colours.text)
            .SetHighlightColor(colours.accentLight)
            .SetText3D(true, true);
    }
    MakeLabel(window, place(second, ry, 26), QStringLiteral("Sunken edge"))
        ->SetSunken(true)
        .SetAlign(COrvikStatic::Align::Left, true);
    {
        auto* framed = MakeLabel(window, place(second, ry, 26), QStringLiteral("Thin border"));
        framed->SetBorder(true).SetAlign(COrvikStatic::Align::Left, true);
        QPalette frameColour = framed->palette();
        frameColour.setColor(QPalette::WindowText, colours.mutedText);
        framed->setPalette(frameColour);
    }
    {
        QRect square(second, ry, 60, 60);
        MakeLabel(window, square, QStringLiteral("Rotated"))->SetBold(true).SetRotation(90, true);
        MakeLabel(window, QRect(second + 70, ry, 60, 60), QStringLiteral("Rotated"))
            ->SetBold(true)
            .SetRotation(30, true);
        ry += 68;
    }

    y = std::max(ly, ry) + kCardPadding - 8;
    window.AddCard(QRect(left, top, width, y - top), QStringLiteral("Labels"));
    return y;
}

int AddPictureMenuSection(GalleryWindow& window, int top) {
    const int left = GalleryWindow::kMargin;
    const int width = GalleryWindow::kWidth - 2 * GalleryWindow::kMargin;
    const QRect area = ambrel::gallery::AddPictureMenuSamples(
        &window, QPoint(left + kCardPadding, top + kCardTitle + 12));
    const int bottom = area.bottom() + kCardPadding;
    window.AddCard(QRect(left, top, width, bottom - top),
                   QStringLiteral("Busy animation and tray menu"));
    return bottom;
}

void BuildGallery(GalleryWindow& window) {
    int y = AddWindowHeader(window, 0);
    y = AddButtonSection(window, y + GalleryWindow::kMargin);
    y = AddStaticSection(window, y + GalleryWindow::kMargin);
    y = AddPictureMenuSection(window, y + GalleryWindow::kMargin);
    y += GalleryWindow::kMargin;
    window.resize(GalleryWindow::kWidth, y);
    window.SetRoundedRegion(QRect(0, 0, GalleryWindow::kWidth, y), 5, 5);
    window.SetDragAreas({QRect(0, 0, GalleryWindow::kWidth, y)});
}

}  // namespace gallery
