// The main window against a simulated powerline network: start-up with and
// without a local device, the QoS tab rule, page switching, the refresh
// pacing, the close button and the tray menu with their saves, swallowed
// keys, dragging, destruction, and worker reports from other threads.

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QPainter>
#include <QScreen>
#include <QTimer>
#include <atomic>
#include <memory>
#include <thread>

#include "About.h"
#include "MainFrame.h"
#include "Network.h"
#include "OrvikButton.h"
#include "OrvikStatic.h"
#include "PlcTray.h"
#include "RemDev.h"
#include "ResourceIds.h"
#include "WindowReportSink.h"
#include "WindowTestSupport.h"
#include "WorkerRoutines.h"

namespace ambrel {

// The handle of a window that existed and was destroyed again.
[[gnu::noinline]] static void* HandleOfAWindowThatIsGone() {
    auto window = std::make_unique<test::MessageRecorder>();
    return window.get();
}

namespace {

// The main window as it behaves with an icon in the notification area
// (the offscreen platform has none).
class TrayFrame : public CMainFrame {
public:
    bool trayShown = true;

protected:
    bool TrayIconShown() const override { return trayShown; }
};

int VisibleRows(const CNetwork& page) {
    int visible = 0;
    for (int r = 0; r < CNetwork::kRows; ++r)
        visible += page.Row(r)->isVisible() ? 1 : 0;
    return visible;
}

QStringList RowNames(const CNetwork& page) {
    QStringList names;
    for (int r = 0; r < CNetwork::kRows; ++r) {
        if (page.Row(r)->isVisible())
            names << page.Row(r)->Text(CRemDev::kNameText)->text();
    }
    return names;
}

QRect LayoutPlace(int id) {
    return ReadLayoutRect(id, {}).ToQRect();
}

void Click(QWidget* button) {
    QTest::mouseClick(button, Qt::LeftButton, {}, button->rect().center());
}

}  // namespace

class MainFrameTest : public QObject {
    Q_OBJECT
private:
    std::unique_ptr<test::WindowWorld> world_;
    std::unique_ptr<TrayFrame> frame_;

    TrayFrame& Start() {
        frame_ = std::make_unique<TrayFrame>();
        frame_->Initialise();
        return *frame_;
    }

private slots:
    void init() { world_ = std::make_unique<test::WindowWorld>(); }
    void cleanup() {
        DialogWindow::SetModalHook(nullptr);
        frame_.reset();
        world_.reset();
    }

    void startupWithADeviceListsItsStations() {
        world_->AttachNetwork(3);
        TheAppSettings().NetWorkName = u"office";
        CMainFrame& frame = Start();

        QVERIFY(world_->asked.empty());
        QVERIFY(frame.isVisible());
        QCOMPARE(frame.windowTitle(), LoadUiString(res::kTextWindowTitle));
        QCOMPARE(frame.size(), QSize(640, 492));
        QCOMPARE(FieldText(TheDeviceModel().localDevice.networkName), std::string_view("office"));
        QCOMPARE(frame.CurrentPage(), CMainFrame::kNetworkPage);
        for (int page :
             {CMainFrame::kStatusPage, CMainFrame::kAdvancedPage, CMainFrame::kQosPage}) {
            QVERIFY(!frame.Page(page)->isVisible());
            QVERIFY(!frame.Page(page)->isEnabled());
        }
        CNetwork& network = *frame.NetworkPage();
        QVERIFY(network.isVisible() && network.isEnabled());
        QCOMPARE(network.geometry(), QRect(10, 92, 620, 388));
        QCOMPARE(RowNames(network), QStringList({"Device1", "Device2", "Device3"}));
        QVERIFY(frame.Button(CMainFrame::kNetworkTab)->checked);
        QVERIFY(frame.Button(CMainFrame::kStatusTab)->isEnabled());
        QCOMPARE(frame.Tray().IconData().tip, frame.windowTitle());
        QCOMPARE(frame.Tray().IconData().id, CPlcTray::kAmbrelIconId);
        QVERIFY(frame.IsTimerRunning(CMainFrame::kRefreshTimer));
        for (int id : {CNetwork::kRefreshButton, CNetwork::kAddButton}) {
            COrvikButton* button = network.Control<COrvikButton>(id);
            QVERIFY(button->isEnabled());
            QCOMPARE(button->CurrentPicture(), button->normalImage);
        }
    }

