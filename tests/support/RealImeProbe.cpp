// The window side of the real input-method test (real-ime-test.sh): a main window on a
// real display. It prints where the recipient's name lies on the screen (the script
// clicks there), reports the input method's events on stdout so the script can wait for
// each step, and when Enter has ended the edit saves the file and prints the saved
// record's name and row.
//   ledora_ime_probe WORKDIR
#include "app/ScriptedDialogService.h"
#include "app/TForm1.h"
#include "platform/Cp932.h"
#include "platform/PrinterDeviceQt.h"
#include "records/DataFile.h"
#include "records/Dataset.h"

#include <QApplication>
#include <QDir>
#include <QInputMethodEvent>
#include <QLineEdit>
#include <QTimer>
#include <QWindow>

#include <cstdio>

namespace {

constexpr int kTimeoutMs = 90000; // the script gives up earlier; never hang

void say(const QString& line) {
    std::fputs(qPrintable(line + u'\n'), stdout);
    std::fflush(stdout);
}

// Prints what the input method sends to the editor.
class ImeEcho : public QObject {
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::InputMethod) {
            const auto* ime = static_cast<QInputMethodEvent*>(event);
            if (!ime->preeditString().isEmpty())
                say(QStringLiteral("PREEDIT ") + ime->preeditString());
            if (!ime->commitString().isEmpty())
                say(QStringLiteral("COMMIT ") + ime->commitString());
        }
        return QObject::eventFilter(watched, event);
    }
};

} // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    if (argc < 2) {
        say(QStringLiteral("usage: ledora_ime_probe WORKDIR"));
        return 2;
    }
    const QDir work(QString::fromLocal8Bit(argv[1]));

    ScriptedDialogService dialogs;
    TForm1Options options;
    options.dialogs = &dialogs;
    options.settingsPath = work.filePath(QStringLiteral("ledora.ini"));
    options.executableDir = work.path();
    options.printer = PrinterDeviceQt::createPdf();
    TForm1 form(std::move(options));
    form.show();
    form.activateWindow();

    QLineEdit* edit = form.ui.Edit2;
    edit->installEventFilter(new ImeEcho(edit));
    // A new record with an empty name, as the user would start one.
    form.AAppendExecute();
    int result = 3; // timed out
    QObject::connect(&app, &QApplication::focusChanged, &form, [&](QWidget*, QWidget* now) {
        if (now == edit)
            say(QStringLiteral("READY"));
    });
    // Enter has hidden the editor and the end of the edit has filed the name: save.
    auto finish = [&] {
        const QString file = work.filePath(QStringLiteral("typed.dat"));
        dialogs.saveAnswers.push_back(file);
        if (!form.afsaveas()) {
            say(QStringLiteral("SAVE FAILED"));
            result = 4;
        } else {
            Dataset saved;
            const QString error = DataFile::load(saved, file);
            saved.last(); // the record appended above
            say(QStringLiteral("SAVED name=%1 cate=%2 reading=%3")
                    .arg(cp932::decode(saved.asText("name")), cp932::decode(saved.asText("cate")),
                         cp932::decode(form.GetResultReading(edit))) +
                error);
            result = 0;
        }
        app.quit();
    };
    bool clickShown = false;
    bool editorSeen = false;
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, &app, [&] {
        if (!clickShown && form.windowHandle() && form.windowHandle()->isExposed()) {
            const QRect name = form.pageFrame().nameArea(edit->height()).rect();
            const QPoint at = form.ui.PB1->mapToGlobal(name.center());
            say(QStringLiteral("CLICK %1 %2").arg(at.x()).arg(at.y()));
            clickShown = true;
        }
        editorSeen = editorSeen || edit->isVisible();
        if (editorSeen && !edit->isVisible()) {
            poll.stop();
            finish();
        }
    });
    poll.start(50);
    QTimer::singleShot(kTimeoutMs, &app, [&] { app.quit(); });
    app.exec();
    return result;
}
