// The device-operation dialog against a simulated powerline network: its
// texts by caller and mode, the four operations reaching the devices they
// name, the state it ends in, and the dialog staying open while its worker
// runs.

#include <QtTest>
#include <future>
#include <memory>

#include "HeldReports.h"
#include "OrvikStatic.h"
#include "PagesTestSupport.h"
#include "ReSetLocalDev.h"
#include "ResourceIds.h"
#include "WorkerRoutines.h"

namespace ambrel {
namespace {

using Mode = CreSetLocalDev::Mode;
using Caller = CreSetLocalDev::Caller;

constexpr const char* kPassword = "ABCD-EFGH-IJKL-MNOP";
constexpr const char* kNewNetwork = "AtticNet";

// A station on the home network with its device password, listed as the
// Network page lists it; marked when its password was accepted.
plcsim::SimDevice& AddListedStation(test::SimulatedDevices& devices, uint8_t n, bool marked) {
    plcsim::SimDevice& station = devices.Net().AddStation(
        test::SimDeviceConfig(test::StationMac(n), std::string(test::kHomeNetwork), kPassword));
    const int row = test::SimulatedDevices::List(test::StationMac(n), "Device");
    DeviceRecord& record = TheDeviceModel().deviceList.records[row];
    SetFieldText(record.password, kPassword);
    record.passwordOk = marked ? 1 : 0;
    return station;
}

void Press(DialogWindow& dialog, int id) {
    QWidget* button = dialog.FindControl(id);
    QTest::mouseClick(button, Qt::LeftButton, {}, button->rect().center());
}

QString MessageLine(const CreSetLocalDev& dialog) {
    return dialog.Control<COrvikStatic>(CreSetLocalDev::kMessageLine)->text();
}

}  // namespace

class ReSetLocalDevTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { QVERIFY(test::LoadTestBundle()); }
    void cleanup() {
        DialogWindow::SetModalHook(nullptr);
        PendingNetworkName().clear();
    }

    void messageTexts_data() {
        QTest::addColumn<int>("caller");
        QTest::addColumn<int>("mode");
        QTest::addColumn<int>("state");
        QTest::addColumn<int>("text");
        const int advanced = int(Caller::kAdvancedPage);
        const int status = int(Caller::kStatusPage);
        const int nameLocal = int(Mode::kSetNetworkLocal);
        const int nameAll = int(Mode::kSetNetworkAll);
        const int resetLocal = int(Mode::kResetLocal);
        const int resetAll = int(Mode::kResetAll);
        using D = CreSetLocalDev;
        // The confirmation names the devices the operation reaches.
        QTest::newRow("status page, this adapter")
            << status << nameLocal << int(D::kConfirm) << 4106;
        QTest::newRow("advanced page, this adapter")
            << advanced << nameLocal << int(D::kConfirm) << 4106;
        QTest::newRow("advanced page, all devices")
            << advanced << nameAll << int(D::kConfirm) << 4101;
        QTest::newRow("status page, all devices") << status << nameAll << int(D::kConfirm) << 4101;
        QTest::newRow("reset local, confirm") << advanced << resetLocal << int(D::kConfirm) << 4000;
        QTest::newRow("reset all, confirm") << advanced << resetAll << int(D::kConfirm) << 4105;
        QTest::newRow("name, busy") << status << nameLocal << int(D::kBusy) << 4102;
        QTest::newRow("name all, busy") << advanced << nameAll << int(D::kBusy) << 4102;
        QTest::newRow("reset local, busy") << advanced << resetLocal << int(D::kBusy) << 4006;
        QTest::newRow("reset all, busy") << advanced << resetAll << int(D::kBusy) << 154;
        QTest::newRow("name, done") << advanced << nameAll << int(D::kSucceeded) << 4103;
        QTest::newRow("name, failed") << status << nameLocal << int(D::kFailed) << 4104;
        QTest::newRow("reset local, done") << advanced << resetLocal << int(D::kSucceeded) << 4007;
        QTest::newRow("reset all, done") << advanced << resetAll << int(D::kSucceeded) << 4007;
        QTest::newRow("reset all, failed") << advanced << resetAll << int(D::kFailed) << 4008;
    }
    void messageTexts() {
        QFETCH(int, caller);
        QFETCH(int, mode);
        QFETCH(int, state);
        QFETCH(int, text);
        QCOMPARE(CreSetLocalDev::MessageTextId(Caller(caller), Mode(mode), state), text);
        if (state != CreSetLocalDev::kConfirm)
            return;
        // The dialog opens with it.
        test::SimulatedDevices devices;
        CreSetLocalDev dialog{Caller(caller), Mode(mode)};
        dialog.show();
        QCOMPARE(MessageLine(dialog), LoadUiString(text));
    }