    void startupWithoutADeviceSaysSoOnceAndStillOpens() {
        CMainFrame& frame = Start();
        QCOMPARE(world_->AskedTexts(), QStringList({LoadUiString(res::kTextNoLocalDevice)}));
        QCOMPARE(world_->asked.front().style, kMsgOk | kMsgIconError);
        QVERIFY(frame.isVisible());
        QCOMPARE(VisibleRows(*frame.NetworkPage()), 0);

        // Later refreshes report it again.
        SendWindowMessage(frame.NetworkPage(), WM_REFRESH_DEVICES);
        QCOMPARE(world_->asked.size(), size_t{2});
    }

    void qosTabFollowsTheLocalDevice_data() {
        QTest::addColumn<int>("deviceId");
        QTest::addColumn<bool>("qosOffered");
        QTest::newRow("id 5: no QoS") << 0x05 << false;
        QTest::newRow("id 0x21: no QoS") << 0x21 << false;
        QTest::newRow("id 2") << 0x02 << true;
        QTest::newRow("id 0x20") << 0x20 << true;
    }
    void qosTabFollowsTheLocalDevice() {
        QFETCH(int, deviceId);
        QFETCH(bool, qosOffered);
        world_->AttachNetwork(1, static_cast<uint8_t>(deviceId));
        CMainFrame& frame = Start();
        frame.grab();  // a paint re-applies the rule

        COrvikButton* qos = frame.Button(CMainFrame::kQosTab);
        COrvikButton* advanced = frame.Button(CMainFrame::kAdvancedTab);
        QCOMPARE(!qos->isHidden(), qosOffered);
        QCOMPARE(advanced->geometry(), LayoutPlace(qosOffered ? 139 : 140));
        if (qosOffered)
            QCOMPARE(qos->geometry(), LayoutPlace(140));

        // Another device answers later: the next paint follows it.
        TheDeviceModel().localDevice.deviceId = qosOffered ? 0x21 : 0x02;
        frame.update();
        frame.grab();
        QCOMPARE(qos->isHidden(), qosOffered);
        QCOMPARE(advanced->geometry(), LayoutPlace(qosOffered ? 140 : 139));
    }

    // The tab of the page on show does nothing; another tab switches and
    // activates, and coming back refreshes at once.
    void tabsSwitchPagesAndActivateThem() {
        plcsim::Network& network = world_->AttachNetwork(2);
        CMainFrame& frame = Start();
        CNetwork& page = *frame.NetworkPage();
        test::WindowWorld::AddStation(network, 3);

        Click(frame.Button(CMainFrame::kNetworkTab));
        QCOMPARE(page.ListedCount(), 2);  // no activation, no refresh
        QVERIFY(frame.Button(CMainFrame::kNetworkTab)->checked);

        Click(frame.Button(CMainFrame::kStatusTab));
        QCOMPARE(frame.CurrentPage(), CMainFrame::kStatusPage);
        QVERIFY(frame.Page(CMainFrame::kStatusPage)->isVisible());
        QVERIFY(!page.isVisible() && !page.isEnabled());
        QVERIFY(frame.Button(CMainFrame::kStatusTab)->checked);
        QVERIFY(!frame.Button(CMainFrame::kNetworkTab)->checked);

        Click(frame.Button(CMainFrame::kNetworkTab));
        QVERIFY(page.isVisible());
        QCOMPARE(page.ListedCount(), 3);
        QCOMPARE(RowNames(page), QStringList({"Device1", "Device2", "Device3"}));
    }

    void networkRefreshEveryThirdTickOnTheNetworkPageOnly() {
        plcsim::Network& network = world_->AttachNetwork(1);
        CMainFrame& frame = Start();
        CNetwork& page = *frame.NetworkPage();
        test::WindowWorld::AddStation(network, 2);

        frame.OnTimer(CMainFrame::kRefreshTimer);
        frame.OnTimer(CMainFrame::kRefreshTimer);
        QCOMPARE(frame.RefreshTicks(), 2);
        QCOMPARE(page.ListedCount(), 1);
        frame.OnTimer(CMainFrame::kRefreshTimer);
        QCOMPARE(frame.RefreshTicks(), 0);
        QCOMPARE(page.ListedCount(), 2);

        // On another page the ticks start again and nothing is refreshed.
        frame.OnTimer(CMainFrame::kRefreshTimer);
        frame.ShowPage(CMainFrame::kQosPage);
        test::WindowWorld::AddStation(network, 3);
        for (int tick = 0; tick < 4; ++tick) {
            frame.OnTimer(CMainFrame::kRefreshTimer);
            QCOMPARE(frame.RefreshTicks(), 0);
        }
        QCOMPARE(int(TheDeviceModel().deviceList.count), 2);

        // Hidden in the tray, the Network page is still refreshed.
        frame.ShowPage(CMainFrame::kNetworkPage);
        QCOMPARE(page.ListedCount(), 3);
        frame.hide();
        test::WindowWorld::AddStation(network, 4);
        for (int tick = 0; tick < 3; ++tick)
            frame.OnTimer(CMainFrame::kRefreshTimer);
        QCOMPARE(page.ListedCount(), 4);
    }

