// The image and layout helpers: layout strings, fonts, texts and the image
// cache.

#include <QBuffer>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include "Fonts.h"
#include "GuiTestSupport.h"
#include "ImageCache.h"
#include "Layout.h"
#include "ResourceBundle.h"
#include "SystemMessage.h"
#include "UiString.h"

namespace ambrel {

class ControlsTest : public QObject {
    Q_OBJECT
private:
    QTemporaryDir dir_;

    // A resource source made of the given string table.
    void UseStrings(const QByteArray& table) {
        QFile file(dir_.filePath(QStringLiteral("strings.txt")));
        QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.write(table);
        file.close();
        UseBuiltInResources(dir_.path(), 0);
    }

private slots:
    void cleanup() { ReleaseImageCache(); }

    void layoutRectangles_data() {
        QTest::addColumn<QByteArray>("text");
        QTest::addColumn<QRect>("expected");
        const QRect fallback(1, 2, 3, 4);
        QTest::newRow("valid") << QByteArray("5,10,120,24") << QRect(5, 10, 120, 24);
        QTest::newRow("blanks after commas")
            << QByteArray(" 5, 10, 120, 24") << QRect(5, 10, 120, 24);
        QTest::newRow("zero") << QByteArray("0,10,20,30") << fallback;
        QTest::newRow("too large") << QByteArray("10,10,20,10001") << fallback;
        QTest::newRow("largest") << QByteArray("10,10,20,10000") << QRect(10, 10, 20, 10000);
        QTest::newRow("negative") << QByteArray("-5,10,20,30") << fallback;
        QTest::newRow("three numbers") << QByteArray("5,10,120") << fallback;
        QTest::newRow("blank before comma") << QByteArray("5 ,10,120,24") << fallback;
        QTest::newRow("missing") << QByteArray() << fallback;
    }
    void layoutRectangles() {
        QFETCH(QByteArray, text);
        QFETCH(QRect, expected);
        UseStrings(text.isNull() ? QByteArray("2=x\n") : "1=" + text + "\n");
        LayoutRect rect = ReadLayoutRect(1, LayoutRect::FromQRect(QRect(1, 2, 3, 4)));
        QCOMPARE(rect.ToQRect(), expected);
    }

    void layoutNumbersAndColours() {
        UseStrings("1=42\n2=  -3px\n3=abc\n4=255,128,0\n5=256,257,-1\n6=1,2\n");
        QCOMPARE(ReadLayoutInt(1), 42);
        QCOMPARE(ReadLayoutInt(2), -3);
        QCOMPARE(ReadLayoutInt(3), 0);
        QCOMPARE(ReadLayoutInt(99), 0);
        QCOMPARE(ReadLayoutColor(4), QColor(255, 128, 0));
        QCOMPARE(ReadLayoutColor(5), QColor(0, 1, 255));  // the low 8 bits
        QCOMPARE(ReadLayoutColor(6), QColor(0, 0, 0));
        QCOMPARE(LayoutRect({5, 10, 125, 34}), ReadLayoutRect(7, {5, 10, 125, 34}));
    }

    void fontSizes_data() {
        QTest::addColumn<QByteArray>("size");
        QTest::addColumn<int>("pixels");
        QTest::newRow("0") << QByteArray("0") << 8;
        QTest::newRow("1") << QByteArray("1") << 1;
        QTest::newRow("12") << QByteArray("12") << 16;
        QTest::newRow("14") << QByteArray("14") << 18;
        QTest::newRow("100") << QByteArray("100") << 133;
        QTest::newRow("101") << QByteArray("101") << 8;
        QTest::newRow("missing") << QByteArray() << 8;
    }
    void fontSizes() {
        QFETCH(QByteArray, size);
        QFETCH(int, pixels);
        UseStrings(size.isNull() ? QByteArray("1=x\n") : "1030=" + size + "\n1005=" + size + "\n");
        QCOMPARE(FontPixelHeight(1025), pixels);  // through the table: size string 1030
        QCOMPARE(FontPixelHeight(4711), pixels);  // not in the table: size string 1005
    }

