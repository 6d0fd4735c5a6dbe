#pragma once

// Shared by the Qt tests of the Status and QoS pages: a clean process state
// with one fake adapter wired to a simulated local device (any generation,
// network key, firmware text), pauses that pass at once, worker reports
// through the program's own sink, and message boxes answered by a recorder.
// Also the page in a host window, shown and activated as the main window
// does it.

#include <QStringList>
#include <QTest>
#include <QWidget>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "AppSettings.h"
#include "CaptureBackend.h"
#include "ControlsTestSupport.h"
#include "DeviceModel.h"
#include "Discovery.h"
#include "FakeClock.h"
#include "ImageCache.h"
#include "KeyDerivation.h"
#include "ParameterBlock.h"
#include "PlcMsgBox.h"
#include "QosPacking.h"
#include "RememberedDevices.h"
#include "ResourceIds.h"
#include "SimCaptureBackend.h"
#include "Transport.h"
#include "UiState.h"
#include "UiString.h"
#include "WindowMessage.h"
#include "WindowReportSink.h"

namespace ambrel::test {

inline constexpr MacAddress kPcMac{0x02, 0xAA, 0x00, 0x00, 0x00, 0x10};
inline constexpr MacAddress kLocalMac{0x00, 0xB0, 0x52, 0x12, 0x34, 0x56};
inline constexpr char kAdapter[] = "eth0";

// The local device of a test: generation by device id (0x20 and 0x21 are
// second-generation), its network by name (nullopt: the default network).
inline plcsim::DeviceConfig LocalDevice(uint8_t deviceId, std::optional<std::string> network,
                                        const std::string& firmware = "PLCSIM-FW-1.0.0") {
    plcsim::DeviceConfig config;
    config.mac = kLocalMac;
    config.deviceId = deviceId;
    config.firmwareVersion = firmware;
    if (network)
        config.networkKey = DeriveNetworkKey(*network);
    return config;
}

class LocalDeviceWorld {
public:
    struct Asked {
        QString text;
        uint32_t style;
    };

    explicit LocalDeviceWorld(plcsim::DeviceConfig local) {
        ResetDeviceModel();
        ResetAppSettings();
        ResetRememberedDevices();
        ResetUiState();
        backend.AddAdapter(kAdapter, kPcMac);
        backend.AttachNetwork(kAdapter, plcsim::Network(std::move(local)));
        SetCaptureBackend(&backend);
        InstallWindowReportSink();
        SetMessageBoxHook([this](const QString& text, uint32_t style) {
            asked.push_back({text, style});
            return kResultOk;
        });
    }
    ~LocalDeviceWorld() {
        SetMessageBoxHook(nullptr);
        SetReportSink(nullptr);
        CloseAdapters();
        ResetDeviceModel();
        SetCaptureBackend(nullptr);
        ResetRememberedDevices();
        ResetAppSettings();
        ResetUiState();
    }
    LocalDeviceWorld(const LocalDeviceWorld&) = delete;
    LocalDeviceWorld& operator=(const LocalDeviceWorld&) = delete;

    plcsim::Network& Net() { return backend.NetworkOf(kAdapter); }
    plcsim::SimDevice& Local() { return Net().Local(); }

    // What the main window knows before a page is shown: the local device
    // found, its parameter block read, the user's network name in its record.
    bool StartUp(const std::string& networkName = std::string()) {
        DeviceModel& model = TheDeviceModel();
        SetFieldText(model.localDevice.networkName, networkName);
        model.localFound = ScanForLocalDevice() ? 1 : 0;
        if (model.localFound == 0 || !ReadParameterBlock(model.localDevice.mac))
            return false;
        LoadQosFromPib();
        LoadNetworkKeyFromPib();
        return true;
    }

    // The QoS settings the simulated device holds now.
    QosSettings DeviceQos() {
        const bool second = plcsim::GenerationOf(Local().DeviceId()) == plcsim::Generation::Second;
        return UnpackQos(Local().ParameterBlock(), PibLayoutOf(second)).value_or(QosSettings{});
    }
    // Gives the simulated device these QoS settings.
    void SetDeviceQos(const QosSettings& settings) {
        const bool second = plcsim::GenerationOf(Local().DeviceId()) == plcsim::Generation::Second;
        std::vector<uint8_t> block = Local().ParameterBlock();
        QVERIFY(PackQos(block, PibLayoutOf(second), settings));
        if (!second)
            QVERIFY(plcsim::StoreBlockChecksum(block));
        Local().ReplaceParameterBlock(std::move(block));
    }

    QStringList AskedTexts() const {
        QStringList texts;
        for (const Asked& message : asked)
            texts << message.text;
        return texts;
    }

    FakeClock clock;
    SimCaptureBackend backend;
    std::vector<Asked> asked;
};

// A page in a window of its own, sized and placed as the main window places
// it, initialised and shown.
template <class Page>
class HostedPage {
public:
    HostedPage() : host_(std::make_unique<QWidget>()) {
        host_->resize(640, 400);
        page_ = new Page(host_.get());
        page_->setGeometry(10, 0, 620, 388);
        page_->Initialise();
        host_->show();
    }
    Page& operator*() const { return *page_; }
    Page* operator->() const { return page_; }
    QWidget& Host() const { return *host_; }
    // What the main window sends when it switches to the page.
    void Activate() const { SendWindowMessage(page_, kWmActivate); }

private:
    std::unique_ptr<QWidget> host_;
    Page* page_ = nullptr;
};

}  // namespace ambrel::test
