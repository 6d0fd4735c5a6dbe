#pragma once

// Faults injected into the answers of the simulated devices.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace plcsim {

enum class FaultKind {
    Drop,              // the request takes effect, its confirmation is lost
    Delay,             // the confirmation leaves `delayMs` later
    Duplicate,         // the confirmation is sent twice
    CorruptVendor,     // the confirmation carries a wrong vendor identifier
    WrongStatus,       // the confirmation reports a failure status
    WrongOffset,       // the confirmation names another offset (chunk messages)
    WrongTransaction,  // the confirmation names another transaction (module operation)
    Silent,            // nothing answers and nothing happens, whatever the type
};

std::string_view FaultKindName(FaultKind kind);
std::optional<FaultKind> ParseFaultKind(std::string_view name);

struct Fault {
    FaultKind kind = FaultKind::Drop;
    // Request type (0xA000 ...) the fault applies to; unset: every type.
    // Silent ignores it.
    std::optional<uint16_t> messageType{};
    // How many more matching requests it affects; unset: all of them.
    std::optional<unsigned> remaining{};
    uint32_t delayMs = 0;  // Delay only
    // How many matching requests still pass untouched before the fault
    // starts (a refusal in the middle of a transfer).
    unsigned skip = 0;
};

// A frame to send back and how long after the request.
struct Reply {
    std::vector<uint8_t> frame;
    uint32_t delayMs = 0;
};

// The status the wrong-status fault puts into a confirmation.
inline constexpr uint8_t kFaultStatus = 0x7F;

class FaultPlan {
public:
    void Add(const Fault& fault) { faults_.push_back(fault); }
    void Clear() { faults_.clear(); }
    const std::vector<Fault>& List() const { return faults_; }

    // True (and one use spent) when a silent fault is active; a silent fault
    // still skipping lets the request through and counts it.
    bool TakeSilent();

    // Turns a device's confirmation to a request of `requestType` into what is
    // actually sent: zero, one or two frames, possibly altered or delayed.
    // Faults that cannot apply to this confirmation (a wrong offset on a
    // message without an offset) are neither applied nor spent. `note`
    // receives the names of the applied faults.
    std::vector<Reply> Apply(uint16_t requestType, std::vector<uint8_t> confirm, std::string& note);

private:
    std::vector<Fault> faults_;
};

}  // namespace plcsim
