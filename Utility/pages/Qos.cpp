#include "Qos.h"

#include <QCheckBox>
#include <QComboBox>
#include <QMetaObject>
#include <QRadioButton>
#include <mutex>
#include <thread>

#include "Discovery.h"
#include "Fonts.h"
#include "ImageCache.h"
#include "Layout.h"
#include "OrvikButton.h"
#include "OrvikStatic.h"
#include "ParameterBlock.h"
#include "PlcMsgBox.h"
#include "QosPacking.h"
#include "ResourceIds.h"
#include "UiState.h"
#include "UiString.h"
#include "WorkerRoutines.h"

namespace ambrel {
namespace {

// The eight buttons (mode, presets, table switches): texts and rectangles.
constexpr int kButtonCount = 8;
constexpr int kFirstButtonText = 9000;
constexpr int kFirstButtonLayout = 9101;
constexpr int kFirstLabelText = 9008;
constexpr int kFirstLabelLayout = 9109;
constexpr int kFirstVlanListLayout = 9118;
constexpr int kFirstTosListLayout = 9126;
constexpr int kNoteLayout = 9134;
constexpr int kFirstCapText = 9017;  // CAP0 to CAP3
constexpr int kCapLevels = 4;

constexpr int kPagePointSize = res::kIntPagePointSize;
constexpr int kPageColour = 9200;
constexpr int kNoteColour = 9201;
constexpr int kNoteFont = 1025;

constexpr int kTextChoosePreset = 9021;
constexpr int kTextSaved = 9022;
constexpr int kTextNotSaved = 9023;
constexpr int kTextNotRead = 9024;
constexpr int kTextReading = 9025;
constexpr int kTextReadFirst = 9027;
constexpr int kTextChooseMode = 9028;
constexpr int kTextChooseLevels = 9029;

// A radio button of an exclusive group set without a click.
void SetChecked(QAbstractButton* button, bool checked) {
    if (button != nullptr)
        button->setChecked(checked);
}

}  // namespace

CQos::CQos(QWidget* parent) : CPage(res::kDialogQos, res::kPngQosPage, parent) {}

// A read that still runs is let finish its work with the device (it holds
// the device-operation lock meanwhile) but not its report, which the report
// sink drops once the page is gone: the worker never touches the device
// model or the transport after the page, or the program, has let them go.
CQos::~CQos() {
    if (readRunning_) {
        auto finished = LockDeviceOperations();
    }
}

// ---- Initialisation ----------------------------------------------------------------

void CQos::OnInitDialog() {
    LayOutControls();
    FillLists();
}

void CQos::LayOutControls() {
    QFont pageFont(QStringLiteral("Arial"));
    if (const int points = ReadLayoutInt(kPagePointSize); points > 0)
        pageFont.setPointSize(points);
    const QColor pageColour = ReadLayoutColor(kPageColour);
    for (int i = 0; i < kButtonCount; ++i) {
        auto* button = Control<QAbstractButton>(kPresetMode + i);
        if (button == nullptr)
            continue;
        button->setFont(pageFont);
        button->setText(LoadUiString(kFirstButtonText + i));
        QPalette palette = button->palette();
        palette.setColor(QPalette::Window, pageColour);
        // Buttons fill their background with the Button role.
        palette.setColor(QPalette::Button, pageColour);
        button->setPalette(palette);
        button->setAutoFillBackground(true);
        MoveToLayout(button, kFirstButtonLayout + i);
    }

    auto* note = Attach<COrvikStatic>(kNote);
    note->SetForeColor(ReadLayoutColor(kNoteColour));
    note->SetLogFont(MakeLogFont(kNoteFont));
    note->SetCaption(LoadUiString(9026));
    MoveToLayout(note, kNoteLayout);

    for (int i = 0; i < kLabelCount; ++i) {
        auto* label = Attach<COrvikStatic>(kFirstLabel + i);
        label->SetCaption(LoadUiString(kFirstLabelText + i));
        MoveToLayout(label, kFirstLabelLayout + i);
    }
    for (int i = 0; i < kMapEntries; ++i) {
        QComboBox* vlan = List(kFirstVlanList + i);
        MoveToLayout(vlan, kFirstVlanListLayout + i);
        QComboBox* tos = List(kFirstTosList + i);
        MoveToLayout(tos, kFirstTosListLayout + i);
    }

    for (const res::ButtonSkin& skin : res::kQosButtons) {
        auto* button = Attach<COrvikButton>(skin.controlId);
        button->SetButtonImages(
            &LoadPngResource(skin.images.normal), &LoadPngResource(skin.images.hover),
            &LoadPngResource(skin.images.pressed), &LoadPngResource(skin.images.disabled));
        MoveToLayout(button, skin.layoutId);
        button->UseHandCursor(res::kCursorHand);
    }
}

void CQos::FillLists() {
    QStringList levels;
    for (int level = 0; level < kCapLevels; ++level)
        levels << LoadUiString(kFirstCapText + level);
    for (int i = 0; i < 2 * kMapEntries; ++i) {
        QComboBox* list = List(kFirstVlanList + i);
        list->addItems(levels);
        // Nothing is chosen until the device's settings have been read.
        list->setCurrentIndex(-1);
    }
}

// ---- Access ------------------------------------------------------------------------

QRadioButton* CQos::Radio(int id) const {
    return Control<QRadioButton>(id);
}

QCheckBox* CQos::Switch(int id) const {
    return Control<QCheckBox>(id);
}

QComboBox* CQos::List(int id) const {
    return Control<QComboBox>(id);
}

// ---- Reading the settings ----------------------------------------------------------

void CQos::OnActivatePage() {
    StartRead();
}

void CQos::StartRead() {
    if (readRunning_) {
        readAgain_ = true;
        return;
    }
    readRunning_ = true;
    // The waiting box opens once the activation has returned. Its request is
    // queued before the worker exists, so the worker's request to close the
    // box, and its report, always come after it.
    QMetaObject::invokeMethod(
        this, [this]() { ShowWaitingBox(); }, Qt::QueuedConnection);
    auto* window = static_cast<WindowHandle>(static_cast<QWidget*>(this));
    std::thread(QosReadThread, window).detach();
}

void CQos::ShowWaitingBox() {
    if (!readRunning_ || resultWaiting_)
        return;
    waiting_ = true;
    ShowMessage(kTextReading, kMsgNoButtons, window());
    waiting_ = false;
    // A report that came while the box was still open is shown now, when
    // its own message box can open.
    if (resultWaiting_) {
        resultWaiting_ = false;
        OnReadDone(waitingResult_);
    }
}

void CQos::OnReadDone(WParam result) {
    if (!readRunning_)
        return;
    readRunning_ = false;
    if (readAgain_) {
        // The page was shown again meanwhile: the newer read is the one shown.
        readAgain_ = false;
        StartRead();
        return;
    }
    ShowReadResult(result);
}

void CQos::ShowReadResult(WParam result) {
    const DeviceModel& model = TheDeviceModel();
    if (result == kQosRead) {
        blockRead_ = true;
        readMac_ = model.localDevice.mac;
        presetIndex_ = RecognisePreset(model.currentQos).value_or(-1);
        ShowCurrentQos();
        update();
    } else if (result == kQosNoLocalDevice) {
        blockRead_ = false;
        ShowMessage(res::kTextNoLocalDevice, kMsgOk | kMsgIconError, window());
    } else if (result == kQosReadFailed) {
        blockRead_ = false;
        ShowMessage(kTextNotRead, kMsgOk | kMsgIconError, window());
    }
}

void CQos::ShowCurrentQos() {
    const QosSettings& current = TheDeviceModel().currentQos;
    for (int i = 0; i < kMapEntries; ++i) {
        const auto entry = static_cast<size_t>(i);
        // A level the lists do not offer leaves the list without a choice.
        const int vlan = current.vlanPriorityMap[entry];
        const int tos = current.tosPriorityMap[entry];
        List(kFirstVlanList + i)->setCurrentIndex(vlan < kCapLevels ? vlan : -1);
        List(kFirstTosList + i)->setCurrentIndex(tos < kCapLevels ? tos : -1);
    }
    Switch(kVlanSwitch)->setChecked(current.vlanMapEnabled != 0);
    Switch(kTosSwitch)->setChecked(current.tosMapEnabled != 0);
    if (PresetDetected()) {
        SetChecked(Radio(kPresetMode), true);
        EnableForPresetMode();
        SetChecked(Radio(kFirstPreset + presetIndex_), true);
    } else {
        SetChecked(Radio(kCustomMode), true);
        EnableForCustomMode();
    }
}

// ---- Modes -------------------------------------------------------------------------

void CQos::EnableLists(int first, bool enabled) {
    for (int i = 0; i < kMapEntries; ++i)
        List(first + i)->setEnabled(enabled);
}

void CQos::EnableForPresetMode() {
    for (int k = 0; k < kQosPresetCount; ++k)
        Radio(kFirstPreset + k)->setEnabled(true);
    Switch(kVlanSwitch)->setEnabled(false);
    Switch(kTosSwitch)->setEnabled(false);
    for (int i = 0; i < kLabelCount; ++i)
        FindControl(kFirstLabel + i)->setEnabled(false);
    EnableLists(kFirstVlanList, false);
    EnableLists(kFirstTosList, false);
    repaint();
}

void CQos::EnableForCustomMode() {
    for (int k = 0; k < kQosPresetCount; ++k)
        Radio(kFirstPreset + k)->setEnabled(false);
    Switch(kVlanSwitch)->setEnabled(true);
    Switch(kTosSwitch)->setEnabled(true);
    for (int i = 0; i < kLabelCount; ++i)
        FindControl(kFirstLabel + i)->setEnabled(true);
    EnableLists(kFirstVlanList, Switch(kVlanSwitch)->isChecked());
    EnableLists(kFirstTosList, Switch(kTosSwitch)->isChecked());
    repaint();
}

void CQos::OnCommand(int id) {
    switch (id) {
        case kApplyButton:
            Apply();
            break;
        case kPresetMode:
            EnableForPresetMode();
            break;
        case kCustomMode:
            EnableForCustomMode();
            break;
        case kVlanSwitch:
            EnableLists(kFirstVlanList, Switch(kVlanSwitch)->isChecked());
            break;
        case kTosSwitch:
            EnableLists(kFirstTosList, Switch(kTosSwitch)->isChecked());
            break;
        default:
            // The preset buttons clear one another by their group.
            break;
    }
}

LResult CQos::OnMessage(uint32_t message, WParam wParam, LParam lParam) {
    if (message == WM_QOS_READ_DONE) {
        if (waiting_) {
            resultWaiting_ = true;
            waitingResult_ = wParam;
        } else {
            OnReadDone(wParam);
        }
        return 0;
    }
    return CPage::OnMessage(message, wParam, lParam);
}

// ---- Apply -------------------------------------------------------------------------

bool CQos::CollectPendingQos() {
    if (Radio(kPresetMode)->isChecked()) {
        for (int k = 0; k < kQosPresetCount; ++k) {
            if (Radio(kFirstPreset + k)->isChecked()) {
                pendingQos_ = QosPreset(k);
                return true;
            }
        }
        ShowMessage(kTextChoosePreset, kMsgOk | kMsgIconError, window());
        return false;
    }
    if (!Radio(kCustomMode)->isChecked()) {
        ShowMessage(kTextChooseMode, kMsgOk | kMsgIconError, window());
        return false;
    }
    QosSettings chosen;
    chosen.basePriorities = QosPreset(0).basePriorities;
    chosen.vlanMapEnabled = Switch(kVlanSwitch)->isChecked() ? 1 : 0;
    chosen.tosMapEnabled = Switch(kTosSwitch)->isChecked() ? 1 : 0;
    for (int i = 0; i < kMapEntries; ++i) {
        // A switched-off table is written too, so its lists need a choice.
        const int vlan = List(kFirstVlanList + i)->currentIndex();
        const int tos = List(kFirstTosList + i)->currentIndex();
        if (vlan < 0 || tos < 0) {
            ShowMessage(kTextChooseLevels, kMsgOk | kMsgIconError, window());
            return false;
        }
        chosen.vlanPriorityMap[static_cast<size_t>(i)] = static_cast<uint8_t>(vlan);
        chosen.tosPriorityMap[static_cast<size_t>(i)] = static_cast<uint8_t>(tos);
    }
    pendingQos_ = chosen;
    return true;
}

void CQos::Apply() {
    DeviceModel& model = TheDeviceModel();
    if (!blockRead_ || model.pibLoaded == 0) {
        ShowMessage(kTextReadFirst, kMsgOk | kMsgIconError, window());
        return;
    }
    if (!CollectPendingQos())
        return;

    enum class Outcome { kNoDevice, kOtherDevice, kWritten, kFailed };
    Outcome outcome;
    {
        auto operation = LockDeviceOperations();
        StoreQosToPib(pendingQos_);
        model.localFound = ScanForLocalDevice() ? 1 : 0;
        if (model.localFound == 0) {
            outcome = Outcome::kNoDevice;
        } else if (model.localDevice.mac != readMac_) {
            // Another device was plugged in since the read: the block in hand
            // is not its own.
            outcome = Outcome::kOtherDevice;
        } else if (WriteParameterBlock()) {
            model.currentQos = pendingQos_;
            outcome = Outcome::kWritten;
        } else {
            outcome = Outcome::kFailed;
        }
    }
    switch (outcome) {
        case Outcome::kNoDevice:
            ShowMessage(res::kTextNoLocalDevice, kMsgOk | kMsgIconError, window());
            break;
        case Outcome::kOtherDevice:
            blockRead_ = false;
            ShowMessage(kTextReadFirst, kMsgOk | kMsgIconError, window());
            break;
        case Outcome::kWritten:
            ShowMessage(kTextSaved, kMsgOk, window());
            break;
        case Outcome::kFailed:
            ShowMessage(kTextNotSaved, kMsgOk | kMsgIconError, window());
            break;
    }
}

}  // namespace ambrel
