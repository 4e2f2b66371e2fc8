#pragma once
// The window's commands. Each action's shortcut runs its handler only while the list is
// normal; while it is suspended the key is left to the focused control. A command chosen
// from a menu always runs: the user picked it, whatever control the menu gives the focus
// back to. Commands kept live (saving) run by their key in every state, since no control
// uses that key and a save that silently does nothing would lose work.
#include <QAction>
#include <QHash>
#include <QKeySequence>
#include <QObject>
#include <QSet>

#include <functional>

class QWidget;

class ActionList : public QObject {
    Q_OBJECT
public:
    // `window` is where the shortcuts are active.
    explicit ActionList(QWidget* window, QObject* parent = nullptr);

    // Adds the action `name`. A `liveShortcut` of false keeps the shortcut as a label only,
    // for keys that a menu item takes first.
    QAction* add(const QString& name, const QString& caption, const QKeySequence& shortcut = {},
                 bool liveShortcut = true);
    QAction* action(const QString& name) const;

    // The action's Execute handler.
    void bind(const QString& name, std::function<void()> handler);
    // A menu item that runs the action: it takes its caption and enabled state, and shows
    // its shortcut without competing for the key.
    void bindMenuItem(QAction* item, const QString& name);
    // The action's shortcut stays active while the list is suspended.
    void keepLive(const QString& name);

    bool isSuspended() const { return suspended_; }
    void setSuspended(bool suspended);

protected:
    // While the list is normal, an enabled command's key is the command's wherever the
    // focus is in the window: the focused control may not claim it first.
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void run(QAction* action);
    // The handler of an enabled action, whatever the list's state.
    void execute(QAction* action);
    bool isLive(QAction* action) const { return !suspended_ || keptLive_.contains(action); }

    QWidget* window_;
    bool suspended_ = false;
    QHash<QAction*, std::function<void()>> handlers_;
    QHash<QAction*, QKeySequence> liveShortcuts_;
    QSet<QAction*> keptLive_;
};
