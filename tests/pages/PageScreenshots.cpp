// Renders, for the documentation, the main window on its Status, QoS and
// Advanced pages, and the reset dialog and the upgrade dialog in their
// forms, against a simulated powerline network in the process: a local
// device on the private network "HomeNet" and two stations.
//
//   QT_QPA_PLATFORM=offscreen pages_page_screenshots <folder> [language]
//
// writes <folder>/pages-<language>.png and
// <folder>/advanced-dialogs-<language>.png (language 1033 when not given).
// The documentation's pictures, from the repository after a build:
//
//   for l in 1033 2052; do QT_QPA_PLATFORM=offscreen build/bin/pages_page_screenshots docs $l; done

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QtTest>
#include <functional>
#include <optional>
#include <vector>

#include "DeviceBlock.h"
#include "MainFrame.h"
#include "Qos.h"
#include "ReSetLocalDev.h"
#include "ScreenshotSheet.h"
#include "Shell.h"
#include "UpGrade.h"
#include "WindowTestSupport.h"

namespace ambrel {
namespace {

using test::Grab;
using test::Shot;
using Caller = CreSetLocalDev::Caller;
using Mode = CreSetLocalDev::Mode;

// The page shows what follows the first 11 characters of the version text.
constexpr char kFirmwareVersion[] = "AMBRSIM-MAC-2.4.1-build-3529";
constexpr int kWaitMs = 20000;
constexpr int kAnimationMs = 300;  // a few frames of the busy animation

// The request a refusal answers: the factory reset, and the first read of
// a first-generation upgrade.
constexpr uint16_t kFactoryDefaults = 0xA07C;
constexpr uint16_t kReadFirstGeneration = 0xA024;

// The process state of the pictures: the language, settings in a temporary
// folder, the simulated network behind the fake adapter, message boxes
// answered at once and worker reports through the program's own sink.
class Scene {
public:
    explicit Scene(int language) {
        (void)test::LoadTestBundle(language);
        TheAppSettings().langId = language;
        TheAppSettings().NetWorkName = QString::fromLatin1(test::kHomeNetwork).toStdU16String();
        InstallWindowReportSink();
        plcsim::DeviceConfig local;
        local.mac = test::kLocalMac;
        local.firmwareVersion = kFirmwareVersion;
        local.networkKey = DeriveNetworkKey(test::kHomeNetwork);
        plcsim::Network network(local);
        test::WindowWorld::AddStation(network, 1, 142);
        test::WindowWorld::AddStation(network, 2, 88);
        network_ = &world_.backend.AttachNetwork(test::kAdapter, std::move(network));
    }
    ~Scene() { SetReportSink(nullptr); }
    Scene(const Scene&) = delete;
    Scene& operator=(const Scene&) = delete;

    // From now on the local device refuses requests of `messageType`.
    void Refuse(uint16_t messageType) {
        network_->faults.Add(plcsim::Fault{plcsim::FaultKind::WrongStatus, messageType, {}, 0});
    }

private:
    test::WindowWorld world_;
    plcsim::Network* network_ = nullptr;
};

bool WaitFor(const std::function<bool()>& done) {
    return QTest::qWaitFor(done, kWaitMs);
}

std::vector<Shot> PageShots(int language) {
    Scene scene(language);
    CMainFrame frame;
    frame.Initialise();
    std::vector<Shot> shots;

    frame.ShowPage(CMainFrame::kStatusPage);
    shots.push_back({QStringLiteral("Status page"), Grab(frame)});

    frame.ShowPage(CMainFrame::kQosPage);
    auto* qos = static_cast<CQos*>(frame.Page(CMainFrame::kQosPage));
    if (!WaitFor([qos]() { return !qos->IsReadRunning() && qos->HasReadBlock(); }))
        qWarning("the QoS page did not read the device's settings");
    shots.push_back({QStringLiteral("QoS page: the device's settings"), Grab(frame)});

    frame.ShowPage(CMainFrame::kAdvancedPage);
    shots.push_back({QStringLiteral("Advanced page"), Grab(frame)});
    return shots;
}

// Presses Start and waits for the outcome; with `working`, the working form
// is taken there first.
void RunReset(CreSetLocalDev& dialog, std::vector<Shot>* working) {
    std::optional<test::HeldReports> held;
    if (working != nullptr)
        held.emplace();
    SendWindowMessage(&dialog, kWmCommand, CreSetLocalDev::kStartButton);
    if (held) {
        if (!held->WaitForReport(kWaitMs))
            qWarning("the reset dialog's worker did not report");
        QTest::qWait(kAnimationMs);
        working->push_back({QStringLiteral("Reset dialog: working"), Grab(dialog)});
        held->Release();
    }
    if (!WaitFor([&dialog]() { return !dialog.IsWorkerRunning(); }))
        qWarning("the reset dialog's worker did not report");
}

std::vector<Shot> ResetShots(int language) {
    Scene scene(language);
    std::vector<Shot> shots;
    {
        (void)SetPendingNetworkName(QStringLiteral("GardenNet"));
        CreSetLocalDev dialog(Caller::kAdvancedPage, Mode::kSetNetworkAll);
        dialog.show();
        shots.push_back({QStringLiteral("Reset dialog: new network name"), Grab(dialog)});
        RunReset(dialog, nullptr);
        shots.push_back({QStringLiteral("Reset dialog: network name set"), Grab(dialog)});
    }
    {
        CreSetLocalDev dialog(Caller::kAdvancedPage, Mode::kResetAll);
        dialog.show();
        shots.push_back({QStringLiteral("Reset dialog: reset all devices"), Grab(dialog)});
        RunReset(dialog, &shots);
        shots.push_back({QStringLiteral("Reset dialog: devices reset"), Grab(dialog)});
    }
    {
        scene.Refuse(kFactoryDefaults);
        CreSetLocalDev dialog(Caller::kAdvancedPage, Mode::kResetAll);
        dialog.show();
        RunReset(dialog, nullptr);
        shots.push_back({QStringLiteral("Reset dialog: failed"), Grab(dialog)});
    }
    return shots;
}

// Upgrade files in a folder of a fixed name, so that the paths on show stay
// the same from one run to the next.
class ChosenFiles {
public:
    ChosenFiles() : folder_(QDir::temp().filePath(QStringLiteral("ambrel-fw"))) {
        folder_.removeRecursively();
        QDir().mkpath(folder_.path());
        firmware = Write(QStringLiteral("FW-2.4.2.NVM"), QByteArray(5001, static_cast<char>(0x5A)));
        const std::vector<uint8_t> block = plcsim::MakeDefaultBlock(
            plcsim::Generation::First, plcsim::kFirstGenerationBlockLength,
            MacAddress{0x02, 0xEE, 0xEE, 0xEE, 0xEE, 0xEE}, {}, kDefaultNetworkKey);
        parameters = Write(QStringLiteral("FW-2.4.2.PIB"),
                           QByteArray(reinterpret_cast<const char*>(block.data()),
                                      static_cast<qsizetype>(block.size())));
        SetFileChooser([this](QWidget*, const QString&, const QString& filter) {
            return filter.contains(QStringLiteral("*.NVM")) ? firmware : parameters;
        });
    }
    ~ChosenFiles() {
        SetFileChooser(nullptr);
        folder_.removeRecursively();
    }
    ChosenFiles(const ChosenFiles&) = delete;
    ChosenFiles& operator=(const ChosenFiles&) = delete;

