// The picture button: the picture of every state, hovering by polling, the
// click rules, the two-state and three-value styles, its pictures, text,
// border, background and placement.

#include <QApplication>
#include <QCursor>
#include <QMouseEvent>
#include <QSignalSpy>
#include <QTest>

#include "ControlsTestSupport.h"
#include "OrvikButton.h"
#include "ResourceIds.h"

namespace ambrel {
namespace {

const QColor kNormal(200, 40, 40);
const QColor kHover(40, 200, 40);
const QColor kPressed(40, 40, 200);
const QColor kDisabled(128, 128, 128);
const QColor kWindow(250, 240, 160);

// A window with one button of four solid pictures, shown on screen.
struct Fixture {
    test::MessageRecorder window;
    COrvikButton* button = nullptr;
    QImage normal = test::Solid(QSize(40, 20), kNormal);
    QImage hover = test::Solid(QSize(40, 20), kHover);
    QImage pressed = test::Solid(QSize(40, 20), kPressed);
    QImage disabled = test::Solid(QSize(40, 20), kDisabled);

    Fixture() {
        window.resize(200, 120);
        window.setAutoFillBackground(true);
        QPalette palette = window.palette();
        palette.setColor(QPalette::Window, kWindow);
        window.setPalette(palette);
        button = new COrvikButton(&window);
        button->setGeometry(50, 40, 40, 20);
        button->SetButtonImages(&normal, &hover, &pressed, &disabled);
        window.move(0, 0);
        window.show();
    }

    QColor Shown(QPoint at = QPoint(20, 10)) const {
        return button->grab().toImage().pixelColor(at);
    }
    QPoint Inside() const { return QPoint(20, 10); }
    QPoint OutsideOnScreen() const { return button->mapToGlobal(QPoint(100, 70)); }
    // The pointer enters: the cursor is over the button and a move without
    // buttons arrives.
    void Hover() const {
        QCursor::setPos(button->mapToGlobal(Inside()));
        QMouseEvent move(QEvent::MouseMove, QPointF(Inside()),
                         QPointF(button->mapToGlobal(Inside())), Qt::NoButton, Qt::NoButton,
                         Qt::NoModifier);
        QApplication::sendEvent(button, &move);
    }
};

}  // namespace

class ButtonTest : public QObject {
    Q_OBJECT
private slots:
    void pictureForEachStatePair_data() {
        QTest::addColumn<int>("state");
        QTest::addColumn<int>("previous");
        QTest::addColumn<QColor>("expected");
        QTest::newRow("hover after pressed") << 0 << 3 << kPressed;
        QTest::newRow("hover after normal") << 0 << 1 << kHover;
        QTest::newRow("hover after released") << 0 << 2 << kHover;
        QTest::newRow("normal after pressed") << 1 << 3 << kPressed;
        QTest::newRow("normal after hover") << 1 << 0 << kNormal;
        QTest::newRow("normal after normal") << 1 << 1 << kNormal;
        QTest::newRow("released after normal") << 2 << 1 << kNormal;
        QTest::newRow("released after pressed") << 2 << 3 << kHover;
        QTest::newRow("released after hover") << 2 << 0 << kHover;
        QTest::newRow("pressed after normal") << 3 << 1 << kNormal;
        QTest::newRow("pressed after hover") << 3 << 0 << kPressed;
        QTest::newRow("pressed after released") << 3 << 2 << kPressed;
        QTest::newRow("unknown state") << 7 << 3 << kNormal;
    }
    void pictureForEachStatePair() {
        QFETCH(int, state);
        QFETCH(int, previous);
        QFETCH(QColor, expected);
        Fixture f;
        f.button->state = state;
        f.button->previousState = previous;
        QCOMPARE(f.Shown(), expected);
        f.button->setEnabled(false);
        QCOMPARE(f.Shown(), kDisabled);
    }

