// Where the window is: the frame margins of the normal window, kept for the settings file.
#include "app/TForm1.h"

#include <QEvent>
#include <QMoveEvent>
#include <QResizeEvent>

void TForm1::noteNormalFrame() {
    // Before the window is shown, and under a window manager until it has framed the
    // window, the margins read as nothing; they are taken only once it is shown.
    if (windowState() == Qt::WindowNoState && isVisible())
        normalFrameOffset_ = geometry().topLeft() - pos();
}

void TForm1::moveEvent(QMoveEvent* event) {
    QMainWindow::moveEvent(event);
    noteNormalFrame();
}

void TForm1::resizeEvent(QResizeEvent* event) {
    QMainWindow::resizeEvent(event);
    noteNormalFrame();
}

void TForm1::changeEvent(QEvent* event) {
    QMainWindow::changeEvent(event);
    if (event->type() == QEvent::ActivationChange || event->type() == QEvent::WindowStateChange)
        noteNormalFrame();
}
