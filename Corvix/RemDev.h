#pragma once

// One row of the scanner's device list: a child dialog (template 164) with
// the device's name, model, IP address and MAC address and a "connect"
// button that opens the device's web page. The row shows its normal
// background, or the hover background while the pointer is over it.
//
// User-interface thread only.

#include <QImage>
#include <QString>

#include "ApListRecord.h"
#include "DialogWindow.h"

namespace ambrel {
class COrvikButton;
class COrvikStatic;
}  // namespace ambrel

namespace corvix {

class CRemDev : public ambrel::DialogWindow {
    Q_OBJECT
public:
    static constexpr int kHoverTimer = 2;
    static constexpr int kHoverPollMs = 10;

    explicit CRemDev(QWidget* parent);
    ~CRemDev() override;

    // Keeps the record and the index and shows the record's texts.
    void RefreshRow(int index, const ApListRecord& record);

    // Back to the normal background, hover flag cleared, repainted at once.
    void ShowNormalBackground();
    // Whether the background is drawn 566 pixels wide (the scroll bar is on
    // show beside the rows) or at the picture's own width.
    void SetNarrow(bool narrow);

    // Opens "http://" followed by the row's IP address.
    void OpenDevicePage();

    // The hover poll (timer 2).
    void OnTimer(int id) override;

    // State, for the main window and for tests.
    const ApListRecord& Record() const { return record_; }
    int Index() const { return index_; }
    bool IsHover() const { return hover_; }
    bool IsNarrow() const { return narrow_; }
    const QImage* BackgroundPicture() const { return backgroundPicture_; }
    // Whether the keyboard focus is on this row or one of its controls.
    bool HoldsFocus() const;
    ambrel::COrvikButton* ConnectButton() const { return connect_; }
    ambrel::COrvikStatic* Text(int controlId) const;

protected:
    void OnInitDialog() override;
    // A row never closes itself.
    void OnOK() override {}
    void OnCancel() override {}
    void OnCommand(int id) override;
    void PaintBackground(QPainter& painter) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void leaveEvent(QEvent* event) override;

private:
    void SetBackgroundPicture(const QImage* picture);

    ApListRecord record_;
    int index_ = -1;
    const QImage* normalPicture_ = nullptr;
    const QImage* hoverPicture_ = nullptr;
    const QImage* backgroundPicture_ = nullptr;
    bool hover_ = false;
    bool pointerLeft_ = true;
    bool narrow_ = false;
    ambrel::COrvikButton* connect_ = nullptr;
};

}  // namespace corvix
