// Figures of the transport and discovery over a real (virtual) wire: the
// wall time of one scan for the local device, and the processor time that a
// 10-second wait for a confirmation that never comes costs. Run as root: it
// makes its own network namespaces, a veth pair and starts the simulator.

#include <sys/resource.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <fstream>
#include <string>
#include <thread>
#include <vector>

#include "DeviceModel.h"
#include "Discovery.h"
#include "PcapBackend.h"
#include "TestNetwork.h"
#include "Transport.h"

namespace {

using namespace ambrel;
using Clock = std::chrono::steady_clock;

double CpuSeconds() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    auto seconds = [](const timeval& t) { return t.tv_sec + t.tv_usec / 1e6; };
    return seconds(usage.ru_utime) + seconds(usage.ru_stime);
}

double Millis(Clock::duration d) {
    return std::chrono::duration<double, std::milli>(d).count();
}

}  // namespace

int main() {
    if (auto reason = test::EnterPrivateNetwork()) {
        std::fprintf(stderr, "transport_bench: %s\n", reason->c_str());
        return 1;
    }
    const std::string networkFile = "/tmp/ambrel-transport-bench.net";
    std::ofstream(networkFile) << "local 00:B0:52:20:00:01\n    id 2\n"
                               << "station 00:B0:52:20:00:02\n    rate 100\n";
    test::PeerHost simulator;
    if (!test::CreateVethPair("bench0", "bench0p") || !simulator.Create("bench0p") ||
        !simulator.Start({test::BuiltProgram("plcsim"), "--interface", "bench0p", "--network",
                          networkFile, "--log", "/dev/null"})) {
        std::fprintf(stderr, "transport_bench: cannot set up the simulated network\n");
        return 1;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(500));
    UsePcapBackend();

    constexpr int kScans = 20;
    std::vector<double> scans;
    for (int i = 0; i < kScans; ++i) {
        auto start = Clock::now();
        bool found = ScanForLocalDevice();
        scans.push_back(Millis(Clock::now() - start));
        if (!found) {
            std::fprintf(stderr, "transport_bench: the scan found no device\n");
            return 1;
        }
    }
    std::sort(scans.begin(), scans.end());
    std::printf(
        "ScanForLocalDevice, one adapter, one device (%d runs): median %.1f ms, "
        "min %.1f ms, max %.1f ms\n",
        kScans, scans[kScans / 2], scans.front(), scans.back());

    // A type no device ever confirms: the wait runs its whole 10 seconds.
    FrameBuffer receive{};
    double cpuBefore = CpuSeconds();
    auto start = Clock::now();
    bool confirmed = WaitForConfirm(receive, 0xA0F0, 100);
    double wall = Millis(Clock::now() - start) / 1000.0;
    double cpu = CpuSeconds() - cpuBefore;
    std::printf(
        "WaitForConfirm timing out after 100 ticks: %s after %.2f s wall, %.3f s CPU "
        "(%.2f %% of one core)\n",
        confirmed ? "confirmed (unexpected)" : "timed out", wall, cpu, 100.0 * cpu / wall);
    CloseAdapters();
    return 0;
}
