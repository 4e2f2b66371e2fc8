#pragma once
// Input as the user gives it, sent to the main window's real widgets.
#include "app/TForm1.h"

#include <QApplication>
#include <QKeyEvent>
#include <QMouseEvent>

namespace windowinput {

// Types `text` into `widget` one character at a time, as a keyboard would.
inline void type(QWidget* widget, const QString& text) {
    for (const QChar c : text) {
        QKeyEvent press(QEvent::KeyPress, 0, Qt::NoModifier, QString(c));
        QApplication::sendEvent(widget, &press);
    }
}

// A left click at page point `at`.
inline void pressPage(TForm1& form, QPoint at) {
    QWidget* page = form.ui.PB1;
    for (QEvent::Type kind : {QEvent::MouseButtonPress, QEvent::MouseButtonRelease}) {
        QMouseEvent event(kind, QPointF(at), QPointF(page->mapToGlobal(at)), Qt::LeftButton,
                          kind == QEvent::MouseButtonPress ? Qt::LeftButton : Qt::NoButton,
                          Qt::NoModifier);
        QCoreApplication::sendEvent(page, &event);
    }
}

} // namespace windowinput
