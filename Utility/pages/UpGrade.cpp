#include "UpGrade.h"

#include <QFile>
#include <QFontMetrics>
#include <QLineEdit>
#include <QPainter>
#include <optional>
#include <string>
#include <thread>

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

// The outcome forms, as in the reset dialog.
constexpr int kRectCompactClose = 1016;
constexpr int kCompactCloseShift = 50;
constexpr int kRectResultImage = 1010;
constexpr QRect kResultImageFallback(35, 71, 48, 48);
constexpr int kResultTextLeft = 85;
constexpr int kResultTextRightMargin = 17;

// The report of the restart that follows a failed first-generation upgrade
// (the restart routine itself reports nothing).
constexpr WParam kRestartFinished = 2;

QRect LayoutQRect(int id, const QRect& fallback) {
    return ReadLayoutRect(id, LayoutRect::FromQRect(fallback)).ToQRect();
}

void ShowFileMessage(UpgradeFileMessage message, QWidget* parent) {
    ShowMessage(static_cast<int>(message), kMsgOk | kMsgIconError, parent);
}

}  // namespace

CUpGrade::CUpGrade(QWidget* parent) : DialogWindow(res::kDialogUpgrade, parent) {}

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
    animation->setGeometry(LayoutQRect(kRectAnimation, animation->geometry()));
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
            edit->setGeometry(LayoutQRect(layoutId, edit->geometry()));
        }
    }

    const LogFont labelFont = MakeLogFont(kLabelFont);
    const int points = ReadLayoutInt(kLabelPointSize);
    for (const Label& entry : kLabels) {
        auto* label = Attach<COrvikStatic>(entry.controlId);
        label->SetLogFont(labelFont);
        label->SetPointSize(points);
        label->SetCaption(LoadUiString(entry.textId));
        label->setGeometry(LayoutQRect(entry.layoutId, label->geometry()));
    }

    for (const res::ButtonSkin& skin : res::kUpgradeButtons) {
        auto* button = Attach<COrvikButton>(skin.controlId);
        button->SetButtonImages(
            &LoadPngResource(skin.images.normal), &LoadPngResource(skin.images.hover),
            &LoadPngResource(skin.images.pressed), &LoadPngResource(skin.images.disabled));
        button->UseHandCursor(res::kCursorHand);
        button->setGeometry(LayoutQRect(skin.layoutId, button->geometry()));
    }

    ShowDialogState(kReady);

    const QImage& background = LoadPngResource(res::kPngUpgradeBackground);
    resize(background.size());
    move(ScreenCentredOrigin(background.size()));
    ShapeToPicture(*this, background);
    SetDragAreas(MainWindowDragAreas());
}

// ---- Commands and closing ------------------------------------------------------------

void CUpGrade::OnCommand(int id) {
    switch (id) {
        case kChooseFirmware:
        case kChooseParameters:
            if (state_ == kReady)
                ChooseFile(id == kChooseFirmware);
            break;
        case kStartButton:
            if (state_ == kReady && !IsWorkerRunning())
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
    // A worker reports to this dialog: it stays open until every report has
    // been handled.
    if (IsWorkerRunning())
        return;
    EndDialog(state_ == kReady ? kIdCancel : kIdOk);
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
    // Nobody waits for the workers: each ends once this dialog has handled
    // its report, which the dialog stays open for.
    auto* window = static_cast<WindowHandle>(static_cast<QWidget*>(this));
    switch (phase) {
        case Phase::kUpgrading:
            std::thread(UpgradeThread, window).detach();
            break;
        case Phase::kResetting:
            std::thread(FactoryResetLocalThread, window).detach();
            break;
        case Phase::kRestarting:
            std::thread([window]() {
                RestartLocalThread();
                Report(window, ResultMessage::UpgradeDone, kRestartFinished);
            }).detach();
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
    state_ = state;
    auto* start = Control<COrvikButton>(kStartButton);
    auto* cancel = Control<COrvikButton>(kCancelButton);
    auto* close = Control<COrvikButton>(kCloseButton);
    auto* status = Control<COrvikStatic>(kStatusLine);
    auto* animation = Control<COrvikPicture>(kAnimation);
    const int fileControls[] = {kFirmwareEdit,     kParameterEdit, kChooseFirmware,
                                kChooseParameters, kFirmwareLabel, kParameterLabel};
    auto setFilesVisible = [this, &fileControls](bool visible) {
        for (int id : fileControls) {
            if (QWidget* control = FindControl(id))
                control->setVisible(visible);
        }
    };
    auto setButton = [](COrvikButton* button, bool visible, bool enabled) {
        if (button != nullptr) {
            button->setVisible(visible);
            button->setEnabled(enabled);
        }
    };
    auto stopAnimation = [animation]() {
        if (animation != nullptr && animation->isVisible()) {
            animation->Stop();
            animation->hide();
        }
    };

    switch (state) {
        case kReady:
            setButton(start, true, true);
            setButton(cancel, true, true);
            setButton(close, false, false);
            setFilesVisible(true);
            if (status != nullptr)
                status->SetCaption(LoadUiString(kTextReady));
            stopAnimation();
            break;
        case kBusy:
            setButton(start, true, false);
            setButton(cancel, true, false);
            setButton(close, false, false);
            setFilesVisible(false);
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
            setButton(start, false, false);
            setButton(cancel, false, false);
            // Closing waits for a restart that still runs.
            setButton(close, true, !IsWorkerRunning());
            setFilesVisible(false);
            stopAnimation();
            if (compact_)
                break;

            compact_ = true;
            resultImage_ = succeeded ? res::kPngInformation : res::kPngError;
            const QImage& outline = LoadPngResource(res::kPngMessageBoxBackground);
            resize(kCompactWidth, kCompactHeight);
            move(ScreenCentredOrigin(outline.size()));
            ShapeToPicture(*this, outline);
            if (close != nullptr) {
                close->setGeometry(LayoutQRect(kRectCompactClose, close->geometry())
                                       .translated(kCompactCloseShift, 0));
            }
            if (status != nullptr) {
                const QString text = LoadUiString(succeeded ? kTextSucceeded : kTextFailed);
                status->SetCaption(text);
                const int width = kCompactWidth - kResultTextLeft - kResultTextRightMargin;
                const QFontMetrics metrics(status->GetLogFont().ToQFont());
                const int h = metrics
                                  .boundingRect(QRect(0, 0, width, 1 << 20),
                                                Qt::TextWordWrap | Qt::AlignLeft, text)
                                  .height();
                status->setGeometry(CreSetLocalDev::PlaceResultText(width, h));
            }
            InvalidateBackground();
            break;
        }
    }
}

void CUpGrade::PaintBackground(QPainter& painter) {
    if (!compact_) {
        painter.drawImage(QPoint(0, 0), LoadPngResource(res::kPngUpgradeBackground));
        return;
    }
    painter.drawImage(rect(), LoadPngResource(res::kPngMessageBoxBackground));
    painter.drawImage(LayoutQRect(kRectResultImage, kResultImageFallback).topLeft(),
                      LoadPngResource(resultImage_));
}

}  // namespace ambrel
