// The animated picture: still pictures, refused data, frame delays, the stop
// event, disposal of frames and the GIF resource of the resource source.

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QSemaphore>
#include <QTemporaryDir>
#include <QTest>
#include <mutex>
#include <vector>

#include "GifWriter.h"
#include "OrvikPicture.h"
#include "ResourceBundle.h"

namespace ambrel {

namespace {

using std::chrono::milliseconds;

// Palette of the test GIFs: red, green, blue, white.
constexpr QRgb kRed = 0xFFFF0000;
constexpr QRgb kGreen = 0xFF00FF00;
constexpr QRgb kBlue = 0xFF0000FF;

struct TestFrame {
    QRect area;
    uint8_t colour = 0;  // palette index, the whole frame
    int delay = 0;
    int disposal = 0;
    bool control = true;  // with a graphic control extension
};

void Le16(QByteArray& out, int value) {
    out.append(static_cast<char>(value & 0xFF));
    out.append(static_cast<char>((value >> 8) & 0xFF));
}

// A GIF89a of `size` with a four-colour global table and the given frames.
QByteArray BuildGif(QSize size, const std::vector<TestFrame>& frames) {
    QByteArray out("GIF89a");
    Le16(out, size.width());
    Le16(out, size.height());
    out.append(static_cast<char>(0x81));  // global table, 4 entries
    out.append('\3');                     // background index: white
    out.append('\0');
    out.append("\xFF\x00\x00\x00\xFF\x00\x00\x00\xFF\xFF\xFF\xFF", 12);
    for (const TestFrame& frame : frames) {
        if (frame.control) {
            out.append("\x21\xF9\x04", 3);
            out.append(static_cast<char>(frame.disposal << 2));
            Le16(out, frame.delay);
            out.append('\0');
            out.append('\0');
        }
        out.append('\x2C');
        Le16(out, frame.area.left());
        Le16(out, frame.area.top());
        Le16(out, frame.area.width());
        Le16(out, frame.area.height());
        out.append('\0');
        std::vector<uint8_t> indices(static_cast<size_t>(frame.area.width() * frame.area.height()),
                                     frame.colour);
        out.append(skingen::LzwEncode(indices, 2));
    }
    out.append('\x3B');
    return out;
}

QByteArray TwoFrameGif(int delay, bool control = true) {
    return BuildGif(QSize(4, 4), {{QRect(0, 0, 4, 4), 0, delay, 1, control},
                                  {QRect(0, 0, 4, 4), 1, delay, 1, control}});
}

QByteArray Encoded(const QImage& image, const char* format) {
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, format);
    return bytes;
}

QImage Checkerboard(QSize size) {
    QImage image(size, QImage::Format_RGB32);
    for (int y = 0; y < size.height(); ++y)
        for (int x = 0; x < size.width(); ++x)
            image.setPixel(x, y, (x + y) % 2 ? kRed : kBlue);
    return image;
}

// Records what the animation thread waits through and what the frame buffer
// held at each wait; after `count` waits it holds the thread in a real wait
// on the stop event until the test stops it.
class WaitRecorder {
public:
    WaitRecorder(COrvikPicture& picture, int count) : picture_(picture), count_(count) {}

    COrvikPicture::FrameWait Wait() {
        return [this](milliseconds delay, const StopEvent& stop) {
            {
                std::lock_guard guard(mutex_);
                if (static_cast<int>(delays_.size()) < count_) {
                    delays_.push_back(delay);
                    buffers_.push_back(picture_.FrameBuffer());
                    if (static_cast<int>(delays_.size()) < count_)
                        return false;
                }
            }
            enough_.release();
            return stop.WaitFor(std::chrono::hours(1));
        };
    }
    // Generous: the thread needs no time of its own between the waits.
    bool WaitUntilRecorded() { return enough_.tryAcquire(1, 20000); }

    std::vector<milliseconds> Delays() {
        std::lock_guard guard(mutex_);
        return delays_;
    }
    QImage Buffer(size_t wait) {
        std::lock_guard guard(mutex_);
        return buffers_.at(wait);
    }

private:
    COrvikPicture& picture_;
    const int count_;
    std::mutex mutex_;
    std::vector<milliseconds> delays_;
    std::vector<QImage> buffers_;
    QSemaphore enough_;
};

}  // namespace

