// Corvix's main window on the offscreen platform: the list filled from a
// finished scan, scrolling, rescans through the single scan slot, the
// connect button and double click, closing, the tray menu and the single
// instance. Scans run with an empty interface list, so they end at once.

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QScrollBar>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#include "AdapterEnumeration.h"
#include "BCMenu.h"
#include "ControlsTestSupport.h"
#include "CorvixResourceIds.h"
#include "CorvixTestSupport.h"
#include "CorvixWindowTestSupport.h"
#include "InterfaceOverride.h"
#include "ListCommand.h"
#include "OrvikButton.h"
#include "OrvikStatic.h"
#include "ScanTables.h"
#include "ScanThread.h"
#include "SingleInstance.h"

namespace corvix {

using test::FocusedRow;
using test::Range;
using test::RowsOnShow;
using test::SetScanResult;

class MainFrameTest : public QObject {
    Q_OBJECT
private:
    std::unique_ptr<CMainFrame> frame_;

    // A scan has finished with `count` devices and reported to the window.
    void FinishScanWith(int count) {
        SetScanResult(count);
        ambrel::SendWindowMessage(frame_.get(), WM_SCAN_DONE);
    }

    ambrel::COrvikButton* Rescan() const { return frame_->Button(res::kButtonRescan); }

private slots:
    void init() {
        ResetScanTables();
        SetInterfaceOverride({});
        UseCorvixResources();
        ambrel::CreateImageCache();
        frame_ = test::ShownFrame();
        QVERIFY(frame_ != nullptr);
    }

    void cleanup() {
        frame_.reset();
        if (IsScanRunning())
            FinishScan();
        ClearInterfaceOverride();
        ResetScanTables();
    }

    void windowIsBuiltFromItsPicturesAndStrings() {
        QCOMPARE(frame_->size(), QSize(663, 529));
        QCOMPARE(frame_->TitleRect(), QRect(0, 0, 663, 57));
        QCOMPARE(frame_->BodyRect(), QRect(0, 57, 663, 472));
        // Buttons one pixel wider and higher than their strings say.
        QCOMPARE(frame_->Button(res::kButtonClose)->geometry(), QRect(630, 3, 28, 19));
        QCOMPARE(frame_->Button(res::kButtonMinimise)->geometry(), QRect(600, 3, 28, 19));
        QCOMPARE(Rescan()->geometry(), QRect(40, 480, 99, 24));
        QCOMPARE(frame_->ScrollBar()->geometry(), QRect(606, 129, 20, 343));
        const char* texts[] = {"设备名称", "设备型号", "IP 地址", "MAC 地址", "连接"};
        const QRect places[] = {{48, 107, 150, 24},
                                {168, 107, 150, 24},
                                {265, 107, 150, 24},
                                {400, 107, 150, 24},
                                {545, 107, 100, 24}};
        for (size_t i = 0; i < res::kHeaders.size(); ++i) {
            ambrel::COrvikStatic* header = frame_->Header(res::kHeaders[i]);
            QCOMPARE(header->text(), QString::fromUtf8(texts[i]));
            QCOMPARE(header->geometry(), places[i]);
            // Arial bold 16 pixels, black.
            QCOMPARE(header->GetLogFont().height, 16);
            QCOMPARE(header->GetLogFont().weight, 700);
            QCOMPARE(header->GetForeColor(), QColor(0, 0, 0));
        }
        QVERIFY(frame_->IsTimerRunning(CMainFrame::kRescanTimer));
        QVERIFY(Rescan()->isEnabled());
    }

