// Ambrel's Status, Advanced and QoS pages and the dialogs they open, as a
// user drives them, over a real wire against the plcsim program: a private
// network name applied from the Status page and then changed by another
// tool, a network name given to the local and the added devices, the QoS
// settings written in one run and found by the next and by ambrel-cli, and a
// firmware upgrade followed by the factory reset or, when the device refuses
// it, by the restart.

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QProcess>
#include <QRadioButton>
#include <QRegularExpression>
#include <QTest>
#include <algorithm>
#include <fstream>
#include <optional>
#include <string>
#include <vector>

#include "Advanced.h"
#include "AmbrelOnTheWire.h"
#include "DeviceBlock.h"
#include "KeyDerivation.h"
#include "Network.h"
#include "OrvikButton.h"
#include "OrvikStatic.h"
#include "Qos.h"
#include "ReSetLocalDev.h"
#include "RemDev.h"
#include "Shell.h"
#include "Status.h"
#include "UiString.h"
#include "UpGrade.h"

namespace ambrel {
namespace {

// Why the private network could not be entered (set by main, before any
// thread starts).
std::optional<std::string> g_noNetwork;

constexpr char kAddedMac[] = "00:B0:52:60:00:02";
constexpr char kOtherMac[] = "00:B0:52:60:00:03";

// The adapter behind the PC and two stations fresh from the factory, in the
// default network: the first was added by its password before (config.ini
// remembers it as proved), the second never was.
constexpr char kFactoryNetwork[] = R"(
local 00:B0:52:60:00:01
    firmware XCHIP00-MAC-1-0-0001
    upgrade-version XCHIP00-MAC-2-0-0002
station 00:B0:52:60:00:02
    password ABCD-EFGH-IJKL-MNOP
station 00:B0:52:60:00:03
    password QWER-TYUI-OPAS-DFGH
)";

constexpr char kConfig[] =
    "[GLOBAL]\nnotAskAgain=1\nisClosed=0\nlangSwitch=1\nlangId=1033\ndeviceNum=1\n"
    "NetWorkName=\n"
    "[Device0]\nName=Den\nPSW=ABCD-EFGH-IJKL-MNOP\nMAC=00B052600002\nOK=1\n";

// Radio buttons and check boxes are clicked on their indicator.
void Click(QWidget* control) {
    const bool indicator = qobject_cast<QRadioButton*>(control) != nullptr ||
                           qobject_cast<QCheckBox*>(control) != nullptr;
    const QPoint at = indicator ? QPoint(6, control->height() / 2) : control->rect().center();
    QTest::mouseClick(control, Qt::LeftButton, {}, at);
}

template <class Page>
Page& ShowTab(CMainFrame& frame, int tab, int page) {
    QTest::mouseClick(frame.Button(tab), Qt::LeftButton);
    return dynamic_cast<Page&>(*frame.Page(page));
}

// What a reset dialog opened meanwhile showed.
struct ResetOutcome {
    int mode = -1;
    int state = -1;
};

// Starts the reset dialog's operation, waits for its outcome and closes it.
void RunResetDialog(DialogWindow& window, ResetOutcome& outcome) {
    auto* dialog = dynamic_cast<CreSetLocalDev*>(&window);
    QVERIFY(dialog != nullptr);
    outcome.mode = int(dialog->GetMode());
    SendWindowMessage(dialog, kWmCommand, CreSetLocalDev::kStartButton);
    QVERIFY(QTest::qWaitFor([dialog] { return !dialog->IsWorkerRunning(); }, 30000));
    outcome.state = dialog->State();
    SendWindowMessage(dialog, kWmCommand, CreSetLocalDev::kCloseButton);
}

// Runs ambrel-cli (in the test's private network) and returns its output.
QString AmbrelCli(const QStringList& arguments) {
    QProcess cli;
    cli.start(QString::fromStdString(test::BuiltProgram("ambrel-cli")),
              arguments + QStringList{QStringLiteral("--interface"), QStringLiteral("pgw0")});
    if (!cli.waitForFinished(60000) || cli.exitCode() != 0)
        return QStringLiteral("failed: ") + QString::fromUtf8(cli.readAllStandardError());
    return QString::fromUtf8(cli.readAllStandardOutput());
}

bool Logged(const QStringList& log, const QString& what) {
    return std::any_of(log.begin(), log.end(),
                       [&](const QString& line) { return line.contains(what); });
}

}  // namespace

