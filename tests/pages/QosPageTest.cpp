// The QoS page against a simulated local device of either generation: the
// read on activation with its waiting box and its three outcomes, preset
// recognition and the enabling by mode, Apply in preset and custom mode
// written to the device and read back, and the Applies that are refused.

#include <QCheckBox>
#include <QComboBox>
#include <QRadioButton>
#include <QtTest>
#include <memory>

#include "LocalDeviceWorld.h"
#include "Qos.h"
#include "ResourceIds.h"

Q_DECLARE_METATYPE(ambrel::QosSettings)

namespace ambrel {
namespace {

// Radio buttons and check boxes are clicked on their indicator.
void Click(QWidget* control) {
    const bool indicator = qobject_cast<QRadioButton*>(control) != nullptr ||
                           qobject_cast<QCheckBox*>(control) != nullptr;
    const QPoint at = indicator ? QPoint(6, control->height() / 2) : control->rect().center();
    QTest::mouseClick(control, Qt::LeftButton, {}, at);
}

QosSettings WithTosMap(QosSettings settings) {
    settings.tosMapEnabled = 1;
    return settings;
}

QosSettings WithBasePriorities(QosSettings settings, std::array<uint8_t, 4> base) {
    settings.basePriorities = base;
    return settings;
}

QosSettings Custom() {
    QosSettings settings;
    settings.basePriorities = {1, 1, 3, 2};
    settings.vlanMapEnabled = 1;
    settings.tosMapEnabled = 1;
    settings.vlanPriorityMap = {3, 2, 1, 0, 0, 1, 2, 3};
    settings.tosPriorityMap = {0, 0, 1, 1, 2, 2, 3, 3};
    return settings;
}

bool Equal(const QosSettings& a, const QosSettings& b) {
    return a.basePriorities == b.basePriorities && a.vlanMapEnabled == b.vlanMapEnabled &&
           a.tosMapEnabled == b.tosMapEnabled && a.vlanPriorityMap == b.vlanPriorityMap &&
           a.tosPriorityMap == b.tosPriorityMap;
}

}  // namespace

class QosPageTest : public QObject {
    Q_OBJECT
private:
    std::unique_ptr<test::LocalDeviceWorld> world_;
    std::unique_ptr<test::HostedPage<CQos>> page_;

    // The page over a device of `deviceId` holding `settings`; not yet shown.
    CQos& Build(int deviceId, const QosSettings& settings) {
        world_ = std::make_unique<test::LocalDeviceWorld>(
            test::LocalDevice(static_cast<uint8_t>(deviceId), std::nullopt));
        world_->SetDeviceQos(settings);
        page_ = std::make_unique<test::HostedPage<CQos>>();
        return **page_;
    }
    // Shows the page (a read starts) and waits for the read's outcome.
    void ActivateAndWait() {
        page_->Activate();
        QVERIFY(QTest::qWaitFor([this] { return !(*page_)->IsReadRunning(); }, 20000));
    }
    // Only the waiting box was shown since the last call, and `then`, if any.
    void ExpectMessages(std::initializer_list<int> textIds) {
        QStringList expected;
        for (int id : textIds)
            expected << LoadUiString(id);
        QCOMPARE(world_->AskedTexts(), expected);
        world_->asked.clear();
    }
    // What the controls show, as settings.
    QosSettings Shown() const {
        CQos& page = **page_;
        QosSettings shown;
        shown.vlanMapEnabled = page.Switch(CQos::kVlanSwitch)->isChecked() ? 1 : 0;
        shown.tosMapEnabled = page.Switch(CQos::kTosSwitch)->isChecked() ? 1 : 0;
        for (int i = 0; i < CQos::kMapEntries; ++i) {
            shown.vlanPriorityMap[size_t(i)] =
                uint8_t(page.List(CQos::kFirstVlanList + i)->currentIndex());
            shown.tosPriorityMap[size_t(i)] =
                uint8_t(page.List(CQos::kFirstTosList + i)->currentIndex());
        }
        return shown;
    }
    static bool AnyListEnabled(const CQos& page, int first) {
        for (int i = 0; i < CQos::kMapEntries; ++i) {
            if (page.List(first + i)->isEnabled())
                return true;
        }
        return false;
    }

private slots:
    void initTestCase() { QVERIFY(test::LoadTestBundle()); }
    void cleanup() {
        page_.reset();
        world_.reset();
    }

