#include "AddRemDev.h"

#include <QFontMetrics>
#include <QLineEdit>
#include <QPainter>
#include <algorithm>
#include <optional>
#include <string>
#include <thread>

#include "AnsiText.h"
#include "AppSettings.h"
#include "CodePage.h"
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
#include "RememberedDevices.h"
#include "ResourceIds.h"
#include "UiState.h"
#include "UiString.h"
#include "WorkerRoutines.h"

namespace ambrel {
namespace {

// Labels and their layout.
constexpr int kNameLabel = 1030;
constexpr int kPasswordLabel = 1029;
constexpr int kTextNameLabel = 3000;
constexpr int kTextPasswordLabel = 3001;
constexpr int kRectNameLabel = 3100;
constexpr int kRectPasswordLabel = 3101;
constexpr int kRectStatus = 3105;
constexpr int kRectNameEdit = 3106;
constexpr int kRectPasswordEdit = 3107;
constexpr int kRectAnimation = 3108;
constexpr int kLabelFont = 1006;
constexpr int kLabelPointSize = 1031;

// The close button of the outcome forms: the message box's left button
// place, moved to the right.
constexpr int kRectCompactClose = 1016;
constexpr int kCompactCloseShift = 50;

// Status texts: input, then working, success and failure by mode.
constexpr int kTextInput = 3002;
constexpr int kTextWorkingListed = 3003;
constexpr int kTextWorkingNew = 3004;
constexpr int kTextSucceededListed = 3005;
constexpr int kTextSucceededNew = 3006;
constexpr int kTextFailedListed = 3007;
constexpr int kTextFailedNew = 3008;

// Messages.
constexpr int kTextBadPassword = 3009;
constexpr int kTextNameTooLong = 3010;
constexpr int kTextDuplicateName = 153;

constexpr int kNameBytes = 24;      // name field, terminator included
constexpr int kPasswordChars = 19;  // "XXXX-XXXX-XXXX-XXXX"

// The working form's status line and the outcome forms' picture and text.
constexpr QRect kWorkingStatus(60, 120, 400, 24);
// The outcome picture sits where the message box has its icon.
constexpr int kRectResultImage = 1010;
constexpr QRect kResultImageFallback(35, 71, 48, 48);
constexpr int kResultTextLeft = 85;
constexpr int kResultTextCentre = 93;
constexpr int kResultTextRightMargin = 17;

QRect LayoutQRect(int id, const QRect& fallback) {
    return ReadLayoutRect(id, LayoutRect::FromQRect(fallback)).ToQRect();
}

uint16_t Language() {
    return TheAppSettings().LanguageNumber();
}

}  // namespace

CAddRemDev::CAddRemDev(QObject* networkPage, const DeviceRecord* record, int row, QWidget* parent)
    : DialogWindow(res::kDialogAddDevice, parent), networkPage_(networkPage), row_(row) {
    if (record != nullptr) {
        record_ = *record;
        hasRecord_ = true;
    }
}

CAddRemDev::~CAddRemDev() = default;

bool CAddRemDev::IsDevicePasswordForm(const QString& password) {
    if (password.size() != kPasswordChars)
        return false;
    for (int i = 0; i < kPasswordChars; ++i) {
        const char16_t c = password.at(i).unicode();
        const bool hyphenPlace = i == 4 || i == 9 || i == 14;
        const bool letter = (c >= u'A' && c <= u'Z') || (c >= u'a' && c <= u'z');
        if (hyphenPlace ? c != u'-' : !letter)
            return false;
    }
    return true;
}

QRect CAddRemDev::PlaceResultText(int width, int h) {
    const int top = kResultTextCentre - h / 2;
    const int bottom = 2 * h - h / 2 + 77;
    return QRect(kResultTextLeft, top, width, std::max(bottom - top, h));
}

// ---- Initialisation ----------------------------------------------------------------

void CAddRemDev::OnInitDialog() {
    newDeviceMode_ = TheDeviceModel().setKeyByPassword == 1;

    auto* animation = Attach<COrvikPicture>(kAnimation);
    animation->LoadGifResource(res::kGifBusy);
    animation->setGeometry(LayoutQRect(kRectAnimation, animation->geometry()));
    animation->hide();

    const LogFont labelFont = MakeLogFont(kLabelFont);
    const int points = ReadLayoutInt(kLabelPointSize);
    const std::tuple<int, int, int> labels[] = {
        {kNameLabel, kTextNameLabel, kRectNameLabel},
        {kPasswordLabel, kTextPasswordLabel, kRectPasswordLabel},
        {kStatusText, kTextInput, kRectStatus}};
    for (const auto& [id, textId, rectId] : labels) {
        auto* label = Attach<COrvikStatic>(id);
        label->SetLogFont(labelFont);
        label->SetPointSize(points);
        label->SetCaption(LoadUiString(textId));
        label->setGeometry(LayoutQRect(rectId, label->geometry()));
    }

    auto* nameEdit = Control<QLineEdit>(kNameEdit);
    auto* passwordEdit = Control<QLineEdit>(kPasswordEdit);
    if (nameEdit != nullptr)
        nameEdit->setGeometry(LayoutQRect(kRectNameEdit, nameEdit->geometry()));
    if (passwordEdit != nullptr) {
        passwordEdit->setGeometry(LayoutQRect(kRectPasswordEdit, passwordEdit->geometry()));
        passwordEdit->setMaxLength(kPasswordChars);
    }

    for (const res::ButtonSkin& skin : res::kAddDeviceButtons) {
        auto* button = Attach<COrvikButton>(skin.controlId);
        button->SetButtonImages(
            &LoadPngResource(skin.images.normal), &LoadPngResource(skin.images.hover),
            &LoadPngResource(skin.images.pressed), &LoadPngResource(skin.images.disabled));
        button->UseHandCursor(res::kCursorHand);
        button->setGeometry(LayoutQRect(skin.layoutId, button->geometry()));
    }

    ShowDialogState(kInput);

    const QSize size = LoadPngResource(res::kPngAddDeviceBackground).size();
    resize(size);
    move(ScreenCentredOrigin(size));
    ShapeToPicture(*this, LoadPngResource(res::kPngAddDeviceBackground));
    SetDragAreas(MainWindowDragAreas());

    if (!newDeviceMode_ && hasRecord_) {
        const std::string_view name(record_.name.data(), record_.name.size());
        if (nameEdit != nullptr) {
            if (auto text = FromAnsiBuffer(name, Language()))
                nameEdit->setText(QString::fromStdU16String(*text));
        }
        // The password field has no terminator of its own: all 19 bytes count.
        const std::string_view password = FieldText(record_.password);
        if (passwordEdit != nullptr && !password.empty()) {
            if (auto text = FromAnsi(password, Language()))
                passwordEdit->setText(QString::fromStdU16String(*text));
        }
    }
}

// ---- Commands and closing ------------------------------------------------------------

void CAddRemDev::OnCommand(int id) {
    switch (id) {
        case kOkButton:
            if (state_ == kInput)
                JoinDevice();
            break;
        case kCancelButton:
        case kCloseButton:
            Close();
            break;
        default:
            break;
    }
}

void CAddRemDev::OnOK() {
    // Enter: OK in the input form, close in the outcome forms.
    if (state_ == kInput)
        JoinDevice();
    else
        Close();
}

void CAddRemDev::OnCancel() {
    // Escape or the window manager's close.
    Close();
}

void CAddRemDev::Close() {
    // The worker reports to this dialog: it stays open until the report has
    // been handled.
    if (joinRunning_)
        return;
    DeviceDialogOpen() = 0;
    EndDialog(kIdCancel);
}

// ---- The join ---------------------------------------------------------------------------

void CAddRemDev::JoinDevice() {
    DeviceModel& model = TheDeviceModel();
    model.selectedDevice = row_;
    if (auto* edit = Control<QLineEdit>(kNameEdit))
        name_ = edit->text();
    if (auto* edit = Control<QLineEdit>(kPasswordEdit))
        password_ = edit->text();

    const std::optional<std::string> ansiName =
        ToAnsiBuffer(name_.toStdU16String(), kNameBytes, Language());
    if (!ansiName) {
        ShowMessage(kTextNameTooLong, kMsgIconError, this);
        return;
    }
    TextField<kNameBytes> nameField{};
    SetFieldText(nameField, *ansiName);
    for (int i = 0; i < model.deviceList.count; ++i) {
        if (i != row_ && model.deviceList.records[i].name == nameField) {
            ShowMessage(kTextDuplicateName, kMsgIconError, this);
            return;
        }
    }

    if (password_.isEmpty() ? newDeviceMode_ : !IsDevicePasswordForm(password_)) {
        ShowMessage(kTextBadPassword, kMsgIconError, this);
        return;
    }
    // The form allows ASCII letters and hyphens only, which every code page has.
    const std::string ansiPassword = ToAnsi(password_.toStdU16String(), Language()).value_or("");

    {
        auto lock = LockDeviceOperations();
        model.localFound = ScanForLocalDevice() ? 1 : 0;
    }
    if (model.localFound == 0) {
        ShowMessage(res::kTextNoLocalDevice, kMsgIconError, this);
        return;
    }

    if (newDeviceMode_) {
        SetFieldText(model.keyRequest.name, *ansiName);
        SetFieldText(model.keyRequest.password, ansiPassword);
        ShowDialogState(kWorking);
        model.addedDeviceMac = MacAddress{};
        StartJoin(true);
        return;
    }

    const bool listed = row_ >= 0 && row_ < model.deviceList.count;
    if (listed) {
        DeviceRecord& entry = model.deviceList.records[row_];
        entry.name = nameField;
        SetFieldText(entry.password, ansiPassword);
    }
    if (!password_.isEmpty())
        ShowDialogState(kWorking);
    rememberedIndex_ =
        RememberListedDevice(record_.mac, name_.toStdU16String(), password_.toStdU16String());
    if (password_.isEmpty()) {
        // A rename only.
        DeviceDialogOpen() = 0;
        SendWindowMessage(networkPage_, WM_REFRESH_DEVICES);
        if (rememberedIndex_ == kNotRemembered)
            ShowMessage(res::kTextRememberedTableFull, kMsgOk, this);
        EndDialog(kIdOk);
        return;
    }
    StartJoin(false);
}

void CAddRemDev::StartJoin(bool newDevice) {
    DeviceModel& model = TheDeviceModel();
    model.setKeyLocal = 0;
    model.setKeyByPassword = newDevice ? 1 : 0;
    joinRunning_ = true;
    // Nobody waits for the worker: it ends once this dialog has handled its
    // report, which the dialog stays open for.
    auto* window = static_cast<WindowHandle>(static_cast<QWidget*>(this));
    std::thread(newDevice ? JoinNewDeviceThread : JoinListedDeviceThread, window).detach();
}

LResult CAddRemDev::OnMessage(uint32_t message, WParam wParam, LParam lParam) {
    if (message == WM_ADD_DEVICE_DONE) {
        if (joinRunning_)
            OnJoinDone(wParam == kReportSuccess);
        return 0;
    }
    return DialogWindow::OnMessage(message, wParam, lParam);
}

void CAddRemDev::OnJoinDone(bool succeeded) {
    DeviceModel& model = TheDeviceModel();
    const int selected = model.selectedDevice;
    if (selected >= 0 && selected < model.deviceList.count)
        model.deviceList.records[selected].passwordOk = succeeded ? 1 : 0;
    ShowDialogState(succeeded ? kSucceeded : kFailed);

    bool notKept = false;
    if (!newDeviceMode_) {
        SetRememberedResult(rememberedIndex_, succeeded);
        notKept = succeeded && rememberedIndex_ == kNotRemembered;
    } else if (succeeded) {
        const int index = RememberJoinedDevice(model.addedDeviceMac, name_.toStdU16String(),
                                               password_.toStdU16String());
        notKept = index == kNotRemembered && model.addedDeviceMac != MacAddress{};
    }

    joinRunning_ = false;
    DeviceDialogOpen() = 0;
    SendWindowMessage(networkPage_, WM_REFRESH_DEVICES);
    if (notKept)
        ShowMessage(res::kTextRememberedTableFull, kMsgOk, this);
}

// ---- The forms ------------------------------------------------------------------------------

void CAddRemDev::ShowDialogState(int state) {
    state_ = state;
    auto* ok = Control<COrvikButton>(kOkButton);
    auto* cancel = Control<COrvikButton>(kCancelButton);
    auto* close = Control<COrvikButton>(kCloseButton);
    auto* status = Control<COrvikStatic>(kStatusText);
    auto* animation = Control<COrvikPicture>(kAnimation);
    const int inputControls[] = {kNameLabel, kPasswordLabel, kNameEdit, kPasswordEdit};
    auto setInputVisible = [this, &inputControls](bool visible) {
        for (int id : inputControls) {
            if (QWidget* control = FindControl(id))
                control->setVisible(visible);
        }
    };
    auto stopAnimation = [animation]() {
        if (animation != nullptr) {
            animation->Stop();
            animation->hide();
        }
    };
    auto setButton = [](COrvikButton* button, bool visible, bool enabled) {
        if (button != nullptr) {
            button->setVisible(visible);
            button->setEnabled(enabled);
        }
    };

    switch (state) {
        case kInput:
            setInputVisible(true);
            setButton(ok, true, true);
            setButton(cancel, true, true);
            setButton(close, false, false);
            stopAnimation();
            break;
        case kWorking:
            setButton(ok, true, false);
            setButton(cancel, true, false);
            setButton(close, false, false);
            setInputVisible(false);
            if (status != nullptr) {
                status->SetCaption(
                    LoadUiString(newDeviceMode_ ? kTextWorkingNew : kTextWorkingListed));
                status->setGeometry(kWorkingStatus);
            }
            if (animation != nullptr) {
                animation->show();
                animation->Draw();
            }
            break;
        default: {
            const bool succeeded = state == kSucceeded;
            setButton(ok, false, false);
            setButton(cancel, false, false);
            setButton(close, true, true);
            setInputVisible(false);
            stopAnimation();

            compact_ = true;
            resultImage_ = succeeded ? res::kPngInformation : res::kPngError;
            const QSize outline = LoadPngResource(res::kPngMessageBoxBackground).size();
            resize(kCompactWidth, kCompactHeight);
            move(ScreenCentredOrigin(outline));
            ShapeToPicture(*this, LoadPngResource(res::kPngMessageBoxBackground));
            if (close != nullptr) {
                close->setGeometry(LayoutQRect(kRectCompactClose, close->geometry())
                                       .translated(kCompactCloseShift, 0));
            }
            if (status != nullptr) {
                const int textId = newDeviceMode_
                                       ? (succeeded ? kTextSucceededNew : kTextFailedNew)
                                       : (succeeded ? kTextSucceededListed : kTextFailedListed);
                const QString text = LoadUiString(textId);
                status->SetCaption(text);
                // The text stays inside the compact form.
                const int width = kCompactWidth - kResultTextLeft - kResultTextRightMargin;
                const QFontMetrics metrics(status->GetLogFont().ToQFont());
                const int h = metrics
                                  .boundingRect(QRect(0, 0, width, 1 << 20),
                                                Qt::TextWordWrap | Qt::AlignLeft, text)
                                  .height();
                status->setGeometry(PlaceResultText(width, h));
            }
            InvalidateBackground();
            break;
        }
    }
}

void CAddRemDev::PaintBackground(QPainter& painter) {
    if (!compact_) {
        painter.drawImage(QPoint(0, 0), LoadPngResource(res::kPngAddDeviceBackground));
        return;
    }
    painter.drawImage(rect(), LoadPngResource(res::kPngMessageBoxBackground));
    painter.drawImage(LayoutQRect(kRectResultImage, kResultImageFallback).topLeft(),
                      LoadPngResource(resultImage_));
}

}  // namespace ambrel