    void listShowsAFinishedScan_data() {
        QTest::addColumn<int>("devices");
        QTest::addColumn<std::vector<int>>("shown");
        QTest::addColumn<bool>("scrollBar");
        QTest::addColumn<int>("focused");
        QTest::newRow("none") << 0 << std::vector<int>{} << false << -1;
        QTest::newRow("nine") << 9 << Range(0, 8) << false << 0;
        QTest::newRow("ten") << 10 << Range(0, 9) << true << 0;
        QTest::newRow("twenty") << 20 << Range(0, 9) << true << 0;
    }
    void listShowsAFinishedScan() {
        QFETCH(int, devices);
        QFETCH(std::vector<int>, shown);
        QFETCH(bool, scrollBar);
        QFETCH(int, focused);

        FinishScanWith(devices);

        QCOMPARE(frame_->RowCount(), devices);
        QCOMPARE(RowsOnShow(*frame_), shown);
        QCOMPARE(frame_->ScrollBar()->isVisible(), scrollBar);
        QCOMPARE(FocusedRow(*frame_), focused);
        QCOMPARE(frame_->FocusIndex(), devices == 0 ? -1 : 0);
        for (int row : shown) {
            CRemDev* r = frame_->Row(row);
            // Stacked from the first slot without gaps, at rowLeft 40.
            QCOMPARE(r->geometry(), QRect(40, 130 + 34 * (row - shown.front()), 582, 34));
            QCOMPARE(r->IsNarrow(), scrollBar);
            const ApListRecord expected = test::Device(row);
            QCOMPARE(r->Text(res::kRowName)->text(), QString::fromStdU16String(expected.name));
            QCOMPARE(r->Text(res::kRowModel)->text(), QString::fromStdU16String(expected.model));
            QCOMPARE(r->Text(res::kRowIp)->text(), QString::fromStdU16String(expected.ipText));
            QCOMPARE(r->Text(res::kRowMac)->text(), QString::fromStdU16String(expected.macText));
        }
    }

    void scrollingTwentyDevices_data() {
        QTest::addColumn<int>("action");
        QTest::addColumn<int>("top");
        QTest::addColumn<std::vector<int>>("shown");
        QTest::newRow("line down")
            << int{QAbstractSlider::SliderSingleStepAdd} << 1 << Range(1, 10);
        QTest::newRow("page down")
            << int{QAbstractSlider::SliderPageStepAdd} << 10 << Range(10, 19);
        QTest::newRow("bottom") << int{QAbstractSlider::SliderToMaximum} << 11 << Range(11, 19);
        QTest::newRow("line up at the top")
            << int{QAbstractSlider::SliderSingleStepSub} << 0 << Range(0, 9);
    }
    void scrollingTwentyDevices() {
        QFETCH(int, action);
        QFETCH(int, top);
        QFETCH(std::vector<int>, shown);
        FinishScanWith(20);

        frame_->ScrollBar()->triggerAction(static_cast<QAbstractSlider::SliderAction>(action));

        QCOMPARE(frame_->TopIndex(), top);
        QCOMPARE(RowsOnShow(*frame_), shown);
        // The focus stays where it was put.
        QCOMPARE(frame_->FocusIndex(), 0);
    }

    void scrollBarKeepsTopIndexInRange() {
        FinishScanWith(20);
        frame_->ScrollBar()->triggerAction(QAbstractSlider::SliderToMaximum);
        frame_->ScrollBar()->triggerAction(QAbstractSlider::SliderPageStepAdd);
        QCOMPARE(frame_->TopIndex(), 11);

        // A rescan that finds fewer devices brings the list back into range
        // instead of showing slots below the last device.
        FinishScanWith(12);
        QCOMPARE(frame_->TopIndex(), 3);
        QCOMPARE(RowsOnShow(*frame_), Range(3, 11));
        FinishScanWith(4);
        QCOMPARE(frame_->TopIndex(), 0);
        QCOMPARE(RowsOnShow(*frame_), Range(0, 3));
        QVERIFY(!frame_->ScrollBar()->isVisible());
    }

    void layoutMessageClampsTheFocus_data() {
        QTest::addColumn<int>("wanted");
        QTest::addColumn<int>("focused");
        QTest::newRow("inside") << 3 << 3;
        QTest::newRow("past the end") << 9 << 4;
        QTest::newRow("negative") << -2 << 0;
    }
    void layoutMessageClampsTheFocus() {
        QFETCH(int, wanted);
        QFETCH(int, focused);
        FinishScanWith(5);
        ambrel::SendWindowMessage(frame_.get(), WM_LAYOUT_ROWS, 0, wanted);
        QCOMPARE(frame_->FocusIndex(), focused);
        QCOMPARE(FocusedRow(*frame_), focused);
    }

