#pragma once

// A page of the main window: a child dialog from its template, with its
// background picture. The main window creates it hidden and disabled, gives
// it its dialog id as control id and, when it switches to it, sends it
// kWmActivate; the page then refreshes itself (OnActivatePage).
//
// User-interface thread only.

#include "DialogWindow.h"

namespace ambrel {

class CPage : public DialogWindow {
    Q_OBJECT
public:
    // Page `templateId` inside `parent` (the main window) with background
    // picture `backgroundId`.
    CPage(int templateId, int backgroundId, QWidget* parent);
    ~CPage() override;

    int BackgroundId() const { return backgroundId_; }

protected:
    // The page is now on show.
    virtual void OnActivatePage() {}
    LResult OnMessage(uint32_t message, WParam wParam, LParam lParam) override;
    // The background picture at the page's top-left corner.
    void PaintBackground(QPainter& painter) override;
    // Pages never end: Enter and Escape reach them only when the main window
    // lets them through.
    void OnOK() override {}
    void OnCancel() override {}

private:
    int backgroundId_;
};

}  // namespace ambrel
