// The skinned label: links and what a click opens or reports, the font
// operations, solid and gradient backgrounds, blinking, text layout, 3-D
// text, rotation and the hover look of a link.

#include <QApplication>
#include <QMouseEvent>
#include <QTest>
#include <set>

#include "ControlsTestSupport.h"
#include "DialogWindow.h"
#include "OrvikStatic.h"
#include "ResourceIds.h"

namespace ambrel {
namespace {

const QColor kWindow(250, 240, 160);

// A window with one label, shown on screen.
struct Fixture {
    test::MessageRecorder window;
    COrvikStatic* label = nullptr;

    explicit Fixture(QSize size = QSize(160, 40)) {
        window.resize(size.width() + 40, size.height() + 40);
        window.setAutoFillBackground(true);
        QPalette palette = window.palette();
        palette.setColor(QPalette::Window, kWindow);
        window.setPalette(palette);
        label = new COrvikStatic(&window);
        label->setGeometry(QRect(QPoint(20, 20), size));
        SetControlId(label, 1107);
        window.show();
    }

    QImage Shown() const { return label->grab().toImage(); }
};

void Click(QWidget* target, QPoint at = QPoint(5, 5)) {
    QTest::mousePress(target, Qt::LeftButton, {}, at);
    QTest::mouseRelease(target, Qt::LeftButton, {}, at);
}

// Lengths of the runs of equal colour along row `y`.
std::vector<int> Runs(const QImage& image, int y) {
    std::vector<int> runs;
    QColor current;
    for (int x = 0; x < image.width(); ++x) {
        QColor colour = image.pixelColor(x, y);
        if (runs.empty() || colour != current) {
            runs.push_back(1);
            current = colour;
        } else {
            ++runs.back();
        }
    }
    return runs;
}

class NotifiedDialog : public DialogWindow {
public:
    using DialogWindow::DialogWindow;
    std::vector<NotifyHeader> notified;

protected:
    void OnNotify(const NotifyHeader& header) override { notified.push_back(header); }
};

}  // namespace

class StaticTest : public QObject {
    Q_OBJECT
private slots:
    void clickOpens_data() {
        QTest::addColumn<int>("linkType");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("linkUrl");
        QTest::addColumn<QString>("opened");
        QTest::newRow("URL link, own text") << 1 << "https://www.example.com/ambrel"
                                            << ""
                                            << "https://www.example.com/ambrel";
        QTest::newRow("URL link, its URL") << 1 << "Help and updates"
                                           << "https://www.example.com/help"
                                           << "https://www.example.com/help";
        QTest::newRow("URL link, bare host") << 1 << "www.example.com"
                                             << ""
                                             << "http://www.example.com";
        QTest::newRow("URL link, local file") << 1 << "/usr/bin/xterm"
                                              << ""
                                              << "";
        QTest::newRow("URL link, file URL") << 1 << "x"
                                            << "file:///etc/passwd"
                                            << "";
        QTest::newRow("mail link") << 2 << "support@example.com"
                                   << ""
                                   << "mailto:support@example.com";
        QTest::newRow("mail link, no extra fields") << 2 << "a@example.com?attach=/etc/passwd"
                                                    << ""
                                                    << "mailto:a@example.com%3Fattach=/etc/passwd";
        QTest::newRow("no link") << 0 << "https://www.example.com"
                                 << ""
                                 << "";
    }
    void clickOpens() {
        QFETCH(int, linkType);
        QFETCH(QString, text);
        QFETCH(QString, linkUrl);
        QFETCH(QString, opened);
        test::UrlRecorder urls;
        Fixture f;
        f.label->SetCaption(text);
        if (linkType == 1)
            f.label->SetLink(true);
        else if (linkType == 2)
            f.label->SetMailLink(true);
        f.label->SetLinkUrl(linkUrl);
        Click(f.label);
        QCOMPARE(urls.opened, opened.isEmpty() ? QStringList() : QStringList{opened});
        QVERIFY(f.window.received.empty());
    }