    void operationsReachTheirDevices_data() {
        QTest::addColumn<int>("mode");
        QTest::addColumn<bool>("remoteMarked");
        QTest::addColumn<bool>("localRefuses");
        QTest::addColumn<int>("state");
        const int done = CreSetLocalDev::kSucceeded;
        const int failed = CreSetLocalDev::kFailed;
        QTest::newRow("reset local") << int(Mode::kResetLocal) << true << false << done;
        QTest::newRow("reset all") << int(Mode::kResetAll) << true << false << done;
        QTest::newRow("reset all, no marked device")
            << int(Mode::kResetAll) << false << false << done;
        QTest::newRow("reset local refused") << int(Mode::kResetLocal) << true << true << failed;
        QTest::newRow("name on this adapter")
            << int(Mode::kSetNetworkLocal) << true << false << done;
        QTest::newRow("name on all devices") << int(Mode::kSetNetworkAll) << true << false << done;
        QTest::newRow("name on all devices, no marked device")
            << int(Mode::kSetNetworkAll) << false << false << done;
        QTest::newRow("name refused by this adapter")
            << int(Mode::kSetNetworkAll) << true << true << failed;
    }
    void operationsReachTheirDevices() {
        QFETCH(int, mode);
        QFETCH(bool, remoteMarked);
        QFETCH(bool, localRefuses);
        QFETCH(int, state);
        const Mode op = Mode(mode);
        const bool name = op == Mode::kSetNetworkLocal || op == Mode::kSetNetworkAll;
        const bool all = op == Mode::kSetNetworkAll || op == Mode::kResetAll;

        test::SimulatedDevices devices;
        test::MessageBoxRecorder boxes;
        plcsim::SimDevice& marked = AddListedStation(devices, 1, remoteMarked);
        plcsim::SimDevice& unmarked = AddListedStation(devices, 2, false);
        if (localRefuses) {
            devices.Net().faults.Add(plcsim::Fault{
                plcsim::FaultKind::WrongStatus, uint16_t(name ? 0xA050 : 0xA07C), {}, 0});
        }
        if (name)
            QVERIFY(SetPendingNetworkName(QString::fromLatin1(kNewNetwork)));

        {
            CreSetLocalDev dialog(Caller::kAdvancedPage, op);
            dialog.show();
            Press(dialog, CreSetLocalDev::kStartButton);
            QCOMPARE(dialog.State(), int(CreSetLocalDev::kBusy));
            QVERIFY(!dialog.FindControl(CreSetLocalDev::kStartButton)->isEnabled());
            QVERIFY(!dialog.FindControl(CreSetLocalDev::kCancelButton)->isEnabled());
            QVERIFY(QTest::qWaitFor([&]() { return !dialog.IsWorkerRunning(); }, 30000));
            QVERIFY(boxes.asked.empty());
            QCOMPARE(dialog.State(), state);
            QCOMPARE(MessageLine(dialog),
                     LoadUiString(CreSetLocalDev::MessageTextId(Caller::kAdvancedPage, op, state)));

            // The outcome form: compact, the text inside it, only the close
            // button, which ends it.
            QVERIFY(dialog.IsCompact());
            QCOMPARE(dialog.size(),
                     QSize(CreSetLocalDev::kCompactWidth, CreSetLocalDev::kCompactHeight));
            QVERIFY(!dialog.FindControl(CreSetLocalDev::kStartButton)->isVisible());
            QWidget* line = dialog.FindControl(CreSetLocalDev::kMessageLine);
            QVERIFY(QRect(QPoint(0, 0), dialog.size()).contains(line->geometry()));
            Press(dialog, CreSetLocalDev::kCloseButton);
            QVERIFY(!dialog.isVisible());
        }
        // Leaves no local set-key form behind.
        QCOMPARE(TheDeviceModel().setKeyLocal, 0u);

        const plcsim::SimDevice& local = devices.Net().Local();
        const Key16 newKey = DeriveNetworkKey(kNewNetwork);
        const Key16 homeKey = DeriveNetworkKey(test::kHomeNetwork);
        const bool markedReached = all && remoteMarked && !localRefuses;
        if (name) {
            QCOMPARE(TheAppSettings().NetWorkName, std::u16string(u"AtticNet"));
            // A refusal comes in the confirmation, whatever the device did;
            // after it no remote device is touched.
            if (!localRefuses)
                QVERIFY(local.NetworkKey() == newKey);
            QCOMPARE(marked.NetworkKey() == newKey, markedReached);
            QVERIFY(unmarked.NetworkKey() == homeKey);
            QCOMPARE(local.counters.factoryResets + marked.counters.factoryResets, 0u);
        } else {
            QVERIFY(TheAppSettings().NetWorkName.empty());
            // A refusal comes in the confirmation: the request was carried out.
            QCOMPARE(local.counters.factoryResets, 1u);
            QCOMPARE(marked.counters.factoryResets, all && remoteMarked ? 1u : 0u);
            QCOMPARE(unmarked.counters.factoryResets, 0u);
            QVERIFY(marked.NetworkKey() == (markedReached ? kDefaultNetworkKey : homeKey));
        }
    }

