#pragma once

// One row of the Network page (dialog 183): a remote device's name, device
// password, MAC address and data rate, and a button that opens the
// add-device dialog for it. The page creates 32 rows once and only shows,
// hides, moves and refills them afterwards.
//
// The row button follows the hover: it is shown while the pointer is over
// the row (which then has the hovered background) and hidden when the
// pointer leaves or the rows are laid out again, whatever the naming style.
//
// User-interface thread only.

#include <functional>

#include "DeviceRecord.h"
#include "DialogWindow.h"

namespace ambrel {

class COrvikButton;
class COrvikStatic;

class CRemDev : public DialogWindow {
    Q_OBJECT
public:
    static constexpr int kNameText = 1017;
    static constexpr int kPasswordText = 1018;
    static constexpr int kSpareText = 1020;
    static constexpr int kRateText = 1021;
    static constexpr int kMacText = 1022;
    static constexpr int kEditButton = 1060;
    // The hover poll: timer 2 every 10 ms while the pointer may be over the row.
    static constexpr int kHoverTimer = 2;
    static constexpr int kHoverPollMs = 10;

    CRemDev(int row, QWidget* page);
    ~CRemDev() override;

    int Row() const { return row_; }
    const DeviceRecord& Record() const { return record_; }
    // Takes a copy of the record and shows its texts.
    void SetRecord(const DeviceRecord& record);

    // Called with the row index when the row's button is pressed.
    void SetEditHandler(std::function<void(int row)> handler) { onEdit_ = std::move(handler); }

    bool IsHovered() const { return hovered_; }
    bool MouseLeft() const { return mouseLeft_; }
    int BackgroundPicture() const { return backgroundId_; }
    COrvikButton* EditButton() const;
    COrvikStatic* Text(int controlId) const;

    // The pointer moved over the row: focus (when nothing has it) and the
    // hover poll.
    void OnPointerOver();
    // One tick of the hover poll: hovers while the pointer is inside, and
    // stops polling and leaves the hover once it has left.
    void PollHover();
    // Back to the plain look with the button hidden (the rows are laid out
    // again); a pointer still over the row brings the hover back on the
    // next tick.
    void ResetHover();

    void OnTimer(int id) override;

protected:
    void OnInitDialog() override;
    void OnCommand(int id) override;
    void PaintBackground(QPainter& painter) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void enterEvent(QEnterEvent* event) override;
    void OnOK() override {}
    void OnCancel() override {}

private:
    void SetBackgroundPicture(int id);
    bool PointerInside() const;

    int row_;
    DeviceRecord record_{};
    int backgroundId_;
    bool hovered_ = false;
    bool mouseLeft_ = true;
    std::function<void(int row)> onEdit_;
};

}  // namespace ambrel
