#pragma once

// Window messages: a message id with wParam and lParam, delivered to a
// window (any QObject) as an event of our own type. A window derived from
// CDialog receives them in OnMessage; other objects may look at the event
// themselves.
//
// PostWindowMessage queues the message and returns at once. SendWindowMessage
// returns only once the window has handled it: on the window's own thread it
// calls the handler directly; from any other thread it blocks until the
// window's thread has run the handler. A send to a window that is gone (or
// is destroyed before its thread gets to the message) returns 0 and never
// blocks for ever.

#include <QEvent>
#include <QObject>
#include <cstdint>

class QWidget;

namespace ambrel {

using WParam = uintptr_t;
using LParam = intptr_t;
using LResult = intptr_t;

// Message ids the window layer and the controls use themselves. The
// application's own messages (0x1425 and up) are defined where they are used.
enum WindowMessageId : uint32_t {
    kWmActivate = 0x0006,   // a page is now on show (both parameters 0)
    kWmNotify = 0x004E,     // wParam control id, lParam const NotifyHeader*
    kWmCommand = 0x0111,    // wParam control id (low word) and code (high word)
    kWmMouseMove = 0x0200,  // wParam key state, lParam (y << 8 | x) of the sender
};

// Key-state bit of a mouse-move message; the skinned button sends it alone
// when a press ends outside it.
inline constexpr WParam kMkControl = 0x0008;

// The header of a kWmNotify message.
struct NotifyHeader {
    QWidget* from = nullptr;
    int controlId = 0;
    uint32_t code = 0;
};

class WindowMessageEvent : public QEvent {
public:
    WindowMessageEvent(uint32_t message, WParam wParam, LParam lParam);

    static QEvent::Type EventType();

    uint32_t message() const { return message_; }
    WParam wParam() const { return wParam_; }
    LParam lParam() const { return lParam_; }

    // What the handler answers (a send returns it).
    LResult result = 0;

private:
    uint32_t message_;
    WParam wParam_;
    LParam lParam_;
};

// Queues the message for `target`; false when there is no target.
bool PostWindowMessage(QObject* target, uint32_t message, WParam wParam = 0, LParam lParam = 0);

// Delivers the message and returns the handler's result once it has been
// handled (see above). Any thread.
LResult SendWindowMessage(QObject* target, uint32_t message, WParam wParam = 0, LParam lParam = 0);

// The numeric id of a control within its window (0 when it has none).
void SetControlId(QWidget* control, int id);
int ControlId(const QWidget* control);

}  // namespace ambrel
