#pragma once

// The one way Ambrel shows a message: the skinned message box (dialog 142)
// and the two free functions around it. Message styles use the values of
// the usual message-box styles: bits 0-3 the button set (0 OK, 1 OK/Cancel
// with the two close options, 2 none, 4 and others Yes/No), bits 4-7 the
// icon (0x10 error, 0x30 warning, others information). Results: 1 OK,
// 2 Cancel, 6 Yes, 7 No, 0 closed otherwise.

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

class CPlcMsgBox;

// Shows `text` (or string `textId`) under the program's title and returns
// the result; shows nothing and returns 0 while another message box is open.
int ShowMessage(const QString& text, uint32_t style, QWidget* parent = nullptr);
int ShowMessage(int textId, uint32_t style, QWidget* parent = nullptr);

// The main window's close question (style 1 with the two options). May
// change the isClosed and notAskAgain settings as the user chooses.
int AskMessage(const QString& text, uint32_t style, QWidget* parent = nullptr);

// The box opened last, or nullptr; the QoS read worker closes it.
CPlcMsgBox* OpenMessageBox();
int OpenMessageBoxCount();

// Tests answer message boxes without a person: while a hook is set, the
// functions above call it instead of running a box and return its answer.
using MessageBoxHook = std::function<int(const QString& text, uint32_t style)>;
void SetMessageBoxHook(MessageBoxHook hook);

}  // namespace ambrel