    void styleTwoStateAndTriValue_data() {
        QTest::addColumn<int>("style");
        QTest::addColumn<int>("state");
        QTest::addColumn<bool>("checked");
        QTest::addColumn<int>("triValue");
        QTest::addColumn<QColor>("expected");
        QTest::newRow("two-state checked") << 4 << 0 << true << 0 << kPressed;
        QTest::newRow("two-state hover") << 4 << 0 << false << 0 << kHover;
        QTest::newRow("two-state pressed, not checked") << 4 << 3 << false << 0 << kNormal;
        QTest::newRow("tri-value 0") << 5 << 0 << false << 0 << kNormal;
        QTest::newRow("tri-value 1") << 5 << 1 << false << 1 << kHover;
        QTest::newRow("tri-value 2") << 5 << 1 << false << 2 << kPressed;
        QTest::newRow("tri-value other") << 5 << 3 << true << 9 << kNormal;
    }
    void styleTwoStateAndTriValue() {
        QFETCH(int, style);
        QFETCH(int, state);
        QFETCH(bool, checked);
        QFETCH(int, triValue);
        QFETCH(QColor, expected);
        Fixture f;
        f.button->buttonStyle = style;
        f.button->state = state;
        f.button->checked = checked;
        f.button->triValue = triValue;
        QCOMPARE(f.Shown(), expected);
    }

    void hoverByPolling() {
        Fixture f;
        QVERIFY(QTest::qWaitForWindowExposed(&f.window));
        f.Hover();
        QCOMPARE(f.button->state, int(COrvikButton::kStateHover));
        QVERIFY(f.button->mouseInside);
        QVERIFY(f.button->IsHoverPolling());
        QCOMPARE(f.Shown(), kHover);
        // Still inside: the poll changes nothing.
        f.button->OnTimer(COrvikButton::kHoverTimer);
        QCOMPARE(f.button->state, int(COrvikButton::kStateHover));
        QCursor::setPos(f.OutsideOnScreen());
        f.button->OnTimer(COrvikButton::kHoverTimer);
        QCOMPARE(f.button->state, int(COrvikButton::kStateNormal));
        QCOMPARE(f.button->previousState, int(COrvikButton::kStateHover));
        QVERIFY(!f.button->mouseInside);
        QVERIFY(!f.button->IsHoverPolling());
        QCOMPARE(f.Shown(), kNormal);
    }

    void clickInside() {
        Fixture f;
        QVERIFY(QTest::qWaitForWindowExposed(&f.window));
        QSignalSpy clicked(f.button, &QAbstractButton::clicked);
        f.Hover();
        QTest::mousePress(f.button, Qt::LeftButton, {}, f.Inside());
        QCOMPARE(f.button->state, int(COrvikButton::kStatePressed));
        QCOMPARE(f.Shown(), kPressed);
        QTest::mouseRelease(f.button, Qt::LeftButton, {}, f.Inside());
        QCOMPARE(clicked.count(), 1);
        QCOMPARE(f.button->state, int(COrvikButton::kStateReleased));
        QCOMPARE(f.Shown(), kHover);
        QVERIFY(f.window.received.empty());
    }

    void pressDragOutReleaseOutside() {
        Fixture f;
        QVERIFY(QTest::qWaitForWindowExposed(&f.window));
        QSignalSpy clicked(f.button, &QAbstractButton::clicked);
        f.Hover();
        QTest::mousePress(f.button, Qt::LeftButton, {}, f.Inside());
        // Dragged out with the button held; the poll notices.
        const QPoint outside(70, 30);
        QCursor::setPos(f.button->mapToGlobal(outside));
        QTest::mouseMove(f.button, outside);
        f.button->OnTimer(COrvikButton::kHoverTimer);
        QCOMPARE(f.button->state, int(COrvikButton::kStateNormal));
        QCOMPARE(f.Shown(), kPressed);  // the pressed picture while outside
        QTest::mouseRelease(f.button, Qt::LeftButton, {}, outside);
        QCOMPARE(clicked.count(), 0);
        QVERIFY(!f.button->checked);
        QCOMPARE(f.button->state, int(COrvikButton::kStateReleased));
        QCOMPARE(f.button->previousState, int(COrvikButton::kStateNormal));
        QCOMPARE(f.Shown(), kNormal);
        QVERIFY(!f.button->isDown());
        // The window hears of the release point as a mouse move.
        QCOMPARE(f.window.received.size(), size_t(1));
        QCOMPARE(f.window.received[0].message, uint32_t(kWmMouseMove));
        QCOMPARE(f.window.received[0].wParam, WParam(8));
        QCOMPARE(f.window.received[0].lParam, LParam((30 << 8) | 70));
    }

