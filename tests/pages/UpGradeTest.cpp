// The upgrade dialog against a simulated local device of either generation:
// the files chosen through the file chooser, their problems refused before
// anything is sent, the upgrade followed by the factory reset, a failed
// first-generation upgrade followed by the restart, and the dialog staying
// open while a worker runs.

#include <QFile>
#include <QLineEdit>
#include <QTemporaryDir>
#include <QtTest>
#include <algorithm>
#include <future>
#include <vector>

#include "DeviceBlock.h"
#include "ResourceIds.h"
#include "Shell.h"
#include "UpGrade.h"
#include "WindowReportSink.h"
#include "WindowTestSupport.h"
#include "WorkerRoutines.h"

namespace ambrel {
namespace {

constexpr uint8_t kFirstGenerationId = 2;
constexpr uint8_t kSecondGenerationId = 0x21;
constexpr uint16_t kReadFirstGeneration = 0xA024;
constexpr uint16_t kModuleOperation = 0xA0B0;
constexpr uint16_t kFactoryDefaults = 0xA07C;
constexpr size_t kFirmwareSize = 5001;

enum class FileKind { kNone, kMissing, kGood, kTooLarge };

// What the simulated device held when the upgrade reported.
struct Snapshot {
    std::vector<uint8_t> firmware;
    std::vector<uint8_t> block;
    bool taken = false;
};

// Delivers the reports to the dialog, noting the device's state as the
// upgrade reports and optionally holding the first report until released.
class ObservingSink final : public ReportSink {
public:
    ObservingSink(plcsim::SimDevice& device, bool hold) : device_(device), hold_(hold) {
        SetReportSink(this);
    }
    ~ObservingSink() override { SetReportSink(nullptr); }
    void Send(WindowHandle window, ResultMessage message, WParam wParam, LParam lParam) override {
        if (message == ResultMessage::UpgradeDone && !snapshot.taken) {
            snapshot = {device_.WrittenFirmware(), device_.ParameterBlock(), true};
        }
        if (hold_ && !held_) {
            held_ = true;
            arrived.set_value();
            release.get_future().wait();
        }
        WindowReportSink().Send(window, message, wParam, lParam);
    }
    Snapshot snapshot;
    std::promise<void> arrived;
    std::promise<void> release;

private:
    plcsim::SimDevice& device_;
    bool hold_;
    bool held_ = false;
};

class UpgradeWorld {
public:
    explicit UpgradeWorld(uint8_t deviceId) : network(world.AttachNetwork(0, deviceId)) {
        first = plcsim::GenerationOf(deviceId) == plcsim::Generation::First;
        firmware.resize(kFirmwareSize);
        for (size_t i = 0; i < firmware.size(); ++i)
            firmware[i] = static_cast<uint8_t>(i * 7);
        // A parameter file made for another device.
        parameters = plcsim::MakeDefaultBlock(
            first ? plcsim::Generation::First : plcsim::Generation::Second, first ? 15560 : 9040,
            MacAddress{0x02, 0xEE, 0xEE, 0xEE, 0xEE, 0xEE}, {}, kDefaultNetworkKey);
        SetFileChooser([this](QWidget*, const QString&, const QString& filter) {
            return filter.contains(QStringLiteral("*.NVM")) ? firmwareChoice : parameterChoice;
        });
    }
    ~UpgradeWorld() { SetFileChooser(nullptr); }

    // A file of that kind; its path (empty for kNone).
    QString MakeFile(const QString& name, FileKind kind, const std::vector<uint8_t>& bytes,
                     qint64 limit) {
        if (kind == FileKind::kNone)
            return QString();
        const QString path = dir.filePath(name);
        if (kind == FileKind::kMissing)
            return path;
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly))
            return QString();
        if (kind == FileKind::kTooLarge)
            file.resize(limit + 1);
        else
            file.write(reinterpret_cast<const char*>(bytes.data()), qint64(bytes.size()));
        return path;
    }
    void ChooseFiles(CUpGrade& dialog, FileKind firmwareKind, FileKind parameterKind) {
        firmwareChoice =
            MakeFile(QStringLiteral("new.NVM"), firmwareKind, firmware, qint64(kMaxFirmwareFile));
        parameterChoice =
            MakeFile(QStringLiteral("new.PIB"), parameterKind, parameters, qint64(kMaxPibFile));
        if (firmwareKind != FileKind::kNone)
            SendWindowMessage(&dialog, kWmCommand, CUpGrade::kChooseFirmware);
        if (parameterKind != FileKind::kNone)
            SendWindowMessage(&dialog, kWmCommand, CUpGrade::kChooseParameters);
    }
    const std::vector<plcsim::LogRecord>& Log() {
        return world.backend.ResponderOf(test::kAdapter).Log();
    }
    plcsim::SimDevice& Local() { return network.Local(); }

    test::WindowWorld world;
    plcsim::Network& network;
    bool first = true;
    std::vector<uint8_t> firmware;
    std::vector<uint8_t> parameters;
    QString firmwareChoice;
    QString parameterChoice;
    QTemporaryDir dir;
};

