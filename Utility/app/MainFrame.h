#pragma once

// Ambrel's only top-level window (dialog 102): title, tab bar with the four
// page tabs, close and minimise buttons, and the body in which one page is
// on show. It runs the start-up scan before it is first shown, paces the
// Network page's refresh, owns the icon in the notification area and saves
// the settings on the two ways out of the program.
//
// A page is a child dialog whose control id is its dialog id (Page(id)).
// Switching to a page sends it kWmActivate (both parameters 0): that is how
// a page learns that it is on show. What the pages share with the window
// (layout rectangles, the add-device flag, the device lock) is in UiState.h.

#include <QIcon>
#include <memory>

#include "DialogWindow.h"

namespace ambrel {

class CNetwork;
class CPlcTray;
class COrvikButton;
class SingleInstanceGuard;

class CMainFrame : public DialogWindow {
    Q_OBJECT
public:
    // Control ids of the window's buttons.
    static constexpr int kMinimiseButton = 1000;
    static constexpr int kCloseButton = 1001;
    static constexpr int kNetworkTab = 1012;
    static constexpr int kStatusTab = 1013;
    static constexpr int kAdvancedTab = 1014;
    static constexpr int kQosTab = 1015;
    // The page tabs' pages.
    static constexpr int kNetworkPage = 162;
    static constexpr int kStatusPage = 167;
    static constexpr int kAdvancedPage = 172;
    static constexpr int kQosPage = 177;
    // The refresh pacing: timer 3 every 3 s, a Network refresh every third tick.
    static constexpr int kRefreshTimer = 3;
    static constexpr int kRefreshPeriodMs = 3000;
    static constexpr int kTicksPerRefresh = 3;

    // `guard`: a second start of the program asks it to bring this window
    // forward (may be null).
    explicit CMainFrame(SingleInstanceGuard* guard = nullptr, QWidget* parent = nullptr);
    ~CMainFrame() override;

    // The page switch of tabs 1012 to 1015: nothing when `pageId` is the page
    // of the selected tab; otherwise the old page is hidden and disabled and
    // the new one shown, enabled and sent kWmActivate.
    void ShowPage(int pageId);
    // Centres the window on the screen's available area, shows it restored,
    // raises and activates it (the tray menu's show command, a left click on
    // the tray icon).
    void CentreAndShow();

    // A page by its dialog id (null for none).
    DialogWindow* Page(int pageId) const;
    CNetwork* NetworkPage() const;
    COrvikButton* Button(int controlId) const;
    int CurrentPage() const { return currentPage_; }
    int SelectedTab() const { return selectedTab_; }
    int RefreshTicks() const { return refreshTicks_; }
    // False for local devices of identifiers 5 and 0x21, which have no QoS tab.
    static bool QosOffered();
    CPlcTray& Tray() const { return *tray_; }

    // Timer 3: the Network refresh pacing.
    void OnTimer(int id) override;

protected:
    void OnInitDialog() override;
    void OnCommand(int id) override;
    LResult OnMessage(uint32_t message, WParam wParam, LParam lParam) override;
    void PaintBackground(QPainter& painter) override;
    void paintEvent(QPaintEvent* event) override;
    // Enter never ends the window; a close request from the window manager
    // (Escape is swallowed) acts like the close button.
    void OnOK() override {}
    void OnCancel() override;

    // Whether the icon is in the notification area. Hiding the window is
    // only offered while it is; otherwise the window is minimised instead,
    // so that it stays reachable.
    virtual bool TrayIconShown() const;

private:
    void CreatePages();
    void LayOutButtons();
    void ApplyQosRule();
    void SwitchTo(int pageId);
    void OnCloseButton();
    void ShowTrayMenu();
    void ExitProgram();

    SingleInstanceGuard* guard_;
    std::unique_ptr<CPlcTray> tray_;
    QIcon icon_;
    int currentPage_ = kNetworkPage;
    int selectedTab_ = kNetworkPage;
    int refreshTicks_ = 0;
    bool buttonsLaidOut_ = false;
    bool trayShown_ = false;
};

}  // namespace ambrel
