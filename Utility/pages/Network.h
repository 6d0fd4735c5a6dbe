#pragma once

// The Network page (dialog 162): the remote devices of the local device's
// network, one row per device, at most seven on show with a scroll bar. It
// refreshes (a full scan) whenever it is shown, when the main window's
// pacing or an add-device dialog asks (WM_REFRESH_DEVICES) and from its
// refresh button; after the start-up scan (WM_DEVICES_SCANNED) it only shows
// what that scan found. Its add button and each row's button open the
// add-device dialog.
//
// User-interface thread only.

#include <array>

#include "Page.h"

class QScrollBar;

namespace ambrel {

class CRemDev;

class CNetwork : public CPage {
    Q_OBJECT
public:
    static constexpr int kScrollBar = 1024;
    static constexpr int kRefreshButton = 1025;
    static constexpr int kAddButton = 1026;
    static constexpr int kUnusedButton = 1027;
    static constexpr int kSecondRefreshButton = 1028;
    static constexpr int kRows = 32;

    explicit CNetwork(QWidget* parent);
    ~CNetwork() override;

    // A full refresh: scan, stations, device list, parameter block, rows.
    // Does nothing while an add-device dialog is open; says when there is no
    // local device (message 144) and goes on with an empty list.
    void RefreshDevices();
    // The rows from the device list as it is (no scan), laid out again.
    void ShowRows();
    // The next refresh does not repeat message 144: the start-up scan has
    // just shown it.
    void SkipNextNoDeviceMessage() { skipNoDeviceMessage_ = true; }

    CRemDev* Row(int row) const;
    QScrollBar* ScrollBar() const;
    int ScrollPos() const;
    int ListedCount() const { return listedCount_; }
    int FocusedRow() const { return focusedRow_; }

protected:
    void OnInitDialog() override;
    void OnActivatePage() override;
    void OnCommand(int id) override;
    LResult OnMessage(uint32_t message, WParam wParam, LParam lParam) override;

private:
    void LayOutControls();
    void UpdateScrollBar();
    void UpdateRows();
    void LayOutRows(int focus);
    void OnScrollAction(int action);
    // Runs the add-device dialog: for row `row`, or for a new device (-1).
    void OpenAddDeviceDialog(int row);

    std::array<CRemDev*, kRows> rows_{};
    int rowLeft_ = 0;
    int listTop_ = 0;
    int rowWidth_ = 0;
    int rowHeight_ = 0;
    int listedCount_ = 0;
    int focusedRow_ = 0;
    bool skipNoDeviceMessage_ = false;
};

}  // namespace ambrel
