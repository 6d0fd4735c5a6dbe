// Renders the message box (a message and the close question), the
// add-device dialog (input, working and outcome forms) and the About dialog
// into one picture, for the documentation:
//
//   QT_QPA_PLATFORM=offscreen pages_dialog_screenshots docs/dialogs.png [language]

#include <QApplication>
#include <QLineEdit>
#include <QtTest>
#include <vector>

#include "About.h"
#include "AddRemDev.h"
#include "PagesTestSupport.h"
#include "ResourceIds.h"
#include "ScreenshotSheet.h"

namespace ambrel {
namespace {

using test::Grab;
using test::Shot;

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

    test::HeldReports held;
    SendWindowMessage(&dialog, kWmCommand, CAddRemDev::kOkButton);
    (void)held.WaitForReport();
    QTest::qWait(300);  // a few frames of the animation
    if (succeed)
        shots.push_back({QStringLiteral("Add-device dialog: working"), Grab(dialog)});
    held.Release();
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
    const test::ToolArguments arguments =
        test::ReadToolArguments(argc, argv, "pages_dialog_screenshots <output.png> [language]");
    if (arguments.failure != 0)
        return arguments.failure;
    TheAppSettings().langId = arguments.language;

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

    return test::SaveSheet(shots, 2, arguments.output) ? 0 : 1;
}