class PictureTest : public QObject {
    Q_OBJECT
private slots:
    void stillPictures_data() {
        QTest::addColumn<QByteArray>("data");
        QTest::addColumn<QSize>("size");
        QTest::addColumn<bool>("isGif");
        QTest::addColumn<QRgb>("topLeft");
        const QImage board = Checkerboard(QSize(6, 3));
        QTest::newRow("GIF with one image")
            << BuildGif(QSize(5, 2), {{QRect(0, 0, 5, 2), 2, 10, 0}}) << QSize(5, 2) << true
            << kBlue;
        QTest::newRow("bitmap") << Encoded(board, "BMP") << QSize(6, 3) << false << kBlue;
        QTest::newRow("PNG") << Encoded(board, "PNG") << QSize(6, 3) << false << kBlue;
    }
    void stillPictures() {
        QFETCH(QByteArray, data);
        QFETCH(QSize, size);
        QFETCH(bool, isGif);
        QFETCH(QRgb, topLeft);
        QWidget parent;
        COrvikPicture picture(&parent);
        picture.setGeometry(7, 9, 100, 100);
        picture.SetFrameWait([](milliseconds, const StopEvent&) {
            qFatal("a still picture started the animation thread");
            return true;
        });

        QVERIFY(picture.LoadPicture(data));
        QCOMPARE(picture.IsGif(), isGif);
        QVERIFY(!picture.IsAnimation());
        QCOMPARE(picture.PictureSize(), size);
        QCOMPARE(picture.geometry(), QRect(QPoint(7, 9), size));  // resized, not moved
        QVERIFY(picture.Draw());
        QVERIFY(!picture.IsRunning());
        const QImage buffer = picture.FrameBuffer();
        QCOMPARE(buffer.pixel(0, 0), topLeft);
        QCOMPARE(picture.grab().toImage().pixel(0, 0), topLeft);

        picture.UnloadPicture();
        QVERIFY(!picture.IsLoaded());
        QVERIFY(picture.FrameBuffer().isNull());
        QCOMPARE(picture.BackgroundColor(), QColor(Qt::white));
        QVERIFY(!picture.Draw());
    }

    void refusedData_data() {
        QTest::addColumn<QByteArray>("data");
        const QByteArray animation = TwoFrameGif(10);
        QTest::newRow("image data cut off") << animation.left(animation.size() - 4);
        QTest::newRow("screen descriptor cut off") << animation.left(10);
        QTest::newRow("colour table cut off") << animation.left(15);
        QTest::newRow("no image") << BuildGif(QSize(4, 4), {});
        QByteArray unknown = animation;
        unknown[13 + 12] = '\x2A';  // the first block's introducer
        QTest::newRow("unknown block") << unknown;
        QTest::newRow("empty screen") << BuildGif(
            QSize(0, 0), {{QRect(0, 0, 2, 2), 0, 10, 0}, {QRect(0, 0, 2, 2), 1, 10, 0}});
        QTest::newRow("not a picture") << QByteArray("just some text, no picture at all");
        QTest::newRow("empty") << QByteArray();
    }
    void refusedData() {
        QFETCH(QByteArray, data);
        COrvikPicture picture;
        QVERIFY(picture.LoadPicture(Encoded(Checkerboard(QSize(2, 2)), "PNG")));
        // Copied into a block of its own size so that a read past it shows
        // under the sanitizers.
        std::vector<uint8_t> exact(data.begin(), data.end());
        QVERIFY(!picture.LoadPicture(std::span<const uint8_t>(exact)));
        QVERIFY(!picture.IsLoaded());  // what was loaded before is gone
        QVERIFY(!picture.Draw());
    }

    void frameDelays_data() {
        QTest::addColumn<QByteArray>("data");
        QTest::addColumn<int>("expectedMs");
        for (int delay = 0; delay <= 4; ++delay)
            QTest::addRow("delay %d", delay) << TwoFrameGif(delay) << 100;
        QTest::newRow("delay 5") << TwoFrameGif(5) << 50;
        QTest::newRow("delay 50") << TwoFrameGif(50) << 500;
        QTest::newRow("no graphic control") << TwoFrameGif(50, false) << 100;
    }
    void frameDelays() {
        QFETCH(QByteArray, data);
        QFETCH(int, expectedMs);
        COrvikPicture picture;
        WaitRecorder recorder(picture, 3);
        picture.SetFrameWait(recorder.Wait());
        QVERIFY(picture.LoadPicture(data));
        QVERIFY(picture.IsAnimation());
        QVERIFY(!picture.Draw());
        QVERIFY(recorder.WaitUntilRecorded());
        QVERIFY(picture.Stop());
        const std::vector<milliseconds> expected(3, milliseconds(expectedMs));
        QCOMPARE(recorder.Delays(), expected);
    }

    // Frame 0 covers the picture in red, frame 1 paints its top-left corner
    // green and is disposed of as the row says, frame 2 paints the
    // bottom-right corner blue. At the third wait the buffer shows the
    // disposal of frame 1.
    void disposal_data() {
        QTest::addColumn<int>("method");
        QTest::addColumn<QString>("corner");  // "red", "green" or "background"
        QTest::newRow("0 none") << 0 << "green";
        QTest::newRow("1 leave in place") << 1 << "green";
        QTest::newRow("2 background") << 2 << "background";
        QTest::newRow("3 previous") << 3 << "red";
    }
    void disposal() {
        QFETCH(int, method);
        QFETCH(QString, corner);
        COrvikPicture picture;
        WaitRecorder recorder(picture, 3);
        picture.SetFrameWait(recorder.Wait());
        QVERIFY(picture.LoadPicture(BuildGif(QSize(8, 8), {{QRect(0, 0, 8, 8), 0, 10, 1},
                                                           {QRect(1, 1, 3, 3), 1, 10, method},
                                                           {QRect(6, 6, 2, 2), 2, 10, 1}})));
        picture.Draw();
        QVERIFY(recorder.WaitUntilRecorded());
        QVERIFY(picture.Stop());

        const QImage second = recorder.Buffer(1);
        QCOMPARE(second.pixel(2, 2), kGreen);
        QCOMPARE(second.pixel(0, 0), kRed);  // frame 1 drawn at its place only
        QCOMPARE(second.pixel(4, 4), kRed);

        const QImage third = recorder.Buffer(2);
        const QRgb expected = corner == "red"     ? kRed
                              : corner == "green" ? kGreen
                                                  : picture.BackgroundColor().rgb();
        QCOMPARE(third.pixel(1, 1), expected);
        QCOMPARE(third.pixel(3, 3), expected);
        QCOMPARE(third.pixel(7, 7), kBlue);
        QCOMPARE(third.pixel(5, 5), kRed);
        QCOMPARE(third.pixel(0, 0), kRed);
    }