    void notifyFlagReportsLinkClicked_data() {
        QTest::addColumn<int>("flag");
        QTest::addColumn<bool>("mail");
        QTest::newRow("URL link, flag set") << 1 << false;
        QTest::newRow("mail link, flag set") << 1 << true;
        QTest::newRow("URL link, flag clear") << 0 << false;
    }
    void notifyFlagReportsLinkClicked() {
        QFETCH(int, flag);
        QFETCH(bool, mail);
        QVERIFY(test::LoadTestBundle());
        test::UrlRecorder urls;
        NotifiedDialog about(res::kDialogAbout);
        auto* link = about.Attach<COrvikStatic>(1107);
        if (mail)
            link->SetMailLink(true, &flag);
        else
            link->SetLink(true, &flag);
        about.show();
        QVERIFY(QTest::qWaitForWindowExposed(&about));
        Click(link);
        if (flag != 0) {
            QVERIFY(urls.opened.isEmpty());
            QCOMPARE(about.notified.size(), size_t(1));
            QCOMPARE(about.notified[0].controlId, 1107);
            QCOMPARE(about.notified[0].code, COrvikStatic::kLinkClicked);
            QCOMPARE(about.notified[0].from, link);
        } else {
            QVERIFY(about.notified.empty());
            QCOMPARE(urls.opened, QStringList{FindString(10006).value()});
        }
    }

    void fontOperations() {
        Fixture f;
        f.label->SetPointSize(12);
        QCOMPARE(f.label->GetLogFont().height, 16);
        f.label->SetBold(true);
        QCOMPARE(f.label->GetLogFont().height, 16);
        QCOMPARE(f.label->GetLogFont().weight, 700);
        f.label->SetBold(false).SetItalic(true).SetUnderline(true);
        QCOMPARE(f.label->GetLogFont().weight, 400);
        QVERIFY(f.label->GetLogFont().italic);
        QVERIFY(f.label->GetLogFont().underline);

        LogFont replacement;
        replacement.height = 21;
        replacement.weight = 700;
        replacement.faceName = QStringLiteral("DejaVu Serif");
        f.label->SetLogFont(replacement);
        QCOMPARE(f.label->GetLogFont(), replacement);

        f.label->SetFaceName(QString(40, QLatin1Char('x')), 134);
        QCOMPARE(f.label->GetLogFont().faceName.size(), 31);
        QCOMPARE(f.label->GetLogFont().charSet, uint8_t(134));
        QCOMPARE(f.label->GetLogFont().height, 21);

        f.label->SetRotation(90, true);
        QCOMPARE(f.label->GetLogFont().escapement, 900);
        QCOMPARE(f.label->GetLogFont().orientation, 900);

        f.label->SetForeColor(Qt::darkGreen);
        QCOMPARE(f.label->GetForeColor(), QColor(Qt::darkGreen));
    }

    void gradientBands_data() {
        QTest::addColumn<int>("width");
        QTest::addColumn<int>("bands");
        QTest::addColumn<int>("bandWidth");
        QTest::newRow("30 px") << 30 << 30 << 1;
        QTest::newRow("300 px") << 300 << 100 << 3;
    }
    void gradientBands() {
        QFETCH(int, width);
        QFETCH(int, bands);
        QFETCH(int, bandWidth);
        Fixture f(QSize(width, 20));
        f.label->SetTransparent(false);
        f.label->SetBackColor(QColor(0, 0, 0), QColor(255, 255, 255), true);
        const QImage shown = f.Shown();
        const std::vector<int> runs = Runs(shown, 10);
        QCOMPARE(int(runs.size()), bands);
        QCOMPARE(std::set<int>(runs.begin(), runs.end()), std::set<int>{bandWidth});
        QCOMPARE(shown.pixelColor(0, 10), QColor(0, 0, 0));
        QCOMPARE(shown.pixelColor(width - 1, 10), QColor(255, 255, 255));
    }

    void solidAndTransparentBackgrounds() {
        Fixture f;
        QCOMPARE(f.Shown().pixelColor(150, 30), kWindow);  // transparent by default
        f.label->SetBackColor(Qt::blue);
        QCOMPARE(f.Shown().pixelColor(150, 30), kWindow);
        f.label->SetTransparent(false);
        QCOMPARE(f.Shown().pixelColor(150, 30), QColor(Qt::blue));
        QCOMPARE(f.label->BackBrushColor(), std::optional<QColor>(QColor(Qt::blue)));
    }

