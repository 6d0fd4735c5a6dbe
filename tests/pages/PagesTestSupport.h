#pragma once

// Shared by the Qt tests of the pages and dialogs: message boxes answered by
// a recorder instead of a person, a Network page stand-in that records what
// it is sent, and a simulated powerline network behind one fake adapter
// whose pauses pass at once.

#include <QString>
#include <QWidget>
#include <optional>
#include <string>
#include <vector>

#include "AppSettings.h"
#include "CaptureBackend.h"
#include "ControlsTestSupport.h"
#include "DeviceModel.h"
#include "FakeClock.h"
#include "KeyDerivation.h"
#include "Network.h"
#include "PlcMsgBox.h"
#include "RememberedDevices.h"
#include "SimCaptureBackend.h"
#include "Transport.h"
#include "UiState.h"
#include "UiString.h"
#include "WindowMessage.h"
#include "WindowReportSink.h"

namespace ambrel::test {

inline constexpr MacAddress kAdapterMac{0x02, 0xAA, 0x00, 0x00, 0x00, 0x10};
inline constexpr MacAddress kLocalMac{0x02, 0x00, 0x00, 0x00, 0x00, 0x01};
inline constexpr const char* kHomeNetwork = "HomeNet";

inline MacAddress StationMac(uint8_t n) {
    return {0x02, 0x00, 0x00, 0x00, 0x10, n};
}

inline plcsim::DeviceConfig SimDeviceConfig(const MacAddress& mac,
                                            std::optional<std::string> network,
                                            std::optional<std::string> password = std::nullopt) {
    plcsim::DeviceConfig config;
    config.mac = mac;
    config.deviceId = 2;
    if (network)
        config.networkKey = DeriveNetworkKey(*network);
    config.password = std::move(password);
    return config;
}

// Answers every message box with `answer` and remembers what was asked.
class MessageBoxRecorder {
public:
    struct Asked {
        QString text;
        uint32_t style;
    };
    explicit MessageBoxRecorder(int answer = kResultOk) {
        SetMessageBoxHook([this, answer](const QString& text, uint32_t style) {
            asked.push_back({text, style});
            return answer;
        });
    }
    ~MessageBoxRecorder() { SetMessageBoxHook(nullptr); }
    MessageBoxRecorder(const MessageBoxRecorder&) = delete;
    MessageBoxRecorder& operator=(const MessageBoxRecorder&) = delete;

    std::vector<Asked> asked;
};

// Stands in for the Network page: records the refresh requests and whether
// the add-device flag was already clear when each arrived.
class NetworkPageStub : public QWidget {
public:
    int refreshes = 0;
    bool flagClearAtRefresh = false;

protected:
    bool event(QEvent* event) override {
        if (event->type() == WindowMessageEvent::EventType()) {
            auto* message = static_cast<WindowMessageEvent*>(event);
            if (message->message() == WM_REFRESH_DEVICES) {
                ++refreshes;
                flagClearAtRefresh = DeviceDialogOpen() == 0;
            }
            return true;
        }
        return QWidget::event(event);
    }
};

// The device model, settings and remembered devices from scratch, with one
// fake adapter ("eth0"), optionally wired to a simulated network with a
// local device on network kHomeNetwork. Reports of the workers go through
// the program's own sink.
class SimulatedDevices {
public:
    explicit SimulatedDevices(bool withLocalDevice = true) {
        ResetDeviceModel();
        ResetAppSettings();
        ResetRememberedDevices();
        ResetUiState();
        backend_.AddAdapter("eth0", kAdapterMac);
        if (withLocalDevice) {
            backend_.AttachNetwork(
                "eth0", plcsim::Network(SimDeviceConfig(kLocalMac, std::string(kHomeNetwork))));
            // What the start-up scan learns from the parameter block.
            TheDeviceModel().localDevice.networkKey = DeriveNetworkKey(kHomeNetwork);
        }
        SetCaptureBackend(&backend_);
        InstallWindowReportSink();
    }
    ~SimulatedDevices() {
        SetReportSink(nullptr);
        CloseAdapters();
        ResetDeviceModel();
        SetCaptureBackend(nullptr);
        ResetRememberedDevices();
        ResetAppSettings();
        ResetUiState();
    }
    SimulatedDevices(const SimulatedDevices&) = delete;
    SimulatedDevices& operator=(const SimulatedDevices&) = delete;

    plcsim::Network& Net() { return backend_.NetworkOf("eth0"); }

    // A station of the simulated network, outside the user's network.
    plcsim::SimDevice& AddStation(const MacAddress& mac, const std::string& password) {
        return Net().AddStation(SimDeviceConfig(mac, std::nullopt, password));
    }

    // A record of the device list, as the Network page shows it.
    static int List(const MacAddress& mac, const char* name) {
        DeviceTable& list = TheDeviceModel().deviceList;
        DeviceRecord& record = list.records[list.count];
        record.mac = mac;
        SetFieldText(record.name, name);
        record.answered = 1;
        return list.count++;
    }

private:
    FakeClock clock_;
    SimCaptureBackend backend_;
};

}  // namespace ambrel::test
