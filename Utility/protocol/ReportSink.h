#pragma once

// How worker routines tell the window that started them how an operation
// ended: one message (id, wParam, lParam) to an opaque window handle. The
// application installs a sink that delivers it with a synchronous
// cross-thread send, so a routine ends only after the window has handled its
// result. Nothing here knows about any user-interface toolkit.

#include <cstdint>
#include <functional>

namespace ambrel {

// The window a result goes to, as the application knows it.
using WindowHandle = void*;
using WParam = uintptr_t;
using LParam = intptr_t;

enum class ResultMessage : uint32_t {
    DeviceOpDone = 0x1427,   // WM_DEVICE_OP_DONE: resets and network names
    AddDeviceDone = 0x1428,  // WM_ADD_DEVICE_DONE: the add-device routines
    UpgradeDone = 0x142A,    // WM_UPGRADE_DONE
    QosReadDone = 0x142C,    // WM_QOS_READ_DONE
};

// wParam of DeviceOpDone, AddDeviceDone and UpgradeDone.
inline constexpr WParam kReportSuccess = 0;
inline constexpr WParam kReportFailure = 1;

// wParam of QosReadDone. The failed read is -1 as a signed value.
inline constexpr WParam kQosRead = 0;
inline constexpr WParam kQosNoLocalDevice = 1;
inline constexpr WParam kQosReadFailed = static_cast<WParam>(static_cast<LParam>(-1));

class ReportSink {
public:
    virtual ~ReportSink() = default;
    // Delivers the message and returns once the window has handled it.
    virtual void Send(WindowHandle window, ResultMessage message, WParam wParam, LParam lParam) = 0;
};

// The sink the worker routines report through. Until the application
// installs one, reports go nowhere. The caller keeps ownership; nullptr puts
// the silent sink back.
ReportSink& ActiveReportSink();
void SetReportSink(ReportSink* sink);

// Sends one report through the active sink.
void Report(WindowHandle window, ResultMessage message, WParam wParam, LParam lParam = 0);

// What QosReadThread calls to close the waiting box the QoS page may have
// open (and to forget it) before it reports. Unset: nothing to close.
void SetWaitingBoxCloser(std::function<void()> closer);
void CloseWaitingBox();

}  // namespace ambrel
