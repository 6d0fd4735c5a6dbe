// The Network page against a simulated powerline network: the rows' texts
// and pictures, scrolling, the row hover and its button, the refresh
// button, the add-device dialog from the add button and from a row, and the
// no-device message.

#include <QApplication>
#include <QCursor>
#include <QLineEdit>
#include <QScrollBar>
#include <memory>

#include "AddRemDev.h"
#include "Network.h"
#include "NetworkRows.h"
#include "OrvikButton.h"
#include "OrvikStatic.h"
#include "RemDev.h"
#include "ResourceIds.h"
#include "WindowTestSupport.h"

namespace ambrel {
namespace {

QString RowText(const CNetwork& page, int row, int control) {
    return page.Row(row)->Text(control)->text();
}

QList<int> VisibleRows(const CNetwork& page) {
    QList<int> rows;
    for (int r = 0; r < CNetwork::kRows; ++r) {
        if (page.Row(r)->isVisible())
            rows << r;
    }
    return rows;
}

QList<int> Range(int first, int last) {
    QList<int> rows;
    for (int r = first; r <= last; ++r)
        rows << r;
    return rows;
}

}  // namespace

class NetworkPageTest : public QObject {
    Q_OBJECT
private:
    std::unique_ptr<test::WindowWorld> world_;
    std::unique_ptr<QWidget> host_;
    CNetwork* page_ = nullptr;

    // The page in a window of its own, shown and activated as the main
    // window does it.
    CNetwork& Open() {
        host_ = std::make_unique<QWidget>();
        host_->resize(640, 400);
        page_ = new CNetwork(host_.get());
        page_->setGeometry(10, 0, 620, 388);
        page_->Initialise();
        host_->show();
        SendWindowMessage(page_, kWmActivate);
        return *page_;
    }
    // Puts the pointer over (or away from) a row as a mouse would.
    static void PointAt(CRemDev& row, bool inside) {
        const QPoint local = inside ? row.rect().center() : QPoint(-200, -200);
        QCursor::setPos(row.mapToGlobal(local));
        if (inside)
            QTest::mouseMove(&row, local);
    }

private slots:
    void init() { world_ = std::make_unique<test::WindowWorld>(); }
    void cleanup() {
        DialogWindow::SetModalHook(nullptr);
        host_.reset();
        page_ = nullptr;
        world_.reset();
    }

    void rowsShowNamesPasswordsRatesAndMacs() {
        world_->AttachNetwork({151, 0, 151, 151, 151, 151, 151, 151, 151, 75});
        RememberListedDevice(test::StationMac(3), u"Kitchen", u"ABCD-EFGH-IJKL-MNOP");
        const int office =
            RememberListedDevice(test::StationMac(4), u"Office", u"WXYZ-WXYZ-WXYZ-WXYZ");
        SetRememberedResult(office, true);
        CNetwork& page = Open();

        QCOMPARE(page.ListedCount(), 10);
        QCOMPARE(VisibleRows(page), Range(0, 6));
        struct Expected {
            int row;
            const char* name;
            const char* password;
            const char* rate;
        };
        const Expected rows[] = {
            {0, "Device1", "", "200 Mbps"},
            {1, "Device2", "", "    ?"},
            {2, "Kitchen", "Not:ABCD-EFGH-IJKL-MNOP", "200 Mbps"},
            {3, "Office", "WXYZ-WXYZ-WXYZ-WXYZ", "200 Mbps"},
            {4, "Device3", "", "200 Mbps"},
        };
        for (const Expected& row : rows) {
            QCOMPARE(RowText(page, row.row, CRemDev::kNameText), QString::fromLatin1(row.name));
            QCOMPARE(RowText(page, row.row, CRemDev::kPasswordText),
                     QString::fromLatin1(row.password));
            QCOMPARE(RowText(page, row.row, CRemDev::kRateText), QString::fromLatin1(row.rate));
            QCOMPARE(RowText(page, row.row, CRemDev::kMacText),
                     QStringLiteral("00:B0:52:40:01:%1").arg(row.row + 1, 2, 10, QLatin1Char('0')));
        }

        // The rows are stacked from the list top, and their texts are drawn.
        const int top = ReadLayoutInt(res::kIntListTop);
        const int height = LoadPngResource(res::kPngRowHover).height();
        QCOMPARE(page.Row(2)->geometry().topLeft(),
                 QPoint(ReadLayoutInt(res::kIntRowLeft), top + 2 * height));
        const QImage shot = page.grab().toImage();
        const QRect nameArea =
            page.Row(2)->Text(CRemDev::kNameText)->geometry().translated(page.Row(2)->pos());
        QVERIFY(!test::InkBox(shot.copy(nameArea), ReadLayoutColor(2200), 60).isEmpty());
    }

