#include "RemDev.h"

#include <QApplication>
#include <QCursor>
#include <QMouseEvent>
#include <QPainter>
#include <QUrl>
#include <algorithm>
#include <vector>

#include "CorvixResourceIds.h"
#include "Cursors.h"
#include "ImageCache.h"
#include "Layout.h"
#include "ListLayout.h"
#include "OrvikButton.h"
#include "OrvikStatic.h"
#include "Placement.h"
#include "Shell.h"

namespace corvix {
namespace {

constexpr int kColumnGap = 4;

QString ToQString(const std::u16string& text) {
    return QString::fromStdU16String(text);
}

}  // namespace

CRemDev::CRemDev(QWidget* parent) : DialogWindow(res::kDialogRow, parent, Kind::Child) {
    setMouseTracking(true);
    // The connect button takes the keyboard focus given to the row.
    setFocusPolicy(Qt::StrongFocus);
}

CRemDev::~CRemDev() = default;

void CRemDev::OnInitDialog() {
    normalPicture_ = &ambrel::LoadPngResource(res::kPngRow);
    hoverPicture_ = &ambrel::LoadPngResource(res::kPngRowHover);
    backgroundPicture_ = normalPicture_;

    const int pointSize = ambrel::ReadLayoutInt(res::kIntRowPointSize);
    const int texts[] = {res::kRowName, res::kRowModel, res::kRowIp, res::kRowMac};
    for (size_t i = 0; i < std::size(texts); ++i) {
        auto* text = Attach<ambrel::COrvikStatic>(texts[i]);
        text->SetPointSize(pointSize);
        ambrel::MoveToLayout(text, res::kRectRow[i]);
        // Clicks and moves over the texts belong to the row.
        text->setAttribute(Qt::WA_TransparentForMouseEvents);
    }

    connect_ = Attach<ambrel::COrvikButton>(res::kRowConnect);
    connect_->SetButtonImages(&ambrel::LoadPngResource(res::kImagesConnect.normal),
                              &ambrel::LoadPngResource(res::kImagesConnect.hover),
                              &ambrel::LoadPngResource(res::kImagesConnect.pressed),
                              &ambrel::LoadPngResource(res::kImagesConnect.disabled));
    connect_->buttonStyle = ambrel::COrvikButton::kStylePicture;
    connect_->UseHandCursor(res::kCursorHand);
    connect_->MoveTo(ambrel::ReadLayoutRect(res::kRectRow[4], ButtonFallback(connect_)));
    setFocusProxy(connect_);

    // A text box reaches up to the next control on its right: where the
    // desktop's face for "Arial" is wider than the layout expects, a MAC
    // address still shows whole instead of losing its last digit.
    std::vector<QWidget*> columns;
    for (int id : texts)
        columns.push_back(Text(id));
    columns.push_back(connect_);
    std::sort(columns.begin(), columns.end(),
              [](const QWidget* a, const QWidget* b) { return a->x() < b->x(); });
    for (size_t i = 0; i + 1 < columns.size(); ++i) {
        QWidget* column = columns[i];
        const int room = columns[i + 1]->x() - kColumnGap - column->x();
        if (column != connect_ && room > column->width())
            column->resize(room, column->height());
    }
}

ambrel::COrvikStatic* CRemDev::Text(int controlId) const {
    return Control<ambrel::COrvikStatic>(controlId);
}

void CRemDev::RefreshRow(int index, const ApListRecord& record) {
    Initialise();
    record_ = record;
    index_ = index;
    Text(res::kRowName)->SetCaption(ToQString(record.name));
    Text(res::kRowMac)->SetCaption(ToQString(record.macText));
    Text(res::kRowIp)->SetCaption(ToQString(record.ipText));
    Text(res::kRowModel)->SetCaption(ToQString(record.model));
}

void CRemDev::SetBackgroundPicture(const QImage* picture) {
    if (picture == nullptr)
        return;
    backgroundPicture_ = picture;
    InvalidateBackground();
    if (isVisible())
        repaint();
}

void CRemDev::ShowNormalBackground() {
    Initialise();
    hover_ = false;
    SetBackgroundPicture(normalPicture_);
}

void CRemDev::SetNarrow(bool narrow) {
    if (narrow_ == narrow)
        return;
    narrow_ = narrow;
    InvalidateBackground();
}

bool CRemDev::HoldsFocus() const {
    const QWidget* focus = window()->focusWidget();
    return focus != nullptr && (focus == this || isAncestorOf(focus));
}

void CRemDev::OpenDevicePage() {
    // A row that was never filled has no address to open.
    if (record_.ipText.empty())
        return;
    ambrel::OpenUrl(QUrl(QStringLiteral("http://") + ToQString(record_.ipText)));
}

void CRemDev::OnCommand(int id) {
    if (id == res::kRowConnect)
        OpenDevicePage();
}

void CRemDev::PaintBackground(QPainter& painter) {
    // Under the scroll bar the window's own background shows.
    if (const auto* frame = qobject_cast<const DialogWindow*>(parentWidget())) {
        if (!frame->Background().isNull())
            painter.drawImage(QPoint(0, 0), frame->Background(), geometry());
    }
    if (backgroundPicture_ == nullptr)
        return;
    const int width = narrow_ ? kScrolledRowWidth : backgroundPicture_->width();
    painter.drawImage(QRect(0, 0, width, backgroundPicture_->height()), *backgroundPicture_);
}

void CRemDev::mouseMoveEvent(QMouseEvent* event) {
    // An inactive program lets the row under the pointer take the focus.
    if (QApplication::focusWidget() == nullptr)
        setFocus(Qt::MouseFocusReason);
    pointerLeft_ = false;
    SetTimer(kHoverTimer, kHoverPollMs);
    if (!hover_) {
        hover_ = true;
        SetBackgroundPicture(hoverPicture_);
    }
    event->accept();
}

void CRemDev::leaveEvent(QEvent* event) {
    // The poll finds this too; the leave event is simply sooner.
    KillTimer(kHoverTimer);
    pointerLeft_ = true;
    if (hover_) {
        hover_ = false;
        SetBackgroundPicture(normalPicture_);
    }
    DialogWindow::leaveEvent(event);
}

void CRemDev::mousePressEvent(QMouseEvent* event) {
    // A row is not the window's background: it does not drag the window.
    event->accept();
}

void CRemDev::mouseDoubleClickEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton)
        OpenDevicePage();
    event->accept();
}

void CRemDev::OnTimer(int id) {
    if (id != kHoverTimer)
        return;
    if (!rect().contains(mapFromGlobal(QCursor::pos()))) {
        KillTimer(kHoverTimer);
        pointerLeft_ = true;
    }
    if (pointerLeft_ && hover_) {
        hover_ = false;
        SetBackgroundPicture(normalPicture_);
    } else if (!pointerLeft_ && !hover_) {
        hover_ = true;
        SetBackgroundPicture(hoverPicture_);
    }
}

}  // namespace corvix