    void closeButton_data() {
        QTest::addColumn<bool>("trayShown");
        QTest::addColumn<int>("notAskAgain");
        QTest::addColumn<int>("isClosed");
        QTest::addColumn<int>("answer");
        QTest::addColumn<bool>("asked");
        QTest::addColumn<QString>("outcome");  // "hidden", "minimised", "shown" or "ended"
        QTest::newRow("defaults: to the tray") << true << 1 << 0 << kResultOk << false << "hidden";
        QTest::newRow("defaults without a tray: minimised")
            << false << 1 << 0 << kResultOk << false << "minimised";
        QTest::newRow("isClosed: ends") << true << 1 << 1 << kResultOk << false << "ended";
        QTest::newRow("asked, OK, to the tray") << true << 0 << 0 << kResultOk << true << "hidden";
        QTest::newRow("asked, OK, ends") << true << 0 << 1 << kResultOk << true << "ended";
        QTest::newRow("asked, cancelled") << true << 0 << 1 << kResultCancel << true << "shown";
    }
    void closeButton() {
        QFETCH(bool, trayShown);
        QFETCH(int, notAskAgain);
        QFETCH(int, isClosed);
        QFETCH(int, answer);
        QFETCH(bool, asked);
        QFETCH(QString, outcome);
        world_->AttachNetwork(1);
        TheAppSettings().notAskAgain = notAskAgain;
        TheAppSettings().isClosed = isClosed;
        world_->answer = answer;
        frame_ = std::make_unique<TrayFrame>();
        frame_->trayShown = trayShown;
        TrayFrame& frame = *frame_;

        // The window runs as the program runs it. What the close button did
        // is read right after the click; a window that keeps running is then
        // ended by the test.
        QString state;
        DialogWindow::SetModalHook([&state](DialogWindow& dialog) {
            auto* main = dynamic_cast<CMainFrame*>(&dialog);
            if (main == nullptr)
                return;
            Click(main->Button(CMainFrame::kCloseButton));
            state = main->isMinimized() ? "minimised" : main->isHidden() ? "hidden" : "shown";
            QTimer::singleShot(0, main, [main] {
                if (main->IsRunningModal())
                    main->EndDialog(kIdCancel);
            });
        });
        if (frame.RunModal() == kIdOk)
            state = QStringLiteral("ended");

        QCOMPARE(!world_->asked.empty(), asked);
        if (asked)
            QCOMPARE(world_->asked.front().text, LoadUiString(res::kTextCloseQuestion));
        QCOMPARE(state, outcome);
        const bool saved = world_->ConfigText().contains("[GLOBAL]");
        QCOMPARE(saved, outcome == QLatin1String("ended"));
    }

    void trayExitSavesGlobalThenDevices() {
        world_->AttachNetwork(2);
        world_->WriteConfig("; kept\n");
        frame_ = std::make_unique<TrayFrame>();
        TrayFrame& frame = *frame_;
        DialogWindow::SetModalHook([](DialogWindow& dialog) {
            if (dynamic_cast<CMainFrame*>(&dialog) == nullptr)
                return;
            RememberListedDevice(test::StationMac(1), u"Kitchen", u"");
            TheAppSettings().notAskAgain = 0;
            SendWindowMessage(&dialog, kWmCommand, res::kCommandExit);
        });
        QCOMPARE(frame.RunModal(), kIdOk);

        const QByteArray text = world_->ConfigText();
        const qsizetype global = text.indexOf("[GLOBAL]");
        const qsizetype device = text.indexOf("[Device0]");
        QVERIFY2(global > 0 && device > global, text.constData());
        QVERIFY(text.startsWith("; kept\n"));
        QVERIFY(text.contains("notAskAgain=0\n"));
        QVERIFY(text.contains("deviceNum=1\n"));
        QVERIFY(text.contains("Name=Kitchen\n"));
        QVERIFY(text.contains("MAC=00B052400101\n"));
    }