    void disabledStartsNoHoverTimer() {
        Fixture f;
        QVERIFY(QTest::qWaitForWindowExposed(&f.window));
        f.button->setEnabled(false);
        f.Hover();
        QCOMPARE(f.button->state, int(COrvikButton::kStateNormal));
        QVERIFY(!f.button->IsHoverPolling());
        QVERIFY(!f.button->mouseInside);
        QCOMPARE(f.Shown(), kDisabled);
    }

    void triValueNeverHovers() {
        Fixture f;
        QVERIFY(QTest::qWaitForWindowExposed(&f.window));
        f.button->buttonStyle = COrvikButton::kStyleTriValue;
        f.Hover();
        QCOMPARE(f.button->state, int(COrvikButton::kStateNormal));
        QVERIFY(!f.button->IsHoverPolling());
        QCOMPARE(f.Shown(), kNormal);
        f.button->triValue = 2;
        QCOMPARE(f.Shown(), kPressed);
    }

    void twoStatePressedFromFirstClick() {
        Fixture f;
        QVERIFY(QTest::qWaitForWindowExposed(&f.window));
        f.button->buttonStyle = COrvikButton::kStyleTwoState;
        QCOMPARE(f.Shown(), kNormal);
        f.Hover();
        QCOMPARE(f.Shown(), kHover);
        QTest::mouseClick(f.button, Qt::LeftButton, {}, f.Inside());
        QVERIFY(f.button->checked);
        QCOMPARE(f.Shown(), kPressed);
        QCursor::setPos(f.OutsideOnScreen());
        f.button->OnTimer(COrvikButton::kHoverTimer);
        QCOMPARE(f.Shown(), kPressed);
    }

    void setButtonImagesNeedsAllFour_data() {
        QTest::addColumn<int>("missing");
        for (int i = 0; i < 4; ++i)
            QTest::addRow("picture %d missing", i) << i;
    }
    void setButtonImagesNeedsAllFour() {
        QFETCH(int, missing);
        Fixture f;
        QImage other = test::Solid(QSize(40, 20), Qt::black);
        const QImage* pictures[4] = {&other, &other, &other, &other};
        pictures[missing] = nullptr;
        QVERIFY(!f.button->SetButtonImages(pictures[0], pictures[1], pictures[2], pictures[3]));
        QCOMPARE(f.button->normalImage, &f.normal);
        QCOMPARE(f.button->hoverImage, &f.hover);
        QCOMPARE(f.button->pressedImage, &f.pressed);
        QCOMPARE(f.button->disabledImage, &f.disabled);
        QCOMPARE(f.Shown(), kNormal);
    }

    void noPictureWithoutAllFour() {
        test::MessageRecorder window;
        COrvikButton button(&window);
        button.resize(40, 20);
        QVERIFY(button.CurrentPicture() == nullptr);
        QVERIFY(!button.PicturePosition());
    }

    void loadsPicturesByIdFromTheBundle() {
        QVERIFY(test::LoadTestBundle());
        Fixture f;
        f.button->backgroundCaptured = true;
        const res::ButtonImages ok = res::kImagesOk;
        QVERIFY(f.button->LoadButtonImages(ok.disabled, ok.normal, ok.hover, ok.pressed));
        QVERIFY(!f.button->backgroundCaptured);
        QImage expected;
        QVERIFY(expected.loadFromData(FindResource(QStringLiteral("PNG"), ok.hover).value()));
        QCOMPARE(f.button->hoverImage->size(), expected.size());
        QCOMPARE(f.button->hoverImage->pixelColor(expected.width() / 2, expected.height() / 2),
                 expected.pixelColor(expected.width() / 2, expected.height() / 2));
        QVERIFY(f.button->normalImage != &f.normal);
        // Pictures given afterwards replace the loaded ones.
        QVERIFY(f.button->SetButtonImages(&f.normal, &f.hover, &f.pressed, &f.disabled));
        QCOMPARE(f.Shown(), kNormal);
    }