class PagesWireTest : public QObject {
    Q_OBJECT
private:
    test::AmbrelOnTheWire wire_{"pgw0"};

private slots:
    void initTestCase() { wire_.Open(g_noNetwork); }
    void cleanupTestCase() { wire_.Close(); }
    void init() { wire_.Begin(kConfig); }
    void cleanup() {
        SetFileChooser(nullptr);
        wire_.End();
    }

    // The Status page shows the default network; a name applied there moves
    // the local device (only it) into the user's network, which the page then
    // shows; once another tool has given the device another key, a refresh
    // shows an unknown network.
    void statusPageFollowsTheNetworkKey() {
        QVERIFY(wire_.StartNetwork(kFactoryNetwork));
        struct Shown {
            QString network;
            bool defaultTicked = false;
            bool editEnabled = false;
        };
        const auto shown = [](CStatus& page) {
            return Shown{page.ValueText(CStatus::kNetworkValue),
                         page.DefaultNetworkBox()->isChecked(), page.NameEdit()->isEnabled()};
        };
        Shown atStart, applied, changedElsewhere;
        QString mac, otherTool;
        ResetOutcome reset;
        QCOMPARE(wire_.Run(
                     [&](CMainFrame& frame) {
                         auto& page = ShowTab<CStatus>(frame, CMainFrame::kStatusTab,
                                                       CMainFrame::kStatusPage);
                         mac = page.ValueText(CStatus::kMacValue);
                         atStart = shown(page);
                         Click(page.DefaultNetworkBox());
                         page.NameEdit()->setText(QStringLiteral("GardenNet"));
                         Click(page.FindControl(CStatus::kApplyButton));
                         applied = shown(page);
                         otherTool = AmbrelCli(
                             {QStringLiteral("set-network"), QStringLiteral("Neighbours")});
                         Click(page.FindControl(CStatus::kRefreshButton));
                         changedElsewhere = shown(page);
                     },
                     [&](DialogWindow& dialog) { RunResetDialog(dialog, reset); }),
                 0);
        QVERIFY2(wire_.asked.isEmpty(), qPrintable(wire_.asked.join('|')));
        QCOMPARE(mac, QStringLiteral("00:B0:52:60:00:01"));
        QCOMPARE(atStart.network, QStringLiteral("HomePlugAV"));
        QVERIFY(atStart.defaultTicked && !atStart.editEnabled);

        QCOMPARE(reset.mode, int(CreSetLocalDev::Mode::kSetNetworkLocal));
        QCOMPARE(reset.state, int(CreSetLocalDev::kSucceeded));
        QCOMPARE(applied.network, QStringLiteral("GardenNet"));
        QVERIFY(!applied.defaultTicked && applied.editEnabled);
        const QStringList log = wire_.SimulatorLog();
        QVERIFY2(Logged(log, QStringLiteral("set key: local device takes the key")),
                 qPrintable(log.join('\n')));
        QVERIFY(!Logged(log, QStringLiteral("set key for")));

        QVERIFY2(!otherTool.startsWith(QStringLiteral("failed")), qPrintable(otherTool));
        QCOMPARE(changedElsewhere.network, QStringLiteral("Unknown"));
        QVERIFY(!changedElsewhere.defaultTicked);
        QVERIFY2(wire_.SavedConfig().contains("NetWorkName=GardenNet\n"),
                 wire_.SavedConfig().constData());
    }

    // A network name for the local and the added devices reaches the added
    // device (and no other) through the local device; the Network page then
    // lists only the device that came along.
    void networkNameForAllReachesTheAddedDevices() {
        QVERIFY(wire_.StartNetwork(kFactoryNetwork));
        ResetOutcome reset;
        QStringList before, after;
        const auto listed = [](CNetwork& page) {
            QStringList macs;
            for (int r = 0; r < page.ListedCount(); ++r)
                macs << page.Row(r)->Text(CRemDev::kMacText)->text();
            return macs;
        };
        QCOMPARE(wire_.Run(
                     [&](CMainFrame& frame) {
                         before = listed(*frame.NetworkPage());
                         auto& page = ShowTab<CAdvanced>(frame, CMainFrame::kAdvancedTab,
                                                         CMainFrame::kAdvancedPage);
                         Click(page.FindControl(CAdvanced::kScopeAll));
                         page.Control<QLineEdit>(CAdvanced::kNameEdit)
                             ->setText(QStringLiteral("GardenNet"));
                         Click(page.FindControl(CAdvanced::kSetNameButton));
                         QTest::mouseClick(frame.Button(CMainFrame::kNetworkTab), Qt::LeftButton);
                         SendWindowMessage(frame.NetworkPage(), WM_REFRESH_DEVICES);
                         after = listed(*frame.NetworkPage());
                     },
                     [&](DialogWindow& dialog) { RunResetDialog(dialog, reset); }),
                 0);
        QVERIFY2(wire_.asked.isEmpty(), qPrintable(wire_.asked.join('|')));
        QCOMPARE(reset.mode, int(CreSetLocalDev::Mode::kSetNetworkAll));
        QCOMPARE(reset.state, int(CreSetLocalDev::kSucceeded));
        QCOMPARE(before, (QStringList{kAddedMac, kOtherMac}));
        const QStringList log = wire_.SimulatorLog();
        QVERIFY2(Logged(log, QStringLiteral("set key for %1: taken by %1").arg(kAddedMac)),
                 qPrintable(log.join('\n')));
        QVERIFY(!Logged(log, QStringLiteral("set key for %1").arg(kOtherMac)));
        QCOMPARE(after, QStringList{kAddedMac});
    }

