#pragma once

// The program's icon in the notification area, which is at the same time
// the popup menu shown from it (a BCMenu). Clicks on the icon are sent to the
// record's window as WM_TRAY_NOTIFY (WindowMessage.h): wParam the icon
// identifier, lParam the mouse message (left or right button released, ...).
//
// Without a system tray the icon is simply not shown: AddTrayIcon reports
// false and the program goes on; the window stays reachable.
//
// User-interface thread only.

#include <QIcon>
#include <QPointer>
#include <QString>
#include <QSystemTrayIcon>
#include <QWidget>
#include <cstdint>

#include "BCMenu.h"

namespace ambrel {

inline constexpr uint32_t WM_TRAY_NOTIFY = 0x1425;

// Mouse messages carried in lParam of WM_TRAY_NOTIFY.
inline constexpr uint32_t WM_LBUTTONUP = 0x0202;
inline constexpr uint32_t WM_LBUTTONDBLCLK = 0x0203;
inline constexpr uint32_t WM_RBUTTONUP = 0x0205;
inline constexpr uint32_t WM_MBUTTONUP = 0x0208;

// The icon record as the programs fill it.
struct NotifyIconData {
    static constexpr uint32_t kRecordSize = 956;
    static constexpr uint32_t kFlagMessage = 1;
    static constexpr uint32_t kFlagIcon = 2;
    static constexpr uint32_t kFlagTip = 4;
    static constexpr int kTipLength = 127;  // characters, without the end mark

    uint32_t size = kRecordSize;
    QPointer<QWidget> window;  // receives the callback message; may be null
    uint32_t id = 0;           // 234 in Ambrel, 159 in Corvix
    uint32_t flags = 0;
    uint32_t callbackMessage = 0;
    QIcon icon;
    QString tip;  // at most kTipLength characters
};

class CPlcTray : public BCMenu {
    Q_OBJECT
public:
    static constexpr uint32_t kAmbrelIconId = 234;
    static constexpr uint32_t kCorvixIconId = 159;

    explicit CPlcTray(QWidget* parent = nullptr);
    ~CPlcTray() override;

    // Fills the record (callback WM_TRAY_NOTIFY; icon and tip valid) and
    // adds the icon to the notification area. False when there is no
    // notification area; the record is filled regardless.
    bool AddTrayIcon(const QString& tip, QWidget* window, const QIcon& icon,
                     uint32_t iconId = kAmbrelIconId);
    // New tip and icon for an icon already added.
    bool ModifyTrayIcon(const QString& tip, const QIcon& icon);
    bool ShowTrayIcon();
    bool HideTrayIcon();
    // Removes the icon (the owner does this when its window is destroyed).
    bool DeleteTrayIcon();

    const NotifyIconData& IconData() const { return iconData_; }
    bool LastResult() const { return lastResult_; }
    QSystemTrayIcon& TrayIcon() { return trayIcon_; }

    // `tip` cut to kTipLength characters (never between the two halves of a
    // surrogate pair).
    static QString CutTip(const QString& tip);
    // The mouse message for a click on the icon; 0 for none.
    static uint32_t MouseMessage(QSystemTrayIcon::ActivationReason reason);
    // Sends the callback message for a click on the icon to the window.
    void OnActivated(QSystemTrayIcon::ActivationReason reason);

private:
    QSystemTrayIcon trayIcon_;
    NotifyIconData iconData_;
    bool added_ = false;
    bool lastResult_ = false;
};

}  // namespace ambrel
