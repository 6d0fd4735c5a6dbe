// The add-device dialog against a simulated powerline network: the input
// checks, pairing by password in both modes with the remembered devices and
// the Network page's refresh, and the dialog staying open while its worker
// runs.

#include <QLineEdit>
#include <QtTest>
#include <future>
#include <memory>

#include "AddRemDev.h"
#include "AnsiText.h"
#include "HeldReports.h"
#include "OrvikButton.h"
#include "PagesTestSupport.h"
#include "ResourceIds.h"
#include "WorkerRoutines.h"

namespace ambrel {
namespace {

constexpr const char* kPassword = "ABCD-EFGH-IJKL-MNOP";
constexpr const char* kWrongPassword = "ZZZZ-ZZZZ-ZZZZ-ZZZZ";

enum Mode { kRemote = 0, kNew = 1 };

// One dialog over the simulated devices, opened as the Network page opens it.
struct Opened {
    Opened(Mode mode, int row) {
        TheDeviceModel().setKeyByPassword = mode == kNew ? 1 : 0;
        DeviceDialogOpen() = 1;
        const DeviceRecord* record =
            mode == kRemote ? &TheDeviceModel().deviceList.records[row] : nullptr;
        dialog = std::make_unique<CAddRemDev>(&page, record, mode == kRemote ? row : -1);
        dialog->show();
    }
    void Type(const QString& name, const QString& password) {
        dialog->Control<QLineEdit>(CAddRemDev::kNameEdit)->setText(name);
        dialog->Control<QLineEdit>(CAddRemDev::kPasswordEdit)->setText(password);
    }
    void Press(int id) {
        QWidget* button = dialog->FindControl(id);
        QTest::mouseClick(button, Qt::LeftButton, {}, button->rect().center());
    }
    bool WaitForResult() {
        return QTest::qWaitFor([this]() { return !dialog->IsJoinRunning(); }, 20000);
    }

    test::NetworkPageStub page;
    std::unique_ptr<CAddRemDev> dialog;
};

QString Repeat(const char* piece, int times) {
    QString text;
    for (int i = 0; i < times; ++i)
        text += QString::fromUtf8(piece);
    return text;
}

}  // namespace

class AddRemDevTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { QVERIFY(test::LoadTestBundle()); }
    void cleanup() { DialogWindow::SetModalHook(nullptr); }

    void devicePasswordForm_data() {
        QTest::addColumn<QString>("password");
        QTest::addColumn<bool>("accepted");
        QTest::newRow("upper case") << "ABCD-EFGH-IJKL-MNOP" << true;
        QTest::newRow("lower case") << "abcd-efgh-ijkl-mnop" << true;
        QTest::newRow("mixed case") << "AbCd-eFgH-iJkL-mNoP" << true;
        QTest::newRow("digit in a group") << "ABCD-EF3H-IJKL-MNOP" << false;
        QTest::newRow("digit in the last place") << "ABCD-EFGH-IJKL-MNO1" << false;
        QTest::newRow("hyphen moved") << "ABC-DEFGH-IJKL-MNOP" << false;
        QTest::newRow("18 characters") << "ABCD-EFGH-IJKL-MNO" << false;
        QTest::newRow("20 characters") << "ABCD-EFGH-IJKL-MNOPQ" << false;
        QTest::newRow("letter outside A-Z") << QString::fromUtf8("ÄBCD-EFGH-IJKL-MNOP") << false;
        QTest::newRow("space for a hyphen") << "ABCD EFGH-IJKL-MNOP" << false;
    }
    void devicePasswordForm() {
        QFETCH(QString, password);
        QFETCH(bool, accepted);
        QCOMPARE(CAddRemDev::IsDevicePasswordForm(password), accepted);
    }

