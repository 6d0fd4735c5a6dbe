#include "Transport.h"

#include <algorithm>

#include "BuildRequest.h"
#include "ByteCursor.h"
#include "CaptureBackend.h"
#include "Clock.h"
#include "DeviceModel.h"
#include "ParseConfirm.h"

namespace ambrel {

namespace {

AdapterRecord* Adapter(int index) {
    if (index < 0 || index >= kMaxAdapters)
        return nullptr;
    return &TheDeviceModel().adapters[static_cast<size_t>(index)];
}

void KeepLastFrame(void* context, std::span<const uint8_t> frame) {
    auto* lastFrame = static_cast<std::vector<uint8_t>*>(context);
    lastFrame->assign(frame.begin(), frame.end());
}

}  // namespace

bool EnumerateAdapters() {
    DeviceModel& model = TheDeviceModel();
    model.lastFrame.clear();
    model.captureDevices.clear();
    model.adapterCount = 0;
    for (AdapterRecord& adapter : model.adapters)
        adapter = AdapterRecord{};

    auto devices = ActiveCaptureBackend().ListDevices(model.captureError);
    if (!devices)
        return false;
    // The table has eight entries; devices beyond the eighth are left out.
    if (devices->size() > kMaxAdapters)
        devices->resize(kMaxAdapters);
    model.captureDevices = std::move(*devices);
    for (const std::string& name : model.captureDevices) {
        if (auto mac = QueryAdapterMac(name)) {
            model.adapters[static_cast<size_t>(model.adapterCount)].mac = *mac;
        }
        ++model.adapterCount;
    }
    return true;
}

std::optional<MacAddress> QueryAdapterMac(const std::string& deviceName) {
    return ActiveCaptureBackend().QueryMac(deviceName);
}

bool OpenAdapter(int index) {
    DeviceModel& model = TheDeviceModel();
    AdapterRecord* adapter = Adapter(index);
    if (adapter == nullptr)
        return false;
    if (adapter->handle)
        return true;
    if (index >= model.adapterCount ||
        model.captureDevices.size() < static_cast<size_t>(index) + 1) {
        return false;
    }
    auto handle = ActiveCaptureBackend().Open(model.captureDevices[static_cast<size_t>(index)],
                                              model.captureError);
    if (!handle || !handle->InstallReceiveFilter(model.captureError))
        return false;
    adapter->handle = std::move(handle);
    return true;
}

bool SendFrame(std::span<const uint8_t> frame, uint16_t length) {
    if (length > kMaxFrameLength)
        return false;
    // Short frames go out padded from the caller's zero-filled buffer.
    const size_t toSend = std::max<size_t>(length, kMinFrameLength);
    if (frame.size() < toSend)
        return false;
    AdapterRecord* adapter = Adapter(TheDeviceModel().selectedAdapter);
    if (adapter == nullptr || !adapter->handle)
        return false;
    return adapter->handle->Send(frame.first(toSend));
}

std::optional<std::span<const uint8_t>> ReceiveFrame(int index) {
    AdapterRecord* adapter = Adapter(index);
    if (adapter == nullptr || !adapter->handle)
        return std::nullopt;
    DeviceModel& model = TheDeviceModel();
    int delivered = adapter->handle->Dispatch(&KeepLastFrame, &model.lastFrame);
    if (delivered <= 0)
        return std::nullopt;
    return std::span<const uint8_t>(model.lastFrame);
}

bool WaitForConfirm(FrameBuffer& receive, uint16_t requestType, uint16_t ticks) {
    const uint16_t confirmType = ConfirmOf(requestType);
    const uint64_t deadline = TickCountMs() + static_cast<uint64_t>(ticks) * 100;
    for (;;) {
        SleepMs(1);
        const int count = std::min(TheDeviceModel().adapterCount, kMaxAdapters);
        for (int i = 0; i < count; ++i) {
            auto frame = ReceiveFrame(i);
            if (!frame)
                continue;
            // A jumbo frame is cut to the buffer; a short one leaves no
            // bytes of an earlier frame behind it.
            const size_t kept = std::min(frame->size(), receive.size());
            std::copy_n(frame->begin(), kept, receive.begin());
            std::fill(receive.begin() + static_cast<std::ptrdiff_t>(kept), receive.end(), 0);
            auto type = ByteReader(*frame).Le16(header::kType);
            if (type && *type == confirmType)
                return true;
            break;  // the other adapters wait for the next pass
        }
        if (TickCountMs() >= deadline)
            return false;
    }
}

bool CloseAdapters() {
    DeviceModel& model = TheDeviceModel();
    model.lastFrame.clear();
    for (AdapterRecord& adapter : model.adapters)
        adapter.handle.reset();
    model.captureDevices.clear();
    return true;
}

MacAddress SourceMac() {
    AdapterRecord* adapter = Adapter(TheDeviceModel().selectedAdapter);
    return adapter != nullptr ? adapter->mac : MacAddress{};
}

std::string AdapterName(int index) {
    const auto& devices = TheDeviceModel().captureDevices;
    if (index < 0 || static_cast<size_t>(index) >= devices.size())
        return {};
    return devices[static_cast<size_t>(index)];
}

ExchangeResult Exchange(const MacAddress& destination, MessageType type, uint16_t ticks,
                        uint8_t operation, const Key16* deviceAccessKey) {
    FrameBuffer transmit{};
    FrameBuffer receive{};
    ExchangeResult result;
    uint16_t length =
        BuildRequest(transmit, SourceMac(), destination, type, operation, deviceAccessKey);
    if (length == 0 || !SendFrame(transmit, length))
        return result;
    result.sent = true;
    result.confirmed = WaitForConfirm(receive, static_cast<uint16_t>(type), ticks);
    result.accepted = result.confirmed && ParseConfirm(receive);
    return result;
}

}  // namespace ambrel
