#pragma once

// Corvix's main window (template 102): the title banner and the body with
// the list of the access points found, 10 of its 32 rows on show at a time,
// a scroll bar, the rescan button, minimise-to-tray and close buttons, and
// the icon in the notification area with its menu.
//
// The list shows the result of the last finished scan. Every scan runs on a
// worker thread through the single scan slot of ScanThread.h: the first one
// while the window is set up, then one every 60 seconds (timer 3) and one
// for every press of the rescan button. A request that arrives while a scan
// runs is skipped. The worker ends with WM_SCAN_DONE, and only then does the
// window read the list records.
//
// User-interface thread only.

#include <QImage>
#include <QRect>
#include <array>
#include <optional>
#include <thread>

#include "DialogWindow.h"
#include "PlcTray.h"

class QScrollBar;

namespace ambrel {
class BCMenu;
class COrvikButton;
class COrvikStatic;
}  // namespace ambrel

namespace corvix {

class CRemDev;

inline constexpr uint32_t WM_LAYOUT_ROWS = 0x1426;  // lParam: the row that gets the focus
inline constexpr uint32_t WM_START_SCAN = 0x1427;   // start a rescan on a worker thread

class CMainFrame : public ambrel::DialogWindow {
    Q_OBJECT
public:
    static constexpr int kRescanTimer = 3;
    static constexpr int kRescanIntervalMs = 60000;
    // The result of a run ended from the tray menu's "exit" (the program's
    // exit code).
    static constexpr int kQuitResult = 0;

    explicit CMainFrame(QWidget* parent = nullptr);
    ~CMainFrame() override;

    // Timer 3 asks for a rescan.
    void OnTimer(int id) override;

    // The tray menu's popup as a right click on the icon shows it: loaded
    // afresh from menu 159, texts 200 and 201, flat, "show" in bold. Null
    // when the menu template is missing.
    ambrel::BCMenu* PrepareTrayMenu();

    // ---- State, for tests ------------------------------------------------------------
    bool IsScanning() const { return scanActive_; }
    int TopIndex() const { return topIndex_; }
    int FocusIndex() const { return focusIndex_; }
    int RowCount() const { return rowCount_; }
    CRemDev* Row(int index) const;
    QScrollBar* ScrollBar() const;
    ambrel::COrvikButton* Button(int id) const;
    ambrel::COrvikStatic* Header(int id) const;
    ambrel::CPlcTray& Tray() { return tray_; }
    QRect TitleRect() const { return titleRect_; }
    QRect BodyRect() const { return bodyRect_; }

protected:
    void OnInitDialog() override;
    void OnOK() override {}
    // Closing from the window manager ends the program as the close button does.
    void OnCancel() override;
    void OnCommand(int id) override;
    ambrel::LResult OnMessage(uint32_t message, ambrel::WParam wParam,
                              ambrel::LParam lParam) override;
    void PaintBackground(QPainter& painter) override;
    void wheelEvent(QWheelEvent* event) override;

private:
    void SetUpButton(int id, int rectId, int normal, int hover, int pressed, int disabled);
    void SetUpHeaders();
    void StartScan();
    void OnScanDone();
    void RefreshRows();
    void ConfigureScrollBar();
    void LayoutRows(int focus);
    void OnScroll(int position);
    void OnTrayNotify(uint32_t mouseMessage);
    void ShowTrayMenu();
    void CentreWindow();
    void Minimise();
    // Releases the adapter lists and ends the run with `result`; while a
    // scan runs, the window hides and ends when the scan has reported.
    void RequestEnd(int result);
    void EndNow(int result);
    void WaitForWorker();

    QIcon icon_;
    const QImage* titlePicture_ = nullptr;
    const QImage* bodyPicture_ = nullptr;
    const QImage* sparePicture_ = nullptr;
    QRect titleRect_;
    QRect bodyRect_;
    QRect windowRect_;
    ambrel::CPlcTray tray_;

    int topIndex_ = 0;
    int focusIndex_ = 0;
    int rowCount_ = 0;
    int rowHeight_ = 0;
    int rowWidth_ = 0;
    int rowLeft_ = 0;
    int rowTop_ = 0;
    std::array<CRemDev*, 32> rows_{};
    bool updatingScrollBar_ = false;

    std::thread worker_;
    bool scanActive_ = false;
    std::optional<int> pendingEnd_;
    bool ended_ = false;
};

}  // namespace corvix
