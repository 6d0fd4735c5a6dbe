#include "MainFrame.h"

#include <QApplication>
#include <QCursor>
#include <QPainter>
#include <QPixmap>
#include <QScreen>
#include <QScrollBar>
#include <QSystemTrayIcon>
#include <QThread>
#include <QWheelEvent>
#include <algorithm>

#include "AdapterEnumeration.h"
#include "ApListRecord.h"
#include "BCMenu.h"
#include "CorvixResourceIds.h"
#include "Fonts.h"
#include "ImageCache.h"
#include "Layout.h"
#include "ListLayout.h"
#include "OrvikButton.h"
#include "OrvikStatic.h"
#include "Placement.h"
#include "RemDev.h"
#include "ResourceBundle.h"
#include "ScanThread.h"
#include "UiString.h"

namespace corvix {
namespace {

using ambrel::LayoutRect;

QIcon LoadIconResource(int id) {
    QPixmap pixmap;
    if (std::optional<QByteArray> bytes = ambrel::FindResource(QStringLiteral("ICON"), id))
        pixmap.loadFromData(*bytes);
    return pixmap.isNull() ? QIcon() : QIcon(pixmap);
}

}  // namespace

CMainFrame::CMainFrame(QWidget* parent) : DialogWindow(res::kDialogMain, parent) {}

CMainFrame::~CMainFrame() {
    ended_ = true;
    KillTimer(kRescanTimer);
    WaitForWorker();
    tray_.DeleteTrayIcon();
    ambrel::ReleaseImageCache();
}

// ---- Set-up --------------------------------------------------------------------------------

void CMainFrame::OnInitDialog() {
    icon_ = LoadIconResource(res::kIconMain);
    setWindowIcon(icon_);

    titlePicture_ = &ambrel::LoadPngResource(res::kPngTitle);
    bodyPicture_ = &ambrel::LoadPngResource(res::kPngBody);
    sparePicture_ = &ambrel::LoadPngResource(res::kPngSpare);
    titleRect_ = QRect(0, 0, titlePicture_->width(), titlePicture_->height());
    bodyRect_ = QRect(0, titlePicture_->height(), bodyPicture_->width(), bodyPicture_->height());
    windowRect_ =
        QRect(0, 0, titlePicture_->width(), titlePicture_->height() + bodyPicture_->height());
    SetRoundedRegion(windowRect_, 5, 5);
    setFixedSize(windowRect_.size());
    move(0, 0);
    // The whole background drags the window; Enter and Escape do nothing.
    SetDragAreas({titleRect_, bodyRect_});
    SwallowKeys({Qt::Key_Return, Qt::Key_Enter, Qt::Key_Escape});

    const auto& close = res::kImagesClose;
    const auto& minimise = res::kImagesMinimise;
    const auto& rescan = res::kImagesRescan;
    SetUpButton(res::kButtonClose, res::kRectClose, close.normal, close.hover, close.pressed,
                close.disabled);
    SetUpButton(res::kButtonMinimise, res::kRectMinimise, minimise.normal, minimise.hover,
                minimise.pressed, minimise.disabled);
    SetUpButton(res::kButtonRescan, res::kRectRescan, rescan.normal, rescan.hover, rescan.pressed,
                rescan.disabled);

    rowLeft_ = ambrel::ReadLayoutInt(res::kIntRowLeftPlus3) - 3;
    rowTop_ = ambrel::ReadLayoutInt(res::kIntRowTop);
    const QImage& rowPicture = ambrel::LoadPngResource(res::kPngRow);
    rowHeight_ = rowPicture.height();
    rowWidth_ = rowPicture.width();

    SetUpHeaders();
    if (QScrollBar* bar = ScrollBar()) {
        ambrel::MoveToLayout(bar, res::kRectScrollBar);
        bar->setSingleStep(1);
        bar->setPageStep(kVisibleRows);
        connect(bar, &QScrollBar::valueChanged, this, &CMainFrame::OnScroll);
    }

    const QString title = ambrel::FindString(res::kTextTitle).value_or(QString());
    tray_.AddTrayIcon(title, this, icon_, ambrel::CPlcTray::kCorvixIconId);
    setWindowTitle(title);

    for (int i = 0; i < kListRows; ++i) {
        rows_[i] = new CRemDev(this);
        rows_[i]->Initialise();
        rows_[i]->hide();
    }
    // The bar lies over the rows' right ends.
    if (QScrollBar* bar = ScrollBar())
        bar->raise();

    CentreWindow();

    // The list starts empty; the first scan fills it when it reports.
    rowCount_ = 0;
    ConfigureScrollBar();
    LayoutRows(0);
    SetTimer(kRescanTimer, kRescanIntervalMs);
    StartScan();
}

void CMainFrame::SetUpButton(int id, int rectId, int normal, int hover, int pressed, int disabled) {
    auto* button = Attach<ambrel::COrvikButton>(id);
    button->SetButtonImages(&ambrel::LoadPngResource(normal), &ambrel::LoadPngResource(hover),
                            &ambrel::LoadPngResource(pressed), &ambrel::LoadPngResource(disabled));
    button->buttonStyle = ambrel::COrvikButton::kStylePicture;
    button->UseHandCursor(res::kCursorHand);
    button->MoveTo(ambrel::ReadLayoutRect(rectId, ButtonFallback(button)));
}

void CMainFrame::SetUpHeaders() {
    const int pointSize = ambrel::ReadLayoutInt(res::kIntRowPointSize);
    const QColor colour = ambrel::ReadLayoutColor(res::kColorHeaders);
    for (size_t i = 0; i < res::kHeaders.size(); ++i) {
        auto* header = Attach<ambrel::COrvikStatic>(res::kHeaders[i]);
        header->SetPointSize(pointSize)
            .SetForeColor(colour)
            .SetCaption(ambrel::LoadUiString(res::kTextHeaders[i]))
            .SetLogFont(ambrel::MakeLogFont(res::kFontHeaders));
        ambrel::MoveToLayout(header, res::kRectHeaders[i]);
    }
}

void CMainFrame::CentreWindow() {
    const QScreen* display = screen() != nullptr ? screen() : QGuiApplication::primaryScreen();
    if (display == nullptr)
        return;
    const QRect area = display->availableGeometry();
    move(area.left() + std::max(0, (area.width() - width()) / 2),
         area.top() + std::max(0, (area.height() - height()) / 2));
}

// ---- Controls and state --------------------------------------------------------------------

CRemDev* CMainFrame::Row(int index) const {
    return index >= 0 && index < kListRows ? rows_[index] : nullptr;
}

QScrollBar* CMainFrame::ScrollBar() const {
    return Control<QScrollBar>(res::kScrollBar);
}

ambrel::COrvikButton* CMainFrame::Button(int id) const {
    return Control<ambrel::COrvikButton>(id);
}

ambrel::COrvikStatic* CMainFrame::Header(int id) const {
    return Control<ambrel::COrvikStatic>(id);
}

// ---- Messages --------------------------------------------------------------------------------

ambrel::LResult CMainFrame::OnMessage(uint32_t message, ambrel::WParam wParam,
                                      ambrel::LParam lParam) {
    switch (message) {
        case ambrel::WM_TRAY_NOTIFY:
            OnTrayNotify(static_cast<uint32_t>(lParam & 0xFFFF));
            return 0;
        case WM_LAYOUT_ROWS:
            LayoutRows(static_cast<int>(lParam));
            return 0;
        case WM_START_SCAN:
            StartScan();
            return 0;
        case WM_SCAN_DONE:
            OnScanDone();
            return 0;
        default:
            return DialogWindow::OnMessage(message, wParam, lParam);
    }
}

void CMainFrame::OnCommand(int id) {
    switch (id) {
        case res::kButtonMinimise:
            Minimise();
            break;
        case res::kButtonClose:
            RequestEnd(ambrel::kIdOk);
            break;
        case res::kButtonRescan:
            StartScan();
            break;
        case res::kCommandShow:
            CentreWindow();
            BringToFront();
            break;
        case res::kCommandExit:
            RequestEnd(kQuitResult);
            break;
        default:
            break;
    }
}

void CMainFrame::OnCancel() {
    RequestEnd(ambrel::kIdCancel);
}

void CMainFrame::OnTimer(int id) {
    if (id == kRescanTimer)
        ambrel::SendWindowMessage(this, WM_START_SCAN);
}

// ---- Scanning --------------------------------------------------------------------------------

void CMainFrame::StartScan() {
    if (ended_ || pendingEnd_)
        return;
    repaint();
    // Skipped while any scan holds the slot: scans never overlap.
    std::optional<std::thread> worker =
        StartScanThread([this](uint32_t message, uintptr_t wParam, intptr_t lParam) {
            ambrel::SendWindowMessage(this, message, wParam, lParam);
        });
    if (!worker)
        return;
    // The slot was free, so an earlier worker of ours has already reported.
    if (worker_.joinable())
        worker_.join();
    worker_ = std::move(*worker);
    scanActive_ = true;
    if (auto* rescan = Button(res::kButtonRescan))
        rescan->setEnabled(false);
}

void CMainFrame::OnScanDone() {
    scanActive_ = false;
    if (ended_)
        return;
    if (pendingEnd_) {
        EndNow(*pendingEnd_);
        return;
    }
    // The worker waits for this handler: the tables are ours to read now.
    RefreshRows();
    if (auto* rescan = Button(res::kButtonRescan))
        rescan->setEnabled(true);
}

void CMainFrame::WaitForWorker() {
    // The worker's last act is a blocking send to this window: deliver it
    // here, or the worker would wait for a window that waits for it.
    while (scanActive_) {
        QCoreApplication::sendPostedEvents(this, QEvent::MetaCall);
        if (scanActive_)
            QThread::msleep(2);
    }
    if (worker_.joinable())
        worker_.join();
}

void CMainFrame::RequestEnd(int result) {
    if (ended_)
        return;
    if (scanActive_) {
        // The scan still uses the adapter lists: end once it has reported.
        pendingEnd_ = result;
        hide();
        return;
    }
    EndNow(result);
}

void CMainFrame::EndNow(int result) {
    pendingEnd_.reset();
    ReleaseAdapterLists();
    EndDialog(result);
}

// ---- The list --------------------------------------------------------------------------------

void CMainFrame::RefreshRows() {
    const int count = std::min<int>(listCount.load(), kListRows);
    if (QScrollBar* bar = ScrollBar())
        bar->setVisible(NeedsScrollBar(count));
    for (int i = 0; i < kListRows; ++i)
        rows_[i]->RefreshRow(i, apListRecords[i]);
    rowCount_ = count;
    ConfigureScrollBar();
    LayoutRows(0);
}

void CMainFrame::ConfigureScrollBar() {
    QScrollBar* bar = ScrollBar();
    if (bar == nullptr)
        return;
    // A list that got shorter brings topIndex back into its range.
    updatingScrollBar_ = true;
    bar->setRange(0, MaxTopIndex(rowCount_));
    bar->setPageStep(kVisibleRows);
    bar->setValue(topIndex_);
    bar->setEnabled(MaxTopIndex(rowCount_) > 0);
    bar->setVisible(NeedsScrollBar(rowCount_));
    updatingScrollBar_ = false;
    topIndex_ = bar->value();
}

void CMainFrame::OnScroll(int position) {
    if (updatingScrollBar_)
        return;
    topIndex_ = position;
    LayoutRows(focusIndex_);
}

void CMainFrame::LayoutRows(int focus) {
    focus = ClampFocusIndex(focus, rowCount_);
    const bool narrow = NeedsScrollBar(rowCount_);
    int y = rowTop_;
    for (int e = 0; e < kListRows; ++e) {
        CRemDev* row = rows_[e];
        if (IsRowOnShow(e, topIndex_, rowCount_)) {
            row->setEnabled(true);
            row->SetNarrow(narrow);
            row->setGeometry(rowLeft_, y, rowWidth_, rowHeight_);
            row->show();
            row->ShowNormalBackground();
            if (e == focus)
                row->setFocus(Qt::OtherFocusReason);
            y += rowHeight_;
        } else {
            row->hide();
            row->setEnabled(false);
        }
    }
    focusIndex_ = focus;
}

void CMainFrame::wheelEvent(QWheelEvent* event) {
    // The wheel over the list scrolls it.
    QScrollBar* bar = ScrollBar();
    if (bar != nullptr && bar->isVisible() && bar->isEnabled()) {
        QCoreApplication::sendEvent(bar, event);
        return;
    }
    DialogWindow::wheelEvent(event);
}

// ---- Painting --------------------------------------------------------------------------------

void CMainFrame::PaintBackground(QPainter& painter) {
    if (titlePicture_ == nullptr || bodyPicture_ == nullptr) {
        DialogWindow::PaintBackground(painter);
        return;
    }
    painter.drawImage(titleRect_, *titlePicture_);
    painter.drawImage(bodyRect_, *bodyPicture_);
}

// ---- Tray and window -------------------------------------------------------------------------

void CMainFrame::Minimise() {
    // Without a notification area a hidden window could not be brought
    // back: it is minimised instead.
    if (tray_.LastResult() && QSystemTrayIcon::isSystemTrayAvailable())
        hide();
    else
        showMinimized();
}

void CMainFrame::OnTrayNotify(uint32_t mouseMessage) {
    switch (mouseMessage) {
        case ambrel::WM_RBUTTONUP:
            ShowTrayMenu();
            break;
        case ambrel::WM_LBUTTONUP:
            CentreWindow();
            BringToFront();
            break;
        default:
            break;
    }
}

ambrel::BCMenu* CMainFrame::PrepareTrayMenu() {
    tray_.DestroyMenu();
    if (!tray_.LoadMenu(res::kMenuTray))
        return nullptr;
    ambrel::BCMenu* popup = tray_.GetSubMenu(0);
    if (popup == nullptr)
        return nullptr;
    popup->ModifyODMenu(ambrel::LoadUiString(res::kTextMenuShow), res::kCommandShow);
    popup->ModifyODMenu(ambrel::LoadUiString(res::kTextMenuExit), res::kCommandExit);
    ambrel::BCMenu::SetMenuDrawMode(ambrel::MenuDrawMode::Flat);
    popup->SetBoldItemId(res::kCommandShow);
    return popup;
}

void CMainFrame::ShowTrayMenu() {
    const QPoint where = QCursor::pos();
    raise();
    activateWindow();
    if (ambrel::BCMenu* popup = PrepareTrayMenu())
        popup->TrackPopupMenu(where, this);
    tray_.DestroyMenu();
}

}  // namespace corvix
