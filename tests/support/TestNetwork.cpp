#include "TestNetwork.h"

#include <sched.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <cstdlib>
#include <thread>

extern char** environ;

namespace ambrel::test {

std::optional<std::string> EnterPrivateNetwork() {
    static std::optional<std::string> outcome = []() -> std::optional<std::string> {
        if (geteuid() != 0)
            return "network tests need root (they create network namespaces)";
        if (unshare(CLONE_NEWNET) != 0)
            return "cannot create a network namespace (unshare failed)";
        if (!Run("ip link set lo up"))
            return "cannot bring up loopback in the test namespace";
        return std::nullopt;
    }();
    return outcome;
}

bool Run(const std::string& command) {
    int status = std::system((command + " >/dev/null 2>&1").c_str());
    return status != -1 && WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

bool CreateVethPair(const std::string& hostEnd, const std::string& peerEnd,
                    const std::string& hostAddress) {
    Run("ip link del " + hostEnd);
    if (!Run("ip link add " + hostEnd + " type veth peer name " + peerEnd))
        return false;
    if (!hostAddress.empty() && !Run("ip addr add " + hostAddress + " dev " + hostEnd)) {
        return false;
    }
    return Run("ip link set " + hostEnd + " up");
}

PeerHost::~PeerHost() {
    Stop();
    if (!namespace_.empty())
        Run("ip netns del " + namespace_);
}

bool PeerHost::Create(const std::string& peerEnd, const std::string& peerAddress) {
    static std::atomic<int> counter{0};
    namespace_ = "ambrel-test-" + std::to_string(getpid()) + "-" + std::to_string(counter++);
    Run("ip netns del " + namespace_);
    if (!Run("ip netns add " + namespace_))
        return false;
    const std::string inside = "ip netns exec " + namespace_ + " ";
    if (!Run("ip link set " + peerEnd + " netns " + namespace_))
        return false;
    if (!Run(inside + "ip link set lo up"))
        return false;
    if (!peerAddress.empty() && !Run(inside + "ip addr add " + peerAddress + " dev " + peerEnd)) {
        return false;
    }
    return Run(inside + "ip link set " + peerEnd + " up");
}

bool PeerHost::Start(const std::vector<std::string>& argv) {
    std::vector<std::string> full{"ip", "netns", "exec", namespace_};
    full.insert(full.end(), argv.begin(), argv.end());
    std::vector<char*> args;
    for (auto& arg : full)
        args.push_back(arg.data());
    args.push_back(nullptr);
    if (posix_spawnp(&pid_, "ip", nullptr, nullptr, args.data(), environ) != 0) {
        pid_ = -1;
        return false;
    }
    return true;
}

void PeerHost::Stop() {
    if (pid_ <= 0)
        return;
    kill(pid_, SIGTERM);
    for (int i = 0; i < 100; ++i) {
        if (waitpid(pid_, nullptr, WNOHANG) == pid_) {
            pid_ = -1;
            return;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    kill(pid_, SIGKILL);
    waitpid(pid_, nullptr, 0);
    pid_ = -1;
}

std::string BuiltProgram(const std::string& name) {
    return std::string(AMBREL_BINARY_DIR) + "/" + name;
}

}  // namespace ambrel::test