    void blinkingNeedsABackgroundBrush_data() {
        QTest::addColumn<bool>("brush");
        QTest::newRow("with a background brush") << true;
        QTest::newRow("without one") << false;
    }
    void blinkingNeedsABackgroundBrush() {
        QFETCH(bool, brush);
        Fixture f;
        f.label->SetCaption(QStringLiteral("Blinking"));
        f.label->SetForeColor(Qt::black);
        if (brush)
            f.label->SetBackColor(Qt::white);
        f.label->SetTransparent(false);
        f.label->FlashText(true);
        QVERIFY(f.label->IsBlinkTimerRunning());
        QCOMPARE(f.label->Flash(), COrvikStatic::FlashMode::Text);
        QCOMPARE(f.label->FlashPhase(), 0);
        const bool visibleFirst = !test::InkBox(f.Shown(), Qt::black, 60).isEmpty();
        f.label->OnTimer(COrvikStatic::kBlinkTimer);
        QCOMPARE(f.label->FlashPhase(), 1);
        const bool visibleSecond = !test::InkBox(f.Shown(), Qt::black, 60).isEmpty();
        QCOMPARE(visibleFirst, !brush);
        QVERIFY(visibleSecond);
        f.label->FlashText(false);
        QVERIFY(!f.label->IsBlinkTimerRunning());
        QCOMPARE(f.label->Flash(), COrvikStatic::FlashMode::None);

        f.label->FlashBackground(true);
        QVERIFY(f.label->IsBlinkTimerRunning());
        QCOMPARE(f.label->Flash(), COrvikStatic::FlashMode::Background);
    }

    void textLayout_data() {
        QTest::addColumn<int>("align");
        QTest::addColumn<bool>("centerImage");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("where");
        using A = COrvikStatic::Align;
        QTest::newRow("left") << int(A::Left) << false << "Name"
                              << "left top";
        QTest::newRow("centre") << int(A::Center) << false << "Name"
                                << "centre top";
        QTest::newRow("right") << int(A::Right) << false << "Name"
                               << "right top";
        QTest::newRow("centre image") << int(A::Left) << true << "Name"
                                      << "centre middle";
        QTest::newRow("centre image, two lines") << int(A::Left) << true << "Name\nAddress"
                                                 << "centre top";
        QTest::newRow("left wraps")
            << int(A::Left) << false << "Several words that need more than one line"
            << "wrapped";
        QTest::newRow("left without wrap")
            << int(A::LeftNoWrap) << false << "Several words that need more than one line"
            << "one line";
    }
    void textLayout() {
        QFETCH(int, align);
        QFETCH(bool, centerImage);
        QFETCH(QString, text);
        QFETCH(QString, where);
        Fixture f(QSize(160, 60));
        f.label->SetForeColor(Qt::black).SetPointSize(9).SetCaption(text);
        f.label->SetAlign(static_cast<COrvikStatic::Align>(align), centerImage);
        const QRect ink = test::InkBox(f.Shown(), Qt::black, 80);
        QVERIFY(!ink.isEmpty());
        if (where.startsWith(QLatin1String("left")))
            QVERIFY(ink.left() <= 2);
        if (where.startsWith(QLatin1String("centre")))
            QVERIFY(qAbs(ink.center().x() - 80) <= 3);
        if (where.startsWith(QLatin1String("right")))
            QVERIFY(ink.right() >= 156);
        if (where.endsWith(QLatin1String("top")))
            QVERIFY(ink.top() <= 5);
        if (where.endsWith(QLatin1String("middle")))
            QVERIFY(qAbs(ink.center().y() - 30) <= 3);
        if (where == QLatin1String("wrapped"))
            QVERIFY(ink.height() > 20 && ink.right() < 160);
        if (where == QLatin1String("one line"))
            QVERIFY(ink.height() < 16);
    }