    void noLocalDeviceKeepsTheConfirmation() {
        test::SimulatedDevices devices(false);
        test::MessageBoxRecorder boxes;
        CreSetLocalDev dialog(Caller::kAdvancedPage, Mode::kResetLocal);
        dialog.show();
        for (int attempt = 1; attempt <= 2; ++attempt) {
            Press(dialog, CreSetLocalDev::kStartButton);
            QCOMPARE(boxes.asked.size(), size_t(attempt));
            QCOMPARE(boxes.asked.back().text, LoadUiString(res::kTextNoLocalDevice));
            QCOMPARE(boxes.asked.back().style, kMsgIconError);
            QCOMPARE(dialog.State(), int(CreSetLocalDev::kConfirm));
            QVERIFY(!dialog.IsWorkerRunning());
            QVERIFY(dialog.FindControl(CreSetLocalDev::kStartButton)->isEnabled());
        }
        Press(dialog, CreSetLocalDev::kCancelButton);
        QVERIFY(!dialog.isVisible());
    }

    void setNetworkNameFitsItsField_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<bool>("fits");
        QTest::newRow("23 bytes") << QString(23, u'n') << true;
        QTest::newRow("24 bytes, no room for the terminator") << QString(24, u'n') << false;
        QTest::newRow("not in the code page") << QString::fromUtf8("网络") << false;
    }
    void setNetworkNameFitsItsField() {
        QFETCH(QString, name);
        QFETCH(bool, fits);
        test::SimulatedDevices devices;
        QVERIFY(SetPendingNetworkName(QStringLiteral("Before")));
        QCOMPARE(SetPendingNetworkName(name), fits);
        const QString expected = fits ? name : QStringLiteral("Before");
        QCOMPARE(PendingNetworkName(), expected);
        QCOMPARE(QString::fromLatin1(FieldText(TheDeviceModel().keyRequest.networkName)), expected);
    }

    void staysOpenWhileTheWorkerRuns() {
        test::SimulatedDevices devices;
        test::MessageBoxRecorder boxes;
        test::HeldReports held;
        int stateWhenEnded = -1;
        DialogWindow::SetModalHook([&](DialogWindow& window) {
            auto& dialog = static_cast<CreSetLocalDev&>(window);
            Press(dialog, CreSetLocalDev::kStartButton);
            QVERIFY(held.WaitForReport(30000));
            // Every way of closing is refused while the report is pending.
            QTest::keyClick(&dialog, Qt::Key_Escape);
            dialog.close();
            SendWindowMessage(&dialog, kWmCommand, CreSetLocalDev::kCancelButton);
            SendWindowMessage(&dialog, kWmCommand, CreSetLocalDev::kCloseButton);
            QVERIFY(dialog.isVisible());
            QVERIFY(dialog.IsRunningModal());
            held.Release();
            QVERIFY(QTest::qWaitFor([&]() { return !dialog.IsWorkerRunning(); }, 30000));
            stateWhenEnded = dialog.State();
            QTest::keyClick(&dialog, Qt::Key_Escape);
        });
        CreSetLocalDev dialog(Caller::kStatusPage, Mode::kResetLocal);
        QCOMPARE(dialog.RunModal(), kIdOk);
        QCOMPARE(stateWhenEnded, int(CreSetLocalDev::kSucceeded));
    }

    void placeResultText_data() {
        QTest::addColumn<int>("h");
        QTest::addColumn<int>("top");
        QTest::addColumn<int>("height");
        QTest::newRow("one line: never lower than the text") << 14 << 86 << 14;
        QTest::newRow("two lines") << 30 << 78 << 44;
        QTest::newRow("odd height") << 31 << 78 << 46;
    }
    void placeResultText() {
        QFETCH(int, h);
        QFETCH(int, top);
        QFETCH(int, height);
        QCOMPARE(CreSetLocalDev::PlaceResultText(220, h), QRect(85, top, 220, height));
    }
};

}  // namespace ambrel

QTEST_MAIN(ambrel::ReSetLocalDevTest)
#include "ReSetLocalDevTest.moc"
