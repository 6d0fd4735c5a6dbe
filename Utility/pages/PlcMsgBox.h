#pragma once

// The one way Ambrel shows a message: the skinned message box (dialog 142)
// and the two free functions around it. Message styles use the values of
// the usual message-box styles: bits 0-3 the button set (0 OK, 1 OK/Cancel
// with the two close options, 2 none, 4 and others Yes/No), bits 4-7 the
// icon (0x10 error, 0x30 warning, others information). Results: 1 OK,
// 2 Cancel, 6 Yes, 7 No, 0 closed otherwise.

#include <QImage>
#include <QRect>
#include <QString>
#include <cstdint>
#include <functional>

#include "DialogWindow.h"

namespace ambrel {

inline constexpr uint32_t kMsgOk = 0x00;
inline constexpr uint32_t kMsgOkCancel = 0x01;
inline constexpr uint32_t kMsgNoButtons = 0x02;
inline constexpr uint32_t kMsgYesNo = 0x04;
inline constexpr uint32_t kMsgIconError = 0x10;
inline constexpr uint32_t kMsgIconWarning = 0x30;

inline constexpr int kResultNone = 0;
inline constexpr int kResultOk = 1;
inline constexpr int kResultCancel = 2;
inline constexpr int kResultYes = 6;
inline constexpr int kResultNo = 7;

// The message box itself. Callers normally go through the free functions
// below; the class is public for them and for tests.
class CPlcMsgBox : public DialogWindow {
    Q_OBJECT
public:
    // Layout strings of the message text: the close question's area and
    // ShowMessage's.
    static constexpr int kTextAreaQuestion = 1018;
    static constexpr int kTextAreaMessage = 1019;

    explicit CPlcMsgBox(QWidget* parent = nullptr);
    ~CPlcMsgBox() override;

    // Stores the texts and the style, places the message text in layout
    // rectangle `textAreaId` (keeping the previous one when that string is
    // missing), runs the box modally and returns its result.
    int Show(const QString& title, const QString& text, uint32_t style, int textAreaId);

    // Ends the box as if closed from outside: the result is 0.
    void CloseFromOutside();

    uint32_t Style() const { return style_; }
    int Result() const { return result_; }
    // Where the message text goes (box coordinates).
    QRect TextRect() const { return textRect_; }
    // Where the icon is drawn and which picture it is.
    QPoint IconPosition() const { return iconPosition_; }
    int IconId() const { return iconId_; }

    // The message text's control rectangle for a text that is `h` pixels
    // high when wrapped in `area`'s width: the area's left and right edges,
    // vertically centred on the box's text band. It is never lower than the
    // text itself, so no line is cut off.
    static QRect PlaceMessageText(const QRect& area, int h);

protected:
    void OnInitDialog() override;
    void OnCommand(int id) override;
    void OnOK() override;
    void OnCancel() override;
    void PaintBackground(QPainter& painter) override;
    void showEvent(QShowEvent* event) override;

private:
    void ApplyStyle();
    void PlaceText();
    void Finish(int result, bool accepted);

    QString title_;
    QString text_;
    uint32_t style_ = 0;
    int result_ = kResultNone;
    QRect textRect_;
    int iconId_ = 0;
    QPoint iconPosition_;
    bool firstOption_ = true;  // the initial state of option 1009
};

// Shows `text` (or string `textId`) under the program's title and returns
// the result; shows nothing and returns 0 while another message box is open.
int ShowMessage(const QString& text, uint32_t style, QWidget* parent = nullptr);
int ShowMessage(int textId, uint32_t style, QWidget* parent = nullptr);

// The main window's close question (style 1 with the two options). May
// change the isClosed and notAskAgain settings as the user chooses.
int AskMessage(const QString& text, uint32_t style, QWidget* parent = nullptr);

// The box opened last that still exists (a box opened over another one and
// closed again leaves the one below as the open box), or nullptr; the QoS
// read worker closes it.
CPlcMsgBox* OpenMessageBox();
int OpenMessageBoxCount();

// Tests answer message boxes without a person: while a hook is set, the
// functions above call it instead of running a box and return its answer.
using MessageBoxHook = std::function<int(const QString& text, uint32_t style)>;
void SetMessageBoxHook(MessageBoxHook hook);

// Closes the open message box, if any, from any thread: the close is queued
// to the user-interface thread, which looks the box up when it gets there,
// so a box that has ended in the meantime is never touched. The box then
// returns 0.
void CloseOpenMessageBoxLater();

// Makes CloseOpenMessageBoxLater the waiting-box closer of the worker
// routines (ReportSink.h). The application calls it once at start-up.
void InstallWaitingBoxCloser();

}  // namespace ambrel
