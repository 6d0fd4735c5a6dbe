#pragma once

// The device-operation dialog (dialog 210): asks for confirmation, runs one
// operation on a worker thread while an animation plays, then shows the
// outcome in the shape of the message box. Four operations: set the network
// name on the local device alone or on the local device and then the marked
// remote devices (answered and password accepted), and restore the factory
// defaults of the local device alone or of the marked remote devices and then
// the local device.
//
// Use (set-network modes):
//
//     if (!SetPendingNetworkName(name))          // does not fit in 24 bytes
//         ...;
//     CreSetLocalDev dialog(CreSetLocalDev::Caller::kStatusPage,
//                           CreSetLocalDev::Mode::kSetNetworkLocal, this);
//     dialog.RunModal();
//
// The reset modes need nothing before. RunModal returns when the user has
// closed the dialog (kIdOk after an outcome, kIdCancel before Start); the
// dialog never closes while its worker runs.
//
// User-interface thread only.

#include <QRect>
#include <QString>

#include "WorkerDialog.h"

namespace ambrel {

// The network name that the next set-network operation applies, as typed.
// The dialog copies it into the NetWorkName setting when the operation
// starts.
QString& PendingNetworkName();

// Makes `name` the pending network name and its ANSI form (language code
// page) the networkName of the device model's KeyRequest. False, changing
// nothing, when the ANSI form does not fit the 24-byte field with its
// terminator. The callers check the 4-to-23-byte rule before.
bool SetPendingNetworkName(const QString& name);

class CreSetLocalDev : public CWorkerDialog {
    Q_OBJECT
public:
    // Who opened the dialog: chooses the confirmation text of the set-network
    // modes.
    enum class Caller { kAdvancedPage, kStatusPage };

    // What Start does.
    enum class Mode {
        kSetNetworkLocal,  // the local device joins the pending network
        kSetNetworkAll,    // the local device, then the marked remote devices
        kResetLocal,       // factory defaults of the local device
        kResetAll,         // the marked remote devices, then the local device
    };

    // The dialog's forms: confirmation, running operation, outcomes.
    enum DisplayState { kConfirm = 0, kBusy = 1, kSucceeded = 2, kFailed = 3 };

    CreSetLocalDev(Caller caller, Mode mode, QWidget* parent = nullptr);
    // Clears the device model's setKeyLocal after a set-network operation.
    ~CreSetLocalDev() override;

    // Control ids.
    static constexpr int kMessageLine = 1045;
    static constexpr int kAnimation = 1046;
    static constexpr int kCloseButton = 1047;
    static constexpr int kStartButton = 1048;
    static constexpr int kCancelButton = 1049;

    Caller GetCaller() const { return caller_; }
    Mode GetMode() const { return mode_; }
    bool IsNetworkNameMode() const {
        return mode_ == Mode::kSetNetworkLocal || mode_ == Mode::kSetNetworkAll;
    }
    // True from Start until the worker's report has been handled: meanwhile
    // the dialog does not close.
    bool IsWorkerRunning() const override { return workerRunning_; }

    // The string id of the message line for `state`. The confirmation names
    // the devices the operation reaches, whoever opened the dialog.
    static int MessageTextId(Caller caller, Mode mode, int state);

    // The message line's rectangle in the outcome forms for a text `h` pixels
    // high when wrapped in `width`: left 85, centred on y 93; never lower
    // than the text.
    static QRect PlaceResultText(int width, int h);

protected:
    void OnInitDialog() override;
    void OnCommand(int id) override;
    void OnOK() override;
    void OnCancel() override;
    LResult OnMessage(uint32_t message, WParam wParam, LParam lParam) override;

private:
    void Start();
    void ShowDialogState(int state);

    Caller caller_;
    Mode mode_;
    bool workerRunning_ = false;
    QRect messageRect_;
};

}  // namespace ambrel
