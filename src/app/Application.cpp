#include "app/Application.h"

#include "app/AppTexts.h"
#include "app/QtTranslations.h"
#include "app/SingleInstanceGuard.h"

#include <QApplication>
#include <QIcon>
#include <QTranslator>

std::unique_ptr<ProgramWindows> createProgramWindows(TForm1Options options) {
    auto windows = std::make_unique<ProgramWindows>();
    options.dialogs = &windows->dialogs;
    windows->form = std::make_unique<TForm1>(std::move(options));
    windows->dialogs.setParentWidget(windows->form.get());
    windows->form->createForm3();
    windows->exitDialog = std::make_unique<TForm4>(windows->form.get());
    windows->dialogs.setExitDialog(windows->exitDialog.get());
    return windows;
}

int runLedora(int argc, char** argv) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(QString::fromUtf8(apptext::kAppTitle));
    // Every window shows the icon the desktop entry names.
    QApplication::setWindowIcon(QIcon(QString::fromUtf8(apptext::kIconResource)));
    QGuiApplication::setDesktopFileName(QString::fromUtf8(apptext::kDesktopFileName));
    const std::unique_ptr<QTranslator> qtTexts = installQtTranslations();

    SingleInstanceGuard guard(SingleInstanceGuard::defaultKey());
    if (!guard.tryBecomePrimary())
        return 0; // the running copy has been asked to come forward

    auto windows = createProgramWindows(TForm1Options{});
    TForm1* form = windows->form.get();
    QObject::connect(&guard, &SingleInstanceGuard::activationRequested, form,
                     [form] { bringWindowForward(form); });
    form->show();
    const int result = app.exec();
    windows.reset(); // the main window last: it writes the settings if no close has done so
    return result;
}
