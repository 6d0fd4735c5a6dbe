#pragma once

// The simulated powerline network: the local device (the one wired to the
// PC's Ethernet port), the remote stations and the faults to inject.

#include <deque>
#include <vector>

#include "FaultPlan.h"
#include "SimDevice.h"

namespace plcsim {

class Network {
public:
    explicit Network(DeviceConfig local = {});

    SimDevice& Local() { return local_; }
    const SimDevice& Local() const { return local_; }

    // References stay valid while the network lives.
    SimDevice& AddStation(DeviceConfig config);
    std::deque<SimDevice>& Stations() { return stations_; }
    const std::deque<SimDevice>& Stations() const { return stations_; }

    // The local device or the station with this MAC, or nullptr.
    SimDevice* Find(const ambrel::MacAddress& mac);
    bool IsSimulated(const ambrel::MacAddress& mac) { return Find(mac) != nullptr; }

    // Devices that hear each other over the powerline: those sharing `device`'s
    // network key, `device` itself left out. The local device comes first,
    // then the stations in order.
    std::vector<const SimDevice*> PeersOf(const SimDevice& device) const;
    std::vector<SimDevice*> AllDevices();

    FaultPlan faults;

private:
    SimDevice local_;
    std::deque<SimDevice> stations_;
};

}  // namespace plcsim
