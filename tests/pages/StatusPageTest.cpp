// The Status page against a simulated local device: the values it shows for
// both generations, the three networks, the check box, the name length rule
// in ANSI bytes for both code pages, Enter, the refresh button, the reset
// dialog run for a new name, and timer 4 with its skip rules.

#include <QCheckBox>
#include <QLineEdit>
#include <QtTest>
#include <memory>

#include "AnsiText.h"
#include "CodePage.h"
#include "LocalDeviceWorld.h"
#include "OrvikButton.h"
#include "OrvikStatic.h"
#include "ReSetLocalDev.h"
#include "ResourceBundle.h"
#include "Status.h"

namespace ambrel {
namespace {

constexpr char kHomeNetwork[] = "HomeNet";
const QString kDefaultPassword = QStringLiteral("HomePlugAV");

void Click(QWidget* control) {
    QTest::mouseClick(control, Qt::LeftButton, {}, control->rect().center());
}

QString Repeat(const QString& piece, int times) {
    QString text;
    for (int i = 0; i < times; ++i)
        text += piece;
    return text;
}

// What the reset dialog was opened with.
struct OpenedDialog {
    bool opened = false;
    CreSetLocalDev::Caller caller{};
    CreSetLocalDev::Mode mode{};
    QString pending;
    std::string keyRequestName;
};

}  // namespace

class StatusPageTest : public QObject {
    Q_OBJECT
private:
    std::unique_ptr<test::LocalDeviceWorld> world_;
    std::unique_ptr<test::HostedPage<CStatus>> page_;

    CStatus& Open(plcsim::DeviceConfig local, const std::string& networkName = kHomeNetwork) {
        world_ = std::make_unique<test::LocalDeviceWorld>(std::move(local));
        [&] { QVERIFY(world_->StartUp(networkName)); }();
        page_ = std::make_unique<test::HostedPage<CStatus>>();
        page_->Activate();
        return **page_;
    }
    // Records the reset dialog and cancels it before Start.
    static void CancelResetDialog(OpenedDialog& seen) {
        DialogWindow::SetModalHook([&seen](DialogWindow& window) {
            auto* dialog = dynamic_cast<CreSetLocalDev*>(&window);
            QVERIFY(dialog != nullptr);
            seen.opened = true;
            seen.caller = dialog->GetCaller();
            seen.mode = dialog->GetMode();
            seen.pending = PendingNetworkName();
            seen.keyRequestName = std::string(FieldText(TheDeviceModel().keyRequest.networkName));
            Click(dialog->FindControl(CreSetLocalDev::kCancelButton));
        });
    }

private slots:
    void initTestCase() { QVERIFY(test::LoadTestBundle()); }
    void cleanup() {
        DialogWindow::SetModalHook(nullptr);
        page_.reset();
        world_.reset();
        QVERIFY(test::LoadTestBundle());
    }

    void showsTheLocalDevice_data() {
        QTest::addColumn<int>("deviceId");
        QTest::addColumn<QString>("firmware");
        QTest::addColumn<QString>("chip");
        QTest::addColumn<QString>("chipAndFirmware");
        QTest::newRow("first generation") << 2 << "INT6300-MAC-4-1-4102-00-3679-20090724-FINAL-B"
                                          << "INT6300"
                                          << "INT6300-4-1-4102-00-3679-20090724-FINAL-B";
        QTest::newRow("second generation") << 0x20 << "MAC-QCA7420-1.1.0.844-04-20140321-CS"
                                           << "500A"
                                           << "500A-1.1.0.844-04-20140321-CS";
        QTest::newRow("version of eleven characters") << 2 << "INT6300-MAC"
                                                      << "INT6300"
                                                      << "INT6300";
    }
    void showsTheLocalDevice() {
        QFETCH(int, deviceId);
        QFETCH(QString, firmware);
        QFETCH(QString, chip);
        QFETCH(QString, chipAndFirmware);
        CStatus& page = Open(test::LocalDevice(static_cast<uint8_t>(deviceId), std::nullopt,
                                               firmware.toStdString()));

        QCOMPARE(page.ValueText(CStatus::kMacValue), QStringLiteral("00:B0:52:12:34:56"));
        const auto password = DefaultDevicePassword(test::kLocalMac);
        QCOMPARE(page.ValueText(CStatus::kPasswordValue),
                 QString::fromLatin1(password.data(), password.size()));
        QCOMPARE(FieldText(TheDeviceModel().localDevice.password),
                 std::string_view(password.data(), password.size()));
        QCOMPARE(page.ValueText(CStatus::kSoftwareValue), LoadUiString(res::kTextDeviceFoundValue));
        QCOMPARE(page.ValueText(CStatus::kChipValue), chip);
        QCOMPARE(page.ValueText(CStatus::kFirmwareValue), chipAndFirmware);
        QVERIFY(page.IsTimerRunning(CStatus::kRefreshTimer));
    }

