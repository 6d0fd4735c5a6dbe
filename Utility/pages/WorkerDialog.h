#pragma once

// What the dialogs that run one operation on a worker thread share (the
// add-device, reset and upgrade dialogs): their own form is drawn on their
// background picture; when the operation has ended they turn into the
// compact outcome form, in the shape of the message box, with the outcome's
// picture, a text and a close button; and they never close while a worker of
// theirs runs, for the worker reports to them.
//
// User-interface thread only.

#include <QRect>
#include <span>

#include "DialogWindow.h"
#include "ReportSink.h"

class QPainter;

namespace ambrel {

class COrvikButton;
class COrvikStatic;

class CWorkerDialog : public DialogWindow {
    Q_OBJECT
public:
    ~CWorkerDialog() override;

    // The size of the outcome forms.
    static constexpr int kCompactWidth = 322;
    static constexpr int kCompactHeight = 193;

    // The form shown, one of the dialog's display states.
    int State() const { return state_; }
    // True once the outcome form shows.
    bool IsCompact() const { return compact_; }
    // True while a worker of this dialog runs or its report has not been
    // handled yet: meanwhile the dialog does not close.
    virtual bool IsWorkerRunning() const = 0;

protected:
    // `backgroundId` is the picture of the dialog's own form.
    CWorkerDialog(int templateId, int backgroundId, QWidget* parent);

    void SetState(int state) { state_ = state; }

    // Ends the modal run with `result`, unless a worker runs.
    void CloseUnlessWorking(int result);

    // Runs `routine` with this dialog's window handle on a thread nobody
    // waits for: it ends once this dialog has handled its report, which the
    // dialog stays open for.
    void StartWorkerThread(void (*routine)(WindowHandle));

    // Turns the dialog into the outcome form: the message box's outline,
    // centred on the screen, with the information or error picture where the
    // box has its icon and `close` right of the box's left button place.
    // `text` shows string `textId` in the rectangle `placeText` gives for the
    // height of the text wrapped in the width left beside the picture.
    void ShowOutcomeForm(bool succeeded, COrvikButton* close, COrvikStatic* text, int textId,
                         QRect (*placeText)(int width, int h));

    // Shows or hides `button` and enables or disables it (nothing for null).
    static void SetButton(COrvikButton* button, bool visible, bool enabled);
    // Shows or hides those of the controls `ids` that the dialog has.
    void SetControlsVisible(std::span<const int> ids, bool visible);

    // The form's background picture, or the outcome form's outline and
    // picture.
    void PaintBackground(QPainter& painter) override;

private:
    int backgroundId_;
    int state_ = 0;
    bool compact_ = false;
    int resultImage_ = 0;
};

}  // namespace ambrel
