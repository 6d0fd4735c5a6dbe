// Feeds arbitrary frames to the confirmation parser. The first bytes set up
// the device model the way the operations leave it (local query, station
// table, transfer offset and buffer size), the rest is the frame.

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

#include "ByteCursor.h"
#include "Clock.h"
#include "DeviceModel.h"
#include "ParseConfirm.h"

namespace {

class NoSleepClock final : public ambrel::Clock {
public:
    uint64_t NowMs() override { return now_; }
    void SleepMs(uint32_t milliseconds) override { now_ += milliseconds; }

private:
    uint64_t now_ = 0;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static NoSleepClock clock;
    ambrel::SetProtocolClock(&clock);
    std::span<const uint8_t> input(data, size);
    if (input.size() < 8)
        return 0;
    ambrel::ByteReader setup(input);

    ambrel::DeviceModel& model = ambrel::TheDeviceModel();
    model.localQuery = *setup.U8(0) & 1;
    model.stationTable.count = static_cast<uint8_t>(*setup.U8(1) % (ambrel::kMaxStations + 1));
    model.transfer.offset = *setup.Le16(2);
    model.transfer.chunkLength = *setup.Le16(4);
    // A small buffer shows any copy past the end of the destination.
    static std::vector<uint8_t> smallBuffer(512);
    model.transfer.buffer =
        (*setup.U8(6) & 1) ? std::span<uint8_t>(smallBuffer) : std::span<uint8_t>(model.pibImage);
    model.transfer.transactionId = *setup.U8(7);

    // The frame in a heap copy of its own size, so a read past it is caught.
    std::vector<uint8_t> frame(input.begin() + 8, input.end());
    ambrel::ParseConfirm(frame);
    return 0;
}
