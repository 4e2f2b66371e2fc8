#include "app/Application.h"

#include "app/AppTexts.h"
#include "app/QtDialogService.h"
#include "app/SingleInstanceGuard.h"
#include "app/TForm1.h"
#include "app/TForm4.h"

#include <QApplication>
#include <QIcon>

#include <memory>

int runLedora(int argc, char** argv) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(QString::fromUtf8(apptext::kAppTitle));
    // Every window shows the icon the desktop entry names.
    QApplication::setWindowIcon(QIcon(QString::fromUtf8(apptext::kIconResource)));
    QGuiApplication::setDesktopFileName(QString::fromUtf8(apptext::kDesktopFileName));

    SingleInstanceGuard guard(SingleInstanceGuard::defaultKey());
    if (!guard.tryBecomePrimary())
        return 0; // the running copy has been asked to come forward

    QtDialogService dialogs;
    TForm1Options options;
    options.dialogs = &dialogs;
    auto form = std::make_unique<TForm1>(std::move(options));
    dialogs.setParentWidget(form.get());
    // The sender-items dialog is created here, between the main window and the exit dialog.
    auto exitDialog = std::make_unique<TForm4>(form.get());
    dialogs.setExitDialog(exitDialog.get());

    QObject::connect(&guard, &SingleInstanceGuard::activationRequested, form.get(),
                     [&form] { bringWindowForward(form.get()); });
    form->show();
    const int result = app.exec();
    exitDialog.reset();
    form.reset(); // writes the settings if no close has done so
    return result;
}
