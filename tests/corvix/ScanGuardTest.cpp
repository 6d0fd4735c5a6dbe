#include <gtest/gtest.h>

#include <chrono>
#include <condition_variable>
#include <mutex>
#include <tuple>
#include <vector>

#include "CorvixTestSupport.h"
#include "InterfaceOverride.h"
#include "RecordAnswer.h"
#include "RunScan.h"
#include "ScanTables.h"
#include "ScanThread.h"

namespace corvix {
namespace {

class ScanGuardTest : public ::testing::Test {
protected:
    void SetUp() override {
        ResetScanTables();
        // No interface is taken, so a scan ends at once.
        SetInterfaceOverride({});
    }
    void TearDown() override {
        ClearInterfaceOverride();
        ResetScanTables();
        if (IsScanRunning())
            FinishScan();
    }
};

TEST_F(ScanGuardTest, OnlyOneScanHoldsTheSlot) {
    EXPECT_FALSE(IsScanRunning());
    EXPECT_TRUE(TryStartScan());
    EXPECT_TRUE(IsScanRunning());
    EXPECT_FALSE(TryStartScan());
    FinishScan();
    EXPECT_FALSE(IsScanRunning());
    EXPECT_TRUE(TryStartScan());
    FinishScan();
}

TEST_F(ScanGuardTest, RescanWhileAScanRunsIsSkippedAndSlotIsFreedAfterTheReport) {
    std::mutex mutex;
    std::condition_variable changed;
    bool reported = false;
    bool release = false;
    std::vector<std::tuple<uint32_t, uintptr_t, intptr_t>> messages;

    auto worker = StartScanThread([&](uint32_t message, uintptr_t wParam, intptr_t lParam) {
        std::unique_lock lock(mutex);
        messages.emplace_back(message, wParam, lParam);
        reported = true;
        changed.notify_all();
        changed.wait(lock, [&] { return release; });
    });
    ASSERT_TRUE(worker);
    {
        std::unique_lock lock(mutex);
        ASSERT_TRUE(changed.wait_for(lock, std::chrono::seconds(10), [&] { return reported; }));
    }
    // The window is still handling WM_SCAN_DONE: a timer rescan must not start.
    EXPECT_TRUE(IsScanRunning());
    EXPECT_FALSE(StartScanThread([](uint32_t, uintptr_t, intptr_t) {}));
    {
        std::lock_guard lock(mutex);
        release = true;
    }
    changed.notify_all();
    worker->join();
    EXPECT_FALSE(IsScanRunning());
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0], std::make_tuple(uint32_t{0x1428}, uintptr_t{0}, intptr_t{0}));
}

TEST_F(ScanGuardTest, ScanWithoutAdaptersEmptiesTheDeviceTable) {
    ASSERT_TRUE(RecordAnswer(test::MakeAnswer({192, 0, 2, 1}, {2, 0, 0, 0, 0, 1}, "m", "stale")));
    RefreshListRecords();
    ASSERT_EQ(listCount.load(), 1);
    EXPECT_EQ(ScanThread({}), 0u);
    EXPECT_EQ(apTable.count, 0u);
    EXPECT_EQ(listCount.load(), 0);
    EXPECT_EQ(scanAdapterTable.count, 0u);
}

}  // namespace
}  // namespace corvix