    void showsTheNetwork_data() {
        QTest::addColumn<QString>("deviceNetwork");  // empty: the default network
        QTest::addColumn<QString>("shown");
        QTest::addColumn<bool>("defaultTicked");
        QTest::newRow("default network") << "" << kDefaultPassword << true;
        QTest::newRow("the user's network") << kHomeNetwork << kHomeNetwork << false;
        QTest::newRow("another network") << "Neighbours"
                                         << "Unknown" << false;
    }
    void showsTheNetwork() {
        QFETCH(QString, deviceNetwork);
        QFETCH(QString, shown);
        QFETCH(bool, defaultTicked);
        std::optional<std::string> network;
        if (!deviceNetwork.isEmpty())
            network = deviceNetwork.toStdString();
        CStatus& page = Open(test::LocalDevice(2, network));

        QCOMPARE(page.ValueText(CStatus::kNetworkValue), shown);
        QCOMPARE(page.NameEdit()->text(), shown);
        QCOMPARE(page.DefaultNetworkBox()->isChecked(), defaultTicked);
        QCOMPARE(page.NameEdit()->isEnabled(), !defaultTicked);
    }

    void checkBoxFillsOrEmptiesTheName() {
        CStatus& page = Open(test::LocalDevice(2, std::string(kHomeNetwork)));
        QCheckBox* box = page.DefaultNetworkBox();
        QVERIFY(!box->isChecked());

        Click(box);
        QCOMPARE(page.NameEdit()->text(), kDefaultPassword);
        QVERIFY(!page.NameEdit()->isEnabled());
        Click(box);
        QCOMPARE(page.NameEdit()->text(), QString());
        QVERIFY(page.NameEdit()->isEnabled());
    }

    // 4 to 23 bytes in the code page of the language: Windows-1252 for
    // English, GBK (two bytes a Chinese character) for Chinese.
    void nameLengthRule_data() {
        QTest::addColumn<int>("language");
        QTest::addColumn<QString>("name");
        QTest::addColumn<bool>("accepted");
        const QString han = QStringLiteral("\u7F51");  // two bytes in GBK
        QTest::newRow("en, 3 bytes") << 1033 << "abc" << false;
        QTest::newRow("en, 4 bytes") << 1033 << "abcd" << true;
        QTest::newRow("en, 23 bytes") << 1033 << Repeat("n", 23) << true;
        QTest::newRow("en, 24 bytes") << 1033 << Repeat("n", 24) << false;
        QTest::newRow("en, 4 accented letters, 4 bytes")
            << 1033 << Repeat(QStringLiteral("\u00E9"), 4) << true;
        QTest::newRow("en, Chinese is not in the code page") << 1033 << Repeat(han, 4) << false;
        QTest::newRow("gbk, 1 character and 1 letter: 3 bytes") << 2052 << han + "a" << false;
        QTest::newRow("gbk, 2 characters: 4 bytes") << 2052 << Repeat(han, 2) << true;
        QTest::newRow("gbk, 11 characters and 1 letter: 23 bytes")
            << 2052 << Repeat(han, 11) + "a" << true;
        QTest::newRow("gbk, 12 characters: 24 bytes") << 2052 << Repeat(han, 12) << false;
        QTest::newRow("gbk, the default network password") << 2052 << kDefaultPassword << true;
    }
    void nameLengthRule() {
        QFETCH(int, language);
        QFETCH(QString, name);
        QFETCH(bool, accepted);
        QVERIFY(test::LoadTestBundle(language));
        CStatus& page = Open(test::LocalDevice(2, std::string(kHomeNetwork)));
        TheAppSettings().langId = language;
        OpenedDialog seen;
        CancelResetDialog(seen);

        page.NameEdit()->setText(name);
        Click(page.FindControl(CStatus::kApplyButton));

        QCOMPARE(seen.opened, accepted);
        if (accepted) {
            QVERIFY(world_->asked.empty());
            QCOMPARE(seen.caller, CreSetLocalDev::Caller::kStatusPage);
            QCOMPARE(seen.mode, CreSetLocalDev::Mode::kSetNetworkLocal);
            QCOMPARE(seen.pending, name);
            QCOMPARE(seen.keyRequestName, ToAnsi(name.toStdU16String(), language).value());
        } else {
            QCOMPARE(world_->AskedTexts(), QStringList{LoadUiString(4100)});
            QCOMPARE(world_->asked.front().style, kMsgIconError);
        }
    }

