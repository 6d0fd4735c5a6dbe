#include "Status.h"

#include <QApplication>
#include <QCheckBox>
#include <QKeyEvent>
#include <QLineEdit>
#include <mutex>
#include <string>

#include "AnsiText.h"
#include "AppSettings.h"
#include "CodePage.h"
#include "DeviceModel.h"
#include "Discovery.h"
#include "Fonts.h"
#include "ImageCache.h"
#include "KeyDerivation.h"
#include "Layout.h"
#include "OrvikButton.h"
#include "OrvikStatic.h"
#include "ParameterBlock.h"
#include "PlcMsgBox.h"
#include "QosPacking.h"
#include "ReSetLocalDev.h"
#include "ResourceIds.h"
#include "UiState.h"
#include "UiString.h"
#include "WorkerRoutines.h"

namespace ambrel {
namespace {

// The page's statics: control, layout string and text (0: a value field).
struct PageText {
    int controlId;
    int layoutId;
    int textId;
};
constexpr int kTitle = 1095;
constexpr PageText kPageTexts[] = {
    {kTitle, 8113, 8006},
    {1066, 8110, 8000},
    {1068, 8101, 8001},
    {1070, 8102, 8002},
    {1072, 8103, 8003},
    {1074, 8104, 8004},
    {1076, 8112, 8005},
    {CStatus::kSoftwareValue, 8105, 0},
    {CStatus::kFirmwareValue, 8106, 0},
    {CStatus::kPasswordValue, 8107, 0},
    {CStatus::kNetworkValue, 8108, 0},
    {CStatus::kMacValue, 8109, 0},
    {CStatus::kChipValue, 8111, 0},
};
constexpr int kValueFields[] = {CStatus::kMacValue,      CStatus::kPasswordValue,
                                CStatus::kNetworkValue,  CStatus::kFirmwareValue,
                                CStatus::kSoftwareValue, CStatus::kChipValue};

constexpr int kFontName = 1006;
constexpr int kTextColour = 8200;
constexpr int kTitleColour = 8201;
constexpr int kTitlePointSize = 300;
constexpr int kCheckBoxColour = 8202;
constexpr int kCheckBoxLayout = 8116;
constexpr int kNameEditLayout = 8117;
constexpr int kTextInvalidName = 4100;

// The firmware version text starts with the chip's own prefix; the page
// shows what follows it.
constexpr size_t kVersionPrefix = 11;

// A byte field of the device as text: the language's code page, or Latin-1
// for bytes it does not know.
QString FieldString(std::string_view bytes) {
    if (auto text = FromAnsi(bytes, TheAppSettings().LanguageNumber()))
        return QString::fromStdU16String(*text);
    return QString::fromLatin1(bytes.data(), static_cast<qsizetype>(bytes.size()));
}

QString MacText(const MacAddress& mac) {
    return QString::asprintf("%02X:%02X:%02X:%02X:%02X:%02X", mac[0], mac[1], mac[2], mac[3],
                             mac[4], mac[5]);
}

QString DefaultNetworkPassword() {
    return QString::fromLatin1(kDefaultNetworkPassword.data(),
                               static_cast<qsizetype>(kDefaultNetworkPassword.size()));
}

bool IsEnterKey(const QKeyEvent* event) {
    const auto modifiers = event->modifiers() & ~Qt::KeypadModifier;
    return (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) &&
           modifiers == Qt::NoModifier;
}

}  // namespace

CStatus::CStatus(QWidget* parent) : CPage(res::kDialogStatus, res::kPngStatusPage, parent) {
    connect(qApp, &QApplication::focusChanged, this, &CStatus::OnFocusChanged);
}

CStatus::~CStatus() = default;

// ---- Initialisation ----------------------------------------------------------------

void CStatus::OnInitDialog() {
    LayOutControls();
}

void CStatus::LayOutControls() {
    const LogFont font = MakeLogFont(kFontName);
    const QColor colour = ReadLayoutColor(kTextColour);
    for (const PageText& entry : kPageTexts) {
        auto* text = Attach<COrvikStatic>(entry.controlId);
        MoveToLayout(text, entry.layoutId);
        text->SetLogFont(font);
        text->SetAlign(COrvikStatic::Align::LeftNoWrap);
        if (entry.controlId == kTitle) {
            text->SetForeColor(ReadLayoutColor(kTitleColour));
            text->SetPointSize(ReadLayoutInt(kTitlePointSize));
            text->SetBold(true);
        } else {
            text->SetForeColor(colour);
        }
        text->SetCaption(entry.textId != 0 ? LoadUiString(entry.textId) : QString());
    }

    QCheckBox* box = DefaultNetworkBox();
    MoveToLayout(box, kCheckBoxLayout);
    box->setText(LoadUiString(8007));
    QPalette palette = box->palette();
    palette.setColor(QPalette::Window, ReadLayoutColor(kCheckBoxColour));
    // Buttons fill their background with the Button role.
    palette.setColor(QPalette::Button, ReadLayoutColor(kCheckBoxColour));
    box->setPalette(palette);
    box->setAutoFillBackground(true);

    QLineEdit* edit = NameEdit();
    MoveToLayout(edit, kNameEditLayout);

    for (const res::ButtonSkin& skin : res::kStatusButtons) {
        auto* button = Attach<COrvikButton>(skin.controlId);
        button->SetButtonImages(
            &LoadPngResource(skin.images.normal), &LoadPngResource(skin.images.hover),
            &LoadPngResource(skin.images.pressed), &LoadPngResource(skin.images.disabled));
        MoveToLayout(button, skin.layoutId);
        button->UseHandCursor(res::kCursorHand);
    }
}

// ---- Access ------------------------------------------------------------------------

COrvikStatic* CStatus::Value(int id) const {
    return Control<COrvikStatic>(id);
}

QString CStatus::ValueText(int id) const {
    const COrvikStatic* value = Value(id);
    return value != nullptr ? value->text() : QString();
}

QCheckBox* CStatus::DefaultNetworkBox() const {
    return Control<QCheckBox>(kDefaultNetworkBox);
}

QLineEdit* CStatus::NameEdit() const {
    return Control<QLineEdit>(kNameEdit);
}

// ---- Showing the local device ------------------------------------------------------

void CStatus::ShowLocalDevice() {
    DeviceModel& model = TheDeviceModel();
    // The classification reads the parameter block that workers fill.
    auto operation = LockDeviceOperations();
    if (model.localFound == 0) {
        for (int id : kValueFields)
            Value(id)->SetCaption(QString());
        update();
        return;
    }
    DeviceRecord& local = model.localDevice;
    Value(kMacValue)->SetCaption(MacText(local.mac));
    DefaultDevicePassword(local.mac, local.password);
    Value(kPasswordValue)
        ->SetCaption(QString::fromLatin1(local.password.data(),
                                         static_cast<qsizetype>(local.password.size())));
    Value(kSoftwareValue)->SetCaption(LoadUiString(res::kTextDeviceFoundValue));

    const NetworkKeyClass network = ClassifyNetworkKey();
    switch (network) {
        case NetworkKeyClass::DefaultNetwork:
            networkText_ = DefaultNetworkPassword();
            break;
        case NetworkKeyClass::NamedNetwork:
            networkText_ = FieldString(FieldText(local.networkName));
            break;
        case NetworkKeyClass::OtherNetwork:
            networkText_ = QStringLiteral("Unknown");
            break;
    }
    DefaultNetworkBox()->setChecked(network == NetworkKeyClass::DefaultNetwork);
    Value(kNetworkValue)->SetCaption(networkText_);
    NameEdit()->setText(networkText_);
    EnableNameEdit();

    chipText_ = FieldString(FieldText(local.chipLabel));
    const std::string_view version = FieldText(local.firmwareVersion);
    versionText_ =
        version.size() > kVersionPrefix ? FieldString(version.substr(kVersionPrefix)) : QString();
    Value(kChipValue)->SetCaption(chipText_);
    Value(kFirmwareValue)->SetCaption(chipText_ + versionText_);
    update();
}

void CStatus::EnableNameEdit() {
    QLineEdit* edit = NameEdit();
    edit->setEnabled(edit->text() != DefaultNetworkPassword());
}

void CStatus::RefreshLocalDevice() {
    std::lock_guard refreshing(DeviceLock());
    DeviceModel& model = TheDeviceModel();
    bool read = false;
    {
        auto operation = LockDeviceOperations();
        model.localFound = ScanForLocalDevice() ? 1 : 0;
        if (model.localFound != 0) {
            read = ReadParameterBlock(model.localDevice.mac);
            if (read) {
                LoadQosFromPib();
                LoadNetworkKeyFromPib();
            }
        }
    }
    if (model.localFound == 0) {
        // The values of a device that is gone are not left on show.
        ShowLocalDevice();
        ShowMessage(res::kTextNoLocalDevice, kMsgOk | kMsgIconError, window());
        return;
    }
    if (read)
        ShowLocalDevice();
    else
        ShowMessage(res::kTextNoLocalDevice, kMsgOk | kMsgIconError, window());
    EnableNameEdit();
}

// ---- The network name --------------------------------------------------------------

bool CStatus::IsValidNetworkName(const QString& name, int languageId) {
    const std::optional<std::string> ansi = ToAnsi(name.toStdU16String(), languageId);
    if (!ansi)
        return false;  // a character the code page lacks cannot be sent
    const auto bytes = static_cast<int>(ansi->size());
    return bytes >= kMinNameBytes && bytes <= kMaxNameBytes;
}

void CStatus::ApplyNetworkName() {
    const QString name = NameEdit()->text();
    if (!IsValidNetworkName(name, TheAppSettings().LanguageNumber()) ||
        !SetPendingNetworkName(name)) {
        ShowMessage(kTextInvalidName, kMsgOk | kMsgIconError, window());
        return;
    }
    OpenNetworkNameDialog();
}

void CStatus::OpenNetworkNameDialog() {
    int result;
    {
        CreSetLocalDev dialog(CreSetLocalDev::Caller::kStatusPage,
                              CreSetLocalDev::Mode::kSetNetworkLocal, window());
        result = dialog.RunModal();
    }
    // Cancelled: the name typed and the check box stay as the user left them.
    if (result == kIdOk)
        ShowAfterKeyChange();
}

void CStatus::ShowAfterKeyChange() {
    // The device's key lives in its parameter block; the copy read before
    // the change would still show the old network.
    {
        std::lock_guard refreshing(DeviceLock());
        auto operation = LockDeviceOperations();
        DeviceModel& model = TheDeviceModel();
        model.localFound = ScanForLocalDevice() ? 1 : 0;
        if (model.localFound != 0 && ReadParameterBlock(model.localDevice.mac)) {
            LoadQosFromPib();
            LoadNetworkKeyFromPib();
        }
    }
    SendWindowMessage(this, kWmActivate);
}

// ---- Messages ----------------------------------------------------------------------

void CStatus::OnActivatePage() {
    ShowLocalDevice();
    SetTimer(kRefreshTimer, kRefreshPeriodMs);
}

void CStatus::OnTimer(int id) {
    if (id != kRefreshTimer) {
        CPage::OnTimer(id);
        return;
    }
    DeviceModel& model = TheDeviceModel();
    if (model.upgradeRunning != 0 || DeviceDialogOpen() != 0)
        return;
    // A dialog over the window may be running a device operation; the scan
    // waits for the next tick rather than freeze the window behind it.
    if (QApplication::activeModalWidget() != nullptr)
        return;
    std::lock_guard refreshing(DeviceLock());
    {
        auto operation = LockDeviceOperations();
        model.localFound = ScanForLocalDevice() ? 1 : 0;
    }
    SendWindowMessage(this, kWmActivate);
}

void CStatus::OnCommand(int id) {
    switch (id) {
        case kDefaultNetworkBox:
            OnDefaultNetworkClicked();
            break;
        case kRefreshButton:
            RefreshLocalDevice();
            break;
        case kApplyButton:
            ApplyNetworkName();
            break;
        default:
            break;
    }
}

void CStatus::OnDefaultNetworkClicked() {
    QCheckBox* box = DefaultNetworkBox();
    QLineEdit* edit = NameEdit();
    if (box->isChecked()) {
        edit->setText(DefaultNetworkPassword());
        edit->setEnabled(false);
    } else {
        edit->clear();
        edit->setEnabled(true);
    }
    box->setFocus();
}

void CStatus::keyPressEvent(QKeyEvent* event) {
    if (IsEnterKey(event)) {
        event->accept();
        ApplyNetworkName();
        return;
    }
    CPage::keyPressEvent(event);
}

void CStatus::hideEvent(QHideEvent* event) {
    KillTimer(kRefreshTimer);
    CPage::hideEvent(event);
}

void CStatus::OnFocusChanged(QWidget* old, QWidget* now) {
    const auto onPage = [this](const QWidget* widget) {
        return widget != nullptr && (widget == this || isAncestorOf(widget));
    };
    // The window losing its activation takes the focus nowhere; that is no
    // loss of the page's focus.
    if (now != nullptr && onPage(old) && !onPage(now))
        KillTimer(kRefreshTimer);
}

}  // namespace ambrel
