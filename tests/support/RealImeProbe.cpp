// The window side of the real input-method test (real-ime-test.sh): a main window on a
// real display, in the scenario named by the second argument. It echoes every event of
// the input method on stdout (PREEDIT, COMMIT) and reports each step, so the script can
// wait for it:
//   name    (the default) prints where the recipient's name lies on the screen (the script
//           clicks there); when Enter has ended the edit, saves the file and prints the
//           saved record's name and row.
//   sender  opens the sender dialog; after the first commit prints line 1 of the dialog and
//           the window's first sender line, then closes the dialog with OK.
//   tax     prints where the name and the tax box lie, and the tax box's text and the rate
//           at every change, until the script ends it.
//   save    opens a file of one record and prints where its name lies; prints the saved
//           name whenever the file on disk changes (FILE), and after the window has
//           closed with the exit question answered "save and exit" (EXIT).
//   menu    prints where the tax box lies; prints the saved rate whenever the file on disk
//           changes (SAVED) and SENDERDIALOG when the sender dialog opens (closed at once).
//   search  opens a file of three records in the record list and prints where its search
//           box lies (BOX); prints the box's text, the count and the names in the grid at
//           every change (SEARCH), and where the only row lies when one is left (ROW); once
//           a record is deleted, saves the file and prints the names it holds (SAVED).
//   complete  opens a file of two earlier customers and starts a new record; prints where
//           its name lies, the name editor's text at every change (NAME), the names offered
//           while the name is typed (OFFERED), and once Enter has ended the edit saves the
//           file and prints the new record (SAVED).
//   ledora_ime_probe WORKDIR [name|sender|tax|save|menu|search|complete]
#include "app/EventHook.h"
#include "app/RecordTestFile.h"
#include "app/ScriptedDialogService.h"
#include "app/TForm1.h"
#include "platform/Cp932.h"
#include "platform/PrinterDeviceQt.h"
#include "records/DataFile.h"
#include "records/Dataset.h"
#include "sender/SenderGrid.h"
#include "sender/TForm3.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QCompleter>
#include <QDir>
#include <QFileInfo>
#include <QInputMethodEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableView>
#include <QTimer>
#include <QWindow>

#include <cstdio>
#include <functional>
#include <memory>

namespace {

constexpr int kTimeoutMs = 90000; // the script gives up earlier; never hang

void say(const QString& line) {
    std::fputs(qPrintable(line + u'\n'), stdout);
    std::fflush(stdout);
}

// Prints what the input method sends to the widget that has the focus, and runs
// `onCommit` (once the event is through) after each commit.
class ImeEcho : public QObject {
public:
    std::function<void()> onCommit;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::InputMethod && watched == QGuiApplication::focusObject()) {
            const auto* ime = static_cast<QInputMethodEvent*>(event);
            if (!ime->preeditString().isEmpty())
                say(QStringLiteral("PREEDIT ") + ime->preeditString());
            if (!ime->commitString().isEmpty()) {
                say(QStringLiteral("COMMIT ") + ime->commitString());
                if (onCommit)
                    QTimer::singleShot(0, this, onCommit);
            }
        }
        return QObject::eventFilter(watched, event);
    }
};

// The scripted dialogs, except that the sender dialog really opens, as the user sees it.
class ProbeDialogs : public ScriptedDialogService {
public:
    std::function<void(TForm3&)> onSenderShown;
    void showSenderItems(TForm3& dialog) override {
        if (onSenderShown)
            QTimer::singleShot(0, &dialog, [this, &dialog] { onSenderShown(dialog); });
        dialog.exec();
    }
};

struct Probe {
    QApplication& app;
    TForm1& form;
    ProbeDialogs& dialogs;
    QDir work;
    ImeEcho& echo;
    int result = 3; // timed out

    // Says `line` whenever `widget` takes the focus.
    void sayOnFocus(QWidget* widget, const QString& line) {
        QObject::connect(&app, &QApplication::focusChanged, &form,
                         [widget, line](QWidget*, QWidget* now) {
                             if (now == widget)
                                 say(line);
                         });
    }
    void sayWhere(const QString& what, QWidget* widget, const QRect& rect) {
        const QPoint at = widget->mapToGlobal(rect.center());
        say(QStringLiteral("%1 %2 %3").arg(what).arg(at.x()).arg(at.y()));
    }
    void sayNameWhere() {
        sayWhere(QStringLiteral("CLICK"), form.ui.PB1,
                 form.pageFrame().nameArea(form.ui.Edit2->height()).rect());
    }
    // Says `what` of the first record of `file` whenever the file on disk changes.
    void watchSaved(const QString& file, const QString& tag,
                    std::function<QString(const Dataset&)> what) {
        auto last = std::make_shared<QString>();
        auto* poll = new QTimer(&form);
        QObject::connect(poll, &QTimer::timeout, &form, [file, tag, what, last] {
            Dataset saved;
            if (!QFileInfo::exists(file) || !DataFile::load(saved, file).isEmpty())
                return;
            saved.first();
            const QString now = what(saved);
            if (now != *last)
                say(tag + u' ' + now);
            *last = now;
        });
        poll->start(100);
    }
};

