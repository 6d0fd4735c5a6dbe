// The Network page and the add-device dialog of Ambrel as a user runs it,
// over a real wire against the plcsim program (see AmbrelOnTheWire.h): the
// start-up listing, renaming and pairing from the rows and the add button,
// config.ini read back after the tray's Exit, and a second start handing
// over to the first.

#include <QApplication>
#include <QCursor>
#include <QLineEdit>
#include <QProcess>
#include <QTest>
#include <functional>
#include <optional>
#include <string>

#include "AddRemDev.h"
#include "AmbrelOnTheWire.h"
#include "Network.h"
#include "OrvikButton.h"
#include "OrvikStatic.h"
#include "RemDev.h"

namespace ambrel {
namespace {

// Why the private network could not be entered (set by main, before any
// thread starts).
std::optional<std::string> g_noNetwork;

constexpr char kKitchenPassword[] = "ABCD-EFGH-IJKL-MNOP";
constexpr char kNewDevicePassword[] = "DENR-OOMP-AIRS-TEST";
constexpr char kWrongPassword[] = "ZZZZ-ZZZZ-ZZZZ-ZZZZ";

// The home network: the adapter behind the PC, three stations sharing its
// key, and a device fresh from another network that is paired by its
// password.
constexpr char kHomeNetwork[] = R"(
local 00:B0:52:50:00:01
    network-name HomeNet
station 00:B0:52:50:00:02
    network-name HomeNet
    rate 151
station 00:B0:52:50:00:03
    network-name HomeNet
    password ABCD-EFGH-IJKL-MNOP
    rate 75
station 00:B0:52:50:00:04
    network-name HomeNet
    rate 0
station 00:B0:52:50:00:20
    network-name Neighbours
    password DENR-OOMP-AIRS-TEST
)";

// Station 3 was named earlier; its password never proved right.
constexpr char kConfig[] =
    "[GLOBAL]\nnotAskAgain=1\nisClosed=0\nlangSwitch=1\nlangId=1033\ndeviceNum=1\n"
    "NetWorkName=HomeNet\n"
    "[Device0]\nName=Kitchen\nPSW=ABCD-EFGH-IJKL-MNOP\nMAC=00B052500003\nOK=0\n";

struct Row {
    QString name;
    QString password;
    QString rate;
    QString mac;
    bool operator==(const Row&) const = default;
};

QList<Row> ListedRows(const CNetwork& page) {
    QList<Row> rows;
    for (int r = 0; r < page.ListedCount(); ++r) {
        const CRemDev& row = *page.Row(r);
        rows << Row{row.Text(CRemDev::kNameText)->text(), row.Text(CRemDev::kPasswordText)->text(),
                    row.Text(CRemDev::kRateText)->text(), row.Text(CRemDev::kMacText)->text()};
    }
    return rows;
}

QStringList Names(const QList<Row>& rows) {
    QStringList names;
    for (const Row& row : rows)
        names << row.name;
    return names;
}

// A row's button shows while the pointer is over the row, as for a user.
void ClickRowButton(CRemDev& row) {
    QCursor::setPos(row.mapToGlobal(row.rect().center()));
    QTest::mouseMove(&row, row.rect().center());
    row.PollHover();
    QTest::mouseClick(row.EditButton(), Qt::LeftButton);
    QCursor::setPos(row.mapToGlobal(QPoint(-200, -200)));
    row.PollHover();
}

}  // namespace
}  // namespace ambrel

namespace QTest {
template <>
char* toString(const ambrel::Row& row) {
    return qstrdup(
        qPrintable(QStringLiteral("{%1|%2|%3|%4}").arg(row.name, row.password, row.rate, row.mac)));
}
}  // namespace QTest

namespace ambrel {

class WireEndToEndTest : public QObject {
    Q_OBJECT
private:
    test::AmbrelOnTheWire wire_{"e2e0"};

    // Starts plcsim afresh with the home network and `extra` lines (faults).
    bool StartNetwork(const QString& extra = {}) {
        return wire_.StartNetwork(kHomeNetwork + ("\n" + extra.toStdString()));
    }