    // The tray's Exit while a dialog is open over the window (which may still
    // have an outcome to remember) brings the dialog forward and saves
    // nothing; once the dialog is closed, Exit ends the window and saves.
    void trayExitWaitsForAnOpenDialog() {
        world_->AttachNetwork(1);
        frame_ = std::make_unique<TrayFrame>();
        TrayFrame& frame = *frame_;
        bool stillRunning = false;
        bool savedMeanwhile = true;
        DialogWindow::SetModalHook([&](DialogWindow& dialog) {
            if (dynamic_cast<CMainFrame*>(&dialog) != nullptr) {
                frame.hide();
                CAbout about(&frame);
                (void)about.RunModal();
                RememberListedDevice(test::StationMac(1), u"Kitchen", u"");
                SendWindowMessage(&frame, kWmCommand, res::kCommandExit);
                return;
            }
            SendWindowMessage(&frame, kWmCommand, res::kCommandExit);
            stillRunning = frame.IsRunningModal() && frame.isVisible() && dialog.isVisible();
            savedMeanwhile = world_->ConfigText().contains("[GLOBAL]");
            dialog.EndDialog(kIdOk);
        });
        QCOMPARE(frame.RunModal(), kIdOk);
        QVERIFY(stillRunning);
        QVERIFY(!savedMeanwhile);
        QVERIFY(world_->ConfigText().contains("Name=Kitchen\n"));
    }

    // A save that fails is not silent.
    void failedSaveSaysSo() {
        world_->AttachNetwork(1);
        frame_ = std::make_unique<TrayFrame>();
        TrayFrame& frame = *frame_;
        DialogWindow::SetModalHook([this](DialogWindow& dialog) {
            // The file cannot be replaced by a directory's name.
            QVERIFY(QFile::remove(world_->ConfigPath()));
            QVERIFY(QDir().mkdir(world_->ConfigPath()));
            SendWindowMessage(&dialog, kWmCommand, res::kCommandExit);
        });
        QCOMPARE(frame.RunModal(), kIdOk);
        QCOMPARE(world_->asked.size(), size_t(1));
        QCOMPARE(world_->asked.front().text, LoadUiString(res::kTextSettingsNotSaved));
    }

    // Right click: the menu with its three texts; its Exit ends the window.
    // Left click: the hidden window comes back.
    void trayIconClicks() {
        world_->AttachNetwork(1);
        CMainFrame& frame = Start();
        frame.hide();
        SendWindowMessage(&frame, WM_TRAY_NOTIFY, CPlcTray::kAmbrelIconId, WM_LBUTTONUP);
        QVERIFY(frame.isVisible());

        QStringList texts;
        QTimer::singleShot(0, &frame, [&texts] {
            auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
            QVERIFY(menu != nullptr);
            for (const QAction* action : menu->actions())
                texts << (action->isSeparator() ? QStringLiteral("-") : action->text());
            for (int i = 0; i < 3; ++i)
                QTest::keyClick(menu, Qt::Key_Down);
            QTest::keyClick(menu, Qt::Key_Return);
        });
        SendWindowMessage(&frame, WM_TRAY_NOTIFY, CPlcTray::kAmbrelIconId, WM_RBUTTONUP);
        QCOMPARE(texts,
                 QStringList({LoadUiString(res::kTextMenuShow), LoadUiString(res::kTextMenuAbout),
                              "-", LoadUiString(res::kTextMenuExit)}));
        QTRY_VERIFY(world_->ConfigText().contains("[GLOBAL]"));
        QVERIFY(frame.isHidden());
    }

    void enterEscapeAndF1NeverCloseAnything() {
        plcsim::Network& network = world_->AttachNetwork(2);
        CMainFrame& frame = Start();
        CNetwork& page = *frame.NetworkPage();
        test::WindowWorld::AddStation(network, 3);
        for (QWidget* target : {static_cast<QWidget*>(&frame), static_cast<QWidget*>(&page),
                                static_cast<QWidget*>(page.Row(0))}) {
            for (Qt::Key key : {Qt::Key_Return, Qt::Key_Enter, Qt::Key_Escape, Qt::Key_F1})
                QTest::keyClick(target, key);
        }
        QVERIFY(frame.isVisible() && !frame.isMinimized());
        QVERIFY(page.isVisible());
        QCOMPARE(page.ListedCount(), 2);
        QVERIFY(world_->asked.empty());
        QVERIFY(!world_->ConfigText().contains("[GLOBAL]"));
    }

