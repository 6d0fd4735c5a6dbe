#include "ReSetLocalDev.h"

#include <QFontMetrics>
#include <QPainter>
#include <algorithm>
#include <string>
#include <thread>

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

// The outcome forms: the close button takes the message box's left button
// place moved to the right; the picture sits where the box has its icon.
constexpr int kRectCompactClose = 1016;
constexpr int kCompactCloseShift = 50;
constexpr int kRectResultImage = 1010;
constexpr QRect kResultImageFallback(35, 71, 48, 48);
constexpr int kResultTextLeft = 85;
constexpr int kResultTextCentre = 93;
constexpr int kResultTextRightMargin = 17;

constexpr size_t kNetworkNameBytes = 24;  // terminator included

QRect LayoutQRect(int id, const QRect& fallback) {
    return ReadLayoutRect(id, LayoutRect::FromQRect(fallback)).ToQRect();
}

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
    : DialogWindow(res::kDialogReset, parent), caller_(caller), mode_(mode) {}

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
    animation->setGeometry(LayoutQRect(kRectAnimation, animation->geometry()));
    animation->hide();

    auto* line = Attach<COrvikStatic>(kMessageLine);
    line->SetLogFont(MakeLogFont(kLineFont));
    line->SetPointSize(ReadLayoutInt(kLinePointSize));
    line->SetCaption(LoadUiString(MessageTextId(caller_, mode_, kConfirm)));
    messageRect_ = LayoutQRect(kRectMessageLine, line->geometry());
    line->setGeometry(messageRect_);

    for (const res::ButtonSkin& skin : res::kResetButtons) {
        auto* button = Attach<COrvikButton>(skin.controlId);
        button->SetButtonImages(
            &LoadPngResource(skin.images.normal), &LoadPngResource(skin.images.hover),
            &LoadPngResource(skin.images.pressed), &LoadPngResource(skin.images.disabled));
        button->UseHandCursor(res::kCursorHand);
        button->setGeometry(LayoutQRect(skin.layoutId, button->geometry()));
    }

    ShowDialogState(kConfirm);

    const QImage& background = LoadPngResource(res::kPngResetBackground);
    resize(background.size());
    move(ScreenCentredOrigin(background.size()));
    ShapeToPicture(*this, background);
    SetDragAreas(MainWindowDragAreas());
}

// ---- Commands and closing ------------------------------------------------------------

void CreSetLocalDev::OnCommand(int id) {
    switch (id) {
        case kStartButton:
            if (state_ == kConfirm)
                Start();
            break;
        case kCancelButton:
            Close(kIdCancel);
            break;
        case kCloseButton:
            Close(kIdOk);
            break;
        default:
            break;
    }
}

void CreSetLocalDev::OnOK() {
    // Enter: Start in the confirmation, close in the outcome forms.
    if (state_ == kConfirm)
        Start();
    else
        Close(kIdOk);
}

void CreSetLocalDev::OnCancel() {
    // Escape or the window manager's close.
    Close(state_ == kConfirm ? kIdCancel : kIdOk);
}

void CreSetLocalDev::Close(int result) {
    // The worker reports to this dialog: it stays open until the report has
    // been handled.
    if (workerRunning_)
        return;
    EndDialog(result);
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
    // Nobody waits for the worker: it ends once this dialog has handled its
    // report, which the dialog stays open for.
    auto* window = static_cast<WindowHandle>(static_cast<QWidget*>(this));
    std::thread(routine, window).detach();
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
    state_ = state;
    auto* start = Control<COrvikButton>(kStartButton);
    auto* cancel = Control<COrvikButton>(kCancelButton);
    auto* close = Control<COrvikButton>(kCloseButton);
    auto* line = Control<COrvikStatic>(kMessageLine);
    auto* animation = Control<COrvikPicture>(kAnimation);
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
    const QString text = LoadUiString(MessageTextId(caller_, mode_, state));

    switch (state) {
        case kConfirm:
            setButton(start, true, true);
            setButton(cancel, true, true);
            setButton(close, false, false);
            if (line != nullptr)
                line->SetCaption(text);
            stopAnimation();
            break;
        case kBusy:
            setButton(start, true, false);
            setButton(cancel, true, false);
            setButton(close, false, false);
            if (line != nullptr)
                line->SetCaption(text);
            if (animation != nullptr) {
                animation->show();
                animation->Draw();
            }
            break;
        default: {
            setButton(start, false, false);
            setButton(cancel, false, false);
            setButton(close, true, true);
            stopAnimation();

            compact_ = true;
            resultImage_ = state == kSucceeded ? res::kPngInformation : res::kPngError;
            const QImage& outline = LoadPngResource(res::kPngMessageBoxBackground);
            resize(kCompactWidth, kCompactHeight);
            move(ScreenCentredOrigin(outline.size()));
            ShapeToPicture(*this, outline);
            if (close != nullptr) {
                close->setGeometry(LayoutQRect(kRectCompactClose, close->geometry())
                                       .translated(kCompactCloseShift, 0));
            }
            if (line != nullptr) {
                line->SetCaption(text);
                // Measured in the width it is drawn in, with its own font,
                // and kept inside the compact form.
                const int width = kCompactWidth - kResultTextLeft - kResultTextRightMargin;
                const QFontMetrics metrics(line->GetLogFont().ToQFont());
                const int h = metrics
                                  .boundingRect(QRect(0, 0, width, 1 << 20),
                                                Qt::TextWordWrap | Qt::AlignLeft, text)
                                  .height();
                line->setGeometry(PlaceResultText(width, h));
            }
            InvalidateBackground();
            break;
        }
    }
}

void CreSetLocalDev::PaintBackground(QPainter& painter) {
    if (!compact_) {
        painter.drawImage(QPoint(0, 0), LoadPngResource(res::kPngResetBackground));
        return;
    }
    painter.drawImage(rect(), LoadPngResource(res::kPngMessageBoxBackground));
    painter.drawImage(LayoutQRect(kRectResultImage, kResultImageFallback).topLeft(),
                      LoadPngResource(resultImage_));
}

}  // namespace ambrel
