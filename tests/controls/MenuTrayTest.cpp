// The owner-drawn menu and the tray icon: loading from a template, texts set
// through sub-menus, measuring and colours of the items, the tip of the icon
// and its clicks as the owner's message. The offscreen platform has no
// system tray, which is also the case the programs must survive.

#include <QFile>
#include <QSystemTrayIcon>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <tuple>
#include <utility>
#include <vector>

#include "BCMenu.h"
#include "ControlsTestSupport.h"
#include "PlcTray.h"
#include "ResourceBundle.h"
#include "WindowMessage.h"

namespace ambrel {

namespace {

constexpr int kShow = 32775;
constexpr int kAbout = 32777;
constexpr int kExit = 32774;
constexpr int kHelp = 32790;

// Menu 234 as the programs use it, with a nested popup and an item that
// occurs in two places.
constexpr char kTemplates[] =
    "menu 234\n"
    "  popup 400\n"
    "    item 32775 200\n"
    "    popup 410\n"
    "      item 32777 202\n"
    "      item 32790 203\n"
    "    end\n"
    "    separator\n"
    "    item 32774 201\n"
    "  end\n"
    "  item 32790 203\n";

constexpr char kStrings[] = "200=Show\n201=Exit\n202=About\n203=Help\n400=Tray\n410=More\n";

QStringList Texts(const QMenu& menu) {
    QStringList texts;
    for (const QAction* action : menu.actions())
        texts << (action->isSeparator() ? QStringLiteral("-") : action->text());
    return texts;
}

// What a recorder window received, as (message, wParam, lParam).
std::vector<std::tuple<uint32_t, WParam, LParam>> Messages(const test::MessageRecorder& window) {
    std::vector<std::tuple<uint32_t, WParam, LParam>> messages;
    for (const test::ReceivedMessage& message : window.received)
        messages.emplace_back(message.message, message.wParam, message.lParam);
    return messages;
}

}  // namespace

class MenuTrayTest : public QObject {
    Q_OBJECT
private:
    QTemporaryDir dir_;

private slots:
    void initTestCase() {
        const std::pair<const char*, const char*> files[] = {{"dialogs.txt", kTemplates},
                                                             {"strings.txt", kStrings}};
        for (const auto& [name, text] : files) {
            QFile file(dir_.filePath(QString::fromLatin1(name)));
            QVERIFY(file.open(QIODevice::WriteOnly));
            file.write(text);
        }
        UseBuiltInResources(dir_.path(), 0);
        BCMenu::SetMenuDrawMode(MenuDrawMode::Flat);
    }
    void cleanupTestCase() { UnloadResourceBundle(); }

    void loadMenu() {
        BCMenu menu;
        QVERIFY(!menu.LoadMenu(999));
        QVERIFY(menu.actions().isEmpty());

        QVERIFY(menu.LoadMenu(QStringLiteral("#234")));
        QCOMPARE(Texts(menu), QStringList({"Tray", "Help"}));
        BCMenu* popup = menu.GetSubMenu(0);
        QVERIFY(popup);
        QVERIFY(!menu.GetSubMenu(1));
        QCOMPARE(Texts(*popup), QStringList({"Show", "More", "-", "Exit"}));
        QVERIFY(popup->GetSubMenu(1));
        QCOMPARE(Texts(*popup->GetSubMenu(1)), QStringList({"About", "Help"}));
        for (const auto& item : popup->Items())
            QVERIFY(item->flags & kMenuOwnerDraw);
        QCOMPARE(popup->Items()[0]->commandId, kShow);
        QCOMPARE(popup->Items()[0]->iconIndex, -1);
    }