    // The thread waits 655 s for its frame, far longer than Stop's bound of
    // 5 s: Stop only succeeds because the stop event ends the wait.
    void stopEndsTheWait() {
        COrvikPicture picture;
        QSemaphore waiting;
        picture.SetFrameWait([&waiting](milliseconds delay, const StopEvent& stop) {
            waiting.release();
            return stop.WaitFor(delay);
        });
        QVERIFY(picture.LoadPicture(TwoFrameGif(65535)));
        for (int run = 0; run < 2; ++run) {  // stopped, then played again
            picture.Draw();
            QVERIFY(waiting.tryAcquire(1, 20000));
            QVERIFY(picture.IsRunning());
            QVERIFY(picture.Stop());
            QVERIFY(!picture.IsRunning());
        }
        picture.Draw();
        QVERIFY(waiting.tryAcquire(1, 20000));
        picture.UnloadPicture();
        QVERIFY(!picture.IsRunning());
        QVERIFY(!picture.IsLoaded());

        // Destroying a playing picture stops it too.
        auto playing = std::make_unique<COrvikPicture>();
        playing->SetFrameWait([&waiting](milliseconds delay, const StopEvent& stop) {
            waiting.release();
            return stop.WaitFor(delay);
        });
        QVERIFY(playing->LoadPicture(TwoFrameGif(65535)));
        playing->Draw();
        QVERIFY(waiting.tryAcquire(1, 20000));
        playing.reset();
    }

    // A thread that does not end within Stop's bound is left to finish on its
    // own data: the picture can be unloaded and loaded again meanwhile.
    void threadOutlivingTheStopBound() {
        COrvikPicture picture;
        QSemaphore waiting;
        QSemaphore release;
        QSemaphore returned;
        picture.SetFrameWait([&](milliseconds, const StopEvent&) {
            waiting.release();
            release.acquire();  // deaf to the stop event
            returned.release();
            return false;
        });
        picture.SetStopBound(milliseconds(0));
        QVERIFY(picture.LoadPicture(TwoFrameGif(10)));
        picture.Draw();
        QVERIFY(waiting.tryAcquire(1, 20000));
        QVERIFY(!picture.Stop());
        QVERIFY(!picture.IsRunning());
        picture.UnloadPicture();

        picture.SetFrameWait([&waiting](milliseconds, const StopEvent& stop) {
            waiting.release();
            return stop.WaitFor(std::chrono::hours(1));
        });
        picture.SetStopBound(COrvikPicture::kStopBound);
        QVERIFY(picture.LoadPicture(TwoFrameGif(10)));
        picture.Draw();
        QVERIFY(waiting.tryAcquire(1, 20000));
        release.release();
        QVERIFY(returned.tryAcquire(1, 20000));
        QVERIFY(picture.Stop());
        QCOMPARE(picture.FrameBuffer().pixel(0, 0), kRed);
    }

    void paintRectangle() {
        COrvikPicture picture;
        QImage image(QSize(4, 4), QImage::Format_RGB32);
        image.fill(kBlue);
        image.setPixel(2, 2, kRed);
        QVERIFY(picture.LoadPicture(Encoded(image, "PNG")));
        picture.Draw();
        picture.SetPaintRect(QRect(2, 2, 2, 2));
        QImage shown = picture.grab().toImage();
        QCOMPARE(shown.pixel(2, 2), kRed);
        QCOMPARE(shown.pixel(3, 3), kBlue);
    }

    void gifResource() {
        QTemporaryDir dir;
        QVERIFY(QDir(dir.path()).mkpath(QStringLiteral("ORVIKGIF")));
        QFile file(dir.filePath(QStringLiteral("ORVIKGIF/212")));
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(TwoFrameGif(8));
        file.close();
        UseBuiltInResources(dir.path(), 0);

        COrvikPicture picture;
        QVERIFY(!picture.LoadGifResource(213));
        QVERIFY(picture.LoadGifResource(212));
        QVERIFY(picture.IsAnimation());
        QCOMPARE(picture.PictureSize(), QSize(4, 4));
        UnloadResourceBundle();
    }
};

}  // namespace ambrel

QTEST_MAIN(ambrel::PictureTest)
#include "PictureTest.moc"
