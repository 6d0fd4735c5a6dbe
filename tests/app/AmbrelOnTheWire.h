#pragma once

// Ambrel as a user runs it, over a real wire, for the end-to-end window
// tests: raw frames through libpcap on a veth pair whose far end plcsim
// plays in a namespace of its own, the program's start-up sequence in a
// start-up directory of its own, the main window and the dialogs it opens
// driven by the test, and config.ini read back after the tray's Exit. The
// protocol's pauses are scaled down; message boxes are answered OK by a
// recorder.
//
// The test's main() must call test::EnterPrivateNetwork() before Qt starts
// any thread and hand its answer to Open().

#include <QDir>
#include <QFile>
#include <QStringList>
#include <QTemporaryDir>
#include <QTest>
#include <chrono>
#include <fstream>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <thread>

#include "AmbrelApp.h"
#include "AppSettings.h"
#include "DeviceList.h"
#include "DeviceModel.h"
#include "MainFrame.h"
#include "PcapBackend.h"
#include "PlcMsgBox.h"
#include "RememberedDevices.h"
#include "ResourceIds.h"
#include "ScaledClock.h"
#include "TestNetwork.h"
#include "Transport.h"
#include "UiState.h"
#include "WindowReportSink.h"

namespace ambrel::test {

class AmbrelOnTheWire {
public:
    // `adapter` is the PC's end of the veth pair; plcsim gets `adapter`+"p".
    explicit AmbrelOnTheWire(std::string adapter) : adapter_(std::move(adapter)) {}
    ~AmbrelOnTheWire() { Close(); }
    AmbrelOnTheWire(const AmbrelOnTheWire&) = delete;
    AmbrelOnTheWire& operator=(const AmbrelOnTheWire&) = delete;

    // Wires the private network (for initTestCase). `noNetwork` is what
    // EnterPrivateNetwork() answered: the test skips with it, or fails
    // under CI=true.
    void Open(const std::optional<std::string>& noNetwork) {
        if (noNetwork) {
            if (qEnvironmentVariableIsSet("CI"))
                QFAIL(noNetwork->c_str());
            QSKIP(noNetwork->c_str());
        }
        QVERIFY(files_.isValid() && runtime_.isValid());
        plc_ = std::make_unique<PeerHost>();
        QVERIFY(CreateVethPair(adapter_, PeerEnd()));
        QVERIFY(plc_->Create(PeerEnd()));
        clock_ = std::make_unique<ScaledClock>();
        UsePcapBackend();
        InstallWindowReportSink();
        InstallWaitingBoxCloser();
        SetMessageBoxHook([this](const QString& text, uint32_t) {
            asked << text;
            return kResultOk;
        });
    }
    // For cleanupTestCase.
    void Close() {
        SetMessageBoxHook(nullptr);
        SetReportSink(nullptr);
        SetCaptureBackend(nullptr);
        plc_.reset();
        clock_.reset();
    }

    // A fresh start-up directory holding `config` as config.ini, made the
    // current directory (for init).
    void Begin(const QByteArray& config) {
        ResetProcessState();
        asked.clear();
        startup_ = std::make_unique<QTemporaryDir>();
        QFile file(startup_->filePath(QStringLiteral("config.ini")));
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(config);
        file.close();
        previousDirectory_ = QDir::currentPath();
        QDir::setCurrent(startup_->path());
    }
    // For cleanup.
    void End() {
        if (!previousDirectory_.isEmpty())
            QDir::setCurrent(previousDirectory_);
        CloseAdapters();
        ResetProcessState();
        startup_.reset();
    }

    // Starts plcsim afresh on the far end with `network` (the network file's
    // text), so every test meets devices in their first state. Its request
    // log starts empty.
    bool StartNetwork(const std::string& network) {
        plc_->Stop();
        const std::string file = FilePath("plcsim.net");
        std::ofstream(file) << network << '\n';
        QFile::remove(QString::fromStdString(LogPath()));
        const bool started = plc_->Start({BuiltProgram("plcsim"), "--interface", PeerEnd(),
                                          "--network", file, "--log", LogPath()});
        // Let it open its socket before the first request goes out.
        std::this_thread::sleep_for(std::chrono::milliseconds(300));
        return started;
    }
    // plcsim's request log, one line per request.
    QStringList SimulatorLog() const {
        QFile file(QString::fromStdString(LogPath()));
        if (!file.open(QIODevice::ReadOnly))
            return {};
        return QString::fromUtf8(file.readAll()).split(u'\n', Qt::SkipEmptyParts);
    }
    // A file in the test's own temporary folder.
    std::string FilePath(const char* name) const {
        return files_.filePath(QString::fromLatin1(name)).toStdString();
    }

    // Runs the program's start-up sequence up to the main window; `body`
    // works in the running window, which then ends through the tray's Exit
    // (which saves). `dialog` works in every other modal window opened
    // meanwhile (message boxes excepted); one still running after it gets
    // an Escape, as a user would close it.
    int Run(const std::function<void(CMainFrame&)>& body,
            const std::function<void(DialogWindow&)>& dialog = {}) {
        DialogWindow::SetModalHook([&](DialogWindow& window) {
            if (auto* frame = dynamic_cast<CMainFrame*>(&window)) {
                body(*frame);
                SendWindowMessage(frame, kWmCommand, res::kCommandExit);
                return;
            }
            if (dialog)
                dialog(window);
            if (window.IsRunningModal())
                QTest::keyClick(&window, Qt::Key_Escape);
        });
        CAmbrelApp app(runtime_.path());
        const int code = app.Run();
        DialogWindow::SetModalHook(nullptr);
        return code;
    }
    QString RuntimeDirectory() const { return runtime_.path(); }
    QString StartupDirectory() const { return startup_->path(); }

    QByteArray SavedConfig() const {
        QFile file(startup_->filePath(QStringLiteral("config.ini")));
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }

    // What a new start of the program meets: nothing of the last run.
    static void ResetProcessState() {
        ResetDeviceModel();
        ResetAppSettings();
        ResetRememberedDevices();
        ResetUiState();
        CurrentNamingStyle() = NamingStyle::English;
    }

    // Texts of the message boxes shown, in order.
    QStringList asked;

private:
    std::string PeerEnd() const { return adapter_ + "p"; }
    std::string LogPath() const { return FilePath("plcsim.log"); }

    std::string adapter_;
    std::unique_ptr<ScaledClock> clock_;
    std::unique_ptr<PeerHost> plc_;
    QTemporaryDir files_;
    QTemporaryDir runtime_;  // where the single-instance lock and socket live
    std::unique_ptr<QTemporaryDir> startup_;
    QString previousDirectory_;
};

}  // namespace ambrel::test