    void timerAndButtonRescanThroughTheSlot() {
        QVERIFY(!frame_->IsScanning());
        frame_->OnTimer(CMainFrame::kRescanTimer);
        // The worker has scanned and now waits for the window to take its
        // report; until then the scan holds the slot.
        QVERIFY(frame_->IsScanning());
        QVERIFY(IsScanRunning());
        QVERIFY(!Rescan()->isEnabled());

        // Another tick and a request while the scan runs are skipped, not
        // queued and not run beside it.
        frame_->OnTimer(CMainFrame::kRescanTimer);
        ambrel::SendWindowMessage(frame_.get(), WM_START_SCAN);
        QVERIFY(frame_->IsScanning());

        QTRY_VERIFY(!frame_->IsScanning());
        QVERIFY(Rescan()->isEnabled());
        QTRY_VERIFY(!IsScanRunning());

        // The button starts the next one: a scan without interfaces finds
        // nothing, so the list it reports is empty.
        FinishScanWith(3);
        QTest::mouseClick(Rescan(), Qt::LeftButton);
        QTRY_VERIFY(frame_->RowCount() == 0 && Rescan()->isEnabled());
    }

    void rescanWhileAnotherScanHoldsTheSlotIsSkipped() {
        QVERIFY(TryStartScan());
        ambrel::SendWindowMessage(frame_.get(), WM_START_SCAN);
        QVERIFY(!frame_->IsScanning());
        QVERIFY(Rescan()->isEnabled());
        FinishScan();
    }

    void scanResultReplacesTheList() {
        FinishScanWith(3);
        frame_->OnTimer(CMainFrame::kRescanTimer);
        // The real scan (no interfaces) finds nothing.
        QTRY_VERIFY(!frame_->IsScanning());
        QCOMPARE(frame_->RowCount(), 0);
        QCOMPARE(RowsOnShow(*frame_), std::vector<int>{});
    }

    void connectOpensTheDevicePage_data() {
        QTest::addColumn<bool>("doubleClick");
        QTest::newRow("connect button") << false;
        QTest::newRow("double click") << true;
    }
    void connectOpensTheDevicePage() {
        QFETCH(bool, doubleClick);
        ambrel::test::UrlRecorder urls;
        SetScanResult(3);
        apListRecords[1].ipText = u"192.0.2.20";
        ambrel::SendWindowMessage(frame_.get(), WM_SCAN_DONE);

        CRemDev* row = frame_->Row(1);
        if (doubleClick)
            QTest::mouseDClick(row, Qt::LeftButton, {}, QPoint(60, 17));
        else
            QTest::mouseClick(row->ConnectButton(), Qt::LeftButton);

        QCOMPARE(urls.opened, QStringList{QStringLiteral("http://192.0.2.20")});
    }

    void closingReleasesTheAdapterLists_data() {
        QTest::addColumn<int>("command");
        QTest::addColumn<int>("result");
        QTest::newRow("close button") << res::kButtonClose << ambrel::kIdOk;
        QTest::newRow("tray exit") << res::kCommandExit << CMainFrame::kQuitResult;
    }
    void closingReleasesTheAdapterLists() {
        QFETCH(int, command);
        QFETCH(int, result);
        frame_->hide();
        ambrel::DialogWindow::SetModalHook([&](ambrel::DialogWindow& dialog) {
            // Two adapters, one with chained address pairs.
            test::FillTable({test::MakeAdapter("eth0", {{"192.0.2.1", "255.255.255.0"},
                                                        {"198.51.100.1", "255.255.255.0"}}),
                             test::MakeAdapter("eth1", {{"203.0.113.1", "255.255.255.0"}})});
            QCOMPARE(scanAdapterTable.count, 2u);
            ambrel::SendWindowMessage(&dialog, ambrel::kWmCommand,
                                      static_cast<ambrel::WParam>(command));
        });
        const int ended = frame_->RunModal();
        ambrel::DialogWindow::SetModalHook(nullptr);

        QCOMPARE(ended, result);
        QCOMPARE(scanAdapterTable.count, 0u);
        QVERIFY(scanAdapterTable.adapters[0].addresses.next == nullptr);
    }

