#include "Network.h"

namespace plcsim {

Network::Network(DeviceConfig local) : local_(std::move(local)) {}

SimDevice& Network::AddStation(DeviceConfig config) {
    return stations_.emplace_back(std::move(config));
}

SimDevice* Network::Find(const ambrel::MacAddress& mac) {
    if (local_.Mac() == mac)
        return &local_;
    for (auto& station : stations_) {
        if (station.Mac() == mac)
            return &station;
    }
    return nullptr;
}

std::vector<const SimDevice*> Network::PeersOf(const SimDevice& device) const {
    std::vector<const SimDevice*> peers;
    auto consider = [&](const SimDevice& other) {
        if (&other != &device && other.NetworkKey() == device.NetworkKey()) {
            peers.push_back(&other);
        }
    };
    consider(local_);
    for (const auto& station : stations_)
        consider(station);
    return peers;
}

std::vector<SimDevice*> Network::AllDevices() {
    std::vector<SimDevice*> all{&local_};
    for (auto& station : stations_)
        all.push_back(&station);
    return all;
}

}  // namespace plcsim
