#include "MainFrame.h"

#include <QApplication>
#include <QCursor>
#include <QGuiApplication>
#include <QPainter>
#include <QPixmap>
#include <QScreen>
#include <algorithm>

#include "About.h"
#include "Advanced.h"
#include "AnsiText.h"
#include "AppSettings.h"
#include "DeviceModel.h"
#include "DeviceRefresh.h"
#include "ImageCache.h"
#include "Layout.h"
#include "Network.h"
#include "OrvikButton.h"
#include "Page.h"
#include "PlcMsgBox.h"
#include "PlcTray.h"
#include "Qos.h"
#include "RememberedDevices.h"
#include "ResourceBundle.h"
#include "ResourceIds.h"
#include "SingleInstance.h"
#include "Status.h"
#include "Transport.h"
#include "UiState.h"
#include "UiString.h"
#include "WorkerRoutines.h"

namespace ambrel {
namespace {

// The pages: dialog id, background picture, tab.
struct PageEntry {
    int pageId;
    int backgroundId;
    int tabId;
};
constexpr PageEntry kPages[] = {
    {CMainFrame::kNetworkPage, res::kPngNetworkPage, CMainFrame::kNetworkTab},
    {CMainFrame::kStatusPage, res::kPngStatusPage, CMainFrame::kStatusTab},
    {CMainFrame::kAdvancedPage, res::kPngAdvancedPage, CMainFrame::kAdvancedTab},
    {CMainFrame::kQosPage, res::kPngQosPage, CMainFrame::kQosTab},
};

constexpr int kAdvancedTabPlace = 139;
constexpr int kQosTabPlace = 140;
// Local devices of these identifiers have no QoS settings.
constexpr uint32_t kNoQosDeviceIds[] = {0x05, 0x21};
constexpr int kRegionEllipse = 5;

int PageOfCommand(int id) {
    for (const PageEntry& page : kPages) {
        if (page.tabId == id)
            return page.pageId;
    }
    return 0;
}

QIcon LoadMainIcon() {
    QPixmap picture;
    if (std::optional<QByteArray> data =
            FindResource(QString::fromLatin1(res::kTypeIcon), res::kIconMain))
        picture.loadFromData(*data);
    return QIcon(picture);
}

}  // namespace

CMainFrame::CMainFrame(SingleInstanceGuard* guard, QWidget* parent)
    : DialogWindow(res::kDialogMain, parent), guard_(guard), tray_(std::make_unique<CPlcTray>()) {}

CMainFrame::~CMainFrame() {
    KillTimer(kRefreshTimer);
    tray_->DeleteTrayIcon();
    // The pages and buttons go before the pictures they show.
    const QList<QWidget*> children = findChildren<QWidget*>(QString(), Qt::FindDirectChildrenOnly);
    qDeleteAll(children);
    CloseAdapters();
    ReleaseImageCache();
}

// ---- Initialisation ----------------------------------------------------------------

void CMainFrame::OnInitDialog() {
    LoadRememberedDevices();
    setWindowTitle(LoadUiString(res::kTextWindowTitle));

    // The private network name last set, for the local device's record; a
    // name that does not fit its field with the terminator is left out.
    DeviceModel& model = TheDeviceModel();
    const std::optional<std::string> networkName =
        ToAnsiBuffer(TheAppSettings().NetWorkName, model.localDevice.networkName.size(),
                     TheAppSettings().LanguageNumber());
    SetFieldText(model.localDevice.networkName, networkName.value_or(std::string()));

    icon_ = LoadMainIcon();
    setWindowIcon(icon_);
    if (guard_ != nullptr)
        AcceptActivationRequests(*guard_);

    MainLayout& layout = TheMainLayout();
    layout = ComputeMainLayout();
    CreatePages();

    bool found;
    {
        auto operation = LockDeviceOperations();
        found = StartupScan(LoadUiString(res::kTextNamingStyle).toLatin1().constData());
    }
    if (found) {
        SendWindowMessage(NetworkPage(), WM_DEVICES_SCANNED, 0, 0);
    } else {
        ShowMessage(res::kTextNoLocalDevice, kMsgOk | kMsgIconError, this);
        // The Network page's first refresh finds the same; once is enough.
        NetworkPage()->SkipNextNoDeviceMessage();
    }

    const QRect window = layout.window.ToQRect();
    SetRoundedRegion(window, kRegionEllipse, kRegionEllipse);
    resize(window.size());
    SetDragAreas({layout.title.ToQRect(), layout.body.ToQRect()});
    SwallowKeys({Qt::Key_Return, Qt::Key_Enter, Qt::Key_Escape, Qt::Key_F1});
    SetTimer(kRefreshTimer, kRefreshPeriodMs);

    LayOutButtons();
    SwitchTo(kNetworkPage);

    trayShown_ = tray_->AddTrayIcon(windowTitle(), this, icon_);
    Button(kStatusTab)->setEnabled(true);
    Button(kNetworkTab)->setEnabled(true);
    CentreAndShow();
}

void CMainFrame::CreatePages() {
    const LayoutRect& body = TheMainLayout().body;
    const QRect place(body.left + 10, body.top, body.Width() - 20, body.Height() - 12);
    for (const PageEntry& entry : kPages) {
        CPage* page = nullptr;
        if (entry.pageId == kNetworkPage)
            page = new CNetwork(this);
        else if (entry.pageId == kStatusPage)
            page = new CStatus(this);
        else if (entry.pageId == kQosPage)
            page = new CQos(this);
        else if (entry.pageId == kAdvancedPage)
            page = new CAdvanced(this);
        else
            page = new CPage(entry.pageId, entry.backgroundId, this);
        RegisterControl(entry.pageId, page);
        page->setGeometry(place);
        // Built while still enabled: the controls a page puts in place of its
        // template's take over the enabled state they find.
        page->Initialise();
        page->hide();
        page->setEnabled(false);
    }
}

void CMainFrame::LayOutButtons() {
    for (const res::ButtonSkin& skin : res::kMainButtons) {
        auto* button = Attach<COrvikButton>(skin.controlId);
        button->SetButtonImages(
            &LoadPngResource(skin.images.normal), &LoadPngResource(skin.images.hover),
            &LoadPngResource(skin.images.pressed), &LoadPngResource(skin.images.disabled));
        MoveToLayout(button, skin.layoutId);
        button->UseHandCursor(res::kCursorHand);
        button->setFocusPolicy(Qt::NoFocus);
        if (PageOfCommand(skin.controlId) != 0)
            button->buttonStyle = COrvikButton::kStyleTwoState;
    }
    buttonsLaidOut_ = true;
    ApplyQosRule();
}

bool CMainFrame::QosOffered() {
    const uint32_t id = TheDeviceModel().localDevice.deviceId;
    return std::find(std::begin(kNoQosDeviceIds), std::end(kNoQosDeviceIds), id) ==
           std::end(kNoQosDeviceIds);
}

void CMainFrame::ApplyQosRule() {
    if (!buttonsLaidOut_)
        return;
    const bool offered = QosOffered();
    COrvikButton* qos = Button(kQosTab);
    COrvikButton* advanced = Button(kAdvancedTab);
    const int advancedPlace = offered ? kAdvancedTabPlace : kQosTabPlace;
    const QRect advancedRect = LayoutQRect(advancedPlace, advanced->geometry());
    const QRect qosRect = LayoutQRect(kQosTabPlace, qos->geometry());
    if (advanced->geometry() != advancedRect)
        advanced->setGeometry(advancedRect);
    if (qos->geometry() != qosRect)
        qos->setGeometry(qosRect);
    if (qos->isHidden() == offered)
        qos->setVisible(offered);
}

// ---- Painting -----------------------------------------------------------------------

void CMainFrame::PaintBackground(QPainter& painter) {
    const MainLayout& layout = TheMainLayout();
    painter.drawImage(layout.title.ToQRect().topLeft(), LoadPngResource(res::kPngTitle));
    painter.drawImage(layout.tabBar.ToQRect().topLeft(), LoadPngResource(res::kPngTabBar));
    painter.drawImage(layout.body.ToQRect().topLeft(), LoadPngResource(res::kPngBody));
}

void CMainFrame::paintEvent(QPaintEvent* event) {
    // The local device may have changed since the last paint.
    if (!Background().isNull())
        ApplyQosRule();
    DialogWindow::paintEvent(event);
}

// ---- Pages --------------------------------------------------------------------------

DialogWindow* CMainFrame::Page(int pageId) const {
    return Control<DialogWindow>(pageId);
}

CNetwork* CMainFrame::NetworkPage() const {
    return Control<CNetwork>(kNetworkPage);
}

COrvikButton* CMainFrame::Button(int controlId) const {
    return Control<COrvikButton>(controlId);
}

void CMainFrame::ShowPage(int pageId) {
    if (pageId == selectedTab_ || Page(pageId) == nullptr)
        return;
    SwitchTo(pageId);
}

void CMainFrame::SwitchTo(int pageId) {
    selectedTab_ = pageId;
    for (const PageEntry& entry : kPages) {
        if (COrvikButton* tab = Button(entry.tabId)) {
            tab->checked = entry.pageId == pageId;
            tab->update();
        }
    }
    if (DialogWindow* old = Page(currentPage_)) {
        old->hide();
        old->setEnabled(false);
    }
    DialogWindow* page = Page(pageId);
    page->setEnabled(true);
    page->show();
    SendWindowMessage(page, kWmActivate, 0, 0);
    currentPage_ = pageId;
    update(TheMainLayout().body.ToQRect());
}

// ---- Showing, closing, the tray -------------------------------------------------------

void CMainFrame::CentreAndShow() {
    QScreen* screen = this->screen() != nullptr ? this->screen() : QGuiApplication::primaryScreen();
    if (screen != nullptr) {
        const QRect area = screen->availableGeometry();
        const int x = std::max((area.width() - width()) / 2, 0);
        const int y = std::max((area.height() - height()) / 2, 0);
        move(area.left() + x, area.top() + y);
    }
    setWindowState(windowState() & ~Qt::WindowMinimized);
    show();
    raise();
    activateWindow();
}

bool CMainFrame::TrayIconShown() const {
    return trayShown_;
}

void CMainFrame::OnCloseButton() {
    const AppSettings& settings = TheAppSettings();
    if (settings.notAskAgain == 0 &&
        AskMessage(LoadUiString(res::kTextCloseQuestion), kMsgOkCancel, this) != kResultOk) {
        return;
    }
    if (settings.isClosed == 0) {
        if (TrayIconShown())
            hide();
        else
            showMinimized();
        return;
    }
    ExitProgram();
}

void CMainFrame::OnCancel() {
    OnCloseButton();
}

void CMainFrame::ExitProgram() {
    // A dialog over the window may still run a device operation whose
    // outcome is yet to be remembered: it comes forward, and Exit waits
    // until it has been closed.
    QWidget* dialog = QApplication::activeModalWidget();
    if (dialog != nullptr && dialog != this) {
        if (!isVisible())
            CentreAndShow();
        dialog->raise();
        dialog->activateWindow();
        return;
    }
    if (!SaveSettingsOnExit())
        ShowMessage(res::kTextSettingsNotSaved, kMsgOk | kMsgIconError, this);
    EndDialog(kIdOk);
}

void CMainFrame::ShowTrayMenu() {
    const QPoint at = QCursor::pos();
    if (isVisible()) {
        raise();
        activateWindow();
    }
    BCMenu menu;
    if (!menu.LoadMenu(res::kMenuTray))
        return;
    BCMenu* items = menu.GetSubMenu(0);
    if (items == nullptr)
        return;
    items->ModifyODMenu(LoadUiString(res::kTextMenuShow), res::kCommandShow);
    items->ModifyODMenu(LoadUiString(res::kTextMenuAbout), res::kCommandAbout);
    items->ModifyODMenu(LoadUiString(res::kTextMenuExit), res::kCommandExit);
    items->TrackPopupMenu(at, this);
}

// ---- Commands, messages, timer ---------------------------------------------------------

void CMainFrame::OnCommand(int id) {
    if (const int page = PageOfCommand(id); page != 0) {
        ShowPage(page);
        return;
    }
    switch (id) {
        case kMinimiseButton:
            showMinimized();
            break;
        case kCloseButton:
            OnCloseButton();
            break;
        case res::kCommandShow:
            CentreAndShow();
            break;
        case res::kCommandAbout: {
            CAbout about(this);
            about.RunModal();
            break;
        }
        case res::kCommandExit:
            ExitProgram();
            break;
        default:
            break;
    }
}

LResult CMainFrame::OnMessage(uint32_t message, WParam wParam, LParam lParam) {
    if (message == WM_TRAY_NOTIFY) {
        if (static_cast<uint32_t>(lParam) == WM_RBUTTONUP)
            ShowTrayMenu();
        else if (static_cast<uint32_t>(lParam) == WM_LBUTTONUP)
            CentreAndShow();
        return 0;
    }
    return DialogWindow::OnMessage(message, wParam, lParam);
}

void CMainFrame::OnTimer(int id) {
    if (id != kRefreshTimer)
        return;
    if (currentPage_ != kNetworkPage) {
        refreshTicks_ = 0;
        return;
    }
    if (++refreshTicks_ >= kTicksPerRefresh) {
        refreshTicks_ = 0;
        SendWindowMessage(NetworkPage(), WM_REFRESH_DEVICES, 0, 0);
    }
}

}  // namespace ambrel
