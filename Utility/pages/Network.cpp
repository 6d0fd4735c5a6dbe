#include "Network.h"

#include <QScrollBar>
#include <algorithm>
#include <mutex>
#include <utility>

#include "AddRemDev.h"
#include "DeviceModel.h"
#include "DeviceRefresh.h"
#include "Fonts.h"
#include "ImageCache.h"
#include "Layout.h"
#include "NetworkRows.h"
#include "OrvikButton.h"
#include "OrvikStatic.h"
#include "PlcMsgBox.h"
#include "RemDev.h"
#include "ResourceIds.h"
#include "UiState.h"
#include "UiString.h"
#include "WorkerRoutines.h"

namespace ambrel {
namespace {

// The page's statics: control, layout string, text (0: none) and whether
// the page shows it (the local-device block is not part of this page's look).
struct PageText {
    int controlId;
    int layoutId;
    int textId;
    bool shown;
};
constexpr PageText kPageTexts[] = {
    {1023, 2107, 2004, true},  {1094, 2113, 2005, true},  {1095, 2114, 2006, true},
    {1096, 2115, 2007, true},  {1097, 2116, 2008, true},  {1098, 2117, 2009, true},
    {1099, 2118, 2010, true},  {1016, 2100, 2000, false}, {1017, 2101, 2001, false},
    {1018, 2102, 0, false},    {1019, 2103, 2002, false}, {1020, 2104, 0, false},
    {1021, 2105, 2003, false}, {1022, 2106, 0, false},
};
constexpr int kHeading = 1023;
constexpr int kRateHeading = 1097;
constexpr int kFontName = 1025;
constexpr int kTextColour = 2200;
constexpr int kPointSize = 1005;
constexpr int kScrollBarLayout = 2108;

ScrollRequest RequestOf(int action) {
    switch (action) {
        case QAbstractSlider::SliderSingleStepSub:
            return ScrollRequest::LineUp;
        case QAbstractSlider::SliderSingleStepAdd:
            return ScrollRequest::LineDown;
        case QAbstractSlider::SliderPageStepSub:
            return ScrollRequest::PageUp;
        case QAbstractSlider::SliderPageStepAdd:
            return ScrollRequest::PageDown;
        case QAbstractSlider::SliderMove:
            return ScrollRequest::Thumb;
        default:
            return ScrollRequest::Other;
    }
}

}  // namespace

CNetwork::CNetwork(QWidget* parent) : CPage(res::kDialogNetwork, res::kPngNetworkPage, parent) {}

CNetwork::~CNetwork() = default;

// ---- Initialisation ----------------------------------------------------------------

void CNetwork::OnInitDialog() {
    LayOutControls();
    if (QWidget* unused = FindControl(kUnusedButton)) {
        unused->hide();
        unused->setEnabled(false);
    }
    for (int r = 0; r < kRows; ++r) {
        auto* row = new CRemDev(r, this);
        row->Initialise();
        row->hide();
        row->setEnabled(false);
        row->SetEditHandler([this](int index) { OpenAddDeviceDialog(index); });
        rows_[static_cast<size_t>(r)] = row;
    }
    SendWindowMessage(this, WM_LAYOUT_ROWS, 0, 0);
}

void CNetwork::LayOutControls() {
    const LogFont font = MakeLogFont(kFontName);
    const QColor colour = ReadLayoutColor(kTextColour);
    const int points = ReadLayoutInt(kPointSize);
    for (const PageText& entry : kPageTexts) {
        auto* text = Attach<COrvikStatic>(entry.controlId);
        MoveToLayout(text, entry.layoutId);
        text->SetLogFont(font);
        text->SetPointSize(points);
        text->SetForeColor(colour);
        if (entry.controlId == kHeading)
            text->SetBold(true);
        // The column headings stay on one line over their columns; the rate's
        // is right-aligned like the rates.
        text->SetAlign(entry.controlId == kRateHeading ? COrvikStatic::Align::Right
                                                       : COrvikStatic::Align::LeftNoWrap);
        if (entry.textId != 0)
            text->SetCaption(LoadUiString(entry.textId));
        text->setVisible(entry.shown);
    }
    for (const res::ButtonSkin& skin : res::kNetworkButtons) {
        auto* button = Attach<COrvikButton>(skin.controlId);
        button->SetButtonImages(
            &LoadPngResource(skin.images.normal), &LoadPngResource(skin.images.hover),
            &LoadPngResource(skin.images.pressed), &LoadPngResource(skin.images.disabled));
        MoveToLayout(button, skin.layoutId);
        button->UseHandCursor(res::kCursorHand);
    }
    if (QWidget* second = FindControl(kSecondRefreshButton))
        second->hide();

    QScrollBar* bar = ScrollBar();
    MoveToLayout(bar, kScrollBarLayout);
    bar->setRange(0, 0);
    bar->setSingleStep(1);
    bar->setPageStep(kVisibleRows);
    bar->setEnabled(false);
    connect(bar, &QAbstractSlider::actionTriggered, this, &CNetwork::OnScrollAction);
    connect(bar, &QAbstractSlider::valueChanged, this, [this]() { LayOutRows(focusedRow_); });

    const QImage& row = LoadPngResource(res::kPngRowHover);
    rowWidth_ = row.width();
    rowHeight_ = row.height();
    rowLeft_ = ReadLayoutInt(res::kIntRowLeft);
    listTop_ = ReadLayoutInt(res::kIntListTop);
}

// ---- Access ------------------------------------------------------------------------

CRemDev* CNetwork::Row(int row) const {
    if (row < 0 || row >= kRows)
        return nullptr;
    return rows_[static_cast<size_t>(row)];
}

QScrollBar* CNetwork::ScrollBar() const {
    return Control<QScrollBar>(kScrollBar);
}

int CNetwork::ScrollPos() const {
    return ScrollBar()->value();
}

// ---- Refresh -----------------------------------------------------------------------

void CNetwork::RefreshDevices() {
    if (DeviceDialogOpen() != 0)
        return;
    std::lock_guard refreshing(DeviceLock());
    bool found;
    {
        // A worker started from another window may still be talking to the
        // devices; the list is rebuilt only once it has finished.
        auto operation = LockDeviceOperations();
        found = RefreshDeviceModel();
    }
    const bool quiet = std::exchange(skipNoDeviceMessage_, false);
    if (!found && !quiet)
        ShowMessage(res::kTextNoLocalDevice, kMsgOk | kMsgIconError, window());
    ShowRows();
}

void CNetwork::ShowRows() {
    std::lock_guard refreshing(DeviceLock());
    UpdateScrollBar();
    UpdateRows();
    SendWindowMessage(this, WM_LAYOUT_ROWS, 0, 0);
    update();
}

void CNetwork::UpdateScrollBar() {
    listedCount_ = std::clamp<int>(TheDeviceModel().deviceList.count, 0, kRows);
    QScrollBar* bar = ScrollBar();
    // The last position still shows the last rows (NetworkRows.h).
    const int last = ScrollPosition(listedCount_, ScrollRequest::Other, listedCount_);
    bar->setRange(0, last);
    bar->setEnabled(last > 0);
}

void CNetwork::UpdateRows() {
    const DeviceTable& list = TheDeviceModel().deviceList;
    for (int r = 0; r < kRows; ++r)
        rows_[static_cast<size_t>(r)]->SetRecord(list.records[static_cast<size_t>(r)]);
}

// ---- Rows and scrolling ------------------------------------------------------------

void CNetwork::LayOutRows(int focus) {
    const RowLayout layout = LayoutRows(ScrollPos(), listedCount_, focus, listTop_, rowHeight_);
    for (int r = 0; r < kRows; ++r) {
        CRemDev* row = rows_[static_cast<size_t>(r)];
        if (row == nullptr)
            continue;
        const RowPlacement& place = layout.rows[static_cast<size_t>(r)];
        row->ResetHover();
        if (!place.visible) {
            row->hide();
            row->setEnabled(false);
            continue;
        }
        row->setGeometry(rowLeft_, place.y, rowWidth_, place.height);
        row->setEnabled(true);
        row->show();
        if (place.focused)
            row->setFocus();
    }
    focusedRow_ = layout.focusedRow;
}

void CNetwork::OnScrollAction(int action) {
    QScrollBar* bar = ScrollBar();
    const int next =
        ScrollPosition(bar->value(), RequestOf(action), listedCount_, bar->sliderPosition());
    bar->setSliderPosition(next);
}

// ---- Messages ----------------------------------------------------------------------

void CNetwork::OnActivatePage() {
    DeviceDialogOpen() = 0;
    RefreshDevices();
    update();
}

void CNetwork::OnCommand(int id) {
    switch (id) {
        case kRefreshButton:
        case kSecondRefreshButton:
            RefreshDevices();
            break;
        case kAddButton:
            OpenAddDeviceDialog(-1);
            break;
        default:
            break;
    }
}

LResult CNetwork::OnMessage(uint32_t message, WParam wParam, LParam lParam) {
    switch (message) {
        case WM_REFRESH_DEVICES:
            RefreshDevices();
            return 0;
        case WM_DEVICES_SCANNED:
            ShowRows();
            return 0;
        case WM_LAYOUT_ROWS:
            LayOutRows(static_cast<int>(lParam));
            return 0;
        default:
            return CPage::OnMessage(message, wParam, lParam);
    }
}

// ---- The add-device dialog ---------------------------------------------------------

void CNetwork::OpenAddDeviceDialog(int row) {
    DeviceModel& model = TheDeviceModel();
    DeviceRecord record{};
    const DeviceRecord* listed = nullptr;
    if (row >= 0 && row < listedCount_) {
        record = rows_[static_cast<size_t>(row)]->Record();
        listed = &record;
        model.setKeyByPassword = 0;
    } else {
        row = -1;
        model.setKeyByPassword = 1;
    }
    DeviceDialogOpen() = 1;
    {
        std::lock_guard opened(DeviceLock());
        CAddRemDev dialog(this, listed, row, window());
        dialog.RunModal();
    }
    // The dialog clears the flag when it closes; a dialog that could not run
    // must not leave the refreshes switched off.
    DeviceDialogOpen() = 0;
}

}  // namespace ambrel
