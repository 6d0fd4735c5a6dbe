#pragma once

// The add-device dialog (dialog 203): names a device and joins it to the
// local device's network by its device password. New-device mode when the
// device model's setKeyByPassword is 1 (opened by the Network page's add
// button), remote-device mode when it is 0 (opened by a row's button, with
// that row's record and index).

#include "DeviceRecord.h"
#include "DialogWindow.h"

namespace ambrel {

class CAddRemDev : public DialogWindow {
    Q_OBJECT
public:
    // `networkPage` receives WM_REFRESH_DEVICES after a rename or a join
    // result. `record` and `row` describe the listed device (remote-device
    // mode); pass nullptr and -1 in new-device mode.
    CAddRemDev(QObject* networkPage, const DeviceRecord* record, int row,
               QWidget* parent = nullptr);
    ~CAddRemDev() override;
};

}  // namespace ambrel