    // Texts set at run time reach every item with the command id, however
    // deep; a command the menu lacks is appended to the menu it was set on.
    void modifyReachesSubMenus_data() {
        QTest::addColumn<int>("commandId");
        QTest::addColumn<QStringList>("top");
        QTest::addColumn<QStringList>("popup");
        QTest::addColumn<QStringList>("nested");
        QTest::newRow("in the popup")
            << kShow << QStringList{"Tray", "Help"} << QStringList{"New", "More", "-", "Exit"}
            << QStringList{"About", "Help"};
        QTest::newRow("in the nested popup only")
            << kAbout << QStringList{"Tray", "Help"} << QStringList{"Show", "More", "-", "Exit"}
            << QStringList{"New", "Help"};
        QTest::newRow("top level and nested popup")
            << kHelp << QStringList{"Tray", "New"} << QStringList{"Show", "More", "-", "Exit"}
            << QStringList{"About", "New"};
        QTest::newRow("nowhere: appended")
            << 40000 << QStringList{"Tray", "Help", "New"}
            << QStringList{"Show", "More", "-", "Exit"} << QStringList{"About", "Help"};
    }
    void modifyReachesSubMenus() {
        QFETCH(int, commandId);
        QFETCH(QStringList, top);
        QFETCH(QStringList, popup);
        QFETCH(QStringList, nested);
        BCMenu menu;
        QVERIFY(menu.LoadMenu(234));
        QVERIFY(menu.ModifyODMenu(QStringLiteral("New"), commandId));
        QCOMPARE(Texts(menu), top);
        QCOMPARE(Texts(*menu.GetSubMenu(0)), popup);
        QCOMPARE(Texts(*menu.GetSubMenu(0)->GetSubMenu(1)), nested);
        const BCMenuData* item = menu.FindItem(commandId);
        QVERIFY(item);
        QCOMPARE(item->text, QStringLiteral("New"));
        QVERIFY(item->flags & kMenuOwnerDraw);
    }

    // Each right-click loads the menu anew and sets its texts again.
    void reloadedForEveryClick() {
        CPlcTray tray;
        for (const QString& text : {QStringLiteral("Open"), QStringLiteral("Restore")}) {
            QVERIFY(tray.LoadMenu(234));
            tray.ModifyODMenu(text, kShow);
            QCOMPARE(Texts(*tray.GetSubMenu(0)), QStringList({text, "More", "-", "Exit"}));
            tray.DestroyMenu();
            QVERIFY(tray.actions().isEmpty());
            QVERIFY(!tray.FindItem(kShow));
        }
    }

    // The tray menu is tracked at the cursor; the choice comes back and
    // reaches the owner as a command.
    void trackPopupMenu() {
        test::MessageRecorder window;
        CPlcTray tray;
        QVERIFY(tray.LoadMenu(234));
        BCMenu* popup = tray.GetSubMenu(0);
        QTimer::singleShot(0, popup, [popup] {
            QTest::keyClick(popup, Qt::Key_Down);
            QTest::keyClick(popup, Qt::Key_Return);
        });
        QCOMPARE(popup->TrackPopupMenu(QPoint(40, 40), &window), kShow);
        QCoreApplication::processEvents();
        const std::vector<std::tuple<uint32_t, WParam, LParam>> expected{
            {uint32_t(kWmCommand), WParam(kShow), LParam(0)}};
        QVERIFY(Messages(window) == expected);
    }

    void measureItem_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("separator");
        QTest::addColumn<int>("boldId");
        QTest::newRow("separator") << QString() << true << 0;
        QTest::newRow("text") << QStringLiteral("Show window") << false << 0;
        QTest::newRow("bold item, measured at normal weight")
            << QStringLiteral("Show window") << false << kShow;
        QTest::newRow("empty text") << QString() << false << 0;
        QTest::newRow("mnemonic") << QStringLiteral("E&xit") << false << 0;
    }
    void measureItem() {
        QFETCH(QString, text);
        QFETCH(bool, separator);
        QFETCH(int, boldId);
        BCMenu menu;
        menu.SetBoldItemId(boldId);
        menu.ModifyODMenu(text, kShow);
        BCMenuData data = *menu.FindItem(kShow);
        if (separator)
            data.flags |= kMenuSeparator;

        QFont font(QStringLiteral("Arial"));
        font.setStyleHint(QFont::SansSerif);
        font.setPixelSize(12);
        font.setWeight(QFont::Normal);
        const QString shown = QString(text).remove(u'&');
        const QSize expected =
            separator ? QSize(0, 10) : QSize(QFontMetrics(font).horizontalAdvance(shown) + 33, 20);
        QCOMPARE(menu.MeasureItem(data), expected);
        // The menu lays its items out at the measured height, wide enough
        // for the text drawn in bold.
        if (!separator) {
            QCOMPARE(menu.actionGeometry(data.action).height(), expected.height());
            font.setWeight(QFont::Bold);
            QVERIFY(menu.actionGeometry(data.action).width() >=
                    QFontMetrics(font).horizontalAdvance(shown) + 33);
        }
    }

