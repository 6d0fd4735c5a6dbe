// The Advanced page: the network name rules, the default-name check box,
// the scope radios deciding which devices take a new network name (end to
// end through the reset dialog and the simulated devices), and the dialogs
// its buttons open.

#include <QCheckBox>
#include <QLineEdit>
#include <QRadioButton>
#include <QtTest>
#include <memory>

#include "Advanced.h"
#include "OrvikStatic.h"
#include "PagesTestSupport.h"
#include "ReSetLocalDev.h"
#include "UpGrade.h"

namespace ambrel {
namespace {

using Mode = CreSetLocalDev::Mode;

constexpr const char* kPassword = "ABCD-EFGH-IJKL-MNOP";

// The page inside a stand-in main window.
struct PageHost {
    PageHost() {
        page = new CAdvanced(&window);
        page->Initialise();
        window.show();
    }
    void Press(int id) {
        QWidget* control = page->FindControl(id);
        // Radios and the check box are clicked on their indicator.
        const bool indicator = qobject_cast<QRadioButton*>(control) != nullptr ||
                               qobject_cast<QCheckBox*>(control) != nullptr;
        const QPoint at = indicator ? QPoint(6, control->height() / 2) : control->rect().center();
        QTest::mouseClick(control, Qt::LeftButton, {}, at);
    }
    QLineEdit* Edit() const { return page->Control<QLineEdit>(CAdvanced::kNameEdit); }

    QWidget window;
    CAdvanced* page = nullptr;
};

// What a dialog opened by the page was, and what it showed.
struct Opened {
    QString className;
    int mode = -1;
    QString confirmation;
    int state = -1;
};

}  // namespace

class AdvancedPageTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { QVERIFY(test::LoadTestBundle()); }
    void cleanup() {
        DialogWindow::SetModalHook(nullptr);
        PendingNetworkName().clear();
    }

