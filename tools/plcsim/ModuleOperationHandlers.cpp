// The second generation's module operation: read, start write, write, commit.

#include <algorithm>
#include <cstdio>

#include "Checksum32.h"
#include "Exchange.h"

namespace plcsim {

namespace {

using ambrel::ModuleOp;

constexpr size_t kMaxModules = 10;
constexpr size_t kDescriptorsOffset = 38;
constexpr size_t kDescriptorSize = 12;
constexpr uint32_t kTwoModuleCommit = 0x80000001;
constexpr uint32_t kMaxFirmwareSize = 0x200000;

std::string Hex32(uint32_t value) {
    char text[12];
    std::snprintf(text, sizeof text, "0x%08X", value);
    return text;
}

// The fields every module-operation confirmation starts with.
void WriteCommon(ConfirmBuilder& confirm, uint16_t value, uint16_t op) {
    auto& out = confirm.Fields();
    out.Le16(20, value);
    out.U8(28, 1);  // one operation
    out.Le16(29, op);
}

Outcome Refuse(Exchange& exchange, uint16_t op, uint8_t value, const std::string& summary) {
    ConfirmBuilder confirm(exchange.device, exchange.request);
    WriteCommon(confirm, value, op);
    return {confirm.Finish(33), summary + ": " + StatusText(value)};
}

uint8_t CheckDescriptor(uint16_t module, uint32_t length) {
    if (module != ambrel::kModuleParameterBlock && module != ambrel::kModuleFirmware) {
        return status::kUnknownModule;
    }
    uint32_t limit =
        module == ambrel::kModuleFirmware ? kMaxFirmwareSize : kMaxSecondGenerationBlockLength;
    return length == 0 || length > limit ? status::kBadLength : status::kOk;
}

Outcome Read(Exchange& exchange) {
    const auto& in = exchange.request.reader;
    constexpr uint16_t op = static_cast<uint16_t>(ModuleOp::Read);
    auto module = in.Le16(33);
    auto asked = in.Le16(37);
    auto offset = in.Le32(39);
    if (!module || !asked || !offset)
        return Refuse(exchange, op, status::kMalformed, "read");
    std::string summary =
        "read offset " + std::to_string(*offset) + " length " + std::to_string(*asked);
    if (*module != ambrel::kModuleParameterBlock) {
        return Refuse(exchange, op, status::kUnknownModule, summary);
    }
    const auto& block = exchange.device.ParameterBlock();
    if (*offset > block.size())
        return Refuse(exchange, op, status::kBadOffset, summary);
    size_t count =
        std::min<size_t>({*asked, ambrel::kSecondGenerationChunk, block.size() - *offset});
    auto data =
        ambrel::ByteReader(block).Bytes(*offset, count).value_or(std::span<const uint8_t>{});

    ConfirmBuilder confirm(exchange.device, exchange.request);
    WriteCommon(confirm, status::kOk, op);
    auto& out = confirm.Fields();
    out.Le16(33, *module);
    out.Le16(41, static_cast<uint16_t>(data.size()));
    out.Le32(43, *offset);
    out.Bytes(47, data);
    return {confirm.Finish(47 + data.size()),
            summary + ": ok, " + std::to_string(data.size()) + " bytes"};
}

Outcome StartWrite(Exchange& exchange) {
    const auto& in = exchange.request.reader;
    constexpr uint16_t op = static_cast<uint16_t>(ModuleOp::StartWrite);
    auto id = in.Le32(33);
    auto count = in.U8(37);
    if (!id || !count || *count == 0 || *count > kMaxModules) {
        return Refuse(exchange, op, status::kMalformed, "start write");
    }
    std::string summary = "start write tx " + Hex32(*id) + " modules";
    ModuleTransaction transaction{*id, {}};
    std::vector<uint8_t> moduleStatus;
    uint8_t overall = status::kOk;
    for (size_t i = 0; i < *count; ++i) {
        size_t at = kDescriptorsOffset + i * kDescriptorSize;
        auto module = in.Le16(at);
        auto length = in.Le32(at + 4);
        auto checksum = in.Le32(at + 8);
        if (!module || !length || !checksum)
            return Refuse(exchange, op, status::kMalformed, summary);
        uint8_t value = CheckDescriptor(*module, *length);
        bool duplicate = std::any_of(transaction.modules.begin(), transaction.modules.end(),
                                     [&](const auto& m) { return m.id == *module; });
        if (value == status::kOk && duplicate)
            value = status::kMalformed;
        if (overall == status::kOk)
            overall = value;
        moduleStatus.push_back(value);
        transaction.modules.push_back({*module, *length, *checksum, {}});
        char text[32];
        std::snprintf(text, sizeof text, " 0x%04X/%u", *module, *length);
        summary += text;
    }
    // A new start always ends the previous transaction; a refused one opens
    // none.
    exchange.device.transaction.reset();
    if (overall == status::kOk)
        exchange.device.transaction = std::move(transaction);

    ConfirmBuilder confirm(exchange.device, exchange.request);
    WriteCommon(confirm, overall, op);
    auto& out = confirm.Fields();
    out.Le32(37, *id);
    out.U8(41, *count);
    for (size_t i = 0; i < moduleStatus.size(); ++i)
        out.Le16(42 + i * 4, moduleStatus[i]);
    return {confirm.Finish(42 + moduleStatus.size() * 4), summary + ": " + StatusText(overall)};
}

Outcome Write(Exchange& exchange) {
    const auto& in = exchange.request.reader;
    constexpr uint16_t op = static_cast<uint16_t>(ModuleOp::Write);
    auto id = in.Le32(33);
    auto index = in.U8(37);
    auto module = in.Le16(38);
    auto length = in.Le16(42);
    auto offset = in.Le32(44);
    if (!id || !index || !module || !length || !offset) {
        return Refuse(exchange, op, status::kMalformed, "write");
    }
    char text[96];
    std::snprintf(text, sizeof text, "write tx 0x%08X module 0x%04X offset %u length %u", *id,
                  *module, *offset, *length);
    std::string summary = text;
    auto reply = [&](uint8_t value) {
        ConfirmBuilder confirm(exchange.device, exchange.request);
        WriteCommon(confirm, value, op);
        auto& out = confirm.Fields();
        out.Le32(37, *id);
        out.U8(41, *index);
        out.Le16(42, *module);
        out.Le16(46, *length);
        out.Le32(48, *offset);
        return Outcome{confirm.Finish(52), summary + ": " + StatusText(value)};
    };

    auto& transaction = exchange.device.transaction;
    if (!transaction || transaction->id != *id)
        return reply(status::kUnknownTransaction);
    if (*index >= transaction->modules.size())
        return reply(status::kUnknownModule);
    auto& target = transaction->modules[*index];
    if (target.id != *module)
        return reply(status::kUnknownModule);
    auto data = in.Bytes(48, *length);
    if (!data)
        return reply(status::kMalformed);
    if (*offset != target.received.size())
        return reply(status::kBadOffset);
    if (size_t{*offset} + data->size() > target.length)
        return reply(status::kBadLength);
    target.received.insert(target.received.end(), data->begin(), data->end());
    return reply(status::kOk);
}

Outcome Commit(Exchange& exchange) {
    const auto& in = exchange.request.reader;
    constexpr uint16_t op = static_cast<uint16_t>(ModuleOp::Commit);
    auto id = in.Le32(33);
    auto flags = in.Le32(37);
    if (!id || !flags)
        return Refuse(exchange, op, status::kMalformed, "commit");
    std::string summary = "commit tx " + Hex32(*id);
    auto& transaction = exchange.device.transaction;
    if (!transaction || transaction->id != *id) {
        return Refuse(exchange, op, status::kUnknownTransaction, summary);
    }
    uint32_t expectedFlags = transaction->modules.size() > 1 ? kTwoModuleCommit : 0;
    std::vector<uint8_t> moduleStatus;
    uint8_t overall = *flags == expectedFlags ? status::kOk : status::kMalformed;
    for (const auto& module : transaction->modules) {
        uint8_t value = status::kOk;
        if (module.received.size() != module.length) {
            value = status::kBadLength;
        } else if (ambrel::Checksum32(module.received, module.length / 4) != module.checksum) {
            value = status::kBadChecksum;
        } else if (module.id == ambrel::kModuleParameterBlock &&
                   module.length < LayoutOf(Generation::Second).minimumLength) {
            value = status::kBadLength;
        }
        if (overall == status::kOk)
            overall = value;
        moduleStatus.push_back(value);
    }
    if (overall == status::kOk) {
        SimDevice& device = exchange.device;
        for (auto& module : transaction->modules) {
            if (module.id == ambrel::kModuleParameterBlock) {
                device.ReplaceParameterBlock(std::move(module.received));
                ++device.counters.blockCommits;
            } else {
                device.InstallFirmware(std::move(module.received));
            }
        }
    }
    // Committed or not, the transaction is over.
    transaction.reset();

    ConfirmBuilder confirm(exchange.device, exchange.request);
    WriteCommon(confirm, overall, op);
    auto& out = confirm.Fields();
    out.Le32(37, *id);
    out.U8(45, static_cast<uint8_t>(moduleStatus.size()));
    for (size_t i = 0; i < moduleStatus.size(); ++i)
        out.Le16(46 + i * 4, moduleStatus[i]);
    return {confirm.Finish(46 + moduleStatus.size() * 4), summary + ": " + StatusText(overall)};
}

}  // namespace

Outcome HandleModuleOperation(Exchange& exchange) {
    auto op = exchange.request.reader.Le16(25).value_or(0xFFFF);
    if (exchange.device.Gen() != Generation::Second) {
        return Refuse(exchange, op, status::kNotSupported, "module operation");
    }
    switch (op) {
        case static_cast<uint16_t>(ModuleOp::Read):
            return Read(exchange);
        case static_cast<uint16_t>(ModuleOp::StartWrite):
            return StartWrite(exchange);
        case static_cast<uint16_t>(ModuleOp::Write):
            return Write(exchange);
        case static_cast<uint16_t>(ModuleOp::Commit):
            return Commit(exchange);
        default:
            return Refuse(exchange, op, status::kMalformed,
                          "module operation " + std::to_string(op));
    }
}

}  // namespace plcsim