    // Remembered names are kept in the code page of the settings' language,
    // also when that language's bundle is missing and English stands in.
    void namesInTheSettingsCodePageUnderTheFallbackBundle() {
        TheAppSettings().langId = 2052;  // the bundle loaded is still 1033
        world_->AttachNetwork({151});
        RememberListedDevice(test::StationMac(1), u"\u5BA2\u5385", u"");
        CNetwork& page = Open();
        QCOMPARE(RowText(page, 0, CRemDev::kNameText), QStringLiteral("\u5BA2\u5385"));
    }

    void scrolling_data() {
        QTest::addColumn<int>("stations");
        QTest::addColumn<QList<int>>("actions");
        QTest::addColumn<QList<int>>("visible");
        QTest::addColumn<bool>("barEnabled");
        using S = QAbstractSlider;
        QTest::newRow("top") << 10 << QList<int>{} << Range(0, 6) << true;
        QTest::newRow("one line down")
            << 10 << QList<int>{S::SliderSingleStepAdd} << Range(1, 7) << true;
        QTest::newRow("page down") << 10 << QList<int>{S::SliderPageStepAdd} << Range(3, 9) << true;
        QTest::newRow("page down twice stops at the last rows")
            << 10 << QList<int>{S::SliderPageStepAdd, S::SliderPageStepAdd} << Range(4, 9) << true;
        QTest::newRow("line up at the top")
            << 10 << QList<int>{S::SliderSingleStepSub} << Range(0, 6) << true;
        QTest::newRow("down and page up")
            << 10 << QList<int>{S::SliderPageStepAdd, S::SliderSingleStepAdd, S::SliderPageStepSub}
            << Range(1, 7) << true;
        QTest::newRow("five devices do not scroll")
            << 5 << QList<int>{S::SliderPageStepAdd} << Range(0, 4) << false;
    }
    void scrolling() {
        QFETCH(int, stations);
        QFETCH(QList<int>, actions);
        QFETCH(QList<int>, visible);
        QFETCH(bool, barEnabled);
        world_->AttachNetwork(stations);
        CNetwork& page = Open();
        for (int action : actions)
            page.ScrollBar()->triggerAction(static_cast<QAbstractSlider::SliderAction>(action));
        QCOMPARE(VisibleRows(page), visible);
        QCOMPARE(page.ScrollBar()->isEnabled(), barEnabled);
        QVERIFY(page.ScrollBar()->isVisible());
        const int top = ReadLayoutInt(res::kIntListTop);
        QCOMPARE(page.Row(visible.front())->y(), top);
    }

    // The row button follows the hover in both naming styles.
    void rowButtonFollowsTheHover_data() {
        QTest::addColumn<int>("style");
        QTest::newRow("English names") << int(NamingStyle::English);
        QTest::newRow("Chinese names") << int(NamingStyle::Chinese);
    }
    void rowButtonFollowsTheHover() {
        QFETCH(int, style);
        world_->AttachNetwork(3);
        CNetwork& page = Open();
        CurrentNamingStyle() = static_cast<NamingStyle>(style);
        page.RefreshDevices();
        CRemDev& row = *page.Row(1);
        const QPoint probe(3, 3);
        const QColor plain = LoadPngResource(res::kPngRow).pixelColor(probe);
        const QColor hovered = LoadPngResource(res::kPngRowHover).pixelColor(probe);
        QVERIFY(plain != hovered);
        QVERIFY(!row.EditButton()->isVisible());
        QCOMPARE(row.grab().toImage().pixelColor(probe), plain);

        PointAt(row, true);
        QVERIFY(row.IsTimerRunning(CRemDev::kHoverTimer));
        row.PollHover();
        QVERIFY(row.IsHovered());
        QVERIFY(row.EditButton()->isVisible());
        QCOMPARE(row.grab().toImage().pixelColor(probe), hovered);
        QVERIFY(!page.Row(0)->EditButton()->isVisible());

        PointAt(row, false);
        row.PollHover();
        QVERIFY(!row.IsHovered() && row.MouseLeft());
        QVERIFY(!row.EditButton()->isVisible());
        QVERIFY(!row.IsTimerRunning(CRemDev::kHoverTimer));
        QCOMPARE(row.grab().toImage().pixelColor(probe), plain);

        // Laid out again under the pointer: plain until the next tick.
        PointAt(row, true);
        row.PollHover();
        SendWindowMessage(&page, WM_LAYOUT_ROWS, 0, 1);
        QVERIFY(!row.EditButton()->isVisible());
        row.PollHover();
        QVERIFY(row.EditButton()->isVisible());
        PointAt(row, false);
        row.PollHover();
    }