    void closingDuringAScanWaitsForIt() {
        frame_->hide();
        bool hiddenWhileWaiting = false;
        ambrel::DialogWindow::SetModalHook([&](ambrel::DialogWindow& dialog) {
            frame_->OnTimer(CMainFrame::kRescanTimer);
            ambrel::SendWindowMessage(&dialog, ambrel::kWmCommand,
                                      static_cast<ambrel::WParam>(res::kButtonClose));
            // Still running: the scan uses the adapter lists.
            hiddenWhileWaiting = frame_->IsRunningModal() && frame_->isHidden();
        });
        const int ended = frame_->RunModal();
        ambrel::DialogWindow::SetModalHook(nullptr);

        QVERIFY(hiddenWhileWaiting);
        QCOMPARE(ended, ambrel::kIdOk);
        QVERIFY(!frame_->IsScanning());
    }

    void destroyingDuringAScanWaitsForTheWorker() {
        frame_->OnTimer(CMainFrame::kRescanTimer);
        QVERIFY(frame_->IsScanning());
        // The worker is blocked on its report to this window.
        frame_.reset();
        QVERIFY(!IsScanRunning());
        QVERIFY(!ambrel::ImageCacheExists());
    }

    void keysDoNotCloseTheWindow() {
        FinishScanWith(2);
        for (Qt::Key key : {Qt::Key_Escape, Qt::Key_Return, Qt::Key_Enter}) {
            QTest::keyClick(frame_->Row(0), key);
            QTest::keyClick(frame_.get(), key);
        }
        QVERIFY(frame_->isVisible());
    }

    void trayMenuHasItsTextsAndShowBrings() {
        ambrel::BCMenu* popup = frame_->PrepareTrayMenu();
        QVERIFY(popup != nullptr);
        QCOMPARE(popup->FindItem(res::kCommandShow)->text, QStringLiteral("显示"));
        QCOMPARE(popup->FindItem(res::kCommandExit)->text, QStringLiteral("退出"));
        QCOMPARE(popup->BoldItemId(), res::kCommandShow);
        QCOMPARE(frame_->Tray().IconData().id, 159u);
        QCOMPARE(frame_->Tray().IconData().tip, QStringLiteral("Orvik Corvix 无线接入点扫描"));

        // Minimise: hidden in the tray, or minimised where there is no tray
        // (the offscreen platform has none).
        ambrel::SendWindowMessage(frame_.get(), ambrel::kWmCommand, res::kButtonMinimise);
        QVERIFY(frame_->isHidden() || frame_->isMinimized());
        ambrel::SendWindowMessage(frame_.get(), ambrel::kWmCommand, res::kCommandShow);
        QVERIFY(frame_->isVisible() && !frame_->isMinimized());

        frame_->hide();
        ambrel::SendWindowMessage(frame_.get(), ambrel::WM_TRAY_NOTIFY, 159, ambrel::WM_LBUTTONUP);
        QVERIFY(frame_->isVisible());
    }

    void dragsByTheBackgroundOnly() {
        FinishScanWith(1);
        const QPoint start = frame_->pos();
        // A row is no background: pressing on it and moving drags nothing.
        CRemDev* row = frame_->Row(0);
        QTest::mousePress(row, Qt::LeftButton, {}, QPoint(200, 17));
        QTest::mouseMove(row, QPoint(230, 27));
        QTest::mouseRelease(row, Qt::LeftButton, {}, QPoint(230, 27));
        QCOMPARE(frame_->pos(), start);

        QTest::mousePress(frame_.get(), Qt::LeftButton, {}, QPoint(300, 20));
        QTest::mouseMove(frame_.get(), QPoint(330, 30));
        QTest::mouseRelease(frame_.get(), Qt::LeftButton, {}, QPoint(330, 30));
        QCOMPARE(frame_->pos(), start + QPoint(30, 10));
    }

