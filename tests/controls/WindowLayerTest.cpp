// The window layer: dialogs from templates, controls by id, modal runs and
// their result codes, window messages across threads, timers by id, the
// background painted once, the window region, dragging, swallowed keys and
// the activation request of a second start.

#include <QApplication>
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPainter>
#include <QPointer>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QThread>
#include <atomic>
#include <thread>

#include "ControlsTestSupport.h"
#include "DialogWindow.h"
#include "OrvikStatic.h"
#include "ResourceIds.h"
#include "SingleInstance.h"

namespace ambrel {
namespace {

// A dialog that records what reaches it.
class RecordingDialog : public DialogWindow {
public:
    using DialogWindow::DialogWindow;

    std::vector<int> commands;
    std::vector<int> timerTicks;
    int initCount = 0;
    int backgroundPaints = 0;
    QColor backgroundColour = QColor(20, 120, 200);
    std::atomic<bool> messageHandled{false};
    QThread* messageThread = nullptr;
    WParam lastWParam = 0;

protected:
    void OnInitDialog() override { ++initCount; }
    void OnCommand(int id) override { commands.push_back(id); }
    void OnTimer(int id) override { timerTicks.push_back(id); }
    LResult OnMessage(uint32_t message, WParam wParam, LParam lParam) override {
        if (message == 0x1427) {
            messageThread = QThread::currentThread();
            lastWParam = wParam;
            messageHandled = true;
            return 77;
        }
        return DialogWindow::OnMessage(message, wParam, lParam);
    }
    void PaintBackground(QPainter& painter) override {
        ++backgroundPaints;
        painter.fillRect(rect(), backgroundColour);
    }
};

// A child that takes its part of the window's background.
class BackgroundTaker : public QWidget, public BackgroundClient {
public:
    using QWidget::QWidget;
    QImage taken;
    void CaptureParentBackground(const QImage& parentSurface) override {
        taken = parentSurface.copy(geometry());
    }
};

void SendMouse(QWidget* target, QEvent::Type type, QPoint at, Qt::MouseButton button,
               Qt::MouseButtons buttons) {
    QMouseEvent event(type, QPointF(at), QPointF(target->mapToGlobal(at)), button, buttons,
                      Qt::NoModifier);
    QApplication::sendEvent(target, &event);
}

}  // namespace

class WindowLayerTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { QVERIFY(test::LoadTestBundle()); }
    void cleanup() { DialogWindow::SetModalHook(nullptr); }

    void templateControlsById_data() {
        QTest::addColumn<int>("dialogId");
        QTest::addColumn<int>("controlId");
        QTest::addColumn<QString>("className");
        QTest::addColumn<QRect>("geometry");
        QTest::addColumn<bool>("visible");
        QTest::addColumn<bool>("enabled");
        QTest::newRow("button") << res::kDialogMain << 1000 << "QPushButton"
                                << QRect(572, 12, 24, 24) << true << true;
        QTest::newRow("disabled button") << res::kDialogMain << 1013 << "QPushButton"
                                         << QRect(140, 52, 120, 36) << true << false;
        QTest::newRow("hidden static")
            << res::kDialogMessageBox << 1006 << "QLabel" << QRect(35, 71, 48, 48) << false << true;
        QTest::newRow("check box") << res::kDialogMessageBox << 1009 << "QCheckBox"
                                   << QRect(85, 117, 220, 16) << true << true;
        QTest::newRow("edit") << res::kDialogAddDevice << 1031 << "QLineEdit"
                              << QRect(180, 60, 260, 26) << true << true;
        QTest::newRow("radio") << res::kDialogQos << 1071 << "QRadioButton"
                               << QRect(40, 46, 130, 22) << true << true;
        QTest::newRow("scroll bar") << res::kDialogNetwork << 1024 << "QScrollBar"
                                    << QRect(594, 62, 16, 280) << true << true;
        QTest::newRow("picture") << res::kDialogAddDevice << 1063 << "QLabel"
                                 << QRect(224, 160, 32, 32) << false << true;
        QTest::newRow("hidden and disabled") << res::kDialogReset << 1047 << "QPushButton"
                                             << QRect(196, 208, 88, 30) << false << false;
    }
    void templateControlsById() {
        QFETCH(int, dialogId);
        QFETCH(int, controlId);
        QFETCH(QString, className);
        QFETCH(QRect, geometry);
        QFETCH(bool, visible);
        QFETCH(bool, enabled);
        DialogWindow dialog(dialogId);
        QVERIFY(dialog.HasTemplate());
        QWidget* control = dialog.FindControl(controlId);
        QVERIFY(control != nullptr);
        QCOMPARE(QString::fromLatin1(control->metaObject()->className()), className);
        QCOMPARE(control->geometry(), geometry);
        QCOMPARE(!control->isHidden(), visible);
        QCOMPARE(control->isEnabled(), enabled);
        QCOMPARE(ControlId(control), controlId);
        QCOMPARE(dialog.Control<QWidget>(controlId), control);
    }