    static void Choose(CUpGrade& dialog) {
        SendWindowMessage(&dialog, kWmCommand, CUpGrade::kChooseFirmware);
        SendWindowMessage(&dialog, kWmCommand, CUpGrade::kChooseParameters);
    }

    QString firmware;
    QString parameters;

private:
    QString Write(const QString& name, const QByteArray& bytes) {
        const QString path = folder_.filePath(name);
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size())
            qWarning("could not write %s", qPrintable(path));
        return path;
    }

    QDir folder_;
};

std::vector<Shot> UpgradeShots(int language) {
    Scene scene(language);
    ChosenFiles files;
    std::vector<Shot> shots;
    {
        CUpGrade dialog;
        dialog.show();
        ChosenFiles::Choose(dialog);
        shots.push_back({QStringLiteral("Upgrade dialog: files chosen"), Grab(dialog)});
        {
            test::HeldReports held;
            SendWindowMessage(&dialog, kWmCommand, CUpGrade::kStartButton);
            if (!held.WaitForReport(kWaitMs))
                qWarning("the upgrade dialog's worker did not report");
            QTest::qWait(kAnimationMs);
            shots.push_back({QStringLiteral("Upgrade dialog: working"), Grab(dialog)});
            held.Release();
            if (!WaitFor([&dialog]() { return !dialog.IsWorkerRunning(); }))
                qWarning("the upgrade dialog's workers did not report");
        }
        shots.push_back({QStringLiteral("Upgrade dialog: upgraded"), Grab(dialog)});
    }
    {
        scene.Refuse(kReadFirstGeneration);
        CUpGrade dialog;
        dialog.show();
        ChosenFiles::Choose(dialog);
        SendWindowMessage(&dialog, kWmCommand, CUpGrade::kStartButton);
        if (!WaitFor([&dialog]() { return !dialog.IsWorkerRunning(); }))
            qWarning("the upgrade dialog's workers did not report");
        shots.push_back({QStringLiteral("Upgrade dialog: failed"), Grab(dialog)});
    }
    return shots;
}

// Both pictures of the language into the folder.
int WritePictures(const test::ToolArguments& arguments) {
    const int language = arguments.language;
    const std::vector<Shot> pages = PageShots(language);
    std::vector<Shot> dialogs = ResetShots(language);
    for (Shot& shot : UpgradeShots(language))
        dialogs.push_back(std::move(shot));

    const QDir folder(arguments.output);
    const QString suffix = QStringLiteral("-%1.png").arg(language);
    const bool written =
        test::SaveSheet(pages, 1, folder.filePath(QStringLiteral("pages") + suffix)) &&
        test::SaveSheet(dialogs, 2, folder.filePath(QStringLiteral("advanced-dialogs") + suffix));
    return written ? 0 : 1;
}

}  // namespace
}  // namespace ambrel

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    const ambrel::test::ToolArguments arguments =
        ambrel::test::ReadToolArguments(argc, argv, "pages_page_screenshots <folder> [language]");
    return arguments.failure != 0 ? arguments.failure : ambrel::WritePictures(arguments);
}