QString savedName(const Dataset& saved) {
    return QStringLiteral("name=") + cp932::decode(saved.asText("name"));
}

// A name typed into the page's name editor, filed under the row of its reading.
std::function<void()> nameScenario(Probe& p) {
    QLineEdit* edit = p.form.ui.Edit2;
    // A new record with an empty name, as the user would start one.
    p.form.AAppendExecute();
    p.sayOnFocus(edit, QStringLiteral("READY"));
    auto editorSeen = std::make_shared<bool>(false);
    auto* poll = new QTimer(&p.form);
    // Enter has hidden the editor and the end of the edit has filed the name: save.
    QObject::connect(poll, &QTimer::timeout, &p.form, [&p, edit, editorSeen, poll] {
        *editorSeen = *editorSeen || edit->isVisible();
        if (!*editorSeen || edit->isVisible())
            return;
        poll->stop();
        const QString file = p.work.filePath(QStringLiteral("typed.dat"));
        p.dialogs.saveAnswers.push_back(file);
        if (!p.form.afsaveas()) {
            say(QStringLiteral("SAVE FAILED"));
            p.result = 4;
        } else {
            Dataset saved;
            const QString error = DataFile::load(saved, file);
            saved.last(); // the record appended above
            say(QStringLiteral("SAVED name=%1 cate=%2 reading=%3")
                    .arg(cp932::decode(saved.asText("name")), cp932::decode(saved.asText("cate")),
                         cp932::decode(p.form.GetResultReading(edit))) +
                error);
            p.result = 0;
        }
        p.app.quit();
    });
    poll->start(50);
    return [&p] { p.sayNameWhere(); };
}

// Text composed onto the sender dialog's grid: the key that opens the cell editor is part of
// the composition.
std::function<void()> senderScenario(Probe& p) {
    p.echo.onCommit = [&p] {
        TForm3* dialog = p.form.Form3;
        if (!dialog || !dialog->isVisible())
            return;
        const QLineEdit* editor = dialog->sg1->cellEditor();
        say(QStringLiteral("LINE1 %1 SENDER1 %2")
                .arg(editor ? editor->text() : dialog->sg1->item(0, 1)->text(),
                     p.form.settings.Sender[0]));
        p.result = 0;
        dialog->Button1->click();
    };
    return [&p] {
        p.sayOnFocus(p.form.Form3->sg1, QStringLiteral("READY"));
        // Modal: returns when the dialog is closed.
        QTimer::singleShot(0, &p.form, [&p] {
            p.form.Ashowform3Execute();
            p.app.quit();
        });
    };
}

// Digits typed into the tax box while the engine is on.
std::function<void()> taxScenario(Probe& p) {
    QLineEdit* box = p.form.ui.Edit10;
    p.sayOnFocus(p.form.ui.Edit2, QStringLiteral("READY"));
    p.sayOnFocus(box, QStringLiteral("BOXFOCUS"));
    QObject::connect(box, &QLineEdit::textChanged, &p.form, [&p](const QString& text) {
        say(QStringLiteral("TAX %1 %2").arg(text).arg(p.form.SalesTaxRate));
    });
    p.result = 0; // the script judges, and ends the probe
    return [&p, box] {
        p.sayNameWhere();
        p.sayWhere(QStringLiteral("BOX"), box, box->rect());
    };
}

// Text typed into the open name editor reaches the file by Ctrl+S and by the close box's
// "save and exit", with no focus change in between.
std::function<void()> saveScenario(Probe& p) {
    const QString file = p.work.filePath(QStringLiteral("shop.dat"));
    recordtest::writeRecords(file, {{1, "あ", "青木"}});
    p.dialogs.openAnswers.push_back(file);
    p.form.afopen();
    p.dialogs.exitAnswers.push_back(1); // 保存して終了
    p.sayOnFocus(p.form.ui.Edit2, QStringLiteral("READY"));
    p.watchSaved(file, QStringLiteral("FILE"), savedName);
    QObject::connect(&p.app, &QCoreApplication::aboutToQuit, &p.form, [&p, file] {
        Dataset saved;
        DataFile::load(saved, file);
        saved.first();
        say(QStringLiteral("EXIT ") + savedName(saved));
        p.result = 0;
    });
    return [&p] { p.sayNameWhere(); };
}

