#pragma once

// The Status page (dialog 167): the local powerline device's MAC address,
// default device password, chip and firmware, and the network it belongs to
// (the default network, the user's own named network, or some other one).
// From here the user gives the local device a new network name, or puts it
// back on the default network: the page checks the name and hands it to the
// reset dialog, which changes the key on a worker.
//
// While the page is on show, timer 4 scans for the local device once a
// minute and shows it again; the timer stops when the keyboard focus leaves
// the page or the page is hidden.
//
// User-interface thread only.

#include <QString>

#include "Page.h"

class QCheckBox;
class QLineEdit;
class QKeyEvent;

namespace ambrel {

class COrvikStatic;

class CStatus : public CPage {
    Q_OBJECT
public:
    // Value fields.
    static constexpr int kMacValue = 1067;
    static constexpr int kNetworkValue = 1069;
    static constexpr int kPasswordValue = 1071;
    static constexpr int kFirmwareValue = 1073;
    static constexpr int kSoftwareValue = 1075;
    static constexpr int kChipValue = 1077;
    // The user's controls.
    static constexpr int kRefreshButton = 1064;
    static constexpr int kNameEdit = 1096;
    static constexpr int kDefaultNetworkBox = 1097;
    static constexpr int kApplyButton = 1098;
    // The once-a-minute check of the local device.
    static constexpr int kRefreshTimer = 4;
    static constexpr int kRefreshPeriodMs = 60000;
    // Network names take 4 to 23 bytes in the ANSI code page.
    static constexpr int kMinNameBytes = 4;
    static constexpr int kMaxNameBytes = 23;

    explicit CStatus(QWidget* parent);
    ~CStatus() override;

    // The local device from the device model: MAC, default password, chip,
    // firmware and network; empty values when there is none.
    void ShowLocalDevice();
    // Scan, read the parameter block, show. Says when there is no local
    // device or its block cannot be read (message 144).
    void RefreshLocalDevice();
    // Checks the typed name (4 to 23 ANSI bytes, message 4100 otherwise) and
    // runs the reset dialog that sets it on the local device.
    void ApplyNetworkName();

    // Whether `name` is a network name the page accepts: it converts to the
    // language's ANSI code page, in 4 to 23 bytes.
    static bool IsValidNetworkName(const QString& name, int languageId);

    COrvikStatic* Value(int id) const;
    QString ValueText(int id) const;
    QCheckBox* DefaultNetworkBox() const;
    QLineEdit* NameEdit() const;

    // Timer 4: a scan and a new display, unless an upgrade runs or an
    // add-device dialog is open.
    void OnTimer(int id) override;

protected:
    void OnInitDialog() override;
    void OnActivatePage() override;
    void OnCommand(int id) override;
    // Enter anywhere on the page applies the name.
    void keyPressEvent(QKeyEvent* event) override;
    void hideEvent(QHideEvent* event) override;

private:
    void LayOutControls();
    void OnDefaultNetworkClicked();
    // The edit box is open for a name unless it shows the default network's.
    void EnableNameEdit();
    // Runs the reset dialog for the pending name on the local device alone.
    void OpenNetworkNameDialog();
    // After the key change: the block read again, quietly, and the page shown
    // from it with its timer armed.
    void ShowAfterKeyChange();
    void OnFocusChanged(QWidget* old, QWidget* now);

    QString networkText_;
    QString chipText_;
    QString versionText_;
};

}  // namespace ambrel