bool WaitForWorkers(CUpGrade& dialog) {
    return QTest::qWaitFor([&]() { return !dialog.IsWorkerRunning(); }, 30000);
}

}  // namespace

class UpGradeTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { QVERIFY(test::LoadTestBundle()); }

    void fileProblemsAreRefusedBeforeAnythingIsSent_data() {
        QTest::addColumn<int>("firmware");
        QTest::addColumn<int>("parameters");
        QTest::addColumn<int>("message");
        const int none = int(FileKind::kNone);
        const int missing = int(FileKind::kMissing);
        const int good = int(FileKind::kGood);
        const int large = int(FileKind::kTooLarge);
        QTest::newRow("nothing chosen") << none << none << 5017;
        QTest::newRow("only the firmware chosen") << good << none << 5018;
        QTest::newRow("only the parameter file chosen") << none << good << 5017;
        QTest::newRow("firmware gone since chosen") << missing << good << 5019;
        QTest::newRow("parameter file gone since chosen") << good << missing << 5020;
        QTest::newRow("firmware one byte too large") << large << good << 5021;
        QTest::newRow("parameter file one byte too large") << good << large << 5022;
    }
    void fileProblemsAreRefusedBeforeAnythingIsSent() {
        QFETCH(int, firmware);
        QFETCH(int, parameters);
        QFETCH(int, message);
        UpgradeWorld world(kFirstGenerationId);
        CUpGrade dialog;
        dialog.show();
        world.ChooseFiles(dialog, FileKind(firmware), FileKind(parameters));
        world.world.backend.ResponderOf(test::kAdapter).ClearLog();

        SendWindowMessage(&dialog, kWmCommand, CUpGrade::kStartButton);
        QCOMPARE(world.world.AskedTexts(), QStringList{LoadUiString(message)});
        QCOMPARE(world.world.asked[0].style, kMsgIconError);
        QVERIFY(world.Log().empty());
        QCOMPARE(dialog.State(), int(CUpGrade::kReady));
        QVERIFY(!dialog.IsWorkerRunning());
        QVERIFY(dialog.FindControl(CUpGrade::kStartButton)->isEnabled());
        QVERIFY(TheDeviceModel().firmwareImage.empty());
    }

    void pathsComeOnlyFromTheChooser() {
        UpgradeWorld world(kFirstGenerationId);
        CUpGrade dialog;
        dialog.show();
        world.ChooseFiles(dialog, FileKind::kGood, FileKind::kNone);
        auto* edit = dialog.Control<QLineEdit>(CUpGrade::kFirmwareEdit);
        QCOMPARE(edit->text(), world.firmwareChoice);
        QCOMPARE(dialog.FirmwarePath(), world.firmwareChoice);

        // Typing changes nothing, and neither does a cancelled chooser.
        edit->setFocus();
        QTest::keyClicks(edit, QStringLiteral("/tmp/other.NVM"));
        world.firmwareChoice.clear();
        SendWindowMessage(&dialog, kWmCommand, CUpGrade::kChooseFirmware);
        QCOMPARE(dialog.FirmwarePath(), world.dir.filePath(QStringLiteral("new.NVM")));
        QCOMPARE(edit->text(), dialog.FirmwarePath());
        // Only the firmware chosen: the parameter file is asked for.
        SendWindowMessage(&dialog, kWmCommand, CUpGrade::kStartButton);
        QCOMPARE(world.world.AskedTexts(), QStringList{LoadUiString(5018)});
    }

    void noLocalDevice() {
        UpgradeWorld world(kFirstGenerationId);
        world.network.faults.Add(plcsim::Fault{plcsim::FaultKind::Silent, {}, {}, 0});
        CUpGrade dialog;
        dialog.show();
        world.ChooseFiles(dialog, FileKind::kGood, FileKind::kGood);
        SendWindowMessage(&dialog, kWmCommand, CUpGrade::kStartButton);
        QCOMPARE(world.world.AskedTexts(), QStringList{LoadUiString(res::kTextNoLocalDevice)});
        QCOMPARE(dialog.State(), int(CUpGrade::kReady));
        QVERIFY(world.Local().WrittenFirmware().empty());
    }

    void upgradeEndToEnd_data() {
        QTest::addColumn<int>("deviceId");
        QTest::addColumn<uint16_t>("refusedRequest");  // 0: none
        QTest::addColumn<bool>("upgraded");
        QTest::addColumn<bool>("resetAsked");
        QTest::addColumn<bool>("restarted");
        QTest::addColumn<int>("state");
        const int done = CUpGrade::kSucceeded;
        const int failed = CUpGrade::kFailed;
        QTest::newRow("first generation")
            << int(kFirstGenerationId) << uint16_t(0) << true << true << false << done;
        QTest::newRow("second generation")
            << int(kSecondGenerationId) << uint16_t(0) << true << true << false << done;
        QTest::newRow("first generation fails, restarted")
            << int(kFirstGenerationId) << kReadFirstGeneration << false << false << true << failed;
        QTest::newRow("second generation fails, left alone")
            << int(kSecondGenerationId) << kModuleOperation << false << false << false << failed;
        QTest::newRow("upgraded, factory reset refused")
            << int(kSecondGenerationId) << kFactoryDefaults << true << true << false << failed;
    }
    void upgradeEndToEnd() {
        QFETCH(int, deviceId);
        QFETCH(uint16_t, refusedRequest);
        QFETCH(bool, upgraded);
        QFETCH(bool, resetAsked);
        QFETCH(bool, restarted);
        QFETCH(int, state);

        UpgradeWorld world{uint8_t(deviceId)};
        if (refusedRequest != 0) {
            world.network.faults.Add(
                plcsim::Fault{plcsim::FaultKind::WrongStatus, refusedRequest, {}, 0});
        }
        ObservingSink sink(world.Local(), false);
        CUpGrade dialog;
        dialog.show();
        world.ChooseFiles(dialog, FileKind::kGood, FileKind::kGood);
        SendWindowMessage(&dialog, kWmCommand, CUpGrade::kStartButton);
        QCOMPARE(dialog.State(), int(CUpGrade::kBusy));
        QVERIFY(!dialog.FindControl(CUpGrade::kFirmwareEdit)->isVisible());
        QVERIFY(!dialog.FindControl(CUpGrade::kStartButton)->isEnabled());
        QVERIFY(WaitForWorkers(dialog));

        QVERIFY(world.world.asked.empty());
        QCOMPARE(dialog.State(), state);
        QVERIFY(sink.snapshot.taken);
        if (upgraded) {
            // The device held the new firmware and the parameter file under
            // its own MAC address before it was reset.
            QCOMPARE(sink.snapshot.firmware, world.firmware);
            QVERIFY(sink.snapshot.block.size() >= 18);
            QVERIFY(std::equal(test::kLocalMac.begin(), test::kLocalMac.end(),
                               sink.snapshot.block.begin() + 12));
        } else {
            QVERIFY(sink.snapshot.firmware.empty());
        }
        const bool resetSent = std::any_of(
            world.Log().begin(), world.Log().end(),
            [](const plcsim::LogRecord& record) { return record.type == kFactoryDefaults; });
        QCOMPARE(resetSent, resetAsked);
        QCOMPARE(world.Local().counters.restarts, restarted ? 1u : 0u);
        QCOMPARE(TheDeviceModel().upgradeRunning, 0u);

        // The outcome form: compact, only the close button, which ends it.
        QVERIFY(dialog.IsCompact());
        QCOMPARE(dialog.size(), QSize(CUpGrade::kCompactWidth, CUpGrade::kCompactHeight));
        QVERIFY(dialog.FindControl(CUpGrade::kCloseButton)->isEnabled());
        QWidget* status = dialog.FindControl(CUpGrade::kStatusLine);
        QVERIFY(QRect(QPoint(0, 0), dialog.size()).contains(status->geometry()));
        QTest::mouseClick(dialog.FindControl(CUpGrade::kCloseButton), Qt::LeftButton);
        QVERIFY(!dialog.isVisible());
    }

    void staysOpenWhileAWorkerRuns() {
        UpgradeWorld world(kFirstGenerationId);
        // The upgrade fails, so the restart follows it; the failure report
        // is held.
        world.network.faults.Add(
            plcsim::Fault{plcsim::FaultKind::WrongStatus, kReadFirstGeneration, {}, 0});
        ObservingSink sink(world.Local(), true);
        std::future<void> arrived = sink.arrived.get_future();
        int stateWhenEnded = -1;
        DialogWindow::SetModalHook([&](DialogWindow& window) {
            auto& dialog = static_cast<CUpGrade&>(window);
            world.ChooseFiles(dialog, FileKind::kGood, FileKind::kGood);
            SendWindowMessage(&dialog, kWmCommand, CUpGrade::kStartButton);
            QVERIFY(QTest::qWaitFor(
                [&]() {
                    return arrived.wait_for(std::chrono::seconds(0)) == std::future_status::ready;
                },
                30000));
            QTest::keyClick(&dialog, Qt::Key_Escape);
            dialog.close();
            SendWindowMessage(&dialog, kWmCommand, CUpGrade::kCancelButton);
            SendWindowMessage(&dialog, kWmCommand, CUpGrade::kCloseButton);
            QVERIFY(dialog.IsRunningModal());
            sink.release.set_value();
            QVERIFY(WaitForWorkers(dialog));
            stateWhenEnded = dialog.State();
            QTest::keyClick(&dialog, Qt::Key_Escape);
        });
        CUpGrade dialog;
        QCOMPARE(dialog.RunModal(), kIdOk);
        DialogWindow::SetModalHook(nullptr);
        QCOMPARE(stateWhenEnded, int(CUpGrade::kFailed));
        QCOMPARE(world.Local().counters.restarts, 1u);
    }
};

}  // namespace ambrel

QTEST_MAIN(ambrel::UpGradeTest)
#include "UpGradeTest.moc"