    void inputChecks_data() {
        QTest::addColumn<int>("mode");
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("password");
        QTest::addColumn<bool>("localDevice");
        QTest::addColumn<int>("message");  // 0: none, the dialog goes on
        const QString ok = kPassword;
        QTest::newRow("23 ANSI bytes") << int(kRemote) << Repeat("a", 23) << "" << true << 0;
        QTest::newRow("24 ANSI bytes") << int(kRemote) << Repeat("a", 24) << "" << true << 3010;
        // The euro sign is one byte in the ANSI code page, three in UTF-8.
        QTest::newRow("23 characters with euro signs")
            << int(kRemote) << Repeat("\u20ac", 23) << "" << true << 0;
        QTest::newRow("not in the ANSI code page")
            << int(kRemote) << QString::fromUtf8("设备") << "" << true << 3010;
        QTest::newRow("name of another listed device") << int(kRemote) << "Kitchen"
                                                       << "" << true << 153;
        QTest::newRow("new device named like a listed one")
            << int(kNew) << "Office" << ok << true << 153;
        QTest::newRow("own name kept") << int(kRemote) << "Office"
                                       << "" << true << 0;
        QTest::newRow("no password, new device") << int(kNew) << "Den"
                                                 << "" << true << 3009;
        QTest::newRow("no password, listed device: rename") << int(kRemote) << "Den"
                                                            << "" << true << 0;
        QTest::newRow("18 characters") << int(kRemote) << "Den"
                                       << "ABCD-EFGH-IJKL-MNO" << true << 3009;
        QTest::newRow("19, right form") << int(kRemote) << "Den" << ok << true << 0;
        QTest::newRow("19, lower case") << int(kNew) << "Den"
                                        << "abcd-efgh-ijkl-mnop" << true << 0;
        QTest::newRow("19, digit") << int(kNew) << "Den"
                                   << "ABCD-EFGH-1JKL-MNOP" << true << 3009;
        // The edit takes 19 characters; the twentieth never arrives.
        QTest::newRow("20 typed, 19 kept") << int(kNew) << "Den"
                                           << "ABCD-EFGH-IJKL-MNOPQ" << true << 0;
        QTest::newRow("20 typed, 19 kept, wrong form") << int(kNew) << "Den"
                                                       << "ABCD-EFGH-IJKL-MN-PQ" << true << 3009;
        QTest::newRow("no local device, rename") << int(kRemote) << "Den"
                                                 << "" << false << int(res::kTextNoLocalDevice);
        QTest::newRow("no local device, new device")
            << int(kNew) << "Den" << ok << false << int(res::kTextNoLocalDevice);
    }
    void inputChecks() {
        QFETCH(int, mode);
        QFETCH(QString, name);
        QFETCH(QString, password);
        QFETCH(bool, localDevice);
        QFETCH(int, message);

        test::SimulatedDevices devices(localDevice);
        test::MessageBoxRecorder boxes;
        const int office = test::SimulatedDevices::List(test::StationMac(1), "Office");
        test::SimulatedDevices::List(test::StationMac(2), "Kitchen");
        if (localDevice)
            devices.AddStation(test::StationMac(1), kPassword);

        Opened opened(Mode(mode), office);
        opened.Type(name, password);
        opened.Press(CAddRemDev::kOkButton);

        if (message != 0) {
            QCOMPARE(boxes.asked.size(), size_t(1));
            QCOMPARE(boxes.asked[0].text, LoadUiString(message));
            QCOMPARE(boxes.asked[0].style, kMsgIconError);
            // Nothing happened: the input form stays, the flag stays set.
            QCOMPARE(opened.dialog->State(), int(CAddRemDev::kInput));
            QVERIFY(opened.dialog->isVisible());
            QCOMPARE(DeviceDialogOpen(), 1);
            QCOMPARE(RememberedCount(), 0);
            QCOMPARE(opened.page.refreshes, 0);
            return;
        }
        QVERIFY(boxes.asked.empty());
        if (mode == kRemote && password.isEmpty()) {
            // A rename: remembered, list refreshed, dialog ended.
            QVERIFY(!opened.dialog->isVisible());
            QCOMPARE(opened.page.refreshes, 1);
            QVERIFY(opened.page.flagClearAtRefresh);
            QCOMPARE(RememberedCount(), 1);
            QCOMPARE(QString::fromStdU16String(rememberedDevices()[0].Name), name);
            const auto& field = TheDeviceModel().deviceList.records[office].name;
            QCOMPARE(FromAnsiBuffer(std::string_view(field.data(), field.size()), 1033),
                     std::optional<std::u16string>(name.toStdU16String()));
            return;
        }
        QCOMPARE(opened.dialog->State(), int(CAddRemDev::kWorking));
        QVERIFY(opened.WaitForResult());
    }

