// plcsim: a simulated powerline network behind one Ethernet interface.
//
//   plcsim --interface IFNAME --network FILE [--log FILE]
//
// Answers the management requests that arrive on the interface as the
// devices of the network file would, until SIGTERM or SIGINT. Every request
// becomes one line of the log (standard output by default).

#include <poll.h>
#include <signal.h>

#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <map>
#include <string>
#include <string_view>

#include "NetworkFile.h"
#include "RawSocket.h"
#include "Responder.h"

namespace {

volatile sig_atomic_t stopRequested = 0;

void OnStopSignal(int) {
    stopRequested = 1;
}

constexpr const char* kUsage =
    "usage: plcsim --interface IFNAME --network FILE [--log FILE]\n"
    "\n"
    "Simulates a powerline network behind the Ethernet interface IFNAME: the\n"
    "devices described in FILE answer the management requests (EtherType\n"
    "0x88E1) that arrive there. Runs until SIGTERM or SIGINT.\n"
    "\n"
    "  --interface IFNAME  interface to answer on (needs root or CAP_NET_RAW)\n"
    "  --network FILE      network description (see tools/plcsim/README.md)\n"
    "  --log FILE          append one line per request to FILE instead of\n"
    "                      standard output\n"
    "  --help              show this text\n";

struct Options {
    std::string interfaceName;
    std::string networkFile;
    std::string logFile;
};

// Returns the exit code to end with, or -1 to go on.
int ParseOptions(int argc, char** argv, Options& options) {
    for (int i = 1; i < argc; ++i) {
        std::string_view arg = argv[i];
        if (arg == "--help" || arg == "-h") {
            std::fputs(kUsage, stdout);
            return 0;
        }
        std::string* target = arg == "--interface" ? &options.interfaceName
                              : arg == "--network" ? &options.networkFile
                              : arg == "--log"     ? &options.logFile
                                                   : nullptr;
        if (target == nullptr) {
            std::fprintf(stderr, "plcsim: unknown option '%s'\n%s", argv[i], kUsage);
            return 2;
        }
        if (i + 1 >= argc) {
            std::fprintf(stderr, "plcsim: %s needs a value\n", argv[i]);
            return 2;
        }
        *target = argv[++i];
    }
    if (options.interfaceName.empty() || options.networkFile.empty()) {
        std::fprintf(stderr, "plcsim: --interface and --network are required\n%s", kUsage);
        return 2;
    }
    return -1;
}

uint64_t SteadyMs() {
    using namespace std::chrono;
    return static_cast<uint64_t>(
        duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count());
}

}  // namespace

int main(int argc, char** argv) {
    Options options;
    if (int code = ParseOptions(argc, argv, options); code >= 0)
        return code;

    std::string error;
    auto network = plcsim::LoadNetworkFile(options.networkFile, error);
    if (!network) {
        std::fprintf(stderr, "plcsim: %s\n", error.c_str());
        return 1;
    }
    auto socket = plcsim::RawSocket::Open(options.interfaceName, error);
    if (!socket) {
        std::fprintf(stderr, "plcsim: %s\n", error.c_str());
        return 1;
    }
    FILE* log = stdout;
    if (!options.logFile.empty()) {
        log = std::fopen(options.logFile.c_str(), "a");
        if (log == nullptr) {
            std::fprintf(stderr, "plcsim: cannot open log file %s: %s\n", options.logFile.c_str(),
                         std::strerror(errno));
            return 1;
        }
    }

    // Signals stay blocked except while waiting in ppoll, so a stop request
    // can never slip in between the check and the wait.
    struct sigaction action {};
    action.sa_handler = OnStopSignal;
    sigemptyset(&action.sa_mask);
    sigaction(SIGTERM, &action, nullptr);
    sigaction(SIGINT, &action, nullptr);
    sigset_t stopSignals, waitMask;
    sigemptyset(&stopSignals);
    sigaddset(&stopSignals, SIGTERM);
    sigaddset(&stopSignals, SIGINT);
    sigprocmask(SIG_BLOCK, &stopSignals, &waitMask);
    sigdelset(&waitMask, SIGTERM);
    sigdelset(&waitMask, SIGINT);

    const uint64_t start = SteadyMs();
    plcsim::Responder responder(*network);
    responder.KeepLogInMemory(false);
    responder.SetLogSink([log](const plcsim::LogRecord& record) {
        std::fprintf(log, "%s\n", plcsim::FormatLogLine(record).c_str());
        std::fflush(log);
    });
    std::fprintf(stderr, "plcsim: answering on %s as %s with %zu station(s)\n",
                 options.interfaceName.c_str(), ambrel::FormatMac(network->Local().Mac()).c_str(),
                 network->Stations().size());

    // Delayed confirmations by due time; equal times keep their order.
    std::multimap<uint64_t, std::vector<uint8_t>> pending;
    int exitCode = 0;
    while (!stopRequested) {
        uint64_t now = SteadyMs() - start;
        while (!pending.empty() && pending.begin()->first <= now) {
            socket->Send(pending.begin()->second);
            pending.erase(pending.begin());
        }
        timespec timeout{};
        timespec* wait = nullptr;
        if (!pending.empty()) {
            uint64_t remaining = pending.begin()->first - now;
            timeout.tv_sec = static_cast<time_t>(remaining / 1000);
            timeout.tv_nsec = static_cast<long>(remaining % 1000) * 1000000L;
            wait = &timeout;
        }
        pollfd watched{socket->Descriptor(), POLLIN, 0};
        int ready = ppoll(&watched, 1, wait, &waitMask);
        if (ready < 0) {
            if (errno == EINTR)
                continue;
            std::fprintf(stderr, "plcsim: waiting for frames failed: %s\n", std::strerror(errno));
            exitCode = 1;
            break;
        }
        if (ready == 0)
            continue;
        if ((watched.revents & (POLLERR | POLLNVAL)) != 0) {
            // A link that goes down and up again reports an error once; only
            // an interface that is gone for good ends the program.
            if (!socket->TakeError() ||
                !plcsim::RawSocket::InterfaceExists(options.interfaceName)) {
                std::fprintf(stderr, "plcsim: interface %s is gone\n",
                             options.interfaceName.c_str());
                exitCode = 1;
                break;
            }
            continue;
        }
        while (auto frame = socket->ReceiveIncoming()) {
            uint64_t arrival = SteadyMs() - start;
            for (auto& reply : responder.Handle(*frame, arrival)) {
                if (reply.delayMs == 0) {
                    socket->Send(reply.frame);
                } else {
                    pending.emplace(arrival + reply.delayMs, std::move(reply.frame));
                }
            }
        }
    }
    if (log != stdout)
        std::fclose(log);
    return exitCode;
}
