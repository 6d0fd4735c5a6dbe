#include "RemDev.h"

#include <QApplication>
#include <QCursor>
#include <QEnterEvent>
#include <QMouseEvent>
#include <QPainter>

#include "AppSettings.h"
#include "Fonts.h"
#include "ImageCache.h"
#include "Layout.h"
#include "NetworkRows.h"
#include "OrvikButton.h"
#include "OrvikStatic.h"
#include "ResourceBundle.h"
#include "ResourceIds.h"

namespace ambrel {
namespace {

// The row's statics and their layout strings.
struct RowText {
    int controlId;
    int layoutId;
};
constexpr RowText kRowTexts[] = {
    {CRemDev::kNameText, 6000}, {CRemDev::kPasswordText, 6001}, {CRemDev::kMacText, 6002},
    {CRemDev::kRateText, 6003}, {CRemDev::kSpareText, 6004},    {1019, 6005},
};
constexpr int kFontName = 1025;
constexpr int kTextColour = 2200;
constexpr int kPointSize = 1005;

QString ToQString(const std::u16string& text) {
    return QString::fromStdU16String(text);
}

}  // namespace

CRemDev::CRemDev(int row, QWidget* page)
    : DialogWindow(res::kDialogNetworkRow, page, Kind::Child),
      row_(row),
      backgroundId_(res::kPngRow) {
    setMouseTracking(true);
}

CRemDev::~CRemDev() = default;

void CRemDev::OnInitDialog() {
    const LogFont font = MakeLogFont(kFontName);
    const QColor colour = ReadLayoutColor(kTextColour);
    const int points = ReadLayoutInt(kPointSize);
    for (const RowText& entry : kRowTexts) {
        auto* text = Attach<COrvikStatic>(entry.controlId);
        MoveToLayout(text, entry.layoutId);
        text->SetLogFont(font);
        text->SetPointSize(points);
        text->SetForeColor(colour);
        // One line per field; the name stands out.
        text->SetBold(entry.controlId == kNameText);
        text->SetAlign(entry.controlId == kRateText ? COrvikStatic::Align::Right
                                                    : COrvikStatic::Align::LeftNoWrap);
        text->setMouseTracking(true);
    }

    const res::ButtonSkin& skin = res::kNetworkRowButton;
    auto* button = Attach<COrvikButton>(skin.controlId);
    button->SetButtonImages(
        &LoadPngResource(skin.images.normal), &LoadPngResource(skin.images.hover),
        &LoadPngResource(skin.images.pressed), &LoadPngResource(skin.images.disabled));
    MoveToLayout(button, skin.layoutId);
    button->UseHandCursor(res::kCursorHand);
    button->setFocusPolicy(Qt::NoFocus);
    button->hide();
}

COrvikButton* CRemDev::EditButton() const {
    return Control<COrvikButton>(kEditButton);
}

COrvikStatic* CRemDev::Text(int controlId) const {
    return Control<COrvikStatic>(controlId);
}

void CRemDev::SetRecord(const DeviceRecord& record) {
    Initialise();
    record_ = record;
    // Record texts are in the code page of the settings' language.
    const RowTexts texts = MakeRowTexts(record_, TheAppSettings().LanguageNumber());
    Text(kNameText)->SetCaption(ToQString(texts.name));
    Text(kPasswordText)->SetCaption(ToQString(texts.password));
    Text(kRateText)->SetCaption(ToQString(texts.rate));
    Text(kMacText)->SetCaption(ToQString(texts.mac));
}

void CRemDev::OnCommand(int id) {
    if (id == kEditButton && onEdit_)
        onEdit_(row_);
}

// ---- Background and hover ----------------------------------------------------------

void CRemDev::PaintBackground(QPainter& painter) {
    DialogWindow::PaintBackground(painter);
    painter.drawImage(0, 0, LoadPngResource(backgroundId_));
}

void CRemDev::SetBackgroundPicture(int id) {
    if (backgroundId_ == id)
        return;
    backgroundId_ = id;
    InvalidateBackground();
}

bool CRemDev::PointerInside() const {
    if (!isVisible())
        return false;
    return QRect(mapToGlobal(QPoint(0, 0)), size()).contains(QCursor::pos());
}

void CRemDev::OnPointerOver() {
    if (QApplication::focusWidget() == nullptr)
        setFocus();
    mouseLeft_ = false;
    SetTimer(kHoverTimer, kHoverPollMs);
}

void CRemDev::PollHover() {
    if (PointerInside()) {
        if (!hovered_) {
            hovered_ = true;
            SetBackgroundPicture(res::kPngRowHover);
            EditButton()->show();
        }
        return;
    }
    KillTimer(kHoverTimer);
    mouseLeft_ = true;
    ResetHover();
}

void CRemDev::ResetHover() {
    hovered_ = false;
    EditButton()->hide();
    SetBackgroundPicture(res::kPngRow);
}

void CRemDev::OnTimer(int id) {
    if (id == kHoverTimer)
        PollHover();
}

void CRemDev::mouseMoveEvent(QMouseEvent* event) {
    OnPointerOver();
    DialogWindow::mouseMoveEvent(event);
}

void CRemDev::enterEvent(QEnterEvent* event) {
    OnPointerOver();
    DialogWindow::enterEvent(event);
}

}  // namespace ambrel