    void readShowsTheDeviceSettings_data() {
        QTest::addColumn<int>("deviceId");
        QTest::addColumn<QosSettings>("settings");
        QTest::addColumn<int>("preset");  // -1: custom mode
        QTest::newRow("preset 2, first generation") << 2 << QosPreset(2) << 2;
        QTest::newRow("preset 0, second generation") << 0x20 << QosPreset(0) << 0;
        QTest::newRow("TOS map on: custom") << 2 << WithTosMap(QosPreset(1)) << -1;
        QTest::newRow("other base priorities: custom")
            << 0x20 << WithBasePriorities(QosPreset(3), {0, 1, 2, 3}) << -1;
        QTest::newRow("custom tables") << 2 << Custom() << -1;
    }
    void readShowsTheDeviceSettings() {
        QFETCH(int, deviceId);
        QFETCH(QosSettings, settings);
        QFETCH(int, preset);
        CQos& page = Build(deviceId, settings);
        ActivateAndWait();

        ExpectMessages({9025});
        QVERIFY(page.HasReadBlock());
        QCOMPARE(page.PresetIndex(), preset);
        QosSettings expected = settings;
        expected.basePriorities = {};
        QVERIFY(Equal(Shown(), expected));
        const bool presetMode = preset >= 0;
        QCOMPARE(page.Radio(CQos::kPresetMode)->isChecked(), presetMode);
        QCOMPARE(page.Radio(CQos::kCustomMode)->isChecked(), !presetMode);
        for (int k = 0; k < kQosPresetCount; ++k) {
            QCOMPARE(page.Radio(CQos::kFirstPreset + k)->isEnabled(), presetMode);
            if (presetMode)
                QCOMPARE(page.Radio(CQos::kFirstPreset + k)->isChecked(), k == preset);
        }
        QCOMPARE(page.Switch(CQos::kVlanSwitch)->isEnabled(), !presetMode);
        QCOMPARE(page.Switch(CQos::kTosSwitch)->isEnabled(), !presetMode);
        QCOMPARE(page.FindControl(CQos::kFirstLabel)->isEnabled(), !presetMode);
        QCOMPARE(AnyListEnabled(page, CQos::kFirstVlanList),
                 !presetMode && settings.vlanMapEnabled != 0);
        QCOMPARE(AnyListEnabled(page, CQos::kFirstTosList),
                 !presetMode && settings.tosMapEnabled != 0);
    }

    void presetChoiceIsWritten_data() {
        QTest::addColumn<int>("deviceId");
        QTest::newRow("first generation") << 2;
        QTest::newRow("second generation") << 0x20;
    }
    void presetChoiceIsWritten() {
        QFETCH(int, deviceId);
        CQos& page = Build(deviceId, Custom());
        ActivateAndWait();
        ExpectMessages({9025});

        Click(page.Radio(CQos::kPresetMode));
        QVERIFY(!AnyListEnabled(page, CQos::kFirstVlanList));
        Click(page.Radio(CQos::kFirstPreset + 1));
        Click(page.FindControl(CQos::kApplyButton));

        ExpectMessages({9022});
        QVERIFY(Equal(world_->DeviceQos(), QosPreset(1)));
        QVERIFY(Equal(TheDeviceModel().currentQos, QosPreset(1)));
    }