    void itemFonts() {
        BCMenu menu;
        QCOMPARE(menu.ItemFont(kShow).weight(), QFont::Medium);
        menu.SetBoldItemId(kShow);
        QCOMPARE(menu.ItemFont(kShow).weight(), QFont::Bold);
        QCOMPARE(menu.ItemFont(kExit).weight(), QFont::Medium);
        QCOMPARE(menu.ItemFont(kShow).pixelSize(), 12);
    }

    // Pixels of a drawn menu in the flat style: the selected first item, an
    // unselected item and the icon column, for a menu colour equal to the
    // face colour and for a different one.
    void flatColours_data() {
        QTest::addColumn<QColor>("menuColour");
        QTest::addColumn<QColor>("face");
        QTest::addColumn<QColor>("itemBackground");
        QTest::addColumn<QColor>("column");
        QTest::addColumn<QColor>("selected");
        // 240 + 15 * 0.35 = 245.25; highlight lightened by 0.85 and by 0.7.
        QTest::newRow("menu colour is the face colour")
            << QColor(240, 240, 240) << QColor(240, 240, 240) << QColor(255, 255, 255)
            << QColor(245, 245, 245) << QColor(216, 234, 249);
        QTest::newRow("menu colour differs")
            << QColor(250, 250, 250) << QColor(200, 200, 200) << QColor(250, 250, 250)
            << QColor(200, 200, 200) << QColor(178, 214, 243);
    }
    void flatColours() {
        QFETCH(QColor, menuColour);
        QFETCH(QColor, face);
        QFETCH(QColor, itemBackground);
        QFETCH(QColor, column);
        QFETCH(QColor, selected);
        BCMenu menu;
        QPalette colours = menu.palette();
        colours.setColor(QPalette::Window, menuColour);
        colours.setColor(QPalette::Base, QColor(255, 255, 255));
        colours.setColor(QPalette::Button, face);
        colours.setColor(QPalette::Highlight, QColor(0, 120, 215));
        menu.setPalette(colours);
        QVERIFY(menu.LoadMenu(234));
        BCMenu* popup = menu.GetSubMenu(0);
        popup->setPalette(colours);
        popup->setActiveAction(popup->actions()[0]);
        const QImage shown = popup->grab().toImage();

        const QRect first = popup->actionGeometry(popup->actions()[0]);
        const QRect last = popup->actionGeometry(popup->actions()[3]);
        const QRect separator = popup->actionGeometry(popup->actions()[2]);
        QCOMPARE(QColor(shown.pixel(first.right() - 2, first.center().y())), selected);
        QCOMPARE(QColor(shown.pixel(first.right(), first.center().y())), QColor(0, 120, 215));
        QCOMPARE(QColor(shown.pixel(last.right() - 2, last.center().y())), itemBackground);
        QCOMPARE(QColor(shown.pixel(last.left() + 3, last.center().y())), column);
        QCOMPARE(QColor(shown.pixel(separator.left() + 3, separator.top())), column);
    }

