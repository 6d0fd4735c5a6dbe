#include "WindowMessage.h"

#include <QCoreApplication>
#include <QMetaObject>
#include <QThread>
#include <QVariant>
#include <QWidget>

namespace ambrel {
namespace {

constexpr char kControlIdProperty[] = "ambrelControlId";

}  // namespace

WindowMessageEvent::WindowMessageEvent(uint32_t message, WParam wParam, LParam lParam)
    : QEvent(EventType()), message_(message), wParam_(wParam), lParam_(lParam) {}

QEvent::Type WindowMessageEvent::EventType() {
    static const QEvent::Type type = static_cast<QEvent::Type>(QEvent::registerEventType());
    return type;
}

bool PostWindowMessage(QObject* target, uint32_t message, WParam wParam, LParam lParam) {
    if (target == nullptr)
        return false;
    QCoreApplication::postEvent(target, new WindowMessageEvent(message, wParam, lParam));
    return true;
}

LResult SendWindowMessage(QObject* target, uint32_t message, WParam wParam, LParam lParam) {
    if (target == nullptr)
        return 0;
    auto deliver = [target, message, wParam, lParam]() {
        WindowMessageEvent event(message, wParam, lParam);
        QCoreApplication::sendEvent(target, &event);
        return event.result;
    };
    if (target->thread() == QThread::currentThread())
        return deliver();
    // The call event is bound to `target`: if the window is destroyed before
    // its thread runs it, the event is dropped and this thread is released.
    LResult result = 0;
    QMetaObject::invokeMethod(
        target, [&result, &deliver]() { result = deliver(); }, Qt::BlockingQueuedConnection);
    return result;
}

void SetControlId(QWidget* control, int id) {
    if (control != nullptr)
        control->setProperty(kControlIdProperty, id);
}

int ControlId(const QWidget* control) {
    if (control == nullptr)
        return 0;
    return control->property(kControlIdProperty).toInt();
}

}  // namespace ambrel
