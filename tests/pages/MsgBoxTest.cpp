// The message box: button sets, icons and results with real clicks, the
// close question's options, the one-box rule, the text placement and the
// close from a worker thread.

#include <QCheckBox>
#include <QtTest>
#include <functional>
#include <thread>

#include "ImageCache.h"
#include "Layout.h"
#include "OrvikButton.h"
#include "PagesTestSupport.h"
#include "PlcMsgBox.h"
#include "ReportSink.h"
#include "ResourceIds.h"

namespace ambrel {
namespace {

constexpr int kYes = 1002;
constexpr int kOk = 1003;
constexpr int kNo = 1004;
constexpr int kCancel = 1005;
constexpr int kOptionExit = 1009;
constexpr int kOptionCaption = 1010;
constexpr int kOptionDontAsk = 1011;
constexpr int kAllControls[] = {kYes,           kOk,           kNo, kCancel, kOptionExit,
                                kOptionCaption, kOptionDontAsk};

// Runs `inspect` on every message box as soon as its modal loop runs.
class BoxInspector {
public:
    explicit BoxInspector(std::function<void(CPlcMsgBox&)> inspect) {
        DialogWindow::SetModalHook([inspect](DialogWindow& dialog) {
            auto* box = qobject_cast<CPlcMsgBox*>(&dialog);
            if (box == nullptr)
                return;
            inspect(*box);
            // A failed check leaves the box open: end it, so the test goes on.
            if (QTest::currentTestFailed() && box->IsRunningModal())
                box->CloseFromOutside();
        });
    }
    ~BoxInspector() { DialogWindow::SetModalHook(nullptr); }
};

void Click(QWidget* button) {
    QVERIFY(button != nullptr);
    QVERIFY(button->isVisible());
    const QPoint centre = button->rect().center();
    QTest::mouseClick(button, Qt::LeftButton, {}, centre);
}

QRect Layout(int id) {
    return ReadLayoutRect(id, {}).ToQRect();
}

}  // namespace

class MsgBoxTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { QVERIFY(test::LoadTestBundle()); }
    void init() { ResetAppSettings(); }

    void buttonSetsIconsAndResults_data() {
        QTest::addColumn<uint>("style");
        QTest::addColumn<QList<int>>("shown");
        QTest::addColumn<int>("icon");
        QTest::addColumn<int>("press");  // 0: Escape
        QTest::addColumn<int>("result");
        QTest::newRow("information, OK") << 0x00u << QList<int>{kOk} << 145 << kOk << 1;
        QTest::newRow("error, OK") << 0x10u << QList<int>{kOk} << 144 << kOk << 1;
        QTest::newRow("warning, Yes") << 0x34u << QList<int>{kYes, kNo} << 143 << kYes << 6;
        QTest::newRow("Yes/No, No") << 0x04u << QList<int>{kYes, kNo} << 145 << kNo << 7;
        QTest::newRow("set 3 is Yes/No") << 0x23u << QList<int>{kYes, kNo} << 145 << kNo << 7;
        QTest::newRow("OK/Cancel, Cancel")
            << 0x01u << QList<int>{kOk, kCancel, kOptionExit, kOptionCaption, kOptionDontAsk} << 145
            << kCancel << 2;
        QTest::newRow("no buttons, Escape") << 0x02u << QList<int>{} << 145 << 0 << 0;
        QTest::newRow("OK, Escape") << 0x00u << QList<int>{kOk} << 145 << 0 << 0;
    }
    void buttonSetsIconsAndResults() {
        QFETCH(uint, style);
        QFETCH(QList<int>, shown);
        QFETCH(int, icon);
        QFETCH(int, press);
        QFETCH(int, result);

        bool inspected = false;
        BoxInspector inspector([&](CPlcMsgBox& box) {
            inspected = true;
            for (int id : kAllControls) {
                QWidget* control = box.FindControl(id);
                QVERIFY(control != nullptr);
                QCOMPARE(control->isVisible(), shown.contains(id));
            }
            QCOMPARE(box.IconId(), icon);
            // The icon is drawn into the background at its place.
            const QImage& picture = LoadPngResource(icon);
            const QPoint middle(picture.width() / 2, picture.height() / 2);
            QCOMPARE(box.IconPosition(), Layout(1010).topLeft());
            box.grab();
            QCOMPARE(box.Background().pixelColor(box.IconPosition() + middle).rgb(),
                     picture.pixelColor(middle).rgb());
            if ((style & 0x0F) == 0)
                QCOMPARE(box.FindControl(kOk)->geometry(), Layout(1021));
            else if (shown.contains(kOk))
                QCOMPARE(box.FindControl(kOk)->geometry(), Layout(1016));
            if (press == 0)
                QTest::keyClick(&box, Qt::Key_Escape);
            else
                Click(box.FindControl(press));
        });
        QCOMPARE(ShowMessage(QStringLiteral("Something happened."), style), result);
        QVERIFY(inspected);
        QCOMPARE(OpenMessageBoxCount(), 0);
        QVERIFY(OpenMessageBox() == nullptr);
    }