    void tipCutTo127_data() {
        QTest::addColumn<QString>("title");
        QTest::addColumn<QString>("tip");
        const QString a127(127, u'a');
        QTest::newRow("empty") << QString() << QString();
        QTest::newRow("126") << QString(126, u'a') << QString(126, u'a');
        QTest::newRow("127 shown whole") << a127 << a127;
        QTest::newRow("128") << a127 + u'b' << a127;
        QTest::newRow("300") << QString(300, u'x') << QString(127, u'x');
        // A character outside the basic plane is never cut in half.
        const QString clef = QString::fromUtf8("\xF0\x9D\x84\x9E");
        QTest::newRow("surrogate pair across the end")
            << QString(126, u'a') + clef << QString(126, u'a');
        QTest::newRow("surrogate pair before the end")
            << QString(125, u'a') + clef + u'z' << QString(125, u'a') + clef;
    }
    void tipCutTo127() {
        QFETCH(QString, title);
        QFETCH(QString, tip);
        test::MessageRecorder window;
        CPlcTray tray;
        const QIcon icon(QPixmap(16, 16));
        // Offscreen has no notification area: reported, not fatal.
        QCOMPARE(tray.AddTrayIcon(title, &window, icon), QSystemTrayIcon::isSystemTrayAvailable());
        const NotifyIconData& data = tray.IconData();
        QCOMPARE(data.tip, tip);
        QCOMPARE(tray.TrayIcon().toolTip(), tip);
        QCOMPARE(data.size, 956u);
        QCOMPARE(data.flags, 7u);
        QCOMPARE(data.callbackMessage, 0x1425u);
        QCOMPARE(data.id, 234u);
        QCOMPARE(data.window.data(), static_cast<QWidget*>(&window));

        tray.ModifyTrayIcon(title + title, icon);
        QVERIFY(tray.IconData().tip.size() <= 127);
    }

    // A click on the icon reaches the window as WM_TRAY_NOTIFY with the icon
    // id in wParam and the mouse message in lParam.
    void trayEvents_data() {
        QTest::addColumn<int>("reason");
        QTest::addColumn<int>("mouseMessage");  // 0: no message
        QTest::newRow("left click") << int(QSystemTrayIcon::Trigger) << 0x0202;
        QTest::newRow("right click") << int(QSystemTrayIcon::Context) << 0x0205;
        QTest::newRow("double click") << int(QSystemTrayIcon::DoubleClick) << 0x0203;
        QTest::newRow("middle click") << int(QSystemTrayIcon::MiddleClick) << 0x0208;
        QTest::newRow("unknown") << int(QSystemTrayIcon::Unknown) << 0;
    }
    void trayEvents() {
        QFETCH(int, reason);
        QFETCH(int, mouseMessage);
        test::MessageRecorder window;
        CPlcTray tray;
        tray.AddTrayIcon(QStringLiteral("Corvix"), &window, QIcon(), CPlcTray::kCorvixIconId);
        emit tray.TrayIcon().activated(static_cast<QSystemTrayIcon::ActivationReason>(reason));
        std::vector<std::tuple<uint32_t, WParam, LParam>> expected;
        if (mouseMessage != 0)
            expected.emplace_back(0x1425u, WParam(159), LParam(mouseMessage));
        QVERIFY(Messages(window) == expected);
    }

    // Clicks before the icon is added, after it is deleted, or without a
    // window go nowhere.
    void trayEventsWithoutOwner() {
        test::MessageRecorder window;
        CPlcTray tray;
        emit tray.TrayIcon().activated(QSystemTrayIcon::Context);
        tray.AddTrayIcon(QStringLiteral("Ambrel"), nullptr, QIcon());
        emit tray.TrayIcon().activated(QSystemTrayIcon::Context);
        tray.AddTrayIcon(QStringLiteral("Ambrel"), &window, QIcon());
        tray.DeleteTrayIcon();
        emit tray.TrayIcon().activated(QSystemTrayIcon::Context);
        QVERIFY(window.received.empty());
    }
};

}  // namespace ambrel

QTEST_MAIN(ambrel::MenuTrayTest)
#include "MenuTrayTest.moc"
