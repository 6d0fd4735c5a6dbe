#include "Progress.h"

#include <mutex>

namespace ambrel {

namespace {

std::mutex observerMutex;
std::function<void(const Progress&)>& Observer() {
    static std::function<void(const Progress&)> observer;
    return observer;
}

}  // namespace

std::string_view StepText(Step step) {
    switch (step) {
        case Step::ScanningForLocalDevice:
            return "looking for the local device";
        case Step::ReadingParameterBlock:
            return "reading the parameter block";
        case Step::WritingParameterBlock:
            return "writing the parameter block";
        case Step::CommittingParameterBlock:
            return "committing the parameter block";
        case Step::SendingFirmware:
            return "sending the firmware";
        case Step::SendingParameterFile:
            return "sending the parameter file";
        case Step::FinishingUpgrade:
            return "finishing the upgrade";
        case Step::SettingKey:
            return "setting the network key";
        case Step::PairingNewDevice:
            return "offering a temporary network to the device with that password";
        case Step::JoiningTemporaryNetwork:
            return "moving the local device into the temporary network";
        case Step::LookingForNewDevice:
            return "looking for the new device";
        case Step::ReturningToNetwork:
            return "moving the local device back into its network";
        case Step::HandingKeyToNewDevice:
            return "giving the network key to the new device";
        case Step::ResettingDevice:
            return "restoring factory defaults";
        case Step::RestartingDevice:
            return "restarting the device";
        case Step::Settling:
            return "waiting for the devices to settle";
    }
    return "working";
}

void SetProgressObserver(std::function<void(const Progress&)> observer) {
    std::lock_guard lock(observerMutex);
    Observer() = std::move(observer);
}

void ReportProgress(Step step, uint32_t done, uint32_t total) {
    std::function<void(const Progress&)> observer;
    {
        std::lock_guard lock(observerMutex);
        observer = Observer();
    }
    if (observer)
        observer(Progress{step, done, total});
}

}  // namespace ambrel
