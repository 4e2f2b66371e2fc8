#include "app/ActionList.h"

#include <QCoreApplication>
#include <QKeyEvent>
#include <QWidget>

ActionList::ActionList(QWidget* window, QObject* parent) : QObject(parent), window_(window) {
    setObjectName(QStringLiteral("ActionList1"));
    QCoreApplication::instance()->installEventFilter(this);
}

bool ActionList::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() != QEvent::ShortcutOverride || !watched->isWidgetType() ||
        static_cast<QWidget*>(watched)->window() != window_)
        return false;
    const QKeySequence key(static_cast<QKeyEvent*>(event)->keyCombination());
    for (auto it = liveShortcuts_.cbegin(); it != liveShortcuts_.cend(); ++it) {
        if (it.value() == key && it.key()->isEnabled() && isLive(it.key())) {
            // Left unaccepted, the override lets the shortcut take the key.
            event->ignore();
            return true;
        }
    }
    return false;
}

QAction* ActionList::add(const QString& name, const QString& caption, const QKeySequence& shortcut,
                         bool liveShortcut) {
    auto* action = new QAction(caption, this);
    action->setObjectName(name);
    action->setShortcut(shortcut);
    action->setProperty("shortcutLabel", shortcut);
    connect(action, &QAction::triggered, this, [this, action] { run(action); });
    if (!shortcut.isEmpty() && liveShortcut) {
        liveShortcuts_.insert(action, shortcut);
        window_->addAction(action);
    } else {
        // Not registered anywhere: the label stays but no key reaches it.
        action->setShortcut({});
    }
    return action;
}

QAction* ActionList::action(const QString& name) const {
    return findChild<QAction*>(name, Qt::FindDirectChildrenOnly);
}

void ActionList::bind(const QString& name, std::function<void()> handler) {
    if (QAction* a = action(name))
        handlers_.insert(a, std::move(handler));
}

void ActionList::bindMenuItem(QAction* item, const QString& name) {
    QAction* target = action(name);
    if (!target)
        return;
    auto mirror = [item, target] {
        item->setText(target->text());
        item->setEnabled(target->isEnabled());
    };
    mirror();
    item->setShortcut(target->property("shortcutLabel").value<QKeySequence>());
    item->setShortcutContext(Qt::WidgetShortcut);
    connect(target, &QAction::changed, item, mirror);
    connect(item, &QAction::triggered, target, [this, target] { execute(target); });
}

void ActionList::keepLive(const QString& name) {
    if (QAction* a = action(name))
        keptLive_.insert(a);
}

void ActionList::setSuspended(bool suspended) {
    if (suspended == suspended_)
        return;
    suspended_ = suspended;
    for (auto it = liveShortcuts_.cbegin(); it != liveShortcuts_.cend(); ++it)
        it.key()->setShortcut(isLive(it.key()) ? it.value() : QKeySequence());
}

void ActionList::run(QAction* action) {
    if (isLive(action))
        execute(action);
}

void ActionList::execute(QAction* action) {
    if (!action->isEnabled())
        return;
    auto it = handlers_.constFind(action);
    if (it != handlers_.cend() && *it)
        (*it)();
}