    void enterAppliesTheName() {
        CStatus& page = Open(test::LocalDevice(2, std::string(kHomeNetwork)));
        OpenedDialog seen;
        CancelResetDialog(seen);
        page.NameEdit()->setText(QStringLiteral("Upstairs"));
        QTest::keyClick(page.NameEdit(), Qt::Key_Return);
        QVERIFY(seen.opened);
        QCOMPARE(seen.pending, QStringLiteral("Upstairs"));
    }

    // Cancelling the reset dialog changes nothing: the device keeps its key
    // and the page keeps what the user typed.
    void cancelledDialogKeepsWhatWasTyped() {
        CStatus& page = Open(test::LocalDevice(2, std::nullopt));
        OpenedDialog seen;
        CancelResetDialog(seen);
        Click(page.DefaultNetworkBox());
        page.NameEdit()->setText(QStringLiteral("Upstairs"));
        Click(page.FindControl(CStatus::kApplyButton));
        QVERIFY(seen.opened);
        QVERIFY(world_->Local().NetworkKey() == kDefaultNetworkKey);
        QCOMPARE(page.NameEdit()->text(), QStringLiteral("Upstairs"));
        QVERIFY(!page.DefaultNetworkBox()->isChecked());
        QCOMPARE(page.ValueText(CStatus::kNetworkValue), QStringLiteral("HomePlugAV"));
    }

    // The name goes through the reset dialog to the device; the page then
    // shows the device on the user's new network.
    void applyingANameShowsTheNewNetwork() {
        CStatus& page = Open(test::LocalDevice(2, std::nullopt));
        QVERIFY(page.DefaultNetworkBox()->isChecked());
        int state = -1;
        DialogWindow::SetModalHook([&state](DialogWindow& window) {
            auto& dialog = static_cast<CreSetLocalDev&>(window);
            Click(dialog.FindControl(CreSetLocalDev::kStartButton));
            QVERIFY(QTest::qWaitFor([&dialog] { return dialog.State() >= 2; }, 20000));
            state = dialog.State();
            Click(dialog.FindControl(CreSetLocalDev::kCloseButton));
        });

        Click(page.DefaultNetworkBox());
        page.NameEdit()->setText(QStringLiteral("Upstairs"));
        Click(page.FindControl(CStatus::kApplyButton));

        QCOMPARE(state, int(CreSetLocalDev::kSucceeded));
        QVERIFY(world_->Local().NetworkKey() == DeriveNetworkKey("Upstairs"));
        QCOMPARE(TheAppSettings().NetWorkName, std::u16string(u"Upstairs"));
        QCOMPARE(page.ValueText(CStatus::kNetworkValue), QStringLiteral("Upstairs"));
        QVERIFY(!page.DefaultNetworkBox()->isChecked());
        QVERIFY(page.NameEdit()->isEnabled());
        QVERIFY(page.IsTimerRunning(CStatus::kRefreshTimer));
    }