    void handCursorFromTheBundle() {
        QVERIFY(test::LoadTestBundle());
        Fixture f;
        QVERIFY(f.button->UseHandCursor(res::kCursorHand));
        QVERIFY(f.button->pointerCursor.has_value());
        QCOMPARE(f.button->cursor().hotSpot(), QPoint(12, 2));
        QVERIFY(!f.button->cursor().pixmap().isNull());
        QVERIFY(!f.button->UseHandCursor(9999));
        QVERIFY(f.button->pointerCursor.has_value());  // the hand stays
    }

    void blendsOverCapturedBackgroundWithPressedOffset() {
        Fixture f;
        f.button->resize(40, 20);
        // A small picture with a transparent border over a patterned surface.
        QImage dot(QSize(10, 6), QImage::Format_ARGB32_Premultiplied);
        dot.fill(Qt::transparent);
        dot.setPixelColor(0, 0, Qt::black);
        QVERIFY(f.button->SetButtonImages(&dot, &dot, &dot, &dot));
        QImage surface = test::Solid(f.window.size(), Qt::white);
        surface.setPixelColor(50 + 2, 40 + 3, Qt::red);  // under the button at (2, 3)
        f.button->CaptureParentBackground(surface);
        QVERIFY(f.button->backgroundCaptured);
        QCOMPARE(f.button->background.size(), QSize(40, 20));
        QImage shown = f.button->grab().toImage();
        QCOMPARE(shown.pixelColor(2, 3), QColor(Qt::red));
        QCOMPARE(shown.pixelColor(15, 7), QColor(Qt::black));  // centred: (40-10)/2, (20-6)/2
        f.button->state = COrvikButton::kStatePressed;
        f.button->previousState = COrvikButton::kStateHover;
        shown = f.button->grab().toImage();
        QCOMPARE(shown.pixelColor(16, 8), QColor(Qt::black));
        QCOMPARE(shown.pixelColor(15, 7), QColor(Qt::white));
        f.button->state = COrvikButton::kStateNormal;
        f.button->previousState = COrvikButton::kStatePressed;
        QCOMPARE(f.button->PicturePosition(), std::optional<QPoint>(QPoint(16, 8)));
    }

