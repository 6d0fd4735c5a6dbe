#pragma once

// Shared by the Qt tests of the main window and the Network page: a clean
// process state (settings in a temporary start-up directory, no remembered
// devices, an empty device model), the English bundle, a simulated
// powerline network behind one fake adapter whose pauses pass at once, and
// message boxes answered by a recorder.

#include <QDir>
#include <QFile>
#include <QString>
#include <QTemporaryDir>
#include <QTest>
#include <string>
#include <vector>

#include "AppSettings.h"
#include "ControlsTestSupport.h"
#include "DeviceList.h"
#include "DeviceModel.h"
#include "FakeClock.h"
#include "ImageCache.h"
#include "KeyDerivation.h"
#include "Network.h"
#include "PlcMsgBox.h"
#include "RememberedDevices.h"
#include "SimCaptureBackend.h"
#include "Transport.h"
#include "UiState.h"
#include "UiString.h"

namespace ambrel::test {

inline constexpr MacAddress kPcMac{0x02, 0x00, 0x00, 0x00, 0x00, 0x0A};
inline constexpr MacAddress kLocalMac{0x00, 0xB0, 0x52, 0x40, 0x00, 0x01};
inline constexpr char kHomeNetwork[] = "HomeNet";
inline constexpr char kAdapter[] = "eth0";

inline MacAddress StationMac(int n) {
    return {0x00, 0xB0, 0x52, 0x40, 0x01, static_cast<uint8_t>(n)};
}

struct AskedMessage {
    QString text;
    uint32_t style;
};

// One test's world. Create it in init() and destroy it in cleanup().
class WindowWorld {
public:
    WindowWorld() {
        ResetDeviceModel();
        ResetAppSettings();
        ResetRememberedDevices();
        ResetUiState();
        CurrentNamingStyle() = NamingStyle::English;
        TheAppSettings().startupDirectory = dir_.path().toStdString();
        WriteConfig({});
        QVERIFY(LoadTestBundle());
        SetCaptureBackend(&backend);
        backend.AddAdapter(kAdapter, kPcMac);
        SetMessageBoxHook([this](const QString& text, uint32_t style) {
            asked.push_back({text, style});
            return answer;
        });
    }
    ~WindowWorld() {
        SetMessageBoxHook(nullptr);
        CloseAdapters();
        SetCaptureBackend(nullptr);
        ReleaseImageCache();
        ResetDeviceModel();
        ResetAppSettings();
        ResetRememberedDevices();
        ResetUiState();
        CurrentNamingStyle() = NamingStyle::English;
    }
    WindowWorld(const WindowWorld&) = delete;
    WindowWorld& operator=(const WindowWorld&) = delete;

    // A local device with `stations` remote stations on the home network,
    // station n with MAC StationMac(n) and rate byte `rate`.
    plcsim::Network& AttachNetwork(int stations, uint8_t localDeviceId = 2, uint8_t rate = 151) {
        return AttachNetwork(std::vector<uint8_t>(static_cast<size_t>(stations), rate),
                             localDeviceId);
    }
    // The same with one rate byte per station.
    plcsim::Network& AttachNetwork(const std::vector<uint8_t>& rates, uint8_t localDeviceId = 2) {
        plcsim::DeviceConfig local;
        local.mac = kLocalMac;
        local.deviceId = localDeviceId;
        local.networkKey = DeriveNetworkKey(kHomeNetwork);
        plcsim::Network network(local);
        for (size_t n = 0; n < rates.size(); ++n)
            AddStation(network, static_cast<int>(n) + 1, rates[n]);
        return backend.AttachNetwork(kAdapter, std::move(network));
    }
    static plcsim::SimDevice& AddStation(plcsim::Network& network, int n, uint8_t rate = 151) {
        plcsim::DeviceConfig station;
        station.mac = StationMac(n);
        station.networkKey = DeriveNetworkKey(kHomeNetwork);
        station.rateMbps = rate;
        return network.AddStation(station);
    }

    QString ConfigPath() const { return dir_.filePath(QStringLiteral("config.ini")); }
    QByteArray ConfigText() const {
        QFile file(ConfigPath());
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }
    void WriteConfig(const QByteArray& text) const {
        QFile file(ConfigPath());
        QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.write(text);
    }
    // The texts of the messages shown so far.
    QStringList AskedTexts() const {
        QStringList texts;
        for (const AskedMessage& message : asked)
            texts << message.text;
        return texts;
    }

    FakeClock clock;
    SimCaptureBackend backend;
    std::vector<AskedMessage> asked;
    int answer = kResultOk;

private:
    QTemporaryDir dir_;
};

}  // namespace ambrel::test
