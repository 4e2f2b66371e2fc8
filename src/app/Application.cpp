#include "app/Application.h"

#include <QApplication>
#include <QMainWindow>

int runLedora(int argc, char** argv) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Ledora"));
    QMainWindow window;
    window.setWindowTitle(QStringLiteral("Ledora"));
    window.resize(500, 500);
    window.show();
    return app.exec();
}
