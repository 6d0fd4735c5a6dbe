// Transfer figures of the device operations against the plcsim program on a
// veth pair: reading and writing back the parameter block and a 1 MiB
// firmware upgrade in both generations, with the fixed pauses of the
// sequences left out (the clock seam skips them; the 1 ms polling sleeps stay
// real). Run by hand as root: it moves itself into a network namespace of
// its own and prints one table.

#include <chrono>
#include <cstdio>
#include <fstream>
#include <memory>
#include <string>
#include <thread>

#include "ByteCursor.h"
#include "Clock.h"
#include "DeviceModel.h"
#include "Discovery.h"
#include "ParameterBlock.h"
#include "PcapBackend.h"
#include "TestNetwork.h"
#include "Transport.h"
#include "Upgrade.h"

namespace {

using namespace ambrel;

// Real time; the polling sleeps of 1 ms are real, longer pauses are skipped.
class PauselessClock final : public Clock {
public:
    uint64_t NowMs() override { return SystemClock().NowMs(); }
    void SleepMs(uint32_t milliseconds) override {
        if (milliseconds <= 1)
            SystemClock().SleepMs(milliseconds);
    }
};

// Counts the frames the transport sends.
class CountingBackend final : public CaptureBackend {
public:
    explicit CountingBackend(CaptureBackend& inner) : inner_(inner) {}
    std::optional<std::vector<std::string>> ListDevices(std::string& error) override {
        return inner_.ListDevices(error);
    }
    std::optional<MacAddress> QueryMac(const std::string& name) override {
        return inner_.QueryMac(name);
    }
    std::unique_ptr<CaptureHandle> Open(const std::string& name, std::string& error) override {
        auto handle = inner_.Open(name, error);
        if (!handle)
            return nullptr;
        return std::make_unique<Handle>(std::move(handle), sent_);
    }
    uint64_t Sent() const { return sent_; }

private:
    class Handle final : public CaptureHandle {
    public:
        Handle(std::unique_ptr<CaptureHandle> inner, uint64_t& sent)
            : inner_(std::move(inner)), sent_(sent) {}
        bool InstallReceiveFilter(std::string& error) override {
            return inner_->InstallReceiveFilter(error);
        }
        bool Send(std::span<const uint8_t> frame) override {
            ++sent_;
            return inner_->Send(frame);
        }
        int Dispatch(FrameSink sink, void* context) override {
            return inner_->Dispatch(sink, context);
        }

    private:
        std::unique_ptr<CaptureHandle> inner_;
        uint64_t& sent_;
    };
    CaptureBackend& inner_;
    uint64_t sent_ = 0;
};

struct Figure {
    uint64_t requests = 0;
    double totalMs = 0;
    bool ok = false;
};

template <typename Operation>
Figure Measure(CountingBackend& backend, Operation operation) {
    const uint64_t before = backend.Sent();
    const auto start = std::chrono::steady_clock::now();
    Figure figure;
    figure.ok = operation();
    figure.totalMs =
        std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
    figure.requests = backend.Sent() - before;
    return figure;
}

void Print(const char* generation, const char* what, const Figure& figure) {
    std::printf("%-7s %-34s %8llu %10.1f %12.3f %s\n", generation, what,
                static_cast<unsigned long long>(figure.requests), figure.totalMs,
                figure.requests ? figure.totalMs / static_cast<double>(figure.requests) : 0.0,
                figure.ok ? "" : "FAILED");
}

bool RunGeneration(const char* generation, const char* id, int index) {
    const std::string adapter = "benchpc" + std::to_string(index);
    const std::string peer = "benchplc" + std::to_string(index);
    const std::string file = "/tmp/ambrel-bench-" + std::to_string(index) + ".net";
    std::ofstream(file) << "local 02:00:00:00:00:01\n    id " << id << "\n";
    test::PeerHost host;
    if (!test::CreateVethPair(adapter, peer) || !host.Create(peer) ||
        !host.Start({test::BuiltProgram("plcsim"), "--interface", peer, "--network", file, "--log",
                     "/dev/null"})) {
        std::fprintf(stderr, "operations_bench: cannot start plcsim on %s\n", peer.c_str());
        return false;
    }

    ResetDeviceModel();
    CountingBackend backend(PcapCaptureBackend());
    SetCaptureBackend(&backend);
    bool found = false;
    for (int i = 0; i < 100 && !found; ++i) {
        found = ScanForLocalDevice();
        if (!found)
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    if (!found) {
        std::fprintf(stderr, "operations_bench: plcsim does not answer on %s\n", adapter.c_str());
        return false;
    }
    DeviceModel& model = TheDeviceModel();
    const MacAddress mac = model.localDevice.mac;

    Figure roundTrip = Measure(backend, [&] {
        for (int i = 0; i < 200; ++i) {
            if (!Exchange(mac, MessageType::Version, 1).accepted)
                return false;
        }
        return true;
    });
    Print(generation, "version request round trip", roundTrip);

    const bool second = model.secondGeneration != 0;
    const std::string size = std::to_string(second ? 9040 : 15560);
    Print(generation, ("read " + size + "-byte block").c_str(),
          Measure(backend, [&] { return ReadParameterBlock(mac); }));
    Print(generation, ("write " + size + "-byte block back").c_str(),
          Measure(backend, [] { return WriteParameterBlock(); }));

    ReadParameterBlock(mac);
    model.pibFileImage.assign(model.pibImage.begin(),
                              model.pibImage.begin() + model.transfer.totalLength);
    model.firmwareImage.assign(1 << 20, 0);
    for (size_t i = 0; i < model.firmwareImage.size(); ++i) {
        model.firmwareImage[i] = static_cast<uint8_t>(i * 2654435761u >> 24);
    }
    auto key = ByteReader(model.pibImage).Bytes(PibLayoutOf(second).deviceKey, 16);
    if (key)
        std::copy(key->begin(), key->end(), model.localDevice.deviceKey.begin());
    Print(generation, "upgrade, 1 MiB firmware + block", Measure(backend, [&] {
              return second ? UpgradeSecondGeneration(mac) : UpgradeFirstGeneration(mac);
          }));

    CloseAdapters();
    SetCaptureBackend(nullptr);
    host.Stop();
    std::remove(file.c_str());
    return true;
}

}  // namespace

int main() {
    if (auto reason = test::EnterPrivateNetwork()) {
        std::fprintf(stderr, "operations_bench: %s\n", reason->c_str());
        return 1;
    }
    PauselessClock clock;
    SetProtocolClock(&clock);
    std::printf("%-7s %-34s %8s %10s %12s\n", "gen", "operation", "requests", "total ms",
                "ms/request");
    const bool first = RunGeneration("first", "2", 0);
    const bool second = RunGeneration("second", "0x21", 1);
    SetProtocolClock(nullptr);
    return first && second ? 0 : 1;
}