    void paintsItsPicturesAndTheSelectedTab() {
        world_->AttachNetwork(1);
        CMainFrame& frame = Start();
        const QImage shot = frame.grab().toImage();
        const QImage& title = LoadPngResource(res::kPngTitle);
        const QPoint inTitle(200, 30);
        QCOMPARE(shot.pixelColor(inTitle), title.pixelColor(inTitle));
        const QImage& body = LoadPngResource(res::kPngBody);
        const QPoint inBodyMargin(4, 48 + 44 + 200);  // left of the page
        QCOMPARE(shot.pixelColor(inBodyMargin), body.pixelColor(inBodyMargin - QPoint(0, 92)));

        // Each tab shows its pressed picture over the background when
        // selected, else its normal one.
        for (int tab : {CMainFrame::kNetworkTab, CMainFrame::kStatusTab}) {
            COrvikButton* button = frame.Button(tab);
            const QImage* picture =
                tab == CMainFrame::kNetworkTab ? button->pressedImage : button->normalImage;
            QImage expected =
                frame.Background().copy(button->geometry()).convertToFormat(QImage::Format_ARGB32);
            {
                QPainter painter(&expected);
                painter.drawImage(0, 0, *picture);
            }
            const QImage drawn =
                shot.copy(button->geometry()).convertToFormat(QImage::Format_ARGB32);
            for (int y = 0; y < drawn.height(); y += 3) {
                for (int x = 0; x < drawn.width(); x += 3) {
                    QVERIFY2(test::Near(drawn.pixelColor(x, y), expected.pixelColor(x, y), 8),
                             qPrintable(QStringLiteral("tab %1 at %2,%3").arg(tab).arg(x).arg(y)));
                }
            }
        }
    }

    void draggedByTheTitle() {
        world_->AttachNetwork(1);
        CMainFrame& frame = Start();
        const QPoint before = frame.pos();
        QTest::mousePress(&frame, Qt::LeftButton, {}, QPoint(200, 20));
        QMouseEvent move(QEvent::MouseMove, QPointF(230, 45), frame.mapToGlobal(QPointF(230, 45)),
                         Qt::NoButton, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(&frame, &move);
        QTest::mouseRelease(&frame, Qt::LeftButton, {}, QPoint(230, 45));
        QCOMPARE(frame.pos(), before + QPoint(30, 25));
    }

    void destructionClosesAdaptersAndReleasesTheCache() {
        world_->AttachNetwork(1);
        Start();
        QVERIFY(world_->backend.OpenHandles(test::kAdapter) > 0);
        frame_.reset();
        QCOMPARE(world_->backend.OpenHandles(test::kAdapter), 0);
        QVERIFY(!ImageCacheExists());
    }

    // A worker's report reaches its window on the window's thread while the
    // worker waits; a report for a window that is gone is dropped.
    void workerReportsFromAnotherThread() {
        InstallWindowReportSink();
        test::MessageRecorder window;
        std::atomic<size_t> handledWhenReturned{99};
        std::thread worker([&window, &handledWhenReturned] {
            Report(&window, ResultMessage::DeviceOpDone, kReportFailure);
            handledWhenReturned = window.received.size();
        });
        QTRY_COMPARE(handledWhenReturned.load(), size_t{1});
        worker.join();
        QCOMPARE(window.received.front().message, uint32_t(WM_DEVICE_OP_DONE));
        QCOMPARE(window.received.front().wParam, kReportFailure);

        void* handle = HandleOfAWindowThatIsGone();
        std::atomic<bool> returned{false};
        std::thread late([handle, &returned] {
            Report(handle, ResultMessage::AddDeviceDone, kReportSuccess);
            returned = true;
        });
        QTRY_VERIFY(returned.load());
        late.join();
        SetReportSink(nullptr);
    }
};

}  // namespace ambrel

QTEST_MAIN(ambrel::MainFrameTest)
#include "MainFrameTest.moc"
