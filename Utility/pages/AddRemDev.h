#pragma once

// The add-device dialog (dialog 203): names a device and joins it to the
// local device's network by its device password. New-device mode when the
// device model's setKeyByPassword is 1 (opened by the Network page's add
// button), remote-device mode when it is 0 (opened by a row's button, with
// that row's record and index).

#include <QString>

#include "DeviceRecord.h"
#include "WorkerDialog.h"

namespace ambrel {

class CAddRemDev : public CWorkerDialog {
    Q_OBJECT
public:
    // `networkPage` receives WM_REFRESH_DEVICES after a rename or a join
    // result. `record` and `row` describe the listed device (remote-device
    // mode); pass nullptr and -1 in new-device mode.
    CAddRemDev(QObject* networkPage, const DeviceRecord* record, int row,
               QWidget* parent = nullptr);
    ~CAddRemDev() override;

    // What the dialog shows: the input form, the running join, and the
    // compact outcome forms.
    enum DisplayState { kInput = 0, kWorking = 1, kSucceeded = 2, kFailed = 3 };

    // Control ids.
    static constexpr int kNameEdit = 1031;
    static constexpr int kPasswordEdit = 1032;
    static constexpr int kStatusText = 1062;
    static constexpr int kAnimation = 1063;
    static constexpr int kOkButton = 1033;
    static constexpr int kCancelButton = 1034;
    static constexpr int kCloseButton = 1061;

    bool IsNewDeviceMode() const { return newDeviceMode_; }
    // True from the start of the join until its result has been handled:
    // meanwhile the dialog does not close.
    bool IsJoinRunning() const { return joinRunning_; }
    bool IsWorkerRunning() const override { return joinRunning_; }
    // The remembered entry of the device (remote-device mode), kNotRemembered
    // when it has none, -2 before the user confirmed.
    int RememberedIndex() const { return rememberedIndex_; }

    // Four letters, a hyphen, four letters, a hyphen, four letters, a hyphen
    // and four letters (A to Z, a to z).
    static bool IsDevicePasswordForm(const QString& password);

    // The status text's rectangle in the outcome forms for a text `h` pixels
    // high when wrapped in `width`: it is never lower than the text.
    static QRect PlaceResultText(int width, int h);

protected:
    void OnInitDialog() override;
    void OnCommand(int id) override;
    void OnOK() override;
    void OnCancel() override;
    LResult OnMessage(uint32_t message, WParam wParam, LParam lParam) override;

private:
    void JoinDevice();
    void StartJoin(bool newDevice);
    void OnJoinDone(bool succeeded);
    void ShowDialogState(int state);
    void Close();

    QObject* networkPage_;
    DeviceRecord record_{};
    bool hasRecord_ = false;
    int row_ = -1;
    bool newDeviceMode_ = false;
    QString name_;
    QString password_;
    int rememberedIndex_ = -2;
    bool joinRunning_ = false;
};

}  // namespace ambrel