    void closeQuestionStoresTheOptionsOnlyOnOk_data() {
        QTest::addColumn<bool>("exitChecked");
        QTest::addColumn<bool>("dontAskChecked");
        QTest::addColumn<int>("press");
        QTest::addColumn<int>("result");
        QTest::addColumn<int>("isClosed");
        QTest::addColumn<int>("notAskAgain");
        // The settings start as isClosed 0, notAskAgain 0.
        QTest::newRow("OK as offered") << true << false << kOk << 1 << 1 << 0;
        QTest::newRow("OK, keep in tray, don't ask") << false << true << kOk << 1 << 0 << 1;
        QTest::newRow("Cancel changes nothing") << true << true << kCancel << 2 << 0 << 0;
        QTest::newRow("Escape changes nothing") << true << true << 0 << 0 << 0 << 0;
    }
    void closeQuestionStoresTheOptionsOnlyOnOk() {
        QFETCH(bool, exitChecked);
        QFETCH(bool, dontAskChecked);
        QFETCH(int, press);
        QFETCH(int, result);
        QFETCH(int, isClosed);
        QFETCH(int, notAskAgain);
        TheAppSettings().isClosed = 0;
        TheAppSettings().notAskAgain = 0;

        BoxInspector inspector([&](CPlcMsgBox& box) {
            auto* exitOption = box.Control<QCheckBox>(kOptionExit);
            auto* dontAsk = box.Control<QCheckBox>(kOptionDontAsk);
            QVERIFY(exitOption != nullptr && dontAsk != nullptr);
            QVERIFY(exitOption->isChecked());
            QVERIFY(!dontAsk->isChecked());
            QCOMPARE(exitOption->text(), LoadUiString(1009, true));
            QCOMPARE(box.TextRect(), Layout(1018));
            if (exitOption->isChecked() != exitChecked)
                Click(exitOption);
            if (dontAsk->isChecked() != dontAskChecked)
                Click(dontAsk);
            QCOMPARE(exitOption->isChecked(), exitChecked);
            QCOMPARE(dontAsk->isChecked(), dontAskChecked);
            if (press == 0)
                QTest::keyClick(&box, Qt::Key_Escape);
            else
                Click(box.FindControl(press));
        });
        QCOMPARE(AskMessage(QStringLiteral("Close?"), kMsgOkCancel), result);
        QCOMPARE(TheAppSettings().isClosed, isClosed);
        QCOMPARE(TheAppSettings().notAskAgain, notAskAgain);
    }

