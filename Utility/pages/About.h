#pragma once

// The About dialog (dialog 259): seven lines over a background picture, one
// of them a hyperlink, and an OK button.

#include "DialogWindow.h"

namespace ambrel {

class CAbout : public DialogWindow {
    Q_OBJECT
public:
    explicit CAbout(QWidget* parent = nullptr);
    ~CAbout() override;

    static constexpr int kOkButton = 1064;
    static constexpr int kLink = 1107;

protected:
    void OnInitDialog() override;
    void OnCommand(int id) override;
    void PaintBackground(QPainter& painter) override;
    void mouseMoveEvent(QMouseEvent* event) override;
};

}  // namespace ambrel
