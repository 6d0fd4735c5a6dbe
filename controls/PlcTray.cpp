#include "PlcTray.h"

#include "WindowMessage.h"

namespace ambrel {

CPlcTray::CPlcTray(QWidget* parent) : BCMenu(parent) {
    connect(&trayIcon_, &QSystemTrayIcon::activated, this, &CPlcTray::OnActivated);
}

CPlcTray::~CPlcTray() {
    trayIcon_.hide();
}

QString CPlcTray::CutTip(const QString& tip) {
    if (tip.size() <= NotifyIconData::kTipLength)
        return tip;
    QString cut = tip.left(NotifyIconData::kTipLength);
    if (cut.back().isHighSurrogate())
        cut.chop(1);
    return cut;
}

uint32_t CPlcTray::MouseMessage(QSystemTrayIcon::ActivationReason reason) {
    switch (reason) {
        case QSystemTrayIcon::Trigger:
            return WM_LBUTTONUP;
        case QSystemTrayIcon::DoubleClick:
            return WM_LBUTTONDBLCLK;
        case QSystemTrayIcon::Context:
            return WM_RBUTTONUP;
        case QSystemTrayIcon::MiddleClick:
            return WM_MBUTTONUP;
        case QSystemTrayIcon::Unknown:
            break;
    }
    return 0;
}

bool CPlcTray::AddTrayIcon(const QString& tip, QWidget* window, const QIcon& icon,
                           uint32_t iconId) {
    iconData_ = NotifyIconData();
    iconData_.window = window;
    iconData_.id = iconId;
    iconData_.flags =
        NotifyIconData::kFlagMessage | NotifyIconData::kFlagIcon | NotifyIconData::kFlagTip;
    iconData_.callbackMessage = WM_TRAY_NOTIFY;
    iconData_.icon = icon;
    iconData_.tip = CutTip(tip);

    trayIcon_.setIcon(iconData_.icon);
    trayIcon_.setToolTip(iconData_.tip);
    added_ = true;
    lastResult_ = ShowTrayIcon();
    return lastResult_;
}

bool CPlcTray::ModifyTrayIcon(const QString& tip, const QIcon& icon) {
    if (!added_)
        return lastResult_ = false;
    iconData_.tip = CutTip(tip);
    iconData_.icon = icon;
    trayIcon_.setIcon(icon);
    trayIcon_.setToolTip(iconData_.tip);
    return lastResult_ = QSystemTrayIcon::isSystemTrayAvailable();
}

bool CPlcTray::ShowTrayIcon() {
    if (!added_ || !QSystemTrayIcon::isSystemTrayAvailable())
        return lastResult_ = false;
    trayIcon_.show();
    return lastResult_ = true;
}

bool CPlcTray::HideTrayIcon() {
    trayIcon_.hide();
    return lastResult_ = added_;
}

bool CPlcTray::DeleteTrayIcon() {
    trayIcon_.hide();
    lastResult_ = added_;
    added_ = false;
    return lastResult_;
}

void CPlcTray::OnActivated(QSystemTrayIcon::ActivationReason reason) {
    const uint32_t mouse = MouseMessage(reason);
    if (!added_ || mouse == 0 || !iconData_.window)
        return;
    SendWindowMessage(iconData_.window, iconData_.callbackMessage, iconData_.id,
                      static_cast<LParam>(mouse));
}

}  // namespace ambrel
