// The window against apsim over a veth pair in a private network namespace:
// the first scan, run while the window is set up, fills the list with the
// simulated access points, and the rescan button scans again.

#include <gtest/gtest.h>
#include <stdlib.h>

#include <QApplication>
#include <QScrollBar>
#include <QTest>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <thread>

#include "CorvixResourceIds.h"
#include "CorvixWindowTestSupport.h"
#include "InterfaceOverride.h"
#include "OrvikButton.h"
#include "OrvikStatic.h"
#include "ScanTables.h"
#include "ScanTiming.h"
#include "TestNetwork.h"

namespace corvix {
namespace {

using namespace std::chrono_literals;
namespace fs = std::filesystem;

QString Shown(CMainFrame& frame, int row, int control) {
    return frame.Row(row)->Text(control)->text();
}

class WindowNetworkTest : public ::testing::Test {
protected:
    void SetUp() override {
        AMBREL_REQUIRE_PRIVATE_NETWORK();
        ResetScanTables();
        SetScanTiming(ScanTiming{150ms});
        char pattern[] = "/tmp/corvix-win-XXXXXX";
        ASSERT_NE(mkdtemp(pattern), nullptr);
        workDir_ = pattern;
        UseCorvixResources();
        ambrel::CreateImageCache();
    }
    void TearDown() override {
        frame_.reset();
        peer_.reset();
        ClearInterfaceOverride();
        ResetScanTiming();
        ResetScanTables();
        if (!workDir_.empty())
            fs::remove_all(workDir_);
    }

    // apsim on the far end of a veth pair whose near end is `hostEnd`.
    void StartApsim(const std::string& hostEnd, const std::vector<std::string>& args) {
        ASSERT_TRUE(ambrel::test::CreateVethPair(hostEnd, hostEnd + "p", "192.0.2.1/24"));
        peer_ = std::make_unique<ambrel::test::PeerHost>();
        ASSERT_TRUE(peer_->Create(hostEnd + "p", "192.0.2.2/24"));
        const fs::path ready = workDir_ / "ready";
        std::vector<std::string> argv{ambrel::test::BuiltProgram("apsim"), "--ready-file",
                                      ready.string()};
        argv.insert(argv.end(), args.begin(), args.end());
        ASSERT_TRUE(peer_->Start(argv));
        for (int i = 0; i < 500 && !fs::exists(ready); ++i)
            std::this_thread::sleep_for(10ms);
        ASSERT_TRUE(fs::exists(ready)) << "apsim did not start";
    }

    fs::path workDir_;
    std::unique_ptr<ambrel::test::PeerHost> peer_;
    std::unique_ptr<CMainFrame> frame_;
};

TEST_F(WindowNetworkTest, FirstScanFillsTheListAndRescanScansAgain) {
    StartApsim("cvxw0", {"--device", "AP-300N,客厅,192.0.2.10,02:1a:2b:3c:4d:5e", "--devices", "11",
                         "--base-ip", "192.0.2.100"});
    SetInterfaceOverride({"cvxw0"});

    frame_ = test::ShownFrame();
    ASSERT_NE(frame_, nullptr);

    ASSERT_EQ(frame_->RowCount(), 12);
    EXPECT_EQ(test::RowsOnShow(*frame_), test::Range(0, 9));
    EXPECT_TRUE(frame_->ScrollBar()->isVisible());
    EXPECT_EQ(Shown(*frame_, 0, res::kRowName), QStringLiteral("客厅"));
    EXPECT_EQ(Shown(*frame_, 0, res::kRowModel), QStringLiteral("AP-300N"));
    EXPECT_EQ(Shown(*frame_, 0, res::kRowIp), QStringLiteral("192.0.2.10"));
    EXPECT_EQ(Shown(*frame_, 0, res::kRowMac), QStringLiteral("02-1A-2B-3C-4D-5E"));
    EXPECT_EQ(Shown(*frame_, 11, res::kRowName), QStringLiteral("AP-11"));

    ambrel::COrvikButton* rescan = frame_->Button(res::kButtonRescan);
    QTest::mouseClick(rescan, Qt::LeftButton);
    EXPECT_FALSE(rescan->isEnabled());
    ASSERT_TRUE(QTest::qWaitFor([&] { return !frame_->IsScanning(); }, 10000));
    EXPECT_TRUE(rescan->isEnabled());
    EXPECT_EQ(frame_->RowCount(), 12);
}

}  // namespace
}  // namespace corvix

int main(int argc, char** argv) {
    // Before any thread exists: the namespace is the process's.
    ambrel::test::EnterPrivateNetwork();
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