    void templateDetails() {
        DialogWindow box(res::kDialogMessageBox);
        QCOMPARE(box.size(), QSize(322, 193));
        // Texts come from the string table; the wrong type or an unknown id is null.
        QCOMPARE(box.Control<QCheckBox>(1009)->text(), FindString(1009).value());
        QVERIFY(box.Control<QLineEdit>(1009) == nullptr);
        QVERIFY(box.Control<QWidget>(4242) == nullptr);
        QVERIFY(box.Control<QLabel>(1008)->font().bold());

        DialogWindow addDevice(res::kDialogAddDevice);
        // The device password is typed in clear, as printed on the device.
        QCOMPARE(addDevice.Control<QLineEdit>(1032)->echoMode(), QLineEdit::Normal);

        DialogWindow missing(4242);
        QVERIFY(!missing.HasTemplate());
        QCOMPARE(missing.RunModal(), kRunFailed);
    }

    void radioButtonsExclusiveWithinTheirGroup() {
        DialogWindow qos(res::kDialogQos);
        auto* first = qos.Control<QRadioButton>(1069);
        auto* second = qos.Control<QRadioButton>(1070);
        auto* third = qos.Control<QRadioButton>(1071);
        auto* fourth = qos.Control<QRadioButton>(1072);
        second->click();
        third->click();
        QVERIFY(second->isChecked());  // another group
        fourth->click();
        QVERIFY(!third->isChecked());
        first->click();
        QVERIFY(!second->isChecked());
        QVERIFY(fourth->isChecked());
    }

    void attachTakesTheTemplatePlace() {
        DialogWindow box(res::kDialogMessageBox);
        QWidget* generic = box.FindControl(1008);
        QPointer<QWidget> old(generic);
        const QRect where = generic->geometry();
        auto* title = box.Attach<COrvikStatic>(1008);
        QVERIFY(old.isNull());
        QCOMPARE(box.FindControl(1008), title);
        QCOMPARE(box.Control<COrvikStatic>(1008), title);
        QCOMPARE(title->geometry(), where);
        QCOMPARE(ControlId(title), 1008);
        QCOMPARE(title->GetLogFont().weight, 700);  // the template's bold font

        auto* unknown = box.Attach<COrvikStatic>(5555);
        QCOMPARE(unknown->geometry(), QRect(0, 0, 0, 0));
    }

    void buttonClicksBecomeCommands() {
        RecordingDialog dialog(res::kDialogAbout);
        dialog.Control<QPushButton>(1064)->click();
        dialog.Control<QPushButton>(1064)->click();
        QCOMPARE(dialog.commands, std::vector<int>({1064, 1064}));
        SendWindowMessage(&dialog, kWmCommand, 32774);
        QCOMPARE(dialog.commands.back(), 32774);
    }

