#pragma once
// The window's commands. Each action runs its handler only while the list is normal; while
// it is suspended neither the menu item nor the shortcut runs it, and its keys are left to
// the focused control.
#include <QAction>
#include <QHash>
#include <QKeySequence>
#include <QObject>

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

    bool isSuspended() const { return suspended_; }
    void setSuspended(bool suspended);

protected:
    // While the list is normal, an enabled command's key is the command's wherever the
    // focus is in the window: the focused control may not claim it first.
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void run(QAction* action);

    QWidget* window_;
    bool suspended_ = false;
    QHash<QAction*, std::function<void()>> handlers_;
    QHash<QAction*, QKeySequence> liveShortcuts_;
};
