#include "app/EventHook.h"

EventHook::EventHook(QObject* target, Handler handler)
    : QObject(target), handler_(std::move(handler)) {}

EventHook* EventHook::install(QObject* target, Handler handler) {
    auto* hook = new EventHook(target, std::move(handler));
    target->installEventFilter(hook);
    return hook;
}

bool EventHook::eventFilter(QObject* watched, QEvent* event) {
    if (watched == parent() && handler_(*event))
        return true;
    return QObject::eventFilter(watched, event);
}