    // A preset applied in one run is what the next run's QoS page opens
    // with; custom tables applied there are what ambrel-cli reads back, with
    // the base priorities the page always writes.
    void qosSettingsOutliveTheRun() {
        QVERIFY(wire_.StartNetwork(kFactoryNetwork));
        const auto open = [](CMainFrame& frame) -> CQos& {
            auto& page = ShowTab<CQos>(frame, CMainFrame::kQosTab, CMainFrame::kQosPage);
            [[maybe_unused]] const bool read =
                QTest::qWaitFor([&] { return !page.IsReadRunning(); }, 30000);
            return page;
        };
        bool readFirst = false;
        QString waiting, written;  // the bundle's texts, while it is loaded
        QCOMPARE(wire_.Run([&](CMainFrame& frame) {
            waiting = LoadUiString(9025);
            written = LoadUiString(9022);
            CQos& page = open(frame);
            readFirst = page.HasReadBlock();
            Click(page.Radio(CQos::kPresetMode));
            Click(page.Radio(CQos::kFirstPreset + 2));
            Click(page.FindControl(CQos::kApplyButton));
        }),
                 0);
        QVERIFY(readFirst);
        QCOMPARE(wire_.asked, (QStringList{waiting, written}));

        test::AmbrelOnTheWire::ResetProcessState();
        wire_.asked.clear();
        int presetFound = -1;
        bool presetMode = false;
        QCOMPARE(wire_.Run([&](CMainFrame& frame) {
            CQos& page = open(frame);
            presetFound = page.PresetIndex();
            presetMode = page.Radio(CQos::kPresetMode)->isChecked();
            Click(page.Radio(CQos::kCustomMode));
            if (!page.Switch(CQos::kTosSwitch)->isChecked())
                Click(page.Switch(CQos::kTosSwitch));
            page.List(CQos::kFirstTosList + 0)->setCurrentIndex(3);
            page.List(CQos::kFirstTosList + 7)->setCurrentIndex(0);
            Click(page.FindControl(CQos::kApplyButton));
        }),
                 0);
        QCOMPARE(presetFound, 2);
        QVERIFY(presetMode);
        QVERIFY2(wire_.asked.endsWith(written), qPrintable(wire_.asked.join('|')));

        const QString settings = AmbrelCli({QStringLiteral("qos"), QStringLiteral("show")});
        QVERIFY2(settings.contains(QStringLiteral("mode:            custom\n")),
                 qPrintable(settings));
        QVERIFY2(settings.contains(QStringLiteral("tos:             on\n")), qPrintable(settings));
        QVERIFY2(settings.contains(QRegularExpression(QStringLiteral("tos map: +3,.*,0\n"))),
                 qPrintable(settings));
        QVERIFY2(settings.contains(QStringLiteral("base priorities: 1,1,3,2\n")),
                 qPrintable(settings));
    }

