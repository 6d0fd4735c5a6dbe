// Chunked transfers of the first generation: read chunk, write chunk, commit
// and the end of an upgrade.

#include <algorithm>

#include "Checksum32.h"
#include "Exchange.h"

namespace plcsim {

namespace {

constexpr uint8_t kModuleFirmware = 1;
constexpr uint8_t kModuleBlock = 2;
constexpr uint8_t kCommitBlock = 0x02;
constexpr uint8_t kCommitBoth = 0x13;
constexpr uint8_t kFinishMarker = 3;
constexpr size_t kMaxFirmwareSize = 0x200000;
constexpr size_t kMaxStagedBlockSize = 0x100000;

std::string Describe(const char* what, uint32_t offset, uint32_t length) {
    return std::string(what) + " offset " + std::to_string(offset) + " length " +
           std::to_string(length);
}

Outcome ReadConfirm(Exchange& exchange, uint8_t value, uint32_t offset,
                    std::span<const uint8_t> data, std::string summary) {
    ConfirmBuilder confirm(exchange.device, exchange.request);
    auto& out = confirm.Fields();
    out.U8(20, value);
    out.U8(21, kModuleBlock);
    out.Le16(26, static_cast<uint16_t>(data.size()));
    out.Le32(28, offset);
    out.Bytes(36, data);
    return {confirm.Finish(36 + data.size()), summary + ": " + StatusText(value)};
}

Outcome WriteConfirm(Exchange& exchange, uint8_t value, uint8_t module, uint32_t offset,
                     uint16_t length, std::string summary) {
    ConfirmBuilder confirm(exchange.device, exchange.request);
    auto& out = confirm.Fields();
    out.U8(20, value);
    out.U8(21, module);
    out.Le16(23, length);
    out.Le32(25, offset);
    return {confirm.Finish(29), summary + ": " + StatusText(value)};
}

Outcome StatusConfirm(Exchange& exchange, uint8_t value, std::string summary) {
    ConfirmBuilder confirm(exchange.device, exchange.request);
    confirm.Fields().U8(20, value);
    return {confirm.Finish(21), summary + ": " + StatusText(value)};
}

// A staged block is good when its length field lies within what was
// received, covers the fields the device needs, and its checksum holds.
uint8_t CheckStagedBlock(const StagedModule& staged) {
    if (!staged.active)
        return status::kMalformed;
    auto length = ambrel::ByteReader(staged.bytes).Le16(kBlockLengthOffset);
    if (!length || *length > staged.bytes.size() ||
        *length < LayoutOf(Generation::First).minimumLength) {
        return status::kBadLength;
    }
    return BlockIsValid(staged.bytes) ? status::kOk : status::kBadChecksum;
}

std::vector<uint8_t> TakeBlock(StagedModule& staged) {
    auto length = ambrel::ByteReader(staged.bytes).Le16(kBlockLengthOffset).value_or(0);
    std::vector<uint8_t> block = std::move(staged.bytes);
    block.resize(length);
    staged = {};
    return block;
}

}  // namespace

Outcome HandleReadChunk(Exchange& exchange) {
    const auto& in = exchange.request.reader;
    auto module = in.U8(20);
    auto asked = in.Le16(22);
    auto offset = in.Le32(24);
    if (exchange.device.Gen() != Generation::First) {
        return ReadConfirm(exchange, status::kNotSupported, offset.value_or(0), {}, "read chunk");
    }
    if (!module || !asked || !offset) {
        return ReadConfirm(exchange, status::kMalformed, 0, {}, "read chunk");
    }
    std::string summary = Describe("read chunk", *offset, *asked);
    if (*module != kModuleBlock) {
        return ReadConfirm(exchange, status::kUnknownModule, *offset, {}, summary);
    }
    const auto& block = exchange.device.ParameterBlock();
    if (*offset > block.size()) {
        return ReadConfirm(exchange, status::kBadOffset, *offset, {}, summary);
    }
    size_t count =
        std::min<size_t>({*asked, ambrel::kFirstGenerationChunk, block.size() - *offset});
    auto data =
        ambrel::ByteReader(block).Bytes(*offset, count).value_or(std::span<const uint8_t>{});
    return ReadConfirm(exchange, status::kOk, *offset, data, summary);
}

Outcome HandleWriteChunk(Exchange& exchange) {
    const auto& in = exchange.request.reader;
    auto module = in.U8(20);
    auto length = in.Le16(22);
    auto offset = in.Le32(24);
    auto checksum = in.Le32(28);
    uint8_t moduleId = module.value_or(0);
    if (exchange.device.Gen() != Generation::First) {
        return WriteConfirm(exchange, status::kNotSupported, moduleId, offset.value_or(0),
                            length.value_or(0), "write chunk");
    }
    if (!module || !length || !offset || !checksum) {
        return WriteConfirm(exchange, status::kMalformed, moduleId, 0, 0, "write chunk");
    }
    std::string summary =
        Describe(*module == kModuleFirmware ? "write firmware chunk" : "write block chunk", *offset,
                 *length);
    auto reply = [&](uint8_t value) {
        return WriteConfirm(exchange, value, moduleId, *offset, *length, summary);
    };
    if (*module != kModuleFirmware && *module != kModuleBlock)
        return reply(status::kUnknownModule);
    auto data = in.Bytes(32, *length);
    if (!data)
        return reply(status::kMalformed);
    if (ambrel::Checksum32(*data, data->size() / 4) != *checksum)
        return reply(status::kBadChecksum);

    StagedModule& staged =
        *module == kModuleFirmware ? exchange.device.stagedFirmware : exchange.device.stagedBlock;
    size_t limit = *module == kModuleFirmware ? kMaxFirmwareSize : kMaxStagedBlockSize;
    // Offset 0 starts the module afresh; every other chunk must follow the
    // previous one.
    if (*offset != 0 && (!staged.active || *offset != staged.bytes.size())) {
        return reply(status::kBadOffset);
    }
    if (size_t{*offset} + data->size() > limit)
        return reply(status::kBadLength);
    if (*offset == 0)
        staged = StagedModule{{}, true};
    staged.bytes.insert(staged.bytes.end(), data->begin(), data->end());
    return reply(status::kOk);
}

Outcome HandleCommit(Exchange& exchange) {
    SimDevice& device = exchange.device;
    if (device.Gen() != Generation::First) {
        return StatusConfirm(exchange, status::kNotSupported, "commit");
    }
    auto what = exchange.request.reader.U8(20);
    if (what != kCommitBlock && what != kCommitBoth) {
        return StatusConfirm(exchange, status::kMalformed, "commit");
    }
    const bool both = what == kCommitBoth;
    std::string summary = both ? "commit firmware and block" : "commit block";
    if (uint8_t check = CheckStagedBlock(device.stagedBlock); check != status::kOk) {
        return StatusConfirm(exchange, check, summary);
    }
    if (both && (!device.stagedFirmware.active || device.stagedFirmware.bytes.empty())) {
        return StatusConfirm(exchange, status::kMalformed, summary + " (no firmware written)");
    }
    device.ReplaceParameterBlock(TakeBlock(device.stagedBlock));
    ++device.counters.blockCommits;
    if (both) {
        device.InstallFirmware(std::move(device.stagedFirmware.bytes));
        device.stagedFirmware = {};
    }
    return StatusConfirm(exchange, status::kOk, summary);
}

Outcome HandleFinishUpgrade(Exchange& exchange) {
    SimDevice& device = exchange.device;
    std::string summary = "finish upgrade";
    if (device.Gen() != Generation::First) {
        return StatusConfirm(exchange, status::kNotSupported, summary);
    }
    const auto& in = exchange.request.reader;
    auto marker = in.U8(20);
    auto key = in.Bytes(22, 16);
    if (marker != kFinishMarker || !key)
        return StatusConfirm(exchange, status::kMalformed, summary);
    // The request must carry the device key of the block now in the device.
    auto own = ambrel::ByteReader(device.ParameterBlock())
                   .Bytes(LayoutOf(Generation::First).deviceKey, 16);
    if (!own || !std::equal(own->begin(), own->end(), key->begin())) {
        return StatusConfirm(exchange, status::kWrongKey, summary);
    }
    if (!device.stagedFirmware.active || device.stagedFirmware.bytes.empty()) {
        return StatusConfirm(exchange, status::kMalformed, summary + " (no firmware written)");
    }
    if (uint8_t check = CheckStagedBlock(device.stagedBlock); check != status::kOk) {
        return StatusConfirm(exchange, check, summary);
    }
    device.ReplaceParameterBlock(TakeBlock(device.stagedBlock));
    ++device.counters.blockCommits;
    device.InstallFirmware(std::move(device.stagedFirmware.bytes));
    device.stagedFirmware = {};
    return StatusConfirm(exchange, status::kOk, summary);
}

}  // namespace plcsim