// Commands given with the keys while a side-panel box has them: Ctrl+S, and menu items
// chosen with the keyboard (the menu bar hands the focus back to the box).
std::function<void()> menuScenario(Probe& p) {
    QLineEdit* box = p.form.ui.Edit10;
    const QString file = p.work.filePath(QStringLiteral("menu.dat"));
    p.dialogs.saveAnswers.push_back(file); // the new file's first save asks for a name
    p.sayOnFocus(box, QStringLiteral("BOXFOCUS"));
    p.dialogs.onSenderShown = [](TForm3& dialog) {
        say(QStringLiteral("SENDERDIALOG"));
        dialog.Button1->click();
    };
    p.watchSaved(file, QStringLiteral("SAVED"), [](const Dataset& saved) {
        return QStringLiteral("tax=") + QString::number(saved.asFloat("SalesTax"));
    });
    p.result = 0; // the script judges, and ends the probe
    return [&p, box] { p.sayWhere(QStringLiteral("BOX"), box, box->rect()); };
}

// Saves the window's file as `name` in the work folder and returns it read back.
Dataset saveAndReadBack(Probe& p, const QString& name) {
    const QString file = p.work.filePath(name);
    p.dialogs.saveAnswers.push_back(file);
    Dataset saved;
    if (!p.form.afsaveas() || !DataFile::load(saved, file).isEmpty())
        say(QStringLiteral("SAVE FAILED"));
    return saved;
}

// Words typed into the record list's search box; the one record found is deleted from
// the grid with Ctrl+Delete, and the saved file lacks it.
std::function<void()> searchScenario(Probe& p) {
    const QString file = p.work.filePath(QStringLiteral("search.dat"));
    recordtest::writeRecords(file, {{1, "あ", "青木"}, {2, "や", "山田商店"}, {3, "た", "田中"}});
    p.dialogs.openAnswers.push_back(file);
    p.form.afopen();
    p.form.AIchiranExecute();
    QLineEdit* box = p.form.ui.SearchBox;
    p.sayOnFocus(box, QStringLiteral("READY"));
    // Connected after the window's own handler: the grid is filtered when this runs.
    QObject::connect(box, &QLineEdit::textChanged, &p.form, [&p, box] {
        QAbstractItemModel* rows = p.form.ui.DBGrid1->model();
        QStringList names;
        for (int row = 0; row < rows->rowCount(); ++row)
            names << rows->index(row, 1).data().toString();
        say(QStringLiteral("SEARCH %1 %2 %3")
                .arg(box->text(), p.form.ui.statusPanels[4]->text(), names.join(u',')));
        if (rows->rowCount() == 1)
            p.sayWhere(QStringLiteral("ROW"), p.form.ui.DBGrid1->viewport(),
                       p.form.ui.DBGrid1->visualRect(rows->index(0, 1)));
    });
    auto* poll = new QTimer(&p.form);
    QObject::connect(poll, &QTimer::timeout, &p.form, [&p, poll] {
        if (p.form.CDS2.content().rows.size() != 2)
            return;
        poll->stop();
        Dataset saved = saveAndReadBack(p, QStringLiteral("searched.dat"));
        QStringList names;
        for (saved.first(); !saved.eof(); saved.next())
            names << cp932::decode(saved.asText("name"));
        say(QStringLiteral("SAVED names=") + names.join(u','));
        p.result = 0;
        p.app.quit();
    });
    poll->start(50);
    return [&p, box] { p.sayWhere(QStringLiteral("BOX"), box, box->rect()); };
}

