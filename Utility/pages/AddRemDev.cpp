#include "AddRemDev.h"

#include <QLineEdit>
#include <algorithm>
#include <optional>
#include <string>

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

// The working form's status line and the outcome forms' text.
constexpr QRect kWorkingStatus(60, 120, 400, 24);
constexpr int kResultTextLeft = 85;
constexpr int kResultTextCentre = 93;

uint16_t Language() {
    return TheAppSettings().LanguageNumber();
}

}  // namespace

CAddRemDev::CAddRemDev(QObject* networkPage, const DeviceRecord* record, int row, QWidget* parent)
    : CWorkerDialog(res::kDialogAddDevice, res::kPngAddDeviceBackground, parent),
      networkPage_(networkPage),
      row_(row) {
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
    MoveToLayout(animation, kRectAnimation);
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
        MoveToLayout(label, rectId);
    }

    auto* nameEdit = Control<QLineEdit>(kNameEdit);
    auto* passwordEdit = Control<QLineEdit>(kPasswordEdit);
    if (nameEdit != nullptr)
        MoveToLayout(nameEdit, kRectNameEdit);
    if (passwordEdit != nullptr) {
        MoveToLayout(passwordEdit, kRectPasswordEdit);
        passwordEdit->setMaxLength(kPasswordChars);
    }

    AttachButtons(*this, res::kAddDeviceButtons);

    ShowDialogState(kInput);

    ShapeAsModalDialog(*this, res::kPngAddDeviceBackground);

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
            if (State() == kInput)
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
    if (State() == kInput)
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
    if (IsWorkerRunning())
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
    StartWorkerThread(newDevice ? JoinNewDeviceThread : JoinListedDeviceThread);
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
    SetState(state);
    auto* ok = Control<COrvikButton>(kOkButton);
    auto* cancel = Control<COrvikButton>(kCancelButton);
    auto* close = Control<COrvikButton>(kCloseButton);
    auto* status = Control<COrvikStatic>(kStatusText);
    auto* animation = Control<COrvikPicture>(kAnimation);
    const int inputControls[] = {kNameLabel, kPasswordLabel, kNameEdit, kPasswordEdit};
    auto stopAnimation = [animation]() {
        if (animation != nullptr) {
            animation->Stop();
            animation->hide();
        }
    };

    switch (state) {
        case kInput:
            SetControlsVisible(inputControls, true);
            SetButton(ok, true, true);
            SetButton(cancel, true, true);
            SetButton(close, false, false);
            stopAnimation();
            break;
        case kWorking:
            SetButton(ok, true, false);
            SetButton(cancel, true, false);
            SetButton(close, false, false);
            SetControlsVisible(inputControls, false);
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
            SetButton(ok, false, false);
            SetButton(cancel, false, false);
            SetButton(close, true, true);
            SetControlsVisible(inputControls, false);
            stopAnimation();
            const int textId = newDeviceMode_
                                   ? (succeeded ? kTextSucceededNew : kTextFailedNew)
                                   : (succeeded ? kTextSucceededListed : kTextFailedListed);
            ShowOutcomeForm(succeeded, close, status, textId, PlaceResultText);
            break;
        }
    }
}

}  // namespace ambrel
