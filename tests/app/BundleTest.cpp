// Both language bundles hold everything the program asks for (a missing
// picture or text is fatal at run time), in the right form, with pictures
// whose sizes agree with the layout.

#include <QBuffer>
#include <QImageReader>
#include <QTest>
#include <set>

#include "GuiTestSupport.h"
#include "ImageCache.h"
#include "Layout.h"
#include "ResourceBundle.h"
#include "ResourceIds.h"
#include "TextNumbers.h"

namespace ambrel {

namespace {

QImage Picture(const QString& type, int id) {
    std::optional<QByteArray> data = FindResource(type, id);
    if (!data)
        return {};
    return QImage::fromData(*data);
}

}  // namespace

class BundleTest : public QObject {
    Q_OBJECT
private slots:
    void cleanup() { UnloadResourceBundle(); }

    void complete_data() {
        QTest::addColumn<int>("language");
        QTest::addColumn<QString>("namingStyle");
        QTest::newRow("English") << 1033 << QStringLiteral("EN");
        QTest::newRow("Chinese") << 2052 << QStringLiteral("CN");
    }
    void complete() {
        QFETCH(int, language);
        QFETCH(QString, namingStyle);
        QVERIFY(LoadResourceBundle(
            QStringLiteral("%1/%2.rcc").arg(test::BundleDirectory()).arg(language),
            static_cast<uint16_t>(language)));
        QCOMPARE(FindString(res::kTextNamingStyle), namingStyle);

        for (const res::StringRange& range : res::kRequiredStrings) {
            for (int id = range.first; id <= range.last; ++id) {
                std::optional<QString> text = FindString(id);
                QVERIFY2(text && !text->isEmpty(), qPrintable(QStringLiteral("string %1").arg(id)));
                std::string bytes = text->toStdString();
                int v[4] = {};
                bool ok = true;
                if (range.kind == res::StringKind::Int)
                    ok = ParseLeadingInt(bytes).has_value();
                if (range.kind == res::StringKind::Color)
                    ok = ParseIntList(bytes, v, 3).has_value();
                if (range.kind == res::StringKind::Rect) {
                    // A valid rectangle: the reader does not fall back.
                    LayoutRect none{-1, -1, -1, -1};
                    ok = !(ReadLayoutRect(id, none) == none);
                }
                QVERIFY2(ok, qPrintable(QStringLiteral("form of string %1").arg(id)));
            }
        }

        std::set<int> pictures(std::begin(res::kRequiredPictures),
                               std::end(res::kRequiredPictures));
        for (std::span<const res::ButtonSkin> group : res::kAllButtonGroups) {
            for (const res::ButtonSkin& button : group) {
                const res::ButtonImages& i = button.images;
                QSize layout = ReadLayoutRect(button.layoutId, {}).ToQRect().size();
                for (int id : {i.normal, i.hover, i.pressed, i.disabled}) {
                    pictures.insert(id);
                    QCOMPARE(Picture(QStringLiteral("PNG"), id).size(), layout);
                }
            }
        }
        for (int id : pictures) {
            QVERIFY2(!Picture(QStringLiteral("PNG"), id).isNull(),
                     qPrintable(QStringLiteral("picture %1").arg(id)));
        }

        // Templates are the size of their backgrounds; the main window is
        // title, tab bar and body on top of each other.
        const std::pair<int, int> backgrounds[] = {
            {res::kDialogMessageBox, res::kPngMessageBoxBackground},
            {res::kDialogNetwork, res::kPngNetworkPage},
            {res::kDialogStatus, res::kPngStatusPage},
            {res::kDialogAdvanced, res::kPngAdvancedPage},
            {res::kDialogQos, res::kPngQosPage},
            {res::kDialogNetworkRow, res::kPngRowHover},
            {res::kDialogNetworkRow, res::kPngRow},
            {res::kDialogAddDevice, res::kPngAddDeviceBackground},
            {res::kDialogReset, res::kPngResetBackground},
            {res::kDialogUpgrade, res::kPngUpgradeBackground},
            {res::kDialogAbout, res::kPngAboutBackground}};
        for (const auto& [dialogId, pictureId] : backgrounds) {
            const bundle::DialogTemplate* dialog = FindDialog(dialogId);
            QVERIFY(dialog != nullptr);
            QCOMPARE(QSize(dialog->width, dialog->height), Picture("PNG", pictureId).size());
        }
        QSize title = Picture("PNG", res::kPngTitle).size();
        QSize tabs = Picture("PNG", res::kPngTabBar).size();
        QSize body = Picture("PNG", res::kPngBody).size();
        QCOMPARE(QSize(FindDialog(res::kDialogMain)->width, FindDialog(res::kDialogMain)->height),
                 QSize(title.width(), title.height() + tabs.height() + body.height()));
        QCOMPARE(FindDialog(res::kDialogNetwork)->width, body.width() - 20);
        QCOMPARE(FindDialog(res::kDialogNetwork)->height, body.height() - 12);

        for (const res::DialogControls& required : res::kRequiredDialogs) {
            const bundle::DialogTemplate* dialog = FindDialog(required.dialogId);
            QVERIFY2(dialog != nullptr, qPrintable(QString::number(required.dialogId)));
            for (int control : required.controls) {
                QVERIFY2(dialog->Find(control) != nullptr,
                         qPrintable(QStringLiteral("%1/%2").arg(required.dialogId).arg(control)));
            }
        }

        const bundle::MenuTemplate* menu = FindMenu(res::kMenuTray);
        QVERIFY(menu != nullptr && menu->items.size() == 1);
        std::set<int> commands;
        for (const bundle::MenuItem& item : menu->items[0].children)
            commands.insert(item.commandId);
        QVERIFY(commands.count(res::kCommandShow) && commands.count(res::kCommandAbout) &&
                commands.count(res::kCommandExit));

        QVERIFY(!Picture(res::kTypeIcon, res::kIconMain).isNull());
        QImage cursor = Picture(res::kTypeCursor, res::kCursorHand);
        QVERIFY(!cursor.isNull());
        int hotspot[2] = {};
        QVERIFY(ParseIntList(cursor.text("hotspot").toStdString(), hotspot, 2));
        QVERIFY(cursor.rect().contains(hotspot[0], hotspot[1]));

        // The busy animation: several frames that decode.
        std::optional<QByteArray> gif = FindResource(res::kTypeGif, res::kGifBusy);
        QVERIFY(gif && gif->startsWith("GIF89a"));
        QBuffer buffer(&*gif);
        QImageReader reader(&buffer, "gif");
        QVERIFY(reader.imageCount() >= 4);
        int frames = 0;
        QImage previous;
        for (QImage frame = reader.read(); !frame.isNull(); frame = reader.read(), ++frames) {
            QCOMPARE(frame.size(), QSize(32, 32));
            QVERIFY(frame != previous);  // it moves
            previous = frame;
        }
        QCOMPARE(frames, reader.imageCount());
    }
};

}  // namespace ambrel

QObject* MakeBundleTest() {
    return new ambrel::BundleTest;
}

#include "BundleTest.moc"
