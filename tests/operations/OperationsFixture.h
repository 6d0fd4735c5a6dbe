#pragma once

// A simulated powerline network behind one fake adapter, a clock whose
// pauses pass at once, and helpers to look at what the devices received.

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "DeviceModel.h"
#include "Discovery.h"
#include "FakeClock.h"
#include "Network.h"
#include "Progress.h"
#include "ReportSink.h"
#include "SimCaptureBackend.h"
#include "Transport.h"

namespace ambrel::test {

inline constexpr MacAddress kAdapterMac{0x02, 0xAA, 0x00, 0x00, 0x00, 0x10};
inline constexpr MacAddress kLocalMac{0x02, 0x00, 0x00, 0x00, 0x00, 0x01};
inline constexpr uint8_t kFirstGenerationId = 2;
inline constexpr uint8_t kSecondGenerationId = 0x21;

inline MacAddress StationMac(uint8_t n) {
    return {0x02, 0x00, 0x00, 0x00, 0x10, n};
}

inline plcsim::DeviceConfig Device(const MacAddress& mac, uint8_t id,
                                   std::optional<std::string> networkName = std::nullopt,
                                   std::optional<std::string> password = std::nullopt) {
    plcsim::DeviceConfig config;
    config.mac = mac;
    config.deviceId = id;
    if (networkName)
        config.networkKey = DeriveNetworkKey(*networkName);
    config.password = std::move(password);
    return config;
}

// Records every report of the worker routines.
class RecordingSink final : public ReportSink {
public:
    struct Entry {
        WindowHandle window;
        ResultMessage message;
        WParam wParam;
        LParam lParam;
    };
    RecordingSink() { SetReportSink(this); }
    ~RecordingSink() override { SetReportSink(nullptr); }
    void Send(WindowHandle window, ResultMessage message, WParam wParam, LParam lParam) override {
        entries.push_back({window, message, wParam, lParam});
    }
    std::vector<Entry> entries;
};

class OperationsTest : public ::testing::Test {
protected:
    void SetUp() override {
        ResetDeviceModel();
        backend_.AddAdapter("eth0", kAdapterMac);
        SetCaptureBackend(&backend_);
    }
    void TearDown() override {
        SetProgressObserver({});
        CloseAdapters();
        ResetDeviceModel();
        SetCaptureBackend(nullptr);
    }

    DeviceModel& Model() { return TheDeviceModel(); }
    plcsim::Network& Attach(plcsim::DeviceConfig local) {
        return backend_.AttachNetwork("eth0", plcsim::Network(std::move(local)));
    }
    plcsim::Network& Net() { return backend_.NetworkOf("eth0"); }
    plcsim::SimDevice& Local() { return Net().Local(); }
    plcsim::SimDevice& Station(size_t index) { return Net().Stations()[index]; }

    // Finds the local device and forgets what the devices received so far.
    void FindLocal() {
        Model().localFound = ScanForLocalDevice() ? 1 : 0;
        ASSERT_TRUE(Model().localFound);
        backend_.ResponderOf("eth0").ClearLog();
    }

    // The requests the network received, as "A050" or "A0B0/11", with runs
    // of the same request folded into "A020 x16".
    std::vector<std::string> Requests() {
        std::vector<std::string> folded;
        std::string last;
        int run = 0;
        auto flush = [&] {
            if (run > 0)
                folded.push_back(run == 1 ? last : last + " x" + std::to_string(run));
        };
        for (const auto& record : backend_.ResponderOf("eth0").Log()) {
            char text[16];
            if (record.operation) {
                std::snprintf(text, sizeof text, "%04X/%02X", record.type, *record.operation);
            } else {
                std::snprintf(text, sizeof text, "%04X", record.type);
            }
            if (text == last) {
                ++run;
                continue;
            }
            flush();
            last = text;
            run = 1;
        }
        flush();
        return folded;
    }
    const std::vector<plcsim::LogRecord>& Log() { return backend_.ResponderOf("eth0").Log(); }

    // Faults added when the operation reports the given progress.
    void AddFaultAt(Step step, uint32_t done, plcsim::Fault fault) {
        SetProgressObserver([this, step, done, fault](const Progress& progress) {
            if (progress.step == step && progress.done == done)
                Net().faults.Add(fault);
        });
    }

    FakeClock clock_;
    SimCaptureBackend backend_;
};

inline plcsim::Fault FaultOf(plcsim::FaultKind kind, uint16_t type, unsigned count = 1) {
    plcsim::Fault fault;
    fault.kind = kind;
    fault.messageType = type;
    fault.remaining = count;
    return fault;
}

}  // namespace ambrel::test
