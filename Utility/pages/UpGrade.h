#pragma once

// The upgrade dialog (dialog 217): the user chooses a firmware file (.NVM)
// and a parameter file (.PIB); Start checks and loads both, looks for the
// local device and has it upgraded on a worker thread, then restores its
// factory settings. A failed upgrade of a first-generation device is
// followed by a restart of the device. The outcome shows in the shape of the
// message box. The dialog never closes while one of its workers runs.
//
// Use: CUpGrade dialog(window()); dialog.RunModal();
//
// User-interface thread only.

#include <QString>

#include "WorkerDialog.h"

namespace ambrel {

class CUpGrade : public CWorkerDialog {
    Q_OBJECT
public:
    explicit CUpGrade(QWidget* parent = nullptr);
    ~CUpGrade() override;

    // Control ids.
    static constexpr int kAnimation = 1046;
    static constexpr int kFirmwareEdit = 1050;
    static constexpr int kParameterEdit = 1051;
    static constexpr int kChooseFirmware = 1052;
    static constexpr int kChooseParameters = 1053;
    static constexpr int kStartButton = 1054;
    static constexpr int kCancelButton = 1055;
    static constexpr int kFirmwareLabel = 1056;
    static constexpr int kParameterLabel = 1057;
    static constexpr int kCloseButton = 1058;
    static constexpr int kStatusLine = 1065;

    // What the dialog shows.
    enum DisplayState { kReady = 0, kBusy = 1, kSucceeded = 2, kFailed = 3 };

    // Which worker runs.
    enum class Phase { kIdle, kUpgrading, kResetting, kRestarting };

    Phase CurrentPhase() const { return phase_; }
    // True while a worker of this dialog runs: meanwhile it does not close.
    bool IsWorkerRunning() const override { return phase_ != Phase::kIdle; }

    // The chosen files (empty until chosen).
    const QString& FirmwarePath() const { return firmwarePath_; }
    const QString& ParameterPath() const { return parameterPath_; }

    // The chooser filters.
    static QString FirmwareFilter();
    static QString ParameterFilter();

protected:
    void OnInitDialog() override;
    void OnCommand(int id) override;
    void OnOK() override;
    void OnCancel() override;
    LResult OnMessage(uint32_t message, WParam wParam, LParam lParam) override;

private:
    void ChooseFile(bool firmware);
    void Start();
    void StartWorker(Phase phase);
    void OnUpgradeDone(WParam outcome);
    void ShowDialogState(int state);
    void Close();

    QString firmwarePath_;
    QString parameterPath_;
    Phase phase_ = Phase::kIdle;
};

}  // namespace ambrel
