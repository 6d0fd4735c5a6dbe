#pragma once

// The routines that the windows run on worker threads of their own. Each
// runs one device operation, lets the devices settle, and reports exactly
// once to the window that started it through the report sink (ReportSink.h),
// after it has finished with the device model. RestartLocalThread reports
// nothing.
//
// Only one device operation may use the transport and the device model at a
// time: every routine holds the device-operation lock while it works (not
// while it reports), so routines started close together run one after the
// other. Code that talks to the devices from elsewhere takes the same lock.

#include <mutex>

#include "ReportSink.h"

namespace ambrel {

std::unique_lock<std::recursive_mutex> LockDeviceOperations();

// Scan with retries, factory defaults of the local device, 4 s.
// DeviceOpDone: 0 when the device accepted the request.
void FactoryResetLocalThread(WindowHandle window);

// Scan with retries, restart of the local device, 4 s. Reports nothing;
// returns whether the device confirmed the restart.
bool RestartLocalThread();

// Factory defaults of every marked remote device (answered and password
// accepted), 100 ms apart, then of the local device, 4 s.
// DeviceOpDone: 0 only when every device accepted.
void FactoryResetAllThread(WindowHandle window);

// The local device joins the network of KeyRequest networkName, 4 s.
// DeviceOpDone: 0 on success.
void SetNetworkLocalThread(WindowHandle window);

// As SetNetworkLocalThread with 12 s, then every marked remote device is
// handed the new key by its password, 8 s apart. DeviceOpDone: 1 when the
// local device did not take the key, else 0 (the remote devices' answers are
// not examined).
void SetNetworkAllThread(WindowHandle window);

// The set-key request in the form the caller chose (the list form hands the
// local network's key to deviceList entry selectedDevice), 5 s.
// AddDeviceDone: 0 on success.
void JoinListedDeviceThread(WindowHandle window);

// AddDeviceByPassword, 5 s. AddDeviceDone: 0 on success.
void JoinNewDeviceThread(WindowHandle window);

// Scan, parameter block read, QoS values into currentQos; then the waiting
// box is closed (SetWaitingBoxCloser). QosReadDone: kQosRead,
// kQosNoLocalDevice or kQosReadFailed.
void QosReadThread(WindowHandle window);

// Reads the device's block, takes its device key, sends the loaded images by
// the procedure of the generation, 10 s, with upgradeRunning set throughout.
// UpgradeDone: 0 on success. Images that cannot be sent, or a failed read,
// end it at once with 1.
void UpgradeThread(WindowHandle window);

}  // namespace ambrel
