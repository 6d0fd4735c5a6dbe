#pragma once

// The Advanced page (dialog 172): a private network name for this
// computer's adapter alone or for it and the added devices (the two scope
// radios), the default network name, factory settings of the local device
// or of the added devices and the local device, and the firmware upgrade.
// The device operations run in the reset dialog (CreSetLocalDev), the
// upgrade in CUpGrade.
//
// User-interface thread only.

#include <QString>

#include "Page.h"
#include "ReSetLocalDev.h"

namespace ambrel {

class CAdvanced : public CPage {
    Q_OBJECT
public:
    // Control ids.
    static constexpr int kScopeLocal = 1038;
    static constexpr int kScopeAll = 1039;
    static constexpr int kUpgradeButton = 1040;
    static constexpr int kResetLocalButton = 1041;
    static constexpr int kSetNameButton = 1042;
    static constexpr int kNameEdit = 1043;
    static constexpr int kDefaultName = 1044;
    static constexpr int kResetAllButton = 1064;

    // Network names take 4 to 23 bytes in the language's ANSI code page.
    static constexpr int kMinNameBytes = 4;
    static constexpr int kMaxNameBytes = 23;

    explicit CAdvanced(QWidget* parent);
    ~CAdvanced() override;

    // Where the set-network operation goes: the local device alone (the
    // first radio, chosen at start) or the local device and then the marked
    // remote devices.
    CreSetLocalDev::Mode NameScope() const;

    // Whether `name` is a network name the devices take: 4 to 23 bytes in
    // the ANSI code page of `languageId`, every character convertible.
    static bool IsValidNetworkName(const QString& name, int languageId);

protected:
    void OnInitDialog() override;
    void OnCommand(int id) override;
    void PaintBackground(QPainter& painter) override;

private:
    void LayOutControls();
    void SetScope(bool local);
    void ToggleDefaultName();
    void SetNetworkName();
    void OpenResetDialog(CreSetLocalDev::Mode mode);
    void OpenUpgradeDialog();

    bool scopeLocal_ = true;
};

}  // namespace ambrel
