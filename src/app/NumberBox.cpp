#include "app/NumberBox.h"

#include "app/EventHook.h"
#include "interaction/SidePanel.h"

#include <QAction>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QCoreApplication>
#include <QGuiApplication>
#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMenu>
#include <QMouseEvent>

namespace numberbox {

namespace {

void insertArriving(QLineEdit* box, QStringView text) {
    const QString digits = sidepanel::NumberBoxDigits(text);
    if (!digits.isEmpty())
        box->insert(digits);
}

void pasteFrom(QLineEdit* box, QClipboard::Mode mode) {
    insertArriving(box, QGuiApplication::clipboard()->text(mode));
}

bool keyPress(QLineEdit* box, const QKeyEvent& key) {
    // Ctrl+V types a control character, which the rule drops like any other.
    if (key.matches(QKeySequence::Paste))
        return true;
    // Ctrl+A would type a control character too, but selects the text as in any box.
    if (key.matches(QKeySequence::SelectAll))
        return false;
    if (sidepanel::NumberBoxAcceptsKey(key.key(), key.text()))
        return false;
    // A full-width digit from the keyboard goes in as its half-width digit.
    insertArriving(box, key.text());
    return true;
}

// The box's own menu, whose Paste takes the digits only.
void showMenu(QLineEdit* box, const QContextMenuEvent& event) {
    QMenu* menu = box->createStandardContextMenu();
    for (QAction* action : menu->actions()) {
        if (!action->text().startsWith(QLineEdit::tr("&Paste")))
            continue;
        QObject::disconnect(action, nullptr, box, nullptr);
        QObject::connect(action, &QAction::triggered, box,
                         [box] { pasteFrom(box, QClipboard::Clipboard); });
    }
    menu->setAttribute(Qt::WA_DeleteOnClose);
    menu->popup(event.globalPos());
}

// A line edit tells the platform that it takes the input method whatever its attribute
// says, and the platform then passes every key through the input method: the box answers
// no itself.
bool answerQuery(QLineEdit* box, QInputMethodQueryEvent& query) {
    const Qt::InputMethodQueries asked = query.queries();
    if (!(asked & Qt::ImEnabled))
        return false;
    const Qt::InputMethodQueries others = asked & ~Qt::InputMethodQueries(Qt::ImEnabled);
    if (others) {
        QInputMethodQueryEvent rest(others);
        QCoreApplication::sendEvent(box, &rest);
        for (int bit = 0; bit < 32; ++bit) {
            const auto one = static_cast<Qt::InputMethodQuery>(1u << bit);
            if (others & one)
                query.setValue(one, rest.value(one));
        }
    }
    query.setValue(Qt::ImEnabled, false);
    query.accept();
    return true;
}

bool boxEvent(QLineEdit* box, QEvent& event) {
    switch (event.type()) {
    case QEvent::InputMethodQuery:
        return answerQuery(box, static_cast<QInputMethodQueryEvent&>(event));
    case QEvent::KeyPress:
        return keyPress(box, static_cast<QKeyEvent&>(event));
    case QEvent::InputMethod:
        // No preedit is shown: only what is committed can go in.
        insertArriving(box, static_cast<QInputMethodEvent&>(event).commitString());
        return true;
    case QEvent::ContextMenu:
        showMenu(box, static_cast<QContextMenuEvent&>(event));
        return true;
    case QEvent::MouseButtonRelease: {
        // Where the mouse selection is pasted with the middle button.
        const auto& mouse = static_cast<QMouseEvent&>(event);
        if (mouse.button() != Qt::MiddleButton ||
            !QGuiApplication::clipboard()->supportsSelection())
            return false;
        box->deselect();
        pasteFrom(box, QClipboard::Selection);
        return true;
    }
    default:
        return false;
    }
}

} // namespace

void keepToDigits(QLineEdit* box) {
    box->setAttribute(Qt::WA_InputMethodEnabled, false);
    box->setInputMethodHints(Qt::ImhDigitsOnly);
    // Dragged text is refused, as a plain edit box of the desktop refuses it.
    box->setAcceptDrops(false);
    EventHook::install(box, [box](QEvent& event) { return boxEvent(box, event); });
}

} // namespace numberbox