    void pairingEndToEnd_data() {
        QTest::addColumn<int>("mode");
        QTest::addColumn<QString>("password");
        QTest::addColumn<bool>("localRefuses");
        QTest::addColumn<bool>("joins");
        // A listed device is handed the key through the local device, whose
        // confirmation is all the program learns.
        QTest::newRow("listed device joins") << int(kRemote) << kPassword << false << true;
        QTest::newRow("listed device, local device refuses")
            << int(kRemote) << kPassword << true << false;
        QTest::newRow("new device, right password") << int(kNew) << kPassword << false << true;
        QTest::newRow("new device, wrong password")
            << int(kNew) << kWrongPassword << false << false;
    }
    void pairingEndToEnd() {
        QFETCH(int, mode);
        QFETCH(QString, password);
        QFETCH(bool, localRefuses);
        QFETCH(bool, joins);

        test::SimulatedDevices devices;
        if (localRefuses) {
            devices.Net().faults.Add(
                plcsim::Fault{plcsim::FaultKind::WrongStatus, uint16_t(0xA050), {}, 0});
        }
        test::MessageBoxRecorder boxes;
        plcsim::SimDevice& station = devices.AddStation(test::StationMac(1), kPassword);
        const int row = test::SimulatedDevices::List(test::StationMac(1), "Device1");
        // An earlier entry, so the device's own entry is not the first.
        RememberListedDevice(test::StationMac(9), u"Attic", u"");

        Opened opened(Mode(mode), row);
        opened.Type(QStringLiteral("Kitchen"), password);
        opened.Press(CAddRemDev::kOkButton);
        QCOMPARE(opened.dialog->State(), int(CAddRemDev::kWorking));
        QVERIFY(!opened.dialog->FindControl(CAddRemDev::kOkButton)->isEnabled());
        QVERIFY(!opened.dialog->FindControl(CAddRemDev::kCancelButton)->isEnabled());
        QVERIFY(opened.WaitForResult());

        QVERIFY(boxes.asked.empty());
        QCOMPARE(opened.dialog->State(), int(joins ? CAddRemDev::kSucceeded : CAddRemDev::kFailed));
        if (!localRefuses)
            QCOMPARE(station.NetworkKey() == DeriveNetworkKey(test::kHomeNetwork), joins);
        QCOMPARE(opened.page.refreshes, 1);
        QVERIFY(opened.page.flagClearAtRefresh);

        // What is remembered: a listed device always (OK by the outcome), a
        // new one only when it joined.
        const bool remembered = mode == kRemote || joins;
        QCOMPARE(RememberedCount(), remembered ? 2 : 1);
        if (remembered) {
            const RememberedDevice& entry = rememberedDevices()[1];
            QCOMPARE(entry.MAC, std::string("020000001001"));
            QVERIFY(entry.Name == u"Kitchen");
            QCOMPARE(QString::fromStdU16String(entry.PSW), password);
            QCOMPARE(entry.OK, joins ? 1 : 0);
        }
        if (mode == kRemote) {
            const DeviceRecord& record = TheDeviceModel().deviceList.records[row];
            QCOMPARE(record.passwordOk, uint8_t(joins ? 1 : 0));
            QCOMPARE(std::string(FieldText(record.name)), std::string("Kitchen"));
        }

        // The outcome form: compact, only the close button, which ends it.
        QVERIFY(opened.dialog->IsCompact());
        QCOMPARE(opened.dialog->size(),
                 QSize(CAddRemDev::kCompactWidth, CAddRemDev::kCompactHeight));
        QVERIFY(!opened.dialog->FindControl(CAddRemDev::kOkButton)->isVisible());
        QVERIFY(!opened.dialog->FindControl(CAddRemDev::kNameEdit)->isVisible());
        QWidget* status = opened.dialog->FindControl(CAddRemDev::kStatusText);
        QVERIFY(QRect(QPoint(0, 0), opened.dialog->size()).contains(status->geometry()));
        opened.Press(CAddRemDev::kCloseButton);
        QVERIFY(!opened.dialog->isVisible());
        QCOMPARE(DeviceDialogOpen(), 0);
    }

