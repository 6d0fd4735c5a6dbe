#pragma once

// The device side of the management protocol: given a frame that arrived on
// the simulated network's Ethernet port, what the devices send back.

#include <cstdint>
#include <functional>
#include <span>
#include <vector>

#include "FaultPlan.h"
#include "Network.h"
#include "RequestLog.h"

namespace plcsim {

class Responder {
public:
    // The network must outlive the responder.
    explicit Responder(Network& network) : network_(network) {}

    // The frames to send back for one received frame (none for frames that
    // are not management requests to a device of the network), each with the
    // delay a fault may have added. `nowMs` is the time of arrival on any
    // steady clock; restart silences are measured against it.
    std::vector<Reply> Handle(std::span<const uint8_t> frame, uint64_t nowMs);

    Network& Net() { return network_; }

    const std::vector<LogRecord>& Log() const { return log_; }
    void ClearLog() { log_.clear(); }
    // Called for every record as it is made. A long-running program sets a
    // sink and turns the in-memory log off.
    void SetLogSink(std::function<void(const LogRecord&)> sink) { sink_ = std::move(sink); }
    void KeepLogInMemory(bool keep) { keepLog_ = keep; }

private:
    void Record(LogRecord record);

    Network& network_;
    std::vector<LogRecord> log_;
    std::function<void(const LogRecord&)> sink_;
    bool keepLog_ = true;
};

}  // namespace plcsim
