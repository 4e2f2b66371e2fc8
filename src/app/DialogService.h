#pragma once
// Every modal question the main window asks goes through this seam, so the window can be
// driven by tests without a dialog ever blocking.
#include "records/BackupGenerations.h"

#include <QColor>
#include <QString>
#include <QStringList>

#include <functional>
#include <optional>
#include <vector>
class InvoiceSettingsDialog;
class TForm3;

// What an Open or Save dialog is set up with before each use.
struct FileDialogSpec {
    QString directory; // the folder the dialog opens in
    QString filter;    // one entry, e.g. "datファイル(*.dat)"
    QString defaultSuffix;
    QString fileName = {}; // the name a save dialog proposes in `directory`; may be empty
};

class DialogService {
public:
    virtual ~DialogService() = default;

    // Error box (caption "エラー", button "OK"). Closing it by its close box counts as "OK".
    virtual void error(const QString& text) = 0;
    // Confirmation box (caption "確認", "OK" and "キャンセル"); true only on "OK".
    virtual bool confirm(const QString& text) = 0;
    // Plain box (caption: the application title, button "OK").
    virtual void info(const QString& text) = 0;
    // Question box (caption "確認") with one button per choice, the first the default:
    // the index of the button pressed; the last one for Esc or the close box.
    virtual int choose(const QString& text, const QStringList& choices) = 0;
    // File dialogs; an empty path means the dialog was cancelled.
    virtual QString openFile(const FileDialogSpec& request) = 0;
    virtual QString saveFile(const FileDialogSpec& request) = 0;
    // The exit question: 0 no answer (close box), 1 save and exit, 2 exit, 3 cancel.
    virtual int exitQuestion() = 0;
    // The colour dialog (ColorDialog1) opened on `initial`; nullopt when cancelled.
    virtual std::optional<QColor> chooseColor(const QColor& initial) = 0;
    // The sender-items dialog, modal; while open it edits the main window's values itself.
    virtual void showSenderItems(TForm3& dialog) = 0;
    // The qualified-invoice settings dialog, modal; true when it was closed with OK. A
    // service that shows no dialogs answers as if it was cancelled.
    virtual bool showInvoiceSettings(InvoiceSettingsDialog& /*dialog*/) { return false; }
    // "バックアップから開く": the generations of `dataFile`, newest first; the path of the
    // one chosen, empty when the dialog was cancelled. A damaged one cannot be chosen.
    virtual QString chooseBackup(const QString& dataFile,
                                 const std::vector<backups::Generation>& generations) = 0;
};

// The save dialog, then, when the name chosen is taken, the question whether to replace
// that file. Refused, the dialog opens again on the name chosen, as a save dialog that
// asks itself would go back to it; empty when a dialog is cancelled. `complete` turns the
// dialog's answer into the path written (a suffix the command adds), so the question is
// asked about the file that would be replaced.
QString askSaveFileName(DialogService& dialogs, FileDialogSpec request,
                        const std::function<QString(const QString&)>& complete = {});

// The stored message texts separate lines with LF CR; a message box wants one line break.
QString messageForDisplay(const QString& text);
