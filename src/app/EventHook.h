#pragma once
// A handler on another object's events, run before the object sees them; returning true
// stops the event there. Used for key handlers of single controls.
#include <QObject>

#include <functional>

class QEvent;

class EventHook : public QObject {
public:
    using Handler = std::function<bool(QEvent&)>;
    // Owned by `target`.
    static EventHook* install(QObject* target, Handler handler);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    EventHook(QObject* target, Handler handler);
    Handler handler_;
};
