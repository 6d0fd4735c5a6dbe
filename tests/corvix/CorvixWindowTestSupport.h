#pragma once

// Shared by the window tests: the compiled-in resources as the source, the
// list records of a finished scan, and the rows on show.

#include <QString>
#include <QTest>
#include <algorithm>
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "ApListRecord.h"
#include "CorvixApp.h"
#include "ImageCache.h"
#include "ListLayout.h"
#include "MainFrame.h"
#include "RemDev.h"
#include "ScanThread.h"

namespace corvix::test {

// A device as the list records hold it: name "AP-<i>", model "SIM-AP",
// address 192.0.2.<10 + i>, MAC 02-00-00-00-00-<i>.
inline ApListRecord Device(int i) {
    auto u16 = [](const std::string& text) { return std::u16string(text.begin(), text.end()); };
    char mac[32];
    std::snprintf(mac, sizeof mac, "02-00-00-00-00-%02X", i);
    return ApListRecord{u16("AP-" + std::to_string(i)), u"SIM-AP",
                        u16("192.0.2." + std::to_string(10 + i)), u16(mac)};
}

// What a finished scan of `count` devices leaves in the list records.
inline void SetScanResult(int count) {
    for (int i = 0; i < count; ++i)
        apListRecords[i] = Device(i);
    listCount.store(static_cast<uint8_t>(count));
}

// The indices of the rows on show, top to bottom.
inline std::vector<int> RowsOnShow(const CMainFrame& frame) {
    std::vector<std::pair<int, int>> byTop;
    for (int i = 0; i < kListRows; ++i) {
        if (frame.Row(i)->isVisible())
            byTop.emplace_back(frame.Row(i)->y(), i);
    }
    std::sort(byTop.begin(), byTop.end());
    std::vector<int> rows;
    for (const auto& [top, index] : byTop)
        rows.push_back(index);
    return rows;
}

inline std::vector<int> Range(int first, int last) {
    std::vector<int> values;
    for (int i = first; i <= last; ++i)
        values.push_back(i);
    return values;
}

// The row that holds the keyboard focus, -1 for none.
inline int FocusedRow(const CMainFrame& frame) {
    for (int i = 0; i < kListRows; ++i) {
        if (frame.Row(i)->HoldsFocus())
            return i;
    }
    return -1;
}

// A main window set up and shown, its first scan reported.
inline std::unique_ptr<CMainFrame> ShownFrame() {
    auto frame = std::make_unique<CMainFrame>();
    frame->Initialise();
    frame->show();
    if (!QTest::qWaitForWindowExposed(frame.get()))
        return nullptr;
    // The window's first scan is over when the window has taken its report
    // and the worker has given the scan slot back, a moment later.
    if (!QTest::qWaitFor([&] { return !frame->IsScanning() && !IsScanRunning(); }))
        return nullptr;
    return frame;
}

}  // namespace corvix::test
