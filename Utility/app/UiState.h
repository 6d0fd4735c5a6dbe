#pragma once

// What the main window shares with its pages and dialogs: the custom window
// messages, the layout rectangles measured from the window's pictures, the
// add-device flag and the lock around device refreshes. The naming style of
// the default device names is CurrentNamingStyle() (DeviceList.h).
//
// User-interface thread only, except the message ids.

#include <cstdint>
#include <mutex>

#include "Layout.h"

namespace ambrel {

// ---- Custom window messages (WM_TRAY_NOTIFY, 0x1425, is in PlcTray.h) --------
inline constexpr uint32_t WM_LAYOUT_ROWS = 0x1426;      // to CNetwork; lParam: focused row
inline constexpr uint32_t WM_DEVICE_OP_DONE = 0x1427;   // resets, network names
inline constexpr uint32_t WM_ADD_DEVICE_DONE = 0x1428;  // to CAddRemDev
inline constexpr uint32_t WM_DEVICES_SCANNED = 0x1429;  // start-up scan done, to CNetwork
inline constexpr uint32_t WM_UPGRADE_DONE = 0x142A;
inline constexpr uint32_t WM_REFRESH_DEVICES = 0x142B;  // to CNetwork: refresh now
inline constexpr uint32_t WM_QOS_READ_DONE = 0x142C;

// ---- Layout rectangles --------------------------------------------------------
// Measured once from the main window's pictures (title 133, tab bar 132,
// body 131) and the modal dialogs' background (130).
struct MainLayout {
    LayoutRect title;      // drawing of 133; dragging
    LayoutRect tabBar;     // drawing of 132
    LayoutRect body;       // drawing of 131; page placement; dragging
    LayoutRect pageInner;  // page backgrounds
    LayoutRect window;     // size and rounded region of the main window
    LayoutRect dialog;     // size of the modal dialogs
};

// The rectangles from the pictures' sizes (the main window's initialisation
// calls it; a dialog opened without a main window may call it too).
MainLayout ComputeMainLayout();
// The rectangles as last computed (all empty before).
MainLayout& TheMainLayout();

// ---- Device refreshes and the add-device dialog -------------------------------
// Set while an add-device dialog is open: the Network and Status page
// refreshes do nothing meanwhile. The dialog's opener sets it, the dialog
// clears it when it closes or has its result.
int& DeviceDialogOpen();

// Held by device refreshes and around the add-device dialogs. Recursive, and
// taken on the user-interface thread only, so it never blocks there; it lives
// as long as the process, so no page ever holds a lock that is gone.
std::recursive_mutex& DeviceLock();

// Back to the start values (tests).
void ResetUiState();

}  // namespace ambrel