// A returning customer chosen from the list offered under the name being typed: the new
// record takes the name and the customer's details.
std::function<void()> completeScenario(Probe& p) {
    const QString file = p.work.filePath(QStringLiteral("customers.dat"));
    const auto customer = [](const char* pcode, const char* addr, const char* tel, int day) {
        return [=](Dataset& d) {
            d.setText("pcode", pcode);
            d.setText("addr", cp932::encode(QString::fromUtf8(addr)));
            d.setText("tel", tel);
            d.setDateTime("sday", QDateTime(QDate(2026, 12, day), QTime(9, 0)));
        };
    };
    recordtest::writeRecords(
        file, {{1, "や", "山田商店", true, customer("100-0001", "東京都千代田区", "03-1111", 1)},
               {2, "や", "山田工務店", true, customer("220-0002", "横浜市", "045-2222", 3)}});
    p.dialogs.openAnswers.push_back(file);
    p.form.afopen();
    p.form.AAppendExecute();
    QLineEdit* edit = p.form.ui.Edit2;
    p.sayOnFocus(edit, QStringLiteral("READY"));
    QAbstractItemView* list = p.form.nameCompleter()->popup();
    QObject::connect(edit, &QLineEdit::textChanged, &p.form,
                     [](const QString& text) { say(QStringLiteral("NAME ") + text); });
    auto* poll = new QTimer(&p.form);
    auto offered = std::make_shared<QString>();
    auto editorSeen = std::make_shared<bool>(false);
    QObject::connect(poll, &QTimer::timeout, &p.form, [&p, edit, list, offered, editorSeen, poll] {
        if (list->isVisible()) {
            QStringList names;
            for (int row = 0; row < list->model()->rowCount(); ++row)
                names << list->model()->index(row, 0).data().toString();
            if (names.join(u',') != *offered)
                say(QStringLiteral("OFFERED ") + names.join(u','));
            *offered = names.join(u',');
        }
        *editorSeen = *editorSeen || edit->isVisible();
        if (!*editorSeen || edit->isVisible())
            return;
        poll->stop();
        Dataset saved = saveAndReadBack(p, QStringLiteral("completed.dat"));
        saved.last(); // the record appended above
        say(QStringLiteral("SAVED name=%1 cate=%2 pcode=%3 addr=%4 tel=%5")
                .arg(cp932::decode(saved.asText("name")), cp932::decode(saved.asText("cate")),
                     cp932::decode(saved.asText("pcode")), cp932::decode(saved.asText("addr")),
                     cp932::decode(saved.asText("tel"))));
        p.result = 0;
        p.app.quit();
    });
    poll->start(50);
    return [&p] { p.sayNameWhere(); };
}

} // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    if (argc < 2) {
        say(QStringLiteral("usage: ledora_ime_probe WORKDIR [name|sender|tax]"));
        return 2;
    }
    const QString scenario = argc > 2 ? QString::fromLatin1(argv[2]) : QStringLiteral("name");

    ProbeDialogs dialogs;
    TForm1Options options;
    options.dialogs = &dialogs;
    const QDir work(QString::fromLocal8Bit(argv[1]));
    options.settingsPath = work.filePath(QStringLiteral("ledora.ini"));
    options.executableDir = work.path();
    options.printer = PrinterDeviceQt::createPdf();
    TForm1 form(std::move(options));
    form.createForm3();
    form.show();
    form.activateWindow();

    ImeEcho echo;
    app.installEventFilter(&echo);
    // The close box reaches the window through the window manager: say when it has.
    EventHook::install(&form, [](QEvent& event) {
        if (event.type() == QEvent::Close)
            say(QStringLiteral("CLOSE"));
        return false;
    });
    Probe probe{app, form, dialogs, work, echo};
    std::function<void()> start;
    if (scenario == QLatin1StringView("name"))
        start = nameScenario(probe);
    else if (scenario == QLatin1StringView("sender"))
        start = senderScenario(probe);
    else if (scenario == QLatin1StringView("tax"))
        start = taxScenario(probe);
    else if (scenario == QLatin1StringView("save"))
        start = saveScenario(probe);
    else if (scenario == QLatin1StringView("menu"))
        start = menuScenario(probe);
    else if (scenario == QLatin1StringView("search"))
        start = searchScenario(probe);
    else if (scenario == QLatin1StringView("complete"))
        start = completeScenario(probe);
    else {
        say(QStringLiteral("unknown scenario ") + scenario);
        return 2;
    }

    // Each scenario starts once the window is on the screen.
    QTimer exposed;
    QObject::connect(&exposed, &QTimer::timeout, &app, [&] {
        if (form.windowHandle() && form.windowHandle()->isExposed()) {
            exposed.stop();
            say(QStringLiteral("WINDOW %1").arg(form.winId()));
            start();
        }
    });
    exposed.start(50);
    QTimer::singleShot(kTimeoutMs, &app, [&] { app.quit(); });
    app.exec();
    return probe.result;
}