    void secondShowMessageIsDroppedWhileABoxIsOpen() {
        int nested = -1;
        CPlcMsgBox* firstBox = nullptr;
        bool askedAgain = false;
        BoxInspector inspector([&](CPlcMsgBox& box) {
            if (firstBox == nullptr) {
                firstBox = &box;
                QCOMPARE(OpenMessageBox(), &box);
                nested = ShowMessage(QStringLiteral("Second"), kMsgOk);
                // Nothing else opened: the first box is still the open one.
                QCOMPARE(OpenMessageBox(), &box);
                // The close question is not held back; once it has gone,
                // the first box is the open one again.
                AskMessage(QStringLiteral("Close?"), kMsgOkCancel);
                QCOMPARE(OpenMessageBox(), &box);
                Click(box.FindControl(kOk));
            } else {
                askedAgain = true;
                QCOMPARE(OpenMessageBox(), &box);
                QCOMPARE(OpenMessageBoxCount(), 2);
                Click(box.FindControl(kCancel));
            }
        });
        QCOMPARE(ShowMessage(QStringLiteral("First"), kMsgOk), kResultOk);
        QCOMPARE(nested, kResultNone);
        QVERIFY(askedAgain);
        // Once the box has gone, the next message is shown again.
        test::MessageBoxRecorder recorder(kResultYes);
        QCOMPARE(ShowMessage(QStringLiteral("Third"), kMsgYesNo), kResultYes);
        QCOMPARE(recorder.asked.size(), size_t(1));
        QCOMPARE(recorder.asked[0].text, QStringLiteral("Third"));
    }

    void messageTextPlacement_data() {
        QTest::addColumn<int>("h");
        QTest::addColumn<QRect>("placed");
        const QRect area = Layout(1019);
        QTest::newRow("one line, h 16") << 16 << QRect(area.left(), 81, area.width(), 16);
        QTest::newRow("two lines, h 32") << 32 << QRect(area.left(), 73, area.width(), 48);
        // Below 16 the usual height would cut the text: it keeps its own.
        QTest::newRow("small font, h 12") << 12 << QRect(area.left(), 83, area.width(), 12);
    }
    void messageTextPlacement() {
        QFETCH(int, h);
        QFETCH(QRect, placed);
        QCOMPARE(CPlcMsgBox::PlaceMessageText(Layout(1019), h), placed);
    }

    void shownMessageIsPlacedInItsArea() {
        BoxInspector inspector([](CPlcMsgBox& box) {
            const QRect message = box.FindControl(1007)->geometry();
            QCOMPARE(box.TextRect(), Layout(1019));
            QCOMPARE(message.left(), Layout(1019).left());
            QCOMPARE(message.width(), Layout(1019).width());
            QVERIFY(message.height() > 0);
            QTest::keyClick(&box, Qt::Key_Escape);
        });
        ShowMessage(QStringLiteral("A message."), kMsgOk);
    }

    void workerThreadClosesTheOpenBox() {
        InstallWaitingBoxCloser();
        std::thread worker;
        BoxInspector inspector([&](CPlcMsgBox&) {
            // As the QoS read worker does before it reports.
            worker = std::thread([]() { CloseWaitingBox(); });
        });
        QCOMPARE(ShowMessage(QStringLiteral("Reading..."), kMsgNoButtons), kResultNone);
        worker.join();
        SetWaitingBoxCloser(nullptr);
        QCOMPARE(OpenMessageBoxCount(), 0);
    }

    void hookAnswersWithoutABox() {
        test::MessageBoxRecorder recorder(kResultNo);
        QCOMPARE(ShowMessage(res::kTextNoLocalDevice, kMsgIconError), kResultNo);
        QCOMPARE(recorder.asked.size(), size_t(1));
        QCOMPARE(recorder.asked[0].text, LoadUiString(res::kTextNoLocalDevice));
        QCOMPARE(recorder.asked[0].style, kMsgIconError);
        QCOMPARE(OpenMessageBoxCount(), 0);
    }
};

}  // namespace ambrel

QTEST_MAIN(ambrel::MsgBoxTest)
#include "MsgBoxTest.moc"
