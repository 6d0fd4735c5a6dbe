#pragma once

// Progress of the long device operations, for whoever wants to show it (the
// command line on a terminal). The operations call ReportProgress at every
// step and after every chunk; without an observer nothing happens.

#include <cstdint>
#include <functional>
#include <string_view>

namespace ambrel {

enum class Step {
    ScanningForLocalDevice,
    ReadingParameterBlock,
    WritingParameterBlock,
    CommittingParameterBlock,
    SendingFirmware,
    SendingParameterFile,
    FinishingUpgrade,
    SettingKey,
    PairingNewDevice,  // the device with the password joins a temporary network
    JoiningTemporaryNetwork,
    LookingForNewDevice,
    ReturningToNetwork,
    HandingKeyToNewDevice,
    ResettingDevice,
    RestartingDevice,
    Settling,  // a fixed pause that lets the devices settle
};

std::string_view StepText(Step step);

// `done` of `total` units (chunks, devices; both 0 when the step has none).
struct Progress {
    Step step;
    uint32_t done = 0;
    uint32_t total = 0;
};

// Installs the observer (empty: none). Calls come from the thread that runs
// the operation.
void SetProgressObserver(std::function<void(const Progress&)> observer);
void ReportProgress(Step step, uint32_t done = 0, uint32_t total = 0);

}  // namespace ambrel