    // Refresh reads the block again (a key set by another tool shows as an
    // unknown network) or says that the device is missing or unreadable.
    void refreshReadsTheBlockOrSaysSo_data() {
        QTest::addColumn<QString>("trouble");
        QTest::addColumn<QString>("networkShown");
        QTest::addColumn<bool>("message");
        QTest::newRow("key set by another tool") << "other key"
                                                 << "Unknown" << false;
        QTest::newRow("device gone") << "silent"
                                     << "" << true;
        QTest::newRow("block unreadable") << "read fails" << kHomeNetwork << true;
    }
    void refreshReadsTheBlockOrSaysSo() {
        QFETCH(QString, trouble);
        QFETCH(QString, networkShown);
        QFETCH(bool, message);
        CStatus& page = Open(test::LocalDevice(2, std::string(kHomeNetwork)));
        QCOMPARE(page.ValueText(CStatus::kNetworkValue), QString::fromLatin1(kHomeNetwork));

        if (trouble == "other key") {
            world_->Local().SetNetworkKey(DeriveNetworkKey("Neighbours"));
        } else if (trouble == "silent") {
            world_->Net().faults.Add({plcsim::FaultKind::Silent, std::nullopt, std::nullopt, 0});
        } else {
            world_->Local().SetNetworkKey(DeriveNetworkKey("Neighbours"));
            world_->Net().faults.Add({plcsim::FaultKind::WrongStatus, 0xA024, std::nullopt, 0});
        }
        Click(page.FindControl(CStatus::kRefreshButton));

        QCOMPARE(page.ValueText(CStatus::kNetworkValue), networkShown);
        QCOMPARE(world_->AskedTexts(),
                 message ? QStringList{LoadUiString(res::kTextNoLocalDevice)} : QStringList{});
    }

    // Timer 4 scans and shows the device again, silently; it skips while an
    // upgrade runs or an add-device dialog is open.
    void timerSkipRules_data() {
        QTest::addColumn<bool>("upgradeRunning");
        QTest::addColumn<bool>("deviceDialogOpen");
        QTest::newRow("nothing else running") << false << false;
        QTest::newRow("upgrade running") << true << false;
        QTest::newRow("add-device dialog open") << false << true;
    }
    void timerSkipRules() {
        QFETCH(bool, upgradeRunning);
        QFETCH(bool, deviceDialogOpen);
        CStatus& page = Open(test::LocalDevice(2, std::string(kHomeNetwork)));
        world_->Net().faults.Add({plcsim::FaultKind::Silent, std::nullopt, std::nullopt, 0});
        TheDeviceModel().upgradeRunning = upgradeRunning ? 1 : 0;
        DeviceDialogOpen() = deviceDialogOpen ? 1 : 0;

        page.OnTimer(CStatus::kRefreshTimer);

        const bool skipped = upgradeRunning || deviceDialogOpen;
        QCOMPARE(TheDeviceModel().localFound, skipped ? 1u : 0u);
        QCOMPARE(page.ValueText(CStatus::kMacValue).isEmpty(), !skipped);
        QCOMPARE(page.ValueText(CStatus::kNetworkValue).isEmpty(), !skipped);
        QVERIFY(world_->asked.empty());
        QVERIFY(page.IsTimerRunning(CStatus::kRefreshTimer));
        TheDeviceModel().upgradeRunning = 0;
    }

    void focusLeavingOrHidingThePageStopsTheTimer() {
        CStatus& page = Open(test::LocalDevice(2, std::string(kHomeNetwork)));
        auto* outside = new QLineEdit(&page_->Host());
        outside->setGeometry(0, 390, 100, 10);
        outside->show();
        page_->Host().activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&page_->Host()));

        page.NameEdit()->setFocus();
        QVERIFY(page.IsTimerRunning(CStatus::kRefreshTimer));
        page.DefaultNetworkBox()->setFocus();  // within the page
        QVERIFY(page.IsTimerRunning(CStatus::kRefreshTimer));
        outside->setFocus();
        QVERIFY(!page.IsTimerRunning(CStatus::kRefreshTimer));

        page_->Activate();
        QVERIFY(page.IsTimerRunning(CStatus::kRefreshTimer));
        page.hide();
        QVERIFY(!page.IsTimerRunning(CStatus::kRefreshTimer));
    }
};

}  // namespace ambrel

QTEST_MAIN(ambrel::StatusPageTest)
#include "StatusPageTest.moc"