    void modalResultCodes_data() {
        QTest::addColumn<QString>("action");
        QTest::addColumn<int>("expected");
        QTest::newRow("end with OK") << "end 1" << kIdOk;
        QTest::newRow("end with any code") << "end 42" << 42;
        QTest::newRow("Enter") << "key enter" << kIdOk;
        QTest::newRow("Escape") << "key escape" << kIdCancel;
        QTest::newRow("closed from outside") << "close" << kIdCancel;
        QTest::newRow("swallowed Enter") << "swallow enter" << 7;
        QTest::newRow("swallowed Escape in a page") << "page escape" << 7;
    }
    void modalResultCodes() {
        QFETCH(QString, action);
        QFETCH(int, expected);
        RecordingDialog dialog(res::kDialogMessageBox);
        RecordingDialog* page = nullptr;
        if (action.startsWith(QLatin1String("swallow")) || action.startsWith(QLatin1String("page")))
            dialog.SwallowKeys({Qt::Key_Return, Qt::Key_Enter, Qt::Key_Escape, Qt::Key_F1});
        if (action.startsWith(QLatin1String("page")))
            page = new RecordingDialog(res::kDialogStatus, &dialog, DialogWindow::Kind::Child);
        int secondRun = 0;
        DialogWindow::SetModalHook([&](DialogWindow& running) {
            QCOMPARE(&running, &dialog);
            secondRun = dialog.RunModal();
            if (action.startsWith(QLatin1String("end "))) {
                dialog.EndDialog(action.mid(4).toInt());
            } else if (action == QLatin1String("key enter")) {
                QTest::keyClick(&dialog, Qt::Key_Return);
            } else if (action == QLatin1String("key escape")) {
                QTest::keyClick(&dialog, Qt::Key_Escape);
            } else if (action == QLatin1String("close")) {
                dialog.close();
            } else if (action == QLatin1String("swallow enter")) {
                QTest::keyClick(&dialog, Qt::Key_Return);
                QTest::keyClick(&dialog, Qt::Key_Enter);
                dialog.EndDialog(7);
            } else if (action == QLatin1String("page escape")) {
                QTest::keyClick(page, Qt::Key_Escape);
                QTest::keyClick(page->Control<QLineEdit>(1096), Qt::Key_Escape);
                QVERIFY(page->isVisible());
                dialog.EndDialog(7);
            }
        });
        QCOMPARE(dialog.RunModal(), expected);
        QCOMPARE(secondRun, kRunFailed);  // a dialog runs once at a time
        QCOMPARE(dialog.initCount, 1);
        QVERIFY(!dialog.isVisible());
        QVERIFY(!dialog.IsRunningModal());
    }

    void sendFromWorkerBlocksUntilHandled() {
        RecordingDialog dialog(res::kDialogReset);
        std::atomic<bool> handledWhenSendReturned{false};
        std::atomic<LResult> answer{0};
        std::atomic<bool> workerDone{false};
        std::thread worker([&]() {
            answer = SendWindowMessage(&dialog, 0x1427, 1, 0);
            handledWhenSendReturned = dialog.messageHandled.load();
            workerDone = true;
        });
        // The worker waits for this thread to handle its message.
        QTRY_VERIFY(workerDone.load());
        worker.join();
        QVERIFY(handledWhenSendReturned.load());
        QCOMPARE(answer.load(), LResult(77));
        QCOMPARE(dialog.messageThread, QThread::currentThread());
        QCOMPARE(dialog.lastWParam, WParam(1));
    }

    void sendOnOwnThreadCallsDirectlyAndPostQueues() {
        RecordingDialog dialog(res::kDialogReset);
        QCOMPARE(SendWindowMessage(&dialog, 0x1427, 0, 0), LResult(77));
        QVERIFY(dialog.messageHandled.load());

        RecordingDialog posted(res::kDialogReset);
        QVERIFY(PostWindowMessage(&posted, 0x1427, 5, 0));
        QVERIFY(!posted.messageHandled.load());
        QTRY_VERIFY(posted.messageHandled.load());
        QCOMPARE(posted.lastWParam, WParam(5));

        QCOMPARE(SendWindowMessage(nullptr, 0x1427), LResult(0));
        QVERIFY(!PostWindowMessage(nullptr, 0x1427));
    }

    void timersById() {
        RecordingDialog dialog(res::kDialogReset);
        dialog.SetTimer(3, 1);
        dialog.SetTimer(9, 1);
        dialog.SetTimer(3, 1);  // restarts, stays one timer
        QVERIFY(dialog.IsTimerRunning(3));
        QTRY_VERIFY(std::count(dialog.timerTicks.begin(), dialog.timerTicks.end(), 3) > 0 &&
                    std::count(dialog.timerTicks.begin(), dialog.timerTicks.end(), 9) > 0);
        QVERIFY(dialog.KillTimer(3));
        QVERIFY(!dialog.KillTimer(3));
        QVERIFY(!dialog.IsTimerRunning(3));
        QVERIFY(dialog.IsTimerRunning(9));
        dialog.timerTicks.clear();
        QTRY_VERIFY(dialog.timerTicks.size() > 3);
        QCOMPARE(std::count(dialog.timerTicks.begin(), dialog.timerTicks.end(), 3), 0);
        QVERIFY(!dialog.KillTimer(12345));
    }