    void networkNameLength_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<int>("language");
        QTest::addColumn<bool>("valid");
        QTest::newRow("3 bytes") << QString(3, u'a') << 1033 << false;
        QTest::newRow("4 bytes") << QString(4, u'a') << 1033 << true;
        QTest::newRow("23 bytes") << QString(23, u'a') << 1033 << true;
        QTest::newRow("24 bytes") << QString(24, u'a') << 1033 << false;
        // Two bytes each in the Chinese code page.
        QTest::newRow("11 Chinese characters") << QString(11, QChar(0x7F51)) << 2052 << true;
        QTest::newRow("12 Chinese characters") << QString(12, QChar(0x7F51)) << 2052 << false;
        QTest::newRow("2 Chinese characters, 4 bytes") << QString(2, QChar(0x7F51)) << 2052 << true;
        QTest::newRow("not in the code page") << QString(5, QChar(0x7F51)) << 1033 << false;
        QTest::newRow("empty") << QString() << 1033 << false;
    }
    void networkNameLength() {
        QFETCH(QString, name);
        QFETCH(int, language);
        QFETCH(bool, valid);
        QCOMPARE(CAdvanced::IsValidNetworkName(name, language), valid);
    }

    void refusedNameOpensNothing() {
        test::SimulatedDevices devices;
        test::MessageBoxRecorder boxes;
        bool opened = false;
        DialogWindow::SetModalHook([&](DialogWindow& dialog) {
            opened = true;
            dialog.EndDialog(kIdCancel);
        });
        PageHost host;
        host.Edit()->setText(QString(24, u'a'));
        host.Press(CAdvanced::kSetNameButton);
        QVERIFY(!opened);
        QCOMPARE(boxes.asked.size(), size_t(1));
        QCOMPARE(boxes.asked[0].text, LoadUiString(4100));
        QCOMPARE(boxes.asked[0].style, kMsgIconError);
        QVERIFY(PendingNetworkName().isEmpty());
    }

    void defaultNameCheckBox() {
        test::SimulatedDevices devices;
        PageHost host;
        auto* check = host.page->Control<QCheckBox>(CAdvanced::kDefaultName);
        host.Edit()->setText(QStringLiteral("Typed"));
        host.Press(CAdvanced::kDefaultName);
        QVERIFY(check->isChecked());
        QCOMPARE(host.Edit()->text(), QStringLiteral("HomePlugAV"));
        QVERIFY(!host.Edit()->isEnabled());
        host.Press(CAdvanced::kDefaultName);
        QVERIFY(!check->isChecked());
        QVERIFY(host.Edit()->text().isEmpty());
        QVERIFY(host.Edit()->isEnabled());
    }

    void radiosChooseWhereTheNameGoes_data() {
        QTest::addColumn<int>("radio");  // 0: left at its start value
        QTest::addColumn<bool>("remoteTakesIt");
        QTest::addColumn<int>("confirmation");
        QTest::newRow("start: this adapter only") << 0 << false << 4106;
        QTest::newRow("this adapter and added devices")
            << int(CAdvanced::kScopeAll) << true << 4101;
        QTest::newRow("back to this adapter only") << int(CAdvanced::kScopeLocal) << false << 4106;
    }
    void radiosChooseWhereTheNameGoes() {
        QFETCH(int, radio);
        QFETCH(bool, remoteTakesIt);
        QFETCH(int, confirmation);

        test::SimulatedDevices devices;
        test::MessageBoxRecorder boxes;
        plcsim::SimDevice& station = devices.Net().AddStation(
            test::SimDeviceConfig(test::StationMac(1), std::string(test::kHomeNetwork), kPassword));
        const int row = test::SimulatedDevices::List(test::StationMac(1), "Den");
        SetFieldText(TheDeviceModel().deviceList.records[row].password, kPassword);
        TheDeviceModel().deviceList.records[row].passwordOk = 1;

        Opened opened;
        DialogWindow::SetModalHook([&](DialogWindow& window) {
            auto& dialog = dynamic_cast<CreSetLocalDev&>(window);
            opened.mode = int(dialog.GetMode());
            opened.confirmation =
                dialog.Control<COrvikStatic>(CreSetLocalDev::kMessageLine)->text();
            SendWindowMessage(&dialog, kWmCommand, CreSetLocalDev::kStartButton);
            QVERIFY(QTest::qWaitFor([&]() { return !dialog.IsWorkerRunning(); }, 30000));
            opened.state = dialog.State();
            SendWindowMessage(&dialog, kWmCommand, CreSetLocalDev::kCloseButton);
        });

        PageHost host;
        if (radio == CAdvanced::kScopeLocal)
            host.Press(CAdvanced::kScopeAll);
        if (radio != 0)
            host.Press(radio);
        const auto* local = host.page->Control<QRadioButton>(CAdvanced::kScopeLocal);
        const auto* all = host.page->Control<QRadioButton>(CAdvanced::kScopeAll);
        QCOMPARE(local->isChecked(), !remoteTakesIt);
        QCOMPARE(all->isChecked(), remoteTakesIt);

        host.Edit()->setText(QStringLiteral("GardenNet"));
        host.Press(CAdvanced::kSetNameButton);

        QVERIFY(boxes.asked.empty());
        QCOMPARE(opened.mode, int(remoteTakesIt ? Mode::kSetNetworkAll : Mode::kSetNetworkLocal));
        QCOMPARE(opened.confirmation, LoadUiString(confirmation));
        QCOMPARE(opened.state, int(CreSetLocalDev::kSucceeded));
        const Key16 garden = DeriveNetworkKey("GardenNet");
        QVERIFY(devices.Net().Local().NetworkKey() == garden);
        QCOMPARE(station.NetworkKey() == garden, remoteTakesIt);
        QCOMPARE(TheAppSettings().NetWorkName, std::u16string(u"GardenNet"));
        QCOMPARE(TheDeviceModel().setKeyLocal, 0u);
    }

    void buttonsOpenTheirDialogs_data() {
        QTest::addColumn<int>("button");
        QTest::addColumn<QString>("dialogClass");
        QTest::addColumn<int>("mode");
        QTest::newRow("reset local") << int(CAdvanced::kResetLocalButton)
                                     << "ambrel::CreSetLocalDev" << int(Mode::kResetLocal);
        QTest::newRow("reset all")
            << int(CAdvanced::kResetAllButton) << "ambrel::CreSetLocalDev" << int(Mode::kResetAll);
        QTest::newRow("upgrade") << int(CAdvanced::kUpgradeButton) << "ambrel::CUpGrade" << -1;
    }
    void buttonsOpenTheirDialogs() {
        QFETCH(int, button);
        QFETCH(QString, dialogClass);
        QFETCH(int, mode);
        test::SimulatedDevices devices;
        Opened opened;
        DialogWindow::SetModalHook([&](DialogWindow& dialog) {
            opened.className = QString::fromLatin1(dialog.metaObject()->className());
            if (auto* reset = dynamic_cast<CreSetLocalDev*>(&dialog))
                opened.mode = int(reset->GetMode());
            // Cancelled before Start: nothing reaches a device.
            QTest::keyClick(&dialog, Qt::Key_Escape);
        });
        PageHost host;
        host.Press(button);
        QCOMPARE(opened.className, dialogClass);
        QCOMPARE(opened.mode, mode);
        QCOMPARE(devices.Net().Local().counters.factoryResets, 0u);
    }
};

}  // namespace ambrel

QTEST_MAIN(ambrel::AdvancedPageTest)
#include "AdvancedPageTest.moc"
