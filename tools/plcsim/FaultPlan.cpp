#include "FaultPlan.h"

#include <array>

#include "ByteCursor.h"
#include "ManagementMessage.h"

namespace plcsim {

namespace {

using ambrel::ByteReader;
using ambrel::ByteWriter;

constexpr std::array<std::pair<FaultKind, std::string_view>, 8> kNames{{
    {FaultKind::Drop, "drop"},
    {FaultKind::Delay, "delay"},
    {FaultKind::Duplicate, "duplicate"},
    {FaultKind::CorruptVendor, "corrupt"},
    {FaultKind::WrongStatus, "wrong-status"},
    {FaultKind::WrongOffset, "wrong-offset"},
    {FaultKind::WrongTransaction, "wrong-transaction"},
    {FaultKind::Silent, "silent"},
}};

constexpr uint16_t kModuleConfirm = ambrel::ConfirmOf(ambrel::MessageType::ModuleOperation);

std::optional<uint16_t> ModuleOperationOf(const std::vector<uint8_t>& frame) {
    return ByteReader(frame).Le16(29);
}

// Where a confirmation carries the chunk offset, if it carries one.
std::optional<size_t> OffsetField(const std::vector<uint8_t>& frame) {
    auto type = ByteReader(frame).Le16(ambrel::header::kType);
    if (!type)
        return std::nullopt;
    if (*type == ambrel::ConfirmOf(ambrel::MessageType::WriteChunk))
        return 25;
    if (*type == ambrel::ConfirmOf(ambrel::MessageType::ReadChunk))
        return 28;
    if (*type == kModuleConfirm) {
        auto op = ModuleOperationOf(frame);
        if (op == static_cast<uint16_t>(ambrel::ModuleOp::Read))
            return 43;
        if (op == static_cast<uint16_t>(ambrel::ModuleOp::Write))
            return 48;
    }
    return std::nullopt;
}

std::optional<size_t> TransactionField(const std::vector<uint8_t>& frame) {
    auto type = ByteReader(frame).Le16(ambrel::header::kType);
    if (type != kModuleConfirm)
        return std::nullopt;
    auto op = ModuleOperationOf(frame);
    if (op == static_cast<uint16_t>(ambrel::ModuleOp::StartWrite) ||
        op == static_cast<uint16_t>(ambrel::ModuleOp::Write) ||
        op == static_cast<uint16_t>(ambrel::ModuleOp::Commit)) {
        return 37;
    }
    return std::nullopt;
}

bool AddOne32(std::vector<uint8_t>& frame, size_t offset) {
    auto value = ByteReader(frame).Le32(offset);
    return value && ByteWriter(frame).Le32(offset, *value + 1);
}

bool Matches(const Fault& fault, uint16_t requestType) {
    if (fault.remaining && *fault.remaining == 0)
        return false;
    return !fault.messageType || *fault.messageType == requestType;
}

// Whether the fault can alter this confirmation at all: a fault that cannot
// is neither applied nor counted.
bool CanApply(const Fault& fault, const std::vector<uint8_t>& confirm) {
    switch (fault.kind) {
        case FaultKind::WrongOffset:
            return OffsetField(confirm).has_value();
        case FaultKind::WrongTransaction:
            return TransactionField(confirm).has_value();
        case FaultKind::CorruptVendor:
        case FaultKind::WrongStatus:
            return confirm.size() > 21;
        case FaultKind::Silent:
            return false;
        default:
            return true;
    }
}

// Counts one request off the fault's skip; true while it still skips.
bool Skipping(Fault& fault) {
    if (fault.skip == 0)
        return false;
    --fault.skip;
    return true;
}

void Spend(Fault& fault, std::string& note) {
    if (fault.remaining)
        --*fault.remaining;
    if (!note.empty())
        note += ',';
    note += FaultKindName(fault.kind);
}

}  // namespace

std::string_view FaultKindName(FaultKind kind) {
    for (const auto& [k, name] : kNames) {
        if (k == kind)
            return name;
    }
    return "?";
}

std::optional<FaultKind> ParseFaultKind(std::string_view name) {
    for (const auto& [kind, text] : kNames) {
        if (text == name)
            return kind;
    }
    return std::nullopt;
}

bool FaultPlan::TakeSilent() {
    for (auto& fault : faults_) {
        if (fault.kind != FaultKind::Silent)
            continue;
        if (fault.remaining && *fault.remaining == 0)
            continue;
        if (Skipping(fault))
            continue;
        if (fault.remaining)
            --*fault.remaining;
        return true;
    }
    return false;
}

std::vector<Reply> FaultPlan::Apply(uint16_t requestType, std::vector<uint8_t> confirm,
                                    std::string& note) {
    bool drop = false;
    int copies = 1;
    uint32_t delayMs = 0;
    for (auto& fault : faults_) {
        if (!Matches(fault, requestType) || !CanApply(fault, confirm) || Skipping(fault))
            continue;
        bool applied = true;
        switch (fault.kind) {
            case FaultKind::Drop:
                drop = true;
                break;
            case FaultKind::Delay:
                delayMs += fault.delayMs;
                break;
            case FaultKind::Duplicate:
                copies = 2;
                break;
            case FaultKind::CorruptVendor:
                applied = ByteWriter(confirm).U8(ambrel::header::kVendor + 2, 0x53);
                break;
            case FaultKind::WrongStatus:
                // The module operation carries a 16-bit status; the others 8 bits.
                applied = ByteReader(confirm).Le16(ambrel::header::kType) == kModuleConfirm
                              ? ByteWriter(confirm).Le16(20, kFaultStatus)
                              : ByteWriter(confirm).U8(20, kFaultStatus);
                break;
            case FaultKind::WrongOffset: {
                auto field = OffsetField(confirm);
                applied = field && AddOne32(confirm, *field);
                break;
            }
            case FaultKind::WrongTransaction: {
                auto field = TransactionField(confirm);
                applied = field && AddOne32(confirm, *field);
                break;
            }
            case FaultKind::Silent:
                applied = false;
                break;
        }
        if (applied)
            Spend(fault, note);
    }
    std::vector<Reply> replies;
    if (drop)
        return replies;
    for (int i = 0; i < copies; ++i)
        replies.push_back(Reply{confirm, delayMs});
    return replies;
}

}  // namespace plcsim