    void secondStartBringsTheWindowForward() {
        QTemporaryDir runtime;
        ambrel::SingleInstanceGuard first(QString::fromLatin1(kCorvixInstanceName), runtime.path());
        QCOMPARE(first.Acquire(), ambrel::SingleInstanceGuard::Role::Primary);
        frame_->AcceptActivationRequests(first);
        frame_->hide();

        CCorvixApp second(runtime.path());
        QCOMPARE(second.Run(), 0);

        QTRY_VERIFY(frame_->isVisible());
    }
};

// The program as a whole: start-up, the window's run and its end.
class CorvixAppTest : public QObject {
    Q_OBJECT
private slots:
    void runsTheWindowUntilItIsClosed() {
        ResetScanTables();
        SetInterfaceOverride({});
        QTemporaryDir runtime;
        bool ran = false;
        ambrel::DialogWindow::SetModalHook([&](ambrel::DialogWindow& dialog) {
            ran = dialog.TemplateId() == res::kDialogMain && dialog.isVisible();
            QTRY_VERIFY(!static_cast<CMainFrame&>(dialog).IsScanning());
            ambrel::SendWindowMessage(&dialog, ambrel::kWmCommand, res::kButtonClose);
        });
        CCorvixApp app(runtime.path());
        QCOMPARE(app.Run(), 0);
        ambrel::DialogWindow::SetModalHook(nullptr);
        QVERIFY(ran);
        QVERIFY(!ambrel::ImageCacheExists());
        ClearInterfaceOverride();
    }
};

// corvix --list: its command line and what it prints.
class ListCommandTest : public QObject {
    Q_OBJECT
private slots:
    void parsesTheCommandLine_data() {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<bool>("isList");
        QTest::addColumn<bool>("valid");
        QTest::addColumn<bool>("json");
        QTest::addColumn<QStringList>("interfaces");
        QTest::newRow("window") << QStringList{"corvix"} << false << true << false << QStringList{};
        QTest::newRow("list") << QStringList{"corvix", "--list"} << true << true << false
                              << QStringList{};
        QTest::newRow("json, two interfaces")
            << QStringList{"corvix", "--list",      "--interface", "eth0",
                           "--json", "--interface", "veth1"}
            << true << true << true << QStringList{"eth0", "veth1"};
        QTest::newRow("interface without name") << QStringList{"corvix", "--list", "--interface"}
                                                << true << false << false << QStringList{};
        QTest::newRow("unknown option")
            << QStringList{"corvix", "--list", "--all"} << true << false << false << QStringList{};
    }
    void parsesTheCommandLine() {
        QFETCH(QStringList, arguments);
        QFETCH(bool, isList);
        QFETCH(bool, valid);
        QFETCH(bool, json);
        QFETCH(QStringList, interfaces);
        QString error;
        std::optional<ListOptions> options = ParseListCommand(arguments, error);
        QCOMPARE(options.has_value(), isList);
        QCOMPARE(error.isEmpty(), valid);
        if (!isList || !valid)
            return;
        QCOMPARE(options->json, json);
        QStringList named;
        for (const std::string& name : options->interfaces.value_or(std::vector<std::string>{}))
            named << QString::fromStdString(name);
        QCOMPARE(named, interfaces);
        QCOMPARE(options->interfaces.has_value(), !interfaces.isEmpty());
    }

    void printsOneDevicePerLineOrJson() {
        ResetScanTables();
        SetScanResult(2);
        apListRecords[0].name = u"客厅\t1";
        QCOMPARE(QString::fromUtf8(FormatDeviceList(false)),
                 QStringLiteral("客厅 1\tSIM-AP\t192.0.2.10\t02-00-00-00-00-00\n"
                                "AP-1\tSIM-AP\t192.0.2.11\t02-00-00-00-00-01\n"));
        const QJsonArray devices = QJsonDocument::fromJson(FormatDeviceList(true)).array();
        QCOMPARE(devices.size(), 2);
        QCOMPARE(devices[0].toObject()[QStringLiteral("name")].toString(),
                 QStringLiteral("客厅\t1"));
        QCOMPARE(devices[1].toObject()[QStringLiteral("mac")].toString(),
                 QStringLiteral("02-00-00-00-00-01"));
        ResetScanTables();
    }
};

}  // namespace corvix

int main(int argc, char** argv) {
    QApplication application(argc, argv);
    corvix::MainFrameTest frame;
    corvix::CorvixAppTest app;
    int failures = QTest::qExec(&frame, argc, argv);
    failures += QTest::qExec(&app, argc, argv);
    corvix::ListCommandTest list;
    failures += QTest::qExec(&list, argc, argv);
    return failures == 0 ? 0 : 1;
}

#include "MainFrameTest.moc"
