#include "Responder.h"

#include <algorithm>

#include "Exchange.h"

namespace plcsim {

namespace {

using ambrel::MessageType;

// Which device a request reaches, or why none does.
struct Route {
    SimDevice* device = nullptr;
    std::string whyNot;
};

Route RouteOf(Network& network, const ambrel::MacAddress& destination, uint64_t nowMs) {
    SimDevice& local = network.Local();
    const bool toLocal =
        destination == ambrel::kLocalManagementAddress || destination == local.Mac();
    // Everything goes through the local device: while it restarts, nothing
    // answers.
    if (local.IsSilent(nowMs)) {
        return {nullptr, toLocal || network.IsSimulated(destination)
                             ? "not answered: local device restarting"
                             : "ignored: no such device"};
    }
    if (toLocal)
        return {&local, {}};
    SimDevice* station = network.Find(destination);
    if (station == nullptr)
        return {nullptr, "ignored: no such device"};
    if (station->NetworkKey() != local.NetworkKey()) {
        return {nullptr, "not answered: station is in another network"};
    }
    if (station->IsSilent(nowMs))
        return {nullptr, "not answered: station restarting"};
    return {station, {}};
}

Outcome Dispatch(Exchange& exchange) {
    switch (static_cast<MessageType>(exchange.request.type)) {
        case MessageType::Version:
            return HandleVersion(exchange);
        case MessageType::Restart:
            return HandleRestart(exchange);
        case MessageType::WriteChunk:
            return HandleWriteChunk(exchange);
        case MessageType::ReadChunk:
            return HandleReadChunk(exchange);
        case MessageType::Commit:
            return HandleCommit(exchange);
        case MessageType::NetworkInfo:
            return HandleNetworkInfo(exchange);
        case MessageType::SetKey:
            return HandleSetKey(exchange);
        case MessageType::FactoryDefaults:
            return HandleFactoryDefaults(exchange);
        case MessageType::FinishUpgrade:
            return HandleFinishUpgrade(exchange);
        case MessageType::ModuleOperation:
            return HandleModuleOperation(exchange);
    }
    return {{}, "not answered: unknown message type"};
}

}  // namespace

std::vector<Reply> Responder::Handle(std::span<const uint8_t> frame, uint64_t nowMs) {
    Request request(frame);
    const auto& in = request.reader;
    if (in.Be16(ambrel::header::kEtherType) != ambrel::kEtherTypeManagement)
        return {};
    auto vendor = in.Bytes(ambrel::header::kVendor, ambrel::kVendorId.size());
    if (!vendor || !std::equal(vendor->begin(), vendor->end(), ambrel::kVendorId.begin())) {
        return {};
    }
    auto destination = in.Bytes(ambrel::header::kDestination, 6);
    auto source = in.Bytes(ambrel::header::kSource, 6);
    auto type = in.Le16(ambrel::header::kType);
    if (!destination || !source || !type)
        return {};
    std::copy(destination->begin(), destination->end(), request.destination.begin());
    std::copy(source->begin(), source->end(), request.source.begin());
    request.type = *type;
    // Our own confirmations, seen again on the wire, and confirmations from
    // anyone else are not requests.
    if (network_.IsSimulated(request.source) || (request.type & 1) != 0)
        return {};

    LogRecord record{nowMs, request.type, std::nullopt, request.destination, request.source, {}};
    if (request.type == static_cast<uint16_t>(MessageType::ModuleOperation)) {
        record.operation = in.Le16(25);
    }
    if (network_.faults.TakeSilent()) {
        record.summary = "not answered: silent (fault)";
        Record(std::move(record));
        return {};
    }
    Route route = RouteOf(network_, request.destination, nowMs);
    if (route.device == nullptr) {
        record.summary = route.whyNot;
        Record(std::move(record));
        return {};
    }
    Exchange exchange{network_, *route.device, request, nowMs};
    Outcome outcome = Dispatch(exchange);
    record.summary = std::move(outcome.summary);
    std::vector<Reply> replies;
    if (!outcome.confirm.empty()) {
        std::string note;
        replies = network_.faults.Apply(request.type, std::move(outcome.confirm), note);
        if (!note.empty())
            record.summary += " [fault " + note + "]";
    }
    Record(std::move(record));
    return replies;
}

void Responder::Record(LogRecord record) {
    if (sink_)
        sink_(record);
    if (keepLog_)
        log_.push_back(std::move(record));
}

}  // namespace plcsim
