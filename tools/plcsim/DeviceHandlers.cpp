// Identity, network and key messages: version, network information, set key,
// factory defaults and restart.

#include <algorithm>
#include <array>
#include <cstdio>

#include "Exchange.h"

namespace plcsim {

namespace {

using ambrel::MacAddress;

constexpr size_t kStationsOffset = 39;
constexpr size_t kStationEntrySize = 15;
// As many stations as one frame holds.
constexpr size_t kMaxListedStations =
    (ambrel::kMaxFrameLength - kStationsOffset) / kStationEntrySize;

Outcome StatusOnly(Exchange& exchange, uint8_t value, std::string summary) {
    ConfirmBuilder confirm(exchange.device, exchange.request);
    confirm.Fields().U8(20, value);
    return {confirm.Finish(21), std::move(summary)};
}

// A seven-byte network identifier that follows from the key without giving
// the key away in a readable form.
std::array<uint8_t, 7> NetworkIdOf(const ambrel::Key16& key) {
    std::array<uint8_t, 7> id{};
    for (size_t i = 0; i < key.size(); ++i) {
        id[i % id.size()] = static_cast<uint8_t>(id[i % id.size()] * 31 + key[i] + i);
    }
    return id;
}

}  // namespace

Outcome HandleVersion(Exchange& exchange) {
    SimDevice& device = exchange.device;
    if (!device.AnswersVersion())
        return {{}, "version: not answered (device configured so)"};
    ConfirmBuilder confirm(device, exchange.request);
    auto& out = confirm.Fields();
    const std::string& text = device.FirmwareVersion();
    out.U8(20, status::kOk);
    out.U8(21, device.DeviceId());
    out.U8(22, static_cast<uint8_t>(std::min(text.size(), kVersionTextSize)));
    out.Bytes(23, std::span(reinterpret_cast<const uint8_t*>(text.data()),
                            std::min(text.size(), kVersionTextSize)));
    char idText[8];
    std::snprintf(idText, sizeof idText, "0x%02X", device.DeviceId());
    return {confirm.Finish(23 + kVersionTextSize),
            std::string("version: id ") + idText + " \"" + text + "\""};
}

Outcome HandleNetworkInfo(Exchange& exchange) {
    SimDevice& device = exchange.device;
    Network& network = exchange.network;
    auto peers = network.PeersOf(device);
    size_t listed = std::min(peers.size(), kMaxListedStations);

    ConfirmBuilder confirm(device, exchange.request);
    auto& out = confirm.Fields();
    out.U8(20, status::kOk);
    out.U8(21, 1);  // one network
    out.Bytes(22, NetworkIdOf(device.NetworkKey()));
    out.U8(29, 1);                                    // short network identifier
    out.U8(30, &device == &network.Local() ? 1 : 2);  // its own station identifier
    out.U8(31, &device == &network.Local() ? 2 : 0);  // role: coordinator or station
    out.Bytes(32, network.Local().Mac());             // the coordinator
    out.U8(38, static_cast<uint8_t>(listed));
    for (size_t k = 0; k < listed; ++k) {
        size_t entry = kStationsOffset + k * kStationEntrySize;
        out.Bytes(entry, peers[k]->Mac());
        out.U8(entry + 6, static_cast<uint8_t>(k + 2));  // station identifier
        out.U8(entry + 13, peers[k]->RateMbps());        // rate towards it
        out.U8(entry + 14, peers[k]->RateMbps());        // rate from it
    }
    std::string summary = "network info: " + std::to_string(listed) + " station(s)";
    if (listed < peers.size()) {
        summary += " of " + std::to_string(peers.size()) + " (the rest do not fit a frame)";
    }
    return {confirm.Finish(kStationsOffset + listed * kStationEntrySize), summary};
}

Outcome HandleSetKey(Exchange& exchange) {
    const auto& in = exchange.request.reader;
    auto marker = in.U8(20);
    auto key = in.Bytes(21, 16);
    auto form = in.U8(37);
    auto mac = in.Bytes(38, 6);
    auto accessKey = in.Bytes(44, 16);
    if (marker != 1 || !key || !form || !mac || !accessKey) {
        return StatusOnly(exchange, status::kMalformed, "set key: malformed request");
    }
    ambrel::Key16 newKey{};
    std::copy(key->begin(), key->end(), newKey.begin());

    if (*form == 0x0F) {
        exchange.device.SetNetworkKey(newKey);
        return StatusOnly(exchange, status::kOk, "set key: local device takes the key");
    }

    // The relaying device passes the key on over the powerline, sealed with
    // the target's device access key: only a device that owns that key takes
    // it. The relay cannot know whether anyone did, so it always reports 0.
    MacAddress target{};
    std::copy(mac->begin(), mac->end(), target.begin());
    ambrel::Key16 access{};
    std::copy(accessKey->begin(), accessKey->end(), access.begin());
    const bool everyone = target == ambrel::kBroadcastMac;
    std::string takers;
    for (SimDevice* device : exchange.network.AllDevices()) {
        if (everyone ? device == &exchange.device : device->Mac() != target)
            continue;
        if (device->IsSilent(exchange.nowMs) || device->DeviceAccessKey() != access)
            continue;
        device->SetNetworkKey(newKey);
        takers += (takers.empty() ? "" : " ") + ambrel::FormatMac(device->Mac());
    }
    std::string summary = std::string("set key for ") +
                          (everyone ? "every station" : ambrel::FormatMac(target)) + ": " +
                          (takers.empty() ? "no device took the key" : "taken by " + takers);
    return StatusOnly(exchange, status::kOk, summary);
}

Outcome HandleFactoryDefaults(Exchange& exchange) {
    exchange.device.RestoreFactoryDefaults();
    return StatusOnly(exchange, status::kOk, "factory defaults restored");
}

Outcome HandleRestart(Exchange& exchange) {
    // The confirmation leaves before the device goes down.
    Outcome outcome = StatusOnly(exchange, status::kOk, "restart");
    exchange.device.Restart(exchange.nowMs);
    if (exchange.device.RestartSilenceMs() > 0) {
        outcome.summary +=
            ", silent for " + std::to_string(exchange.device.RestartSilenceMs()) + " ms";
    }
    return outcome;
}

}  // namespace plcsim