    // The upgrade dialog from the Advanced page: the device takes the new
    // firmware and parameter file and is then reset to factory defaults, so
    // the Status page shows the new version after a refresh; a device that
    // refuses the upgrade is restarted and keeps its version.
    void upgradeFromTheAdvancedPage_data() {
        QTest::addColumn<QString>("fault");
        QTest::addColumn<int>("state");
        // What the device was sent after the upgrade (factory defaults or
        // restart), and what it was not.
        QTest::addColumn<QString>("afterwards");
        QTest::addColumn<QString>("notSent");
        QTest::addColumn<QString>("version");  // the firmware shown after a refresh
        QTest::newRow("upgraded, then factory defaults")
            << QString() << int(CUpGrade::kSucceeded) << " A07C "
            << " A01C "
            << "-2-0-0002";
        QTest::newRow("refused in the middle, then restarted")
            << "fault wrong-status type=0xA020 after=3 count=1" << int(CUpGrade::kFailed)
            << " A01C "
            << " A07C "
            << "-1-0-0001";
    }
    void upgradeFromTheAdvancedPage() {
        QFETCH(QString, fault);
        QFETCH(int, state);
        QFETCH(QString, afterwards);
        QFETCH(QString, notSent);
        QFETCH(QString, version);
        QVERIFY(wire_.StartNetwork(kFactoryNetwork + ("\n" + fault.toStdString())));

        // Files as the user picks them: firmware, and a parameter block made
        // for another device (the upgrade writes the device's own MAC in).
        const std::string firmwarePath = wire_.FilePath("new.NVM");
        const std::string parameterPath = wire_.FilePath("new.PIB");
        {
            std::vector<char> firmware(6000);
            for (size_t i = 0; i < firmware.size(); ++i)
                firmware[i] = char(i * 13);
            std::ofstream(firmwarePath, std::ios::binary).write(firmware.data(), 6000);
            const std::vector<uint8_t> block = plcsim::MakeDefaultBlock(
                plcsim::Generation::First, 15560, MacAddress{0x02, 0xEE, 0xEE, 0xEE, 0xEE, 0xEE},
                {}, kDefaultNetworkKey);
            std::ofstream(parameterPath, std::ios::binary)
                .write(reinterpret_cast<const char*>(block.data()), std::streamsize(block.size()));
        }
        SetFileChooser([&](QWidget*, const QString&, const QString& filter) {
            return QString::fromStdString(filter.contains(QStringLiteral("*.NVM")) ? firmwarePath
                                                                                   : parameterPath);
        });

        int finalState = -1;
        QString shownBefore, shownAfter;
        QCOMPARE(
            wire_.Run(
                [&](CMainFrame& frame) {
                    auto& status =
                        ShowTab<CStatus>(frame, CMainFrame::kStatusTab, CMainFrame::kStatusPage);
                    shownBefore = status.ValueText(CStatus::kFirmwareValue);
                    auto& page = ShowTab<CAdvanced>(frame, CMainFrame::kAdvancedTab,
                                                    CMainFrame::kAdvancedPage);
                    Click(page.FindControl(CAdvanced::kUpgradeButton));
                    ShowTab<CStatus>(frame, CMainFrame::kStatusTab, CMainFrame::kStatusPage);
                    Click(status.FindControl(CStatus::kRefreshButton));
                    shownAfter = status.ValueText(CStatus::kFirmwareValue);
                },
                [&](DialogWindow& window) {
                    auto* dialog = dynamic_cast<CUpGrade*>(&window);
                    QVERIFY(dialog != nullptr);
                    SendWindowMessage(dialog, kWmCommand, CUpGrade::kChooseFirmware);
                    SendWindowMessage(dialog, kWmCommand, CUpGrade::kChooseParameters);
                    SendWindowMessage(dialog, kWmCommand, CUpGrade::kStartButton);
                    QVERIFY(
                        QTest::qWaitFor([dialog] { return !dialog->IsWorkerRunning(); }, 60000));
                    finalState = dialog->State();
                    QTest::mouseClick(dialog->FindControl(CUpGrade::kCloseButton), Qt::LeftButton);
                }),
            0);
        QVERIFY2(wire_.asked.isEmpty(), qPrintable(wire_.asked.join('|')));
        QCOMPARE(finalState, state);
        QVERIFY2(shownBefore.endsWith(QStringLiteral("-1-0-0001")), qPrintable(shownBefore));
        QVERIFY2(shownAfter.endsWith(version), qPrintable(shownAfter));
        const QStringList log = wire_.SimulatorLog();
        QVERIFY2(
            Logged(log, afterwards) && !Logged(log, notSent),
            qPrintable(
                log.filter(QRegularExpression(QStringLiteral(" A0(1C|7C|28|80) "))).join('\n')));
    }
};

}  // namespace ambrel

int main(int argc, char** argv) {
    // Before Qt starts any thread: every thread of the test must live in the
    // private network.
    ambrel::g_noNetwork = ambrel::test::EnterPrivateNetwork();
    QApplication application(argc, argv);
    QApplication::setQuitOnLastWindowClosed(false);
    ambrel::PagesWireTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "PagesWireTest.moc"