    void logFontFields() {
        UseStrings("1025=Arial\n1030=12\n1026=" + QByteArray(40, 'F') +
                   "\n1032=11\n1006=Dialog Face\n1031=10\n");
        LogFont bold = MakeLogFont(1025);
        QCOMPARE(bold.height, 16);
        QCOMPARE(bold.weight, 700);
        QVERIFY(!bold.italic && !bold.underline && !bold.strikeOut);
        QCOMPARE(bold.charSet, uint8_t{0});
        QCOMPARE(bold.pitchAndFamily, uint8_t{0x20});
        QCOMPARE(bold.faceName, QStringLiteral("Arial"));
        QFont font = bold.ToQFont();
        QCOMPARE(font.pixelSize(), 16);
        QCOMPARE(font.weight(), QFont::Bold);

        LogFont italic = MakeLogFont(1026);
        QVERIFY(italic.italic);
        QCOMPARE(italic.height, 14);
        QCOMPARE(italic.faceName.size(), 31);  // cut to the field

        QFont dialog = MakeDialogFont();
        QCOMPARE(dialog.family(), QStringLiteral("Dialog Face"));
        QCOMPARE(dialog.pixelSize(), 13);
        QVERIFY(!dialog.italic());
        UseStrings("1=x\n");
        QVERIFY(!MakeDialogFont().family().isEmpty());  // a face even without string 1006
    }

    void uiStringPadding() {
        UseStrings("1=abc\n2=\xE8\xAE\xBE\xE5\xA4\x87\n");
        QCOMPARE(LoadUiString(1), QStringLiteral("abc"));
        QCOMPARE(LoadUiString(1, true), QStringLiteral("abc   "));
        QCOMPARE(LoadUiString(2, true), QStringLiteral("设备  "));
    }

    void uiStringMissingIsFatal_data() {
        QTest::addColumn<QString>("scenario");
        QTest::addColumn<QString>("message");
        QTest::newRow("with the bundle's texts")
            << QStringLiteral("missing-string")
            << QStringLiteral(
                   "[Ambrel error|The text 99999 could not be loaded. Please reinstall "
                   "Ambrel.|1]\n");
        QTest::newRow("without a bundle")
            << QStringLiteral("missing-string-no-bundle")
            << QStringLiteral("[Error|Load String (144) Failed!|1]\n");
        QTest::newRow("picture") << QStringLiteral("missing-picture")
                                 << QStringLiteral("[|Image Resource Error:99999|2]\n");
        QTest::newRow("uncached picture")
            << QStringLiteral("missing-picture-uncached")
            << QStringLiteral(
                   "[|The picture 99999 could not be loaded. Please reinstall "
                   "Ambrel.|0]\n");
    }
    void uiStringMissingIsFatal() {
        QFETCH(QString, scenario);
        QFETCH(QString, message);
        test::ChildResult child = test::RunChild(scenario);
        QCOMPARE(child.exitCode, 1);
        QCOMPARE(child.messages, message);
    }

    void formatWithIdIsNoPrintf() {
        QCOMPARE(FormatWithId(QStringLiteral("Picture %d of %s"), 5),
                 QStringLiteral("Picture 5 of %s"));
        QCOMPARE(FormatWithId(QStringLiteral("No number"), 5), QStringLiteral("No number 5"));
    }

    void imageCacheDecodesOnce() {
        QVERIFY(LoadResourceBundle(test::BundleDirectory() + "/1033.rcc", 1033));
        CreateImageCache();
        int decoded = ImageCacheDecodeCount();
        const QImage& first = LoadPngResource(130);
        const QImage& again = LoadPngResource(130, QStringLiteral("PNG"));
        QCOMPARE(&first, &again);
        QCOMPARE(ImageCacheDecodeCount(), decoded + 1);
        QCOMPARE(first.size(), QSize(322, 193));

        // Another type or another language is another entry.
        LoadPngResource(128, QStringLiteral("ICON"));
        QCOMPARE(ImageCacheDecodeCount(), decoded + 2);
        QVERIFY(LoadResourceBundle(test::BundleDirectory() + "/2052.rcc", 2052));
        const QImage& chinese = LoadPngResource(130);
        QVERIFY(&chinese != &first);
        QCOMPARE(ImageCacheDecodeCount(), decoded + 3);

        // The uncached loader hands out a picture of the caller's own.
        std::unique_ptr<QImage> owned = LoadImageResource(130);
        QVERIFY(owned && owned.get() != &chinese);
        QCOMPARE(ImageCacheDecodeCount(), decoded + 3);

        ReleaseImageCache();
        QVERIFY(!ImageCacheExists());
        QVERIFY(!ResourceBundleLoaded());
        ReleaseImageCache();  // nothing left to do
        QVERIFY(!ImageCacheExists());
    }
};

}  // namespace ambrel

QObject* MakeControlsTest() {
    return new ambrel::ControlsTest;
}

#include "ControlsTest.moc"