    // Runs the program; `dialog` works in each add-device dialog opened
    // meanwhile, which is closed afterwards once its worker has reported.
    int RunAmbrel(const std::function<void(CMainFrame&)>& body,
                  const std::function<void(CAddRemDev&)>& dialog = {}) {
        return wire_.Run(body, [&](DialogWindow& window) {
            auto* addDevice = dynamic_cast<CAddRemDev*>(&window);
            if (addDevice == nullptr)
                return;
            if (dialog)
                dialog(*addDevice);
            QVERIFY(QTest::qWaitFor([addDevice] { return !addDevice->IsJoinRunning(); }, 20000));
        });
    }

private slots:
    void initTestCase() { wire_.Open(g_noNetwork); }
    void cleanupTestCase() { wire_.Close(); }
    void init() { wire_.Begin(kConfig); }
    void cleanup() { wire_.End(); }

    // The start-up scan finds the adapter behind the wire; the page lists
    // the stations in station order, default names counted past the
    // remembered one, with their rates and the unproved password.
    void startupListsTheStations() {
        QVERIFY(StartNetwork());
        QList<Row> rows;
        bool shown = false;
        QCOMPARE(RunAmbrel([&](CMainFrame& frame) {
                     shown = frame.isVisible();
                     rows = ListedRows(*frame.NetworkPage());
                 }),
                 0);
        QVERIFY(wire_.asked.isEmpty());
        QVERIFY(shown);
        const QList<Row> expected{
            {"Device1", "", "200 Mbps", "00:B0:52:50:00:02"},
            {"Kitchen", "Not:ABCD-EFGH-IJKL-MNOP", "99 Mbps", "00:B0:52:50:00:03"},
            {"Device2", "", "    ?", "00:B0:52:50:00:04"},
        };
        QCOMPARE(rows, expected);
        // The tray's Exit saved the settings, the remembered device kept.
        const QByteArray saved = wire_.SavedConfig();
        QVERIFY2(saved.contains("[Device0]\nName=Kitchen\nPSW=ABCD-EFGH-IJKL-MNOP\n"
                                "MAC=00B052500003\nOK=0\n"),
                 saved.constData());
    }