    void backgroundPaintedOnce() {
        RecordingDialog dialog(res::kDialogReset);
        auto* taker = new BackgroundTaker(&dialog);
        taker->setGeometry(10, 20, 30, 40);
        dialog.show();
        QVERIFY(QTest::qWaitForWindowExposed(&dialog));
        QImage first = dialog.grab().toImage();
        dialog.repaint();
        QImage second = dialog.grab().toImage();
        QCOMPARE(dialog.backgroundPaints, 1);
        QCOMPARE(first.pixelColor(300, 5), dialog.backgroundColour);
        QCOMPARE(second.pixelColor(300, 5), dialog.backgroundColour);
        QCOMPARE(taker->taken.size(), QSize(30, 40));
        QCOMPARE(taker->taken.pixelColor(0, 0), dialog.backgroundColour);

        dialog.backgroundColour = Qt::yellow;
        dialog.InvalidateBackground();
        QImage third = dialog.grab().toImage();
        QCOMPARE(dialog.backgroundPaints, 2);
        QCOMPARE(third.pixelColor(300, 5), QColor(Qt::yellow));
        QCOMPARE(taker->taken.pixelColor(0, 0), QColor(Qt::yellow));
    }

    void roundedRegion() {
        DialogWindow dialog(res::kDialogReset);
        dialog.SetRoundedRegion(QRect(0, 0, 480, 260), 5, 5);
        const QRegion mask = dialog.mask();
        QVERIFY(!mask.contains(QPoint(0, 0)));
        QVERIFY(!mask.contains(QPoint(479, 259)));
        QVERIFY(mask.contains(QPoint(3, 3)));
        QVERIFY(mask.contains(QPoint(240, 0)));
        QVERIFY(mask.contains(QPoint(240, 130)));
        QVERIFY(!mask.contains(QPoint(240, 260)));
    }

    void draggedByItsBackground_data() {
        QTest::addColumn<QPoint>("press");
        QTest::addColumn<Qt::MouseButtons>("held");
        QTest::addColumn<QPoint>("expectedShift");
        QTest::newRow("title area")
            << QPoint(100, 10) << Qt::MouseButtons(Qt::LeftButton) << QPoint(25, 15);
        QTest::newRow("body area")
            << QPoint(100, 200) << Qt::MouseButtons(Qt::LeftButton) << QPoint(25, 15);
        QTest::newRow("outside the areas")
            << QPoint(100, 100) << Qt::MouseButtons(Qt::LeftButton) << QPoint(0, 0);
        QTest::newRow("two buttons held")
            << QPoint(100, 10) << Qt::MouseButtons(Qt::LeftButton | Qt::RightButton)
            << QPoint(0, 0);
    }
    void draggedByItsBackground() {
        QFETCH(QPoint, press);
        QFETCH(Qt::MouseButtons, held);
        QFETCH(QPoint, expectedShift);
        DialogWindow dialog(res::kDialogReset);
        dialog.SetDragAreas({QRect(0, 0, 480, 40), QRect(0, 150, 480, 110)});
        dialog.move(100, 100);
        dialog.show();
        QVERIFY(QTest::qWaitForWindowExposed(&dialog));
        const QPoint start = dialog.pos();
        SendMouse(&dialog, QEvent::MouseButtonPress, press, Qt::LeftButton, Qt::LeftButton);
        SendMouse(&dialog, QEvent::MouseMove, press + QPoint(25, 15), Qt::NoButton, held);
        SendMouse(&dialog, QEvent::MouseButtonRelease, press + QPoint(25, 15), Qt::LeftButton,
                  Qt::NoButton);
        QCOMPARE(dialog.pos() - start, expectedShift);
    }

    void activationRequestBringsWindowBack() {
        QTemporaryDir directory;
        SingleInstanceGuard first(QStringLiteral("ambrel-window-test"), directory.path());
        QCOMPARE(first.Acquire(), SingleInstanceGuard::Role::Primary);
        DialogWindow window(res::kDialogMain);
        window.AcceptActivationRequests(first);
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        window.showMinimized();
        window.hide();

        SingleInstanceGuard second(QStringLiteral("ambrel-window-test"), directory.path());
        QCOMPARE(second.Acquire(), SingleInstanceGuard::Role::Secondary);
        QTRY_VERIFY(window.isVisible());
        QVERIFY(!window.isMinimized());

        // A modal dialog open over the window comes forward with it.
        DialogWindow popup(res::kDialogMessageBox, &window);
        DialogWindow::SetModalHook([&](DialogWindow&) {
            window.hide();
            emit first.activationRequested();
            QVERIFY(window.isVisible());
            QVERIFY(popup.isVisible());
            popup.EndDialog(kIdOk);
        });
        QCOMPARE(popup.RunModal(), kIdOk);
    }
};

}  // namespace ambrel

QTEST_MAIN(ambrel::WindowLayerTest)
#include "WindowLayerTest.moc"