    void textPlacement_data() {
        QTest::addColumn<int>("style");
        QTest::addColumn<int>("textAlign");
        QTest::addColumn<int>("textPosition");
        QTest::addColumn<QString>("where");
        QTest::newRow("text only, left") << 0 << 0 << 0 << "left";
        QTest::newRow("text only, centred") << 0 << 1 << 0 << "centre";
        QTest::newRow("text only, right") << 0 << 2 << 0 << "right";
        QTest::newRow("picture with text beside") << 2 << 0 << 0 << "beside";
        QTest::newRow("picture with text below") << 2 << 0 << 1 << "below";
    }
    void textPlacement() {
        QFETCH(int, style);
        QFETCH(int, textAlign);
        QFETCH(int, textPosition);
        QFETCH(QString, where);
        Fixture f;
        f.button->resize(160, 60);
        QImage icon = test::Solid(QSize(20, 20), kPressed);
        QVERIFY(f.button->SetButtonImages(&icon, &icon, &icon, &icon));
        f.button->buttonStyle = style;
        f.button->textAlign = textAlign;
        f.button->textPosition = textPosition;
        f.button->normalTextColor = Qt::black;
        f.button->highlightTextColor = Qt::red;
        f.button->faceName = QStringLiteral("DejaVu Sans");
        f.button->setText(QStringLiteral("Apply"));
        const QImage shown = f.button->grab().toImage();
        const QRect ink = test::InkBox(shown, Qt::black, 60);
        const QRect picture = test::InkBox(shown, kPressed, 10);
        QVERIFY(!ink.isEmpty());
        QVERIFY(qAbs(ink.center().y() - 30) <= 4 || where == QLatin1String("below"));
        if (where == QLatin1String("left")) {
            QVERIFY(ink.left() <= 3);
            QVERIFY(picture.isEmpty());  // style 0 draws no picture
        } else if (where == QLatin1String("centre")) {
            QVERIFY(qAbs(ink.center().x() - 80) <= 3);
        } else if (where == QLatin1String("right")) {
            QVERIFY(ink.right() >= 155);
        } else if (where == QLatin1String("beside")) {
            QCOMPARE(picture, QRect(1, 20, 20, 20));
            QVERIFY(qAbs(ink.center().x() - (21 + 139 / 2)) <= 3);
        } else {
            QCOMPARE(picture, QRect(70, 1, 20, 20));
            QVERIFY(ink.top() > 21);
            QVERIFY(qAbs(ink.center().x() - 80) <= 3);
        }
        // Hover takes the highlight colour; pressed moves the text by one pixel.
        f.button->state = COrvikButton::kStateHover;
        QVERIFY(test::InkBox(f.button->grab().toImage(), Qt::black, 60).isEmpty());
        QCOMPARE(test::InkBox(f.button->grab().toImage(), Qt::red, 60), ink);
        f.button->state = COrvikButton::kStatePressed;
        f.button->previousState = COrvikButton::kStateHover;
        QCOMPARE(test::InkBox(f.button->grab().toImage(), Qt::red, 60), ink.translated(1, 1));
        // Disabled: the normal colour.
        f.button->setEnabled(false);
        QVERIFY(!test::InkBox(f.button->grab().toImage(), Qt::black, 60).isEmpty());
    }

    void borders_data() {
        QTest::addColumn<bool>("flat");
        QTest::addColumn<int>("state");
        QTest::addColumn<bool>("framed");
        QTest::newRow("flat, normal") << true << 1 << false;
        QTest::newRow("flat, hover") << true << 0 << true;
        QTest::newRow("flat, released") << true << 2 << true;
        QTest::newRow("flat, pressed") << true << 3 << true;
        QTest::newRow("raised, normal") << false << 1 << true;
        QTest::newRow("raised, pressed") << false << 3 << true;
    }
    void borders() {
        QFETCH(bool, flat);
        QFETCH(int, state);
        QFETCH(bool, framed);
        Fixture f;
        f.button->resize(60, 30);
        f.button->CaptureParentBackground(test::Solid(f.window.size(), kWindow));
        f.button->drawBorder = true;
        f.button->flatBorder = flat;
        f.button->state = state;
        const QImage shown = f.button->grab().toImage();
        QCOMPARE(shown.pixelColor(30, 0) != kWindow, framed);
        QCOMPARE(shown.pixelColor(0, 15) != kWindow, framed);
        QVERIFY(shown.pixelColor(30, 15) != kWindow);  // the picture in the middle
        if (framed && state == 3) {
            // Sunken: dark at the top left, light at the bottom right.
            QVERIFY(shown.pixelColor(30, 0).lightness() < shown.pixelColor(30, 29).lightness());
        } else if (framed) {
            QVERIFY(shown.pixelColor(30, 0).lightness() > shown.pixelColor(30, 29).lightness());
        }
    }

    void placement() {
        Fixture f;
        f.button->MoveTo(10, 20, 50, 40);
        QCOMPARE(f.button->geometry(), QRect(10, 20, 41, 21));
        f.button->MoveTo(LayoutRect{5, 10, 125, 34});
        QCOMPARE(f.button->geometry(), QRect(5, 10, 121, 25));
    }
};

}  // namespace ambrel

QTEST_MAIN(ambrel::ButtonTest)
#include "ButtonTest.moc"