    // The add-device dialog from a row's button (rename, or pairing a listed
    // device) or from the add button (a new device): the list shows the
    // outcome as soon as the dialog has ended, and config.ini keeps it.
    void addDeviceDialog_data() {
        QTest::addColumn<QString>("faults");
        QTest::addColumn<int>("row");  // -1: the add button
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("password");
        QTest::addColumn<int>("outcome");  // the dialog's last form; kInput: a rename
        QTest::addColumn<QStringList>("names");
        QTest::addColumn<QString>("passwordShown");  // in the named device's row
        QTest::addColumn<QByteArray>("remembered");  // section Device1 as saved

        QTest::newRow("rename a listed device")
            << QString() << 0 << "Office" << QString() << int(CAddRemDev::kInput)
            << QStringList{"Office", "Kitchen", "Device1"} << QString()
            << QByteArray("[Device1]\nName=Office\nPSW=\nMAC=00B052500002\nOK=0\n");
        QTest::newRow("new device by its password")
            << QString() << -1 << "Den" << kNewDevicePassword << int(CAddRemDev::kSucceeded)
            << QStringList{"Device1", "Kitchen", "Device2", "Den"} << kNewDevicePassword
            << QByteArray("[Device1]\nName=Den\nPSW=DENR-OOMP-AIRS-TEST\nMAC=00B052500020\nOK=1\n");
        // The local device relays the key to a listed device; its refusal is
        // all the program can learn of a wrong password.
        QTest::newRow("listed device, wrong password refused")
            << "fault wrong-status type=0xA050" << 2 << "Attic" << kWrongPassword
            << int(CAddRemDev::kFailed) << QStringList{"Device1", "Kitchen", "Attic"}
            << QStringLiteral("Not:") + kWrongPassword
            << QByteArray(
                   "[Device1]\nName=Attic\nPSW=ZZZZ-ZZZZ-ZZZZ-ZZZZ\nMAC=00B052500004\nOK=0\n");
    }
    void addDeviceDialog() {
        QFETCH(QString, faults);
        QFETCH(int, row);
        QFETCH(QString, name);
        QFETCH(QString, password);
        QFETCH(int, outcome);
        QFETCH(QStringList, names);
        QFETCH(QString, passwordShown);
        QFETCH(QByteArray, remembered);
        QVERIFY(StartNetwork(faults));

        int finalState = -1;
        bool opened = false;
        QList<Row> before;
        QList<Row> after;
        QCOMPARE(RunAmbrel(
                     [&](CMainFrame& frame) {
                         CNetwork& page = *frame.NetworkPage();
                         before = ListedRows(page);
                         if (row < 0)
                             QTest::mouseClick(page.Control<COrvikButton>(CNetwork::kAddButton),
                                               Qt::LeftButton);
                         else
                             ClickRowButton(*page.Row(row));
                         // No refresh timer has run: what shows now is the
                         // dialog's own refresh request.
                         after = ListedRows(page);
                     },
                     [&](CAddRemDev& dialog) {
                         opened = true;
                         dialog.Control<QLineEdit>(CAddRemDev::kNameEdit)->setText(name);
                         dialog.Control<QLineEdit>(CAddRemDev::kPasswordEdit)->setText(password);
                         SendWindowMessage(&dialog, kWmCommand, CAddRemDev::kOkButton);
                         QVERIFY(QTest::qWaitFor([&] { return !dialog.IsJoinRunning(); }, 20000));
                         finalState = dialog.State();
                     }),
                 0);
        QVERIFY(opened);
        QVERIFY2(wire_.asked.isEmpty(), qPrintable(wire_.asked.join('|')));
        QCOMPARE(before.size(), 3);
        QCOMPARE(finalState, outcome);
        QCOMPARE(Names(after), names);
        const qsizetype named = names.indexOf(name);
        QCOMPARE(after[named].password, passwordShown);
        const QByteArray saved = wire_.SavedConfig();
        QVERIFY2(saved.contains("deviceNum=2\n"), saved.constData());
        QVERIFY2(saved.contains(remembered), saved.constData());

        // Started again, the program finds the name remembered.
        test::AmbrelOnTheWire::ResetProcessState();
        QList<Row> again;
        QCOMPARE(RunAmbrel([&](CMainFrame& frame) { again = ListedRows(*frame.NetworkPage()); }),
                 0);
        QCOMPARE(Names(again), names);
    }

    // A second start hands over to the running instance, which brings its
    // window back from the tray, and ends with 0.
    void secondStartActivatesTheFirst() {
        QVERIFY(StartNetwork());
        int secondExit = -1;
        bool backOnShow = false;
        QCOMPARE(
            RunAmbrel([&](CMainFrame& frame) {
                frame.hide();
                QProcess second;
                QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
                environment.insert(QStringLiteral("XDG_RUNTIME_DIR"), wire_.RuntimeDirectory());
                environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
                second.setProcessEnvironment(environment);
                second.setWorkingDirectory(wire_.StartupDirectory());
                second.start(QString::fromStdString(test::BuiltProgram("ambrel")), {});
                // The first instance answers from its event loop, which
                // must keep running while the second waits for it.
                const bool ended =
                    QTest::qWaitFor([&] { return second.state() == QProcess::NotRunning; }, 20000);
                if (ended && second.exitStatus() == QProcess::NormalExit)
                    secondExit = second.exitCode();
                backOnShow = QTest::qWaitFor([&] { return frame.isVisible(); }, 5000);
            }),
            0);
        QCOMPARE(secondExit, 0);
        QVERIFY(backOnShow);
    }
};

}  // namespace ambrel

int main(int argc, char** argv) {
    // Before Qt starts any thread: every thread of the test must live in the
    // private network.
    ambrel::g_noNetwork = ambrel::test::EnterPrivateNetwork();
    QApplication application(argc, argv);
    QApplication::setQuitOnLastWindowClosed(false);
    ambrel::WireEndToEndTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "WireEndToEndTest.moc"
