// The About dialog: its link opens through the desktop seam, its OK button
// ends it, and the link's hover look goes when the pointer leaves it.

#include <QtTest>

#include "About.h"
#include "OrvikStatic.h"
#include "PagesTestSupport.h"

namespace ambrel {
namespace {

// The pointer moves over `widget` with no button down.
void MoveOver(QWidget* widget, QPoint at) {
    QMouseEvent move(QEvent::MouseMove, at, widget->mapToGlobal(at), Qt::NoButton, Qt::NoButton,
                     Qt::NoModifier);
    QApplication::sendEvent(widget, &move);
}

}  // namespace

class AboutTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { QVERIFY(test::LoadTestBundle()); }

    void linkOpensThroughTheDesktop() {
        test::UrlRecorder urls;
        CAbout about;
        about.show();
        QVERIFY(QTest::qWaitForWindowExposed(&about));
        auto* link = about.Control<COrvikStatic>(CAbout::kLink);
        QVERIFY(link != nullptr);
        QTest::mouseClick(link, Qt::LeftButton, {}, QPoint(5, 5));
        QCOMPARE(urls.opened, QStringList{LoadUiString(10006)});
        // The other lines are plain text.
        auto* version = about.Control<COrvikStatic>(1105);
        QVERIFY(version != nullptr);
        QTest::mouseClick(version, Qt::LeftButton, {}, QPoint(5, 5));
        QCOMPARE(urls.opened.size(), 1);
    }

    void hoverLookEndsOverTheDialog() {
        CAbout about;
        about.show();
        QVERIFY(QTest::qWaitForWindowExposed(&about));
        auto* link = about.Control<COrvikStatic>(CAbout::kLink);
        MoveOver(link, QPoint(5, 5));
        QVERIFY(link->GetLogFont().underline);
        MoveOver(&about, QPoint(5, about.height() - 5));
        QVERIFY(!link->GetLogFont().underline);
        QCOMPARE(link->GetLogFont().weight, 400);
    }

    void okEndsTheDialog() {
        DialogWindow::SetModalHook([](DialogWindow& dialog) {
            QWidget* ok = dialog.FindControl(CAbout::kOkButton);
            QVERIFY(ok != nullptr && ok->isVisible());
            QTest::mouseClick(ok, Qt::LeftButton, {}, ok->rect().center());
        });
        CAbout about;
        QCOMPARE(about.RunModal(), kIdOk);
        DialogWindow::SetModalHook(nullptr);
    }
};

}  // namespace ambrel

QTEST_MAIN(ambrel::AboutTest)
#include "AboutTest.moc"