    // Custom mode writes base priorities 1, 1, 3, 2 whatever the device held,
    // and a switched-off table with its lists' choices; a new read shows what
    // was written.
    void customApplyWritesAndReadsBackEqual_data() {
        QTest::addColumn<int>("deviceId");
        QTest::newRow("first generation") << 2;
        QTest::newRow("second generation") << 0x21;
    }
    void customApplyWritesAndReadsBackEqual() {
        QFETCH(int, deviceId);
        CQos& page = Build(deviceId, WithBasePriorities(Custom(), {3, 3, 3, 3}));
        ActivateAndWait();
        ExpectMessages({9025});
        QVERIFY(page.Radio(CQos::kCustomMode)->isChecked());

        Click(page.Switch(CQos::kVlanSwitch));
        QVERIFY(!AnyListEnabled(page, CQos::kFirstVlanList));
        page.List(CQos::kFirstVlanList + 0)->setCurrentIndex(1);
        page.List(CQos::kFirstTosList + 7)->setCurrentIndex(0);
        Click(page.FindControl(CQos::kApplyButton));
        ExpectMessages({9022});

        QosSettings expected = Custom();
        expected.vlanMapEnabled = 0;
        expected.vlanPriorityMap[0] = 1;
        expected.tosPriorityMap[7] = 0;
        QVERIFY(Equal(page.PendingQos(), expected));
        QVERIFY(Equal(world_->DeviceQos(), expected));

        TheDeviceModel().currentQos = QosSettings{};
        ActivateAndWait();
        ExpectMessages({9025});
        QVERIFY(Equal(TheDeviceModel().currentQos, expected));
        expected.basePriorities = {};
        QVERIFY(Equal(Shown(), expected));
    }

    // A failed read says why and leaves the controls as they were.
    void readFailureKeepsTheControls_data() {
        QTest::addColumn<QString>("trouble");
        QTest::addColumn<int>("message");
        QTest::newRow("no local device") << "silent" << int(res::kTextNoLocalDevice);
        QTest::newRow("block unreadable") << "read fails" << 9024;
    }
    void readFailureKeepsTheControls() {
        QFETCH(QString, trouble);
        QFETCH(int, message);
        CQos& page = Build(2, QosPreset(2));
        ActivateAndWait();
        ExpectMessages({9025});

        world_->SetDeviceQos(Custom());
        if (trouble == "silent")
            world_->Net().faults.Add({plcsim::FaultKind::Silent, std::nullopt, std::nullopt, 0});
        else
            world_->Net().faults.Add({plcsim::FaultKind::WrongStatus, 0xA024, std::nullopt, 0});
        ActivateAndWait();

        ExpectMessages({9025, message});
        QVERIFY(!page.HasReadBlock());
        QCOMPARE(page.PresetIndex(), 2);
        QVERIFY(page.Radio(CQos::kFirstPreset + 2)->isChecked());
        QosSettings shown = QosPreset(2);
        shown.basePriorities = {};
        QVERIFY(Equal(Shown(), shown));
    }

    // Nothing is written that the page did not read or the user did not
    // choose.
    void applyRefusals_data() {
        QTest::addColumn<QString>("situation");
        QTest::addColumn<int>("message");
        QTest::newRow("preset mode without a preset") << "no preset" << 9021;
        QTest::newRow("after a failed read") << "read failed" << 9027;
        QTest::newRow("never read") << "never read" << 9027;
        QTest::newRow("no local device at Apply") << "device gone" << int(res::kTextNoLocalDevice);
        QTest::newRow("the write fails") << "write fails" << 9023;
    }
    void applyRefusals() {
        QFETCH(QString, situation);
        QFETCH(int, message);
        CQos& page = Build(2, Custom());
        if (situation != "never read") {
            ActivateAndWait();
            ExpectMessages({9025});
        }
        if (situation == "no preset") {
            Click(page.Radio(CQos::kPresetMode));
        } else if (situation == "read failed") {
            world_->Net().faults.Add({plcsim::FaultKind::WrongStatus, 0xA024, 1u, 0});
            ActivateAndWait();
            ExpectMessages({9025, 9024});
        } else if (situation == "device gone") {
            world_->Net().faults.Add({plcsim::FaultKind::Silent, std::nullopt, std::nullopt, 0});
        } else if (situation == "write fails") {
            world_->Net().faults.Add({plcsim::FaultKind::WrongStatus, 0xA020, std::nullopt, 0});
        }
        const QosSettings before = TheDeviceModel().currentQos;

        Click(page.FindControl(CQos::kApplyButton));

        ExpectMessages({message});
        QCOMPARE(world_->Local().counters.blockCommits, 0u);
        QVERIFY(Equal(world_->DeviceQos(), Custom()));
        QVERIFY(Equal(TheDeviceModel().currentQos, before));
    }
};

}  // namespace ambrel

QTEST_MAIN(ambrel::QosPageTest)
#include "QosPageTest.moc"
