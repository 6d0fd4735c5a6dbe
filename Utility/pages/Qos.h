#pragma once

// The QoS page (dialog 177): how the local device ranks traffic onto the
// four channel access priorities CAP0 to CAP3. The user picks one of four
// presets, or sets by hand the CAP level of each VLAN user priority and of
// each IP type-of-service precedence, each table switched on or off.
//
// Every time the page is shown it reads the settings from the local device's
// parameter block on a worker (QosReadThread) while a waiting box is open;
// Apply packs the chosen settings into the block read last and writes it
// back, on the window's thread.
//
// Apply never writes what was not read or not chosen: it is refused when the
// page's last read failed (or the block was read from another device), when
// neither mode is chosen, when preset mode has no preset, and when a list has
// no selection. Reads never overlap: an activation while one runs asks for
// another once it has ended, and the superseded result is not shown.
//
// User-interface thread only.

#include <QString>

#include "DeviceModel.h"
#include "Page.h"

class QCheckBox;
class QComboBox;
class QRadioButton;

namespace ambrel {

class CQos : public CPage {
    Q_OBJECT
public:
    // Mode and preset radio buttons.
    static constexpr int kPresetMode = 1069;
    static constexpr int kCustomMode = 1070;
    static constexpr int kFirstPreset = 1071;  // preset k is kFirstPreset + k
    // Table switches.
    static constexpr int kVlanSwitch = 1075;
    static constexpr int kTosSwitch = 1076;
    // CAP lists: entry i of a table is list first + i.
    static constexpr int kFirstVlanList = 1077;
    static constexpr int kFirstTosList = 1085;
    static constexpr int kMapEntries = 8;
    // The nine labels of the custom section.
    static constexpr int kFirstLabel = 1093;
    static constexpr int kLabelCount = 9;
    static constexpr int kApplyButton = 1064;
    static constexpr int kNote = 1102;

    explicit CQos(QWidget* parent);
    ~CQos() override;

    // Starts a read of the settings (or asks for one after the read that
    // runs).
    void StartRead();
    // Writes the chosen settings to the local device.
    void Apply();

    bool IsReadRunning() const { return readRunning_; }
    // Whether the page's last read succeeded (Apply is possible).
    bool HasReadBlock() const { return blockRead_; }
    bool PresetDetected() const { return presetIndex_ >= 0; }
    int PresetIndex() const { return presetIndex_; }
    const QosSettings& PendingQos() const { return pendingQos_; }

    QRadioButton* Radio(int id) const;
    QCheckBox* Switch(int id) const;
    QComboBox* List(int id) const;

protected:
    void OnInitDialog() override;
    void OnActivatePage() override;
    void OnCommand(int id) override;
    LResult OnMessage(uint32_t message, WParam wParam, LParam lParam) override;

private:
    void LayOutControls();
    void FillLists();
    void ShowWaitingBox();
    void OnReadDone(WParam result);
    void ShowReadResult(WParam result);
    // Shows currentQos: lists, switches, mode and preset.
    void ShowCurrentQos();
    void EnableForPresetMode();
    void EnableForCustomMode();
    void EnableLists(int first, bool enabled);
    // pendingQos from the controls; false (with its message shown) when the
    // controls do not say what to write.
    bool CollectPendingQos();

    QosSettings pendingQos_{};
    int presetIndex_ = -1;
    bool readRunning_ = false;
    bool readAgain_ = false;
    bool waiting_ = false;  // the waiting box is open
    bool resultWaiting_ = false;
    WParam waitingResult_ = 0;
    bool blockRead_ = false;
    MacAddress readMac_{};  // the device whose block the last read took
};

}  // namespace ambrel
