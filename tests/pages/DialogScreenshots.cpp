// Renders the message box (a message and the close question), the
// add-device dialog (input, working and outcome forms) and the About dialog
// into one picture, for the documentation:
//
//   QT_QPA_PLATFORM=offscreen pages_dialog_screenshots docs/dialogs.png [language]

#include <QApplication>
#include <QLineEdit>
#include <QPainter>
#include <QtTest>
#include <future>
#include <vector>

#include "About.h"
#include "AddRemDev.h"
#include "PagesTestSupport.h"
#include "ResourceIds.h"

namespace ambrel {
namespace {

struct Shot {
    QString caption;
    QImage picture;
};

// The window as the screen shows it: the rounded region leaves the corners out.
QImage Grab(QWidget& window) {
    QImage picture = window.grab().toImage().convertToFormat(QImage::Format_ARGB32);
    const QRegion mask = window.mask();
    if (mask.isEmpty())
        return picture;
    for (int y = 0; y < picture.height(); ++y) {
        for (int x = 0; x < picture.width(); ++x) {
            if (!mask.contains(QPoint(x, y)))
                picture.setPixelColor(x, y, Qt::transparent);
        }
    }
    return picture;
}

QImage GrabMessageBox(const std::function<int()>& show) {
    QImage picture;
    DialogWindow::SetModalHook([&picture](DialogWindow& dialog) {
        picture = Grab(dialog);
        auto& box = static_cast<CPlcMsgBox&>(dialog);
        box.CloseFromOutside();
    });
    show();
    DialogWindow::SetModalHook(nullptr);
    return picture;
}

// Holds the worker's report, so the working form can be taken.
class HeldReports final : public ReportSink {
public:
    HeldReports() { SetReportSink(this); }
    ~HeldReports() override { SetReportSink(nullptr); }
    void Send(WindowHandle window, ResultMessage message, WParam wParam, LParam lParam) override {
        arrived.set_value();
        release.get_future().wait();
        WindowReportSink().Send(window, message, wParam, lParam);
    }
    std::promise<void> arrived;
    std::promise<void> release;
};

std::vector<Shot> AddDeviceShots(bool succeed) {
    std::vector<Shot> shots;
    test::SimulatedDevices devices;
    test::MessageBoxRecorder boxes;
    devices.AddStation(test::StationMac(1), "ABCD-EFGH-IJKL-MNOP");
    test::SimulatedDevices::List(test::StationMac(1), "Device1");
    test::NetworkPageStub page;
    TheDeviceModel().setKeyByPassword = 1;
    DeviceDialogOpen() = 1;
    CAddRemDev dialog(&page, nullptr, -1);
    dialog.show();
    dialog.Control<QLineEdit>(CAddRemDev::kNameEdit)->setText(QStringLiteral("Living room"));
    dialog.Control<QLineEdit>(CAddRemDev::kPasswordEdit)
        ->setText(succeed ? QStringLiteral("ABCD-EFGH-IJKL-MNOP")
                          : QStringLiteral("ZZZZ-ZZZZ-ZZZZ-ZZZZ"));
    if (succeed)
        shots.push_back({QStringLiteral("Add-device dialog"), Grab(dialog)});

    HeldReports held;
    std::future<void> arrived = held.arrived.get_future();
    SendWindowMessage(&dialog, kWmCommand, CAddRemDev::kOkButton);
    (void)QTest::qWaitFor(
        [&]() { return arrived.wait_for(std::chrono::seconds(0)) == std::future_status::ready; },
        20000);
    QTest::qWait(300);  // a few frames of the animation
    if (succeed)
        shots.push_back({QStringLiteral("Add-device dialog: working"), Grab(dialog)});
    held.release.set_value();
    (void)QTest::qWaitFor([&]() { return !dialog.IsJoinRunning(); }, 20000);
    shots.push_back({succeed ? QStringLiteral("Add-device dialog: joined")
                             : QStringLiteral("Add-device dialog: failed"),
                     Grab(dialog)});
    return shots;
}

}  // namespace
}  // namespace ambrel

int main(int argc, char** argv) {
    using namespace ambrel;
    QApplication app(argc, argv);
    if (argc < 2) {
        qWarning("usage: pages_dialog_screenshots <output.png> [language]");
        return 2;
    }
    const int language = argc > 2 ? QString::fromLocal8Bit(argv[2]).toInt() : 1033;
    if (!test::LoadTestBundle(language)) {
        qWarning("no language bundle %d", language);
        return 1;
    }
    TheAppSettings().langId = language;

    std::vector<Shot> shots;
    shots.push_back({QStringLiteral("Message box: information"),
                     GrabMessageBox([]() { return ShowMessage(LoadUiString(3005), kMsgOk); })});
    shots.push_back({QStringLiteral("Message box: error"), GrabMessageBox([]() {
                         return ShowMessage(res::kTextNoLocalDevice, kMsgIconError);
                     })});
    shots.push_back({QStringLiteral("Message box: the close question"),
                     GrabMessageBox([]() { return AskMessage(LoadUiString(155), kMsgOkCancel); })});
    for (bool succeed : {true, false}) {
        for (Shot& shot : AddDeviceShots(succeed))
            shots.push_back(std::move(shot));
    }
    {
        CAbout about;
        about.show();
        shots.push_back({QStringLiteral("About"), Grab(about)});
    }

    // Two columns of pictures with their captions on a neutral ground.
    constexpr int kMargin = 24;
    constexpr int kCaption = 28;
    int columnWidth = 0;
    for (const Shot& shot : shots)
        columnWidth = std::max(columnWidth, shot.picture.width());
    std::vector<int> rowHeights;
    for (size_t i = 0; i < shots.size(); i += 2) {
        int height = shots[i].picture.height();
        if (i + 1 < shots.size())
            height = std::max(height, shots[i + 1].picture.height());
        rowHeights.push_back(height + kCaption);
    }
    int total = kMargin;
    for (int height : rowHeights)
        total += height + kMargin;
    QImage sheet(2 * columnWidth + 3 * kMargin, total, QImage::Format_ARGB32);
    sheet.fill(QColor(0xE9, 0xEC, 0xF0));
    QPainter painter(&sheet);
    QFont font(QStringLiteral("DejaVu Sans"));
    font.setPixelSize(14);
    font.setBold(true);
    painter.setFont(font);
    painter.setPen(QColor(0x33, 0x3A, 0x44));
    int y = kMargin;
    for (size_t i = 0; i < shots.size(); ++i) {
        const int column = static_cast<int>(i % 2);
        const int x = kMargin + column * (columnWidth + kMargin);
        painter.drawText(QPoint(x, y + 18), shots[i].caption);
        painter.drawImage(QPoint(x, y + kCaption), shots[i].picture);
        if (column == 1 || i + 1 == shots.size())
            y += rowHeights[i / 2] + kMargin;
    }
    painter.end();
    if (!sheet.save(QString::fromLocal8Bit(argv[1]))) {
        qWarning("could not write %s", argv[1]);
        return 1;
    }
    return 0;
}
