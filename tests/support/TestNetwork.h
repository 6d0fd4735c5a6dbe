#pragma once

// Test hosts on private networks. The test process moves itself into a
// network namespace of its own; each PeerHost is a program running in a
// second, named namespace, wired to the test's namespace by a veth pair.
// Nothing here ever reaches a real network.

#include <sys/types.h>

#include <cstdlib>
#include <optional>
#include <string>
#include <vector>

namespace ambrel::test {

// Moves the whole process into a fresh network namespace with loopback up.
// Call before any thread starts. Returns the reason when that is impossible
// (not root, no namespaces); a test then skips with that reason, and under
// CI=true fails instead.
std::optional<std::string> EnterPrivateNetwork();

// Runs a shell command; true when it exits 0.
bool Run(const std::string& command);

// Creates a veth pair: `hostEnd` stays in the test's namespace (up, and with
// `hostAddress` such as "192.0.2.1/24" when given).
bool CreateVethPair(const std::string& hostEnd, const std::string& peerEnd,
                    const std::string& hostAddress = {});

class PeerHost {
public:
    PeerHost() = default;
    PeerHost(const PeerHost&) = delete;
    PeerHost& operator=(const PeerHost&) = delete;
    ~PeerHost();

    // Creates the namespace and moves `peerEnd` into it (up, with
    // `peerAddress` when given).
    bool Create(const std::string& peerEnd, const std::string& peerAddress = {});
    // Starts `argv` inside the namespace, in the background.
    bool Start(const std::vector<std::string>& argv);
    // Ends the program (SIGTERM, then SIGKILL) and waits for it.
    void Stop();
    const std::string& Namespace() const { return namespace_; }

private:
    std::string namespace_;
    pid_t pid_ = -1;
};

// Path of a program built beside the tests (set by CMake).
std::string BuiltProgram(const std::string& name);

}  // namespace ambrel::test

// Puts the test into its private network, or skips it with the reason (a
// failure when CI=true, where every network test must run).
#define AMBREL_REQUIRE_PRIVATE_NETWORK()                           \
    do {                                                           \
        if (auto reason = ::ambrel::test::EnterPrivateNetwork()) { \
            if (std::getenv("CI") != nullptr)                      \
                FAIL() << *reason;                                 \
            GTEST_SKIP() << *reason;                               \
        }                                                          \
    } while (0)