    void refreshButtonRescans() {
        plcsim::Network& network = world_->AttachNetwork(2);
        CNetwork& page = Open();
        test::WindowWorld::AddStation(network, 3);
        QTest::mouseClick(page.Control<COrvikButton>(CNetwork::kRefreshButton), Qt::LeftButton);
        QCOMPARE(page.ListedCount(), 3);
        QCOMPARE(RowText(page, 2, CRemDev::kNameText), QStringLiteral("Device3"));
        QVERIFY(!page.FindControl(CNetwork::kUnusedButton)->isVisible());
        QVERIFY(!page.FindControl(CNetwork::kSecondRefreshButton)->isVisible());
    }

    // The add button and a row's button run the dialog modally with the
    // refreshes held off; cancelling asks for no refresh.
    void addDeviceDialogFromTheAddButtonAndARow_data() {
        QTest::addColumn<int>("row");  // -1: the add button
        QTest::newRow("add button: new-device mode") << -1;
        QTest::newRow("row button: remote-device mode") << 1;
    }
    void addDeviceDialogFromTheAddButtonAndARow() {
        QFETCH(int, row);
        plcsim::Network& network = world_->AttachNetwork(2);
        CNetwork& page = Open();
        test::WindowWorld::AddStation(network, 3);

        bool opened = false;
        int flagWhileOpen = 0;
        uint32_t mode = 99;
        QString nameShown;
        int listedWhileOpen = 0;
        DialogWindow::SetModalHook([&](DialogWindow& dialog) {
            auto* addDevice = dynamic_cast<CAddRemDev*>(&dialog);
            if (addDevice == nullptr)
                return;
            opened = true;
            flagWhileOpen = DeviceDialogOpen();
            mode = TheDeviceModel().setKeyByPassword;
            if (auto* name = addDevice->Control<QLineEdit>(CAddRemDev::kNameEdit))
                nameShown = name->text();
            SendWindowMessage(&page, WM_REFRESH_DEVICES);
            listedWhileOpen = page.ListedCount();
            SendWindowMessage(addDevice, kWmCommand, CAddRemDev::kCancelButton);
        });
        if (row < 0) {
            QTest::mouseClick(page.Control<COrvikButton>(CNetwork::kAddButton), Qt::LeftButton);
        } else {
            CRemDev& listed = *page.Row(row);
            PointAt(listed, true);
            listed.PollHover();
            QTest::mouseClick(listed.EditButton(), Qt::LeftButton);
            PointAt(listed, false);
            listed.PollHover();
        }
        QVERIFY(opened);
        QCOMPARE(flagWhileOpen, 1);
        QCOMPARE(mode, row < 0 ? 1u : 0u);
        QCOMPARE(nameShown, row < 0 ? QString() : QStringLiteral("Device%1").arg(row + 1));
        QCOMPARE(listedWhileOpen, 2);
        QCOMPARE(DeviceDialogOpen(), 0);
        QCOMPARE(page.ListedCount(), 2);
    }

    void withoutALocalDeviceEveryRefreshSaysSo() {
        CNetwork& page = Open();
        QCOMPARE(world_->AskedTexts(), QStringList({LoadUiString(res::kTextNoLocalDevice)}));
        QCOMPARE(world_->asked.front().style, kMsgOk | kMsgIconError);
        QVERIFY(VisibleRows(page).isEmpty());
        QVERIFY(!page.ScrollBar()->isEnabled());
        page.RefreshDevices();
        QCOMPARE(world_->asked.size(), size_t{2});

        // Told once already: the next refresh stays quiet, the one after not.
        page.SkipNextNoDeviceMessage();
        page.RefreshDevices();
        page.RefreshDevices();
        QCOMPARE(world_->asked.size(), size_t{3});
    }
};

}  // namespace ambrel

QTEST_MAIN(ambrel::NetworkPageTest)
#include "NetworkPageTest.moc"
