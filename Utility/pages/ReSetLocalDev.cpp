#include "ReSetLocalDev.h"

#include <algorithm>
#include <string>

#include "AnsiText.h"
#include "AppSettings.h"
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
#include "ResourceIds.h"
#include "UiState.h"
#include "UiString.h"
#include "WorkerRoutines.h"

namespace ambrel {
namespace {

// Layout of the message line and the animation.
constexpr int kRectMessageLine = 4001;
constexpr int kRectAnimation = 4004;
constexpr int kLineFont = 1006;
constexpr int kLinePointSize = 1031;

// Message line texts.
constexpr int kTextConfirmResetLocal = 4000;
constexpr int kTextConfirmNameAll = 4101;
constexpr int kTextConfirmNameLocal = 4106;
constexpr int kTextConfirmResetAll = 4105;
constexpr int kTextBusyResetLocal = 4006;
constexpr int kTextBusyResetAll = 154;
constexpr int kTextBusyName = 4102;
constexpr int kTextResetDone = 4007;
constexpr int kTextResetFailed = 4008;
constexpr int kTextNameDone = 4103;
constexpr int kTextNameFailed = 4104;

// The outcome forms' text.
constexpr int kResultTextLeft = 85;
constexpr int kResultTextCentre = 93;

constexpr size_t kNetworkNameBytes = 24;  // terminator included

}  // namespace

QString& PendingNetworkName() {
    static QString name;
    return name;
}

bool SetPendingNetworkName(const QString& name) {
    const std::optional<std::string> ansi =
        ToAnsiBuffer(name.toStdU16String(), kNetworkNameBytes, TheAppSettings().LanguageNumber());
    if (!ansi)
        return false;
    PendingNetworkName() = name;
    SetFieldText(TheDeviceModel().keyRequest.networkName, *ansi);
    return true;
}

CreSetLocalDev::CreSetLocalDev(Caller caller, Mode mode, QWidget* parent)
    : CWorkerDialog(res::kDialogReset, res::kPngResetBackground, parent),
      caller_(caller),
      mode_(mode) {}

CreSetLocalDev::~CreSetLocalDev() {
    // The set-network operations choose the local set-key form; it stays
    // chosen only for them, whichever scope they had (a set-network for all
    // devices without a marked remote device leaves it set too).
    if (IsNetworkNameMode())
        TheDeviceModel().setKeyLocal = 0;
}

int CreSetLocalDev::MessageTextId(Caller caller, Mode mode, int state) {
    // The confirmation says which devices the operation reaches; that
    // follows from the mode alone, so both callers get the same text.
    Q_UNUSED(caller);
    const bool name = mode == Mode::kSetNetworkLocal || mode == Mode::kSetNetworkAll;
    switch (state) {
        case kConfirm:
            switch (mode) {
                case Mode::kSetNetworkLocal:
                    return kTextConfirmNameLocal;
                case Mode::kSetNetworkAll:
                    return kTextConfirmNameAll;
                case Mode::kResetLocal:
                    return kTextConfirmResetLocal;
                case Mode::kResetAll:
                    return kTextConfirmResetAll;
            }
            return 0;
        case kBusy:
            if (name)
                return kTextBusyName;
            return mode == Mode::kResetLocal ? kTextBusyResetLocal : kTextBusyResetAll;
        case kSucceeded:
            return name ? kTextNameDone : kTextResetDone;
        case kFailed:
            return name ? kTextNameFailed : kTextResetFailed;
        default:
            return 0;
    }
}

QRect CreSetLocalDev::PlaceResultText(int width, int h) {
    const int top = kResultTextCentre - h / 2;
    const int height = 2 * h - 16;
    return QRect(kResultTextLeft, top, width, std::max(height, h));
}

// ---- Initialisation ----------------------------------------------------------------

void CreSetLocalDev::OnInitDialog() {
    auto* animation = Attach<COrvikPicture>(kAnimation);
    animation->LoadGifResource(res::kGifBusy);
    MoveToLayout(animation, kRectAnimation);
    animation->hide();

    auto* line = Attach<COrvikStatic>(kMessageLine);
    line->SetLogFont(MakeLogFont(kLineFont));
    line->SetPointSize(ReadLayoutInt(kLinePointSize));
    line->SetCaption(LoadUiString(MessageTextId(caller_, mode_, kConfirm)));
    messageRect_ = LayoutQRect(kRectMessageLine, line->geometry());
    line->setGeometry(messageRect_);

    AttachButtons(*this, res::kResetButtons);

    ShowDialogState(kConfirm);

    ShapeAsModalDialog(*this, res::kPngResetBackground);
}

// ---- Commands and closing ------------------------------------------------------------

void CreSetLocalDev::OnCommand(int id) {
    switch (id) {
        case kStartButton:
            if (State() == kConfirm)
                Start();
            break;
        case kCancelButton:
            CloseUnlessWorking(kIdCancel);
            break;
        case kCloseButton:
            CloseUnlessWorking(kIdOk);
            break;
        default:
            break;
    }
}

void CreSetLocalDev::OnOK() {
    // Enter: Start in the confirmation, close in the outcome forms.
    if (State() == kConfirm)
        Start();
    else
        CloseUnlessWorking(kIdOk);
}

void CreSetLocalDev::OnCancel() {
    // Escape or the window manager's close.
    CloseUnlessWorking(State() == kConfirm ? kIdCancel : kIdOk);
}

// ---- The operation ------------------------------------------------------------------------

void CreSetLocalDev::Start() {
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
    if (IsNetworkNameMode())
        TheAppSettings().NetWorkName = PendingNetworkName().toStdU16String();

    void (*routine)(WindowHandle) = nullptr;
    switch (mode_) {
        case Mode::kSetNetworkLocal:
            routine = SetNetworkLocalThread;
            break;
        case Mode::kSetNetworkAll:
            routine = SetNetworkAllThread;
            break;
        case Mode::kResetLocal:
            routine = FactoryResetLocalThread;
            break;
        case Mode::kResetAll:
            routine = FactoryResetAllThread;
            break;
    }
    workerRunning_ = true;
    StartWorkerThread(routine);
}

LResult CreSetLocalDev::OnMessage(uint32_t message, WParam wParam, LParam lParam) {
    if (message == WM_DEVICE_OP_DONE) {
        if (workerRunning_ && (wParam == kReportSuccess || wParam == kReportFailure)) {
            workerRunning_ = false;
            ShowDialogState(wParam == kReportSuccess ? kSucceeded : kFailed);
            repaint();
        }
        return 0;
    }
    return DialogWindow::OnMessage(message, wParam, lParam);
}

// ---- The forms ------------------------------------------------------------------------------

void CreSetLocalDev::ShowDialogState(int state) {
    SetState(state);
    auto* start = Control<COrvikButton>(kStartButton);
    auto* cancel = Control<COrvikButton>(kCancelButton);
    auto* close = Control<COrvikButton>(kCloseButton);
    auto* line = Control<COrvikStatic>(kMessageLine);
    auto* animation = Control<COrvikPicture>(kAnimation);
    auto stopAnimation = [animation]() {
        if (animation != nullptr && animation->isVisible()) {
            animation->Stop();
            animation->hide();
        }
    };
    const int textId = MessageTextId(caller_, mode_, state);
    const QString text = LoadUiString(textId);

    switch (state) {
        case kConfirm:
            SetButton(start, true, true);
            SetButton(cancel, true, true);
            SetButton(close, false, false);
            if (line != nullptr)
                line->SetCaption(text);
            stopAnimation();
            break;
        case kBusy:
            SetButton(start, true, false);
            SetButton(cancel, true, false);
            SetButton(close, false, false);
            if (line != nullptr)
                line->SetCaption(text);
            if (animation != nullptr) {
                animation->show();
                animation->Draw();
            }
            break;
        default:
            SetButton(start, false, false);
            SetButton(cancel, false, false);
            SetButton(close, true, true);
            stopAnimation();
            ShowOutcomeForm(state == kSucceeded, close, line, textId, PlaceResultText);
            break;
    }
}

}  // namespace ambrel
