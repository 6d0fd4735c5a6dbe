#include "UpGrade.h"

#include <QFile>
#include <QLineEdit>
#include <optional>
#include <string>

#include "DeviceModel.h"
#include "Discovery.h"
#include "Fonts.h"
#include "ImageCache.h"
#include "Layout.h"
#include "ModalDialogs.h"
#include "OrvikButton.h"
#include "OrvikPicture.h"
#include "OrvikStatic.h"
#include "PlcMsgBox.h"
#include "ReSetLocalDev.h"
#include "ResourceIds.h"
#include "Shell.h"
#include "UiState.h"
#include "UiString.h"
#include "UpgradeFiles.h"
#include "WorkerRoutines.h"

namespace ambrel {
namespace {

// Layout.
constexpr int kRectAnimation = 5007;
constexpr int kRectFirmwareEdit = 5008;
constexpr int kRectParameterEdit = 5009;
constexpr int kRectStatusLine = 5013;
constexpr int kLabelFont = 1006;
constexpr int kLabelPointSize = 1031;
constexpr QRect kBusyStatus(60, 120, 400, 24);

// The labels and the status line: control, text and layout rectangle.
struct Label {
    int controlId;
    int textId;
    int layoutId;
};
constexpr Label kLabels[] = {{CUpGrade::kFirmwareLabel, 5003, 5005},
                             {CUpGrade::kParameterLabel, 5004, 5006},
                             {CUpGrade::kStatusLine, 5012, kRectStatusLine}};

// Status texts.
constexpr int kTextReady = 5012;
constexpr int kTextBusy = 5014;
constexpr int kTextSucceeded = 5015;
constexpr int kTextFailed = 5016;

// The report of the restart that follows a failed first-generation upgrade
// (the restart routine itself reports nothing).
constexpr WParam kRestartFinished = 2;

void ShowFileMessage(UpgradeFileMessage message, QWidget* parent) {
    ShowMessage(static_cast<int>(message), kMsgOk | kMsgIconError, parent);
}

}  // namespace

CUpGrade::CUpGrade(QWidget* parent)
    : CWorkerDialog(res::kDialogUpgrade, res::kPngUpgradeBackground, parent) {}

CUpGrade::~CUpGrade() = default;

// Device files carry upper-case extensions, but a copy may have lost them.
QString CUpGrade::FirmwareFilter() {
    return QStringLiteral("Files (*.NVM *.nvm)");
}

QString CUpGrade::ParameterFilter() {
    return QStringLiteral("Files (*.PIB *.pib)");
}

// ---- Initialisation ----------------------------------------------------------------

void CUpGrade::OnInitDialog() {
    auto* animation = Attach<COrvikPicture>(kAnimation);
    animation->LoadGifResource(res::kGifBusy);
    MoveToLayout(animation, kRectAnimation);
    animation->hide();

    QFont editFont(QStringLiteral("Arial"));
    if (const int points = ReadLayoutInt(res::kIntPagePointSize); points > 0)
        editFont.setPointSize(points);
    const std::pair<int, int> edits[] = {{kFirmwareEdit, kRectFirmwareEdit},
                                         {kParameterEdit, kRectParameterEdit}};
    for (const auto& [id, layoutId] : edits) {
        if (auto* edit = Control<QLineEdit>(id)) {
            edit->setFont(editFont);
            // Only the choosers set the paths.
            edit->setReadOnly(true);
            MoveToLayout(edit, layoutId);
        }
    }

    const LogFont labelFont = MakeLogFont(kLabelFont);
    const int points = ReadLayoutInt(kLabelPointSize);
    for (const Label& entry : kLabels) {
        auto* label = Attach<COrvikStatic>(entry.controlId);
        label->SetLogFont(labelFont);
        label->SetPointSize(points);
        label->SetCaption(LoadUiString(entry.textId));
        MoveToLayout(label, entry.layoutId);
    }

    AttachButtons(*this, res::kUpgradeButtons);

    ShowDialogState(kReady);

    ShapeAsModalDialog(*this, res::kPngUpgradeBackground);
}

// ---- Commands and closing ------------------------------------------------------------

void CUpGrade::OnCommand(int id) {
    switch (id) {
        case kChooseFirmware:
        case kChooseParameters:
            if (State() == kReady)
                ChooseFile(id == kChooseFirmware);
            break;
        case kStartButton:
            if (State() == kReady && !IsWorkerRunning())
                Start();
            break;
        case kCancelButton:
        case kCloseButton:
            Close();
            break;
        default:
            break;
    }
}

void CUpGrade::OnOK() {
    // Enter never starts an upgrade by accident: it closes when closing is
    // possible.
    Close();
}

void CUpGrade::OnCancel() {
    Close();
}

void CUpGrade::Close() {
    CloseUnlessWorking(State() == kReady ? kIdCancel : kIdOk);
}

// ---- Files --------------------------------------------------------------------------------

void CUpGrade::ChooseFile(bool firmware) {
    const QString caption = LoadUiString(firmware ? 5003 : 5004);
    const QString path =
        ChooseOpenFile(this, caption, firmware ? FirmwareFilter() : ParameterFilter());
    if (path.isEmpty())
        return;
    (firmware ? firmwarePath_ : parameterPath_) = path;
    if (auto* edit = Control<QLineEdit>(firmware ? kFirmwareEdit : kParameterEdit))
        edit->setText(path);
}

// ---- The upgrade --------------------------------------------------------------------------

void CUpGrade::Start() {
    const UpgradeMessageCallback message = [this](UpgradeFileMessage text) {
        ShowFileMessage(text, this);
    };
    std::optional<UpgradeFiles> files =
        CheckUpgradeFiles(QFile::encodeName(firmwarePath_).toStdString(),
                          QFile::encodeName(parameterPath_).toStdString(), message);
    if (!files)
        return;

    if (!LoadUpgradeFiles(*files, message))
        return;
    DeviceModel& model = TheDeviceModel();
    {
        auto lock = LockDeviceOperations();
        model.localFound = ScanForLocalDevice() ? 1 : 0;
    }
    if (model.localFound == 0) {
        ShowMessage(res::kTextNoLocalDevice, kMsgOk | kMsgIconError, this);
        return;
    }
    ShowDialogState(kBusy);
    repaint();
    StartWorker(Phase::kUpgrading);
}

void CUpGrade::StartWorker(Phase phase) {
    phase_ = phase;
    switch (phase) {
        case Phase::kUpgrading:
            StartWorkerThread(UpgradeThread);
            break;
        case Phase::kResetting:
            StartWorkerThread(FactoryResetLocalThread);
            break;
        case Phase::kRestarting:
            StartWorkerThread([](WindowHandle window) {
                RestartLocalThread();
                Report(window, ResultMessage::UpgradeDone, kRestartFinished);
            });
            break;
        case Phase::kIdle:
            break;
    }
}

LResult CUpGrade::OnMessage(uint32_t message, WParam wParam, LParam lParam) {
    if (message == WM_UPGRADE_DONE) {
        OnUpgradeDone(wParam);
        return 0;
    }
    if (message == WM_DEVICE_OP_DONE) {
        if (phase_ == Phase::kResetting && (wParam == kReportSuccess || wParam == kReportFailure)) {
            phase_ = Phase::kIdle;
            ShowDialogState(wParam == kReportSuccess ? kSucceeded : kFailed);
            repaint();
        }
        return 0;
    }
    return DialogWindow::OnMessage(message, wParam, lParam);
}

void CUpGrade::OnUpgradeDone(WParam outcome) {
    if (phase_ == Phase::kRestarting && outcome == kRestartFinished) {
        phase_ = Phase::kIdle;
        ShowDialogState(kFailed);
        repaint();
        return;
    }
    if (phase_ != Phase::kUpgrading)
        return;
    if (outcome == kReportSuccess) {
        ShowDialogState(kBusy);
        repaint();
        StartWorker(Phase::kResetting);
    } else if (outcome == kReportFailure) {
        phase_ = Phase::kIdle;
        // A first-generation device is left in its update mode: it is
        // restarted, and the dialog stays until the restart has finished.
        if (TheDeviceModel().secondGeneration == 0)
            StartWorker(Phase::kRestarting);
        ShowDialogState(kFailed);
        repaint();
    }
}

// ---- The forms ------------------------------------------------------------------------------

void CUpGrade::ShowDialogState(int state) {
    SetState(state);
    auto* start = Control<COrvikButton>(kStartButton);
    auto* cancel = Control<COrvikButton>(kCancelButton);
    auto* close = Control<COrvikButton>(kCloseButton);
    auto* status = Control<COrvikStatic>(kStatusLine);
    auto* animation = Control<COrvikPicture>(kAnimation);
    const int fileControls[] = {kFirmwareEdit,     kParameterEdit, kChooseFirmware,
                                kChooseParameters, kFirmwareLabel, kParameterLabel};
    auto stopAnimation = [animation]() {
        if (animation != nullptr && animation->isVisible()) {
            animation->Stop();
            animation->hide();
        }
    };

    switch (state) {
        case kReady:
            SetButton(start, true, true);
            SetButton(cancel, true, true);
            SetButton(close, false, false);
            SetControlsVisible(fileControls, true);
            if (status != nullptr)
                status->SetCaption(LoadUiString(kTextReady));
            stopAnimation();
            break;
        case kBusy:
            SetButton(start, true, false);
            SetButton(cancel, true, false);
            SetButton(close, false, false);
            SetControlsVisible(fileControls, false);
            if (status != nullptr) {
                status->SetCaption(LoadUiString(kTextBusy));
                status->setGeometry(kBusyStatus);
            }
            if (animation != nullptr && !animation->isVisible()) {
                animation->show();
                animation->Draw();
            }
            break;
        default: {
            const bool succeeded = state == kSucceeded;
            SetButton(start, false, false);
            SetButton(cancel, false, false);
            // Closing waits for a restart that still runs.
            SetButton(close, true, !IsWorkerRunning());
            SetControlsVisible(fileControls, false);
            stopAnimation();
            if (IsCompact())
                break;
            ShowOutcomeForm(succeeded, close, status, succeeded ? kTextSucceeded : kTextFailed,
                            CreSetLocalDev::PlaceResultText);
            break;
        }
    }
}

}  // namespace ambrel