    void text3D_data() {
        QTest::addColumn<bool>("down");
        QTest::addColumn<int>("offset");
        QTest::newRow("down") << true << 1;
        QTest::newRow("up") << false << -1;
    }
    void text3D() {
        QFETCH(bool, down);
        QFETCH(int, offset);
        Fixture f;
        f.label->SetForeColor(Qt::black).SetPointSize(12).SetCaption(QStringLiteral("Ambrel"));
        f.label->setGeometry(20, 20, 160, 40);
        f.label->SetAlign(COrvikStatic::Align::Left, true);
        const QRect plain = test::InkBox(f.Shown(), Qt::black, 80);
        f.label->SetHighlightColor(Qt::red).SetText3D(true, down);
        const QRect copy = test::InkBox(f.Shown(), Qt::red, 80);
        QCOMPARE(copy, plain.translated(offset, offset));
    }

    void rotation() {
        Fixture f(QSize(80, 80));
        f.label->SetForeColor(Qt::black).SetPointSize(12).SetCaption(QStringLiteral("Rotated"));
        const QRect flat = test::InkBox(f.Shown(), Qt::black, 80);
        QVERIFY(flat.width() > flat.height());
        f.label->SetRotation(90, true);
        const QRect upright = test::InkBox(f.Shown(), Qt::black, 80);
        QVERIFY(upright.height() > upright.width());
        // The baseline runs through the centre, the text reads upwards.
        QVERIFY(upright.right() <= 41 && upright.left() >= 20);
        QVERIFY(qAbs(upright.center().y() - 40) <= 3);
    }

    void hoverOverLinkUnderlinesAndBolds_data() {
        QTest::addColumn<bool>("link");
        QTest::newRow("link") << true;
        QTest::newRow("plain label") << false;
    }
    void hoverOverLinkUnderlinesAndBolds() {
        QFETCH(bool, link);
        Fixture f;
        f.label->SetCaption(QStringLiteral("https://www.example.com"));
        f.label->SetLink(link);
        QMouseEvent move(QEvent::MouseMove, QPointF(5, 5),
                         QPointF(f.label->mapToGlobal(QPoint(5, 5))), Qt::NoButton, Qt::NoButton,
                         Qt::NoModifier);
        QApplication::sendEvent(f.label, &move);
        QCOMPARE(f.label->GetLogFont().underline, link);
        QCOMPARE(f.label->GetLogFont().weight, link ? 700 : f.label->font().weight());
        // It stays so once the pointer has gone.
        f.label->SetForeColor(Qt::blue);
        QCOMPARE(f.label->GetLogFont().underline, link);
    }

    void plainLabelLetsClicksThrough() {
        Fixture f;
        f.label->SetCaption(QStringLiteral("Title"));
        QMouseEvent press(QEvent::MouseButtonPress, QPointF(5, 5),
                          QPointF(f.label->mapToGlobal(QPoint(5, 5))), Qt::LeftButton,
                          Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(f.label, &press);
        QVERIFY(!press.isAccepted());
        f.label->SetLink(true);
        QMouseEvent again(QEvent::MouseButtonPress, QPointF(5, 5),
                          QPointF(f.label->mapToGlobal(QPoint(5, 5))), Qt::LeftButton,
                          Qt::LeftButton, Qt::NoModifier);
        test::UrlRecorder urls;
        QApplication::sendEvent(f.label, &again);
        QVERIFY(again.isAccepted());
    }

    void linkCursor() {
        QVERIFY(test::LoadTestBundle());
        Fixture f;
        f.label->SetLinkCursorId(res::kCursorHand);
        QCOMPARE(f.label->cursor().hotSpot(), QPoint(12, 2));
        f.label->SetLinkCursor(std::nullopt);
        QCOMPARE(f.label->cursor().shape(), Qt::ArrowCursor);
    }

    void sunkenAndBorder() {
        Fixture f;
        f.label->SetSunken(true);
        QCOMPARE(f.label->frameShape(), QFrame::WinPanel);
        QVERIFY(f.label->contentsRect().left() > 0);
        f.label->SetSunken(false);
        QCOMPARE(f.label->frameShape(), QFrame::NoFrame);
        f.label->SetBorder(true);
        QCOMPARE(f.label->frameShape(), QFrame::Box);
        QCOMPARE(f.Shown().pixelColor(80, 0).lightness() < 100, true);
        f.label->SetBorder(false);
        QCOMPARE(f.label->contentsRect(), f.label->rect());
    }
};

}  // namespace ambrel

QTEST_MAIN(ambrel::StaticTest)
#include "StaticTest.moc"