    void staysOpenWhileTheWorkerRuns() {
        test::SimulatedDevices devices;
        test::MessageBoxRecorder boxes;
        devices.AddStation(test::StationMac(1), kPassword);
        const int row = test::SimulatedDevices::List(test::StationMac(1), "Device1");
        test::HeldReports held;

        Opened opened(kRemote, row);
        opened.Type(QStringLiteral("Kitchen"), kPassword);
        opened.Press(CAddRemDev::kOkButton);
        // The worker has done its work and waits to report.
        QVERIFY(held.WaitForReport());

        CAddRemDev& dialog = *opened.dialog;
        QTest::keyClick(&dialog, Qt::Key_Escape);
        dialog.close();
        SendWindowMessage(&dialog, kWmCommand, CAddRemDev::kCancelButton);
        SendWindowMessage(&dialog, kWmCommand, CAddRemDev::kCloseButton);
        QVERIFY(dialog.isVisible());
        QVERIFY(dialog.IsJoinRunning());
        QCOMPARE(DeviceDialogOpen(), 1);

        held.Release();
        QVERIFY(opened.WaitForResult());
        QCOMPARE(dialog.State(), int(CAddRemDev::kSucceeded));
        QTest::keyClick(&dialog, Qt::Key_Escape);
        QVERIFY(!dialog.isVisible());
        QCOMPARE(DeviceDialogOpen(), 0);
    }

    void modalRunEndsOnlyAfterTheResult() {
        test::SimulatedDevices devices;
        test::MessageBoxRecorder boxes;
        devices.AddStation(test::StationMac(1), kPassword);
        TheDeviceModel().setKeyByPassword = 1;
        DeviceDialogOpen() = 1;
        test::NetworkPageStub page;
        int stateWhenEnded = -1;
        DialogWindow::SetModalHook([&](DialogWindow& window) {
            auto& dialog = static_cast<CAddRemDev&>(window);
            dialog.Control<QLineEdit>(CAddRemDev::kNameEdit)->setText(QStringLiteral("Den"));
            dialog.Control<QLineEdit>(CAddRemDev::kPasswordEdit)->setText(kPassword);
            SendWindowMessage(&dialog, kWmCommand, CAddRemDev::kOkButton);
            // Asked to close at once: refused until the result is in.
            QTest::keyClick(&dialog, Qt::Key_Escape);
            QVERIFY(QTest::qWaitFor([&]() { return !dialog.IsJoinRunning(); }, 20000));
            stateWhenEnded = dialog.State();
            QTest::keyClick(&dialog, Qt::Key_Escape);
        });
        CAddRemDev dialog(&page, nullptr, -1);
        dialog.RunModal();
        QCOMPARE(stateWhenEnded, int(CAddRemDev::kSucceeded));
        QCOMPARE(RememberedCount(), 1);
        QCOMPARE(rememberedDevices()[0].OK, 1);
        QCOMPARE(DeviceDialogOpen(), 0);
    }
};

}  // namespace ambrel

QTEST_MAIN(ambrel::AddRemDevTest)
#include "AddRemDevTest.moc"
